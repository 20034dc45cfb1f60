// CJpegDecoder: the engine's own decoder of the baseline JPEG bodies of
// picture files (types '5' and '7'). Three components, luminance sampling of
// 1 or 2 each way with one block per chroma component, Huffman coding,
// optional restart intervals. It writes 0x00RRGGBB pixels straight into the
// picture, on one of two inverse-transform paths: floating point, or fixed
// point (the default).
//
// Quantisation and Huffman tables persist between pictures: a body without
// its own DQT or DHT segments uses those of an earlier one. Everything read
// from the body is checked; a body the decoder cannot read fails.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/pixeltarget.h"

class CJpegDecoder {
 public:
  CJpegDecoder();
  ~CJpegDecoder();
  CJpegDecoder(const CJpegDecoder&) = delete;
  CJpegDecoder& operator=(const CJpegDecoder&) = delete;

  // The work area of the transforms and the colour step; Decode fails
  // without it. 1, or 0 when memory runs out.
  int CreateWorkArea();
  void ReleaseWorkArea();

  // Decodes the JPEG stream of size bytes at data into the target owner
  // gives for the frame size. 1 decoded; 0 failed, and then the target may
  // be partly written.
  int Decode(const unsigned char* data, size_t size, CPixelTargetOwner* owner);
  // Why the last Decode failed (null after success).
  const char* GetError() const { return error_; }

  // The path switch, process-wide: set for the floating-point path, clear
  // (the default) for the fixed-point path.
  static void SetNoMmx(int on);
  static int GetNoMmx();

  // Longest Huffman code resolved by one table look-up.
  static constexpr int kFastBits = 11;

 private:
  struct Huffman {
    // Per code length 1..16: first code, one past the last code (-1 and 0
    // for a length without codes) and the index of its first symbol.
    int32_t first[17];
    int32_t end[17];
    int32_t index[17];
    uint8_t symbols[256];
    // For every kFastBits-bit prefix, what the code it starts with decodes
    // to (see BuildLookup in jpegdecoder.cpp); 0 when that code is longer.
    int32_t lookup[1 << kFastBits];
    bool defined;
  };
  struct Component {
    int id, h, v, quant;
  };
  struct Work;
  struct BitReader;

  static void BuildLookup(Huffman* table, bool ac);
  int Fail(const char* why);
  bool ReadFrame(const unsigned char* seg, size_t n);
  bool ReadHuffman(const unsigned char* seg, size_t n);
  bool ReadQuant(const unsigned char* seg, size_t n);
  int ReadScan(const unsigned char* seg, size_t n, const unsigned char* data, size_t size,
               CPixelTargetOwner* owner);
  template <bool kFixed>
  int DecodeScan(const unsigned char* data, size_t size, const PixelTarget& target, const int* dcTable,
                 const int* acTable);

  float idctScale_[64];
  int restartInterval_ = 0;
  int width_ = 0, height_ = 0;
  int dcPred_[3] = {};
  uint16_t quant_[4][64] = {};
  bool quantDefined_[4] = {};
  Huffman huffman_[4] = {};  // DC 0, DC 1, AC 0, AC 1
  Component components_[3] = {};
  bool haveFrame_ = false;
  bool adobeRgb_ = false;  // an Adobe marker with transform 0 came before the scan
  Work* work_ = nullptr;
  const char* error_ = nullptr;
};
