#pragma once
// Requests to the window manager about one of our windows that reach us as
// well, and that Qt would report as "Unhandled client message".
//
// A pager or a tool such as wmctrl asks the window manager to close, move or
// send a window to another desktop with a client message to the root window
// (_NET_CLOSE_WINDOW, _NET_MOVERESIZE_WINDOW, _NET_WM_DESKTOP, ...). Such a
// message goes to every client that watches the root's substructure, as the
// character service does to stay on top, with the target window in it: Qt
// then takes it for a message to that window and warns. The window manager
// carries the request out (closing goes through WM_DELETE_WINDOW, which Qt
// handles); our copy is dropped here.

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <vector>

namespace perch {

class TWindowManagerRequests : public QAbstractNativeEventFilter {
 public:
  // Interns the requests' atoms on the application's X connection; without
  // an X connection (another platform) the filter lets everything through.
  TWindowManagerRequests();
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // Installs one filter for the application's lifetime on the X platform
  // (after the QGuiApplication is made); elsewhere does nothing.
  static void Install();

 private:
  std::vector<std::uint32_t> atoms_;
};

}  // namespace perch
