// The picture gallery and viewer over random picture lists (variations,
// attribute prefixes, short and missing names), random seen bits and random
// "SelectCG" / "PrintCG" lists: every page is built and drawn, random points
// are hit-tested, and the viewer steps both ways through the seen pictures.
// The scene gallery and both character pages over a random scene table,
// scene-voice list and settings lists: pages are built and drawn and the
// pointer rests and clicks at random places.
// Nothing may be read or written outside the lists, pictures or screen; a
// hit is always a seen cell of the page; the viewer's picture stays seen; a
// character area outside the characters is (0, 0). The picture book runs
// between them (fuzz/mode/book_fuzz.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/mode/book_fuzz.h"
#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "input/inputstatus.h"
#include "mode/gallerygrid.h"
#include "mode/printcg.h"
#include "mode/selectchara.h"
#include "mode/selectscene.h"
#include "mode/selectcg.h"
#include "platform/files.h"
#include "savedata/cglist.h"
#include "savedata/scenedata.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kCharas = 3;

constexpr const char* kSelectKeys[] = {
    "blockNumberX", "blockNumberY", "printX", "printY", "nextX", "nextY", "sizeX", "sizeY",
    "picPrintX", "picSizeX", "cursorPrintX", "cursprSizeY", "picMustPrintPercent", "miniPicTransFlag",
    "futaPrintFlag", "selectPrintMode", "selectPercent", "cursorPrintType", "totalPercentPrintFlag",
    "differencePrintFlag", "differencePrintByGetFlag", "differenceFontSizeX", "differenceFontNextX",
    "addPicFlag", "addPicSrcNumX", "addPicSizeX", "addPicPrintPercent", "pagePrintFlag", "pageMaxPrintFlag",
    "cgPianoSoundFlag", "selectSound", "fileNameFuta", "fileNameCursor", "filenameAdd"};
constexpr const char* kViewerKeys[] = {
    "scrollDirectionX", "scrollDirectionY", "scrollTimeX", "scrollTimeY", "scrollWaitX", "scrollWaitY",
    "taBGFlag", "taBGColorR", "taBGFileName", "taBGCharaFileName1", "nextSound", "cgVoiceWaitTime", "backMode"};
constexpr const char* kWords[] = {"strip", "missing", "", "ta_futa1", "selectcg", "-1"};
// Picture names: existing, short, "ta", variations and attribute prefixes.
constexpr const char* kNames[] = {"pic", "@pic", "x", "@", "tapic", "!pic", "[→2]pic", "[↓3:0_-1]pic",
                                  "[←20↓20]pic", "[→]tapic", "[:5_7]pic", "@[↑1]pic", "[", "[→2:1_0]wide"};

// The scene gallery and character pages.
constexpr const char* kSceneKeys[] = {
    "blockNumberX", "blockNumberY", "nextX", "sizeY", "picMustPrintPercent", "scenePianoSoundFlag",
    "exitStopVoiceFlag", "addPicFlag", "addPicSrcNumX", "totalPercentPrintFlag", "selectPrintMode",
    "listCheckFlag", "filenameAdd", "fileNameFuta"};
constexpr const char* kCharaKeys[] = {
    "pictureMode", "cursorMode", "checkOnByPicFlag", "picNumberX", "cursorPrintType", "customPrintFlag",
    "sizeX", "sizeY", "numberX", "baseX", "baseNextX", "baseNextY", "totalPercentSizeX", "percentSizeX",
    "percentNextX", "charaAppearPercent1", "charaAppearVarName2", "combineFlag", "combineType",
    "combineNumber", "customStart", "customEnd", "printX1", "printY3", "heartPrintFlag", "heartSizeX",
    "filenameHeart", "filenameChara", "filenameButton", "filenameCursor", "percentPercentFlag"};
constexpr const char* kSceneVoiceTokens[] = {"[a]", "@pic", "@", "v1", "!v", "#3", "#40", "text", "@strip", "[b]"};

using fuzzsupport::Reader;

