// CFloatingLayerTable: the save buffers of the floating layers (game mouse,
// message cursor, notices, floating buttons). A layer saves the screen
// rectangle it is about to cover; the next frame puts every saved rectangle
// back in ascending slot order before the scene is drawn again. Layers draw
// in descending slot order, so the ascending restore undoes a frame.
#pragma once

#include <array>
#include <memory>

class CPicture;

class CFloatingLayerTable {
 public:
  static constexpr int kSlots = 32;
  // The largest side of a save buffer; larger requests are refused.
  static constexpr int kMaxSide = 4096;

  CFloatingLayerTable();
  ~CFloatingLayerTable();
  CFloatingLayerTable(const CFloatingLayerTable&) = delete;
  CFloatingLayerTable& operator=(const CFloatingLayerTable&) = delete;

  void Release();
  // Makes the slot able to save a w x h rectangle (a buffer never shrinks)
  // and forgets what it saved. 0 for a slot outside the table, a size
  // outside 1..kMaxSide or a picture that cannot be made.
  int CreateBuffer(int slot, int w, int h);
  // Saves the screen rectangle (x, y, current size) of the slot; 1 when saved.
  int SaveUnder(int slot, int x, int y);
  // Puts a saved rectangle back and records it as dirty; 1 when restored.
  int Restore(int slot);
  // Forgets the saved rectangle; 0 for a slot outside the table.
  int ResetSave(int slot);
  void RestoreAll();
  void ResetSaveAll();

  int GetCount() const { return count_; }
  int IsSaved(int slot) const { return InTable(slot) ? saved_[slot] : 0; }

 private:
  struct Point {
    int x = 0, y = 0;
  };
  struct Size {
    int w = 0, h = 0;
  };
  bool InTable(int slot) const { return slot >= 0 && slot < count_; }

  std::array<std::unique_ptr<CPicture>, kSlots> pictures_;
  int count_ = kSlots;
  std::array<int, kSlots> saved_{};
  std::array<Point, kSlots> savedAt_{};
  std::array<Size, kSlots> current_{};
  std::array<Size, kSlots> allocated_{};
};
