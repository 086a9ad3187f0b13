#include "companion/CompanionMain.h"

#include "companion/Unit1.h"

#include "companion/InformationOptions.h"
#include "companion/PerchIcon.h"

#include "platform/EndpointFolder.h"
#include "platform/InstanceLock.h"
#include "platform/PlatformError.h"

#include "apps/common/WindowManagerRequests.h"

#include <QApplication>
#include <QIcon>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace perch {

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Perch's windows place themselves (the bird beside its balloon, above other
// windows), which a Wayland compositor does not allow a client: in a Wayland
// session it runs on the session's X server (XWayland) unless the user chose
// a platform. Returns false, having said why, when there is nothing to show
// the companion on.
bool ChoosePlatform() {
  if (Set("QT_QPA_PLATFORM")) return true;
  if (!Set("DISPLAY")) {
    if (Set("WAYLAND_DISPLAY"))
      std::fprintf(
          stderr,
          "perch: this Wayland session has no X server (XWayland) for Perch to run on: DISPLAY is not "
          "set\n");
    else
      std::fprintf(stderr,
                   "perch: no display to show the companion on (neither DISPLAY nor WAYLAND_DISPLAY is set; "
                   "QT_QPA_PLATFORM=offscreen runs it without one)\n");
    return false;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (!reachable) {
    std::fprintf(stderr, "perch: cannot reach the X server of DISPLAY=%s\n", std::getenv("DISPLAY"));
    return false;
  }
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  return true;
}

}  // namespace

int RunCompanion(int argc, char** argv, const std::function<std::unique_ptr<TAgent>()>& makeAgent) {
  if (const auto status = AnswerInformationOptions(argc, argv)) return *status;
  if (!ChoosePlatform()) return 1;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("perch"));
  // No application display name: Qt would append it to every window title,
  // the game's "Perch — Chess" included. The boxes carry "Perch" themselves.
  QApplication::setQuitOnLastWindowClosed(false);
  TWindowManagerRequests::Install();
  // The icon drawn at build time; where there is none, the character
  // service gives the bird's picture.
  QApplication::setWindowIcon(PerchIcon());

  std::unique_ptr<perch::TInstanceLock> instanceLock;
  std::unique_ptr<TActor> actor;
  try {
    const std::string folder = perch::EnsureEndpointFolder();
    instanceLock = std::make_unique<perch::TInstanceLock>(folder);
    if (!instanceLock->Acquired()) {
      std::fprintf(stderr, "Perch is already running\n");
      return 0;
    }
    actor = std::make_unique<TActor>(makeAgent());
  } catch (const perch::TPlatformError& error) {
    std::fprintf(stderr, "perch: %s\n", error.what());
    return 1;
  }
  Actor = actor.get();

  RunReportingErrors([&] { actor->FormCreate(); });
  if (!Quitting) RunReportingErrors([&] { actor->Introduce(); });
  if (Quitting) {
    DeliverWaitingNotices(std::chrono::seconds(2));
    return 0;
  }

  // The form stays out of sight, not shown, until a game puts it on screen.
  const int status = QApplication::exec();
  // Routines that ended with the quit request posted their notices last.
  DeliverWaitingNotices(std::chrono::seconds(2));
  return status;
}

}  // namespace perch
