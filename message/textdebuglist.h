// CTextDebugList: texts a text printer draws into its renderer's drawing
// surface when a print call ends, each also traced to the debug output. A
// printer made without one draws and traces nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTextDebugList {
 public:
  static constexpr int kMaxEntries = 100;
  // The trace shows this many bytes of a text (whole characters).
  static constexpr int kTraceBytes = 16;

  struct Entry {
    uint32_t colour = 0;  // 0x00RRGGBB
    int x = 0, y = 0;     // in the drawing surface
    std::string text;     // the entry's own copy
  };

  // Keeps a copy of the first `length` bytes of text (all of it when it is
  // shorter); 0 when the list is full, the text is null or length below 0.
  int Add(uint32_t colour, int x, int y, const char* text, int length);
  void Clear() { entries_.clear(); }
  int GetCount() const { return static_cast<int>(entries_.size()); }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};
