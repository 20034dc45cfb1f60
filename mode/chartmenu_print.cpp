// The flow-chart menu's drawing: back and centre layers in parallax, links,
// the now-marker, the mini-map, the node buttons with their marks, the
// completion panel and the description window.
#include <algorithm>
#include <cstdio>
#include <string>

#include "services/backscriptservices.h"
#include "services/floatingservices.h"
#include "services/inputservices.h"
#include "services/screenservices.h"
#include "graphics/line.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/chartmenu.h"
#include "mode/chartmenu_settings.h"
#include "savedata/chartfile.h"
#include "widget/floatinglayer.h"
#include "widget/animepart.h"
#include "widget/buttongroup.h"
#include "input/inputstatus.h"
#include "widget/commonbutton.h"
#include "widget/multistatebutton.h"
#include "widget/numberprint.h"
#include "widget/radiobuttongroup.h"

namespace {

constexpr int kLastBackChannel = 13;
constexpr int kTopChannelFirst = 14, kTopChannelLast = 15;
constexpr int kLineMargin = 2;
constexpr int kMaxOffset = 1 << 29;
constexpr int kMaxZoom = CCommonChartMenu::kMaxZoomPercent;

int64_t AtLeast1(int64_t v) { return v < 1 ? 1 : v; }

// The opaque or translucent, plain or zoomed cell of a picture, centred on
// (cx, cy) when zoomed.
void DrawCell(CPicture* picture, int x, int y, int sx, int sy, int w, int h, int zoom,
              int opacity) {
  if (!picture) return;
  if (zoom == 100 && opacity >= 100) {
    picture->Blt(x, y, sx, sy, w, h, 1);
    return;
  }
  const int zw = static_cast<int>(int64_t{w} * zoom / 100), zh = static_cast<int>(int64_t{h} * zoom / 100);
  picture->StretchBlt(x + (w - zw) / 2, y + (h - zh) / 2, zw, zh, sx, sy, w, h,
                      std::clamp(opacity, 0, 100), 1);
}

}  // namespace

int CCommonChartMenu::Print() {
  const bool backScript = GetBackScriptFlag() != 0;
  // Every layer moves or may move each frame, and the back pictures cover
  // the whole screen: all of it is shown anew.
  CScreenBuffer::AddDirtyRect(0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  PrintBack();
  if (backScript && game_) game_.backScript->PrintBackScriptRange(0, set_->centerPicLayer - 1);
  PrintCenter();
  if (backScript && game_) game_.backScript->PrintBackScriptRange(set_->centerPicLayer + 1, kLastBackChannel);
  PrintLinks();
  if (tabs_) tabs_->Print();
  if (set_->newMarkPrint) PrintNewMarks();
  PrintNowMarker();
  PrintMiniMap();
  if (set_->eraseButtonBack) EraseButtonBacks();
  if (!set_->debugDontPrintButton) PrintButtons();
  PrintCompletion();
  PrintDescription();
  if (miniMapState_ == 2) PrintCapture();
  if (backScript && game_) game_.backScript->PrintBackScriptRange(kTopChannelFirst, kTopChannelLast);
  if (dialogShown_) {
    if (dialog_) dialog_->Blt(set_->dialogX, set_->dialogY, 0, 0, dialog_->GetWidth(), dialog_->GetHeight(), 1);
    if (dialogButtons_) dialogButtons_->Print();
  }
  if (set_->editMode == 2) PrintEditTexts();
  if (game_) game_.floating->ShowFloatingButtons();
  return -1;
}

int CCommonChartMenu::BackOffset(int percent) const {
  const int64_t height = game_ ? game_.screen->GetScreenHeight() : 600;
  const int64_t backExtra = backHeight_ - height;
  const int64_t chartExtra = int64_t{chartHeight_} - height;
  if (backExtra <= 0 || chartExtra <= 0) return 0;
  // Settings and charts of any size: the product is taken in 128 bits.
  const __int128 offset = -static_cast<__int128>(backExtra) * percent * scrollY_ / (chartExtra * 100);
  return static_cast<int>(std::clamp<__int128>(offset, -kMaxOffset, kMaxOffset));
}

CPicture* CCommonChartMenu::BackPicture(int i) const {
  if (i < 0 || i >= static_cast<int>(backShown_.size()) || !backShown_[static_cast<size_t>(i)])
    return nullptr;
  if (i < kChannelBacks) return game_ ? game_.screen->GetEffectPicture(i) : nullptr;
  const size_t k = static_cast<size_t>(i - kChannelBacks);
  return k < extraBacks_.size() ? extraBacks_[k].get() : nullptr;
}

CPicture* CCommonChartMenu::CenterPicture() const {
  return centerShown_ && game_ ? game_.screen->GetEffectPicture(set_->centerPicLayer) : nullptr;
}

void CCommonChartMenu::PrintBack() {
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int d = BackOffset(100);
  for (int i = 0; i < static_cast<int>(backShown_.size()); ++i) {
    const int y = d + height * i;
    CPicture* back = BackPicture(i);
    if (back && y < height && y + height > 0) back->Blt(0, y, 0, 0, width, height, 0);
  }
}

void CCommonChartMenu::PrintCenter() {
  CPicture* center = CenterPicture();
  if (!center) return;
  const int height = std::max(game_ ? game_.screen->GetScreenHeight() : 600, 1);
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int d = BackOffset(set_->centerMulti) % height;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) {
      const int x = width * i - centerScrollX_;
      const int y = d + height * (j - 1);
      if (-height < y && y < height) center->Blt(x, y, 0, 0, width, height, 1);
    }
}

