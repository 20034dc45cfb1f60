// The galleries' character pages: one button area per character with its
// seen percentage, the total percentage and a back button to the extras
// menu (15). A chosen character blinks, becomes the gallery's current one
// and the gallery opens, told to come back here.
//
// CCommonSelectCGChara, mode 16 ("selectcgchara"), stands before the picture
// gallery (17): a character shows only once its picture percentage reaches
// "charaAppearPercent%d" and, when "charaAppearVarName%d" names a variable,
// while that variable is not 0. CCommonSelectSceneChara, mode 20
// ("SelectSceneChara"), stands before the scene gallery (18): every
// character shows, the areas may form a triangle ("combineFlag") and a heart
// mark tells how many of the character's marked scenes are seen. Both share
// CGalleryCharaPage over the table of their differences (CharaPageKind).
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CNumberPrint;
class CPicture;

// What the two character pages do not share.
struct CharaPageKind {
  int mode;                     // own mode number
  int gallery;                  // the gallery a choice opens
  const char* list;             // settings list
  int listPairs;                // its capacity
  const char* background;       // "filenameBG" default
  const char* charaKey;         // key of the character picture
  const char* charaDefault;     // its default
  const char* cursorDefault;    // "filenameCursor" default
  int size;                     // "sizeX" and "sizeY" default
  int percentGlyphDefault;      // "totalPercentPercentFlag"/"percentPercentFlag"
  bool anyBackResultLeaves;     // mode 16: any result >= 0; mode 20: 0 only
  bool appearRules;             // mode 16: appear percent and variable
  bool scenePage;               // mode 20: triangle, custom range, hearts,
                                // percent in the background, back script run
};

class CGalleryCharaPage : public CCommonGeneral {
 public:
  static constexpr int kBlinkFrames = 8;
  static constexpr int kSelectSound = 3;

  // Heart states: no marked scenes, none seen, some, all.
  enum Heart { kNoMarked, kNoneSeen, kSomeSeen, kAllSeen };
  // The cell of the heart picture a state draws, -1 for none: cell 2 shows
  // for a character without marked scenes only at 100 percent.
  static int HeartCell(int heart, int percent);
  // Heart state from the marked scenes' count and how many of them are seen.
  static int HeartOf(int marked, int seen);

  // `charas`: the gallery list's character count (held to at least 1).
  CGalleryCharaPage(const GameRoles& game, const CharaPageKind& kind, int charas);
  ~CGalleryCharaPage() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int PrintEnterScreen() override;
  virtual void Release();

  // Area i's top left in out[0], out[1]; (0, 0) for a character that does
  // not exist.
  int* GetGridCell(int* out, int i) const;

  // For tests.
  int GetCharaCount() const { return charas_; }
  int IsEnabled(int i) const;
  int GetHeart(int i) const;
  int GetHover() const { return hover_; }
  int GetSelected() const { return selected_; }
  int GetTotalPercent() const { return totalPercent_; }

 protected:
  // The list's percentages.
  virtual int SeenPercent(int i) const = 0;
  virtual int TotalPercent() const = 0;
  // The chosen character becomes the list's current one.
  virtual void Choose(int i) = 0;
  // Heart state of character i (mode 20).
  virtual int CountHeart(int) const { return kNoMarked; }

 private:
  void ReadSettings();
  void PlaceAreas();
  int HitTest(int x, int y) const;
  void PrintPercent(int i) const;
  void PrintHeart(int i) const;
  void PrintCell(int i, bool highlighted) const;
  void PrintNormal(int i) const;
  void PrintCursor(int i) const;
  void PrintTotal() const;
  bool Restores() const;

  const CharaPageKind kind_;
  int charas_ = 1;
  int pictureMode_ = 0, cursorMode_ = 1, checkOnByPicFlag_ = 0;
  int picNumberX_ = 1, cursorPrintType_ = 1;
  int cursorR_ = 128, cursorG_ = 0, cursorB_ = 255, cursorPercent_ = 50;
  int sizeX_ = 32, sizeY_ = 32;
  int totalPercentPrintFlag_ = 1, charaPercentPrintFlag_ = 1;
  int totalPercentGlyph_ = 1, percentGlyph_ = 1;
  int totalX_ = 0, totalY_ = 0, totalNextX_ = 0;
  int percentX_ = 0, percentY_ = 0, percentNextX_ = 0;
  int heartPrintFlag_ = 0, heartX_ = 0, heartY_ = 0, heartSizeX_ = 16, heartSizeY_ = 16;
  struct Font {
    const char* name = nullptr;
    int sizeX = 0, sizeY = 0;
  };
  Font totalFont_, percentFont_;
  const char* charaName_ = nullptr;
  const char* cursorName_ = nullptr;
  const char* heartName_ = nullptr;
  std::vector<int> x_, y_;
  std::vector<int> appearPercent_, appearVar_;
  std::vector<int> enabled_, heart_;
  int hover_ = -1, prevHover_ = -1, selected_ = -1, countdown_ = 0;
  int totalPercent_ = 0;
  std::unique_ptr<CPicture> chara_, heartPicture_;
  CPicture* cursor_ = nullptr;  // from the system picture cache
  std::unique_ptr<CNumberPrint> totalPrinter_, percentPrinter_;
};

class CCommonSelectCGChara : public CGalleryCharaPage {
 public:
  static constexpr int kModeNumber = modenumber::kSelectCGChara;
  explicit CCommonSelectCGChara(const GameRoles& game);

 protected:
  int SeenPercent(int i) const override;
  int TotalPercent() const override;
  void Choose(int i) override;
};

class CCommonSelectSceneChara : public CGalleryCharaPage {
 public:
  static constexpr int kModeNumber = modenumber::kSelectSceneChara;
  explicit CCommonSelectSceneChara(const GameRoles& game);

 protected:
  int SeenPercent(int i) const override;
  int TotalPercent() const override;
  void Choose(int i) override;
  int CountHeart(int i) const override;
};
