#include "agent/AgentControl.h"
#include "agent/CharacterFile.h"
#include "agent/CharacterPose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace perch;

namespace {

double PoseDistance(const TPose& a, const TPose& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < ChannelCount; ++c) sum += std::abs(a[i][c] - b[i][c]);
  return sum;
}

const QString Minimal =
    "perch-character 1\ncharacter T 100 100\npart body - circle 50 50 20\n  fill solid #336699\n";
const QString Animations =
    "animation Show\nkey 100 body.alpha=1\nanimation Hide\nkey 100 body.alpha=0\n"
    "animation Fly\nkey 100 body.dy=-5\nanimation Blink\nkey 100 body.sy=0.5\n";
const QString ValidFile = Minimal + Animations;

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const TAgentError& e) {
    return e.what();
  }
  return "(accepted)";
}

}  // namespace

TEST(CharacterFile, BirdHasEveryCompanionAnimationMovingDistinctlyAndSettlingBack) {
  const TCharacterDef bird = LoadCharacterFile(ResolveCharacterFile("bird.chr"));
  // What the companion plays, in its spelling.
  for (const char* name :
       {"Wave",    "Greet",     "RestPose",  "restpose",     "GestureDown", "GestureLeft", "Pleased",
        "pleased", "Write",     "hearing_1", "hearing_2",    "hearing_3",   "confused",    "Idle2_1",
        "Idle2_2", "Idle3_1",   "Idle3_2",   "Idle3_3",      "Blink",       "Processing",  "Reading",
        "Writing", "Searching", "thinking",  "GetAttention", "sad"}) {
    const TAnimationDef* animation = bird.Find(name);
    ASSERT_NE(animation, nullptr) << name;
    EXPECT_GT(animation->durationMs, 200) << name;
  }
  // Every animation moves, ends at rest unless it holds, and looks like no other.
  const TPose rest = bird.RestPose();
  std::vector<std::vector<TPose>> samples;
  for (const TAnimationDef& animation : bird.animations) {
    const std::string name = animation.name.toStdString();
    samples.emplace_back();
    double motion = 0;
    for (double f : {0.2, 0.4, 0.6, 0.8}) {
      samples.back().push_back(EvaluateAnimation(bird, animation, animation.durationMs * f));
      motion += PoseDistance(samples.back().back(), rest);
    }
    EXPECT_GT(motion, 0.5) << name << " barely moves";
    if (!animation.holdsEnd) {
      EXPECT_LT(PoseDistance(EvaluateAnimation(bird, animation, animation.durationMs), rest), 1e-4) << name;
    }
    for (size_t j = 0; j + 1 < samples.size(); ++j) {
      double difference = 0;
      for (size_t k = 0; k < 4; ++k) difference += PoseDistance(samples.back()[k], samples[j][k]);
      EXPECT_GT(difference, 1.0) << name << " looks like " << bird.animations[j].name.toStdString();
    }
  }
}

TEST(CharacterFile, KeysInterpolateLoopsAreKeptCommentsAndRelativePathsRead) {
  const TCharacterDef character = ParseCharacterText(
      Minimal + "# a comment line\npart leg body path m 10 10 l 5 0 v 5 h -5 z   # a square\n" + Animations +
          "animation Spin loop 100 200\nkey 100 linear body.rot=90\nkey 200 linear body.rot=180\n",
      "spin.chr");
  ASSERT_EQ(character.parts.size(), 2u);
  EXPECT_EQ(character.parts[1].parent, 0);
  EXPECT_EQ(character.parts[1].path.boundingRect(), QRectF(10, 10, 5, 5));
  const TAnimationDef* spin = character.Find("spin");
  ASSERT_NE(spin, nullptr);
  EXPECT_TRUE(spin->Loops());
  EXPECT_NEAR(EvaluateAnimation(character, *spin, 50)[0][0], 45, 1e-3);
  EXPECT_NEAR(EvaluateAnimation(character, *spin, 150)[0][0], 135, 1e-3);
  // After its last key the part settles back to rest.
  EXPECT_GT(spin->durationMs, 200);
  EXPECT_NEAR(EvaluateAnimation(character, *spin, spin->durationMs)[0][0], 0, 1e-3);
}