// A scene table of random shape (scene counts up to 230, items, marks), or
// random words.
std::string RandomSceneTable(Reader& in) {
  std::vector<int32_t> words = {0, in.Byte() % 4};
  if (in.Byte() & 1) {
    for (int c = 0; c < words[1]; ++c) {
      const int scenes = in.Byte() & 0x80 ? 200 + in.Byte() % 31 : in.Byte() % 20;
      words.push_back(scenes);
      for (int s = 0; s < scenes; ++s) {
        const int items = in.Byte() % 3;
        words.insert(words.end(), {in.Byte() & 1 ? -1 : 1, items});
        for (int i = 0; i < items; ++i) words.push_back(modefuzz::Value(in));
      }
    }
  } else {
    for (int n = in.Byte() % 40; n > 0; --n) words.push_back(modefuzz::Value(in));
  }
  words[0] = static_cast<int32_t>(4 * words.size());
  return std::string(reinterpret_cast<const char*>(words.data()), 4 * words.size());
}

// Pages, pointer and clicks of mode 18 and the character pages.
void FuzzScenePages(Reader& in, CGame& game) {
  CMouseStatus* mouse = game.Input().GetMouseStatus();
  const auto point = [&] {
    if (mouse) mouse->SetPos(in.Byte() * 4 - 100, in.Byte() * 3 - 100);
    if (mouse) mouse->SetTrig(0, in.Byte() & 1);
  };
  if (CSceneList* scenes = game.Saves().GetSceneList()) scenes->SetCurrentChara(modefuzz::Value(in));
  auto* gallery = dynamic_cast<CCommonSelectScene*>(game.Modes().GetMode(CCommonSelectScene::kModeNumber));
  fuzzsupport::Check(gallery != nullptr, "mode 18 made");
  gallery->Init();
  fuzzsupport::Check(gallery->GetSceneCount() <= CCommonSelectScene::kMaxScenes, "at most 200 scenes");
  for (int page = 0; page < gallery->GetPageCount() && page < 20; ++page) {
    gallery->ChangePage(page);
    gallery->Print();
    for (int f = 0; f < 3; ++f) {
      point();
      if (gallery->Calcu() != -1) break;
      gallery->Print();
    }
  }
  for (int n : {CCommonSelectCGChara::kModeNumber, CCommonSelectSceneChara::kModeNumber}) {
    auto* page = dynamic_cast<CGalleryCharaPage*>(game.Modes().GetMode(n));
    fuzzsupport::Check(page != nullptr, "character page made");
    page->Init();
    page->Print();
    for (int f = 0; f < 12; ++f) {
      point();
      if (page->Calcu() != -1) break;
      page->Print();
    }
    int cell[2] = {1, 1};
    page->GetGridCell(cell, page->GetCharaCount() + in.Byte());
    fuzzsupport::Check(cell[0] == 0 && cell[1] == 0, "outside the characters (0, 0)");
  }
}

