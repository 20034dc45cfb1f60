// CVarNameTable: game-variable names to numbers. Token i of the list names
// variable i.
#pragma once

#include <string>

class CNameList;

class CVarNameTable {
 public:
  // The list is borrowed; its count is taken now. `fileName` is the list's
  // file, named in the messages of names it does not hold.
  explicit CVarNameTable(CNameList* list, const char* fileName = "");

  // The number of the variable, or -1 when the list does not hold the name:
  // the first such name of the table shows a "var not found" box naming the
  // file and the name, every one a line on stderr (a damaged list misses
  // many names at once).
  int SearchVar(const char* name) const;

 private:
  CNameList* list_;
  int count_;
  std::string fileName_;
  mutable bool boxShown_ = false;
};
