#include "mode/gallerygrid.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "modebase/commongeneral.h"
#include "services/soundservices.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "savedata/datautil.h"
#include "widget/numberprint.h"

namespace {

constexpr int kSlashGlyph = 11;
constexpr int kCountKeta = 2;
constexpr int kPercentGlyph = 12;
constexpr int kPercentKeta = 3;

// A number font's keys: "<prefix>FontSizeX/Y", "<prefix>FontNextX" (the
// width unless given) and the place "<prefix>PrintX/Y".
struct FontKeys {
  int sizeX, sizeY, nextX, printX, printY;
};
void ReadFontKeys(const CCommonGeneral& mode, const std::string& prefix, FontKeys* keys) {
  mode.GetSetupInt(&keys->sizeX, (prefix + "FontSizeX").c_str());
  mode.GetSetupInt(&keys->sizeY, (prefix + "FontSizeY").c_str());
  keys->nextX = keys->sizeX;
  mode.GetSetupInt(&keys->nextX, (prefix + "FontNextX").c_str());
  mode.GetSetupInt(&keys->printX, (prefix + "PrintX").c_str());
  mode.GetSetupInt(&keys->printY, (prefix + "PrintY").c_str());
}

}  // namespace

int GalleryPercent(int seen, int total) {
  int percent = std::clamp(savedata::SeenPercent(seen, total), 0, 100);
  if (percent == 100 && seen < total) percent = 99;
  return percent;
}

CGalleryGrid::CGalleryGrid(const CCommonGeneral& mode) {
  const auto at_least_1 = [](int& v) { v = std::max(v, 1); };
  mode.GetSetupInt(&columns_, "blockNumberX");
  mode.GetSetupInt(&rows_, "blockNumberY");
  mode.GetSetupInt(&printX_, "printX");
  mode.GetSetupInt(&printY_, "printY");
  mode.GetSetupInt(&nextX_, "nextX");
  mode.GetSetupInt(&nextY_, "nextY");
  mode.GetSetupInt(&sizeX_, "sizeX");
  mode.GetSetupInt(&sizeY_, "sizeY");
  at_least_1(nextX_);
  at_least_1(nextY_);
  // Cells beyond what a page could ever hold are not made.
  columns_ = std::clamp(columns_, 1, 256);
  rows_ = std::clamp(rows_, 1, 256);
  mode.GetSetupInt(&picPrintX_, "picPrintX");
  mode.GetSetupInt(&picPrintY_, "picPrintY");
  picSizeX_ = sizeX_;
  picSizeY_ = sizeY_;
  mode.GetSetupInt(&picSizeX_, "picSizeX");
  mode.GetSetupInt(&picSizeY_, "picSizeY");
  cursorPrintX_ = picPrintX_;
  cursorPrintY_ = picPrintY_;
  mode.GetSetupInt(&cursorPrintX_, "cursorPrintX");
  mode.GetSetupInt(&cursorPrintY_, "cursorPrintY");
  cursorSizeX_ = picSizeX_;
  cursorSizeY_ = picSizeY_;
  mode.GetSetupInt(&cursorSizeX_, "cursprSizeX");
  mode.GetSetupInt(&cursorSizeY_, "cursprSizeY");
  mode.GetSetupInt(&picMustPrintPercent_, "picMustPrintPercent");
  mode.GetSetupInt(&miniPicTransFlag_, "miniPicTransFlag");

  const char* name = "ta_futa1";
  mode.GetSetupString(&name, "fileNameFuta");
  mode.GetSetupInt(&futaPrintFlag_, "futaPrintFlag");
  if (futaPrintFlag_) coverName_ = name;

  mode.GetSetupInt(&selectPrintMode_, "selectPrintMode");
  mode.GetSetupInt(&selectPercent_, "selectPercent");
  if (selectPrintMode_ == 1) {
    mode.GetSetupInt(&cursorR_, "cursorColorR");
    mode.GetSetupInt(&cursorG_, "cursorColorG");
    mode.GetSetupInt(&cursorB_, "cursorColorB");
  } else if (selectPrintMode_ == 2) {
    name = "ta_cg_cur";
    mode.GetSetupString(&name, "fileNameCursor");
    mode.GetSetupInt(&cursorPrintType_, "cursorPrintType");
    cursorName_ = name;
  }

  mode.GetSetupInt(&differencePrintFlag_, "differencePrintFlag");
  mode.GetSetupInt(&differencePrintByGetFlag_, "differencePrintByGetFlag");
  FontKeys font{21, 27, 0, 0, 0};
  ReadFontKeys(mode, "difference", &font);
  differenceNextX_ = font.nextX;
  differencePrintX_ = font.printX;
  differencePrintY_ = font.printY;
  if (differencePrintFlag_ & 1) {
    name = "ta_sl_font3";
    mode.GetSetupString(&name, "fileNameDifferenceFont");
    differenceFontName_ = name;
    differenceFont_ = std::make_unique<CPicture>();
    differencePrinter_ = std::make_unique<CNumberPrint>(differenceFont_.get(), font.sizeX, font.sizeY, kCountKeta,
                                                        differenceNextX_, 0, 1, 0);
  }
  cells_.resize(static_cast<size_t>(GetCells()));
  thumbnails_.resize(cells_.size());
}

