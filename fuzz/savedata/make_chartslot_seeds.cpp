// make_chartslot_seeds OUT_DIR
// Chart slot files of the fuzz target's game: a fresh game, one with
// variables, flags and closed nodes, and a cut one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/savedata/saveslot_game.h"
#include "savedata/chartslot.h"

using saveslotfuzz::CopySeed;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_chartslot_seeds OUT_DIR\n");
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::absolute(argv[1]);
  CCommonSystemFile systemFile;
  auto game = saveslotfuzz::MakeGame(&systemFile);
  game->Saves().KeepGameState();
  CChartSlots slots(game->Roles(), 2, 100);
  slots.CreateChartFolders();
  bool ok = slots.SaveSlot(7) && CopySeed(slots.SlotPathOf(7), dir / "fresh.dat");
  for (int i = 0; i < 1000; i += 3) game->SetVar(i, i * 7 - 500);
  for (int n = 0; n < 200; n += 5) slots.SetFlag(n, n % 7);
  for (int n = 0; n < 200; n += 9) slots.SetOpenBit(n, false);
  ok = ok && slots.SaveSlot(7) && CopySeed(slots.SlotPathOf(7), dir / "busy.dat") &&
       CopySeed(slots.SlotPathOf(7), dir / "cut.dat", 7200);
  return ok ? 0 : 1;
}
