// Writes the seeds of the effect fuzz targets: for the channel records, the
// saved records after starting each registered effect with its defaults; for
// the starts, one start of each registered effect with a few values, and
// starts of the transform effects with awkward values and pictures.
// Usage: make_seeds CHANNEL_DIR START_DIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "effect/effectmanager.h"
#include "effect/effectregistry.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "tools/common/hostfile.h"

namespace {

void PutInt(std::vector<uint8_t>* out, int32_t v) {
  for (int b = 0; b < 4; ++b) out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
}

// One start in the start target's form: channel byte (channel + 1), pick
// byte (entry index; odd also loads the channel's picture), count, values.
void PutStart(std::vector<uint8_t>* out, int channel, size_t entry, size_t entryCount,
              const std::vector<int32_t>& values) {
  size_t pick = entry;
  if (pick % 2 == 0 && pick + entryCount < 240) pick += entryCount;
  out->push_back(static_cast<uint8_t>(channel + 1));
  out->push_back(static_cast<uint8_t>(pick));
  out->push_back(static_cast<uint8_t>(values.size()));
  for (int32_t v : values) PutInt(out, v);
}

// The layer transforms, the turn, the anchored stretch and the moving mask
// wipe with huge and negative values for every parameter, on channels whose
// pictures are 8-bit, unmasked, one pixel and far larger than the screen;
// and the mask wipe over the saved screen and with mask channels -1 and 16.
bool WriteAwkwardStarts(const std::string& dir, std::span<const EffectEntry> entries) {
  const int numbers[] = {36, 62, 64, 65, 67, 101, 119};
  const int32_t fills[] = {INT32_MAX, INT32_MIN, -1, -100000, 1000000};
  for (size_t i = 0; i < entries.size(); ++i) {
    if (std::find(std::begin(numbers), std::end(numbers), entries[i].number) == std::end(numbers))
      continue;
    for (size_t f = 0; f < std::size(fills); ++f) {
      std::vector<uint8_t> seed = {static_cast<uint8_t>(f)};
      for (int channel : {1, 2, 10, 15}) {
        std::vector<int32_t> values(36, fills[f]);
        values[0] = 3;  // a short run, so every frame of it is seen
        if (entries[i].number == 101) values[1] = channel == 15 ? 2 : 15;
        PutStart(&seed, channel, i, entries.size(), values);
      }
      std::vector<int32_t> all(36, fills[f]);
      PutStart(&seed, 4, i, entries.size(), all);
      const std::string path =
          dir + "/awkward-" + entries[i].className + "-" + std::to_string(f);
      if (!toolsupport::WriteHostFile(path, seed.data(), seed.size())) return false;
    }
    if (entries[i].number != 101) continue;
    std::vector<uint8_t> seed = {9};
    PutStart(&seed, 15, i, entries.size(), {4, 2, 15, 0, 0, 1, 1});
    PutStart(&seed, 2, i, entries.size(), {4, 15, -1});
    PutStart(&seed, 4, i, entries.size(), {4, 15, 16, 0, 0, 0, 0, 1});
    PutStart(&seed, 10, i, entries.size(), {4, 10, 10, 0, 0, 1, 0, 0, 200, -100});
    if (!toolsupport::WriteHostFile(dir + "/awkward-" + entries[i].className + "-saved",
                                    seed.data(), seed.size()))
      return false;
  }
  return true;
}

}  // namespace

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
    if (number == 81) {
      // Records naming meshes the run never made.
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = 0;
      for (int c = 0; c < 16; ++c) {
        EffectChannel record = *manager.GetSaveChannel(c);
        if (record.EffectNumber() == 81) {
          record.Param(13) = c % 3;
          record.Param(14) = 1 + c;
          record.Param(15) = 2;
          record.Param(17) = 1000 + c;
        }
        record.Write(&bytes[1 + c * 1024]);
      }
      if (!toolsupport::WriteHostFile(std::string(argv[1]) + "/" + entries[i].className + "-uncached",
                                      bytes.data(), bytes.size()))
        return 1;
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
      {12, {20, 0, 2, 300}},
      {13, {10, 400, 500, 0, 200, 0, 128, 255}},
      {14, {10, -1, -1}},
      {57, {10, 3, 3}},
      {24, {10, 20, 100, 0}},
      {92, {10, 20, 10, 10, 0, 2, 1, -1, 1, 5, 8, 1, 0}},
      {93, {10, 10, 20, 500, 0, 1, 100, 20, 100, 50, 20, -1}},
      // The shatter's mesh kinds: built-in, each generated shape (jittered,
      // too dense, negative density), a file, an unknown kind.
      {81, {10, 100, 100, 24, 16, 3, 100, 0, 0, 0, 100, 0, 0, 0}},
      {81, {10, 150, 50, 0, 0, 2, 5, 1, 2, 100, 0, 0, 0, 1, 0, 1, 4, 0}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 1, 1, 2, 2, 1}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 1, 2, 3, 4, 2}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 1, 0, 100, 0, 3}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 1, 0, -5, 0, 4}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 2, 1}},
      {81, {10, 100, 100, 24, 16, 0, 0, 0, 0, 100, 100, 0, 0, 9, 1, 1, 1, 1}},
  };
  std::map<int, int> seen;
  for (const FullStart& f : full) {
    size_t i = 0;
    while (i < entries.size() && entries[i].number != f.number) ++i;
    if (i == entries.size()) continue;
    std::vector<uint8_t> start = {7, 9, static_cast<uint8_t>(i),
                                  static_cast<uint8_t>(f.values.size())};
    for (int v : f.values)
      for (int b = 0; b < 4; ++b) start.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
    const int k = seen[f.number]++;
    const std::string path = std::string(argv[2]) + "/" + entries[i].className + "-full" +
                             (k ? "-" + std::to_string(k) : std::string());
    if (!toolsupport::WriteHostFile(path, start.data(), start.size())) return 1;
  }
  if (!WriteAwkwardStarts(argv[2], entries)) return 1;
  return 0;
}
