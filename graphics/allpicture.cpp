#include "graphics/allpicture.h"


#include "graphics/addblt.h"
#include "graphics/basicblt.h"
#include "graphics/coloraddblt.h"
#include "graphics/familyslots.h"
#include "graphics/greyblt.h"
#include "graphics/stretchblt.h"
#include "graphics/transblt.h"

CMaskBlt* CAllPicture::maskBlt_ = nullptr;
CBlt* CAllPicture::blt_ = nullptr;
CBltBeta* CAllPicture::bltBeta_ = nullptr;
CBlt256* CAllPicture::blt256_ = nullptr;
CBlt256Beta* CAllPicture::blt256Beta_ = nullptr;
CGreyBlt* CAllPicture::greyBlt_ = nullptr;
CRedBlt* CAllPicture::redBlt_ = nullptr;
CTransLucentBlt* CAllPicture::transLucentBlt_ = nullptr;
CTransLucentBlt0* CAllPicture::transLucentBlt0_ = nullptr;
CTransLucentBlt3* CAllPicture::transLucentBlt3_ = nullptr;
CShapeBlt* CAllPicture::shapeBlt_ = nullptr;
CAddBlt* CAllPicture::addBlt_ = nullptr;
CStretchBlt* CAllPicture::stretchBlt_ = nullptr;
CColorAddBlt* CAllPicture::colorAddBlt_ = nullptr;
CChangeTransLucentBlt* CAllPicture::changeTransLucentBlt_ = nullptr;
COverrapBlt* CAllPicture::overrapBlt_ = nullptr;
CYUVChangeBlt* CAllPicture::yuvChangeBlt_ = nullptr;
CGreyLevelBlt* CAllPicture::greyLevelBlt_ = nullptr;
CSepiaBlt* CAllPicture::sepiaBlt_ = nullptr;
CAddSubBlt* CAllPicture::addSubBlt_ = nullptr;
CStretchAddSubBlt* CAllPicture::stretchAddSubBlt_ = nullptr;

CAllPicture::CAllPicture() {
  // Creation order of the whole family; Release undoes it backwards.
  family::Make(&greyBlt_);
  family::Make(&redBlt_);
  family::Make(&transLucentBlt_);
  family::Make(&transLucentBlt0_);
  family::Make(&transLucentBlt3_);
  family::Make(&maskBlt_);
  family::Make(&blt_);
  family::Make(&bltBeta_);
  family::Make(&blt256_);
  family::Make(&blt256Beta_);
  family::Make(&shapeBlt_);
  family::Make(&addBlt_);
  family::Make(&stretchBlt_);
  family::Make(&colorAddBlt_);
  family::Make(&changeTransLucentBlt_);
  family::Make(&overrapBlt_);
  family::Make(&yuvChangeBlt_);
  family::Make(&greyLevelBlt_);
  family::Make(&sepiaBlt_);
  family::Make(&addSubBlt_);
  family::Make(&stretchAddSubBlt_);
}

CAllPicture::~CAllPicture() { Release(); }

void CAllPicture::Release() {
  family::ReleaseAndDrop(&stretchAddSubBlt_);
  family::ReleaseAndDrop(&addSubBlt_);
  family::ReleaseAndDrop(&sepiaBlt_);
  family::ReleaseAndDrop(&greyLevelBlt_);
  family::ReleaseAndDrop(&yuvChangeBlt_);
  family::ReleaseAndDrop(&overrapBlt_);
  family::ReleaseAndDrop(&changeTransLucentBlt_);
  family::ReleaseAndDrop(&colorAddBlt_);
  family::ReleaseAndDrop(&stretchBlt_);
  family::ReleaseAndDrop(&addBlt_);
  family::ReleaseAndDrop(&shapeBlt_);
  family::ReleaseAndDrop(&blt256Beta_);
  family::ReleaseAndDrop(&blt256_);
  family::ReleaseAndDrop(&bltBeta_);
  family::ReleaseAndDrop(&blt_);
  family::ReleaseAndDrop(&maskBlt_);
  family::ReleaseAndDrop(&transLucentBlt3_);
  family::ReleaseAndDrop(&transLucentBlt0_);
  family::ReleaseAndDrop(&transLucentBlt_);
  family::ReleaseAndDrop(&redBlt_);
  family::ReleaseAndDrop(&greyBlt_);
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

void CAllPicture::TransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                 const uint32_t* pixels, int width, int height, int percent) {
  if (transLucentBlt_)
    transLucentBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, percent);
}

void CAllPicture::TransLucentBltOnColour(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                         const uint32_t* pixels, int width, int height,
                                         int percent, uint32_t colour) {
  if (transLucentBlt_)
    transLucentBlt_->BltOnColour(dstX, dstY, srcX, srcY, w, h, pixels, width, height, percent,
                                 colour);
}