CGalleryGrid::~CGalleryGrid() = default;

void CGalleryGrid::LoadPictures() {
  if (picturesLoaded_) return;
  picturesLoaded_ = true;
  const auto load = [](std::unique_ptr<CPicture>& p, const char* name) {
    if (!name) return;
    if (!p) p = std::make_unique<CPicture>();
    p->LoadDWQ(("sys\\" + std::string(name)).c_str());
  };
  load(cover_, coverName_);
  load(cursor_, cursorName_);
  load(differenceFont_, differenceFontName_);
}

int CGalleryGrid::PageCount(int entries) const {
  if (entries < 1) return 1;
  return (entries - 1) / GetCells() + 1;
}

void CGalleryGrid::CellPos(int k, int* x, int* y) const {
  *x = printX_ + k % columns_ * nextX_;
  *y = printY_ + k / columns_ * nextY_;
}

void CGalleryGrid::CellRect(int k, int* x, int* y, int* w, int* h) const {
  CellPos(k, x, y);
  *w = std::max({sizeX_, picPrintX_ + picSizeX_, cursorPrintX_ + cursorSizeX_});
  *h = std::max({sizeY_, picPrintY_ + picSizeY_, cursorPrintY_ + cursorSizeY_});
}

int CGalleryGrid::HitCell(int x, int y) const {
  const int64_t dx = int64_t{x} - printX_, dy = int64_t{y} - printY_;
  if (dx < 0 || dy < 0 || dx >= int64_t{nextX_} * columns_ || dy >= int64_t{nextY_} * rows_) return -1;
  if (dx % nextX_ >= sizeX_ || dy % nextY_ >= sizeY_) return -1;
  return static_cast<int>(dx / nextX_ + dy / nextY_ * columns_);
}

int CGalleryGrid::HitTest(int x, int y) const {
  const int k = HitCell(x, y);
  return k >= 0 && GetState(k) == CellState::kSeen ? k : -1;
}

CGalleryGrid::CellState CGalleryGrid::GetState(int k) const {
  if (k < 0 || k >= GetCells()) return CellState::kEmpty;
  return cells_[static_cast<size_t>(k)].state;
}

void CGalleryGrid::BuildPage(const std::function<CellInfo(int cell)>& info) {
  for (int k = 0; k < GetCells(); ++k) {
    CellInfo cell = info(k);
    if (cell.state == CellState::kUnseenShown && picMustPrintPercent_ == 0) cell.state = CellState::kCover;
    auto& thumbnail = thumbnails_[static_cast<size_t>(k)];
    const bool shows = cell.state == CellState::kSeen || cell.state == CellState::kUnseenShown;
    // A cell without a picture name shows none (never the picture of the
    // cell's previous page).
    if (shows && cell.thumbnail && *cell.thumbnail) {
      if (!thumbnail) thumbnail = std::make_unique<CPicture>();
      thumbnail->LoadDWQ((thumbnailPrefix_ + std::string(cell.thumbnail)).c_str());
    } else {
      thumbnail.reset();
    }
    cells_[static_cast<size_t>(k)] = cell;
  }
}

