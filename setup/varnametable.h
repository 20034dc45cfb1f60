// CVarNameTable: game-variable names to numbers. Token i of the list names
// variable i.
#pragma once

class CNameList;

class CVarNameTable {
 public:
  // The list is borrowed; its count is taken now.
  explicit CVarNameTable(CNameList* list);

  // The number of the variable, or -1 after a "var not found" box.
  int SearchVar(const char* name) const;

 private:
  CNameList* list_;
  int count_;
};
