// The character's answer when the user clicks it: one of four, drawn at
// random. It tells the controller first and does not wait.

#include "companion/Actor.h"
#include "companion/Companion.h"

namespace perch {

void TActor::AgentClick(TAgent* /*Sender*/, const QString& /*CharacterID*/, int /*Button*/, int /*Shift*/,
                        std::int16_t /*x*/, std::int16_t /*y*/) {
  NotifyController(NoticeClicked);
  TAgentCharacter& bird = Char();
  bird.StopAll(QStringLiteral("play"));
  switch (RandomNumber(1, 4)) {
    case 1:
      Say(tr("Yes"));
      bird.Play(QStringLiteral("hearing_1"));
      bird.Play(QStringLiteral("restpose"));
      Say(tr("May I help you?"));
      break;
    case 2:
      bird.Play(QStringLiteral("hearing_2"));
      bird.Play(QStringLiteral("restpose"));
      Say(tr("I am here!"));
      break;
    case 3:
      bird.Play(QStringLiteral("hearing_3"));
      bird.Play(QStringLiteral("restpose"));
      Say(tr("Yes"));
      Say(tr("What can I do for you?"));
      break;
    default:
      Say(tr("Do not bother me!"));
      bird.Play(QStringLiteral("confused"));
      bird.Play(QStringLiteral("restpose"));
      break;
  }
  bird.Play(QStringLiteral("RestPose"));
}

}  // namespace perch
