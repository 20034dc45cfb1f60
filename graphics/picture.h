// CPicture: a picture in memory. 32-bit pixels (0x00RRGGBB, rows top-down,
// pitch = width) or 8-bit palette indices with a 256-entry palette, an
// optional 8-bit mask plane (0 transparent .. 255 opaque) and an opaque
// bounding box. Pictures are made blank, loaded from picture files
// (graphics/pictureloader.cpp) or captured from the screen buffer, and draw
// themselves into the screen buffer through the CAllPicture entries after
// clipping to their box and to the screen.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "graphics/dwqformat.h"
#include "graphics/pixeltarget.h"
#include "platform/bytereader.h"

class CPicture : public CPixelTargetOwner {
 public:
  // Empty picture (1 x 1, not loaded) or, with a name, loaded from its file
  // in the default picture folder. The two middle arguments are not used.
  explicit CPicture(const char* fileName = nullptr, int unused1 = 0, int unused2 = 0,
                    int keep256 = 0);
  // Blank picture of that size: black pixels, and a mask of zeros.
  CPicture(int width, int height, int withMask);
  virtual ~CPicture();
  CPicture(const CPicture&) = delete;
  CPicture& operator=(const CPicture&) = delete;

  // Frees pixels, palette and mask; size, name and loaded flag stay, and a
  // later Resize or load allocates again.
  void Release();
  // 1, or 0 when the block cannot be had (the picture then has no pixels).
  // Blocks only grow; a new block is cleared, a kept one keeps its bytes.
  int CreateBuffer(int bytes);
  int CreateMask(int bytes);
  int Resize(int width, int height);
  // Test aid: after `after` more pixel or mask blocks, the next `count`
  // cannot be had, as if memory had run out.
  static void FailAllocations(int count, int after = 0);
  // The body decoders' target: this picture resized to width x height
  // (pitch = width); false while it holds 8-bit indices or has no pixels.
  bool MakePixelTarget(int width, int height, PixelTarget* target) override;

  // --- Loading (graphics/pictureloader.cpp) ---
  // 1 loaded (or this name already loaded), 0 failed. folder null = "dwq".
  // keep256 keeps an 8-bit body as indices with its palette.
  int LoadDWQ(const char* name, int keep256 = 0, const char* folder = nullptr);
  // Forget the name, so the next LoadDWQ of any name reads its file.
  void ClearName();

  // --- Queries ---
  const char* GetName() const { return name_.c_str(); }
  void GetSize(int* out) const {
    out[0] = width_;
    out[1] = height_;
  }
  // x, y, w, h.
  void GetRect(int* rect) const {
    rect[0] = 0;
    rect[1] = 0;
    rect[2] = width_;
    rect[3] = height_;
  }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  // Raw pixel bytes (indices for an 8-bit picture); both name the same block.
  unsigned char* GetBuffer() const { return pixels_; }
  uint32_t* GetPixelBuffer() const { return reinterpret_cast<uint32_t*>(pixels_); }
  unsigned char* GetMask() const { return mask_; }
  const uint32_t* GetPalette() const { return palette_; }
  int GetMaskFlag() const { return maskValid_; }
  void SetMaskFlag(int valid) { maskValid_ = valid; }
  int Get256Flag() const { return is256_; }
  int IsLoaded() const { return loaded_; }

  // 1 when (x, y) shows something: a different index or pixel than the one
  // at (keyX, keyY), or a non-zero mask byte when the last load had a mask.
  int HitCheck(int x, int y, int keyX, int keyY) const;

  // --- Screen capture ---
  int GetScreen();
  // w or h = -1 mean the picture's own size.
  int GetScreenRect(int x, int y, int w, int h);

