// Writes a frame as an 8-bit RGB PNG file (host path); used for screenshots.
#pragma once

#include <string>

#include "platform/backend.h"

namespace platform {

bool WritePngFile(const std::string& hostPath, const FrameView& frame);

}  // namespace platform
