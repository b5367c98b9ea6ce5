#include "forms/qt/frame.h"

#include <QFontMetrics>
#include <QPainter>

namespace zarn::forms {
namespace {
constexpr int kCaptionLeft = 8;
}  // namespace

Frame::Frame(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(caption.trimmed());
}

QRect Frame::CaptionRect() const {
  const QFontMetrics metrics(font());
  return {kCaptionLeft, 0, metrics.horizontalAdvance(caption_) + 2, metrics.height()};
}

void Frame::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect caption = CaptionRect();
  // The border runs through the middle of the caption's line.
  const QRect border = rect().adjusted(0, caption.height() / 2, -1, -1);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(border.adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(border.adjusted(1, 1, 0, 0));
  painter.fillRect(caption, palette().window());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, caption_);
}

}  // namespace zarn::forms
