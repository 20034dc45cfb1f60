// What the mode fuzz targets share: small random values, text files and
// masked pictures written into the game folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "platform/files.h"
#include "platform/types.h"

namespace modefuzz {

// Small values are the common case.
inline int Value(fuzzsupport::Reader& in) {
  const uint8_t kind = in.Byte();
  return kind & 0x80 ? in.Int() : (kind & 0x3F) - 8;
}

inline void Write(const char* path, const std::string& text) {
  platform::WriteWholeFile(path, text.data(), text.size());
}

// "<folder><name>.dwq" ("dwq\\sys\\" unless given): w x h with a mask,
// pixel and alpha by position.
inline void WriteStrip(const std::string& name, int w, int h, const std::string& folder = "dwq\\sys\\") {
  dwqtool::Picture p{w, h, {}, {}};
  for (int i = 0; i < w * h; ++i) {
    p.pixels.push_back(static_cast<uint32_t>(i) * 2654435761u & 0xFFFFFF);
    p.alpha.push_back(static_cast<uint8_t>(i * 37));
  }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  if (dwqtool::MakeDwq(p, options, &bytes, &error))
    platform::WriteWholeFile((folder + name + ".dwq").c_str(), bytes.data(), bytes.size());
}

// A settings list of up to maxPairs - 1 pairs: keys from `keys`, values a
// word from `words` or a small number.
template <size_t K, size_t W>
std::string RandomList(fuzzsupport::Reader& in, const char* const (&keys)[K],
                       const char* const (&words)[W], int maxPairs) {
  std::string list;
  const int pairs = in.Byte() % maxPairs;
  for (int i = 0; i < pairs; ++i) {
    list += keys[in.Byte() % K];
    list += ",";
    if (in.Byte() & 1)
      list += words[in.Byte() % W];
    else
      list += std::to_string(Value(in));
    list += "\r\n";
  }
  return list;
}

// "spt\\var.fxf" naming variables v0 .. v<count - 1>, and the folder
// "dwq\\sys" for the pictures.
inline void WriteVarNamesAndPictureFolder(int count) {
  std::string vars;
  for (int i = 0; i < count; ++i) vars += "v" + std::to_string(i) + "\r\n";
  for (char& c : vars) c = static_cast<char>(~c);
  Write("spt\\var.fxf", vars);
  platform::CreateDirectory("dwq");
  platform::CreateDirectory("dwq\\sys");
}

// The game a target enters a mode in at once (Modes().SetNextMode, then
// Modes().ChangeMode).
class ModeGame : public CGame {
 public:
  using CGame::CGame;
};

// One random input for the next frame: a mouse move over the screen and a
// little beyond, a left click, a cursor or Enter key, or a wheel step.
inline void InjectRandomInput(platform::HeadlessBackend& host, fuzzsupport::Reader& in) {
  switch (in.Byte() % 4) {
    case 0:
      host.InjectMouseMove(in.Byte() * 4 - 100, in.Byte() * 3 - 100);
      break;
    case 1:
      host.InjectButton(0, true);
      host.InjectButton(0, false);
      break;
    case 2: {
      const int vk = 0x25 + in.Byte() % 4;
      host.InjectKey(in.Byte() & 1 ? vk : 0x0D, true);
      host.InjectKey(vk, false);
      break;
    }
    default:
      host.InjectWheel(120);
      break;
  }
}

// The queued window messages delivered to the game's handler (`window` for
// messages that name none).
inline void Pump(CGame& game, platform::Window* window) {
  platform::Message m;
  while (platform::PeekMessage(&m, true)) {
    if (m.message == WM_QUIT) continue;
    game.WindowProc(m.window ? m.window : window, m.message, m.wParam, m.lParam);
  }
}

}  // namespace modefuzz
