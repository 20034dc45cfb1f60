// Writes the seeds of the effect fuzz targets: for the channel records, the
// saved records after starting each registered effect with its defaults; for
// the starts, one start of each registered effect with a few values, and
// starts of the transform effects with awkward values and pictures; for the
// wipe table, steps of the distortion and shatter wipes on odd screens.
// Usage: make_seeds CHANNEL_DIR START_DIR WIPE_DIR
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
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
  const int numbers[] = {36,  37,  39,  62,  64,  65,  67,  68,  84,  94,  96,  99,
                         101, 119, 120, 122, 124, 127, 130, 131,
                         70,  71,  77,  78,  80,  97,  104, 126, 133,
                         48,  86,  90,  125, 132, 136};
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

// The layer effects and the character filters started with every value 0.
bool WriteZeroStarts(const std::string& dir, std::span<const EffectEntry> entries) {
  const int numbers[] = {37, 39, 68, 84, 94, 96, 99, 120, 122, 124, 127, 130, 131,
                         70, 71, 77, 78, 80, 97, 104, 126, 133, 48, 86, 90, 125, 132, 136};
  for (size_t i = 0; i < entries.size(); ++i) {
    if (std::find(std::begin(numbers), std::end(numbers), entries[i].number) == std::end(numbers))
      continue;
    std::vector<uint8_t> seed = {3};
    for (int channel : {4, 10, 15})
      PutStart(&seed, channel, i, entries.size(), std::vector<int32_t>(33, 0));
    if (!toolsupport::WriteHostFile(dir + "/zero-" + entries[i].className, seed.data(),
                                    seed.size()))
      return false;
  }
  return true;
}

// Saved records a script could not have made: #94 with any offsets and
// counters at p12..p15, #120 with tone-curve numbers and levels outside
// their ranges, #122 with any clip values.
bool WriteOddRecords(const std::string& dir, CEffectManager& manager) {
  struct Odd {
    int number;
    std::vector<std::pair<int, int32_t>> params;
  };
  const Odd odd[] = {
      {94, {{12, INT32_MAX}, {13, INT32_MIN}, {14, INT32_MIN}, {15, INT32_MAX}, {1, INT32_MAX}}},
      {94, {{12, -5}, {13, 7}, {14, 100000}, {15, -100000}, {2, INT32_MIN}}},
      {120, {{10, 10}, {11, -1}, {12, INT32_MAX}, {1, 100000}, {4, INT32_MIN}, {13, 1}}},
      {122, {{9, INT32_MIN}, {10, INT32_MAX}, {11, 0}, {12, 0}, {13, 2}, {14, INT32_MAX},
             {15, INT32_MIN}, {16, INT32_MIN}, {17, 1}, {20, INT32_MAX}}},
      {122, {{9, 20}, {10, 10}, {11, 0}, {12, -1}, {14, 20}, {15, 10}, {16, -1}, {17, 0},
             {20, 1000000}, {21, INT32_MAX}}},
      {122, {{13, 1}, {9, -100000}, {10, 5}, {11, INT32_MAX}, {12, INT32_MIN}, {20, 7},
             {1, INT32_MAX}, {3, INT32_MIN}}},
      {70, {{1, INT32_MAX}, {13, INT32_MIN}, {5, INT32_MIN}, {17, INT32_MIN}, {22, 0}, {8, -3}}},
      {70, {{1, -7}, {2, 1}, {3, 1}, {18, INT32_MAX}, {22, INT32_MAX}, {11, 1}}},
      {71, {{1, INT32_MAX}, {13, -50}, {15, INT32_MIN}, {4, 0}, {11, 1}}},
      {71, {{1, 700}, {13, 590}, {6, INT32_MIN}, {16, 7}, {17, INT32_MAX}}},
      {80, {{12, INT32_MAX}, {13, INT32_MIN}, {8, INT32_MAX}, {9, INT32_MIN}, {1, 2}}},
      {80, {{12, -4}, {13, INT32_MAX}, {2, INT32_MAX}, {7, INT32_MIN}}},
      {132, {{20, INT32_MAX}, {21, INT32_MIN}, {22, INT32_MIN}, {23, INT32_MAX}, {24, INT32_MAX},
             {25, INT32_MIN}, {1, INT32_MAX}, {3, INT32_MIN}}},
      {132, {{20, -5}, {21, 0}, {22, 100000}, {23, -100000}, {6, 7}, {7, INT32_MAX}}},
      {125, {{1, 1000}, {2, 0}, {3, INT32_MAX}, {4, INT32_MIN}, {7, 1}, {8, 1}}},
      {125, {{1, 0}, {2, 1000}, {3, 100}, {4, 100}, {8, 1}}},
      {136, {{5, 1}, {1, 30}, {2, 20}, {3, -10}, {4, -8}, {16, 1000}, {29, 30}, {30, 20},
             {31, -10}, {32, -8}}},
      {136, {{1, 10}, {2, 10}, {3, 3}, {4, 0}, {16, 100000}, {29, 10}, {30, 10}, {31, 0},
             {32, 5}}},
      {86, {{1, 720}, {2, INT32_MAX}, {3, INT32_MIN}, {4, INT32_MAX}, {6, 3}, {9, 1000}}},
      {86, {{1, -90}, {4, INT32_MIN}, {6, 3}}},
      {48, {{1, INT32_MIN}, {2, INT32_MAX}, {3, INT32_MAX}, {6, 1}, {7, INT32_MIN}}},
  };
  int n = 0;
  for (const Odd& o : odd) {
    manager.ResetAll();
    manager.SetPicture(4, 4);
    manager.StartEffect(4, o.number, 0, nullptr);
    for (const auto& [index, value] : o.params) manager.GetChannel(4)->Param(index) = value;
    manager.SaveChannels();
    for (int mode : {0, 1}) {
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = static_cast<uint8_t>(mode | 2);
      for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
      const std::string path = dir + "/odd-" + std::to_string(o.number) + "-" +
                               std::to_string(n) + (mode ? "-saved" : "-live");
      if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
    }
    ++n;
  }
  return true;
}

}  // namespace

