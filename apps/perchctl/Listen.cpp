// perchctl listen: stands in for the controlling program's main window and
// prints the companion's notices as they come.

#include "apps/perchctl/Commands.h"

#include "platform/LinkCodes.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include <poll.h>
#include <csignal>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace perch {

namespace {

std::atomic<bool> interrupted{false};

void OnSignal(int) { interrupted = true; }

// Without SA_RESTART, so that poll() returns and the socket file is removed.
void CatchSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

const char* NoticeMeaning(std::uint64_t code) {
  switch (code) {
    case NoticeRoutineEnded: return "routine ended";
    case NoticeStarted: return "start-up done";
    case NoticeClicked: return "character clicked";
    default: return "unknown notice";
  }
}

bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && value >= 0;
}

}  // namespace

int RunListen(const TArguments& args) {
  long long wanted = -1;  // no count: until interrupted or timed out
  double timeoutSeconds = -1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    double value = 0;
    const bool hasValue = i + 1 < args.size() && ParseNumber(args[i + 1].c_str(), value);
    if (args[i] == "--count" && hasValue && value >= 1 &&
        value == static_cast<double>(static_cast<long long>(value))) {
      wanted = static_cast<long long>(value);
      ++i;
    } else if (args[i] == "--timeout" && hasValue) {
      timeoutSeconds = value;
      ++i;
    } else {
      std::fprintf(stderr, "perchctl: listen: unexpected argument %s (see perchctl listen --help)\n",
                   args[i].c_str());
      return 2;
    }
  }

  std::unique_ptr<perch::TLinkWindow> window;
  try {
    window = std::make_unique<perch::TLinkWindow>(perch::ControllerClass);
  } catch (const perch::TPlatformError& error) {
    bool taken = false;
    try {
      taken = perch::FindWindow(perch::ControllerClass);
    } catch (const perch::TPlatformError&) {
    }
    std::fprintf(stderr, "perchctl: listen: %s\n", taken ? perch::ControllerTakenMessage : error.what());
    return 1;
  }
  CatchSignals();

  using Clock = std::chrono::steady_clock;
  const auto deadline = timeoutSeconds < 0
                            ? Clock::time_point::max()
                            : Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(timeoutSeconds));
  long long received = 0;
  while (!interrupted && (wanted < 0 || received < wanted)) {
    int waitMs = -1;
    if (deadline != Clock::time_point::max()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) return wanted < 0 ? 0 : 1;
      waitMs = static_cast<int>(std::min<long long>(left.count(), 1000000));
    }
    pollfd entry{window->Descriptor(), POLLIN, 0};
    if (poll(&entry, 1, waitMs) <= 0) continue;
    std::optional<perch::TLinkMessage> message;
    while (window->ReceiveOne(message)) {
      if (!message || message->message != perch::WM_COMPANION) continue;
      std::printf("%llu %s\n", static_cast<unsigned long long>(message->wParam),
                  NoticeMeaning(message->wParam));
      std::fflush(stdout);
      if (++received == wanted) break;
    }
  }
  return wanted >= 0 && received < wanted ? 1 : 0;
}

}  // namespace perch
