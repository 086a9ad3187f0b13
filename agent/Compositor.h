#pragma once
// Whether a compositing manager runs on the display: only then does a
// per-pixel translucent window blend with the desktop (without one, its
// transparent pixels show black and a shape mask must cut it out).

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;
class QRegion;

namespace perch {

bool CompositorRunning();
// Whether the windows should be per-pixel translucent: with a compositor on
// X11, and always on display-less platforms (offscreen), which blend exactly.
bool UseTranslucentWindows();

// Shapes are given in the native window's own pixels: X knows nothing of
// Qt's scaling, so at a device pixel ratio above 1 a region in Qt's logical
// pixels would cut the window down to its top-left part.

// Sets only the window's input region (X11 shape extension), leaving its
// drawn shape whole: with a compositor the edges stay soft while clicks
// beside the character go through. Returns false where it cannot.
bool SetInputRegion(QWidget& window, const QRegion& nativeRegion);
// Sets the window's drawn shape (and with it where it takes input) on X11
// without telling Qt: Qt would clip all painting to a mask it knows of,
// which forces its slow, thread-farmed image path. Returns false where it
// cannot (then QWidget::setMask serves).
bool SetWindowShape(QWidget& window, const QRegion& nativeRegion);
// Gives the window back its whole rectangle as its drawn shape, whatever
// its size in native pixels. Returns false where it cannot.
bool ClearWindowShape(QWidget& window);

// Asks compositors not to draw a shadow round the window's rectangle: picom
// honours _COMPTON_SHADOW = 0, xcompmgr shadows no notification window. The
// window must have its native window already.
void AskForNoShadow(QWidget& window);

// Maps the window once more a moment after it was first shown while a
// compositor runs: xcompmgr shadows a window's whole rectangle on the map
// that follows its creation, and only on that one.
void MapAgainUnderCompositor(QWidget& window);

// Tells when a compositing manager starts or stops on the display (the owner
// of the _NET_WM_CM_S<screen> selection changes). One per application.
class TCompositorWatch : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  static TCompositorWatch& Instance();
  bool Running() const { return running_; }
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 signals:
  void Changed(bool running);

 private:
  TCompositorWatch();
  bool running_ = false;
  int selectionEvent_ = -1;  // the XFixes selection-notify event code, -1 without XFixes
};

}  // namespace perch
