// CGalleryGrid: the paged grid of thumbnails the galleries share. Cells are
// numbered row by row on a page; cell k of page p shows entry p * cells + k.
// The grid reads its layout, cover, cursor and count keys from the
// gallery's settings list, keeps one thumbnail and one state per cell, hit
// tests the mouse, and draws a cell (cover, thumbnail, seen/total count,
// blinking cursor). What an entry is and which of its pictures are seen is
// the gallery's: it answers through the page builder's callback.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "services/gameroles.h"

class CCommonGeneral;
class CNumberPrint;
class CPicture;

// The galleries' percentage: 0..100, at least 1 when anything is seen and at
// most 99 while anything is unseen.
int GalleryPercent(int seen, int total);

class CGalleryGrid {
 public:
  enum class CellState { kEmpty, kCover, kUnseenShown, kSeen };

  // What the gallery tells about the entry of one cell.
  struct CellInfo {
    CellState state = CellState::kEmpty;
    const char* thumbnail = nullptr;  // picture name (without "sys\\sm\\sm")
    int seen = 0, total = 0;
  };

  // Reads the grid keys of the mode's list; counts and pitches below 1
  // count as 1.
  explicit CGalleryGrid(const CCommonGeneral& mode);
  ~CGalleryGrid();
  CGalleryGrid(const CGalleryGrid&) = delete;
  CGalleryGrid& operator=(const CGalleryGrid&) = delete;

  int GetColumns() const { return columns_; }
  int GetRows() const { return rows_; }
  int GetCells() const { return columns_ * rows_; }
  // At least 1.
  int PageCount(int entries) const;
  void CellPos(int k, int* x, int* y) const;
  // The area a cell and its cursor cover.
  void CellRect(int k, int* x, int* y, int* w, int* h) const;
  // The cell under (x, y) by the layout alone, -1 outside or in a gap.
  int HitCell(int x, int y) const;
  // The cell under (x, y) when it shows a seen entry, else -1.
  int HitTest(int x, int y) const;

  // The cover, cursor and count font, on the first call only.
  void LoadPictures();
  // Asks `info` for every cell and loads the thumbnails.
  void BuildPage(const std::function<CellInfo(int cell)>& info);
  CellState GetState(int k) const;
  const CellInfo& GetInfo(int k) const { return cells_[static_cast<size_t>(k)]; }

  // The folder and prefix thumbnail names are read under ("sys\\sm\\sm"
  // unless a gallery sets its own).
  void SetThumbnailPrefix(const char* prefix) { thumbnailPrefix_ = prefix; }
  // The scene gallery shows no per-cell counts, and its cover always keeps
  // its transparent pixels ("futaPrintFlag" 2 draws it opaque elsewhere).
  void HideCounts() { differencePrintFlag_ = 0; }
  void KeepCoverTransparent() { coverAlwaysKeyed_ = true; }
  int GetPicMustPrintPercent() const { return picMustPrintPercent_; }

  // Cover, thumbnail and count of cell k.
  void PrintCell(int k) const;
  // The cursor over cell k.
  void PrintCursor(int k) const;
  // Whether a hovered or selected cell shows the cursor this frame: always
  // while nothing is chosen, else on odd countdown frames (a blink).
  static bool CursorShown(int k, int hover, int selected, int countdown);

 private:
  int columns_ = 4, rows_ = 3;
  int printX_ = 85, printY_ = 113, nextX_ = 166, nextY_ = 124, sizeX_ = 133, sizeY_ = 100;
  int picPrintX_ = 0, picPrintY_ = 0, picSizeX_ = 133, picSizeY_ = 100;
  int cursorPrintX_ = 0, cursorPrintY_ = 0, cursorSizeX_ = 133, cursorSizeY_ = 100;
  int picMustPrintPercent_ = 0, miniPicTransFlag_ = 0;
  int futaPrintFlag_ = 1;
  bool coverAlwaysKeyed_ = false;
  int selectPrintMode_ = 1, selectPercent_ = 50, cursorPrintType_ = 0;
  int cursorR_ = 230, cursorG_ = 0, cursorB_ = 50;
  int differencePrintFlag_ = 1, differencePrintByGetFlag_ = 0;
  int differencePrintX_ = 0, differencePrintY_ = 0, differenceNextX_ = 21;
  const char* coverName_ = nullptr;
  const char* cursorName_ = nullptr;
  const char* differenceFontName_ = nullptr;
  const char* thumbnailPrefix_ = "sys\\sm\\sm";
  bool picturesLoaded_ = false;
  std::unique_ptr<CPicture> cover_, cursor_, differenceFont_;
  std::unique_ptr<CNumberPrint> differencePrinter_;
  std::vector<CellInfo> cells_;
  std::vector<std::unique_ptr<CPicture>> thumbnails_;
};

// What the galleries draw once per page above the grid: the character's
// seen percentage ("totalPercent..." keys) and the character's strip of
// the added picture ("addPic..." keys, "filenameAdd").
class CGalleryHeader {
 public:
  // `addDefault`: the added picture's name when "filenameAdd" is missing.
  CGalleryHeader(const CCommonGeneral& mode, const char* addDefault);
  ~CGalleryHeader();
  CGalleryHeader(const CGalleryHeader&) = delete;
  CGalleryHeader& operator=(const CGalleryHeader&) = delete;

  // The percentage font, on the first call only.
  void LoadPictures();
  void Print(int chara, int percent) const;

 private:
  int totalX_ = 688, totalY_ = 25, totalNextX_ = 16;
  const char* totalFontName_ = nullptr;
  std::unique_ptr<CPicture> totalFont_;
  std::unique_ptr<CNumberPrint> totalPrinter_;
  int addPercent_ = 0, addX_ = 217, addY_ = 26, addSizeX_ = 355, addSizeY_ = 22, addSrcNumX_ = 1;
  std::unique_ptr<CPicture> addPicture_;
};

// The pointer and the pick of a gallery page: the hovered cell, a picked
// cell blinking before the page leaves, a held page button (no pick while
// it is down), and the frames after a page turn that keep hover notes
// quiet.
class CGalleryPick {
 public:
  static constexpr int kBlinkFrames = 8;
  static constexpr int kSoundGuard = 3;

  // A new entry: nothing hovered or picked; the first frames stay quiet.
  void Enter();
  void PageTurned() { soundGuard_ = kSoundGuard; }
  // A pressed page button holds the cells; its release frees them.
  void PageButton(bool pressed);
  // One frame over the grid with the pointer at (x, y): the hovered cell; a
  // left click on one picks it and plays `selectSound` (1-based, -1 none),
  // answering true. Otherwise a newly hovered cell plays its note when
  // `notes` is set, unless a page has just turned.
  bool Step(const CGalleryGrid& grid, int x, int y, bool click, int selectSound, bool notes,
            const GameRoles& game);
  // The picked cell's blink: true once it is over.
  bool BlinkOver() { return --countdown_ < 1; }
  // Redraws seen cell k when the frame asks for it (a whole redraw, the
  // picked cell, or a cell the pointer entered or left): the page picture
  // under it (none while a back script draws), the cursor while shown, and
  // its rectangle marked for presenting.
  void PrintSeenCell(const CGalleryGrid& grid, int k, bool full, CPicture* page) const;

  int GetHover() const { return hover_; }
  bool HoverChanged() const { return hover_ != prevHover_; }
  int GetSelected() const { return selected_; }
  void ClearSelected() { selected_ = -1; }
  int GetSoundGuard() const { return soundGuard_; }

 private:
  int hover_ = -1, prevHover_ = -1, selected_ = -1, countdown_ = 0;
  int soundGuard_ = 0;
};
