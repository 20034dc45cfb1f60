// Any bytes as a chart slot file, as the passed and seen files and as the
// chart's extension chunk body: a refused slot file changes nothing, an
// accepted one fills at most the arrays, side files of another length are
// kept aside, and nothing reads outside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/savedata/saveslot_game.h"
#include "platform/files.h"
#include "savedata/chartslot.h"
#include "savedata/savefolder.h"

namespace {

saveslotfuzz::SlotGame* g_game = nullptr;

void WriteHost(const char* path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_game = saveslotfuzz::SharedGame();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CChartSlots slots(g_game->Roles(), 2, 100);
  slots.CreateChartFolders();
  WriteHost("game/sav/chart1/slot7.dat", data, size);
  WriteHost("game/sav/tsuka.dat", data, size);
  WriteHost("game/sav/mita.dat", data, size);
  const std::vector<uint8_t> bytes(data, data + size);
  const bool accepted = slots.CheckSlotFile(bytes) == nullptr;
  for (int i = 0; i < CChartSlots::kVarCount; ++i) g_game->SetVar(i, 12345);
  const std::vector<uint8_t> flags = slots.Flags();
  const int loaded = slots.LoadSlot(7);
  fuzzsupport::Check(loaded == (accepted ? 1 : 0), "a slot loads exactly when it passes its checks");
  if (!loaded) {
    fuzzsupport::Check(g_game->GetVar(0) == 12345, "a refused slot leaves the variables");
    fuzzsupport::Check(slots.Flags() == flags, "a refused slot leaves the flags");
  }
  fuzzsupport::Check(g_game->GetVar(250) == 12345, "the kept variables stay");
  slots.LoadPassedBits();
  slots.LoadSeenBits();
  fuzzsupport::Check(slots.Passed().size() == 200 && slots.Seen().size() == 200,
                     "side files fill at most their arrays");
  const std::string folder = GetSaveFolder();
  if (size != 200) {
    fuzzsupport::Check(platform::FileExists(folder + "\\tsuka.dat.bad") &&
                           platform::FileExists(folder + "\\mita.dat.bad") && slots.GetPassed(0) == 0,
                       "damaged side files are kept aside and not used");
  }
  platform::RemoveFile(folder + "\\tsuka.dat.bad");
  platform::RemoveFile(folder + "\\mita.dat.bad");
  slots.LoadExtData(data, size);
  std::vector<uint8_t> ext(slots.ExtSize());
  slots.SaveExtData(ext.data(), ext.size());
  return 0;
}
