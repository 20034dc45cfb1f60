// Reads the input as save slot 1 and draws it with a slot display whose
// layout has every feature on (thumbnail, save time, in-game date and
// weekday, decoration, extra picture cells, numbers, comment and six status
// lines, marks, the animated cursors, bases, quick base, last-saved
// animation), in every cursor state, blink and screen: nothing may read
// outside the file, the peeked record or a picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/savedata/saveslot_game.h"
#include "savedata/datafilesetup.h"
#include "savedata/savedatafile.h"
#include "setup/namelist.h"

namespace {

// The slot display's layout is the fuzz target's own.
class DisplayGame : public saveslotfuzz::SlotGame {
 public:
  DisplayGame(platform::Window* window, CCommonSystemFile* systemFile) : SlotGame(window, systemFile) {
    ownLayout = true;
  }
};

CCommonSystemFile* g_systemFile = nullptr;
DisplayGame* g_game = nullptr;
CNameList* g_list = nullptr;

// "dwq\\sys\\<name>.dwq", w x h with a mask, a colour per cell row.
void WritePicture(const char* name, int w, int h) {
  dwqtool::Picture picture{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) picture.pixels.push_back(uint32_t(y * 7 + x) * 0x010203u);
  picture.alpha.assign(picture.pixels.size(), 200);
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!dwqtool::MakeDwq(picture, options, &bytes, &error)) return;
  platform::WriteWholeFile((std::string("dwq\\sys\\") + name + ".dwq").c_str(), bytes.data(),
                           bytes.size());
}

const char* const kLayout[][2] = {
    {"areaSizeX", "140"}, {"areaSizeY", "110"}, {"picPrintX", "4"}, {"picPrintY", "4"},
    {"picSizeX", "200"}, {"picSizeY", "200"}, {"picPrintType", "1"},
    {"fileNameSaveTimeFont", "fz_font"}, {"saveTimeFontSizeX", "6"}, {"saveTimeFontSizeY", "8"},
    {"gameYearPrintFlag", "1"}, {"gameDatePrintFlag", "1"}, {"gameWeekPrintFlag", "1"},
    {"fileNameGameTimeFont", "fz_font"}, {"fileNameGameWeekFont", "fz_font"},
    {"kazariPrintFlag", "1"}, {"filenameKazari", "fz_pic"},
    {"addPicPrintFlag", "1"}, {"fileNameAddPic", "fz_pic"}, {"addPicMultiFlag", "1"},
    {"addPicMultiNumberX", "0"}, {"addPicSizeX", "8"}, {"addPicSizeY", "8"},
    {"specialNumberPrintFlag", "1"}, {"fileNameSpecialNumberFont", "fz_font"},
    {"serialPrintFlag", "1"}, {"fileNameSerialNumberFont", "fz_font"},
    {"numberPrintFlag", "1"}, {"numberFileName", "fz_font"},
    {"commentPrintFlag", "1"}, {"textPrintFlag", "1"}, {"textPrintNumber", "6"},
    {"fileNameError", "fz_pic"}, {"fileNameOld", "fz_pic"}, {"fileNameBad", "fz_pic"},
    {"selectPrintMode", "2"}, {"selectSizeX", "16"}, {"selectSizeY", "16"},
    {"fileNameSaveCursor", "fz_pic"}, {"saveAnimePattern", "4"}, {"saveAnimeType", "7"},
    {"loadAnimePattern", "3"}, {"loadAnimeType", "2"}, {"overwriteAnimePattern", "5"},
    {"overwriteAnimeType", "8"}, {"overwriteAnimeSpeed", "0"},
    {"basePrintFlag", "1"}, {"filenameLoadBase", "fz_pic"}, {"filenameSaveBase", "fz_pic"},
    {"filenameQuickSaveBase", "fz_pic"}, {"quickSlotNumber", "2"},
    {"filenameLastSave", "fz_pic"}, {"lastSavePattern", "3"},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_systemFile = new CCommonSystemFile;
  g_game = saveslotfuzz::MakeGame<DisplayGame>(g_systemFile).release();
  WritePicture("fz_font", 72, 8);
  WritePicture("fz_pic", 24, 40);
  g_list = new CNameList(0);
  for (const auto& pair : kLayout) {
    g_list->Add(pair[0], true);
    g_list->Add(pair[1], true);
  }
  g_game->layout = new CDataFileSetup(g_list);
  std::atexit([] {
    delete g_game->layout;
    delete g_list;
    delete g_game;
    delete g_systemFile;
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out("game/sav/data1.sav", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) return 0;
  }
  CCommonDataFile slot(g_game->Roles(), 250, 150, nullptr);
  slot.SetQuickEnable(1, 1);
  const int peeked = slot.Peek(1);
  fuzzsupport::Check(peeked == slot.HasData(), "Peek and HasData agree");
  for (int state = 0; state <= 3; ++state)
    for (int blink = 0; blink <= 2; ++blink) slot.Print(state, blink, 1, state & 1, 1);
  fuzzsupport::Check(slot.HitTest(250, 150) == 1 && slot.HitTest(390, 150) == 0,
                     "the hit test covers the area");
  return 0;
}
