/* The few kernel types and helpers that the mode functions of drivers/gpu/drm
 * need, written for a user-space test program. Only what those functions use
 * is here; the kernel code itself is taken unchanged from Debian's
 * linux-source-6.1 when the tests are built. */
#ifndef ZARN_KERNEL_SHIM_H
#define ZARN_KERNEL_SHIM_H

#include <ctype.h>
#include <errno.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef uint8_t u8;
typedef uint16_t u16;
typedef uint32_t u32;
typedef uint64_t u64;

#define EXPORT_SYMBOL(name)
#define __maybe_unused __attribute__((unused))
#define WARN_ON(condition) ((void)(condition))
#define DRM_DEBUG_KMS(...) ((void)0)
#define ARRAY_SIZE(array) (sizeof(array) / sizeof((array)[0]))
#define max(a, b) ((a) > (b) ? (a) : (b))
#define min(a, b) ((a) < (b) ? (a) : (b))
#define mutex_is_locked(mutex) 1
#define KHZ2PICOS(khz) (1000000000UL / (khz))

/* Divides the 64-bit n in place and yields the remainder. */
#define do_div(n, base)                     \
  ({                                        \
    u32 divisor_ = (base);                  \
    u32 remainder_ = (u32)((n) % divisor_); \
    (n) = (n) / divisor_;                   \
    remainder_;                             \
  })
#define DIV_ROUND_CLOSEST_ULL(x, divisor) \
  ({                                      \
    u64 divisor_ = (divisor);             \
    ((u64)(x) + divisor_ / 2) / divisor_; \
  })
#define check_mul_overflow(a, b, result) __builtin_mul_overflow(a, b, result)

static inline u64 mul_u32_u32(u32 a, u32 b) { return (u64)a * b; }
static inline bool is_power_of_2(unsigned long n) { return n != 0 && (n & (n - 1)) == 0; }

static inline size_t str_has_prefix(const char* text, const char* prefix) {
  size_t length = strlen(prefix);
  return strncmp(text, prefix, length) == 0 ? length : 0;
}

/* Decimal digits after an optional minus sign; no leading blanks. */
static inline long simple_strtol(const char* text, char** end, unsigned int base) {
  const char* at = text;
  bool negative = false;
  unsigned long long value = 0;
  (void)base;
  if (*at == '-') {
    negative = true;
    ++at;
  }
  const char* digits = at;
  while (*at >= '0' && *at <= '9') value = value * 10 + (unsigned long long)(*at++ - '0');
  if (at == digits) at = text;
  if (end) *end = (char*)at;
  return negative ? -(long)value : (long)value;
}

struct list_head {
  struct list_head *next, *prev;
};

#define container_of(pointer, type, member) ((type*)((char*)(pointer)-offsetof(type, member)))
#define list_entry(pointer, type, member) container_of(pointer, type, member)
#define list_first_entry(head, type, member) list_entry((head)->next, type, member)
#define list_next_entry(entry, member) list_entry((entry)->member.next, __typeof__(*(entry)), member)
#define list_for_each_entry(entry, head, member)                                             \
  for (entry = list_first_entry(head, __typeof__(*entry), member); &entry->member != (head); \
       entry = list_next_entry(entry, member))
#define list_for_each_entry_safe(entry, following, head, member)                                               \
  for (entry = list_first_entry(head, __typeof__(*entry), member), following = list_next_entry(entry, member); \
       &entry->member != (head); entry = following, following = list_next_entry(following, member))

static inline void INIT_LIST_HEAD(struct list_head* head) { head->next = head->prev = head; }
static inline bool list_empty(const struct list_head* head) { return head->next == head; }
static inline void list_del(struct list_head* entry) {
  entry->prev->next = entry->next;
  entry->next->prev = entry->prev;
}
static inline void list_add_tail(struct list_head* entry, struct list_head* head) {
  entry->prev = head->prev;
  entry->next = head;
  head->prev->next = entry;
  head->prev = entry;
}
static inline void list_move_tail(struct list_head* entry, struct list_head* head) {
  list_del(entry);
  list_add_tail(entry, head);
}

typedef int (*list_cmp_func_t)(void*, const struct list_head*, const struct list_head*);

/* A stable sort, as the kernel's list_sort is: insertion keeps equal
 * entries in their order. */
static inline void list_sort(void* priv, struct list_head* head, list_cmp_func_t compare) {
  struct list_head sorted;
  INIT_LIST_HEAD(&sorted);
  while (!list_empty(head)) {
    struct list_head* entry = head->next;
    list_del(entry);
    struct list_head* before = sorted.prev;
    while (before != &sorted && compare(priv, before, entry) > 0) before = before->prev;
    entry->prev = before;
    entry->next = before->next;
    before->next->prev = entry;
    before->next = entry;
  }
  if (!list_empty(&sorted)) {
    *head = sorted;
    head->next->prev = head;
    head->prev->next = head;
  }
}

#define DRM_DISPLAY_MODE_LEN 32

