// perch-icon: writes the program's icon, the bird's head, as PNG files in the
// layout of an icon theme, one per size:
//
//   perch-icon CHARACTER-FILE THEME-FOLDER ICON-NAME
//   -> THEME-FOLDER/<n>x<n>/apps/ICON-NAME.png

#include "agent/CharacterFile.h"
#include "agent/CharacterIcon.h"

#include <QDir>

#include <cstdio>
#include <exception>

using namespace perch;

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: perch-icon CHARACTER-FILE THEME-FOLDER ICON-NAME\n");
    return 2;
  }
  try {
    const TCharacterDef character = LoadCharacterFile(QString::fromLocal8Bit(argv[1]));
    const QDir theme(QString::fromLocal8Bit(argv[2]));
    for (int size : IconSizes) {
      const QString folder = theme.filePath(QString("%1x%1/apps").arg(size));
      const QString file = QDir(folder).filePath(QString::fromLocal8Bit(argv[3]) + ".png");
      if (!QDir().mkpath(folder) || !CharacterHeadIcon(character, size).save(file)) {
        std::fprintf(stderr, "perch-icon: cannot write %s\n", qPrintable(file));
        return 1;
      }
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "perch-icon: %s\n", error.what());
    return 1;
  }
}
