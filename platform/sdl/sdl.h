// The SDL backend: a real window, input, timer and full screen over SDL2.
#pragma once

#include <memory>
#include <string>

#include "platform/backend.h"

namespace platform {

// Null (with the reason in *error) when no display can be opened.
std::unique_ptr<Backend> CreateSdlBackend(std::string* error);

// Trace lines go to stderr only while this is on (off at start).
void SetSdlDebugOutput(bool on);

}  // namespace platform