namespace {

// The place of an effect number in the table (the start seeds' pick byte).
int PickOf(int number) {
  const auto entries = GetEffectEntries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].number == number) return static_cast<int>(i);
  return -1;
}

void PushInt(std::vector<uint8_t>* bytes, int v) {
  for (int b = 0; b < 4; ++b) bytes->push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
}

// The filter and scene effects (#15 .. #129) on odd and small screens with
// empty and outsized areas and bands, huge and negative offsets and
// amplitudes, durations of 0 and very long ones; and records of the noise
// (#29) and the flare (#51) holding values no start gives.
bool WriteFilterSeeds(const std::string& channelDir, const std::string& startDir,
                      CEffectManager& manager) {
  struct Start {
    int number;
    std::vector<int> values;
  };
  const int big = 1 << 30;
  const std::vector<Start> starts = {
      {15, {}}, {15, {0, 1}}, {15, {INT_MAX, -7, 3}},
      {18, {}}, {18, {0}}, {18, {big, 1, 1}},
      {20, {}}, {20, {0, INT_MIN, INT_MAX, 9999}},
      {23, {}}, {23, {20, INT_MIN, INT_MAX}}, {23, {big, 500, 500, 0, 0}},
      {29, {}}, {29, {5, 1, 100, 0, 0, 0, 0, 0, 0, 0}}, {29, {5, 1, 100, 0, 0, 0, 700, 500, 9999, 9999}},
      {29, {5, 1, 50, 10, 0, 0, -100, -100, -5, -5}}, {29, {0, 1, INT_MAX, INT_MIN, 0, 0, 4, 1, 4, 1}},
      {31, {}}, {31, {20, 0, 0, INT_MAX, INT_MIN}},
      {33, {}}, {33, {20, 0, INT_MAX, INT_MIN}},
      {50, {}}, {50, {5, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {50, {5, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 9999, 9999}},
      {50, {5, INT_MIN, 0, INT_MAX, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, -5, -5}},
      {51, {}}, {51, {0, 1}}, {51, {big, 20, INT_MIN, INT_MAX, INT_MAX, INT_MIN, -5, 5, 0, 0, big}},
      {51, {20, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {74, {}}, {74, {20, -100000, 100000, INT_MAX, INT_MIN, 100, 100, 0, 0, 0, 0, INT_MIN, INT_MAX}},
      {74, {0, 1, 1, 100, 100, 100, 100}},
      {76, {}}, {76, {20, 1, 0, 0, 255, -5}}, {76, {20, 2, 0, 0, 255}}, {76, {0, 3, 0, 0, 1, big}},
      {100, {}}, {100, {20, INT_MAX, INT_MIN, INT_MAX, INT_MIN, 1, INT_MAX}},
      {100, {20, 801, 601, 0, 0, 1, 0}}, {100, {20, -40, 30, 7, 9, 0, 13, 1, 999, -5, 300, 1}},
      {128, {}}, {128, {20, 0, 0, 100, 0, 9999, -9999, 300}},
      {129, {}}, {129, {big, 0, 0, INT_MIN, INT_MAX}},
  };
  int written = 0;
  auto write = [&](const std::vector<uint8_t>& bytes) {
    return toolsupport::WriteHostFile(startDir + "/filter-" + std::to_string(written++), bytes.data(),
                                      bytes.size());
  };
  // Seed byte 0xFE picks the 33 x 33 screen: every start above there.
  for (const Start& start : starts) {
    const int pick = PickOf(start.number);
    if (pick < 0) continue;
    // Channel 2 holds a screen-sized picture: #1 (an odd pick) sets it
    // there, then the effect starts over it.
    std::vector<uint8_t> bytes = {0xFE, 3, static_cast<uint8_t>(PickOf(1)), 0, 3,
                                  static_cast<uint8_t>(pick), static_cast<uint8_t>(start.values.size())};
    for (int v : start.values) PushInt(&bytes, v);
    if (!write(bytes)) return false;
  }
  // Seed byte 0xFF picks the 801 x 601 screen, slow to run: two seeds that
  // start seven of the effects each with their defaults.
  const int numbers[] = {15, 18, 20, 23, 29, 31, 33, 50, 51, 74, 76, 100, 128, 129};
  for (int half = 0; half < 2; ++half) {
    std::vector<uint8_t> bytes = {0xFF, 3, static_cast<uint8_t>(PickOf(1)), 0};
    for (int i = 7 * half; i < 7 * half + 7; ++i) {
      const int pick = PickOf(numbers[i]);
      if (pick < 0) continue;
      bytes.insert(bytes.end(), {static_cast<uint8_t>(3 + i % 3), static_cast<uint8_t>(pick), 0});
    }
    if (!write(bytes)) return false;
  }
  // Records of #29 and #51 out of range, live and saved.
  for (int number : {29, 51}) {
    manager.ResetAll();
    manager.StartEffect(3, number, 0, nullptr);
    manager.StartEffect(9, number, 0, nullptr);
    manager.SaveChannels();
    for (int c : {3, 9}) {
      EffectChannel* record = manager.GetSaveChannel(c);
      const int sign = c == 3 ? 1 : -1;
      for (int i = 1; i < 11; ++i) record->Param(i) = sign * (i % 2 ? big : INT_MAX);
    }
    for (int mode : {2, 3}) {
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = static_cast<uint8_t>(mode);
      for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
      const std::string path = channelDir + "/outsized-" + std::to_string(number) + "-" + std::to_string(mode);
      if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
    }
  }
  return true;
}

// The ripple (#69): starts with a zero wavelength and speed, huge heights,
// second-picture channels -1, 16 and -2 and the saved-screen flags; and
// records that hold a ripple no start has made a map for (a centre far off
// the screen), drawn before and after a restore.
bool WriteRippleSeeds(const std::string& channelDir, const std::string& startDir,
                      std::span<const EffectEntry> entries) {
  size_t i = 0;
  while (i < entries.size() && entries[i].number != 69) ++i;
  if (i == entries.size()) return true;
  std::vector<uint8_t> starts = {3};
  PutStart(&starts, 4, i, entries.size(), {12, 0, 24, 16, 100000, 0, 0, 8, 100});
  PutStart(&starts, 5, i, entries.size(), {12, -1, -7, 40, INT32_MAX, 30, 1, INT32_MIN, 0});
  PutStart(&starts, 6, i, entries.size(), {12, 16, 24, 16});
  PutStart(&starts, 7, i, entries.size(), {12, -2, 24, 16});
  PutStart(&starts, 8, i, entries.size(),
           {-5, 3, 24, 16, 300, 7, 2, 3, -50, 0, 1000, -4, 0, 105, 3, 1, 1});
  if (!toolsupport::WriteHostFile(startDir + "/ripple-awkward", starts.data(), starts.size()))
    return false;
  for (int mode : {0, 1}) {
    std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
    bytes[0] = static_cast<uint8_t>(mode | 0x80);
    for (int c : {4, 5}) {
      EffectChannel r{};
      r.Active() = 1;
      r.PictureNumber() = c;
      r.EffectNumber() = 69;
      r.Duration() = 10;
      r.Counter() = 3;
      const int32_t p[] = {10, c == 4 ? 0 : 16, -100000, 7, 40, 30, 10, 8, 100, 100, 0, 0, 100};
      for (size_t k = 0; k < std::size(p); ++k) r.Param(static_cast<int>(k)) = p[k];
      r.Write(&bytes[1 + c * EffectChannel::kBytes]);
    }
    const std::string path = channelDir + "/ripple-stale" + (mode ? "-saved" : "-live");
    if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
  }
  return true;
}

// Steps of the distortion and shatter wipes at a maximum of 1 and 11 and
// with huge values, on odd screens of 47 x 35 and 13 x 7 (the pictures are
// screen-sized at 48 x 36, larger and odd, or small).
bool WriteWipeSeeds(const std::string& dir) {
  const int numbers[] = {8, 22, 26, 27, 34, 35, 38, 41, 42, 43, 44, 45, 46, 47};
  for (int number : numbers) {
    for (auto [w, h] : {std::pair{46, 34}, {12, 6}}) {
      std::vector<uint8_t> seed = {static_cast<uint8_t>(w), static_cast<uint8_t>(h), 7};
      // op 1: a table number, progress and maximum as bytes (value + 1, value).
      for (auto [p, m] : {std::pair{0, 1}, {1, 1}, {5, 11}, {11, 11}}) {
        seed.insert(seed.end(), {1, 2, 4, static_cast<uint8_t>(p + 1), static_cast<uint8_t>(m),
                                 static_cast<uint8_t>(number)});
      }
      // op 1 | 2 | 4 | 8: ints for progress and maximum, byte offsets.
      seed.insert(seed.end(), {15, 4, 2});
      PutInt(&seed, INT32_MAX - 3);
      PutInt(&seed, INT32_MAX);
      seed.insert(seed.end(), {0, 90, 45, 3, static_cast<uint8_t>(number)});
      const std::string path =
          dir + "/wipe-" + std::to_string(number) + "-" + std::to_string(w + 1);
      if (!toolsupport::WriteHostFile(path, seed.data(), seed.size())) return false;
    }
  }
  return true;
}

}  // namespace

namespace {

// The animation, swarm, rain and plane effects (#19 .. #108) with zero
// cells and divisors, negative eye heights and strips, huge speeds and
// counts over the 33 x 33 screen; and their records as a save could hold
// them: 17 and more sprites, divisors of 0, a far depth below the near one.
bool WriteAnimationSeeds(const std::string& channelDir, const std::string& startDir,
                         CEffectManager& manager) {
  const auto entries = GetEffectEntries();
  const int big = 1 << 30;
  struct Start {
    int number;
    std::vector<int> values;
  };
  const std::vector<Start> starts = {
      {19, {3, 3, 5, 0, 0}}, {19, {3, 0, 0, 1, 2, 0, 0, 0, 0, 0, 1}},
      {19, {3, INT_MAX, INT_MAX, 1, -5, 0, 0, 0, 0, 0, 1}},
      {63, {3, 0, 0, 0}}, {63, {1, -4, -4}},
      {63, {3, 1, 1, 0, INT_MAX, INT_MIN, INT_MIN, INT_MAX, 2, 5, 0, 100, 1, 1, 1}},
      {63, {0, big, big, 1, 0, 0, 0, 0, 2, 0, 50, 0, 0, 0, 7}},
      {98, {0, 4, 4, 3, -1, 1, 2, 0, 0, 0, 0, 0, 100}},
      {98, {0, INT_MAX, INT_MAX, INT_MAX, 40, 1, 3, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 50}},
      {79, {3, 0, 0, 1}}, {79, {INT_MAX, 999, INT_MIN, 1}}, {79, {3, 1000, 0}},
      {108, {3, 0, 0, 20, 5, 0, 0, 0, 0, 0, -5, INT_MAX}},
      {108, {3, 1, 1, 16, 15, INT_MIN, INT_MAX, 0, INT_MAX, INT_MAX, INT_MAX, 10000}},
      {27, {3, 0, 0, 20, 5, 0, 0, 0, 0, 0, -5, INT_MAX}},
      {27, {3, 32, 32, 3, 255, 1, 3, 1, 1, 0, 10, 5000}},
      {27, {3, 1, 1, 16, 15, INT_MIN, INT_MAX, 0, INT_MAX, INT_MAX, INT_MAX, 10000}},
      {56, {3, INT_MAX, INT_MIN, 9, INT_MAX, INT_MIN, 100, 0}}, {56, {3, -100, -100, 4, 0, 0, 0, 1}},
      {56, {3, 5, 30, 4, 3, 3, 1000, 1}},
      {102, {3, big, INT_MAX, 10, INT_MIN, -5, -5, 0, 0}}, {102, {3, 100, 20, 20, 0, INT_MAX, INT_MAX, 100, 1}},
      {102, {3, 0, 0, 0, INT_MAX}},
      {82, {3, 0, 0, 0, 0, 0, 0, 0, 1, 1, INT_MAX, INT_MIN, 0, 0}},
      {82, {3, INT_MAX, INT_MAX, INT_MIN, -5, INT_MAX, INT_MAX, INT_MAX, 1, 1, -300, 300, 0, INT_MAX}},
      {83, {3, 300, 255, 0, -255, INT_MAX, INT_MIN, 0, 0, INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MIN, 0}},
      {83, {3, 20, 128, 192, 255, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1}},
      {91, {3, 0, 0, 24, -1, 0, 0, 2}}, {91, {3, -100, -5, 1000, -1, 100, 0, 2}},
      {91, {3, INT_MIN, INT_MIN, INT_MAX, 16, INT_MAX, INT_MAX, 2}}, {91, {3, 0, 0, 24, -1, 100, -50, 2}},
      {91, {3, 0, 0, 24, -1, -100, 20, 2}},
      {95, {3, 256, -1, INT_MAX}},
  };
  int written = 0;
  for (const Start& start : starts) {
    size_t i = 0;
    while (i < entries.size() && entries[i].number != start.number) ++i;
    if (i == entries.size()) continue;
    std::vector<uint8_t> seed = {0xFE};
    for (int channel : {2, 12}) PutStart(&seed, channel, i, entries.size(), start.values);
    const std::string path = startDir + "/animation-" + std::to_string(written++);
    if (!toolsupport::WriteHostFile(path, seed.data(), seed.size())) return false;
  }
  // Records a start never makes.
  struct Bent {
    int number;
    std::vector<std::pair<int, int>> params;  // index, value
  };
  const std::vector<Bent> bents = {
      {108, {{3, 40}, {5, 0}}}, {27, {{3, 17}, {5, 0}, {4, 15}}}, {27, {{3, -3}}},
      {19, {{1, 0}, {2, 0}, {10, 1}}}, {98, {{7, 0}, {13, INT_MAX}, {14, INT_MIN}}},
      {82, {{1, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {13, -5}}}, {82, {{4, -100}, {1, big}}},
      {102, {{1, big}, {2, 0}, {3, 500}}}, {56, {{3, 9}, {7, 0}}},
      {83, {{5, -5}, {6, big}}}, {91, {{3, big}, {5, 0}, {6, 0}}},
  };
  for (const Bent& bent : bents) {
    manager.ResetAll();
    manager.SetPicture(3, 3);
    manager.StartEffect(3, bent.number, 0, nullptr);
    manager.StartEffect(9, bent.number, 0, nullptr);
    manager.SaveChannels();
    for (int c : {3, 9})
      for (auto [index, value] : bent.params) manager.GetSaveChannel(c)->Param(index) = value;
    std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
    bytes[0] = 3;
    for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
    const std::string path = channelDir + "/bent-" + std::to_string(written++);
    if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
  }
  return true;
}

}  // namespace

namespace {

// The character transparency and row distortion effects (#8, #9, #22, #40,
// #72, #106, #107, #110, #121, #123): starts on the 33 x 33 screen over
// pictures of every kind (channel 3 and 8 masked 20 x 9, 4 and 14 masked
// and larger than the screen, 12 unmasked screen-sized: the gradations and
// partners; 13 a small gradation), with huge and negative values, partner
// channels -1, 16 and 50 and a percentage where #40 wants a channel; then
// records with 17 noise bands, outsized band heights and such percentages.
bool WriteCharaSeeds(const std::string& channelDir, const std::string& startDir,
                     CEffectManager& manager) {
  struct Start {
    int number;
    std::vector<int> values;
  };
  const std::vector<Start> starts = {
      {8, {}}, {8, {0, INT_MAX}}, {8, {20, INT_MIN}},
      {9, {20, 50, 100, 0, 0, 1, INT_MAX, INT_MIN, INT_MAX, INT_MAX}},
      {9, {20, 50, 100, 0, 0, 1, 0, 0, 0, 0}},
      {9, {20, 50, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 300, -300, INT_MAX, INT_MIN}},
      {22, {}}, {22, {9999, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX}},
      {22, {9999, -5, -5, -5, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN}}, {22, {0, 0, 0, 1}},
      {40, {20, 8}}, {40, {20, 4}}, {40, {20, 60}}, {40, {20, -1}}, {40, {20, 16}},
      {40, {20, 50}}, {40, {3, 8, 100, 100, 100}}, {40, {3, 8, 60, 60, 100}}, {40, {20}},
      {40, {3, 8, INT_MAX, INT_MIN, 3, INT_MAX, 5, INT_MIN}},
      {72, {20, INT_MAX}}, {72, {20, INT_MIN}}, {72, {20, 0}},
      {106, {20, 16, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX}},
      {106, {20, 0, 0, 0, 0, 0, 0, 0, 100}}, {106, {20, 16, 32, 0, 1000000, 100, 1, -1000000, 1}},
      {106, {20, -5}}, {106, {20, 16, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN}},
      {107, {20, INT_MAX, INT_MAX, INT_MAX}}, {107, {20, INT_MIN, INT_MIN, INT_MIN, 0, 0, 0, INT_MAX}},
      {110, {20, INT_MAX, INT_MIN, INT_MIN, INT_MAX}}, {110, {0}},
      {121, {20, 8, 100, 100, 0, 0, 1, 0, 0, 300, -5, 256}}, {121, {20, 16}}, {121, {20, 10}},
      {121, {20, 4, INT_MAX, INT_MIN}}, {121, {20, 50, 150}},
      {123, {20, 14}}, {123, {20, 13}}, {123, {20, 12}}, {123, {20, 14, INT_MAX, 0, 0, 1}},
      {123, {20, 14, INT_MIN}}, {123, {20}}, {123, {20, -1}},
  };
  const uint8_t hold = static_cast<uint8_t>(PickOf(1));  // odd: sets the picture
  int written = 0;
  for (const Start& start : starts) {
    const int pick = PickOf(start.number);
    if (pick < 0) continue;
    // Channels 3, 8, 14, 4 and 12 take their pictures, then the effect
    // starts on channel 3 (on channel 2, opaque, for #8).
    std::vector<uint8_t> bytes = {0xFE, 4, hold, 0, 9, hold, 0, 15, hold, 0, 5, hold, 0, 13, hold, 0};
    bytes.insert(bytes.end(), {static_cast<uint8_t>(start.number == 8 ? 3 : 4),
                               static_cast<uint8_t>(pick), static_cast<uint8_t>(start.values.size())});
    for (int v : start.values) PushInt(&bytes, v);
    if (!toolsupport::WriteHostFile(startDir + "/chara-" + std::to_string(written++), bytes.data(),
                                    bytes.size()))
      return false;
  }
  struct Odd {
    int number;
    std::vector<std::pair<int, int32_t>> params;
  };
  const Odd odd[] = {
      {106, {{1, 17}, {16 + 1, INT32_MIN}, {16 + 2, INT32_MAX}, {16 + 3, INT32_MAX}, {16 + 8 * 16, 5},
             {16 + 8 * 16 + 2, INT32_MAX}}},
      {106, {{1, INT32_MAX}, {3, INT32_MIN}, {2, INT32_MAX}, {8, INT32_MAX}, {16 + 2, -5}}},
      {40, {{1, 60}}},
      {40, {{1, 50}, {2, INT32_MAX}, {3, INT32_MIN}}},
      {22, {{1, INT32_MIN}, {2, INT32_MAX}, {3, INT32_MIN}, {7, INT32_MAX}, {5, INT32_MAX}}},
      {110, {{1, INT32_MAX}, {4, INT32_MIN}}},
      {123, {{1, 99}, {2, INT32_MAX}}},
      {121, {{1, -7}, {9, INT32_MAX}, {10, INT32_MIN}}},
      {107, {{1, INT32_MIN}, {3, INT32_MAX}, {2, INT32_MAX}}},
  };
  for (const Odd& o : odd) {
    manager.ResetAll();
    manager.SetPicture(4, 4);
    manager.SetPicture(13, 13);
    manager.StartEffect(4, o.number, 2, std::vector<int>{20, 13}.data());
    for (const auto& [index, value] : o.params) manager.GetChannel(4)->Param(index) = value;
    manager.GetChannel(4)->Counter() = 19;
    manager.SaveChannels();
    for (int mode : {0, 1}) {
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = static_cast<uint8_t>(mode | 2);
      for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
      const std::string path = channelDir + "/chara-" + std::to_string(written++) +
                               (mode ? "-saved" : "-live");
      if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
    }
  }
  // The huge and negative fills of the other effects' awkward starts.
  const auto entries = GetEffectEntries();
  const int32_t fills[] = {INT32_MAX, INT32_MIN, -1, -100000, 1000000};
  for (int number : {8, 9, 22, 40, 72, 106, 107, 110, 121, 123}) {
    const int pick = PickOf(number);
    if (pick < 0) continue;
    for (size_t f = 0; f < std::size(fills); ++f) {
      std::vector<uint8_t> seed = {static_cast<uint8_t>(f)};
      for (int channel : {1, 2, 10, 15, 4}) {
        std::vector<int32_t> values(36, fills[f]);
        values[0] = 3;
        PutStart(&seed, channel, static_cast<size_t>(pick), entries.size(), values);
      }
      if (!toolsupport::WriteHostFile(startDir + "/chara-awkward-" + std::to_string(number) + "-" +
                                          std::to_string(f),
                                      seed.data(), seed.size()))
        return false;
    }
  }
  return true;
}

// The overlay effects (#26, #28, #103, #109, #112) and the fish, speed
// lines and sparkles (#111, #85, #42): starts with every value 0, -1,
// -100000, huge or at the ends of the range on the 33 x 33, 64 x 48 and
// 801 x 601 screens (channels whose pictures are 8-bit, unmasked, smaller
// than a fish cell or one pixel); and lamp records with any state and
// timer, fish records with any fish and counts.
bool WriteOverlaySeeds(const std::string& channelDir, const std::string& startDir,
                       CEffectManager& manager) {
  const auto entries = GetEffectEntries();
  const int numbers[] = {26, 28, 42, 85, 103, 109, 111, 112};
  const int32_t fills[] = {0, -1, -100000, 1 << 30, INT32_MAX, INT32_MIN};
  const uint8_t screens[] = {0xFE, 0xFD, 0xFF};
  int written = 0;
  for (int number : numbers) {
    size_t i = 0;
    while (i < entries.size() && entries[i].number != number) ++i;
    if (i == entries.size()) continue;
    for (uint8_t screen : screens)
      for (int32_t fill : fills) {
        // The 801 x 601 screen is slow: only the extremes there.
        if (screen == 0xFF && fill != INT32_MAX && fill != INT32_MIN) continue;
        std::vector<uint8_t> seed = {screen};
        for (int channel : {1, 3, 2, 10}) {
          std::vector<int32_t> values(16, fill);
          values[0] = fill == 0 ? 0 : 3;
          PutStart(&seed, channel, i, entries.size(), values);
        }
        const std::string path = startDir + "/overlay-" + std::to_string(number) + "-" +
                                 std::to_string(written++);
        if (!toolsupport::WriteHostFile(path, seed.data(), seed.size())) return false;
      }
    // Useful values: a closing iris, bars from 100 %, a flickering lamp with
    // flips, fish larger than the sheet's cells, many lines and sparkles.
    const std::vector<int32_t> useful[] = {
        {3, 16, 16, 1, 40, 300, -5, 20},         {3, 4, 4, 8, 8, 2, 255, 0, 0, 2, 0, 0, 100, 50},
        {3}, {0, 1, 0, 2, 1, 1, 50},              {3, 2, 100, 1000, 0, 0, 255, 255, 255},
        {3, 40, 30, 30, 0, 0, 20, 20, 3, 3, 0, 1, 9, 10000}, {3, 500, 50, 3, -40},
        {0, 20, 0, 0, 1000, 1000}};
    for (const auto& values : useful)
      for (uint8_t screen : {uint8_t{0xFE}, uint8_t{0xFD}}) {
        std::vector<uint8_t> seed = {screen};
        for (int channel : {3, 4, 15}) PutStart(&seed, channel, i, entries.size(), values);
        const std::string path = startDir + "/overlay-" + std::to_string(number) + "-" +
                                 std::to_string(written++);
        if (!toolsupport::WriteHostFile(path, seed.data(), seed.size())) return false;
      }
  }
  // Lamp records in any state with any timer; fish records with any fish
  // and counts beyond the 40 a start allows.
  struct Bent {
    int number;
    std::vector<std::pair<int, int32_t>> params;
  };
  const Bent bents[] = {
      {109, {{16, 7}, {17, INT32_MIN}, {4, INT32_MAX}, {5, INT32_MAX}, {6, 100}}},
      {109, {{16, -1}, {17, INT32_MAX}, {1, INT32_MIN}, {2, INT32_MAX}, {3, INT32_MAX}}},
      {109, {{16, 1}, {17, 0}, {1, -5}, {2, -5}, {3, -5}}},
      {111, {{1, 1000}, {10, 0}, {9, 5}, {16, INT32_MAX}, {17, INT32_MIN}, {18, INT32_MIN}}},
      {111, {{1, 40}, {2, INT32_MIN}, {6, INT32_MAX}, {8, 0}, {12, INT32_MIN}, {13, 10000}}},
      {111, {{1, -3}, {8, -2}, {9, INT32_MIN}, {10, -1}, {19, INT32_MIN}}},
      {85, {{1, 1000}, {2, INT32_MAX}, {4, INT32_MIN}, {10, 0}, {11, 0}}},
      {42, {{1, 1000}, {4, 0}, {5, INT32_MIN}, {2, INT32_MAX}}},
      {28, {{1, INT32_MIN}, {2, INT32_MAX}, {3, INT32_MAX}, {4, INT32_MIN}}},
      {112, {{1, -1}, {2, INT32_MAX}, {3, INT32_MIN}}},
  };
  for (const Bent& bent : bents) {
    manager.ResetAll();
    manager.SetPicture(3, 3);
    manager.SetPicture(4, 4);
    manager.StartEffect(3, bent.number, 0, nullptr);
    manager.StartEffect(4, bent.number, 0, nullptr);
    manager.SaveChannels();
    for (int c : {3, 4})
      for (const auto& [index, value] : bent.params) manager.GetSaveChannel(c)->Param(index) = value;
    for (int mode : {2, 3}) {
      std::vector<uint8_t> bytes(1 + 16 * EffectChannel::kBytes);
      bytes[0] = static_cast<uint8_t>(mode);
      for (int c = 0; c < 16; ++c) manager.GetSaveChannel(c)->Write(&bytes[1 + c * 1024]);
      const std::string path = channelDir + "/overlay-" + std::to_string(bent.number) + "-" +
                               std::to_string(written++);
      if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
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
      {39, {6, -5, 3, 1}},
      {94, {0, 7, -3, 0}},
      {84, {6, 30, 4, 2, 1, 0, 0}},
      {68, {6, 10, 12, 255, 0, 0, 2, 1, 0, 0, 255, 3, 1, 0, 0, 0}},
      {37, {6, 10, 8, 20, 12, 2, 1, 150, 20}},
      {122, {6, 10, 8, 20, 12, 2, 1, 150, 20, 24, 16, 5, -3, 0, 0, 0, 1,
             1, 3, 1, 3, 60, 0, 255, 0, 20, 2, 1, 0, 0, 255, 2, 1}},
      {122, {6, 10, 8, 20, 12, 0, 0, 100, 0, 4, 4, 20, 10, 1, 4, 4, 20, 10, 0, 0, 2}},
      {122, {6, 10, 8, 20, 12, 0, 0, 100, 0, 30, 20, 0, 0, 2, 0, 0, 40, 30, 0, 0, 5}},
      {124, {6, 2, 1, 100, 0}},
      {127, {6, 2, 1, 100, 0, 200, 100, 50}},
      {131, {6, -150, 60, 2, 1}},
      {99, {6, 40, -40, 255, -255, 0, 80, 0, 2, 1}},
      {120, {6, 256, -128, 64, 0, 0, 0, 1, 2, 1, 7, 8, 9, 1}},
      {130, {6, 2, 1, 150, 250, 300, 100, 100, 100, 5, 10, 200, 0, 0, 0, 2, 1}},
      {96, {6, 80, 0, 2, 1, 0, -3, 1, 0}},
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
  if (!WriteZeroStarts(argv[2], entries)) return 1;
  if (!WriteOddRecords(argv[1], manager)) return 1;
  if (!WriteRippleSeeds(argv[1], argv[2], entries)) return 1;
  if (!WriteWipeSeeds(argv[3])) return 1;
  if (!WriteFilterSeeds(argv[1], argv[2], manager)) return 1;
  if (!WriteAnimationSeeds(argv[1], argv[2], manager)) return 1;
  if (!WriteOverlaySeeds(argv[1], argv[2], manager)) return 1;
  if (!WriteCharaSeeds(argv[1], argv[2], manager)) return 1;
  return 0;
}
