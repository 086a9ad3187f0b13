#pragma once
// The codes of the controller link, the one list every program uses: the
// requests a controlling program posts to the companion (WM_COMPANION, the
// code in wParam) and the notices the companion posts back. The numbers are
// the link's protocol: controllers of their own depend on them.

#include <cstdint>

namespace perch {

enum TRequest : std::uint32_t {
  RequestRandom = 0,  // a routine drawn at random; every routine ends with notice 20
  RequestEat = 1,
  RequestSleep = 2,
  RequestGreet = 3,
  RequestWork = 4,
  RequestChess = 5,             // the invitation to a game
  RequestChinese = 21,          // the voice of the texts as written: Chinese
  RequestEnglish = 22,          // ... or English
  RequestLanguageWritten = 30,  // the language mode: the texts as written
  RequestLanguageEnglish = 31,  // every text in English
  RequestLanguageChinese = 32,  // every text in Chinese
  RequestPerch = 50,            // perch on a window; the behaviours 50 to 54 end with notice 20
  RequestHop = 51,
  RequestLookAround = 52,
  RequestPreen = 53,
  RequestChatter = 54,    // a short line
  RequestSizeSmall = 60,  // the bird drawn at 0.75
  RequestSizeNormal = 61,
  RequestSizeLarge = 62,  // ... at 1.5
  RequestMute = 63,
  RequestUnmute = 64,
  RequestVolume = 65,   // lParam: the volume, 0 to 100
  RequestFlyAway = 66,  // away until request 67
  RequestComeBack = 67,
  RequestReadNames = 68,  // the names in the settings changed
  RequestQuit = 70,
};

enum TNotice : std::uint32_t {
  NoticeRoutineEnded = 20,  // a routine or behaviour ended
  NoticeStarted = 40,       // the companion is up (after the introduction on a first run)
  NoticeClicked = 41,       // the user clicked the bird
};

// The requests that end with notice 20: the routines and the behaviours.
constexpr bool EndsWithNotice(std::uint64_t code) {
  return code <= RequestChess || (code >= RequestPerch && code <= RequestChatter);
}

}  // namespace perch
