// The cut-in window and the speaker tables the print-message mode owns:
// CCutinWindow keeps a few numbered window pictures ("sys\<base><n>") in
// slots and draws the selected one; CCutinChara is the cut-in table
// "spt\cutinChara.xtx" (16 tokens a row, row 0 a header); CNameColorList
// the speaker-name colours "spt\namecol.xtx" (name, R, G, B a row).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class CNameList;
class CPicture;

class CCutinWindow {
 public:
  // Slot counts beyond this count as 1, as do counts of 0 or less.
  static constexpr int kMaxSlots = 256;

  // base: the picture base name (null: "ta_cutinwindow"; at most 255 bytes).
  CCutinWindow(const char* base, int slots);
  ~CCutinWindow();
  CCutinWindow(const CCutinWindow&) = delete;
  CCutinWindow& operator=(const CCutinWindow&) = delete;
  void Release();
  // Makes window picture n current, loading it into a slot when no slot
  // holds it: 1, or 0 when it did not load (no current picture then).
  int SetNumber(int n);
  // The current picture at (x, y): masked at percent 100, else blended.
  void Print(int x, int y);
  CCutinWindow& SetPercent(int percent) {
    percent_ = percent;
    return *this;
  }

  int GetSlotCount() const { return static_cast<int>(numbers_.size()); }
  int GetSlotNumber(int slot) const;
  int GetCurrentSlot() const { return current_; }
  const std::string& GetBaseName() const { return base_; }

 private:
  std::vector<std::unique_ptr<CPicture>> slots_;
  std::vector<int> numbers_;
  int current_ = -1;
  std::string base_;
  int percent_ = 100;
};

class CCutinChara {
 public:
  static constexpr int kColumns = 16;

  // file: null for "spt\cutinChara.xtx".
  explicit CCutinChara(const char* file = nullptr);
  ~CCutinChara();
  CCutinChara(const CCutinChara&) = delete;
  CCutinChara& operator=(const CCutinChara&) = delete;
  void Release();

  int GetRowCount() const { return rowCount_; }
  const char* GetName(int row) const;
  const char* GetTag(int row) const;
  // 0 only for an existing row whose name begins with '*'.
  int IsNamed(int row) const;
  platform::Point GetTextPos(int row) const;
  platform::Point GetLineStep(int row) const;
  int GetKind(int row) const;
  platform::Point GetMargin(int row) const;
  int GetBoxRed(int row) const;
  int GetBoxGreen(int row) const;
  int GetBoxBlue(int row) const;
  int GetBoxPercent(int row) const;
  int GetSizeChange(int row) const;
  // Text position minus margin.
  platform::Point GetWindowPos(int row) const;
  // The box around `lines` lines of at most `longest` cells at font size.
  platform::Point GetWindowSize(int row, int fontSize, int lines, int longest) const;
  // Rows whose name begins with '*' or equals the name; -1 when none is left.
  int FindFirst(const char* name);
  int FindNext();

 private:
  struct Row {
    int textX = 0, textY = 0, stepX = 0, stepY = 30, kind = 1, marginX = 0, marginY = 0;
    int red = 128, green = 255, blue = 192, percent = 50, sizeChange = 0;
  };
  const Row& At(int row) const;
  bool Exists(int row) const { return rowCount_ >= 2 && row >= 1 && row < rowCount_; }

  int rowCount_ = 0;
  std::unique_ptr<CNameList> list_;
  std::vector<Row> rows_;
  std::string findName_;
  int findRow_ = -1;
};

class CNameColorList {
 public:
  CNameColorList();
  ~CNameColorList();
  CNameColorList(const CNameColorList&) = delete;
  CNameColorList& operator=(const CNameColorList&) = delete;
  // 1 when the file was read and holds a whole row.
  int Load(const char* file);
  void Release();
  // The first entry named exactly so, or -1.
  int Find(const char* name) const;
  // The entry's colour word (R << 16 | G << 8 | B); white outside the table.
  uint32_t GetColor(int entry) const;
  uint32_t GetColorByName(const char* name) const { return GetColor(Find(name)); }
  int GetCount() const { return count_; }

 private:
  void ReportDamage(const char* file) const;
  std::unique_ptr<CNameList> list_;
  int count_ = 0;
  std::vector<uint32_t> colours_;
};
