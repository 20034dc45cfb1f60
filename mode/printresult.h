// CCommonPrintResult: mode 33, the result screen ("printResult"). Earned
// results (the game's persistent "result" table, row r + 1, column 0: 0 not
// earned, 1 new, 2 announced) are plates in a grid page by page; new ones
// are announced one by one (each OK turns one into 2 in the table), and the
// hovered one shows its description, as lines or as one scrolling line, and
// plays its voice after a wait. Without a result table nothing is earned.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonButton;
class CNameList;
class CPagePrint;
class CPicture;

namespace printresult {

struct Cell {
  int page = 0, column = 0, row = 0;
};
// Result r's page and cell with numberX x numberY results per page (each
// below 1 counts as 1).
Cell CellOf(int r, int numberX, int numberY);
int PageCount(int results, int numberX, int numberY);
// The frames the scroll counter runs to for a text of `length` characters.
int ScrollLimit(int length, int fontSize, int speed, int startWait);
// The scrolling line at a counter: the pixel offset and the characters
// dropped from the front.
struct Scroll {
  int offset = 0, dropped = 0;
};
Scroll ScrollAt(int counter, int startWait, int speed, int fontSize);
// The byte where the text goes on after `chars` characters of two bytes; a
// double-byte character is never split (the cut moves past it).
size_t SkipChars(const char* text, int chars);

}  // namespace printresult

class CCommonPrintResult : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kPrintResult;
  static constexpr int kMaxResults = 4096;
  static constexpr int kMaxBlocks = 6;
  static constexpr int kFirstPlatePicture = 4;
  static constexpr int kOkPicture = 3;

  explicit CCommonPrintResult(const GameRoles& game);
  ~CCommonPrintResult() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void AtExit() override;
  void Release();

  // The next new result announced (the one before turned into 2): its
  // number, -1 when none is left or the dialog is off.
  int AnnounceNext();

  // For tests.
  int GetResultCount() const { return static_cast<int>(results_.size()); }
  int GetState(int r) const { return Valid(r) ? results_[r].state : 0; }
  const std::string& GetText(int r) const;
  // The lines of description mode 0.
  std::vector<std::string> GetLines(int r) const;
  int GetPage() const { return page_; }
  int GetPageCount() const { return pages_; }
  int GetHovered() const { return hovered_; }
  int GetAnnounced() const { return announced_; }
  int GetScrollCounter() const { return scrollCounter_; }
  int GetScrollLimit() const { return scrollLimit_; }
  CCommonButton* GetOkButton() const { return okButton_.get(); }

 private:
  struct Result {
    int state = 0;
    const char* voice = nullptr;
    std::vector<const char*> lines;
    std::string text;
    int length = 0;
  };

  bool Valid(int r) const { return r >= 0 && r < GetResultCount(); }
  int PerPage() const { return numberX_ * numberY_; }
  // The page's plate picture; null past the picture pool.
  CPicture* Plate(int page) const;
  int Drawn(int r) const;
  int HitResult(int x, int y) const;
  void SetPage(int page);
  void PrintDescription(int r);

  int nextMode_ = modenumber::kOmake;
  int descPrintType_ = 1;
  int messageX_ = 56, messageY_ = 484, fontSize_ = 22;
  int colorR_ = 255, colorG_ = 247, colorB_ = 153;
  int sukima_ = 1, messageLength_ = 33, messageNextY_ = 33, blockMax_ = 4;
  int printX_ = 25, printY_ = 70, sizeX_ = 150, sizeY_ = 200, nextX_ = 150, nextY_ = 200;
  int numberX_ = 5, numberY_ = 2;
  const char* plateTag_ = "ta_sys_common_resultPlate";
  int dialogFlag_ = 1;
  const char* dialogTag_ = "ta_sys_common_result_getdialog";
  int dialogX_ = 170, dialogY_ = 130, dialogSizeX_ = 460, dialogSizeY_ = 260;
  int voiceFlag_ = 0, voiceStartWait_ = 25, scrollStartWait_ = 150, scrollSpeed_ = 3;

  std::vector<Result> results_;
  std::unique_ptr<CNameList> descList_;
  std::unique_ptr<CCommonButton> okButton_;
  std::unique_ptr<CPagePrint> pagePrint_;
  int pages_ = 1, page_ = 0;
  int hovered_ = -1, announced_ = -1;
  int voiceCountdown_ = 0, scrollCounter_ = 0, scrollLimit_ = 0;
};
