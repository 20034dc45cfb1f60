// The program: picks the host (a real window, or headless), enters the game
// folder and runs the game.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl.h"
#include "platform/system.h"

namespace {

struct LoopState {
  bool closed = false;
};

intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                    intptr_t lParam, void* context) {
  auto* state = static_cast<LoopState*>(context);
  if (message == WM_DESTROY) {
    state->closed = true;
    platform::PostQuitMessage(0);
    return 0;
  }
  return platform::DefWindowProc(window, message, wParam, lParam);
}

// Until the application object takes over: a cleared frame every 50 ms.
int RunPlaceholderLoop(platform::Window* window, const ProgramOptions& options) {
  LoopState state;
  window->SetHandler(&WindowProc, &state);
  std::vector<uint32_t> frame(800 * 600, 0);
  platform::FrameView view{frame.data(), 800, 600, 800 * 4};
  platform::Rect all{0, 0, 800, 600};
  long long frames = 0;
  uint32_t base = platform::GetTicks();
  while (options.frames < 0 || frames < options.frames) {
    platform::Message m;
    if (platform::PeekMessage(&m, true)) {
      if (m.message == WM_QUIT) break;
      platform::DispatchMessage(m);
      continue;
    }
    if (static_cast<int32_t>(platform::GetTicks() - base) < 50) {
      platform::Sleep(1);
      continue;
    }
    base += 50;
    window->Present(view, &all, 1, false);
    ++frames;
  }
  if (!options.screenshot.empty()) {
    std::string path = std::filesystem::absolute(options.screenshot).string();
    if (!window->SaveScreenshot(path)) {
      std::fprintf(stderr, "zorgame: could not write %s\n", path.c_str());
      return 1;
    }
    std::printf("screenshot: %s\n", path.c_str());
  }
  if (!state.closed) platform::DestroyWindow(window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ProgramOptions options;
  std::string error;
  if (!ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "zorgame: %s\n%s", error.c_str(), ProgramUsage());
    return 2;
  }
  // Paths given on the command line are the caller's, not the game's.
  if (!options.screenshot.empty())
    options.screenshot = std::filesystem::absolute(options.screenshot).string();
  if (!options.inputScript.empty())
    options.inputScript = std::filesystem::absolute(options.inputScript).string();

  if (!options.headless) {
    auto sdl = platform::CreateSdlBackend(&error);
    if (sdl) {
      platform::Install(std::move(sdl));
      platform::SetSdlDebugOutput(options.debugOutput);
    } else {
      std::fprintf(stderr, "zorgame: no display (%s); running headless\n", error.c_str());
      options.headless = true;
    }
  }
  if (options.headless) {
    auto& host = platform::InstallHeadless();
    host.SetBoxAnswer(options.boxAnswerYes ? IDYES : IDNO);
    host.SetDebugEcho(options.debugOutput);
    host.SetHashEvery(options.hashEvery);
    if (!options.inputScript.empty() && !host.LoadInputScript(options.inputScript, &error)) {
      std::fprintf(stderr, "zorgame: %s\n", error.c_str());
      return 2;
    }
  }

  std::string folder = options.gameFolder.empty() ? platform::ExecutableFolder() : options.gameFolder;
  if (!platform::EnterGameFolder(folder)) {
    std::fprintf(stderr, "zorgame: cannot enter the game folder %s\n", folder.c_str());
    return 2;
  }

  platform::WindowDesc desc;
  desc.title = "zor\x95\x57\x8f\x80\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80";  // zor標準プログラム
  platform::Window* window = platform::CreateWindow(desc);
  int result = window ? RunPlaceholderLoop(window, options) : 1;
  platform::LeaveGameFolder();
  return result;
}
