#include "forms/qt/window_style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace zarn::forms {

namespace {

// The first of the preferred faces that is installed, looked up once.
const QString& UiFamily() {
  static const QString family = [] {
    for (const char* name : {"MS Sans Serif", "Liberation Sans", "Arial"}) {
      if (QFontDatabase::hasFamily(QLatin1String(name))) return QString::fromLatin1(name);
    }
    return QStringLiteral("Sans Serif");
  }();
  return family;
}

}  // namespace

QFont UiFont(qreal pointSize, bool bold, bool underline) {
  QFont font(UiFamily());
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(pointSize);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setUnderline(underline);
  font.setItalic(false);
  // Plain glyph advances, no kerning or ligatures, as classic desktop text is
  // drawn: Latin captions and numbers need no shaping, and skipping it makes
  // every relayout of a field cheaper.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void SetTextColour(QWidget& widget, const QColor& colour) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  widget.setPalette(palette);
}

void UseDefaultTextColour(QWidget& widget) {
  const QPalette defaults = QApplication::palette(&widget);
  QPalette palette = widget.palette();
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      palette.setColor(group, role, defaults.color(group, role));
    }
  }
  widget.setPalette(palette);
}

}  // namespace zarn::forms
