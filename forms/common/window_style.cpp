#include "forms/common/window_style.h"

#include <QApplication>
#include <QPalette>
#include <QStringList>
#include <QWidget>

namespace zarn::forms {

QFont UiFont(qreal pointSize, bool bold, bool underline) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
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
