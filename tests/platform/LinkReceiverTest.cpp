// The link on Qt's event loop: a message that arrives while the handler of
// an earlier one waits is handled inside that wait, nested.

#include "platform/qt/LinkReceiver.h"
#include "platform/qt/MessagePump.h"
#include "tests/support/TempRuntimeDir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace perch;

using namespace std::chrono_literals;

TEST(LinkReceiver, AMessageDuringAWaitRunsNested) {
  TTempRuntimeDir runtime;
  std::vector<std::string> events;
  int depth = 0;
  bool done = false;
  perch::TLinkReceiver receiver(std::make_unique<perch::TLinkWindow>(perch::CompanionClass),
                                [&](const perch::TLinkMessage& message) {
                                  const std::string id = std::to_string(message.wParam);
                                  events.push_back("begin " + id + " at " + std::to_string(++depth));
                                  if (message.wParam == 1) {
                                    perch::PostMessageTo(perch::CompanionClass, perch::WM_COMPANION, 2, 0);
                                    for (int i = 0; i < 20 && events.size() < 3; ++i)
                                      perch::ProcessMessagesFor(50ms);
                                  }
                                  events.push_back("end " + id);
                                  --depth;
                                  done = done || message.wParam == 1;
                                });
  perch::PostMessageTo(perch::CompanionClass, perch::WM_COMPANION, 1, 0);
  for (int i = 0; i < 40 && !done; ++i) perch::ProcessMessagesFor(50ms);
  EXPECT_EQ(events, (std::vector<std::string>{"begin 1 at 1", "begin 2 at 2", "end 2", "end 1"}));
}
