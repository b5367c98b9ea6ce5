#include "forms/qt/accessible_role.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QVariant>
#include <QWidget>

namespace zarn::forms {
namespace {

constexpr const char* kRoleProperty = "zarnAccessibleRole";

class RoleAccessible final : public QAccessibleWidget {
 public:
  RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    if (IsLink()) state.linked = true;
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (IsLink()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& actionName) override {
    if (!IsLink() || actionName != pressAction()) {
      QAccessibleWidget::doAction(actionName);
      return;
    }
    // The window acts on the button's release over the widget; the press
    // goes first, as from a mouse.
    const QPointF middle = QRectF(widget()->rect()).center();
    const QPointF global = widget()->mapToGlobal(middle);
    QMouseEvent press(QEvent::MouseButtonPress, middle, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, middle, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget(), &release);
  }

 private:
  bool IsLink() const { return role() == QAccessible::Link; }
};

QAccessibleInterface* RoleFactory(const QString& /*className*/, QObject* object) {
  if (object == nullptr || !object->isWidgetType()) return nullptr;
  const QVariant role = object->property(kRoleProperty);
  if (!role.isValid()) return nullptr;
  return new RoleAccessible(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

}  // namespace

void SetAccessibleRole(QWidget& widget, QAccessible::Role role) {
  static const bool installed = [] {
    QAccessible::installFactory(&RoleFactory);
    return true;
  }();
  static_cast<void>(installed);
  widget.setProperty(kRoleProperty, static_cast<int>(role));
  // With a screen reader running, Qt may already have made the interface of
  // the widget's class (its construction announces it); drop that one, so
  // that the next query comes to the factory above.
  if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&widget); made && made->role() != role) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

}  // namespace zarn::forms
