// The main() of the test programs that need a Qt application: widgets and
// pictures render offscreen unless QT_QPA_PLATFORM says otherwise (ctest
// sets it; this covers running a test program by hand), and Liberation Sans
// is there to stand in for "Arial", the font of the board's coordinates.

#include "tests/support/EnvironmentGuard.h"

#include <QApplication>
#include <QFontDatabase>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  TEnvironmentGuard platform("QT_QPA_PLATFORM");
  if (!platform.WasSet()) platform.Set("offscreen");
  QApplication application(argc, argv);
  QFontDatabase::addApplicationFont(
      QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
