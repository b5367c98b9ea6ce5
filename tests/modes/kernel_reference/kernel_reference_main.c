/* The kernel's handling of a video= mode, driven from standard input, one
 * request a line, one answer a line:
 *
 *   parse TEXT    -> "refused", or "ok XRES YRES CVT RB RATE_GIVEN RATE
 *                    INTERLACE MARGINS BPP_GIVEN FORCE NAMED OPTIONS"
 *   mode TEXT     -> "none", or the mode the kernel makes of TEXT:
 *                    "CLOCK_KHZ HDISPLAY HSYNC_START HSYNC_END HTOTAL VDISPLAY
 *                    VSYNC_START VSYNC_END VTOTAL FLAGS VALID"
 *   choose TEXT N -> then N lines "CLOCK_KHZ HDISPLAY ... VTOTAL FLAGS
 *                    PREFERRED", the monitor's modes as the kernel probes them;
 *                    the answer is "monitor INDEX", "computed FIGURES" or
 *                    "none".
 *
 * This file is included after the kernel's functions, so that their static
 * helpers are in reach. */

static void print_mode(const struct drm_display_mode* m) {
  printf("%d %d %d %d %d %d %d %d %d %u %d\n", m->clock, m->hdisplay, m->hsync_start, m->hsync_end, m->htotal,
         m->vdisplay, m->vsync_start, m->vsync_end, m->vtotal, m->flags, drm_mode_validate_basic(m) == MODE_OK);
}

static bool parse(const char* text, struct drm_connector* connector) {
  return drm_mode_parse_command_line_for_connector(text, connector, &connector->cmdline_mode);
}

static void print_parse(const struct drm_cmdline_mode* c) {
  const bool options = (c->rotation_reflection & ~(unsigned)DRM_MODE_ROTATE_0) != 0 || c->tv_margins.left ||
                       c->tv_margins.right || c->tv_margins.top || c->tv_margins.bottom ||
                       c->panel_orientation != DRM_MODE_PANEL_ORIENTATION_UNKNOWN;
  printf("ok %d %d %d %d %d %d %d %d %d %d %s %d\n", c->xres, c->yres, c->cvt, c->rb, c->refresh_specified, c->refresh,
         c->interlace, c->margins, c->bpp_specified, (int)c->force, c->name[0] ? c->name : "-", options);
}

static int choose(struct drm_connector* connector, int count) {
  for (int i = 0; i < count; ++i) {
    struct drm_display_mode* m = drm_mode_create(connector->dev);
    int clock, hd, hss, hse, ht, vd, vss, vse, vt, preferred;
    unsigned flags;
    if (scanf("%d %d %d %d %d %d %d %d %d %u %d", &clock, &hd, &hss, &hse, &ht, &vd, &vss, &vse, &vt, &flags,
              &preferred) != 11) {
      return 1;
    }
    m->clock = clock;
    m->hdisplay = (u16)hd;
    m->hsync_start = (u16)hss;
    m->hsync_end = (u16)hse;
    m->htotal = (u16)ht;
    m->vdisplay = (u16)vd;
    m->vsync_start = (u16)vss;
    m->vsync_end = (u16)vse;
    m->vtotal = (u16)vt;
    m->flags = flags;
    m->type = DRM_MODE_TYPE_DRIVER | (preferred ? DRM_MODE_TYPE_PREFERRED : 0);
    m->width_mm = (u16)(i + 1); /* which of the monitor's modes this is */
    drm_mode_set_name(m);
    drm_mode_probed_add(connector, m);
  }
  /* The steps of drm_helper_probe_single_connector_modes that concern the
   * command line mode, in its order, with the basic validation alone. */
  drm_helper_probe_add_cmdline_mode(connector);
  drm_connector_list_update(connector);
  struct drm_display_mode *m, *next;
  list_for_each_entry_safe(m, next, &connector->modes, head) {
    if (drm_mode_validate_basic(m) != MODE_OK) {
      list_del(&m->head);
      drm_mode_destroy(connector->dev, m);
    }
  }
  drm_mode_sort(&connector->modes);
  const struct drm_display_mode* picked = drm_connector_pick_cmdline_mode(connector);
  if (!picked) {
    printf("none\n");
  } else if (picked->width_mm != 0) {
    printf("monitor %d\n", picked->width_mm - 1);
  } else {
    printf("computed ");
    print_mode(picked);
  }
  list_for_each_entry_safe(m, next, &connector->modes, head) {
    list_del(&m->head);
    drm_mode_destroy(connector->dev, m);
  }
  return 0;
}

int main(void) {
  char command[16], text[256];
  struct drm_device device = {{0}};
  while (scanf("%15s %255s", command, text) == 2) {
    struct drm_connector connector = {.dev = &device, .connector_type = DRM_MODE_CONNECTOR_HDMIA};
    INIT_LIST_HEAD(&connector.probed_modes);
    INIT_LIST_HEAD(&connector.modes);
    const bool parsed = parse(text, &connector);
    if (strcmp(command, "parse") == 0) {
      if (parsed) {
        print_parse(&connector.cmdline_mode);
      } else {
        printf("refused\n");
      }
    } else if (strcmp(command, "mode") == 0) {
      struct drm_display_mode* m = parsed ? drm_mode_create_from_cmdline_mode(&device, &connector.cmdline_mode) : NULL;
      if (m) {
        print_mode(m);
        drm_mode_destroy(&device, m);
      } else {
        printf("none\n");
      }
    } else if (strcmp(command, "choose") == 0) {
      int count = 0;
      if (scanf("%d", &count) != 1 || !parsed || choose(&connector, count) != 0) return 1;
    } else {
      fprintf(stderr, "unknown request %s\n", command);
      return 1;
    }
    fflush(stdout);
  }
  return 0;
}
