#include "app/winmain.h"

#include <cstdio>

#include "app/maincontrol.h"
#include "game/game.h"
#include "platform/files.h"
#include "setup/namelist.h"

namespace {
CGameCallBack* g_game = nullptr;
bool g_folderEntered = false;
}  // namespace

bool SwitchToProgramFolder(const std::string& folder) {
  g_folderEntered = platform::EnterGameFolder(folder);
  return g_folderEntered;
}

void RestoreStartFolder() {
  if (g_folderEntered) platform::LeaveGameFolder();
  g_folderEntered = false;
}

bool HoldsGame() {
  return platform::FileExists("init") || platform::FileExists("init2") ||
         platform::FileExists("spt");
}

int WinMain(const StartOptions& options) {
  const std::string folder =
      options.gameFolder.empty() ? platform::ExecutableFolder() : options.gameFolder;
  SwitchToProgramFolder(folder);
  if (!HoldsGame()) {
    std::fprintf(stderr,
                 "zorgame: %s is not a game folder (it holds neither init nor spt); "
                 "give the game's folder: zorgame GAME_DIR\n",
                 folder.c_str());
    RestoreStartFolder();
    return kExitUsage;
  }
  g_game = nullptr;
  CNameList::ForgetSettingsKeys();
  int status = kExitStartRefused;
  CMainControl* app = new CMainControl(nullptr, nullptr);
  if (app->CheckStartUp()) {
    app->SetRunLimits(options.frames, options.screenshot);
    // The host may have no window to give; then there is nothing to run.
    if (platform::Window* window = app->CreateMainWindow(nullptr)) {
      int size[2];
      app->GetWindowSize(size);
      g_game = new CGame(window, app->GetSystemFile(), size[0], size[1], app->GetBpp());
      app->MainLoop(g_game);
      status = kExitDone;
    } else {
      std::fprintf(stderr, "zorgame: the host could not make the main window\n");
    }
  }
  delete g_game;
  g_game = nullptr;
  app->Release();
  const bool screenshotFailed = app->ScreenshotFailed();
  delete app;
  // Keys of the settings lists that nothing read in this run, for the
  // author: a misspelt key is ignored otherwise.
  CNameList::ReportUnaskedKeys();
  CNameList::ForgetSettingsKeys();
  RestoreStartFolder();
  return screenshotFailed ? kExitScreenshotFailed : status;
}
