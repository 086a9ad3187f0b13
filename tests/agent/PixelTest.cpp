#include "BalloonWindow.h"
#include "CharacterFile.h"
#include "CharacterPainter.h"

#include <QFontDatabase>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TCharacterDef Bird() { return LoadCharacterFile(ResolveCharacterFile("bird.chr")); }

int OpaquePixels(const QImage& image, QRect area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) count += qAlpha(image.pixel(x, y)) > 200;
  return count;
}

int DarkPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += qGray(image.pixel(x, y)) < 110;
  return count;
}

}  // namespace

TEST(Pixels, BirdIsDrawnWithClearSpaceAroundIt) {
  const TCharacterDef bird = Bird();
  for (double scale : {1.0, 2.0}) {
    const QImage image = RenderCharacter(bird, bird.RestPose(), scale);
    ASSERT_EQ(image.width(), int(200 * scale));
    const QRect all = image.rect();
    // The body fills the middle; the bird is about 130 pixels tall.
    EXPECT_EQ(qAlpha(image.pixel(all.center().x(), int(all.height() * 0.65))), 255);
    int top = all.bottom(), bottom = 0;
    for (int y = 0; y < all.height(); ++y)
      if (OpaquePixels(image, QRect(0, y, all.width(), 1)) > 0) top = std::min(top, y), bottom = y;
    EXPECT_NEAR((bottom - top) / scale, 130, 15);
    // Corners and edges stay transparent.
    EXPECT_EQ(OpaquePixels(image, QRect(0, 0, all.width(), int(20 * scale))), 0);
    EXPECT_EQ(OpaquePixels(image, QRect(0, 0, int(20 * scale), all.height())), 0);
    EXPECT_EQ(qAlpha(image.pixel(all.right(), all.bottom())), 0);
  }
}

TEST(Pixels, OutlineCoversTheBirdOnly) {
  const TCharacterDef bird = Bird();
  const QRegion outline = CharacterOutline(bird, bird.RestPose(), 1.0, 0);
  EXPECT_TRUE(outline.contains(QPoint(100, 120)));
  EXPECT_FALSE(outline.contains(QPoint(3, 3)));
  EXPECT_FALSE(outline.contains(QPoint(190, 20)));
  // Props out of sight are not clickable.
  const QRegion withProps = CharacterOutline(bird, EvaluateAnimation(bird, *bird.Find("thinking"), 2000), 1.0, 0);
  EXPECT_FALSE(withProps.contains(QPoint(165, 28))) << "the thought bubble is not part of the bird";
}

TEST(Pixels, BalloonShowsChineseGlyphs) {
  auto render = [](const QString& text) {
    TBalloonWindow balloon(true);
    balloon.Present(text, QPoint(300, 300), QRect(200, 300, 200, 184));
    balloon.RevealAll();
    return balloon.grab().toImage();
  };
  const QImage hello = render("你好，我们下棋吧");
  const QImage bye = render("再见，明天再来玩");
  EXPECT_GT(DarkPixels(hello), 150) << "the characters are drawn";
  ASSERT_EQ(hello.size(), bye.size()) << "same count of characters, same balloon";
  // Missing glyphs would draw identical boxes for every character.
  EXPECT_NE(hello, bye);
  EXPECT_EQ(qAlpha(hello.pixel(0, hello.height() - 1)), 0) << "transparent beside the tail";
}

TEST(Pixels, BalloonWrapsLongChineseTextBetweenCharacters) {
  TBalloonWindow balloon(true);
  const QString line = QString("我们一起下棋吧").repeated(8);  // no blanks at all
  balloon.Present(line, QPoint(300, 400), QRect(200, 400, 200, 184));
  EXPECT_LT(balloon.width(), 300);
  EXPECT_GT(balloon.height(), 80) << "wrapped onto several lines";
}

TEST(Pixels, VeryLongTextKeepsTheBalloonOnScreen) {
  TBalloonWindow balloon(true);
  const QString text = QString("a long sentence that goes on ").repeated(200);
  balloon.Present(text, QPoint(640, 500), QRect(540, 500, 200, 184));
  EXPECT_LT(balloon.height(), 260) << "the balloon scrolls instead of growing";
  balloon.RevealAll();
  const QImage image = balloon.grab().toImage();
  EXPECT_GT(DarkPixels(image), 300) << "the last lines are shown";
}
