// Reads the input as "spt\\scene.dat"; checks that every scene record the
// reader accepts lies inside the words of the input and that the scene list
// answers within its ranges.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "savedata/scenedata.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

int32_t WordAt(const uint8_t* data, size_t n) {
  const uint8_t* p = data + 4 * n;
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("spt");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteWholeFile("spt\\scene.dat", data, size)) return 0;
  CSceneDataFile scenes;
  fuzzsupport::Check(g_host->Boxes().empty(), "no box for a file that is there");
  const size_t words = size / 4;

  CCommonSystemFile sys;
  // Some seen flags, placed by the input.
  for (size_t i = 0; i + 1 < size && i < 32; i += 2) sys.SetFilmFlag(data[i] % 70, data[i + 1] * 9);
  CSceneList list(&sys, &scenes);
  fuzzsupport::Check(list.GetCharaCount() == scenes.GetCharaCount(), "character count");
  for (int c = 0; c < scenes.GetCharaCount(); ++c) {
    const int count = scenes.GetSceneCount(c);
    fuzzsupport::Check(scenes.GetMarkedSceneCount(c) >= 0 && scenes.GetMarkedSceneCount(c) <= count, "marked count");
    for (int s = 0; s < count; ++s) {
      const int record = scenes.GetRecordIndex(c, s);
      const int items = scenes.GetItemCount(c, s);
      fuzzsupport::Check(
          record >= 2 && items >= 0 && static_cast<size_t>(record) + 2 + static_cast<size_t>(items) <= words,
          "a record lies inside the words read");
      fuzzsupport::Check(scenes.GetWord(record) == WordAt(data, static_cast<size_t>(record)), "record word");
      fuzzsupport::Check(scenes.IsSceneMarked(c, s) == (WordAt(data, static_cast<size_t>(record)) < 0 ? 1 : 0), "marked");
      for (int i = 0; i < items; ++i) {
        const int32_t v = WordAt(data, static_cast<size_t>(record) + 2 + static_cast<size_t>(i));
        fuzzsupport::Check(scenes.GetItemOrNone(c, s, i) == (v < 0 ? -1 : v - 1), "item");
        scenes.GetItem(c, s, i);
      }
      const int seen = list.IsSceneSeen(c, s);
      fuzzsupport::Check(seen == 0 || seen == 1, "seen");
    }
    const int percent = list.GetSeenPercent(c);
    fuzzsupport::Check(percent >= 0 && percent <= 100, "percent");
  }
  const int total = list.GetTotalSeenPercent();
  fuzzsupport::Check(total >= 0 && total <= 100, "total percent");
  list.SetCurrentChara(size > 0 ? data[0] % 4 : 0)->SetCurrentScene(size > 1 ? data[1] % 4 : 0);
  for (int i = 0; i < 8; ++i) list.NextItem();
  return 0;
}
