// perch-tray: the companion's controlling program on the desktop. It holds
// the controller's window on the message link, starts and keeps the bird,
// and offers its routines, speech and settings on a tray icon's menu.

#include "tools/perch-tray/TrayController.h"

#include "PerchRelease.h"

#include "platform/EndpointFolder.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include "tools/common/ProgramInfo.h"
#include "tools/common/WindowManagerRequests.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTranslator>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace perch;

namespace {

constexpr const char* Usage =
    "usage: perch-tray [--verbose | --version | --help]\n"
    "\n"
    "Puts Perch's bird on the desktop and its menu on a tray icon: starts the\n"
    "companion perch when none runs, keeps it running, and asks it for routines\n"
    "by itself in lively mode. See perch-tray(6).\n"
    "  --verbose   print the requests, notices and tooltips on standard output\n";

bool ControllerTaken() {
  try {
    return perch::FindWindow(perch::ControllerClass);
  } catch (const perch::TPlatformError&) {
    return false;
  }
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

// SIGTERM, SIGINT and SIGHUP reach the event loop through a socket pair, so
// that they end perch-tray as its Quit does.
int signalSockets[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(signalSockets[1], &byte, 1);
}

void RouteSignals(TTrayController& controller) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
  auto* notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, &controller);
  QObject::connect(notifier, &QSocketNotifier::activated, &controller, [&controller] {
    char byte;
    [[maybe_unused]] const auto got = read(signalSockets[0], &byte, 1);
    controller.Quit();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

void LoadTranslations(QApplication& application) {
  auto* own = new QTranslator(&application);
  if (own->load(QLocale(), QStringLiteral("perch-tray"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
    QApplication::installTranslator(own);
  }
  // Qt's own texts (the dialogs' buttons), where Qt's translations are installed.
  auto* qt = new QTranslator(&application);
  if (qt->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qt);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInformationOptions(argc, argv, "perch-tray", Usage)) return *status;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--verbose") == 0) {
      verbose = true;
      continue;
    }
    std::fprintf(stderr, "perch-tray: unexpected argument %s\n%s", argv[i], Usage);
    return 2;
  }
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "perch-tray: no display to show the bird on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
    return 1;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("perch-tray"));
  QApplication::setApplicationDisplayName(QStringLiteral("Perch"));
  QApplication::setApplicationVersion(QLatin1String(PerchVersion));
  QApplication::setQuitOnLastWindowClosed(false);
  TWindowManagerRequests::Install();
  LoadTranslations(application);

  std::unique_ptr<perch::TLinkWindow> window;
  try {
    perch::EnsureEndpointFolder();
    if (!ControllerTaken()) window = std::make_unique<perch::TLinkWindow>(perch::ControllerClass);
  } catch (const perch::TPlatformError& error) {
    if (!ControllerTaken()) {
      std::fprintf(stderr, "perch-tray: %s\n", error.what());
      return 1;
    }
  }
  if (window == nullptr) {
    std::fprintf(stderr, "perch-tray: %s\n", perch::ControllerTakenMessage);
    QMessageBox::warning(nullptr, QStringLiteral("Perch"),
                         QApplication::translate("main",
                                                 "Another controlling program (perch-tray or "
                                                 "perchctl listen) is running already; only one "
                                                 "can listen to the bird at a time."));
    return 1;
  }

  TTrayController controller(std::move(window), verbose);
  RouteSignals(controller);
  if (const char* hook = std::getenv("PERCH_TRAY_TEST_ACTIONS");
      hook != nullptr && std::strcmp(hook, "1") == 0) {
    controller.AcceptActionsOnStandardInput();
  }
  controller.Start();
  return QApplication::exec();
}