void CCommonChartMenu::NodeScreenPos(int n, int* x, int* y) const {
  const CChartFile* chart = GetChart(displayedChart_);
  const platform::Point p = chart ? chart->GetNodePos(n) : platform::Point{0, 0};
  *x = floating::Offset(p.x, set_->slotAreaStartX);
  *y = floating::Offset(int64_t{p.y} + set_->slotAreaStartY, -int64_t{scrollY_});
}

bool CCommonChartMenu::IsButtonVisible(int x, int y) const {
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  return x >= -set_->slotSizeX && x < width && y >= -2 * set_->slotSizeY &&
         y < height + set_->slotSizeY;
}

int CCommonChartMenu::LinkColor(int n, int i) const {
  const CChartFile* chart = GetChart(ChartOf(n));
  const int target = chart ? chart->GetLinkTarget(n, i) : -1;
  if (n == currentNode_ && IsNext(target)) return target == hoveredNode_ ? 5 : 4;
  if (slots_->GetFlag(n) == i + 1) return 1;
  if (i < 8 && (slots_->GetPassed(n) >> i & 1)) return 2;
  return 3;
}

void CCommonChartMenu::PrintLine(int x1, int y1, int x2, int y2, int color) {
  const int* c = set_->lineColor[std::clamp(color, 1, kLineColors) - 1];
  int r = c[0], g = c[1], b = c[2];
  if (color == 5) {
    // From colour 4 to colour 5 and back over the colour period.
    const int* from = set_->lineColor[3];
    const int t = Fold(lineColorCounter_, set_->lineColorCount);
    const int half = HalfPeriod(set_->lineColorCount);
    r = from[0] + (c[0] - from[0]) * t / half;
    g = from[1] + (c[1] - from[1]) * t / half;
    b = from[2] + (c[2] - from[2]) * t / half;
  }
  static constexpr int kThick[5][2] = {{0, 0}, {1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  const int count = color == 1 || color == 5 ? 5 : 3;
  CLine line;
  for (int k = 0; k < count; ++k)
    line.Line(x1 + kThick[k][0], y1 + kThick[k][1], x2 + kThick[k][0], y2 + kThick[k][1], r, g, b);
}

void CCommonChartMenu::PrintLinks() {
  const CChartFile* chart = GetChart(displayedChart_);
  if (!chart) return;
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  auto inside = [&](int x, int y) {
    return x >= -kLineMargin && x < width + kLineMargin && y >= -kLineMargin &&
           y < height + kLineMargin;
  };
  for (int i = 0; i < chart->GetCount(); ++i) {
    const int n = chart->GetNodeNumber(i);
    int x1, y1;
    NodeScreenPos(n, &x1, &y1);
    for (int k = 0; k < chart->GetLinkCount(n); ++k) {
      const int t = chart->GetLinkTarget(n, k);
      if (!slots_->IsNode(t) || ChartOf(t) != displayedChart_) continue;
      int x2, y2;
      NodeScreenPos(t, &x2, &y2);
      const bool crosses = (y1 < 0 && y2 >= height) || (y2 < 0 && y1 >= height);
      if (inside(x1, y1) || inside(x2, y2) || crosses) PrintLine(x1, y1, x2, y2, LinkColor(n, k));
    }
  }
}

void CCommonChartMenu::PrintNewMarks() {
  if (!newMark_ || !tabs_) return;
  for (int c = 0; c < tabs_->GetCount() && c < 32; ++c) {
    const CCommonRadioButton* tab = tabs_->GetItem(c);
    if (!tab || !(newChartBits_ >> c & 1)) continue;
    const CCommonButton* shown = tab->GetStateButton(0);
    if (!shown) continue;
    const platform::Point p = shown->GetPrintXY();
    newMark_->PrintAt(floating::Offset(p.x, set_->newMarkPrintX),
                      floating::Offset(p.y, set_->newMarkPrintY));
  }
  newMark_->Calcu();
}

void CCommonChartMenu::PrintNowMarker() {
  if (!nowMarker_) return;
  const int variant = displayedChart_ == entryChart_ ? 2 : 1;
  char key[64];
  int x = 0, y = 0;
  std::snprintf(key, sizeof key, "grow%dButton%dPrintX", entryChart_ + 1, variant);
  GetSetupInt(&x, key);
  std::snprintf(key, sizeof key, "grow%dButton%dPrintY", entryChart_ + 1, variant);
  GetSetupInt(&y, key);
  nowMarker_->Blt(x, y, 0, 0, nowMarker_->GetWidth(), nowMarker_->GetHeight(), 1);
}

void CCommonChartMenu::PrintMiniMap() {
  const Settings::MiniMap& m = set_->mini;
  if (miniBase_) miniBase_->Blt(m.baseX, m.baseY, 0, 0, miniBase_->GetWidth(), miniBase_->GetHeight(), 1);
  const int ox = floating::Offset(m.baseX, m.printX), oy = floating::Offset(m.baseY, m.printY);
  if (++blinkCounter_ >= set_->miniButtonTime) {
    blinkCounter_ = 0;
    blinkOn_ ^= 1;
  }
  const CChartFile* chart = GetChart(displayedChart_);
  if (chart && miniButton_) {
    const int dw = set_->miniButtonSizeX, dh = set_->miniButtonSizeY;
    for (int i = 0; i < chart->GetCount(); ++i) {
      const int n = chart->GetNodeNumber(i);
      int state = IsAllSeen(n) ? 1 : 0;
      if (n == currentNode_) state = 2;
      if (IsNext(n)) {
        if (!blinkOn_) continue;
        state = 3;
      }
      const platform::Point p = chart->GetNodePos(n);
      const int x = static_cast<int>(int64_t{p.x} * m.sizeX / set_->slotAreaSizeX) - dw / 2;
      const int y = static_cast<int>(int64_t{p.y} * m.sizeY / AtLeast1(chartHeight_)) - dh / 2;
      miniButton_->Blt(floating::Offset(ox, x), floating::Offset(oy, y), state * dw, 0, dw, dh, 1);
    }
  }
  const int time = std::max(set_->miniWindowTime, 1);
  windowCounter_ = (windowCounter_ + 1) % time;
  const int opacity = set_->miniWindowPercent1 + (set_->miniWindowPercent2 - set_->miniWindowPercent1) *
                                                     Fold(windowCounter_, time) / HalfPeriod(time);
  if (!miniWindow_) return;
  const int up = set_->miniWindowUp, down = set_->miniWindowDown;
  const int w = set_->miniWindowSizeX;
  const int band = miniWindow_->GetHeight() - up - down;
  const int x = floating::Offset(ox, set_->miniWindowPrintX);
  const int y = floating::Offset(floating::Offset(oy, miniWindowY_), set_->miniWindowPrintY);
  miniWindow_->TransLucentBlt(x, y, 0, 0, w, up, opacity);
  if (band > 0 && miniWindowHeight_ > 0)
    miniWindow_->StretchBlt(x, y + up, w, miniWindowHeight_, 0, up, w, band, opacity, 1);
  miniWindow_->TransLucentBlt(x, y + up + miniWindowHeight_, 0, up + std::max(band, 0), w, down,
                              opacity);
}

CCommonChartMenu::Look CCommonChartMenu::ButtonLook(int n, int* zoom, int* opacity) const {
  *zoom = 100;
  *opacity = 100;
  const bool hovered = n == hoveredNode_;
  if (n == currentNode_) {
    if (hovered) *zoom = set_->selectButtonMulti2;
    return kLookCurrent;
  }
  if (IsNext(n)) {
    *zoom = hovered ? set_->selectButtonMulti : GetPulseZoom();
    *opacity = hovered ? set_->selectSlotTrans : set_->selectOkSlotTrans;
    return kLookCell;
  }
  if (!IsSeen(n)) return kLookNotSeen;
  if (!IsOpen(n)) return kLookGrey;
  if (hovered) {
    *zoom = set_->selectButtonMulti2;
    *opacity = set_->selectSlotTrans;
  }
  return kLookCell;
}

bool CCommonChartMenu::NodeCell(int n, CPicture** atlas, int* sx, int* sy) const {
  const int64_t i = int64_t{n} - int64_t{ChartOf(n)} * GetBlockSize();
  const int64_t cells = int64_t{atlasCols_} * atlasRows_;
  const int64_t k = i / cells;
  if (i < 0 || k >= static_cast<int64_t>(atlases_.size()) || !atlases_[static_cast<size_t>(k)])
    return false;
  *atlas = atlases_[static_cast<size_t>(k)].get();
  *sx = static_cast<int>(i % atlasCols_) * set_->slotSizeX;
  *sy = static_cast<int>((i / atlasCols_) % atlasRows_) * set_->slotSizeY;
  return *sx + set_->slotSizeX <= (*atlas)->GetWidth() && *sy + set_->slotSizeY <= (*atlas)->GetHeight();
}

void CCommonChartMenu::EraseButtonBacks() {
  const CChartFile* chart = GetChart(displayedChart_);
  if (!chart || backShown_.empty()) return;
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  const int d = BackOffset(100);
  for (int i = 0; i < chart->GetCount(); ++i) {
    const int n = chart->GetNodeNumber(i);
    int x, y, zoom, opacity;
    NodeScreenPos(n, &x, &y);
    if (!IsButtonVisible(x, y)) continue;
    ButtonLook(n, &zoom, &opacity);
    zoom = std::clamp(zoom, 0, kMaxZoom);
    const int w = static_cast<int>(int64_t{set_->slotSizeX} * zoom / 100);
    const int h = static_cast<int>(int64_t{set_->slotSizeY} * zoom / 100);
    const int left = x - w / 2, top = y - h / 2;
    for (int k = 0; k < static_cast<int>(backShown_.size()); ++k) {
      const int backTop = d + height * k;
      const int from = std::max(top, backTop), to = std::min(top + h, backTop + height);
      CPicture* back = BackPicture(k);
      if (back && from < to) back->Blt(left, from, left, from - backTop, w, to - from, 0);
    }
  }
}

void CCommonChartMenu::PrintButtons() {
  const CChartFile* chart = GetChart(displayedChart_);
  if (!chart) return;
  for (int i = 0; i < chart->GetCount(); ++i) PrintButton(chart->GetNodeNumber(i));
}

void CCommonChartMenu::PrintButton(int n) {
  int x, y, zoom, opacity;
  NodeScreenPos(n, &x, &y);
  if (!IsButtonVisible(x, y)) return;
  const Look look = ButtonLook(n, &zoom, &opacity);
  zoom = std::clamp(zoom, 0, kMaxZoom);
  const int w = set_->slotSizeX, h = set_->slotSizeY;
  const int left = x - w / 2, top = y - h / 2;
  if (look == kLookNotSeen) {
    if (notLook_)
      notLook_->Blt(x - notLook_->GetWidth() / 2, y - notLook_->GetHeight() / 2, 0, 0,
                    notLook_->GetWidth(), notLook_->GetHeight(), 1);
    return;
  }
  CPicture* atlas = nullptr;
  int sx = 0, sy = 0;
  if (!NodeCell(n, &atlas, &sx, &sy)) return;
  if (look == kLookGrey)
    atlas->GreyBlt(left, top, sx, sy, w, h, 1);
  else
    DrawCell(atlas, left, top, sx, sy, w, h, zoom, opacity);
  if (look == kLookCurrent && cursor_)
    DrawCell(cursor_.get(), left, top, 0, 0, w, h, zoom, 100);
  const int zw = static_cast<int>(int64_t{w} * zoom / 100), zh = static_cast<int>(int64_t{h} * zoom / 100);
  const bool hoveredLook = n == hoveredNode_ && look != kLookCurrent;
  PrintMarks(n, x - zw / 2, y - zh / 2, hoveredLook ? set_->buttonMulti : zoom);
}

void CCommonChartMenu::PrintMarks(int n, int left, int top, int zoom) {
  if (!compMark_) return;
  const int size = SeenSize(n);
  const int seen = slots_->GetSeen(n);
  const int w = set_->compSizeX, h = set_->compSizeY;
  if (size <= 1) {
    if (IsAllSeen(n)) compMark_->Blt(left + set_->compPrintX, top + set_->compPrintY, 0, 0, w, h, 1);
    return;
  }
  if (!(seen & ((1 << size) - 1))) return;
  for (int j = 0; j < size; ++j) {
    const int x = floating::Offset(floating::Offset(left, set_->compPrintX),
                                   int64_t{j} * set_->compNextX * zoom / 100);
    const int y = floating::Offset(floating::Offset(top, set_->compPrintY), int64_t{j} * set_->compNextY);
    if (seen >> j & 1)
      compMark_->Blt(x, y, 0, 0, w, h, 1);
    else
      compMark_->TransLucentBlt(x, y, 0, 0, w, h, set_->compPercent);
  }
}

void CCommonChartMenu::PrintCompletion() {
  const int bx = set_->tasseidoBaseX, by = set_->tasseidoBaseY;
  if (tasseido_) tasseido_->Blt(bx, by, 0, 0, tasseido_->GetWidth(), tasseido_->GetHeight(), 1);
  if (!numbers_) return;
  numbers_->Print(floating::Offset(bx, set_->tasseidoX), floating::Offset(by, set_->tasseidoY),
                  GetChartPercent(displayedChart_));
  numbers_->Print(floating::Offset(bx, set_->totalTasseidoX),
                  floating::Offset(by, set_->totalTasseidoY), totalPercent_);
}

int CCommonChartMenu::DescColumn(int n) const {
  const CChartFile* chart = GetChart(ChartOf(n));
  return chart && !IsSeen(n) && chart->GetTextCount(n, 1) > 0 ? 1 : 0;
}

void CCommonChartMenu::PrintDescription() {
  if (descNode_ < 0) return;
  const int x = descUpper_ ? set_->upperDescX : set_->lowerDescX;
  const int y = descUpper_ ? set_->upperDescY : set_->lowerDescY;
  if (descWindow_) descWindow_->Blt(x, y, 0, 0, descWindow_->GetWidth(), descWindow_->GetHeight(), 1);
  const CChartFile* chart = GetChart(displayedChart_);
  if (!chart || !text_ || !slots_->IsNode(descNode_) || ChartOf(descNode_) != displayedChart_) return;
  const int column = DescColumn(descNode_);
  for (int k = 0; k < chart->GetTextCount(descNode_, column); ++k)
    if (const char* line = chart->GetText(descNode_, k, column))
      text_->Print(floating::Offset(x, set_->descPrintX),
                   floating::Offset(floating::Offset(y, set_->descPrintY), int64_t{k} * set_->descNextY), line,
                   set_->descFontSize, set_->descR, set_->descG, set_->descB);
}

void CCommonChartMenu::PrintCapture() {
  CMouseStatus* mouse = game_ ? game_.input->GetMouseStatus() : nullptr;
  if (!capture_ || !mouse) return;
  platform::Point p{0, 0};
  mouse->GetPos(&p);
  capture_->Blt(floating::Offset(p.x, set_->capturePrintX), floating::Offset(p.y, set_->capturePrintY), 0, 0,
                capture_->GetWidth(), capture_->GetHeight(), 1);
}

void CCommonChartMenu::PrintEditTexts() {
  if (!text_) return;
  constexpr int kSize = 16;
  char line[128];
  if (editMessageCount_ > 0) {
    // "ＳＡＶＥ：%d"
    std::snprintf(line, sizeof line, "\x82\x72\x82\x60\x82\x75\x82\x64\x81\x46%d", editMessageChart_);
    text_->Print(350, 300, line, kSize, 255, 255, 255);
  }
  const CChartFile* chart = GetChart(ChartOf(editDrag_.node));
  if (editDrag_.node < 0 || !chart) return;
  const platform::Point p = chart->GetNodePos(editDrag_.node);
  // "スロット%d（%d，%d）"
  std::snprintf(line, sizeof line, "\x83\x58\x83\x8d\x83\x62\x83\x67%d\x81\x69%d\x81\x43%d\x81\x6a",
                editDrag_.node, p.x, p.y);
  text_->Print(200, 0, line, kSize, 255, 255, 255);
}
