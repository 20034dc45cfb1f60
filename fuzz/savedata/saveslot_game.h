// The game that the save-slot fuzz target and its seed writer share: a
// small screen, the keyed flag table, cut-ins, two EXT chunks, a project
// and a music list, made in the current folder's "game".
#pragma once

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "modebase/commongeneral.h"
#include "game/game.h"
#include "game/gameparts.h"
#include "game/savepart.h"
#include "platform/files.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"

namespace saveslotfuzz {

class SlotGame;

// The save role of SlotGame: the cut-in flag, the EXT chunks and, when the
// game names one, the save-slot layout come from the game's fields.
class SlotSaves final : public CSavePart {
 public:
  SlotSaves(GameParts& parts, SlotGame* game) : CSavePart(LinksOf<CSavePart>(parts)), game_(game) {}
  int GetUseCutinFlag() override;
  int GetExtSaveDataCount() override;
  int GetExtSaveDataSize(int i) override;
  void PutExtSaveData(uint8_t* body, size_t size, int i) override;
  CDataFileSetup* GetSaveSlotLayout() override;

 private:
  SlotGame* game_;
};

class SlotGame : public CGame {
 public:
  SlotGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, 320, 240, 32) {
    Parts().saves = std::make_unique<SlotSaves>(Parts(), this);
  }
  // The destroy step while the fields the save role reads still stand.
  ~SlotGame() override { ReleaseAll(); }
  std::unique_ptr<CCommonGeneral> MakeMode(int) override { return nullptr; }

  int cutin = 1;
  std::vector<int> extSizes = {40, 0};
  // With ownLayout the save-slot layout is `layout` (may be null), else
  // the game's own.
  bool ownLayout = false;
  CDataFileSetup* layout = nullptr;
};

inline int SlotSaves::GetUseCutinFlag() { return game_->cutin; }
inline int SlotSaves::GetExtSaveDataCount() { return static_cast<int>(game_->extSizes.size()); }
inline int SlotSaves::GetExtSaveDataSize(int i) {
  const std::vector<int>& sizes = game_->extSizes;
  return i >= 0 && i < static_cast<int>(sizes.size()) ? sizes[static_cast<size_t>(i)] : 0;
}
inline void SlotSaves::PutExtSaveData(uint8_t* body, size_t size, int i) {
  if (size) std::memset(body, 0x40 + i, size);
}
inline CDataFileSetup* SlotSaves::GetSaveSlotLayout() {
  return game_->ownLayout ? game_->layout : CSavePart::GetSaveSlotLayout();
}

inline void Write(const char* path, const std::string& text) {
  platform::WriteWholeFile(path, text.data(), text.size());
}

// The game folder, the save folder and the initialised game (SlotGame or a
// class over it).
template <typename Game = SlotGame>
inline std::unique_ptr<Game> MakeGame(CCommonSystemFile* systemFile) {
  fuzzsupport::EnterGameFolder("sav");
  SetSaveFolder(nullptr, nullptr, 0);
  CreateSaveFolder();
  Write("init\\game.xtx", "useExtClass,1\r\nhighVersion,1\r\nmiddleVersion,2\r\n");
  Write("spt\\project.xtx", "story\r\nsub\r\n");
  Write("spt\\bgmlist.xtx", "m1,Title\r\nm2,Theme\r\n");
  auto game = std::make_unique<Game>(fuzzsupport::MakeWindow(320, 240), systemFile);
  game->Init();
  return game;
}

// A written file copied out as a seed (cut to `cut` bytes when not 0).
inline bool CopySeed(const std::string& from, const std::filesystem::path& to, size_t cut = 0) {
  std::string bytes;
  if (!platform::ReadWholeFile(from, &bytes)) return false;
  if (cut) bytes.resize(cut);
  std::ofstream out(to, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// The fuzz targets' one game, made at initialisation; its release at exit
// stops its sound threads, which would otherwise hold the exit up.
inline SlotGame* SharedGame() {
  static CCommonSystemFile* systemFile = nullptr;
  static SlotGame* game = nullptr;
  if (!game) {
    systemFile = new CCommonSystemFile;
    game = MakeGame(systemFile).release();
    std::atexit([] {
      delete game;
      delete systemFile;
    });
  }
  return game;
}

}  // namespace saveslotfuzz
