// perch-tray: the companion's controlling program on the desktop. It holds
// the controller's window on the message link, starts and keeps the bird,
// and offers its routines, speech and settings on a tray icon's menu.

#include "apps/perch-tray/TrayController.h"

#include "PerchRelease.h"

#include "platform/EndpointFolder.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include "apps/common/ProgramInfo.h"
#include "apps/common/WindowManagerRequests.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTranslator>

#include <xcb/xcb.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

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

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

// Whether a Wayland compositor listens on WAYLAND_DISPLAY's socket (a name
// in XDG_RUNTIME_DIR, or a path).
bool WaylandCompositorListens() {
  if (!Set("WAYLAND_DISPLAY")) return false;
  std::string path = std::getenv("WAYLAND_DISPLAY");
  if (path.front() != '/') {
    if (!Set("XDG_RUNTIME_DIR")) return false;
    path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path) return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return false;
  const bool listens = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(socket);
  return listens;
}

// Why the X server cannot be used, or an empty text.
QString XServerTrouble() {
  if (!Set("DISPLAY")) {
    if (Set("WAYLAND_DISPLAY")) {
      return QApplication::translate("main",
                                     "This Wayland session has no X server (XWayland) for Perch to run on: "
                                     "DISPLAY is not set.");
    }
    return QApplication::translate("main",
                                   "There is no display to show the bird on: neither DISPLAY nor "
                                   "WAYLAND_DISPLAY is set.");
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  const bool reachable = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (reachable) return {};
  return QApplication::translate("main", "Perch cannot reach the X server of DISPLAY=%1.")
      .arg(QString::fromLocal8Bit(std::getenv("DISPLAY")));
}

// perch-tray's windows place themselves (the fallback button in the corner,
// kept above, on every workspace), and lively mode reads the active window
// from the X server: none of which a Wayland compositor lets a client do. In
// a Wayland session perch-tray therefore runs on the session's X server
// (XWayland), as the companion does, unless the user chose a platform.
// Returns why there is nothing to show the bird on, or an empty text.
QString ChoosePlatform() {
  if (Set("QT_QPA_PLATFORM")) return {};
  QString trouble = XServerTrouble();
  if (trouble.isEmpty()) setenv("QT_QPA_PLATFORM", "xcb", 1);
  return trouble;
}

// SIGTERM, SIGINT and SIGHUP reach the event loop through a socket pair, so
// that they end perch-tray as its Quit does.
int signalSockets[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(signalSockets[1], &byte, 1);
}

template <typename TOnSignal>
void RouteSignals(QObject* context, TOnSignal onSignal) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) return;
  auto* notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, context);
  QObject::connect(notifier, &QSocketNotifier::activated, context, [onSignal] {
    char byte;
    [[maybe_unused]] const auto got = read(signalSockets[0], &byte, 1);
    onSignal();
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

// The box that says why perch-tray cannot run, shown by Qt's Wayland
// platform; a signal closes it as its OK does.
void ShowDisplayTrouble(int& argc, char** argv) {
  QApplication application(argc, argv);
  if (QGuiApplication::platformName() != u"wayland") return;
  LoadTranslations(application);
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Perch"), XServerTrouble(), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  RouteSignals(&box, [&box] { box.reject(); });
  box.exec();
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
  if (const QString trouble = ChoosePlatform(); !trouble.isEmpty()) {
    std::fprintf(stderr, "perch-tray: %s\n", qPrintable(trouble));
    // Said in a box too where the Wayland compositor can show one.
    if (!WaylandCompositorListens()) return 1;
    setenv("QT_QPA_PLATFORM", "wayland;offscreen", 1);
    ShowDisplayTrouble(argc, argv);
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
  RouteSignals(&controller, [&controller] { controller.Quit(); });
  if (const char* hook = std::getenv("PERCH_TRAY_TEST_ACTIONS");
      hook != nullptr && std::strcmp(hook, "1") == 0) {
    controller.AcceptActionsOnStandardInput();
  }
  controller.Start();
  return QApplication::exec();
}