void CGalleryGrid::PrintCell(int k) const {
  if (k < 0 || k >= GetCells()) return;
  const CellInfo& cell = cells_[static_cast<size_t>(k)];
  if (cell.state == CellState::kEmpty) return;
  int x = 0, y = 0;
  CellPos(k, &x, &y);
  if (cover_) cover_->Put(x, y, futaPrintFlag_ == 2 && !coverAlwaysKeyed_ ? 0 : 1);
  const CPicture* thumbnail = thumbnails_[static_cast<size_t>(k)].get();
  if (thumbnail) {
    CPicture* p = const_cast<CPicture*>(thumbnail);
    const int px = x + picPrintX_, py = y + picPrintY_;
    if (cell.state == CellState::kSeen) {
      p->Blt(px, py, 0, 0, p->GetWidth(), p->GetHeight(), miniPicTransFlag_);
    } else if (cell.state == CellState::kUnseenShown) {
      if (picMustPrintPercent_ < 0)
        p->GreyBlt(px, py, 0, 0, p->GetWidth(), p->GetHeight(), miniPicTransFlag_);
      else if (miniPicTransFlag_)
        p->TransLucentBlt3(px, py, 0, 0, p->GetWidth(), p->GetHeight(), picMustPrintPercent_);
      else
        p->TransLucentBlt(px, py, 0, 0, p->GetWidth(), p->GetHeight(), picMustPrintPercent_);
    }
  }
  if (!differencePrinter_ || !(differencePrintFlag_ & 1)) return;
  if (!(differencePrintFlag_ & 2) && cell.total <= 1) return;
  if (!differencePrintByGetFlag_ && cell.seen <= 0) return;
  const int b = x + differencePrintX_, n = differenceNextX_, cy = y + differencePrintY_;
  differencePrinter_->Print(b, cy, cell.seen);
  differencePrinter_->PrintChar(b + 2 * n, cy, kSlashGlyph);
  differencePrinter_->Print(cell.total < 10 ? b + 2 * n : b + 3 * n, cy, cell.total);
}

void CGalleryGrid::PrintCursor(int k) const {
  int x = 0, y = 0;
  CellPos(k, &x, &y);
  x += cursorPrintX_;
  y += cursorPrintY_;
  if (selectPrintMode_ == 1) {
    CAllGeo::TransBoxFill(x, y, cursorSizeX_, cursorSizeY_, cursorR_, cursorG_, cursorB_, selectPercent_);
    return;
  }
  if (selectPrintMode_ != 2 || !cursor_) return;
  switch (cursorPrintType_) {
    case 1:
      cursor_->TransLucentBlt3(x, y, 0, 0, cursorSizeX_, cursorSizeY_, selectPercent_);
      break;
    case 2:
      cursor_->AddBlt(x, y, 0, 0, cursorSizeX_, cursorSizeY_);
      break;
    default:
      cursor_->Blt(x, y, 0, 0, cursorSizeX_, cursorSizeY_, 1);
      break;
  }
}

bool CGalleryGrid::CursorShown(int k, int hover, int selected, int countdown) {
  if (k < 0 || (k != hover && k != selected)) return false;
  return selected < 0 || countdown % 2 == 1;
}

