#include "app/winmain.h"

#include "app/maincontrol.h"
#include "game/game.h"
#include "platform/files.h"

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

int WinMain(const StartOptions& options) {
  SwitchToProgramFolder(options.gameFolder.empty() ? platform::ExecutableFolder()
                                                   : options.gameFolder);
  g_game = nullptr;
  CMainControl* app = new CMainControl(nullptr, nullptr);
  if (app->CheckStartUp()) {
    app->SetRunLimits(options.frames, options.screenshot);
    // The host may have no window to give; then there is nothing to run.
    if (platform::Window* window = app->CreateMainWindow(nullptr)) {
      int size[2];
      app->GetWindowSize(size);
      g_game = new CGame(window, app->GetSystemFile(), size[0], size[1], app->GetBpp());
      app->MainLoop(g_game);
    }
  }
  delete g_game;
  g_game = nullptr;
  app->Release();
  const bool screenshotFailed = app->ScreenshotFailed();
  delete app;
  RestoreStartFolder();
  return screenshotFailed ? 1 : 0;
}
