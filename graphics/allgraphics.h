// Whole-screen filters: fill, fade, negative, grey, sepia, signed colour add
// and per-channel multiply, in place on the screen buffer. CAllGraphics
// makes one object of each and reaches them through static entries. None of
// them records dirty rectangles; the caller does.
#pragma once

#include <cstdint>

class CFade {
 public:
  virtual ~CFade() = default;
  // g, b = -1 take the previous channel; colourPercent = -1 is
  // 100 - screenPercent.
  virtual void Fade(int screenPercent, int r, int g, int b, int colourPercent);
};

class CFillScreen {
 public:
  virtual ~CFillScreen() = default;
  virtual void Fill(int r, int g, int b);
};

class CLayerSepia {
 public:
  virtual ~CLayerSepia() = default;
  // level 0 keeps the screen, 256 gives the tinted grey.
  virtual void Sepia(int level, int r, int g, int b);
};

class CLayerGrey {
 public:
  virtual ~CLayerGrey() = default;
  virtual void Grey(int level);
};

class CNega {
 public:
  virtual ~CNega() = default;
  virtual void Nega();
  virtual void NegaRect(int x, int y, int w, int h);
};

class CGrey {
 public:
  virtual ~CGrey() = default;
  virtual void Grey();
  virtual void GreyRect(int x, int y, int w, int h);
};

class CAddSub {
 public:
  virtual ~CAddSub() = default;
  // g, b = -9999 take the previous channel (-1 is a real amount here).
  virtual void AddSub(int r, int g, int b);
  virtual void AddSubRect(int x, int y, int w, int h, int r, int g, int b);
};

class CMulti {
 public:
  virtual ~CMulti() = default;
  // Percent per channel; g, b = -1 take the previous channel.
  virtual void Multi(int r, int g, int b);
  virtual void MultiRect(int x, int y, int w, int h, int r, int g, int b);
};

class CAllGraphics {
 public:
  CAllGraphics();
  virtual ~CAllGraphics();
  CAllGraphics(const CAllGraphics&) = delete;
  CAllGraphics& operator=(const CAllGraphics&) = delete;
  void Release();

  // Each does nothing when its filter does not exist.
  static void FillScreen(int r, int g, int b);
  static void Fade(int screenPercent, int r, int g, int b, int colourPercent);
  static void LayerSepia(int level, int r, int g, int b);
  static void LayerGrey(int level);
  static void Nega();
  static void NegaRect(int x, int y, int w, int h);
  static void Grey();
  static void GreyRect(int x, int y, int w, int h);
  static void AddSub(int r, int g, int b);
  static void AddSubRect(int x, int y, int w, int h, int r, int g, int b);
  static void Multi(int r, int g, int b);
  static void MultiRect(int x, int y, int w, int h, int r, int g, int b);

 private:
  static CFade* fade_;
  static CFillScreen* fillScreen_;
  static CMulti* multi_;
  static CAddSub* addSub_;
  static CGrey* grey_;
  static CNega* nega_;
  static CLayerSepia* layerSepia_;
  static CLayerGrey* layerGrey_;
};

// Grey value of a pixel: ((29 B + 150 G) >> 8) + ((76 R) >> 8), 0..253.
inline uint32_t GreyLevel(uint32_t p) {
  uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
  return ((29 * b + 150 * g) >> 8) + ((76 * r) >> 8);
}