CGalleryHeader::CGalleryHeader(const CCommonGeneral& mode, const char* addDefault) {
  int flag = 1;
  mode.GetSetupInt(&flag, "totalPercentPrintFlag");
  if (flag) {
    const char* name = "ta_font_cg1";
    mode.GetSetupString(&name, "fileNameTotalPercent");
    FontKeys font{16, 22, 0, totalX_, totalY_};
    ReadFontKeys(mode, "totalPercent", &font);
    totalNextX_ = font.nextX;
    totalX_ = font.printX;
    totalY_ = font.printY;
    totalFontName_ = name;
    totalFont_ = std::make_unique<CPicture>();
    totalPrinter_ =
        std::make_unique<CNumberPrint>(totalFont_.get(), font.sizeX, font.sizeY, kPercentKeta, totalNextX_, 0, 1, 0);
  }
  flag = 0;
  mode.GetSetupInt(&flag, "addPicFlag");
  if (flag) {
    mode.GetSetupInt(&addPercent_, "addPicPrintPercent");
    mode.GetSetupInt(&addX_, "addPicPrintX");
    mode.GetSetupInt(&addY_, "addPicPrintY");
    mode.GetSetupInt(&addSizeX_, "addPicSizeX");
    mode.GetSetupInt(&addSizeY_, "addPicSizeY");
    mode.GetSetupInt(&addSrcNumX_, "addPicSrcNumX");
    addSrcNumX_ = std::max(addSrcNumX_, 1);
    const char* name = addDefault;
    mode.GetSetupString(&name, "filenameAdd");
    addPicture_.reset(NewSysPicture(name));
  }
}

CGalleryHeader::~CGalleryHeader() = default;

void CGalleryHeader::LoadPictures() {
  if (totalFontName_ && totalFont_ && !totalFont_->GetName()[0])
    totalFont_->LoadDWQ(("sys\\" + std::string(totalFontName_)).c_str());
}

void CGalleryHeader::Print(int chara, int percent) const {
  if (totalPrinter_) {
    totalPrinter_->Print(totalX_, totalY_, percent);
    totalPrinter_->PrintChar(totalX_ + 3 * totalNextX_, totalY_, kPercentGlyph);
  }
  if (!addPicture_) return;
  const int sx = chara % addSrcNumX_ * addSizeX_, sy = chara / addSrcNumX_ * addSizeY_;
  if (addPercent_ == 0)
    addPicture_->Blt(addX_, addY_, sx, sy, addSizeX_, addSizeY_, 0);
  else if (addPercent_ == 100)
    addPicture_->Blt(addX_, addY_, sx, sy, addSizeX_, addSizeY_, 1);
  else
    addPicture_->TransLucentBlt(addX_, addY_, sx, sy, addSizeX_, addSizeY_, addPercent_);
}

void CGalleryPick::Enter() {
  hover_ = prevHover_ = selected_ = -1;
  soundGuard_ = kSoundGuard;
}

void CGalleryPick::PageButton(bool pressed) {
  if (pressed) selected_ = -2;
  else if (selected_ == -2) selected_ = -1;
}

bool CGalleryPick::Step(const CGalleryGrid& grid, int x, int y, bool click, int selectSound, bool notes,
                        const GameRoles& game) {
  prevHover_ = hover_;
  hover_ = grid.HitTest(x, y);
  if (selected_ == -1 && hover_ >= 0 && click) {
    selected_ = hover_;
    countdown_ = kBlinkFrames;
    if (game && selectSound != -1) game.sound->PlaySystemSe(selectSound - 1, 0);
    return true;
  }
  if (soundGuard_ >= 1) {
    --soundGuard_;
  } else if (hover_ != prevHover_ && hover_ >= 0 && notes && game) {
    game.sound->PlayNote(hover_);
  }
  return false;
}

void CGalleryPick::PrintSeenCell(const CGalleryGrid& grid, int k, bool full, CPicture* page) const {
  const bool moved = hover_ != prevHover_ && (k == hover_ || k == prevHover_);
  if (!full && k != selected_ && !moved) return;
  int x = 0, y = 0, w = 0, h = 0;
  grid.CellRect(k, &x, &y, &w, &h);
  if (page) page->Blt(x, y, x, y, w, h, 0);
  if (CGalleryGrid::CursorShown(k, hover_, selected_, countdown_)) grid.PrintCursor(k);
  if (!full) CScreenBuffer::AddDirtyRect(x, y, w, h);
}
