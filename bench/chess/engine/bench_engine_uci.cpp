// perch-uci under a clock: for each position of the search suite, the
// depth the program completes in `go movetime 1000` and its nodes per
// second over the whole search, beside GNU Chess given one second a move.
// The program is driven on pipes as a chess GUI drives it; each position
// runs three times and the spread is shown.

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "bench/chess/engine/Anchors.h"
#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/ChildProcess.h"

using namespace perch;

using namespace std::chrono_literals;

namespace {

constexpr int Runs = 3;

long long Field(const std::string& line, const std::string& key) {
  std::istringstream words(line);
  for (std::string word; words >> word;)
    if (word == key && words >> word) return std::stoll(word);
  return -1;
}

struct UciRun {
  int depth = 0;
  double nodesPerSecond = 0;
};

// One `go movetime 1000`: the last completed depth and the whole search's
// nodes over its time, from the closing info line.
UciRun MoveTimeSearch(ChildProcess& uci, const char* fen) {
  uci.Send("ucinewgame");
  uci.Send(std::string("position fen ") + fen);
  uci.Send("go movetime 1000");
  std::vector<std::string> lines;
  UciRun run;
  if (!uci.ReadUntil("bestmove", 10s, &lines)) return run;
  for (const std::string& line : lines) {
    if (line.rfind("info depth ", 0) == 0) run.depth = static_cast<int>(Field(line, "depth"));
    if (line.rfind("info ", 0) == 0 && Field(line, "nodes") >= 0 && Field(line, "time") > 0)
      run.nodesPerSecond =
          1000.0 * static_cast<double>(Field(line, "nodes")) / static_cast<double>(Field(line, "time"));
  }
  return run;
}

}  // namespace

int main() {
  ChildProcess uci({PERCH_UCI_PATH});
  uci.Send("uci");
  if (!uci.Running() || !uci.ReadUntil("uciok", 10s)) {
    std::printf("perch-uci did not start\n");
    return 1;
  }
  std::printf("go movetime 1000, %d runs each: depth reached and M nodes/s (min..max); GNU Chess at st 1\n",
              Runs);
  std::printf("%-12s %8s %16s   %8s %10s\n", "position", "depth", "M nodes/s", "gnuchess", "M nodes/s");
  for (const BenchPosition& p : SearchSuite) {
    std::vector<UciRun> runs;
    for (int r = 0; r < Runs; ++r) runs.push_back(MoveTimeSearch(uci, p.fen));
    auto [minDepth, maxDepth] =
        std::minmax_element(runs.begin(), runs.end(), [](auto& a, auto& b) { return a.depth < b.depth; });
    auto [minNps, maxNps] = std::minmax_element(
        runs.begin(), runs.end(), [](auto& a, auto& b) { return a.nodesPerSecond < b.nodesPerSecond; });
    const auto gnu = GnuChessAtMoveTime(p.fen, 1);
    char depths[32];
    std::snprintf(depths, sizeof depths, "%d..%d", minDepth->depth, maxDepth->depth);
    std::printf("%-12s %8s %7.2f..%-7.2f", p.name, depths, minNps->nodesPerSecond / 1e6,
                maxNps->nodesPerSecond / 1e6);
    if (gnu) std::printf("   %8d %10.2f\n", gnu->depth, gnu->nodesPerSecond / 1e6);
    else std::printf("   %8s\n", "n/a");
  }
  uci.Send("quit");
  return 0;
}
