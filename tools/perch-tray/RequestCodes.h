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
// The bird's home: its size, its voice, its time away, its names.
inline constexpr int RequestSizeSmall = 60;
inline constexpr int RequestSizeNormal = 61;
inline constexpr int RequestSizeLarge = 62;
inline constexpr int RequestMute = 63;
inline constexpr int RequestUnmute = 64;
inline constexpr int RequestVolume = 65;  // lParam: the volume, 0 to 100
inline constexpr int RequestFlyAway = 66;
inline constexpr int RequestComeBack = 67;
inline constexpr int RequestReadNames = 68;
// The behaviours between routines: perching on a window, a hop, a look
// around, preening, a short line. Each ends with notice 20.
inline constexpr int RequestPerch = 50;
inline constexpr int RequestHop = 51;
inline constexpr int RequestLookAround = 52;
inline constexpr int RequestPreen = 53;
inline constexpr int RequestChatter = 54;
inline constexpr int RequestQuit = 70;

constexpr int LanguageRequest(TLanguageMode mode) {
  return mode == TLanguageMode::Chinese   ? RequestLanguageChinese
         : mode == TLanguageMode::English ? RequestLanguageEnglish
                                          : RequestLanguageWritten;
}

inline constexpr int NoticeRoutineEnded = 20;
inline constexpr int NoticeStarted = 40;
inline constexpr int NoticeClicked = 41;

// Requests that start a routine or a behaviour, which ends with notice 20.
constexpr bool StartsRoutine(int request) {
  return (request >= RequestRandom && request <= RequestChess) ||
         (request >= RequestPerch && request <= RequestChatter);
}

}  // namespace perch
