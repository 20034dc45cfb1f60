// The program's body: the application object, its checks, the window, the
// game object and the main loop, released in order. main() installs the
// host first and then calls WinMain.
#pragma once

#include <string>

struct StartOptions {
  std::string gameFolder;  // host path; empty: the executable's folder
  long long frames = -1;   // close the window after this many frames (-1: never)
  std::string screenshot;  // host path of a PNG of the last frame shown; empty: none
};

// Exit statuses of the program.
enum ExitStatus : int {
  kExitDone = 0,              // the game ended
  kExitScreenshotFailed = 1,  // the screenshot asked for could not be written
  kExitUsage = 2,             // the command line or the game folder is wrong
  kExitStartRefused = 3,      // a start-up check ended the program (its box says why)
};

// kExitDone; kExitUsage when the folder holds no game (neither "init",
// "init2" nor "spt", in any letter case: nothing is written there then);
// kExitStartRefused when a start-up check stops the program or no window
// can be made; kExitScreenshotFailed.
int WinMain(const StartOptions& options);

// The current folder holds a game: an "init", "init2" or "spt" entry.
bool HoldsGame();

// Makes the game folder current (remembering the old current folder); false
// when it cannot be entered, and then nothing changes.
bool SwitchToProgramFolder(const std::string& folder);
// Back to the remembered folder, when one was remembered.
void RestoreStartFolder();
