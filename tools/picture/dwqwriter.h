// Writer of the engine's picture files (".dwq"): the 64-byte header, a body
// of 24-bit rows, 8-bit rows or packed 8-bit rows, and the mask section.
// The zor-picture tool, the tests and the fuzz seeds use it, so every
// fixture is made from pixel arrays kept in the repository.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dwqtool {

// Body codings the writer makes. JPEG and PNG bodies join with their readers.
enum class BodyType { kBmp24, kBmp8, kPacked };

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
};

// A picture file for a 32-bit picture; 8-bit bodies take their palette from
// the colours in order of first appearance (at most 256).
bool MakeDwq(const Picture& picture, const Options& options, std::vector<uint8_t>* out,
             std::string* error);
// A picture file for an 8-bit picture (body kBmp8 or kPacked); alpha as in
// Picture.
bool MakeDwqIndexed(const Indexed& picture, const std::vector<uint8_t>& alpha,
                    const Options& options, std::vector<uint8_t>* out, std::string* error);

// --- Pieces, for hand-made and deliberately broken files ---

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

}  // namespace dwqtool