TEST(CharacterFile, ErrorsNameFileLineAndFault) {
  const std::pair<QString, const char*> cases[] = {
      {"", "bad.chr:1: the file is empty"},
      {"character T 10 10\n", "bad.chr:1: the file must start with 'perch-character 1'"},
      {"perch-character 1\ncharacter T ten 10\n", "bad.chr:2: 'ten' is not a number"},
      {"perch-character 1\ncharacter T 10 10\npart a nope circle 1 1 1\n", "bad.chr:3: unknown part 'nope'"},
      {Minimal + "  fill solid #12345\n", "bad.chr:5: bad colour '#12345'"},
      {Minimal + "part b - path M 1 1 L x 2\n", "bad.chr:5: bad path of part 'b'"},
      {Minimal + "part b - path M 1 1 X 2 2\n", "unknown path command 'X'"},
      {Minimal + "part body - circle 1 1 1\n", "bad.chr:5: part 'body' is defined twice"},
      {ValidFile + "animation Wave\nkey 0 body.spin=3\n", "bad.chr:14: unknown channel 'spin'"},
      {ValidFile + "animation Wave\nkey 0 wing.rot=3\n", "bad.chr:14: unknown part 'wing'"},
      {ValidFile + "animation Wave\nkey 200 body.rot=3\nkey 100 body.rot=3\n",
       "bad.chr:15: keys must be in time order"},
      {ValidFile + "animation Wave\nkey 100 body.rot=3\nanimation WAVE\nkey 1 body.rot=1\n",
       "bad.chr:15: animation 'WAVE' is defined twice"},
      {ValidFile + "animation Wave\n", "bad.chr:13: animation 'Wave' has no keys"},
      {ValidFile + "animation Wave loop 0 500\nkey 100 body.rot=3\n",
       "the loop of animation 'Wave' ends after its last key"},
      {ValidFile + "wobble 3\n", "bad.chr:13: unknown keyword 'wobble'"},
      {Minimal, "no 'Show' animation"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf([&] { ParseCharacterText(c.first, "bad.chr"); });
    EXPECT_NE(error.find(c.second), std::string::npos) << error << "\nexpected: " << c.second;
  }
  EXPECT_NE(
      ErrorOf([] { LoadCharacterFile("/nonexistent/bird.chr"); }).find("/nonexistent/bird.chr: cannot read"),
      std::string::npos);
}

// Each bound: the last value within it loads, the first past it is refused
// with the file, the line and the limit named.
TEST(CharacterFile, SizesCountsCoordinatesAndTimesAreBounded) {
  auto many = [](int n, const QString& line) {
    QString text;
    for (int i = 0; i < n; ++i) text += QString(line).replace("%", QString::number(i));
    return text;
  };
  const QString minimalTail = "part body - circle 50 50 20\n" + Animations;
  struct Case {
    QString at, past;
    const char* error;
  } const cases[] = {
      {"perch-character 1\ncharacter T 2048 2048\n" + minimalTail,
       "perch-character 1\ncharacter T 65535 2048\n" + minimalTail,
       "b.chr:2: the width '65535' is past the limit of 2048"},
      {"perch-character 1\ncharacter T 10 2048\n" + minimalTail,
       "perch-character 1\ncharacter T 10 2048.5\n" + minimalTail,
       "b.chr:2: the height '2048.5' is past the limit of 2048"},
      {"perch-character 1\ncharacter T 10 10\n" + minimalTail,
       "perch-character 1\ncharacter T 1e308 10\n" + minimalTail,
       "b.chr:2: the width '1e308' is past the limit"},
      {ValidFile + "anchor -8192 8192\n", ValidFile + "anchor 1e308 0\n",
       "b.chr:13: '1e308' is outside the limits -8192 to 8192"},
      {Minimal + "part b - circle 8192 0 8192\n" + Animations,
       Minimal + "part b - circle 0 0 8193\n" + Animations,
       "b.chr:5: '8193' is past the limit of 8192 pixels"},
      {Minimal + "part b - path M 8192 -8192 L 0 0\n" + Animations,
       Minimal + "part b - path M 0 0 l 8192 0 l 1 0\n" + Animations,
       "b.chr:5: the path of part 'b' reaches past 8192"},
      {Minimal + "  stroke #000000 8192\n" + Animations, Minimal + "  stroke #000000 1e40\n" + Animations,
       "b.chr:5: '1e40' is past the limit of 8192"},
      {ValidFile + "animation W\nkey 120000 body.rot=3600\n",
       ValidFile + "animation W\nkey 120001 body.rot=1\n",
       "b.chr:14: the time '120001' is past the limit of 120000 ms"},
      {ValidFile + "animation W\nkey 1 body.rot=-3600 body.dx=8192 body.scale=64\n",
       ValidFile + "animation W\nkey 1 body.dx=1e300\n",
       "b.chr:14: 'body.dx=1e300' is past the limit of 8192"},
      {ValidFile + "animation W\nkey 1 body.sx=-64\n", ValidFile + "animation W\nkey 1 body.sx=65\n",
       "b.chr:14: 'body.sx=65' is past the limit of 64"},
      {ValidFile + "animation W loop 0 100\nkey 120000 body.rot=1\n",
       ValidFile + "animation W loop 0 1e300\nkey 1 body.rot=1\n",
       "b.chr:13: the time '1e300' is past the limit"},
      {ValidFile + "mouth body dy 8192\n", ValidFile + "mouth body rot 3601\n",
       "b.chr:13: '3601' is outside the limits -3600 to 3600"},
      {"perch-character 1\ncharacter T 10 10\n" + many(511, "part p% - circle 1 1 1\n") + minimalTail,
       "perch-character 1\ncharacter T 10 10\n" + many(512, "part p% - circle 1 1 1\n") + minimalTail,
       "b.chr:515: more than 512 parts"},
      {ValidFile + many(252, "animation A%\nkey 1 body.rot=1\n"),
       ValidFile + many(253, "animation A%\nkey 1 body.rot=1\n"), "b.chr:517: more than 256 animations"},
      {ValidFile + "animation W\n" + many(1000, "key %0 body.rot=1\n"),
       ValidFile + "animation W\n" + many(1001, "key %0 body.rot=1\n"),
       "b.chr:1014: more than 1000 key lines"},
      {Minimal + "  fill linear 0 0 1 1" + many(64, " #000000") + "\n" + Animations,
       Minimal + "  fill linear 0 0 1 1" + many(65, " #000000") + "\n" + Animations,
       "b.chr:5: more than 64 gradient stops"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ParseCharacterText(c.at, "b.chr"); }), "(accepted)") << c.error;
    const std::string error = ErrorOf([&] { ParseCharacterText(c.past, "b.chr"); });
    EXPECT_NE(error.find(c.error), std::string::npos) << error << "\nexpected: " << c.error;
  }
}
