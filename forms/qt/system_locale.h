#pragma once

#include "engine/number_locale.h"

namespace zarn::forms {

// The decimal separator of the user's regional settings.
engine::NumberLocale SystemNumberLocale();

}  // namespace zarn::forms
