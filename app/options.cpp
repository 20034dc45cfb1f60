#include "app/options.h"

#include <cerrno>
#include <cstdlib>

namespace {
bool ToNumber(const std::string& s, long long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (*end != 0 || errno != 0 || v < 0) return false;
  *out = v;
  return true;
}
}  // namespace

const char* ProgramUsage() {
  return "usage: zorgame [GAME_DIR] [--headless] [--frames N] [--screenshot FILE]\n"
         "               [--box-answer yes|no] [--debug-output] [--input FILE] [--hash-every N]\n"
         "               [--real-fonts] [--capture-audio FILE] [--screenshot-at FRAME FILE]...\n"
         "               [--hash-at FRAME]...\n"
         "       zorgame --help\n"
         "exit status: 0 the game ended, 1 a screenshot, frame hash or audio file asked for\n"
         "             could not be written,\n"
         "             2 a wrong command line or game folder, 3 the start was refused\n";
}

const char* HeadlessEndingNote(const ProgramOptions& options, bool inputScriptCloses) {
  if (!options.headless || options.frames >= 0 || inputScriptCloses) return nullptr;
  return "zorgame: running headless with no --frames and no input script that closes: "
         "the run ends when the game quits (Ctrl+C stops it)\n";
}

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* out,
                         std::string* error) {
  ProgramOptions o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* v) {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      *v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--headless") {
      o.headless = true;
    } else if (a == "--real-fonts") {
      o.realFonts = true;
    } else if (a == "--debug-output") {
      o.debugOutput = true;
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!ToNumber(v, &o.frames)) {
        *error = "--frames needs a number, not \"" + v + "\"";
        return false;
      }
    } else if (a == "--hash-every") {
      long long n = 0;
      if (!value(&v)) return false;
      if (!ToNumber(v, &n) || n > 1000000) {
        *error = "--hash-every needs a number, not \"" + v + "\"";
        return false;
      }
      o.hashEvery = static_cast<int>(n);
    } else if (a == "--screenshot-at" || a == "--hash-at") {
      long long frame = 0;
      if (!value(&v)) return false;
      if (!ToNumber(v, &frame) || frame < 1) {
        *error = a + " needs a frame number from 1, not \"" + v + "\"";
        return false;
      }
      if (a == "--hash-at") {
        o.hashesAt.push_back(frame);
        continue;
      }
      std::string file;
      if (!value(&file)) return false;
      if (file.empty() || file[0] == '-') {
        *error = "--screenshot-at " + v + " needs a file, not \"" + file + "\"";
        return false;
      }
      o.screenshotsAt.push_back({frame, file});
    } else if (a == "--screenshot") {
      if (!value(&o.screenshot)) return false;
    } else if (a == "--capture-audio") {
      if (!value(&o.captureAudio)) return false;
    } else if (a == "--input") {
      if (!value(&o.inputScript)) return false;
    } else if (a == "--box-answer") {
      if (!value(&v)) return false;
      if (v != "yes" && v != "no") {
        *error = "--box-answer takes yes or no";
        return false;
      }
      o.boxAnswerYes = v == "yes";
    } else if (!a.empty() && a[0] == '-') {
      *error = "unknown option " + a;
      return false;
    } else if (o.gameFolder.empty()) {
      o.gameFolder = a;
    } else {
      *error = "more than one game folder given";
      return false;
    }
  }
  *out = o;
  return true;
}
