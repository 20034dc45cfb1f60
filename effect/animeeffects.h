// Animation effects: pictures played frame by frame, all drawn by the effect
// itself (the manager never draws their channel picture). #19 CEffectAnime
// flip-book over consecutive channels, #63 CEffectKomaAnime sprite sheet on a
// line, #98 CEffectMePachiKuchiPaku blinks and mouth flaps,
// #79 CEffectFullAnime full-screen frames streamed from files. Each names its
// values in its class; their defaults and clamps are its start table in
// animeeffects.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "effect/effectstart.h"

namespace platform {
class ByteReader;
}

// Shows the picture of the first channel + the frame at that channel's
// place. The first channel number is also the drawing mode: 0 opaque, 1
// transparent, else translucent at the opacity's curve. The value after
// the first channel is kept, not used.
class CEffectAnime : public CTableStartEffect {
 public:
  static constexpr int kNumber = 19;
  static constexpr const char* kClassName = "CEffectAnime";
  enum : int {
    kDuration,
    kFrames,
    kCountsPerPicture,
    kLoop,
    kFirstChannel,
    kSpare,
    kEndOpacity,
    kStartOpacity,
    kCurve,
    kRamp,
    kLoopCounter
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectAnime(CEffectManager* manager);
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int GetOption1() override { return 2; }
  // The channel the record shows at its counter.
  static int FrameChannel(const EffectChannel& record);
};

// The cells of the channel's sprite sheet moving from a start to an end
// position, drawn opaque (mode 0), fading from the start to the end
// opacity (2) or transparent (any other); the cells wrap after a count (0
// never) and the counter after a loop length (0 none). The two spares are
// kept and only tell whether the sprite is busy.
class CEffectKomaAnime : public CTableStartEffect {
 public:
  static constexpr int kNumber = 63;
  static constexpr const char* kClassName = "CEffectKomaAnime";
  enum : int {
    kDuration,
    kCellWidth,
    kCellHeight,
    kCountsPerCell,
    kEndX,
    kEndY,
    kStartX,
    kStartY,
    kMode,
    kCells,
    kEndOpacity,
    kStartOpacity,
    kSpare1,
    kSpare2,
    kLoopLength
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectKomaAnime(CEffectManager* manager);
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel* record, int channel) override;
};

// Blinks or mouth flaps from the cells of a picture (of its own channel for
// -1), once through or ping-pong, after a wait with a spread in percent.
// The first value is kept (the channel runs without end). Its flags are
// bit 0 speech mode, bit 1 transparent. The timer and the wait follow the
// values.
class CEffectMePachiKuchiPaku : public CTableStartEffect {
 public:
  static constexpr int kNumber = 98;
  static constexpr const char* kClassName = "CEffectMePachiKuchiPaku";
  enum : int {
    kDuration,
    kCellWidth,
    kCellHeight,
    kCells,
    kPictureChannel,
    kPingPong,
    kFlags,
    kCountsPerCell,
    kWaitMean,
    kWaitSpread,
    kSpeechWaitMean,
    kSpeechWaitSpread,
    kDoubleBlink
  };
  static constexpr int kTimer = 13;
  static constexpr int kWait = 14;
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectMePachiKuchiPaku(CEffectManager* manager);
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

// Draws the whole screen from the frame file of the counter, skipping a
// frame equal to the last one drawn when asked to.
class CEffectFullAnime : public CTableStartEffect {
 public:
  static constexpr int kNumber = 79;
  static constexpr const char* kClassName = "CEffectFullAnime";
  enum : int { kDuration, kAnimation, kCountsPerFrame, kSkipSame };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectFullAnime(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // A loaded game has not drawn any frame yet.
  void Restore(EffectChannel*, int) override { lastFrame_ = -1; }
  int GetLastFrame() const { return lastFrame_; }

 private:
  int lastFrame_ = -1;
};
