#pragma once
// The character's window: frameless, above other windows, never focused,
// transparent around the character. With a compositor it is per-pixel
// translucent; without one a shape mask from the character's outline cuts
// it out. Either way the input region follows the shape, so clicks beside
// the character reach the desktop; presses on what it holds are ignored.

#include "agent/CharacterFrames.h"
#include "agent/CharacterPose.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace perch {

class TCharacterWindow : public QWidget {
  Q_OBJECT
 public:
  TCharacterWindow(const TCharacterDef& character, double scale, bool translucent);

  // Shows the pose; a pose already on show costs nothing.
  void SetPose(const TPose& pose);
  // The character holds still: the kept frames shrink to what resting needs.
  void Settle() { frames_->Settle(); }
  // Blended by a compositor (soft edges) or cut out by a shape (none runs).
  void SetTranslucent(bool translucent);
  // The character drawn at another size: painted anew from its vectors at
  // that scale, the window, its shape and its input region sized to it.
  void SetScale(double scale);
  double Scale() const { return scale_; }
  const TPose& Pose() const { return pose_; }
  // Whether a point of the window lies on the character.
  bool OnCharacter(QPoint local) const;
  // The balloon's anchor in screen pixels.
  QPoint BalloonAnchor() const;

  // Window shapes (or input regions) sent to the display so far; each new
  // outline sends one, an unchanged one none.
  int ShapeRequests() const { return shapeRequests_; }
  // The outline last given to the window (also where there are no shapes).
  const QRegion& Shape() const { return shape_; }

  std::function<void(int button, int shift, QPoint global)> OnClicked;
  std::function<void(QPoint topLeft)> OnDragged;  // the user dragged it there
  // The user let go of it after a drag (the place is the last OnDragged's).
  std::function<void(int button, int shift, QPoint global)> OnDropped;
  std::function<void()> OnHideChosen;  // "Hide" from the menu
  bool autoPopupMenu = true;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void ShowFrame(std::shared_ptr<const TCharacterFrame> frame);
  void UpdateOutline();
  void SendShape();
  QRect FrameRect() const;
  void MakeFrames();

  const TCharacterDef& character_;
  double scale_;
  bool translucent_;
  std::optional<TFrameCache> frames_;  // made anew when the background changes
  TPose pose_;
  std::shared_ptr<const TCharacterFrame> frame_;  // what pose_ looks like
  bool mappedAgain_ = false;                      // see MapAgainUnderCompositor
  QRegion shape_;                                 // the window's shape: what is drawn
  QRegion nativeShape_;                           // the same in the native window's pixels
  int shapeRequests_ = 0;
  // Press state: a press that moves beyond a few pixels is a drag.
  Qt::MouseButton pressed_ = Qt::NoButton;
  QPoint pressGlobal_, pressTopLeft_;
  bool dragging_ = false;
};

}  // namespace perch
