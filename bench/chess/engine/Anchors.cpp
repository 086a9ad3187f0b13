// Driving stockfish and gnuchess as child processes for the anchors.

#include "bench/chess/engine/Anchors.h"

#include <unistd.h>

#include <sstream>
#include <string>
#include <thread>

#include "tests/chess/engine/ChildProcess.h"

using namespace std::chrono_literals;

namespace {

std::string FindProgram(const std::string& name) {
  for (const char* dir : {"/usr/games/", "/usr/bin/", "/usr/local/bin/"}) {
    const std::string path = std::string(dir) + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

}  // namespace

std::optional<double> StockfishPerftSeconds(const char* fen, int depth, int runs, std::uint64_t* nodes) {
  const std::string path = FindProgram("stockfish");
  if (path.empty()) return std::nullopt;
  ChildProcess peer({path});
  if (!peer.Running()) return std::nullopt;
  peer.Send("uci");
  if (!peer.ReadUntil("uciok", 10s)) return std::nullopt;
  std::optional<double> best;
  for (int r = 0; r < runs; ++r) {
    peer.Send(std::string("position fen ") + fen);
    peer.Send("isready");
    if (!peer.ReadUntil("readyok", 10s)) return std::nullopt;
    const auto start = std::chrono::steady_clock::now();
    peer.Send("go perft " + std::to_string(depth));
    const auto line = peer.ReadUntil("Nodes searched", 300s);
    if (!line) return std::nullopt;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (nodes) *nodes = std::stoull(line->substr(line->find(':') + 1));
    if (!best || seconds < *best) best = seconds;
  }
  peer.Send("quit");
  return best;
}

std::optional<double> GnuChessNodesPerSecond() {
  const std::string path = FindProgram("gnuchess");
  if (path.empty()) return std::nullopt;
  ChildProcess peer({path});
  if (!peer.Running()) return std::nullopt;
  // GNU Chess drops commands that arrive while it is still busy with the
  // one before, so they go in one at a time.
  for (const char* command : {"book off", "depth 11", "post", "go"}) {
    peer.Send(command);
    std::this_thread::sleep_for(300ms);
  }
  // Thinking lines: depth, score, time in centiseconds, nodes, line.
  double nodes = 0, centiseconds = 0;
  for (;;) {
    const auto line = peer.ReadLine(120s);
    if (!line) return std::nullopt;
    if (line->find("My move is") != std::string::npos) break;
    std::istringstream fields(line->substr(
        line->find_first_of("0123456789") == std::string::npos ? 0 : line->find_first_of("0123456789")));
    int depth = 0;
    std::string score;
    double time = 0, count = 0;
    if (fields >> depth >> score >> time >> count && (score[0] == '+' || score[0] == '-') && time > 0) {
      nodes = count;
      centiseconds = time;
    }
  }
  peer.Send("quit");
  if (centiseconds <= 0) return std::nullopt;
  return nodes / (centiseconds / 100.0);
}

std::optional<TimedSearch> GnuChessAtMoveTime(const char* fen, int seconds) {
  const std::string path = FindProgram("gnuchess");
  if (path.empty()) return std::nullopt;
  ChildProcess peer({path});
  if (!peer.Running()) return std::nullopt;
  // One at a time, as above; `easy` keeps it from pondering after its move.
  for (const std::string& command :
       {std::string("xboard"), std::string("book off"), std::string("easy"), std::string("post"),
        "st " + std::to_string(seconds), std::string("setboard ") + fen, std::string("go")}) {
    peer.Send(command);
    std::this_thread::sleep_for(300ms);
  }
  // Thinking lines: depth, score, time in centiseconds, nodes, line.
  TimedSearch result;
  for (;;) {
    const auto line = peer.ReadLine(std::chrono::seconds(seconds + 30));
    if (!line) return std::nullopt;
    if (line->find("My move is") != std::string::npos) break;
    std::istringstream fields(*line);
    int depth = 0;
    std::string score;
    double centiseconds = 0, nodes = 0;
    if (fields >> depth >> score >> centiseconds >> nodes && centiseconds > 0) {
      result.depth = depth;
      result.nodesPerSecond = nodes / (centiseconds / 100.0);
    }
  }
  peer.Send("quit");
  if (result.depth == 0) return std::nullopt;
  return result;
}
