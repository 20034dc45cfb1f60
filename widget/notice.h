// CNotice: short picture notices ("saved", "loaded", the game's own) that
// slide in, stand and slide out one after another, a floating layer (one
// slot). Notice n is a cell of a picture grid; each notice has its own
// three phases (start, wait, end) with lengths, positions, opacities and a
// sound at the start of each phase.
#pragma once

#include <memory>
#include <vector>

#include "widget/floatinglayer.h"

class CPicture;

class CNotice : public CFloatingLayer {
 public:
  // The most notices and queue entries; larger settings fall back to 1.
  static constexpr int kMaxNotices = 4096;

  // Settings from the list "notice", or from `list` when given.
  CNotice(CFloatingLayerTable* table, int firstSlot, CNameList* list = nullptr);
  ~CNotice() override;

  // Queues notice n (from 0); numbers outside the list are ignored.
  virtual void SetNotice(int n);
  virtual void Clear();
  // Advances and draws the head notice; the sound number of a phase that
  // begins, or -1.
  virtual int CalcuPrint(int saveUnder);

  int GetQueueLength() const { return static_cast<int>(queue_.size()); }
  int GetHead() const { return queue_.empty() ? -1 : queue_[0]; }
  int GetPhase() const { return phase_; }
  int GetCount() const { return count_; }
  int GetNoticeCount() const { return static_cast<int>(notices_.size()); }
  // The picture holding notice n and its cell (column, row).
  void GetCell(int n, int* picture, int* column, int* row) const;
  const char* GetLoadedName() const;

 private:
  struct Phase {
    int x = 0, y = 0, percent = 100;
  };
  struct Data {
    int startX = 0, startY = 0, waitX = 0, waitY = 0, endX = 0, endY = 0;
    int startTime = 30, waitTime = 30, endTime = 30;
    int startPercent = 100, waitPercent = 100, endPercent = 100;
    int sound[3] = {0, 0, 0};
  };
  void ReadNotice(int i);
  void PrepareHead();

  std::vector<Data> notices_;
  int count_ = 0;  // frames in the current phase
  int phase_ = 0;
  int sizeX_ = 160, sizeY_ = 80;
  std::unique_ptr<CPicture> picture_;
  const char* tag_ = "ta_notice";
  int loaded_ = -1;
  int blockX_ = 1, blockY_ = 1;
  int bufferMax_ = 1;
  std::vector<int> queue_;
  int sameDontSet_ = 1;
};
