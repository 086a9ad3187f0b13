#pragma once

#include "agent/voice/Voice.h"

#include <QString>
#include <QVector>

#include <vector>

namespace perch {

// Splitting a line into the words a balloon reveals, and giving each word its
// start time from the synthesizer's word events.

struct TTextWord {
  int position = 0;     // UTF-16 index into the text
  int length = 0;       // UTF-16 units, trailing punctuation included
  bool spoken = false;  // holds a letter or digit (a lone dash does not)
};

// Words are separated by blanks; a Chinese or Japanese character is a word of
// its own; a comma or full stop followed at once by a letter ends a word
// ("Life,Not" is two words). Punctuation stays with the word before it.
QVector<TTextWord> SplitIntoWords(const QString& text);

// A word event of the synthesizer: where it says the word starts (UTF-16
// index) and when (ms from the start of the audio).
struct TWordEvent {
  int textPosition = 0;
  int audioMs = 0;
};

// The synthesizer's positions are not always exact: some words get no event,
// some get two, some point into the word before. Every event is matched to
// the first spoken word ending after its position that has no time yet (or
// dropped when that word already has one); words left without a time are
// placed between their neighbours. The result covers every word of the text,
// in order, with non-decreasing times within [0, durationMs].
QVector<TSpokenWord> TimeWords(const QString& text, const std::vector<TWordEvent>& events, int durationMs);

// A pace for speaking text with no audio at all (no synthesizer available):
// the words and the length of the silent line.
QVector<TSpokenWord> EstimateWords(const QString& text, int* durationMs);

}  // namespace perch
