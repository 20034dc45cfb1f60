#include "graphics/packvolume.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/dwqformat.h"
#include "graphics/packformat.h"
#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "setup/setuplist.h"
#include "setup/text.h"

namespace {

// More volumes than any game ships; it keeps a stray setting from making
// the start-up probe millions of files.
constexpr int kMaxLevel = 100;

struct PackState {
  int requested = -1;  // set by the game; -1 = read the setting
  int level = 0;
  std::vector<std::unique_ptr<DwqPackIndex>> indexes;  // level x kPrefixCount, volume-major
};

// Never destroyed: a screen buffer released during the program's exit
// still releases the indexes through it.
PackState& Packs() {
  static PackState* state = new PackState();
  return *state;
}

std::string VolumePath(int entry, int volume, const char* extension) {
  return std::string("dwq\\") + dwqpack::kPrefixes[entry] + std::to_string(volume) + "." +
         extension;
}

int ReadLevelSetting() {
  // Without a "game" list there is nothing to read, and nothing to report:
  // the game itself reports a missing list.
  if (!platform::FileExists("init\\game.xtx") && !platform::FileExists("init2\\game.fxf")) return 0;
  CSetupList game;
  if (!game.LoadSetupFile("game", 256)) return 0;
  int level = 0;
  game.GetSetupInt(&level, "dwqPackLevel");
  return level;
}

}  // namespace

std::unique_ptr<DwqPackIndex> DwqPackIndex::Parse(std::string bytes, int64_t volumeSize, std::string* why) {
  auto refuse = [&](const std::string& problem) {
    if (why) *why = problem;
    return nullptr;
  };
  const int64_t size = static_cast<int64_t>(bytes.size());
  if (size < 4 || size > INT_MAX) return refuse("its size of " + std::to_string(size) + " bytes cannot hold an index");
  platform::ByteReader reader(bytes);
  int32_t count32 = 0;
  if (!reader.I32(&count32)) return refuse("its entry count cannot be read");
  const int64_t count = count32;
  if (count < 0 || 4 + 8 * count > size)
    return refuse("its " + std::to_string(count) + " entries do not fit its " + std::to_string(size) + " bytes");
  const int64_t names = 4 + 8 * count;
  // Every name must end inside the file: it starts in the names area no
  // later than the area's last NUL.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  int64_t lastNul = -1;
  for (int64_t i = size - 1; i >= names; --i)
    if (p[i] == 0) {
      lastNul = i;
      break;
    }
  for (int64_t i = 0; i < count; ++i) {
    int32_t name = -1;
    if (!reader.I32(&name) || name < 0 || names + name > lastNul)
      return refuse("the name of entry " + std::to_string(i) + " does not lie inside the file");
  }
  int64_t previous = 0;
  for (int64_t i = 0; i < count; ++i) {
    int32_t data = -1;
    if (!reader.I32(&data) || data < previous)
      return refuse("the data of entry " + std::to_string(i) + " starts before that of the entry before it");
    previous = data;
  }
  if (count > 0 && volumeSize >= 0 && previous > volumeSize)
    return refuse("its last entry starts at " + std::to_string(previous) + ", past the end of the " +
                  std::to_string(volumeSize) + "-byte volume");
  auto index = std::unique_ptr<DwqPackIndex>(new DwqPackIndex());
  index->block_ = std::move(bytes);
  index->count_ = static_cast<int>(count);
  return index;
}

const char* DwqPackIndex::GetName(int i) const {
  if (i < 0 || i >= count_) return nullptr;
  const auto* p = reinterpret_cast<const unsigned char*>(block_.data());
  return block_.data() + 4 + 8 * static_cast<size_t>(count_) + dwq::GetI32(p + 4 + 4 * size_t(i));
}

int32_t DwqPackIndex::GetDataOffset(int i) const {
  if (i < 0 || i >= count_) return -1;
  const auto* p = reinterpret_cast<const unsigned char*>(block_.data());
  return dwq::GetI32(p + 4 + 4 * static_cast<size_t>(count_) + 4 * static_cast<size_t>(i));
}

int DwqPackIndex::Find(const char* key) const {
  if (!key || count_ <= 0) return -1;
  // The search the volumes were written for: the bounds close in on the
  // middle entry rather than past it, and the last two are tried in turn.
  int lo = 0, hi = count_ - 1, mid = (lo + hi) / 2;
  for (;;) {
    const int order = std::strcmp(key, GetName(mid));
    if (order == 0) return mid;
    if (lo >= hi) return -1;
    if (hi - lo < 2) {
      if (mid == lo)
        lo = hi;
      else
        hi = lo;
    } else if (order > 0) {
      lo = mid;
    } else {
      hi = mid;
    }
    mid = (lo + hi) / 2;
  }
}

void SetDwqPackLevel(int level) { Packs().requested = std::max(level, 0); }

int GetDwqPackLevel() { return Packs().level; }

