// Placeholders of the routines that requests 0-5 and a click start: for now
// each only reports to the controller as the full routine will at its end.

#include "Actor.h"
#include "Companion.h"

void TActor::RandomActivity() { NotifyController(NoticeRoutineEnded); }
void TActor::EatCookies() { NotifyController(NoticeRoutineEnded); }
void TActor::GoToSleep() { NotifyController(NoticeRoutineEnded); }
void TActor::GreetUser() { NotifyController(NoticeRoutineEnded); }
void TActor::DoWork() { NotifyController(NoticeRoutineEnded); }
void TActor::InviteToChess() { NotifyController(NoticeRoutineEnded); }

void TActor::AgentClick(TAgent*, const QString&, int, int, std::int16_t, std::int16_t) {
  NotifyController(NoticeCharacterClicked);
}
