#pragma once
// perch-tray's use of the link's codes: the request of a language mode, and
// which requests end with notice 20.

#include "companion/LanguageMode.h"
#include "platform/LinkCodes.h"

#include <cstdint>

namespace perch {

constexpr int LanguageRequest(TLanguageMode mode) {
  return mode == TLanguageMode::Chinese   ? RequestLanguageChinese
         : mode == TLanguageMode::English ? RequestLanguageEnglish
                                          : RequestLanguageWritten;
}

// Requests that start a routine or a behaviour, which ends with notice 20.
constexpr bool StartsRoutine(int request) {
  return request >= 0 && EndsWithNotice(static_cast<std::uint64_t>(request));
}

}  // namespace perch
