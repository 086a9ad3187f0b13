// Reading the words of a `go` command.

#include "apps/perch-uci/GoCommand.h"

#include <algorithm>
#include <charconv>

namespace perch {

namespace {

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

// The words that begin a limit; `searchmoves` takes every word up to the next one.
bool IsKeyword(const std::string& word) {
  for (const char* k : {"depth", "movetime", "wtime", "btime", "winc", "binc", "movestogo", "nodes", "mate",
                        "perft", "infinite", "ponder", "searchmoves"})
    if (word == k) return true;
  return false;
}

}  // namespace

GoCommand ParseGo(const std::vector<std::string>& words, std::vector<std::string>& errors) {
  GoCommand go;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "infinite") {
      go.infinite = true;
      continue;
    }
    if (word == "ponder") {
      go.ponder = true;
      continue;
    }
    if (word == "searchmoves") {
      // No chess position has more legal moves than MaxSearchMoves; words
      // past that many are dropped.
      bool dropped = false;
      for (; i + 1 < words.size() && !IsKeyword(words[i + 1]); ++i) {
        if (go.searchmoves.size() < MaxSearchMoves) go.searchmoves.push_back(words[i + 1]);
        else dropped = true;
      }
      if (dropped)
        errors.emplace_back("go searchmoves takes at most " + std::to_string(MaxSearchMoves) +
                            " moves; the rest are ignored");
      continue;
    }
    if (!IsKeyword(word)) {
      errors.emplace_back("go: unknown word '" + word + "'");
      continue;
    }
    if (i + 1 >= words.size()) {
      errors.emplace_back("go " + word + " needs a number");
      continue;
    }
    const std::string& text = words[++i];
    std::int64_t value = 0;
    if (!ParseNumber(text, value)) {
      errors.emplace_back("go " + word + " needs a number, not '" + text + "'");
      continue;
    }
    // GUIs may report a clock already below zero; it counts as empty.
    const std::int64_t ms = std::max<std::int64_t>(value, 0);
    const int count = static_cast<int>(std::clamp<std::int64_t>(value, -1, 1'000'000));
    if (word == "depth") go.depth = count;
    else if (word == "movetime") go.movetime = ms;
    else if (word == "wtime") go.wtime = ms;
    else if (word == "btime") go.btime = ms;
    else if (word == "winc") go.winc = ms;
    else if (word == "binc") go.binc = ms;
    else if (word == "movestogo") go.movestogo = count;
    else if (word == "nodes") go.nodes = static_cast<std::uint64_t>(ms);
    else if (word == "mate") go.mate = count;
    else if (word == "perft") go.perft = count;
  }
  return go;
}

}  // namespace perch
