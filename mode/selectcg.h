// CCommonSelectCG: mode 17, the picture gallery. The pictures of the CG
// list's current character are grouped into entries (a name beginning with
// '@' is a variation in the entry before it) and shown as pages of cells:
// a seen entry shows the thumbnail of its first seen picture and how many
// of its pictures are seen, an unseen one its cover. The character's seen
// percentage and a title strip are drawn once per page. A click on a seen
// cell blinks it and opens the viewer (mode 23) on that picture; the back
// button returns to the mode held in the parameter.
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "mode/gallerygrid.h"

class CCGList;
class CPagePrint;
class CPicture;

class CCommonSelectCG : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectCG;

  explicit CCommonSelectCG(const GameRoles& game);
  ~CCommonSelectCG() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int PrintEnterScreen() override;
  virtual void Release();

  // For tests.
  CGalleryGrid* GetGrid() const { return grid_.get(); }
  int GetPage() const { return page_; }
  int GetPageCount() const { return pageCount_; }
  int GetSeenPercent() const { return seenPercent_; }
  int GetSelected() const { return pick_.GetSelected(); }
  // Entries of character c.
  int GetEntryCount(int c) const;
  // The page shown; rebuilt as after a page button.
  void ChangePage(int page);

 private:
  // Entry e of the current character: its first picture and the one after
  // its last.
  int EntryBegin(int e) const;
  int EntryEnd(int e) const;
  int FirstSeen(int e) const;
  void BuildPage();
  void PrintStatic();

  CCGList* cgList_ = nullptr;
  std::unique_ptr<CGalleryGrid> grid_;
  // Per character: the first picture of every entry, then the picture
  // count.
  std::vector<std::vector<int>> entryStarts_;
  std::vector<int> seen_;
  int chara_ = 0, cg_ = 0;
  int page_ = 0, pageCount_ = 1;
  CGalleryPick pick_;
  int seenPercent_ = 0;
  int cgPianoSoundFlag_ = 0, selectSound_ = 1;
  std::unique_ptr<CGalleryHeader> header_;
  std::unique_ptr<CPagePrint> pagePrinter_;
};
