#pragma once

#include <QString>
#include <QWidget>

namespace zarn::forms {

// A frame: an etched rectangle with its caption set into the top edge near
// the left. It holds child controls, placed from its outer top-left corner
// and clipped to it, and never takes the focus.
class Frame final : public QWidget {
 public:
  Frame(const QString& caption, QWidget* parent);

  const QString& Caption() const { return caption_; }

  // Where the caption is drawn, in the frame's coordinates.
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace zarn::forms
