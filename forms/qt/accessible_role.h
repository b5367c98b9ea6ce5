#pragma once

#include <QAccessible>

class QWidget;

namespace zarn::forms {

// Gives a widget the accessible role of what it shows, where Qt's own
// interface for its class reports another one: a picture drawn by a plain
// widget (Graphic), a label that opens a link (Link). The name and the
// description stay the widget's accessibleName and accessibleDescription. A
// Link is reported as linked and offers the press action, which clicks the
// widget in its middle, just as the mouse does.
void SetAccessibleRole(QWidget& widget, QAccessible::Role role);

}  // namespace zarn::forms
