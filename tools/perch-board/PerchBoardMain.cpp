// perch-board: play chess against the engine on one board.
//
//   perch-board [--depth N]      N = 1..8, default 3

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "chess/board/BoardErrorBox.h"
#include "tools/perch-board/BoardWindow.h"

using namespace perch;

int main(int argc, char** argv) {
  int depth = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
      depth = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: perch-board [--depth N]\n");
      return 2;
    }
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "perch-board: no display (set DISPLAY or QT_QPA_PLATFORM)\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("perch-board"));
  TBoardWindow window(depth);
  window.show();
  return app.exec();
}
