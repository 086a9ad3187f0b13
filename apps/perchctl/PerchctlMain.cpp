// perchctl: drives the companion over the message link. It posts requests
// and texts to the window "TActor" and, with "listen", stands in for the
// controlling program's window "TFrmTuliMain" and prints the notices.

#include "PerchRelease.h"
#include "apps/perchctl/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace perch;

namespace {

constexpr const char* Usage =
    "usage: perchctl COMMAND [ARGUMENTS]\n"
    "\n"
    "Requests (posted to the companion; nothing waits for an answer):\n"
    "  random     a random activity (request 0)\n"
    "  eat        the eating routine (1)\n"
    "  sleep      the sleeping routine (2)\n"
    "  greet      the greeting routine (3)\n"
    "  work       the working routine (4)\n"
    "  chess      the invitation to a game of chess (5)\n"
    "  chinese    speak Chinese from now on (21)\n"
    "  english    speak English from now on (22)\n"
    "  perch      fly to the top of the active window and stay there, going\n"
    "             along when it moves (50); notice 20 once landed\n"
    "  hop        a hop, along the window's edge when perched (51)\n"
    "  look       look around (52)\n"
    "  preen      preen the feathers (53)\n"
    "  chatter    a short line, never the same twice running (54)\n"
    "  language written|english|chinese\n"
    "             the texts as written, every text in English, or every text in\n"
    "             Chinese (30, 31, 32); the companion keeps the choice\n"
    "  size small|normal|large\n"
    "             the bird drawn at 3/4, its designed or 1 1/2 times its size\n"
    "             (60, 61, 62); the companion keeps the choice\n"
    "  mute       the voice silent, the balloons still shown (63); unmute (64)\n"
    "  volume N   the voice's volume, 0 to 100 (65 with N as lParam); kept\n"
    "  hide       the bird flies off the screen until shown again (66); while\n"
    "             away, routine requests end at once with notice 20\n"
    "  show       the bird comes back (67)\n"
    "  names      the companion reads the bird's and the user's names\n"
    "             (halname, username) from config.ini again (68)\n"
    "  quit       end the companion (70)\n"
    "  request N  any request code N\n"
    "\n"
    "  say TEXT...  the companion shows and speaks TEXT (the words joined by blanks)\n"
    "\n"
    "  listen [--count N] [--timeout S]\n"
    "             receive the companion's notices and print each on its own line:\n"
    "             \"40 start-up done\", \"20 routine ended\", \"41 character clicked\"\n"
    "\n"
    "perchctl --version prints the version.\n"
    "\n"
    "Exit status: 0 done; 1 no companion running, a time-out or a system error;\n"
    "2 a usage error. \"perchctl COMMAND --help\" describes one command.\n";

constexpr const char* ListenUsage =
    "usage: perchctl listen [--count N] [--timeout S]\n"
    "\n"
    "Takes the controlling program's place on the message link and prints each\n"
    "notice of the companion as it arrives, one a line, the code and its meaning.\n"
    "  --count N    end after N notices (exit status 0)\n"
    "  --timeout S  give up after S seconds (may be fractional); with --count the\n"
    "               exit status is then 1, without it 0\n"
    "Without either it runs until interrupted. Only one listener can run at a time.\n";

constexpr const char* SayUsage =
    "usage: perchctl say TEXT...\n"
    "\n"
    "Sends TEXT (UTF-8; the words joined by single blanks) to the companion, which\n"
    "puts it into its edit box, stops its animations and speaks it in the current\n"
    "language. An empty text only stops the animations. Exit status 1 when no\n"
    "companion is running.\n";

constexpr const char* LanguageUsage =
    "usage: perchctl language written|english|chinese\n"
    "\n"
    "Sets the companion's language: \"written\" speaks its texts as they were\n"
    "written, English and Chinese lines each in its own voice (requests 21 and\n"
    "22 choose the voice of the English lines); \"english\" and \"chinese\" speak\n"
    "every text in that language and voice. The next line is spoken in it; the\n"
    "companion keeps the choice in config.ini.\n";
constexpr const char* SizeUsage =
    "usage: perchctl size small|normal|large\n"
    "\n"
    "Draws the bird at 0.75, 1 or 1.5 times its designed size (requests 60, 61,\n"
    "62), its feet where they stood. The companion keeps the size in config.ini\n"
    "(size=small|normal|large) and starts with it.\n";
constexpr const char* VolumeUsage =
    "usage: perchctl volume N\n"
    "\n"
    "Sets the voice's volume to N percent, 0 to 100 (request 65 with N as its\n"
    "lParam). The companion keeps it in config.ini (volume=N). \"perchctl mute\"\n"
    "silences the voice whatever its volume; the balloons still show.\n";
constexpr const char* RequestUsage =
    "usage: perchctl request N\n"
    "\n"
    "Posts request code N (0 to 4294967295, decimal or 0x hexadecimal) to the\n"
    "companion: 0-5 start a routine, 21 and 22 choose Chinese or English speech,\n"
    "30-32 the language mode, 50-54 the behaviours between routines, 60-68 the\n"
    "bird's size, voice, time away and names, 70 ends the companion; other codes\n"
    "are ignored by it. Exit status 1 when no\n"
    "companion is running.\n";

void PrintNamedUsage(const std::string& name, long long code) {
  std::printf(
      "usage: perchctl %s\n\nPosts request %lld to the companion and returns at once.\n"
      "Exit status 1 when no companion is running.\n",
      name.c_str(), code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    std::fputs(Usage, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("perchctl %s\n", PerchVersion);
    return 0;
  }
  const std::string command = argv[1];
  const TArguments args(argv + 2, argv + argc);
  const bool help = WantsHelp(args);

  if (command == "listen") {
    if (help) return std::fputs(ListenUsage, stdout), 0;
    return RunListen(args);
  }
  if (command == "say") {
    // "say --help" asks for help; "say -- --help" says the words.
    if (!args.empty() && args[0] == "--") return RunSay(TArguments(args.begin() + 1, args.end()));
    if (help) return std::fputs(SayUsage, stdout), 0;
    return RunSay(args);
  }
  if (command == "language") {
    if (help) return std::fputs(LanguageUsage, stdout), 0;
    return RunRequest(command, args);
  }
  if (command == "size") {
    if (help) return std::fputs(SizeUsage, stdout), 0;
    return RunRequest(command, args);
  }
  if (command == "volume") {
    if (help) return std::fputs(VolumeUsage, stdout), 0;
    return RunRequest(command, args);
  }
  if (command == "request") {
    if (help) return std::fputs(RequestUsage, stdout), 0;
    return RunRequest(command, args);
  }
  if (const long long code = RequestCodeOf(command); code >= 0) {
    if (help) return PrintNamedUsage(command, code), 0;
    return RunRequest(command, args);
  }
  std::fprintf(stderr, "perchctl: unknown command %s (see perchctl --help)\n", command.c_str());
  return 2;
}
