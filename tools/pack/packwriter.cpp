#include "packwriter.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "graphics/packformat.h"

namespace packtool {

namespace {

void PutI32(std::vector<uint8_t>* out, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::vector<uint8_t> MakeIndex(const std::vector<std::string>& names,
                               const std::vector<int32_t>& dataOffsets) {
  std::vector<uint8_t> out;
  PutI32(&out, static_cast<int32_t>(names.size()));
  int32_t at = 0;
  for (const std::string& name : names) {
    PutI32(&out, at);
    at += static_cast<int32_t>(name.size() + 1);
  }
  for (size_t i = 0; i < names.size(); ++i)
    PutI32(&out, i < dataOffsets.size() ? dataOffsets[i] : 0);
  for (const std::string& name : names) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
  }
  return out;
}

bool MakeVolume(const std::vector<Entry>& entries, std::vector<uint8_t>* index,
                std::vector<uint8_t>* data, std::string* error) {
  struct Keyed {
    std::string key;
    const Entry* entry;
  };
  std::vector<Keyed> keyed;
  for (const Entry& entry : entries) {
    const std::string key = dwqpack::Key(entry.name);
    if (key.empty()) {
      *error = "\"" + entry.name + "\" has no name after its folder";
      return false;
    }
    keyed.push_back({key, &entry});
  }
  // Byte order, as the game's search compares (unsigned bytes).
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
  for (size_t i = 1; i < keyed.size(); ++i)
    if (keyed[i].key == keyed[i - 1].key) {
      *error = "\"" + keyed[i - 1].entry->name + "\" and \"" + keyed[i].entry->name +
               "\" are the same name to the game";
      return false;
    }
  std::vector<std::string> names;
  std::vector<int32_t> offsets;
  data->clear();
  for (const Keyed& k : keyed) {
    if (data->size() + k.entry->data.size() >
        static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
      *error = "the data file would pass 2 GB";
      return false;
    }
    names.push_back(k.key);
    offsets.push_back(static_cast<int32_t>(data->size()));
    data->insert(data->end(), k.entry->data.begin(), k.entry->data.end());
  }
  *index = MakeIndex(names, offsets);
  return true;
}

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(hostPath.c_str(), "wb");
  if (!file) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace packtool
