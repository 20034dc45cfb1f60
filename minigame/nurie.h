// Nurie (type 2): the canvas (the host's screen picture) starts as picture 1
// and a soft round brush paints picture 0 over it with the left button, and
// picture 1 back with the right. It never ends; the host's exit button
// leaves it. The brush rule (NurieBrush) stays apart from drawing.
#pragma once

#include <array>
#include <cstdint>

#include "minigame/minigamebase.h"

struct NurieBrush {
  static constexpr int kSize = 64;
  std::array<uint8_t, kSize * kSize> strength{};

  // The round falloff with its random grain, drawn from the engine's
  // generator row by row.
  void Make();

  struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
  };
  // Blends `source` into `canvas` under the brush centred on (cx, cy); both
  // are 32-bit pixel planes of their own size. The square is clipped to the
  // screen, the canvas and the source, so a source smaller than the screen
  // leaves the canvas outside it as it was. The rectangle painted, empty
  // when nothing was.
  Rect Paint(uint32_t* canvas, int canvasW, int canvasH, const uint32_t* source, int sourceW,
             int sourceH, int screenW, int screenH, int cx, int cy) const;
};

class CMiniGameNurie : public CMiniGameBase {
 public:
  explicit CMiniGameNurie(CAllMiniGame* holder);
  ~CMiniGameNurie() override;
  int Init() override;
  int Calcu() override;
  int Print() override;

  const NurieBrush& GetBrush() const { return brush_; }
  const NurieBrush::Rect& GetPainted() const { return paintedRect_; }
  bool Painted() const { return painted_; }

 private:
  NurieBrush brush_;
  bool started_ = false;
  bool painted_ = false;
  NurieBrush::Rect paintedRect_;
  int lastX_ = -1, lastY_ = -1;
};
