// Writes the seeds of the effect fuzz targets: for the channel records, the
// saved records after starting each registered effect with its defaults; for
// the starts, one start of each registered effect with a few values.
// Usage: make_seeds CHANNEL_DIR START_DIR
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "effect/effectmanager.h"
#include "effect/effectregistry.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "tools/common/hostfile.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  platform::InstallHeadless().SetBoxEcho(false);
  CScreenBuffer screen(48, 32, 0);
  CEffectManager manager;
  const auto entries = GetEffectEntries();
  for (size_t i = 0; i < entries.size(); ++i) {
    manager.ResetAll();
    const int number = entries[i].number;
    const int values[] = {6, 12, 9, 30, 0, 2, 1, 50, 100, 0, 0, 150, 50};
    manager.SetPicture(4, 4);
    manager.StartEffect(4, number, 13, values);
    manager.StartEffect(15, number, 0, nullptr);
    manager.AddFrame(2);
    manager.SaveChannels();
    for (int mode : {0, 1}) {
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = static_cast<uint8_t>(mode | 2);
      for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
      const std::string path = std::string(argv[1]) + "/" + entries[i].className +
                               (mode ? "-saved" : "-live");
      if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return 1;
    }
    std::vector<uint8_t> start = {7, 5, static_cast<uint8_t>(i), 13};
    for (int v : values)
      for (int b = 0; b < 4; ++b) start.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
    const std::string path = std::string(argv[2]) + "/" + entries[i].className;
    if (!toolsupport::WriteHostFile(path, start.data(), start.size())) return 1;
  }
  // Starts giving every value of an effect's parameter list.
  struct FullStart {
    int number;
    std::vector<int> values;
  };
  const FullStart full[] = {
      {10, {12, 255, 128, 0, 5, 3}},
      {11, {12, 0, 64, 255, 105, 2}},
      {17, {9, 1, 2, 255, 0, 0}},
      {32, {8, 5, 2}},
      {43, {100, 5, 3, 4, 6, 30, 20}},
      {52, {7}},
      {54, {20, 255, -1, 300}},
      {55, {0, 3, 2, 40, 25, 4, 2, 255, 255, 255, 30, 50, 70}},
      {61, {12, 2, 1, 1, 6,   0,  0, 10, 5,  -8, 20, 40, 100, 1,  5,  15, 2,  0,  0,
            1,  4, 0, 0, 150, 80, 50, 120, 0, 9, 0,  0,  60, -40, 20, 0,  0,  0}},
      {87, {10, 20, 10, 15, 8, 255, 0, 0, 80, 5, 5, 1, 2, 3, 3, 0, 0, 0, 0, 255, 0, 0, 20, 0, 0}},
      {88, {255, 0}},
      {89, {10, 24, 16, 20, 12, 24, 16, 8, 4, 0, 255, 0, 90, 10, 10, 30, 20, 5, 2,
            5, 5, 2, 2, 0, 0, 255, 0, 0, 0, 0, 30, 0, 0}},
      {114, {20, 3, 4, 5, 5, 30, 20, 0, 0, 0, 255, 128, 0, 2, 3, 40, 25, 1, 2, 3, 4, 5, 6, 7}},
      {115, {10, 20, 10, 15, 8, -80, 40, 0, 60, 5, 5, 1, 2, 3, 3, 0, 0, 0, 0, 255, 0, 0, 20, 0, 0}},
      {116, {10, 24, 16, 20, 12, 24, 16, 8, 4, 0, 255, 0, 90, 10, 10, 30, 20, 5, 2,
             5, 5, 2, 2, 0, 0, -255, 0, 0, 0, 0, 30, 0, 0}},
      {117, {0, 128}},
      {118, {20, 3, 4, 5, 5, 30, 20, 0, 0, 0, 255, 128, 0, 2, 3, 40, 25, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const FullStart& f : full) {
    size_t i = 0;
    while (i < entries.size() && entries[i].number != f.number) ++i;
    if (i == entries.size()) continue;
    std::vector<uint8_t> start = {7, 9, static_cast<uint8_t>(i),
                                  static_cast<uint8_t>(f.values.size())};
    for (int v : f.values)
      for (int b = 0; b < 4; ++b) start.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
    const std::string path = std::string(argv[2]) + "/" + entries[i].className + "-full";
    if (!toolsupport::WriteHostFile(path, start.data(), start.size())) return 1;
  }
  return 0;
}
