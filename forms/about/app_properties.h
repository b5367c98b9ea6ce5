#pragma once

#include <cstdint>
#include <string>

namespace zarn::forms {

// The application's title and version, as the About window and the
// launcher's message box show them.
struct AppProperties {
  std::string title;
  std::int16_t major = 0;
  std::int16_t minor = 0;
  std::int16_t revision = 0;
};

}  // namespace zarn::forms
