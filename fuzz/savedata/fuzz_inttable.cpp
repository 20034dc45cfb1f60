// Reads the input as the "result" table file (the ".org" beside it when the
// first byte is odd); checks that every cell holds the input's word when
// the input is exactly the table and 0 otherwise, that a damaged ".sav" is
// kept aside, and that a save writes back exactly the table.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "platform/bytes.h"
#include "platform/files.h"
#include "savedata/inttablefile.h"
#include "savedata/savefolder.h"

namespace {

constexpr int kRows = 7, kColumns = 5;

std::string g_folder;

std::string InFolder(const char* file) { return g_folder.empty() ? file : g_folder + "\\" + file; }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder();
  g_folder = GetSaveFolder();
  if (!g_folder.empty()) platform::CreateDirectory(g_folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::RemoveFile(InFolder("result.sav"));
  platform::RemoveFile(InFolder("result.org"));
  const bool org = size > 0 && (data[0] & 1);
  if (!platform::WriteWholeFile(InFolder(org ? "result.org" : "result.sav"), data, size)) return 0;
  const bool whole = size == 4u * kRows * kColumns;
  CIntTableFile table("result", kRows, 0, kColumns, nullptr);
  if (!org && !whole) {
    fuzzsupport::Check(platform::FileExists(InFolder("result.sav.bad")), "a damaged file is kept aside");
    platform::RemoveFile(InFolder("result.sav.bad"));
  }
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      const size_t at = 4 * (static_cast<size_t>(r) * kColumns + c);
      const int32_t expected = whole ? platform::GetLE32Signed(data + at) : 0;
      fuzzsupport::Check(table.GetValue(r, c) == expected, "a cell holds the file's word");
    }
  fuzzsupport::Check(table.GetValue(kRows, 0) == 0 && table.GetValue(0, -1) == 0, "outside is 0");
  table.AddValue(0, 1, 0);
  fuzzsupport::Check(table.Save() == 1, "the table saves");
  std::string saved;
  fuzzsupport::Check(platform::ReadWholeFile(InFolder("result.sav"), &saved), "the saved file reads");
  fuzzsupport::Check(saved.size() == 4u * kRows * kColumns, "the saved file holds the table");
  for (int r = 0; r < kRows; ++r)
    for (int c = 0; c < kColumns; ++c) {
      const auto* p = reinterpret_cast<const uint8_t*>(saved.data()) + 4 * (r * kColumns + c);
      fuzzsupport::Check(platform::GetLE32Signed(p) == table.GetValue(r, c), "saved cell");
    }
  return 0;
}