  // --- Clipping (in place; 1 when something is left) ---
  int ClipToBox(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const;
  int ClipToScreen(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const;
  int Clip(int* dstX, int* dstY, int* srcX, int* srcY, int* w, int* h) const;

  // --- Drawing into the screen buffer ---
  // transFlag 0 copies opaquely; otherwise a valid mask blends, else the
  // top-left pixel (or index) is the colour key.
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag);
  void Put(int x, int y, int transFlag);
  void MaskBlt(int dstX, int dstY, int srcX, int srcY, int w, int h);
  // Row r of the source goes to screen row dstY + r, shifted to
  // xBias + offsets[r]. picture: the picture drawn (null: this one).
  void RasterBlt(CPicture* picture, int xBias, int dstY, int srcX, int srcY, int w, int rows,
                 int transFlag, const int* offsets);
  // Only the part of row r from source column splits[r] on (Right) or left
  // of it (Left), blended through the mask at percent.
  void SplitBltRight(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                     const int* splits, int percent);
  void SplitBltLeft(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                    const int* splits, int percent);

  // Variants drawn by the blend, stretch and tinted blitters
  // (graphics/pictureblend.cpp). Only the grey, red and silhouette draws take
  // an 8-bit picture.
  void TransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent);
  // TransLucentBlt over a rectangle of one colour (0x00RRGGBB): the screen
  // area it draws ends as after filling it with colour and TransLucentBlt,
  // with percent held to 0..100. Gives 0, drawing nothing, when the picture
  // cannot be drawn or the rectangle is clipped (the caller then fills
  // and blends as usual).
  int TransLucentBltOnColour(int dstX, int dstY, int w, int h, int percent, uint32_t colour);
  void TransLucentBlt0(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent);
  void TransLucentBlt3(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent);
  void AddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h);
  void AddSubBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level);
  void ColorAddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag, int r,
                   int g, int b, int percent);
  void YUVChangeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int swap, int level);
  void ShapeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int r, int g, int b);
  void RedBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag);
  void GreyBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag);
  void GreyLevelBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level, int unused);
  void SepiaBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level, int r, int g,
                int b, int unused);
  // Words: dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH, percent, transFlag.
  void StretchBlt(int dstX, int dstY, int dstW, int dstH, int srcX, int srcY, int srcW, int srcH,
                  int percent, int transFlag);
  void StretchAddSubBlt(int dstX, int dstY, int dstW, int dstH, int srcX, int srcY, int srcW,
                        int srcH, int percent, int transFlag, int r, int g, int b);
  void ChangeTransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int percentThis,
                            int percentOther, CPicture* other, int otherSrcX, int otherSrcY);
  void OverrapBlt(int percent, const int* pos);
  void OverrapBlt2(CPicture* other, int percent, const int* pos, const int* otherPos);
  // OverrapBlt2 from a picture wholly of one colour word to this one, with
  // no such picture: the screen is colour * (100 - percent) % + this * percent %.
  void OverrapBlt2FromColour(uint32_t colour, int percent, const int* pos);

 private:
  // Steps of LoadDWQ (graphics/pictureloader.cpp).
  struct LoadPlan;
  FILE* OpenDwqFile(const char* path, const char* name);
  int ReadDwqHeader(platform::ByteReader& in, LoadPlan* plan);
  // 1, or 0 with the reason in the plan.
  int ReadBmpHeader(platform::ByteReader& in, LoadPlan* plan, int keep256);
  void SetBmpGeometry(const LoadPlan& plan);
  int ReadBmpRows(platform::ByteReader& in, const LoadPlan& plan, int keep256);
  int ReadPackedRows(platform::ByteReader& in, const LoadPlan& plan, int keep256);
  // Empty when the mask was read, else why not.
  std::string ReadMask(platform::ByteReader& in);
  // The mask plane from the loader's PNG reader (after a PNG body).
  int CreateMaskFromPng();
  void CalcuBoundingBox();
  void ShowLoadError(const char* name, const std::string& path);
  // The reason goes to stderr every time; the box only with the error flag.
  void ShowBadFile(const char* name, const std::string& why);
  // Null when the body was read, else why not.
  const char* LoadBody(platform::ByteReader& in, LoadPlan* plan, int keep256);

  void InitMembers();
  void SetWholeBox();
  // Frees a mask block smaller than bytes and makes one that size; the
  // valid flag is the caller's.
  int GrowMask(int bytes);
  // The mask plane covers width x height and holds valid data.
  bool MaskUsable() const;
  bool HasPixels() const { return pixels_ != nullptr; }
  void SplitBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int useMask,
                const int* splits, int percent, bool right);

  int boxLeft_ = 0, boxRight_ = 1, boxTop_ = 0, boxBottom_ = 1;
  int width_ = 1, height_ = 1;
  unsigned char* pixels_ = nullptr;
  int pixelCapacity_ = 0;
  unsigned char* mask_ = nullptr;
  int maskCapacity_ = 0;
  uint32_t* palette_ = nullptr;
  int is256_ = 0;
  int maskValid_ = 0;
  int stride_ = 0;
  int bodySize_ = 0;
  int loaded_ = 0;
  int isJpeg_ = 0, hasMask_ = 0, isPacked_ = 0, isPng_ = 0, hasHeaderBox_ = 0, fromPack_ = 0;
  int bytesLeft_ = 0;  // the length of a pack entry being opened
  std::string name_;
  std::string path_;
  unsigned char header_[dwq::kHeaderSize] = {};
  dwq::BitmapFileHeader fileHeader_{};
  dwq::BitmapInfoHeader infoHeader_{};
  int spare_ = 0;
};
