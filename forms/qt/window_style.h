#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

class QWidget;

namespace zarn::forms {

// The windows' font: "MS Sans Serif" where installed, otherwise a sans-serif
// face with similar metrics (Liberation Sans, Arial).
QFont UiFont(qreal pointSize = 8.25, bool bold = false, bool underline = false);

inline const QColor kBlue{0, 0, 255};
inline const QColor kBlack{0, 0, 0};

// Sets the colour of a control's text (and of a frame's caption).
void SetTextColour(QWidget& widget, const QColor& colour);

// Gives a control the toolkit's own text colours for its kind, undoing a
// colour it would otherwise inherit from its frame.
void UseDefaultTextColour(QWidget& widget);

// Twips to device-independent pixels: 15 twips make a pixel at 96 dpi.
constexpr int Twips(int twips) { return twips / 15; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace zarn::forms
