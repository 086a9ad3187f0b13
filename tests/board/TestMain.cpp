// Runs the tests in an offscreen QApplication; Liberation Sans stands in for
// "Arial", the coordinates' font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QFontDatabase::addApplicationFont(
      QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
