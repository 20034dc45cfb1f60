#include "graphics/allgeo.h"


#include "graphics/boxfill.h"
#include "graphics/circlefill.h"
#include "graphics/daikei.h"
#include "graphics/familyslots.h"
#include "graphics/gradationbox.h"
#include "graphics/line.h"

CBoxFill* CAllGeo::boxFill_ = nullptr;
CDaikei* CAllGeo::daikei_ = nullptr;
CTransBoxFill* CAllGeo::transBoxFill_ = nullptr;
CTransCircleFill* CAllGeo::transCircleFill_ = nullptr;
CTransGradationBoxV* CAllGeo::gradationBoxV_ = nullptr;
CTransTorusFill* CAllGeo::transTorusFill_ = nullptr;
CAddCircleFill* CAllGeo::addCircleFill_ = nullptr;
CAddTorusFill* CAllGeo::addTorusFill_ = nullptr;
CLine* CAllGeo::line_ = nullptr;
CAddBoxFill* CAllGeo::addBoxFill_ = nullptr;

CAllGeo::CAllGeo() {
  family::Make(&boxFill_);
  family::Make(&daikei_);
  family::Make(&transBoxFill_);
  family::Make(&transCircleFill_);
  family::Make(&gradationBoxV_);
  family::Make(&transTorusFill_);
  family::Make(&addCircleFill_);
  family::Make(&addTorusFill_);
  family::Make(&line_);
  family::Make(&addBoxFill_);
}

CAllGeo::~CAllGeo() { Release(); }

void CAllGeo::Release() {
  family::Drop(&addBoxFill_);
  family::Drop(&line_);
  family::Drop(&addTorusFill_);
  family::Drop(&addCircleFill_);
  family::Drop(&transTorusFill_);
  family::Drop(&gradationBoxV_);
  family::Drop(&transCircleFill_);
  family::Drop(&transBoxFill_);
  family::Drop(&daikei_);
  family::Drop(&boxFill_);
}

int CAllGeo::BoxFill(int x, int y, int w, int h, int r, int g, int b) {
  if (!boxFill_) return 0;
  boxFill_->Fill(x, y, w, h, r, g, b);
  return 1;
}

int CAllGeo::TransBoxFill(int x, int y, int w, int h, int r, int g, int b, int percent) {
  if (!transBoxFill_) return 0;
  transBoxFill_->Fill(x, y, w, h, r, g, b, percent);
  return 1;
}

int CAllGeo::AddBoxFill(int x, int y, int w, int h, int r, int g, int b, int percent) {
  if (!addBoxFill_) return 0;
  addBoxFill_->Fill(x, y, w, h, r, g, b, percent);
  return 1;
}

int CAllGeo::TransCircleFill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent) {
  if (!transCircleFill_) return 0;
  transCircleFill_->Fill(cx, cy, rx, ry, r, g, b, percent);
  return 1;
}

int CAllGeo::AddCircleFill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent) {
  if (!addCircleFill_) return 0;
  addCircleFill_->Fill(cx, cy, rx, ry, r, g, b, percent);
  return 1;
}

int CAllGeo::TransTorusFill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                            int r, int g, int b, int percent) {
  if (!transTorusFill_) return 0;
  transTorusFill_->Fill(cx, cy, rx, ry, icx, icy, irx, iry, r, g, b, percent);
  return 1;
}

int CAllGeo::AddTorusFill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                          int r, int g, int b, int percent) {
  if (!addTorusFill_) return 0;
  addTorusFill_->Fill(cx, cy, rx, ry, icx, icy, irx, iry, r, g, b, percent);
  return 1;
}

int CAllGeo::Line(int x1, int y1, int x2, int y2, int r, int g, int b, int percent) {
  if (!line_) return 0;
  if (percent == 100) {
    line_->Line(x1, y1, x2, y2, r, g, b);
  } else if (percent > 0) {
    line_->TransLine(x1, y1, x2, y2, r, g, b, percent);
  }
  return 1;
}

int CAllGeo::LineF(float x1, float y1, float x2, float y2, int r, int g, int b, int percent) {
  if (!line_) return 0;
  if (percent > 0) line_->TransLineF(x1, y1, x2, y2, r, g, b, percent);
  return 1;
}
