#include "platform/font_warm_up.h"

#if ZARN_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace zarn::platform {

std::thread StartFontWarmUp() {
#if ZARN_HAVE_FONTCONFIG
  // Parses the configuration and maps the font caches: the larger part of the
  // first font lookup. Later calls reuse the loaded configuration.
  return std::thread([] { FcInit(); });
#else
  return std::thread([] {});
#endif
}

}  // namespace zarn::platform
