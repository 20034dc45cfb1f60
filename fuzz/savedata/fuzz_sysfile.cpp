// Reads the input as "sysfile.sav" (a damaged one is kept aside), checks
// that what the reader keeps is sound, that the flag operations stay inside their tables, and that a
// saved file reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder();
  SetSaveFolder(nullptr, nullptr, 0);
  CreateSaveFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteWholeFile("sav\\sysfile.sav", data, size)) return 0;
  // The counts that shape the tables come from the input too.
  ResetSystemFileSettings();
  if (size > 0) SetScriptCount(data[0]);
  if (size > 1) SetCGCharaCount(data[1]);

  CCommonSystemFile file;
  // A damaged file is kept aside and the defaults take its place.
  if (file.Load(0) != 1) {
    fuzzsupport::Check(platform::FileExists("sav\\sysfile.sav.bad"), "a damaged file is kept aside");
    platform::RemoveFile("sav\\sysfile.sav.bad");
  }
  for (int k = 0; k < CCommonSystemFile::kBlockCount; ++k) {
    fuzzsupport::Check(file.GetBlockWord(k, 0) == CCommonSystemFile::kBlocks[k].size, "block size");
    fuzzsupport::Check(file.GetBlockWord(k, 4) == CCommonSystemFile::kBlocks[k].id, "block id");
  }
  fuzzsupport::Check(std::strlen(file.GetFamilyName()) < 16 && std::strlen(file.GetGivenName()) < 16, "names");
  fuzzsupport::Check(std::strlen(file.GetFontFace()) < 256, "font face");
  for (int n = -1; n <= 72; ++n) {
    const int v = file.GetFiveBitValue(n);
    fuzzsupport::Check(v >= -16 && v <= 15, "five-bit value");
  }

  // Flag operations at places taken from the input, inside and outside.
  for (size_t i = 2; i + 4 <= size && i < 64; i += 4) {
    const int row = static_cast<int8_t>(data[i]) * 3;
    const int index = (data[i + 1] | data[i + 2] << 8) - 256;
    file.SetMesFlag(row, index);
    file.SetFilmFlag(row, index);
    file.SetCGFlag(row, index);
    file.SetMovieFlag(row, index);
    file.SetVoiceFlag(index);
    file.AddMusicCount(index);
    file.SetFiveBitValue(data[i + 3] % 80 - 4, index);
    fuzzsupport::Check(file.GetMesFlag(row, index) <= 1 && file.GetCGFlag(row, index) <= 1, "flag");
  }

  fuzzsupport::Check(file.Save(0) == 1, "save");
  CCommonSystemFile again;
  fuzzsupport::Check(again.Load(0) == 1, "reload");
  fuzzsupport::Check(std::memcmp(file.GetImage(), again.GetImage(), CCommonSystemFile::kFileSize) == 0,
        "a saved file reads back the same");
  g_host->ClearBoxes();
  g_host->ClearErrorLines();
  return 0;
}
