// CFloatingLayer: the base of the layers drawn over everything at the end
// of a frame. A layer owns a run of slots of the layer table from its first
// slot, saves the screen under each of its rectangles just before drawing
// there, and reads its own settings list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "setup/setuplist.h"

class CFloatingLayerTable;
class CNameList;

class CFloatingLayer {
 public:
  // The settings come from the list `listName` (loaded with room for 64
  // pairs) or, when `list` is given, from that list (owned elsewhere).
  CFloatingLayer(CFloatingLayerTable* table, int firstSlot, int slots, const char* listName,
                 CNameList* list);
  virtual ~CFloatingLayer();
  CFloatingLayer(const CFloatingLayer&) = delete;
  CFloatingLayer& operator=(const CFloatingLayer&) = delete;

  virtual void Release();
  // Slot numbers count from the layer's first slot; one outside the layer's
  // run saves nothing.
  virtual int SaveUnder(int x, int y, int slot);
  virtual void SetSize(int w, int h, int slot);
  virtual void SetSlotNumber(int n);

  int LoadSetupFile(const char* name, int capacity);
  // 1 with the value in *out; 0 with *out unchanged.
  int GetSetupInt(int* out, const char* key) const;
  int GetSetupString(const char** out, const char* key) const;

  // The settings list read, null without one.
  CNameList* GetList() const { return setup_ ? setup_->GetList() : nullptr; }
  int GetFirstSlot() const { return first_; }
  int GetSlotCount() const { return static_cast<int>(widths_.size()); }

 protected:
  CFloatingLayerTable* table_;

 private:
  std::unique_ptr<CSetupList> setup_;
  int first_;
  std::vector<int> widths_, heights_;
};

class CPicture;

namespace floating {

// The most names a design table holds; larger tables fall back to one
// design (counts 1 x 1).
constexpr int kMaxDesignNames = 1024;

// Configuration and script design counts: below 1 count as 1; a table of
// nc x ns x perDesign names that would not fit becomes 1 x 1.
void FitDesignCounts(int* nc, int* ns, int perDesign);
// The key naming the picture of script s and configuration c (both from 1):
// prefix + "s_c" when both counts exceed 1, prefix + the number that varies
// when one does.
std::string DesignNameKey(const char* prefix, int nc, int ns, int s, int c);
// index x size, held into half the int range (a source far outside any
// picture, which the drawing clips away).
int CellOffset(int index, int size);
// a + b held into half the int range, for positions built from settings.
int Offset(int64_t a, int64_t b);
// n held into 0..count - 1.
int ClampIndex(int n, int count);
// Loads "sys\\" + name (+ number when number >= 0) into the picture; the
// name is cut to a bounded length. 1 when loaded.
int LoadSysPicture(CPicture* picture, const char* name, int number = -1);

}  // namespace floating