#define DRM_MODE_TYPE_PREFERRED (1 << 3)
#define DRM_MODE_TYPE_USERDEF (1 << 5)
#define DRM_MODE_TYPE_DRIVER (1 << 6)
#define DRM_MODE_TYPE_ALL (DRM_MODE_TYPE_PREFERRED | DRM_MODE_TYPE_USERDEF | DRM_MODE_TYPE_DRIVER)

#define DRM_MODE_FLAG_PHSYNC (1 << 0)
#define DRM_MODE_FLAG_NHSYNC (1 << 1)
#define DRM_MODE_FLAG_PVSYNC (1 << 2)
#define DRM_MODE_FLAG_NVSYNC (1 << 3)
#define DRM_MODE_FLAG_INTERLACE (1 << 4)
#define DRM_MODE_FLAG_DBLSCAN (1 << 5)
#define DRM_MODE_FLAG_3D_MASK (0x1f << 14)
#define DRM_MODE_FLAG_3D_MAX (8 << 14)
#define DRM_MODE_FLAG_3D_FRAME_PACKING (1 << 14)
#define DRM_MODE_FLAG_ALL ((1 << 14) - 1 | DRM_MODE_FLAG_3D_MASK)

#define DRM_MODE_MATCH_TIMINGS (1 << 0)
#define DRM_MODE_MATCH_CLOCK (1 << 1)
#define DRM_MODE_MATCH_FLAGS (1 << 2)
#define DRM_MODE_MATCH_3D_FLAGS (1 << 3)
#define DRM_MODE_MATCH_ASPECT_RATIO (1 << 4)

#define CRTC_INTERLACE_HALVE_V (1 << 0)
#define CRTC_STEREO_DOUBLE (1 << 1)
#define CRTC_NO_DBLSCAN (1 << 2)
#define CRTC_NO_VSCAN (1 << 3)

#define DRM_MODE_ROTATE_0 (1 << 0)
#define DRM_MODE_ROTATE_90 (1 << 1)
#define DRM_MODE_ROTATE_180 (1 << 2)
#define DRM_MODE_ROTATE_270 (1 << 3)
#define DRM_MODE_ROTATE_MASK 0x0f
#define DRM_MODE_REFLECT_X (1 << 4)
#define DRM_MODE_REFLECT_Y (1 << 5)

#define DRM_MODE_CONNECTOR_DVII 2
#define DRM_MODE_CONNECTOR_HDMIA 11
#define DRM_MODE_CONNECTOR_HDMIB 12

enum drm_mode_status {
  MODE_OK = 0,
  MODE_H_ILLEGAL = 3,
  MODE_V_ILLEGAL = 4,
  MODE_CLOCK_LOW = 15,
  MODE_BAD = -2,
  MODE_STALE = -3
};

enum drm_connector_force { DRM_FORCE_UNSPECIFIED, DRM_FORCE_OFF, DRM_FORCE_ON, DRM_FORCE_ON_DIGITAL };

enum drm_panel_orientation {
  DRM_MODE_PANEL_ORIENTATION_UNKNOWN = -1,
  DRM_MODE_PANEL_ORIENTATION_NORMAL = 0,
  DRM_MODE_PANEL_ORIENTATION_BOTTOM_UP,
  DRM_MODE_PANEL_ORIENTATION_LEFT_UP,
  DRM_MODE_PANEL_ORIENTATION_RIGHT_UP
};

struct drm_display_mode {
  struct list_head head;
  char name[DRM_DISPLAY_MODE_LEN];
  enum drm_mode_status status;
  u32 type;
  int clock;
  u16 hdisplay, hsync_start, hsync_end, htotal, hskew;
  u16 vdisplay, vsync_start, vsync_end, vtotal, vscan;
  u32 flags;
  int crtc_clock;
  u16 crtc_hdisplay, crtc_hblank_start, crtc_hblank_end, crtc_hsync_start, crtc_hsync_end, crtc_htotal, crtc_hskew;
  u16 crtc_vdisplay, crtc_vblank_start, crtc_vblank_end, crtc_vsync_start, crtc_vsync_end, crtc_vtotal;
  u16 width_mm, height_mm;
  int picture_aspect_ratio;
};

struct drm_cmdline_mode {
  char name[DRM_DISPLAY_MODE_LEN];
  bool specified, refresh_specified, bpp_specified;
  int xres, yres, bpp, refresh;
  bool rb, interlace, cvt, margins;
  enum drm_connector_force force;
  unsigned int rotation_reflection;
  enum drm_panel_orientation panel_orientation;
  struct {
    unsigned int right, left, top, bottom;
  } tv_margins;
};

struct drm_device {
  struct {
    int mutex;
  } mode_config;
};

struct drm_connector {
  struct drm_device* dev;
  int connector_type;
  struct list_head probed_modes;
  struct list_head modes;
  struct drm_cmdline_mode cmdline_mode;
};

static inline struct drm_display_mode* drm_mode_create(struct drm_device* dev) {
  (void)dev;
  return calloc(1, sizeof(struct drm_display_mode));
}
static inline void drm_mode_destroy(struct drm_device* dev, struct drm_display_mode* mode) {
  (void)dev;
  free(mode);
}

#endif
