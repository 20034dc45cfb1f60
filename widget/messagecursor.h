// CMessageCursor: the mark that shows the text waits for a click, a
// floating layer (one slot). Four kinds, each with its picture (one row of
// pattern cells), size, position, frame animation and pulsing opacity.
// Kinds 1 and 2 stand at their position; kinds 3 and 4 follow the end of
// the text (SetPrintXY) unless fixed. Kinds are passed as indexes 0..3.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "widget/floatinglayer.h"

class CPicture;

class CMessageCursor : public CFloatingLayer {
 public:
  static constexpr int kKinds = 4;

  // Settings from the list "messageCursor", or from `list` when given.
  CMessageCursor(CFloatingLayerTable* table, int firstSlot, CNameList* list = nullptr);
  ~CMessageCursor() override;

  // Advances the patterns of all kinds by n frames and each opacity loop by
  // one step.
  virtual void Calcu(int n);
  // Draws kind index k (0..3); other kinds are ignored.
  virtual void Print(int k, int saveUnder);
  virtual void SetPrintXY(int x, int y);

  void SetConfigNumber(int n) { config_ = floating::ClampIndex(n, nc_); }
  void SetScriptNumber(int n) { script_ = floating::ClampIndex(n, ns_); }
  // The opacity kind index k would be drawn with now; 0 for another kind.
  int GetOpacity(int k) const;
  const char* GetFileName(int index) const;

 private:
  struct Kind {
    int x = 0, y = 0;
    int w = 32, h = 32;
    int percentStart = 100, percentEnd = 100, percentReverse = 1, percentLoop = 1;
    int percentCount = 0;
    std::unique_ptr<CPicture> picture;
    int pattern = 0;
    int patterns = 1, reverse = 0, speed = 1;
    int frame = 0;
    int loadedConfig = -1, loadedScript = -1;
  };
  void ReadKeys();
  void Load(int k);

  std::array<Kind, kKinds> kinds_;
  int fixX_ = 0, fixY_ = 0;
  int textX_ = 0, textY_ = 0;
  std::vector<const char*> names_;
  int config_ = 0, script_ = 0;
  int nc_ = 1, ns_ = 1;
};
