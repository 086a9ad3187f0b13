#include "apps/perchctl/Commands.h"

#include "platform/EndpointFolder.h"
#include "platform/LinkCodes.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace perch {

namespace {

constexpr std::pair<const char*, int> RequestNames[] = {
    {"random", RequestRandom},   {"eat", RequestEat},         {"sleep", RequestSleep},
    {"greet", RequestGreet},     {"work", RequestWork},       {"chess", RequestChess},
    {"chinese", RequestChinese}, {"english", RequestEnglish}, {"perch", RequestPerch},
    {"hop", RequestHop},         {"look", RequestLookAround}, {"preen", RequestPreen},
    {"chatter", RequestChatter}, {"mute", RequestMute},       {"unmute", RequestUnmute},
    {"hide", RequestFlyAway},    {"show", RequestComeBack},   {"names", RequestReadNames},
    {"quit", RequestQuit},
};

constexpr std::pair<const char*, int> Sizes[] = {
    {"small", RequestSizeSmall}, {"normal", RequestSizeNormal}, {"large", RequestSizeLarge}};

constexpr std::pair<const char*, int> LanguageModes[] = {{"written", RequestLanguageWritten},
                                                         {"english", RequestLanguageEnglish},
                                                         {"chinese", RequestLanguageChinese}};

int ReportPost(perch::TPostResult result) {
  switch (result) {
    case perch::TPostResult::Delivered: return 0;
    case perch::TPostResult::NoWindow:
      std::fprintf(stderr, "perchctl: no companion is running (nothing answers at %s/%s)\n",
                   perch::EndpointFolderPath().c_str(), perch::CompanionClass);
      return 1;
    case perch::TPostResult::QueueFull:
      std::fprintf(stderr, "perchctl: the companion is busy and its queue is full; the message was lost\n");
      return 1;
  }
  return 1;
}

bool ParseCode(const std::string& text, unsigned long long& code) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  // Decimal, or hexadecimal with 0x; a leading zero does not mean octal.
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  errno = 0;
  char* end = nullptr;
  code = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
  return errno == 0 && *end == '\0' && code <= 0xFFFFFFFFull;
}

}  // namespace

long long RequestCodeOf(const std::string& name) {
  for (const auto& [requestName, code] : RequestNames) {
    if (name == requestName) return code;
  }
  return -1;
}

unsigned long long LanguageModeCode(const std::string& mode) {
  for (const auto& [modeName, code] : LanguageModes) {
    if (mode == modeName) return static_cast<unsigned long long>(code);
  }
  return 0;
}

unsigned long long SizeCode(const std::string& size) {
  for (const auto& [sizeName, code] : Sizes) {
    if (size == sizeName) return static_cast<unsigned long long>(code);
  }
  return 0;
}

bool WantsHelp(const TArguments& args) {
  for (const auto& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int RunRequest(const std::string& name, const TArguments& args) {
  unsigned long long code = 0;
  long long value = 0;  // the request's lParam
  if (name == "request") {
    if (args.size() != 1 || !ParseCode(args[0], code)) {
      std::fprintf(stderr, "perchctl: request takes one number from 0 to 4294967295\n");
      return 2;
    }
  } else if (name == "language") {
    code = args.size() == 1 ? LanguageModeCode(args[0]) : 0;
    if (code == 0) {
      std::fprintf(stderr, "perchctl: language takes one of written, english, chinese\n");
      return 2;
    }
  } else if (name == "size") {
    code = args.size() == 1 ? SizeCode(args[0]) : 0;
    if (code == 0) {
      std::fprintf(stderr, "perchctl: size takes one of small, normal, large\n");
      return 2;
    }
  } else if (name == "volume") {
    unsigned long long percent = 0;
    if (args.size() != 1 || !ParseCode(args[0], percent) || percent > 100) {
      std::fprintf(stderr, "perchctl: volume takes one number from 0 to 100\n");
      return 2;
    }
    code = RequestVolume;
    value = static_cast<long long>(percent);
  } else {
    if (!args.empty()) {
      std::fprintf(stderr, "perchctl: %s takes no arguments\n", name.c_str());
      return 2;
    }
    code = static_cast<unsigned long long>(RequestCodeOf(name));
  }
  try {
    return ReportPost(perch::PostMessageTo(perch::CompanionClass, perch::WM_COMPANION, code, value));
  } catch (const perch::TPlatformError& error) {
    std::fprintf(stderr, "perchctl: %s\n", error.what());
    return 1;
  }
}

int RunSay(const TArguments& args) {
  std::string text;
  for (const auto& word : args) {
    if (!text.empty()) text += ' ';
    text += word;
  }
  if (text.size() > perch::MaxCopyDataText) {
    std::fprintf(stderr, "perchctl: the text is too long (at most %zu bytes)\n", perch::MaxCopyDataText);
    return 2;
  }
  try {
    const auto datagram = perch::EncodeCopyData(text);
    return ReportPost(perch::PostToWindow(perch::CompanionClass, datagram));
  } catch (const perch::TPlatformError& error) {
    std::fprintf(stderr, "perchctl: %s\n", error.what());
    return 1;
  }
}

}  // namespace perch
