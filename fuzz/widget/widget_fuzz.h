// What the widget fuzz targets share: pictures with a mask (in memory or as
// picture files) and the check of a container's answer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/support/fuzz_support.h"
#include "graphics/picture.h"
#include "platform/files.h"
#include "widget/buttoncode.h"

namespace widgetfuzz {

// A picture with a mask and a colour key, so every draw path runs.
inline std::unique_ptr<CPicture> MakePicture(int w, int h) {
  auto picture = std::make_unique<CPicture>(w, h, 1);
  if (!picture->GetPixelBuffer() || !picture->GetMask()) return picture;
  for (int i = 0; i < w * h; ++i) {
    picture->GetPixelBuffer()[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    picture->GetMask()[i] = static_cast<unsigned char>(i * 7);
  }
  return picture;
}

// The same pattern as "dwq/sys/<name>.dwq" in the game folder (needs the
// picture writer).
inline void WritePicture(const std::string& name, int w, int h) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int i = 0; i < w * h; ++i) {
    p.pixels.push_back(static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF);
    p.alpha.push_back(static_cast<uint8_t>(i * 7));
  }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!dwqtool::MakeDwq(p, options, &bytes, &error)) return;
  platform::WriteWholeFile(("dwq/sys/" + name + ".dwq").c_str(), bytes.data(), bytes.size());
}

// -1 or one of the button kinds, with a number inside the container.
inline void CheckCode(int32_t code, int members) {
  if (code == buttoncode::kNothing) return;
  const int32_t kind = GetButtonCodeKind(code);
  fuzzsupport::Check(kind == buttoncode::kDecided || kind == buttoncode::kPressed ||
                         kind == buttoncode::kBusy || kind == buttoncode::kEntered ||
                         kind == buttoncode::kLeft || kind == buttoncode::kSoundOnly,
                     "kind");
  fuzzsupport::Check(GetButtonCodeNumber(code) < members, "number inside the container");
}

}  // namespace widgetfuzz
