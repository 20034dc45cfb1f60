// Command line of the program:
//   zorgame [GAME_DIR] [--headless] [--frames N] [--screenshot FILE]
//           [--box-answer yes|no] [--debug-output] [--input FILE] [--hash-every N]
//           [--real-fonts] [--capture-audio FILE] [--screenshot-at FRAME FILE]...
//           [--hash-at FRAME]...
//   zorgame --help
#pragma once

#include <string>
#include <vector>

struct ProgramOptions {
  std::string gameFolder;       // empty: the executable's folder
  bool headless = false;
  long long frames = -1;        // stop after this many frames (-1: run until closed)
  std::string screenshot;       // PNG written at the end of the run
  bool boxAnswerYes = false;
  bool debugOutput = false;
  std::string inputScript;      // input script (both hosts)
  int hashEvery = 0;            // headless: print a frame hash every N frames
  bool realFonts = false;       // headless: FreeType glyphs instead of the synthetic font
  std::string captureAudio;     // headless: the whole run's mix written as a WAV file
  // Headless: frames (counted as --hash-every and the input script count
  // them, from 1) written as PNG files, and frames whose hash is printed.
  struct ScreenshotAt {
    long long frame;
    std::string file;
  };
  std::vector<ScreenshotAt> screenshotsAt;
  std::vector<long long> hashesAt;
  bool help = false;            // --help or -h: print the usage and end
};

// False with a message in *error when the arguments are not understood.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions* out,
                         std::string* error);
const char* ProgramUsage();

// The line a headless run prints once when nothing ends it but the game
// itself: no --frames and no input script that closes the window. Null
// when the run has an end.
const char* HeadlessEndingNote(const ProgramOptions& options, bool inputScriptCloses);
