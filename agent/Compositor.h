#pragma once
// Whether a compositing manager runs on the display: only then does a
// per-pixel translucent window blend with the desktop (without one, its
// transparent pixels show black and a shape mask must cut it out).

bool CompositorRunning();
// Whether the windows should be per-pixel translucent: with a compositor on
// X11, and always on display-less platforms (offscreen), which blend exactly.
bool UseTranslucentWindows();

class QWidget;
class QRegion;
// Sets only the window's input region (X11 shape extension), leaving its
// drawn shape whole: with a compositor the edges stay soft while clicks
// beside the character go through. Returns false where it cannot.
bool SetInputRegion(QWidget& window, const QRegion& region);
// Sets the window's drawn shape (and with it where it takes input) on X11
// without telling Qt: Qt would clip all painting to a mask it knows of,
// which forces its slow, thread-farmed image path. Returns false where it
// cannot (then QWidget::setMask serves).
bool SetWindowShape(QWidget& window, const QRegion& region);
