// CExtDataNameTable: the names of the EXT save chunks that objects other
// than modes keep their state in. Only "face" (the face pictures) has one.
#pragma once

class CExtDataNameTable {
 public:
  static constexpr int kEntries = 256;
  static constexpr int kNameSize = 32;

  CExtDataNameTable();
  virtual ~CExtDataNameTable();

  // The entry whose name equals `name` without regard to ASCII case,
  // searching from entry 1 up to the first empty one; -1 when none.
  int SearchName(const char* name) const;
  void Release() {}

 private:
  char names_[kEntries][kNameSize];
};
