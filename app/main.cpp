// The program: picks the host (a real window, or headless) and runs the game
// in its folder.
#include <cstdio>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/winmain.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl.h"
#include "platform/system.h"

int main(int argc, char** argv) {
  ProgramOptions options;
  std::string error;
  if (!ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "zorgame: %s\n%s", error.c_str(), ProgramUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(ProgramUsage(), stdout);
    return kExitDone;
  }
  // Paths given on the command line are the caller's, not the game's.
  if (!options.screenshot.empty())
    options.screenshot = platform::HostAbsolutePath(options.screenshot);
  if (!options.inputScript.empty())
    options.inputScript = platform::HostAbsolutePath(options.inputScript);
  if (!options.captureAudio.empty())
    options.captureAudio = platform::HostAbsolutePath(options.captureAudio);
  for (ProgramOptions::ScreenshotAt& shot : options.screenshotsAt)
    shot.file = platform::HostAbsolutePath(shot.file);

  // The game folder given on the command line wins over the program's own.
  const std::string folder = options.gameFolder.empty()
                                 ? platform::ExecutableFolder()
                                 : platform::HostAbsolutePath(options.gameFolder);
  if (!platform::HostIsDirectory(folder)) {
    std::fprintf(stderr, "zorgame: cannot enter the game folder %s\n", folder.c_str());
    return 2;
  }

  if (!options.headless) {
    auto sdl = platform::CreateSdlBackend(&error, platform::SdlDisplay::kVisible);
    if (sdl) {
      platform::Install(std::move(sdl));
      platform::SetSdlDebugOutput(options.debugOutput);
    } else {
      std::fprintf(stderr, "zorgame: no display (%s); running headless\n", error.c_str());
      options.headless = true;
    }
  }
  platform::HeadlessBackend* headless = nullptr;
  if (options.headless) {
    auto& host = platform::InstallHeadless();
    headless = &host;
    for (const ProgramOptions::ScreenshotAt& shot : options.screenshotsAt)
      host.ScreenshotAt(shot.frame, shot.file);
    for (long long frame : options.hashesAt) host.HashAt(frame);
    host.SetBoxAnswer(options.boxAnswerYes ? IDYES : IDNO);
    host.SetDebugEcho(options.debugOutput);
    host.SetHashEvery(options.hashEvery);
    if (options.realFonts) host.SetGlyphService(platform::CreateFreeTypeGlyphs());
    if (!options.inputScript.empty() && !host.LoadInputScript(options.inputScript, &error)) {
      std::fprintf(stderr, "zorgame: %s\n", error.c_str());
      return 2;
    }
    if (const char* note = HeadlessEndingNote(options, host.InputScriptCloses()))
      std::fputs(note, stderr);
  } else {
    // The window takes the script's events as real input at their frames.
    if (!options.inputScript.empty() && !platform::LoadSdlInputScript(options.inputScript, &error)) {
      std::fprintf(stderr, "zorgame: %s\n", error.c_str());
      return 2;
    }
    if (!options.captureAudio.empty()) {
      std::fputs("zorgame: --capture-audio needs a headless run; nothing is captured\n", stderr);
      options.captureAudio.clear();
    }
    if (!options.screenshotsAt.empty() || !options.hashesAt.empty())
      std::fputs("zorgame: --screenshot-at and --hash-at need a headless run; nothing is written\n",
                 stderr);
  }
  // SIGINT, SIGTERM and SIGHUP close the game as its close box does.
  platform::CloseOnTerminationSignals();
  // The mix of the whole run, kept from the first frame on.
  std::shared_ptr<platform::AudioDevice> capture;
  if (!options.captureAudio.empty() && (capture = platform::Audio())) capture->StartCapture();

  StartOptions start;
  start.gameFolder = folder;
  start.frames = options.frames;
  start.screenshot = options.screenshot;
  int status = WinMain(start);
  // A frame asked for that could not be written, or that the run never
  // reached, fails the run as the screenshot of the last frame does.
  // Every frame not reached is told, whether or not a screenshot failed.
  const bool notReached = headless && headless->ReportFramesNotReached();
  if (headless && (headless->ScreenshotFailed() || notReached) && status == kExitDone)
    status = kExitScreenshotFailed;
  if (capture) {
    const std::vector<int16_t> mix = capture->StopCapture();
    if (platform::WriteWavFile(options.captureAudio, platform::AudioFormat{}, mix.data(),
                               mix.size() * sizeof(int16_t))) {
      std::printf("audio: %s\n", options.captureAudio.c_str());
    } else {
      std::fprintf(stderr, "zorgame: could not write %s\n", options.captureAudio.c_str());
      if (status == kExitDone) status = kExitScreenshotFailed;
    }
  }
  return status;
}
