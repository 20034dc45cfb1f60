// CExtraModeList: the modes a title may leave out ("selectplace",
// "printmovie", ...). The game's initialisation disables each one unless the
// key "<name>IsDefault" of its settings list "game" is non-zero, and
// registers each one left on as a script system call under its name.
#pragma once

class CExtraModeList {
 public:
  static constexpr int kMaxEntries = 50;

  // Counts the table's entries.
  CExtraModeList();

  int GetCount() const { return count_; }
  // The mode number of entry i; 0 outside 0..count - 1.
  int GetNumber(int i) const;
  // The name of entry i; null outside 0..count - 1.
  const char* GetName(int i) const;

 private:
  int count_ = 0;
};
