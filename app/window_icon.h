#pragma once

#include <QIcon>

namespace zarn::app {

// The icon of Zarn's windows at each size that app/icon/window_icon.qrc
// lists, the pictures rendered from the one drawing of the application icon.
QIcon WindowIcon();

}  // namespace zarn::app