void CAllPicture::TransLucentBlt0(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                  const uint32_t* pixels, int width, int height, int percent) {
  if (transLucentBlt0_)
    transLucentBlt0_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, percent);
}

void CAllPicture::TransLucentBlt3(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                  const uint32_t* pixels, const uint8_t* mask, int width,
                                  int height, int percent) {
  if (transLucentBlt3_)
    transLucentBlt3_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, mask, width, height, percent);
}

void CAllPicture::AddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                         const uint32_t* pixels, int width, int height) {
  if (addBlt_) addBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height);
}

void CAllPicture::AddSubBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                            const uint32_t* pixels, const uint8_t* mask, int width, int height,
                            int level) {
  if (addSubBlt_) addSubBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, mask, width, height, level);
}

void CAllPicture::ShapeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint8_t* mask, int width, int height, int r, int g, int b) {
  if (shapeBlt_) shapeBlt_->Blt(dstX, dstY, srcX, srcY, w, h, mask, width, height, r, g, b);
}

void CAllPicture::ColorAddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                              const uint32_t* pixels, const uint8_t* mask, int width, int height,
                              int transparent, int r, int g, int b, int percent) {
  if (colorAddBlt_)
    colorAddBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, mask, width, height, transparent, r, g,
                      b, percent);
}

void CAllPicture::YUVChangeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                               const uint32_t* pixels, const uint8_t* mask, int width, int height,
                               int swap, int level) {
  if (yuvChangeBlt_)
    yuvChangeBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, mask, width, height, swap, level);
}

void CAllPicture::ChangeTransLucentBlt(int dstX, int dstY, int w, int h, const uint32_t* pixelsA,
                                       const uint32_t* pixelsB, const uint8_t* maskA,
                                       const uint8_t* maskB, int widthA, int heightA, int widthB,
                                       int heightB, int percentA, int percentB) {
  if (changeTransLucentBlt_)
    changeTransLucentBlt_->Blt(dstX, dstY, w, h, pixelsA, pixelsB, maskA, maskB, widthA, heightA,
                               widthB, heightB, percentA, percentB);
}

void CAllPicture::OverrapBlt2(int xA, int yA, const uint32_t* pixelsA, int widthA, int heightA,
                              int xB, int yB, const uint32_t* pixelsB, int widthB, int heightB,
                              int percentA, int percentB) {
  if (overrapBlt_)
    overrapBlt_->Blt2(xA, yA, pixelsA, widthA, heightA, xB, yB, pixelsB, widthB, heightB, percentA,
                      percentB);
}

void CAllPicture::OverrapBlt2FromColour(uint32_t colourA, int xB, int yB,
                                        const uint32_t* pixelsB, int widthB, int heightB,
                                        int percentA, int percentB) {
  if (overrapBlt_)
    overrapBlt_->Blt2FromColour(colourA, xB, yB, pixelsB, widthB, heightB, percentA, percentB);
}

void CAllPicture::OverrapBlt(int x, int y, const uint32_t* pixels, int width, int height,
                             int percentScreen, int percentPicture) {
  if (overrapBlt_) overrapBlt_->Blt(x, y, pixels, width, height, percentScreen, percentPicture);
}

void CAllPicture::StretchBlt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                             int srcH, const uint32_t* pixels, const uint8_t* mask, int width,
                             int height, int transparent, int percent) {
  if (stretchBlt_)
    stretchBlt_->Blt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width, height,
                     transparent, percent);
}

void CAllPicture::StretchAddSubBlt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH,
                                   int srcW, int srcH, const uint32_t* pixels, const uint8_t* mask,
                                   int width, int height, int transparent, int percent, int r,
                                   int g, int b) {
  if (stretchAddSubBlt_)
    stretchAddSubBlt_->Blt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width,
                           height, transparent, percent, r, g, b);
}

void CAllPicture::GreyBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                          int width, int height, const uint8_t* mask, int transparent,
                          const uint32_t* palette) {
  if (greyBlt_)
    greyBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, mask, transparent, palette);
}

void CAllPicture::RedBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                         int width, int height, const uint8_t* mask, int transparent,
                         const uint32_t* palette) {
  if (redBlt_)
    redBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, mask, transparent, palette);
}

void CAllPicture::GreyLevelBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                               const uint32_t* pixels, int width, int height, const uint8_t* mask,
                               int level, int unused1, int unused2) {
  if (greyLevelBlt_)
    greyLevelBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, mask, level, unused1,
                       unused2);
}

void CAllPicture::SepiaBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint32_t* pixels, int width, int height, const uint8_t* mask,
                           int level, int r, int g, int b, int unused1, int unused2) {
  if (sepiaBlt_)
    sepiaBlt_->Blt(dstX, dstY, srcX, srcY, w, h, pixels, width, height, mask, level, r, g, b,
                   unused1, unused2);
}
