// make_saveslot_seeds OUT_DIR
// Saves real slots of the fuzz target's game (with and without cut-ins and
// EXT chunks, after a thumbnail and some variables) and a cut one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/savedata/saveslot_game.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "savedata/savedatafile.h"

namespace {

bool Copy(int slot, const std::filesystem::path& to, size_t cut = 0) {
  return saveslotfuzz::CopySeed(CCommonDataFile::SlotPath(slot), to, cut);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_saveslot_seeds OUT_DIR\n");
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::absolute(argv[1]);
  CCommonSystemFile systemFile;
  auto game = saveslotfuzz::MakeGame(&systemFile);
  for (int i = 0; i < 1000; ++i) game->SetVar(i, i * 7);
  game->Vars().SetNames("Yamada", "Hanako");
  game->Saves().SetSaveComment("chapter one", 1);
  if (uint32_t* screen = CScreenBuffer::GetBuffer())
    for (int i = 0; i < 320 * 240; ++i) screen[i] = static_cast<uint32_t>(i * 2654435761u);
  game->Saves().MakeMiniCG();
  game->Saves().KeepGameState();
  bool ok = true;
  {
    CCommonDataFile slot(game->Roles());
    ok = ok && slot.Save(1) == 0 && Copy(1, dir / "full.sav") && Copy(1, dir / "cut.sav", 5000);
  }
  game->cutin = 0;
  game->extSizes.clear();
  {
    CCommonDataFile slot(game->Roles());
    ok = ok && slot.Save(2) == 0 && Copy(2, dir / "plain.sav");
  }
  if (!ok) {
    std::fprintf(stderr, "make_saveslot_seeds: a slot was not written\n");
    return 1;
  }
  return 0;
}
