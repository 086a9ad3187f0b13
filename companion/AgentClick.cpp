// The character's answer when the user clicks it: one of four, drawn at
// random. It tells the controller first and does not wait.

#include "companion/Actor.h"
#include "companion/Companion.h"

namespace perch {

void TActor::AgentClick(TAgent* /*Sender*/, const QString& /*CharacterID*/, int /*Button*/, int /*Shift*/,
                        std::int16_t /*x*/, std::int16_t /*y*/) {
  NotifyController(NoticeCharacterClicked);
  TAgentCharacter& bird = Char();
  const QString noUrl;
  bird.StopAll(QStringLiteral("play"));
  switch (RandomNumber(1, 4)) {
    case 1:
      bird.Speak(QStringLiteral("Yes"), noUrl);
      bird.Play(QStringLiteral("hearing_1"));
      bird.Play(QStringLiteral("restpose"));
      bird.Speak(QStringLiteral("May I help you?"), noUrl);
      break;
    case 2:
      bird.Play(QStringLiteral("hearing_2"));
      bird.Play(QStringLiteral("restpose"));
      bird.Speak(QStringLiteral("I am here!"), noUrl);
      break;
    case 3:
      bird.Play(QStringLiteral("hearing_3"));
      bird.Play(QStringLiteral("restpose"));
      bird.Speak(QStringLiteral("Yes"), noUrl);
      bird.Speak(QStringLiteral("What can I do for you?"), noUrl);
      break;
    default:
      bird.Speak(QStringLiteral("Do not bother me!"), noUrl);
      bird.Play(QStringLiteral("confused"));
      bird.Play(QStringLiteral("restpose"));
      break;
  }
  bird.Play(QStringLiteral("RestPose"));
}

}  // namespace perch
