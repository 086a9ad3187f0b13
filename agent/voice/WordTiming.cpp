#include "agent/voice/WordTiming.h"

#include <algorithm>

namespace perch {

namespace {

bool IsIdeograph(char32_t c) {
  return (c >= 0x3040 && c <= 0x30FF)     // kana
         || (c >= 0x3400 && c <= 0x4DBF)  // CJK extension A
         || (c >= 0x4E00 && c <= 0x9FFF)  // CJK unified ideographs
         || (c >= 0xF900 && c <= 0xFAFF)  // compatibility ideographs
         || (c >= 0x20000 && c <= 0x3134F);
}

// Control characters say nothing, so they separate words like blanks.
bool IsBlank(char32_t c) { return c < 0x20 || c == 0x7F || c == 0x3000 || QChar::isSpace(c); }

bool EndsClause(char32_t c) { return c == ',' || c == ';' || c == ':' || c == '.' || c == '!' || c == '?'; }

struct TCodePoint {
  char32_t value;
  int position;
  int length;
};

std::vector<TCodePoint> CodePoints(const QString& text) {
  std::vector<TCodePoint> points;
  points.reserve(size_t(text.size()));
  for (int i = 0; i < text.size();) {
    const QChar unit = text.at(i);
    if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      points.push_back({QChar::surrogateToUcs4(unit, text.at(i + 1)), i, 2});
      i += 2;
    } else {
      points.push_back({unit.isSurrogate() ? char32_t(0xFFFD) : char32_t(unit.unicode()), i, 1});
      i += 1;
    }
  }
  return points;
}

}  // namespace

QVector<TTextWord> SplitIntoWords(const QString& text) {
  QVector<TTextWord> words;
  bool inWord = false;
  bool lastWasIdeograph = false;
  bool lastEndsClause = false;
  for (const TCodePoint& point : CodePoints(text)) {
    const char32_t c = point.value;
    if (IsBlank(c)) {
      inWord = false;
      continue;
    }
    const bool letter = QChar::isLetterOrNumber(c);
    const bool ideograph = IsIdeograph(c);
    const TTextWord* current = inWord ? &words.back() : nullptr;
    // "3.5" and "1,000" stay whole: only a letter after the mark starts a word.
    const bool afterClause = lastEndsClause && !QChar::isDigit(c);
    const bool startsNew =
        !current || (letter && current->spoken && (ideograph || lastWasIdeograph || afterClause));
    if (startsNew) {
      words.push_back({point.position, 0, false});
      inWord = true;
    }
    TTextWord& word = words.back();
    word.length = point.position + point.length - word.position;
    word.spoken = word.spoken || letter;
    if (letter) lastWasIdeograph = ideograph;
    lastEndsClause = EndsClause(c);
  }
  return words;
}

QVector<TSpokenWord> TimeWords(const QString& text, const std::vector<TWordEvent>& events, int durationMs) {
  const QVector<TTextWord> textWords = SplitIntoWords(text);
  const int count = int(textWords.size());
  durationMs = std::max(durationMs, 0);
  std::vector<int> startMs(size_t(count), -1);

  int lastTimed = -1;
  int lastTime = 0;
  for (const TWordEvent& event : events) {
    int index = lastTimed + 1;
    // The first spoken word that ends after the event's position.
    int target = -1;
    for (int i = 0; i < count; ++i) {
      const TTextWord& word = textWords[i];
      if (word.spoken && word.position + word.length > event.textPosition) {
        target = i;
        break;
      }
    }
    if (target < index) continue;  // a second event for a word already timed
    index = target;
    lastTime = std::clamp(event.audioMs, lastTime, durationMs);
    startMs[size_t(index)] = lastTime;
    lastTimed = index;
  }

  // Words without an event sit evenly between the timed words around them;
  // the first word starts with the audio and the line ends at durationMs.
  int previous = -1;
  int previousTime = 0;
  for (int i = 0; i <= count; ++i) {
    const bool end = i == count;
    if (!end && startMs[size_t(i)] < 0) continue;
    const int nextTime = end ? durationMs : startMs[size_t(i)];
    const int gaps = i - previous;
    for (int j = previous + 1; j < i; ++j) {
      // Before the first timed word, the audio start is the left neighbour.
      const int steps = previous < 0 ? j : j - previous;
      const int span = previous < 0 ? i : gaps;
      const int from = previous < 0 ? 0 : previousTime;
      startMs[size_t(j)] = from + int(int64_t(nextTime - from) * steps / std::max(span, 1));
    }
    previous = i;
    previousTime = nextTime;
  }

  QVector<TSpokenWord> spoken;
  spoken.reserve(count);
  for (int i = 0; i < count; ++i)
    spoken.push_back({textWords[i].position, textWords[i].length, startMs[size_t(i)]});
  return spoken;
}

QVector<TSpokenWord> EstimateWords(const QString& text, int* durationMs) {
  const QVector<TTextWord> textWords = SplitIntoWords(text);
  QVector<TSpokenWord> spoken;
  spoken.reserve(textWords.size());
  int time = 0;
  for (const TTextWord& word : textWords) {
    spoken.push_back({word.position, word.length, time});
    const QString letters = text.mid(word.position, word.length);
    const char32_t first = letters.isEmpty() ? 0 : letters.toUcs4().value(0);
    if (!word.spoken) time += 100;
    else if (IsIdeograph(first)) time += 260;
    else time += 120 + 60 * std::min<int>(int(letters.size()), 12);
    const char16_t last = letters.isEmpty() ? u' ' : letters.back().unicode();
    if (last == u',' || last == u';' || last == u':' || last == u'\uFF0C' || last == u'\u3001') time += 200;
    else if (last == u'.' || last == u'!' || last == u'?' || last == u'\u3002' || last == u'\uFF01' ||
             last == u'\uFF1F')
      time += 400;
  }
  *durationMs = time + (spoken.isEmpty() ? 0 : 200);
  return spoken;
}

}  // namespace perch
