// CMiniCGMaker: shrinks the 32-bit screen (0x00RRGGBB, rows top-down) into a
// save slot's thumbnail by averaging square blocks of pixels.
//
// Two paths give the thumbnail:
// - the fast path, when the blocks tile the thumbnail exactly (or for the
//   standard 800 x 600 -> 132 x 100 with blocks of 6): the four bytes of a
//   pixel summed in four 16-bit lanes and multiplied by the 16-bit
//   reciprocal 65536 / (b * b), taking the high 16 bits. The reciprocal is
//   rounded down, so a lane can come out one below the true mean (36 pixels
//   of 255 give 254). It is used for blocks 2 to 11 only: from 12 on the
//   lane sums overflow 16 bits.
// - the general path: the exact integer mean of each colour over blocks of
//   (source / thumbnail) pixels, top byte 0.
#pragma once

#include <cstdint>

class CMiniCGMaker {
 public:
  CMiniCGMaker();
  virtual ~CMiniCGMaker() = default;

  void SetSourceSize(int width, int height);
  void SetMiniCGSize(int width, int height);
  // Stores the block and chooses the path for the sizes set so far.
  void SetBlockSize(int block);
  // 1 exactly for block 6, source 800 x 600 and thumbnail 132 x 100.
  int IsStandardSize() const;
  // Nothing when either buffer is missing. `out` holds thumbnail width x
  // height pixels.
  void Make(const uint32_t* source, uint32_t* out) const;
  void Release() {}

  int IsFastPath() const { return fastPath_; }
  int GetBlockSize() const { return block_; }
  // The fast path's 16-bit reciprocal of a block.
  static int Reciprocal(int block) { return 65536 / (block * block) & 0xFFFF; }

  // The two paths on their own (tests and benchmarks hold them to each
  // other). MakeFastPlain is the fast path's arithmetic lane by lane;
  // MakeFast uses SSE2 where the machine has it and gives the same bytes.
  void MakeFast(const uint32_t* source, uint32_t* out) const;
  void MakeFastPlain(const uint32_t* source, uint32_t* out) const;
  void MakeGeneral(const uint32_t* source, uint32_t* out) const;

  // The fast path at two fixed geometries, blocks of 6 centred on the
  // screen: 640 x 480 into 106 x 80 and 800 x 600 into 132 x 100. Nothing
  // when either buffer is missing.
  static void Make640x480(const uint32_t* source, uint32_t* out);
  static void Make800x600(const uint32_t* source, uint32_t* out);

 private:
  int sourceWidth_, sourceHeight_;
  int width_, height_;
  int block_;
  int fastPath_;
};
