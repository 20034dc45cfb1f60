// Writer of pack volumes: the index (".gtb") and the data file (".gpk") of
// one volume. The zor-pack tool, the tests and the fuzz seeds use it, so
// every volume is made from picture files kept as readable sources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packtool {

// One picture file and the name the game asks for it by (CP932). It is
// listed under the key the game looks up: the folder part before the last
// backslash dropped, cut to 254 bytes, capitals made small.
struct Entry {
  std::string name;
  std::vector<uint8_t> data;
};

// The index and data file of one volume: entries listed by their key in
// ascending byte order, their files stored in the same order, each entry's
// offset pointing at its file. False with a reason for an empty key, two
// entries with the same key, or a data file beyond 2 GB.
bool MakeVolume(const std::vector<Entry>& entries, std::vector<uint8_t>* index,
                std::vector<uint8_t>* data, std::string* error);

// An index as given, without any check: names in the order given, the data
// offsets beside them. For hand-made and deliberately broken indexes.
std::vector<uint8_t> MakeIndex(const std::vector<std::string>& names,
                               const std::vector<int32_t>& dataOffsets);

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes);

}  // namespace packtool
