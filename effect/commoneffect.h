// CCommonEffect: the base of every numbered effect. The manager makes one
// object per effect class and shares it between all channels running that
// number, so an effect keeps what belongs to a channel in the channel's
// record (parameters from int 29 on, then its own state) and only shared
// things (tables, pools, pictures) in itself.
#pragma once

#include <algorithm>
#include <cstdint>

#include "effect/effectchannel.h"
#include "graphics/pictureloader.h"

class CEffectManager;
class CPicture;

// The picture loader's error report (box and stderr line) switched off for
// the life of the object (an effect's own pictures load quietly, and the
// effect tells what it did not find), then restored.
class CQuietPictureLoads {
 public:
  CQuietPictureLoads();
  ~CQuietPictureLoads();
  CQuietPictureLoads(const CQuietPictureLoads&) = delete;
  CQuietPictureLoads& operator=(const CQuietPictureLoads&) = delete;
  // The switch as it was.
  int WasOn() const { return report_; }

 private:
  int report_;
  CQuietMissingPictures quiet_;
};

class CCommonEffect {
 public:
  // The most parameters any effect keeps in a record.
  static constexpr int kMaxParams = EffectChannel::kAreaInts;

  explicit CCommonEffect(CEffectManager* manager, int ignored = 0);
  virtual ~CCommonEffect();
  CCommonEffect(const CCommonEffect&) = delete;
  CCommonEffect& operator=(const CCommonEffect&) = delete;

  // Starts the effect on the record: 1 started, 0 refused (the base refuses).
  virtual int SetParam(EffectChannel* record, int count, const int* values, int channel);
  // The counter reached the duration; nonzero asks for a full redraw.
  virtual int Finish(EffectChannel* record, int channel);
  virtual void Tick(EffectChannel* record, int channel);
  // Once, after every effect object exists, with (0, -1).
  virtual void Init(int a, int b);
  virtual void Calcu(EffectChannel* record, int channel);
  virtual void Print(EffectChannel* record, int channel);
  // Nonzero: the manager draws the channel picture before Print.
  virtual int CheckPrintPicture(EffectChannel* record, int channel);
  virtual int CheckBusy(EffectChannel* record, int channel);
  // After records came back from a save or a kept state.
  virtual void Restore(EffectChannel* record, int channel);
  virtual int GetOption1();
  virtual int GetOption2();
  virtual int GetOption3();

  int GetEndFlag() const { return endFlag_; }
  // The record names a picture (0..15); -1 and other numbers name none.
  static bool HasPictureNumber(const EffectChannel& record) {
    return record.PictureNumber() >= 0 && record.PictureNumber() < 16;
  }
  // Clean-up hook the manager calls before deleting the object.
  void Release() {}

 protected:
  // The common start: p[0..n-1] := values (n = min(count, max)), every
  // later p 0; returns count clamped to 0..max (what the defaults test).
  static int TakeParams(int count, const int* values, int max, int* p);
  // p[i] := value unless the script gave p[i] (given > i).
  static void Default(int* p, int given, int i, int value) {
    if (given <= i) p[i] = value;
  }
  // Active 1, the effect number, counter 0, the duration (a negative one
  // ends at once), and p[0..stored-1] from int 29 on. Returns 1.
  static int StartRecord(EffectChannel* record, int number, int duration, const int* p, int stored);

  // A sum or product of script values, formed in 64 bits, back in the int
  // range.
  static int Clamp32(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  }
  // Fills the screen with a colour each of whose values is taken as its
  // low byte (so -1 is 255).
  static void FillScreenBytes(int r, int g, int b);

  // The effect ends as a plain layer (#0) showing the channel's picture;
  // without one the channel is switched off.
  void EndAsLayer(EffectChannel* record, int channel) const;

  // The channel picture a record names: null for no picture (-1) or a
  // number outside 0..15.
  CPicture* RecordPicture(const EffectChannel& record) const;

  CEffectManager* manager_;
  int work_ = 0;
  int endFlag_ = 0;
};
