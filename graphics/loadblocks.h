// The picture loader's new blocks. While a CLoadBlocks lives, the pixel and
// mask blocks its picture makes are left as the memory held them, for the
// loader writes them whole; when it ends it clears what the load did not
// write: the spare bytes past the pixels, a mask the load did not fill, and
// all of both after a failed load. So a picture never shows what the memory
// held, and a load does not clear bytes it is about to write.
#pragma once

#include <cstdint>

class CPicture;

class CLoadBlocks {
 public:
  explicit CLoadBlocks(CPicture* picture);
  ~CLoadBlocks();
  CLoadBlocks(const CLoadBlocks&) = delete;
  CLoadBlocks& operator=(const CLoadBlocks&) = delete;

  // The block the picture asks for is new and left uncleared when this
  // object covers the picture; it notes the block (graphics/picture.cpp).
  static bool LeaveUncleared(const CPicture* picture);
  static void NotePixels(unsigned char* block, int64_t bytes);
  static void NoteMask(unsigned char* block, int64_t bytes);

 private:
  CPicture* picture_;
  CLoadBlocks* outer_;
  unsigned char* pixels_ = nullptr;
  int64_t pixelBytes_ = 0;
  unsigned char* mask_ = nullptr;
  int64_t maskBytes_ = 0;
};
