// Loads the input as a list file, plain and inverted, runs the lookups over
// it and checks that the writers give back what was read.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/varnametable.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

// The first `n` tokens of both lists are the same.
bool SamePrefix(const CNameList& a, const CNameList& b, int n) {
  if (b.GetCount() != n) return false;
  for (int i = 0; i < n; ++i) {
    if (std::strcmp(a.GetName(i), b.GetName(i)) != 0) return false;
  }
  return true;
}

void Exercise(const CNameList& list) {
  const int count = list.GetCount();
  CSetupList setup;
  setup.AttachList(const_cast<CNameList*>(&list));
  CVarNameTable vars(const_cast<CNameList*>(&list));
  for (int i = 0; i < count && i < 64; ++i) {
    const char* name = list.GetName(i);
    fuzzsupport::Check(name != nullptr && std::strlen(name) <= CNameList::kMaxToken, "token");
    const int key = list.SearchKey(name, true, i - 1);
    fuzzsupport::Check(key == -1 || (key % 2 == 0 && key < count), "key slot");
    fuzzsupport::Check((list.Search(name, i) >= 0) == (name[0] != '\0'), "search");
    list.SearchColumn(name, 1 + i % 5, i % 2 == 0, i % 3);
    list.SearchStep(name, 1 + i % 3, i % 2);
    int value = 0;
    const char* text = nullptr;
    setup.GetSetupInt(&value, name);
    setup.GetSetupString(&text, name);
    if (name[0] != '\0') fuzzsupport::Check(vars.SearchVar(name) >= 0, "variable");
  }
  fuzzsupport::Check(list.GetName(count) == nullptr, "past the count");
  list.FindDuplicate();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteWholeFile("input.xtx", data, size)) return 0;
  for (bool invert : {false, true}) {
    CNameList list(size > 0 ? data[0] % 8 : 0);
    if (!list.Load("input.xtx", invert, false)) continue;
    fuzzsupport::Check(list.GetCount() <= list.GetCapacity(), "count");
    Exercise(list);

    // What the writers store reads back the same (rows that are complete).
    const int count = list.GetCount();
    if (list.SavePairs("pairs.fxf", true)) {
      CNameList back;
      fuzzsupport::Check(back.Load("pairs.fxf", true, false) && SamePrefix(list, back, count / 2 * 2), "pairs");
    }
    if (list.SaveFiveColumns("five.xtx", false)) {
      CNameList back;
      fuzzsupport::Check(back.Load("five.xtx", false, false) && SamePrefix(list, back, count / 5 * 5), "five");
    }

    if (size == 0) continue;
    list.InsertEmpty(data[size / 2] % 4, 1 + static_cast<int>(size % 3));
    list.Delete(static_cast<int>(size % 5), 1 + data[size - 1] % 4);
    list.CopyNames(0, static_cast<int>(size % 7), 2);
    list.SetCount(static_cast<int>(size % 11) - 3);
    Exercise(list);
  }
  g_host->ClearBoxes();
  g_host->ClearErrorLines();
  return 0;
}
