#pragma once
// The companion's request and notice codes on the message link.

#include "companion/LanguageMode.h"

namespace perch {

inline constexpr int RequestRandom = 0;
inline constexpr int RequestEat = 1;
inline constexpr int RequestSleep = 2;
inline constexpr int RequestGreet = 3;
inline constexpr int RequestWork = 4;
inline constexpr int RequestChess = 5;
inline constexpr int RequestChinese = 21;
inline constexpr int RequestEnglish = 22;
// The language modes: the texts as written, all English, all Chinese.
inline constexpr int RequestLanguageWritten = 30;
inline constexpr int RequestLanguageEnglish = 31;
inline constexpr int RequestLanguageChinese = 32;
inline constexpr int RequestQuit = 70;

constexpr int LanguageRequest(TLanguageMode mode) {
  return mode == TLanguageMode::Chinese   ? RequestLanguageChinese
         : mode == TLanguageMode::English ? RequestLanguageEnglish
                                          : RequestLanguageWritten;
}

inline constexpr int NoticeRoutineEnded = 20;
inline constexpr int NoticeStarted = 40;
inline constexpr int NoticeClicked = 41;

// Requests that start a routine, which ends with notice 20.
constexpr bool StartsRoutine(int request) { return request >= RequestRandom && request <= RequestChess; }

}  // namespace perch
