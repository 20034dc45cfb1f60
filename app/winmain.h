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

// 0, or 1 when a screenshot was asked for and could not be written.
int WinMain(const StartOptions& options);

// Makes the game folder current (remembering the old current folder); false
// when it cannot be entered, and then nothing changes.
bool SwitchToProgramFolder(const std::string& folder);
// Back to the remembered folder, when one was remembered.
void RestoreStartFolder();
