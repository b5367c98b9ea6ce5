#include "forms/qt/system_locale.h"

#include <QLocale>

namespace zarn::forms {

engine::NumberLocale SystemNumberLocale() {
  return engine::NumberLocale{QLocale::system().decimalPoint().toStdString()};
}

}  // namespace zarn::forms