void LoadPackVolumes() {
  PackState& s = Packs();
  if (!s.indexes.empty()) return;
  const int wanted = s.requested >= 0 ? s.requested : ReadLevelSetting();
  s.level = std::clamp(wanted, 0, kMaxLevel);
  if (s.level == 0) return;
  s.indexes.resize(static_cast<size_t>(s.level) * dwqpack::kPrefixCount);
  for (int v = 0; v < s.level; ++v)
    for (int k = 0; k < dwqpack::kPrefixCount; ++k) {
      if (!*dwqpack::kPrefixes[k]) continue;
      const std::string path = VolumePath(k, v, "gtb");
      if (!platform::FileExists(path) || platform::IsDirectory(path)) continue;
      std::string bytes;
      if (!platform::ReadWholeFile(path, &bytes)) {
        platform::ErrorOutput(("pack index " + path + " cannot be read; its volume is skipped").c_str());
        continue;
      }
      const long long volumeSize = platform::FileSize(VolumePath(k, v, "gpk"));
      std::string why;
      auto index = DwqPackIndex::Parse(std::move(bytes), volumeSize, &why);
      if (!index) {
        platform::ErrorOutput(("pack index " + path + " is broken: " + why + "; its volume is skipped").c_str());
        continue;
      }
      s.indexes[static_cast<size_t>(v) * dwqpack::kPrefixCount + k] = std::move(index);
    }
}

void ReleasePackVolumes() {
  PackState& s = Packs();
  s.indexes.clear();
  s.indexes.shrink_to_fit();
  s.level = 0;
}

void ResetPackVolumes() {
  ReleasePackVolumes();
  Packs().requested = -1;
}

int PackPrefixFor(const char* name) {
  if (!name) return -1;
  for (int k = 0; k < dwqpack::kPrefixCount; ++k) {
    if (!*dwqpack::kPrefixes[k]) continue;
    const std::string match = dwqpack::PrefixInSys(k) ? std::string("sys\\") + dwqpack::kPrefixes[k]
                                                      : dwqpack::kPrefixes[k];
    if (setup::StartsWithNoCase(name, match)) return k;
  }
  return -1;
}

std::string UnreadVolumeListing(const char* name) {
  const int k = PackPrefixFor(name);
  if (k < 0) return "";
  const std::string key = dwqpack::Key(name);
  const std::string olderKey = dwqpack::Key(name, true);
  for (int v = Packs().level; v < kMaxLevel; ++v) {
    const std::string path = VolumePath(k, v, "gtb");
    if (!platform::FileExists(path) || platform::IsDirectory(path)) continue;
    std::string bytes;
    if (!platform::ReadWholeFile(path, &bytes)) continue;
    const auto index = DwqPackIndex::Parse(std::move(bytes), platform::FileSize(VolumePath(k, v, "gpk")));
    if (index && (index->Find(key.c_str()) >= 0 || index->Find(olderKey.c_str()) >= 0))
      return dwqpack::kPrefixes[k] + std::to_string(v);
  }
  return "";
}

std::string UnreadVolumeNote(const char* name) {
  const std::string volume = UnreadVolumeListing(name);
  if (volume.empty()) return "";
  const int needed = std::stoi(volume.substr(volume.find_first_of("0123456789"))) + 1;
  return "; the pack " + volume + " lists it, but dwqPackLevel is " + std::to_string(Packs().level) +
         " (dwqPackLevel," + std::to_string(needed) + " in the list game reads it)";
}

FILE* OpenPackEntry(const char* name, int* bytesLeft) {
  PackState& s = Packs();
  if (s.level <= 0 || s.indexes.empty() || !name) return nullptr;
  const int k = PackPrefixFor(name);
  if (k < 0) return nullptr;
  const std::string key = dwqpack::Key(name);
  const std::string olderKey = dwqpack::Key(name, true);
  const DwqPackIndex* index = nullptr;
  int volume = -1, entry = -1;
  for (int v = s.level - 1; v >= 0 && entry < 0; --v) {
    const DwqPackIndex* candidate =
        s.indexes[static_cast<size_t>(v) * dwqpack::kPrefixCount + k].get();
    if (!candidate || candidate->GetCount() <= 0) continue;
    entry = candidate->Find(key.c_str());
    if (entry < 0 && olderKey != key) entry = candidate->Find(olderKey.c_str());
    if (entry >= 0) {
      index = candidate;
      volume = v;
    }
  }
  if (!index) return nullptr;
  FILE* file = platform::FileOpen(VolumePath(k, volume, "gpk"), "rb");
  if (!file) return nullptr;
  // The data file may have changed since the index was read: the entry must
  // still lie inside it.
  long end = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) end = std::ftell(file);
  const int64_t start = index->GetDataOffset(entry);
  const int64_t stop = entry + 1 < index->GetCount() ? index->GetDataOffset(entry + 1) : end;
  if (end < 0 || stop > end || start > stop ||
      std::fseek(file, static_cast<long>(start), SEEK_SET) != 0) {
    std::fclose(file);
    platform::ErrorOutput(("pack entry " + key + " lies outside " + VolumePath(k, volume, "gpk") +
                           "; the volume has changed since its index was read")
                              .c_str());
    return nullptr;
  }
  if (bytesLeft) *bytesLeft = static_cast<int>(std::min<int64_t>(stop - start, INT_MAX));
  return file;
}
