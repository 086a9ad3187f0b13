#include "AgentControl.h"
#include "CharacterFile.h"
#include "CharacterPose.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QStringList kCompanionAnimations{
    "Wave",      "Greet",     "RestPose",  "restpose",   "GestureDown", "GestureLeft", "Pleased",
    "pleased",   "Write",     "hearing_1", "hearing_2",  "hearing_3",   "confused",    "Idle2_1",
    "Idle2_2",   "Idle3_1",   "Idle3_2",   "Idle3_3",    "Blink",       "Processing",  "Reading",
    "Writing",   "Searching", "thinking",  "GetAttention", "sad"};

TCharacterDef Bird() { return LoadCharacterFile(ResolveCharacterFile("bird.chr")); }

double PoseDistance(const TPose& a, const TPose& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < kChannelCount; ++c) sum += std::abs(a[i][c] - b[i][c]);
  return sum;
}

// Samples of an animation's motion, for telling animations apart.
std::vector<TPose> Samples(const TCharacterDef& bird, const TAnimationDef& animation) {
  std::vector<TPose> poses;
  for (double f : {0.2, 0.4, 0.6, 0.8}) poses.push_back(EvaluateAnimation(bird, animation, animation.durationMs * f));
  return poses;
}

const char* kMinimal =
    "perch-character 1\n"
    "character T 100 100\n"
    "part body - circle 50 50 20\n"
    "  fill solid #336699\n";
const char* kServiceAnimations =
    "animation Show\nkey 100 body.alpha=1\n"
    "animation Hide\nkey 100 body.alpha=0\n"
    "animation Fly\nkey 100 body.dy=-5\n"
    "animation Blink\nkey 100 body.sy=0.5\n";

}  // namespace

TEST(CharacterFile, BirdHasEveryCompanionAnimationWhateverTheCase) {
  const TCharacterDef bird = Bird();
  for (const QString& name : kCompanionAnimations) {
    const TAnimationDef* animation = bird.Find(name);
    ASSERT_NE(animation, nullptr) << name.toStdString();
    EXPECT_GT(animation->durationMs, 200) << name.toStdString();
  }
  EXPECT_EQ(bird.Find("PLEASED"), bird.Find("pleased"));
  EXPECT_EQ(bird.Find("Dance"), nullptr);
}

TEST(CharacterFile, BirdAnimationsMoveDistinctlyAndSettleBackToRest) {
  const TCharacterDef bird = Bird();
  const TPose rest = bird.RestPose();
  std::vector<const TAnimationDef*> all;
  for (const TAnimationDef& animation : bird.animations) all.push_back(&animation);
  for (const TAnimationDef* animation : all) {
    const std::string name = animation->name.toStdString();
    double motion = 0;
    for (const TPose& pose : Samples(bird, *animation)) motion += PoseDistance(pose, rest);
    EXPECT_GT(motion, 0.5) << name << " barely moves";
    if (!animation->holdsEnd) {
      EXPECT_LT(PoseDistance(EvaluateAnimation(bird, *animation, animation->durationMs), rest), 1e-4)
          << name << " does not end at rest";
    }
  }
  for (size_t i = 0; i < all.size(); ++i)
    for (size_t j = i + 1; j < all.size(); ++j) {
      const auto a = Samples(bird, *all[i]), b = Samples(bird, *all[j]);
      double difference = 0;
      for (size_t k = 0; k < a.size(); ++k) difference += PoseDistance(a[k], b[k]);
      EXPECT_GT(difference, 1.0) << all[i]->name.toStdString() << " looks like " << all[j]->name.toStdString();
    }
}

TEST(CharacterFile, KeysInterpolateAndLoopsAreKept) {
  const TCharacterDef character = ParseCharacterText(
      QString(kMinimal) + kServiceAnimations + "animation Spin loop 100 200\nkey 100 linear body.rot=90\nkey 200 linear body.rot=180\n",
      "spin.chr");
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
  struct Case {
    QString text;
    const char* expected;
  };
  const QString ok = QString(kMinimal) + kServiceAnimations;
  const std::vector<Case> cases{
      {"", "bad.chr:1: the file is empty"},
      {"character T 10 10\n", "bad.chr:1: the file must start with 'perch-character 1'"},
      {"perch-character 1\ncharacter T ten 10\n", "bad.chr:2: 'ten' is not a number"},
      {"perch-character 1\ncharacter T 10 10\npart a nope circle 1 1 1\n", "bad.chr:3: unknown part 'nope'"},
      {QString(kMinimal) + "  fill solid #12345\n", "bad.chr:5: bad colour '#12345'"},
      {QString(kMinimal) + "part b - path M 1 1 L x 2\n", "bad.chr:5: bad path of part 'b'"},
      {QString(kMinimal) + "part b - path M 1 1 X 2 2\n", "unknown path command 'X'"},
      {QString(kMinimal) + "part body - circle 1 1 1\n", "bad.chr:5: part 'body' is defined twice"},
      {ok + "animation Wave\nkey 0 body.spin=3\n", "bad.chr:14: unknown channel 'spin'"},
      {ok + "animation Wave\nkey 0 wing.rot=3\n", "bad.chr:14: unknown part 'wing'"},
      {ok + "animation Wave\nkey 200 body.rot=3\nkey 100 body.rot=3\n", "bad.chr:15: keys must be in time order"},
      {ok + "animation Wave\nkey 100 body.rot=3\nanimation WAVE\nkey 1 body.rot=1\n",
       "bad.chr:15: animation 'WAVE' is defined twice"},
      {ok + "animation Wave\n", "bad.chr:13: animation 'Wave' has no keys"},
      {ok + "animation Wave loop 0 500\nkey 100 body.rot=3\n", "the loop of animation 'Wave' ends after its last key"},
      {ok + "wobble 3\n", "bad.chr:13: unknown keyword 'wobble'"},
      {kMinimal, "no 'Show' animation"},
  };
  for (const Case& c : cases) {
    try {
      ParseCharacterText(c.text, "bad.chr");
      ADD_FAILURE() << "accepted: " << c.text.toStdString();
    } catch (const TAgentError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos)
          << "message: " << e.what() << "\nexpected: " << c.expected;
    }
  }
}

TEST(CharacterFile, CommentsAndRelativePathsRead) {
  const TCharacterDef character = ParseCharacterText(
      QString(kMinimal) + "# a comment line\npart leg body path m 10 10 l 5 0 v 5 h -5 z   # a square\n" +
          kServiceAnimations,
      "c.chr");
  ASSERT_EQ(character.parts.size(), 2u);
  EXPECT_EQ(character.parts[1].parent, 0);
  EXPECT_EQ(character.parts[1].path.boundingRect(), QRectF(10, 10, 5, 5));
}

TEST(CharacterFile, MissingFileIsReportedByName) {
  EXPECT_TRUE(ResolveCharacterFile("no-such.chr").isEmpty());
  try {
    LoadCharacterFile("/nonexistent/bird.chr");
    FAIL();
  } catch (const TAgentError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/bird.chr: cannot read"), std::string::npos) << e.what();
  }
}
