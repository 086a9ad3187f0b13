#include "companion/PerchIcon.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPixmap>

using namespace perch;

namespace {

int OpaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) == 255;
  return count;
}

// The test program lies in the build tree's bin/, as perch does: the icon
// drawn at build time is found in icons/ beside it, in every size, and each
// size is a drawing of its own, not a scaled copy of another.
TEST(PerchIcon, EverySizeDrawnForTheBuildTree) {
  const QIcon icon = PerchIcon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(side);
    ASSERT_TRUE(sizes.contains(QSize(side, side)));
    const QImage image = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image.size(), QSize(side, side));
    EXPECT_GT(OpaquePixels(image), side * side / 3);  // the bird, not an empty square
  }
}

}  // namespace
