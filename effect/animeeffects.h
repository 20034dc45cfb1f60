// Animation effects: pictures played frame by frame, all drawn by the
// effect itself (the manager never draws their channel picture).
// #19 flip-book over consecutive channels, #63 sprite sheet on a line,
// #98 blinks and mouth flaps, #79 full-screen frames streamed from files.
#pragma once

#include <cstdint>
#include <string>

#include "effect/commoneffect.h"

namespace platform {
class ByteReader;
}

// p0 duration (20); p1 frames (4, at least 1); p2 counts per picture (1, at
// least 1); p3 loop; p4 first channel (12), also the drawing mode: 0
// opaque, 1 transparent, else translucent by the curve p7 -> p6 (100, 100)
// with ramp p9 (10) and code p8; p5 kept; p10 loop the counter. Shows the
// picture of channel p4 + frame at that channel's place.
class CEffectAnime : public CCommonEffect {
 public:
  static constexpr int kNumber = 19;
  static constexpr const char* kClassName = "CEffectAnime";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int GetOption1() override { return 2; }
  // The channel the record shows at its counter.
  static int FrameChannel(const EffectChannel& record);
};

// p0 duration (20); p1, p2 cell size (64, 64); p3 counts per cell (1); p4,
// p5 end position (0, 0); p6, p7 start position (= p4, p5); p8 mode (0
// opaque, 1 transparent, 2 fading p11 -> p10, else transparent); p9 cells
// before the sequence wraps (0 never); p10, p11 opacities (100); p12, p13
// kept (100, 0); p14 counter loop (0 none).
class CEffectKomaAnime : public CCommonEffect {
 public:
  static constexpr int kNumber = 63;
  static constexpr const char* kClassName = "CEffectKomaAnime";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel* record, int channel) override;
};

// p0 kept (the channel runs without end); p1, p2 cell size (32, 32); p3
// cells (2); p4 picture channel (-1 own); p5 ping-pong; p6 flags (bit 0
// speech, bit 1 transparent); p7 counts per cell (1, at least 1); p8, p9
// wait and its spread in percent (40, 80); p10, p11 the same in speech mode
// (4, 80); p12 double-blink chance in percent (0). p13 timer, p14 wait.
class CEffectMePachiKuchiPaku : public CCommonEffect {
 public:
  static constexpr int kNumber = 98;
  static constexpr const char* kClassName = "CEffectMePachiKuchiPaku";
  static constexpr int kTimer = 13;
  static constexpr int kWait = 14;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
  // The cell the record shows, or -1 between runs.
  static int Cell(const EffectChannel& record);

 private:
  static void NewWait(EffectChannel* record);
};

// How a frame file turned out.
enum class AnimeFrameResult { kDrawn, kShort, kRefused };

// Reads one frame file (64-byte header, bitmap file and information
// headers, palette, then `h` top-down rows of `w` bytes) and writes its
// rows to `screen` (w x h) through the palette. 8-bit files with at most
// 256 colours only; others are refused before anything is drawn. A short
// row stops the drawing: the rows before it stay. `row` holds one row.
AnimeFrameResult DrawAnimeFrame(platform::ByteReader& in, uint32_t* screen, int w, int h,
                                uint8_t* row);
// "dwq\an\anAAAFFF.dwq" for animation A and frame F; empty when either is
// outside 0..999.
std::string AnimeFramePath(int animation, int frame);

// p0 duration (20); p1 animation number (0); p2 counts per frame file (1);
// p3 skip a frame equal to the last one drawn. Draws the whole screen
// from the frame file of the counter.
class CEffectFullAnime : public CCommonEffect {
 public:
  static constexpr int kNumber = 79;
  static constexpr const char* kClassName = "CEffectFullAnime";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // A loaded game has not drawn any frame yet.
  void Restore(EffectChannel*, int) override { lastFrame_ = -1; }
  int GetLastFrame() const { return lastFrame_; }

 private:
  int lastFrame_ = -1;
};
