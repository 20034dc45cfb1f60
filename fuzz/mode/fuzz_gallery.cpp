// The picture gallery and viewer over random picture lists (variations,
// attribute prefixes, short and missing names), random seen bits and random
// "SelectCG" / "PrintCG" lists: every page is built and drawn, random points
// are hit-tested, and the viewer steps both ways through the seen pictures.
// Nothing may be read or written outside the lists, pictures or screen; a
// hit is always a seen cell of the page; the viewer's picture stays seen.
// The picture book runs between them (fuzz/mode/book_fuzz.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/mode/book_fuzz.h"
#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/inputstatus.h"
#include "mode/gallerygrid.h"
#include "mode/printcg.h"
#include "mode/selectcg.h"
#include "platform/files.h"
#include "savedata/cglist.h"
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

using fuzzsupport::Reader;

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
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    CCGList* list = game.GetCGList();
    list->Load(kCharas);
    for (int c = 0; c < kCharas; ++c)
      for (int i = 0; i < list->GetCGCount(c); ++i)
        if (in.Byte() & 1) systemFile.SetCGFlag(c, i);
    game.CreateModes();
    auto* gallery = dynamic_cast<CCommonSelectCG*>(game.GetMode(CCommonSelectCG::kModeNumber));
    auto* viewer = dynamic_cast<CCommonPrintCG*>(game.GetMode(CCommonPrintCG::kModeNumber));
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
    bookfuzz::Run(game, in);
    viewer->Init();
    viewer->Print();
    CMouseStatus* mouse = game.GetMouseStatus();
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
