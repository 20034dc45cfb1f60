// Reads the input as save slot 1: Peek and Load must agree (a slot that
// peeks as empty does not load, one that peeks loads to its saved mode), and
// neither may read outside the file or the game's tables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "fuzz/savedata/saveslot_game.h"
#include "savedata/savedatafile.h"

namespace {

saveslotfuzz::SlotGame* g_game = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_game = saveslotfuzz::SharedGame();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Straight to the host file: the whole-file writer's flush to disk would
  // make every run wait for the disk.
  {
    std::ofstream out("game/sav/data1.sav", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) return 0;
  }
  CCommonDataFile slot(g_game->Roles());
  const int peeked = slot.Peek(1);
  fuzzsupport::Check(peeked == slot.HasData(), "Peek and HasData agree");
  const int check = slot.CheckVersion();
  fuzzsupport::Check(check >= -1 && check <= 2, "CheckVersion in range");
  for (int type = 0; type < 4; ++type) slot.GetStatusText(type);
  const int loaded = slot.Load(1);
  if (peeked) {
    fuzzsupport::Check(loaded == slot.GetSavedMode(), "a peeked slot loads to its saved mode");
    fuzzsupport::Check(loaded >= 0 && loaded < CGameCallBack::kModeCount, "a saved mode");
    fuzzsupport::Check(slot.GetThumbnail().size() ==
                           static_cast<size_t>(slot.GetThumbnailWidth()) *
                               static_cast<size_t>(slot.GetThumbnailHeight()),
                       "the thumbnail holds its size");
  } else {
    fuzzsupport::Check(loaded == -1, "an empty slot does not load");
  }
  return 0;
}
