// Loads the input as a playlist and draws names from it, reporting sound
// for some of them, restarting at the end a few times. Every name handed
// out is 1..255 bytes without a separator, and the reader never goes round
// without end.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/playlist.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("wgq");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteWholeFile("wgq\\in.mml", data, size)) return 0;
  CBgmPlayList list;
  if (!list.Load("in")) {
    fuzzsupport::Check(list.Next() == nullptr, "a refused list hands out names");
  } else {
    int names = 0;
    for (int pass = 0; pass < 3; ++pass) {
      for (int i = 0; i < 300; ++i) {
        const char* name = list.Next();
        if (!name) break;
        const size_t n = std::strlen(name);
        fuzzsupport::Check(n >= 1 && n <= CBgmPlayList::kMaxName, "name length");
        fuzzsupport::Check(std::strpbrk(name, " ,[]\r") == nullptr, "separator in a name");
        ++names;
        // Names starting with an odd byte "play".
        if (static_cast<unsigned char>(name[0]) & 1) list.MarkSound();
      }
      list.Restart();
    }
    fuzzsupport::Check(names > 0, "a valid list without names");
  }
  g_host->ClearBoxes();
  return 0;
}
