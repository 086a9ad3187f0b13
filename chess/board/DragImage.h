#pragma once
// The moving piece image of drags and animations: a small widget on the
// board's parent, raised above the board and transparent for the mouse.
// Moving it lets the widgets behind it show through again, so what lies
// under it is never drawn over.

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace perch {

class TDragImage : public QWidget {
 public:
  explicit TDragImage(QWidget* host);

  // Shows the image with its top-left corner at the point (host coordinates).
  void ShowAt(const QImage& image, QPoint topLeft);
  void MoveTo(QPoint topLeft);
  // Like MoveTo, and brings the new place onto the screen before returning.
  void MoveToNow(QPoint topLeft);
  void HideImage();
  bool IsShown() const { return shown_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  bool shown_ = false;
};

}  // namespace perch
