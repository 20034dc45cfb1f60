// Writer of the engine's picture files (".dwq"): the 64-byte header, a body
// of 24-bit rows, 8-bit rows, packed 8-bit rows, baseline JPEG (libjpeg) or
// PNG (libpng), and the mask section.
// The zor-picture tool, the tests and the fuzz seeds use it, so every
// fixture is made from pixel arrays kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dwqtool {

// Body codings the writer makes.
enum class BodyType { kBmp24, kBmp8, kPacked, kJpeg, kPng };

// Chroma sampling of a JPEG body: full, halved across, halved both ways.
enum class JpegSampling { k444, k422, k420 };

// A 32-bit picture: 0x00RRGGBB pixels, top row first; alpha (one byte a
// pixel) empty when the picture is opaque.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  std::vector<uint8_t> alpha;
};

// An 8-bit picture: indices into a palette of at most 256 colours.
struct Indexed {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  std::vector<uint32_t> palette;
};

// Bounding box in picture coordinates, right and bottom exclusive.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct Options {
  BodyType body = BodyType::kBmp24;
  // A mask section from the alpha (all 255 without alpha). Packed bodies
  // always have one.
  bool mask = false;
  // The header box and its 'A' flag: the tight box of the non-zero alpha,
  // or `box` when autoBox is off.
  bool headerBox = false;
  bool autoBox = true;
  Box box;
  // The height stored negative; rows are stored top row first either way.
  bool negativeHeight = false;
  // 8-bit bodies: 256 stored palette entries (biClrUsed 0), or only the
  // colours the palette has.
  bool fullPalette = true;
  // JPEG bodies (type '5', or '7' with a mask section): quality 1..100,
  // chroma sampling, restart interval in MCUs (0 none), and whether the
  // quantisation and Huffman tables are written (without them the game
  // uses those of the JPEG picture it loaded before).
  int jpegQuality = 90;
  JpegSampling jpegSampling = JpegSampling::k420;
  int jpegRestart = 0;
  bool jpegTables = true;
  // A progressive stream instead (one the game's decoder refuses; for tests).
  bool jpegProgressive = false;
};

// A PNG of any colour type and bit depth, for PNG bodies (type '8'; its
// alpha channel or transparency chunk is the picture's mask).
struct PngImage {
  int width = 0;
  int height = 0;
  int colourType = 2;  // 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
  int bitDepth = 8;    // 1, 2, 4, 8 or 16 as the colour type allows
  bool interlaced = false;
  // Row by row, the colour type's samples per pixel (palette: the index),
  // each at the bit depth.
  std::vector<uint16_t> samples;
  std::vector<uint32_t> palette;      // 0x00RRGGBB, palette pictures
  std::vector<uint8_t> paletteAlpha;  // transparency chunk of a palette picture
  bool transColour = false;           // transparency chunk of grey and RGB
  uint16_t transGrey = 0, transRed = 0, transGreen = 0, transBlue = 0;
};

// A picture file for a 32-bit picture; 8-bit bodies take their palette from
// the colours in order of first appearance (at most 256).
bool MakeDwq(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
             std::string* error);
// A picture file for an 8-bit picture (body kBmp8 or kPacked); alpha as in
// Picture.
bool MakeDwqIndexed(const Indexed& picture, const std::vector<uint8_t>& alpha,
                    const Options& options, std::vector<uint8_t>* out, std::string* error);

// A frame file of the full-screen animation effect: the 64-byte header, the
// bitmap headers of an 8-bit picture, the palette of the colours in order
// of first appearance (at most 256, all stored as used) and the rows top
// row first, unpadded.
bool MakeAnimeFrame(const Picture& picture, std::vector<uint8_t>* out, std::string* error);
// The picture's colours as indices into a palette of first appearances;
// false beyond 256 colours.
bool IndexColours(const Picture& picture, Indexed* out, std::string* error);

// --- Bodies and pieces, for hand-made and deliberately broken files ---

// A baseline JPEG stream of the picture (alpha not used), as options say.
bool EncodeJpeg(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
                std::string* error);
// A PNG stream exactly as the image describes it (palette indices past the
// palette included).
bool EncodePng(const PngImage& image, std::vector<uint8_t>* out, std::string* error);
// The picture file around a finished body of options.body: the header
// (type, box from alpha or options, body size) and, where the type has one,
// the mask section from alpha (opaque when alpha is empty).
std::vector<uint8_t> AssembleFile(const Options& options, int width, int height,
                                  const std::vector<uint8_t>& body,
                                  const std::vector<uint8_t>& alpha);

// Type characters the writer uses.
char TypeFor(BodyType body, bool mask);
// The 64-byte header. Box margins are stored as the format has them.
void AppendHeader(std::vector<uint8_t>* out, char type, bool boxFlag, const Box& box,
                  int32_t bodySize, int32_t width, int32_t height);
// BITMAPFILEHEADER and BITMAPINFOHEADER (54 bytes).
void AppendBmpHeaders(std::vector<uint8_t>* out, int bits, int32_t width, int32_t height,
                      uint32_t clrUsed, uint32_t paletteBytes, uint32_t imageBytes);
// count palette entries (blue, green, red, 0); colours beyond the list are 0.
void AppendPalette(std::vector<uint8_t>* out, const std::vector<uint32_t>& colours, size_t count);
// Zero-run coding of rows, each XORed with the row above (zeros above the
// first): a non-zero byte stands for itself, a zero and a count n for n zeros.
std::vector<uint8_t> PackRows(const uint8_t* rows, int width, int height);
// The mask section: headers, a 256-entry grey palette and the packed alpha.
std::vector<uint8_t> MaskSection(const std::vector<uint8_t>& alpha, int width, int height);
// Tight box of the non-zero alpha ((0, 0, 0, 0) when there is none).
Box OpaqueBox(const std::vector<uint8_t>& alpha, int width, int height);

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes);

// --- Input and what the engine reads (dwqcheck.cpp) ---

// A JPEG stream decoded by libjpeg into a 32-bit picture without alpha;
// false with libjpeg's reason also when it finds the data damaged.
bool DecodeJpeg(const std::vector<uint8_t>& stream, Picture* out, std::string* error);
// Empty when the game's decoder takes the JPEG stream as it is: baseline,
// 8-bit samples, three components of YCbCr, the luminance sampled 1 or 2
// each way and the chroma once per MCU, the first scan holding all three.
// Otherwise what it is instead. The frame's size goes to *width and *height.
std::string EngineJpegProblem(const std::vector<uint8_t>& stream, int* width, int* height);
// Empty when the game's loader can read the finished picture file, else
// which of its limits the file passes and what to change (the decode
// buffer, graphics/dwqformat.h, holds a JPEG body, the coded rows of a
// packed body or of the mask, and one row of BMP rows).
std::string LoaderLimitProblem(const std::vector<uint8_t>& file);

}  // namespace dwqtool
