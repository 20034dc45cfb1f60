// CTextLayer: the rendered-line cache. One screen-sized picture (with mask)
// used as a ring of horizontal bands, one band per rendered line, plus a
// second one for the lines' annotation rows when annotations are on. A line
// drawn again is copied from its band with one masked blit.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CPicture;

// What identifies a line's text: its source text cut to at most 254 bytes
// (the engine's key), and the whole line's length and hash, so that lines
// whose first 254 bytes agree stay apart.
struct LineKey {
  const char* text = nullptr;  // NUL-terminated
  int fullLength = 0;
  uint32_t hash = 0;
};
// The key of a line of `length` bytes at `source`.
LineKey MakeLineKey(const char* keyText, const char* source, int length);

class CTextLayer {
 public:
  static constexpr int kMaxKeyBytes = 254;
  static constexpr int kRowsPerEntry = 16;

  explicit CTextLayer(int annotations);
  ~CTextLayer();
  CTextLayer(const CTextLayer&) = delete;
  CTextLayer& operator=(const CTextLayer&) = delete;
  void Release();
  void Clear();

  // Entry index, or -1. Keys of 255 bytes or more are never found.
  int Find(const LineKey& key, int size, int r, int g, int b, int spacing, int outline) const;
  // Copies width x height of the work picture (and of the annotation work
  // picture, when given and annotations are on) into a new band; the entry
  // index, or -1 when the key is too long or no band can be had.
  int Store(const LineKey& key, int size, int r, int g, int b, int spacing, int outline, int width,
            int height, const CPicture* work, const CPicture* annotationWork);

  void GetLinePos(int entry, int* x, int* y) const;
  void GetLineSize(int entry, int* width, int* height) const;
  bool HasAnnotation(int entry) const;

  // Layer rectangles to the screen buffer, the mask as coverage.
  void DrawLine(int dstX, int dstY, int srcX, int srcY, int w, int h);
  void DrawAnnotation(int dstX, int dstY, int srcX, int srcY, int w, int h);
  // Visible only within screen columns left .. right, faded over `fade`
  // pixels at both edges in 8 steps.
  void DrawLineSoft(int left, int right, int fade, int dstX, int dstY, int srcX, int srcY, int w,
                    int h);
  void DrawAnnotationSoft(int left, int right, int fade, int dstX, int dstY, int srcX, int srcY,
                          int w, int h);

  // State, for tests.
  int GetCapacity() const { return capacity_; }
  int GetCount() const { return count_; }
  int GetOldest() const { return oldest_; }
  int GetNextRow() const { return nextRow_; }
  int GetFreeRows() const { return freeRows_; }
  CPicture* GetLayer() const { return layer_.get(); }
  CPicture* GetAnnotationLayer() const { return annotationLayer_.get(); }

 private:
  struct Entry {
    int keyLength = 0, fullLength = 0;
    uint32_t hash = 0;
    int size = 0, r = 0, g = 0, b = 0, spacing = 0, outline = 0;
    int width = 0, height = 0, top = 0;
    bool annotation = false;
  };
  static void CopyBand(const CPicture* from, CPicture* to, int top, int width, int height);
  static void DrawFrom(CPicture* picture, int dstX, int dstY, int srcX, int srcY, int w, int h);
  static void DrawSoftFrom(CPicture* picture, int left, int right, int fade, int dstX, int dstY,
                           int srcX, int srcY, int w, int h);
  void EvictOldest();
  const char* KeyText(int entry) const { return &keys_[static_cast<size_t>(entry) * (kMaxKeyBytes + 1)]; }

  std::unique_ptr<CPicture> layer_;
  std::unique_ptr<CPicture> annotationLayer_;
  int width_ = 0, height_ = 0;
  int capacity_ = 0;
  std::vector<Entry> entries_;
  std::vector<char> keys_;
  int annotations_ = 0;
  int count_ = 0, oldest_ = 0, nextRow_ = 0, freeRows_ = 0;
};
