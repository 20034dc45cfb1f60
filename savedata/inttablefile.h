// CIntTableFile: a named table of rows x columns signed 32-bit cells kept in
// the save folder as a raw file (little-endian words, row after row, no
// header). The game keeps its "result" table in one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CIntTableFile {
 public:
  // With a sub-folder the file lies in "<save folder>\\<subFolder>", which
  // is created here. Loads the file at once.
  CIntTableFile(const char* name, int rows, int kept, int columns, const char* subFolder);
  virtual ~CIntTableFile();
  CIntTableFile(const CIntTableFile&) = delete;
  CIntTableFile& operator=(const CIntTableFile&) = delete;

  void Clear();
  // Outside the table nothing happens. Note the argument order.
  void SetValue(int row, int value, int column);
  // An overflow saturates at 2147483647 or -2147483647.
  void AddValue(int row, int delta, int column);
  int GetValue(int row, int column) const;
  // ".sav", else the ".org" beside it; 0 when neither reads. A file is
  // read only when it holds exactly rows x columns words: a ".sav" of
  // another length, a folder or an unreadable file is damaged, named on
  // stderr and in a box, and kept aside (keptaside.h) for the fresh file
  // to take its place; a damaged ".org" is named on stderr and not used.
  int Load();
  // 0 when the file could not be written (the old one stays as it was;
  // stderr and a box say so), or when a damaged file that could not be
  // kept aside is still in its place (stderr).
  int Save();
  // Saves when a change is pending, then frees the cells; safe twice.
  void Release();

  int GetRows() const { return rows_; }
  int GetColumns() const { return columns_; }
  int GetKept() const { return kept_; }
  bool IsSavePending() const { return savePending_; }

 private:
  std::string Path(const char* extension) const;
  // The cells from a sound file's bytes; 1.
  int Take(const std::string& bytes);

  std::vector<int32_t> cells_;
  int rows_ = 0;
  int columns_ = 0;
  bool savePending_ = false;
  // A damaged file stays in the way: it is not written over.
  bool holdSaves_ = false;
  int kept_ = 0;
  std::string name_;
  std::string subFolder_;
};
