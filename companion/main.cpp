// The companion program perch: one instance per user, a form that answers
// the controlling program, and the bird on the desktop.

#include "Unit1.h"

#include "AppIcon.h"
#include "InformationOptions.h"

#include "EndpointFolder.h"
#include "InstanceLock.h"
#include "PlatformError.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInformationOptions(argc, argv)) return *status;
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "perch: no display to show the companion on (neither DISPLAY nor "
                 "WAYLAND_DISPLAY is set; QT_QPA_PLATFORM=offscreen runs it without one)\n");
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("perch"));
  QApplication::setApplicationDisplayName(QStringLiteral("Perch"));
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(PerchIcon());

  std::unique_ptr<perch::TInstanceLock> instanceLock;
  std::unique_ptr<TActor> actor;
  try {
    const std::string folder = perch::EnsureEndpointFolder();
    instanceLock = std::make_unique<perch::TInstanceLock>(folder);
    if (!instanceLock->Acquired()) return 0;  // another companion runs: end silently
    actor = std::make_unique<TActor>();
  } catch (const perch::TPlatformError& error) {
    std::fprintf(stderr, "perch: %s\n", error.what());
    return 1;
  }
  Actor = actor.get();

  RunReportingErrors([&] { actor->FormCreate(); });
  if (!Quitting) RunReportingErrors([&] { actor->Introduce(); });
  if (Quitting) return 0;

  actor->show();
  actor->move(TActor::DesignLeft, TActor::DesignTop);  // some window managers ignore it before show
  return QApplication::exec();
}
