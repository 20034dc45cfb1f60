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
  return 0;
}
