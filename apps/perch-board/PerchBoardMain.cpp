// perch-board: play chess against the engine on one board.
//
//   perch-board [--depth N]      N = 1..8, default 3 or the one chosen last
//   perch-board --version | --help

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "apps/common/ProgramInfo.h"
#include "apps/common/WindowManagerRequests.h"
#include "apps/perch-board/BoardWindow.h"
#include "chess/board/BoardErrorBox.h"
#include "companion/SettingsFile.h"
#include "companion/Translations.h"

using namespace perch;

namespace {

constexpr const char* Usage = "usage: perch-board [--depth N | --version | --help]\n";
constexpr const char* Help =
    "usage: perch-board [--depth N | --version | --help]\n"
    "\n"
    "One chessboard in a window: you play White against Perch's engine.\n"
    "  --depth N   how deep the engine searches, 1 to 8 (default 3, or the\n"
    "              strength chosen in the Options menu)\n"
    "See perch-board(6).\n";

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInformationOptions(argc, argv, "perch-board", Help)) return *status;
  int depth = 0;  // none given
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
      depth = std::clamp(std::atoi(argv[++i]), 1, 8);
    } else {
      std::fputs(Usage, stderr);
      return 2;
    }
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "perch-board: no display (set DISPLAY or QT_QPA_PLATFORM)\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("perch-board"));
  TWindowManagerRequests::Install();
  // In the companion's language mode, from the settings it keeps.
  const QString settings = SettingsLocation(QCoreApplication::applicationDirPath());
  InstallTranslations(ReadLanguageMode(TSettingsFile(settings)));
  // Its game options in a file of its own beside the companion's.
  TBoardWindow window(depth, std::make_unique<TSettingsFile>(
                                 QFileInfo(settings).dir().filePath(QStringLiteral("perch-board.ini"))));
  window.show();
  return app.exec();
}
