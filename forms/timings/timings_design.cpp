#include "forms/timings/timings_design.h"

namespace zarn::forms {

std::vector<const modes::ExportFormat*> WindowFormats() {
  std::vector<const modes::ExportFormat*> formats;
  for (const modes::ExportFormat& format : modes::ExportFormats()) {
    if (!format.label.empty()) formats.push_back(&format);
  }
  return formats;
}

}  // namespace zarn::forms