void WriteGameFolder() {
  modefuzz::WriteVarNamesAndPictureFolder(1);
  platform::CreateDirectory("dwq\\sys\\sm");
  for (const char* folder : {"dwq\\pi", "dwq\\ta", "dwq\\wi", "dwq\\bg"}) platform::CreateDirectory(folder);
  modefuzz::WriteStrip("strip", 40, 30);
  modefuzz::WriteStrip("ta_futa1", 30, 20);
  modefuzz::WriteStrip("sm\\smpic", 30, 20);
  modefuzz::WriteStrip("sm\\smtapic", 20, 20);
  modefuzz::WriteStrip("pic", 700, 500, "dwq\\pi\\");
  modefuzz::WriteStrip("pic_2", 50, 40, "dwq\\pi\\");
  modefuzz::WriteStrip("tapic", 100, 90, "dwq\\ta\\");
  modefuzz::WriteStrip("wide", 400, 480, "dwq\\wi\\");
  modefuzz::WriteStrip("wide_2", 400, 480, "dwq\\wi\\");
  modefuzz::WriteStrip("missing", 10, 10, "dwq\\bg\\");
  modefuzz::Write("spt\\cgVoice.xtx", "1,1,v1,1,2,-,2,1,v2,\r\n");
  platform::CreateDirectory("mok");
  platform::CreateDirectory("dwq\\sys\\sc");
  modefuzz::WriteStrip("sc\\pic", 30, 20);
  modefuzz::WriteStrip("ta_heart", 64, 16);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  WriteGameFolder();
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  Reader in(data, size);
  for (int c = 1; c <= kCharas; ++c) {
    std::string list;
    const int n = in.Byte() % 40;
    for (int i = 0; i < n; ++i) list += std::string(kNames[in.Byte() % std::size(kNames)]) + ",";
    modefuzz::Write(CGListFileName(c).c_str(), list + "\r\n");
  }
  modefuzz::Write("init\\SelectCG.xtx", modefuzz::RandomList(in, kSelectKeys, kWords, 40));
  modefuzz::Write("init\\PrintCG.xtx", modefuzz::RandomList(in, kViewerKeys, kWords, 20));
  modefuzz::Write("init\\SelectScene.xtx", modefuzz::RandomList(in, kSceneKeys, kWords, 20));
  modefuzz::Write("init\\selectcgchara.xtx", modefuzz::RandomList(in, kCharaKeys, kWords, 30));
  modefuzz::Write("init\\SelectSceneChara.xtx", modefuzz::RandomList(in, kCharaKeys, kWords, 30));
  modefuzz::Write("spt\\scene.dat", RandomSceneTable(in));
  {
    std::string voices;
    for (int n = in.Byte() % 60; n > 0; --n) voices += std::string(kSceneVoiceTokens[in.Byte() % std::size(kSceneVoiceTokens)]) + ",";
    modefuzz::Write("mok\\sceneVoice.xtx", voices + "\r\n");
  }
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    CCGList* list = game.Saves().GetCGList();
    list->Load(kCharas);
    for (int c = 0; c < kCharas; ++c)
      for (int i = 0; i < list->GetCGCount(c); ++i)
        if (in.Byte() & 1) systemFile.SetCGFlag(c, i);
    game.CreateModes();
    auto* gallery = dynamic_cast<CCommonSelectCG*>(game.Modes().GetMode(CCommonSelectCG::kModeNumber));
    auto* viewer = dynamic_cast<CCommonPrintCG*>(game.Modes().GetMode(CCommonPrintCG::kModeNumber));
    fuzzsupport::Check(gallery && viewer, "modes 17 and 23 made");
    list->SetCurrentChara(modefuzz::Value(in));
    list->SetCurrentCG(modefuzz::Value(in));
    gallery->Init();
    CGalleryGrid* grid = gallery->GetGrid();
    for (int page = 0; page < gallery->GetPageCount() && page < 8; ++page) {
      gallery->ChangePage(page);
      gallery->Print();
      for (int k = 0; k < 4; ++k) {
        const int x = in.Byte() * 4 - 100, y = in.Byte() * 3 - 100;
        const int hit = grid->HitTest(x, y);
        fuzzsupport::Check(hit == -1 || (hit < grid->GetCells() &&
                                         grid->GetState(hit) == CGalleryGrid::CellState::kSeen),
                           "a hit is a seen cell");
      }
    }
    FuzzScenePages(in, game);
    bookfuzz::Run(game, in);
    viewer->Init();
    viewer->Print();
    CMouseStatus* mouse = game.Input().GetMouseStatus();
    while (in.More()) {
      if (mouse) mouse->SetWheel(in.Byte() & 1 ? 120 : -120);
      viewer->Calcu();
      viewer->Print();
      if (mouse) mouse->SetWheel(0);
      const int c = list->GetCurrentChara(), i = list->GetCurrentCG();
      fuzzsupport::Check(i >= 0 && (list->GetCGCount(c) == 0 || i < list->GetCGCount(c)), "picture in the list");
    }
  }
  g_host->ClearBoxes();
  return 0;
}
