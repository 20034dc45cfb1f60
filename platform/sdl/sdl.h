// The SDL backend: a real window, input, timer and full screen over SDL2.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

namespace platform {

// Which video drivers will do: any (tests run on SDL's dummy driver), or
// only one that can show a window to the player.
enum class SdlDisplay { kAny, kVisible };

// Null (with the reason in *error) when no display can be opened; with
// kVisible also when SDL picked its offscreen or dummy driver or no window
// can be made.
std::unique_ptr<Backend> CreateSdlBackend(std::string* error,
                                          SdlDisplay display = SdlDisplay::kAny);

// Gives the installed SDL backend the input script that drives the run
// (--input; see platform/common/input_script.h). False with the reason when
// the file cannot be read or the SDL backend is not the one installed.
bool LoadSdlInputScript(const std::string& hostPath, std::string* error);

// Trace lines go to stderr only while this is on (off at start).
void SetSdlDebugOutput(bool on);

}  // namespace platform
