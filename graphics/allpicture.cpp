#include "graphics/allpicture.h"

#include <new>

#include "graphics/basicblt.h"

CMaskBlt* CAllPicture::maskBlt_ = nullptr;
CBlt* CAllPicture::blt_ = nullptr;
CBltBeta* CAllPicture::bltBeta_ = nullptr;
CBlt256* CAllPicture::blt256_ = nullptr;
CBlt256Beta* CAllPicture::blt256Beta_ = nullptr;

namespace {

template <typename T>
void Make(T** slot) {
  delete *slot;
  *slot = new (std::nothrow) T();
}

template <typename T>
void Drop(T** slot) {
  if (*slot) (*slot)->Release();
  delete *slot;
  *slot = nullptr;
}

}  // namespace

CAllPicture::CAllPicture() {
  // Creation order of the whole family; the later blitters take their
  // places between these.
  Make(&maskBlt_);
  Make(&blt_);
  Make(&bltBeta_);
  Make(&blt256_);
  Make(&blt256Beta_);
}

CAllPicture::~CAllPicture() { Release(); }

void CAllPicture::Release() {
  Drop(&blt256Beta_);
  Drop(&blt256_);
  Drop(&bltBeta_);
  Drop(&blt_);
  Drop(&maskBlt_);
}

void CAllPicture::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                      int width, int height) {
  if (blt_) blt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height);
}

void CAllPicture::BltBeta(int dstX, int dstY, int srcX, int srcY, int w, int h,
                          const uint32_t* pixels, int width, int height) {
  if (bltBeta_) bltBeta_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height);
}

void CAllPicture::Blt256(int dstX, int dstY, int srcX, int srcY, int w, int h,
                         const uint8_t* indices, const uint32_t* palette, int width, int height) {
  if (blt256_) blt256_->Blt(dstX, dstY, srcX, srcY, w, h, indices, palette, width, height);
}

void CAllPicture::Blt256Beta(int dstX, int dstY, int srcX, int srcY, int w, int h,
                             const uint8_t* indices, const uint32_t* palette, int width,
                             int height) {
  if (blt256Beta_) blt256Beta_->Blt(dstX, dstY, srcX, srcY, w, h, indices, palette, width, height);
}

void CAllPicture::MaskBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                          const uint32_t* pixels, const uint8_t* mask, int width, int height) {
  if (maskBlt_) maskBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, mask, width, height);
}
