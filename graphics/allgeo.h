// CAllGeo: owns one object of every geometry filler and reaches them through
// static entries, so callers never hold a filler. Made by the screen buffer
// after its span table exists.
#pragma once

class CBoxFill;
class CDaikei;
class CTransBoxFill;
class CTransCircleFill;
class CTransGradationBoxV;
class CTransTorusFill;
class CAddCircleFill;
class CAddTorusFill;
class CLine;
class CAddBoxFill;

class CAllGeo {
 public:
  CAllGeo();
  virtual ~CAllGeo();
  CAllGeo(const CAllGeo&) = delete;
  CAllGeo& operator=(const CAllGeo&) = delete;
  void Release();

  // Each entry draws and gives 1, or does nothing and gives 0 when its
  // filler does not exist.
  static int BoxFill(int x, int y, int w, int h, int r, int g, int b);
  static int TransBoxFill(int x, int y, int w, int h, int r, int g, int b, int percent);
  static int AddBoxFill(int x, int y, int w, int h, int r, int g, int b, int percent);
  static int TransCircleFill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent);
  static int AddCircleFill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent);
  static int TransTorusFill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                            int r, int g, int b, int percent);
  static int AddTorusFill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                          int r, int g, int b, int percent);
  // percent 100 opaque, other positive values blended, 0 or less nothing.
  static int Line(int x1, int y1, int x2, int y2, int r, int g, int b, int percent);
  // Always blended; 0 or less draws nothing.
  static int LineF(float x1, float y1, float x2, float y2, int r, int g, int b, int percent);

  // The trapezoid and the gradient have no entry; they are used through
  // their objects.
  static CDaikei* GetDaikei() { return daikei_; }
  static CTransGradationBoxV* GetTransGradationBoxV() { return gradationBoxV_; }

 private:
  static CBoxFill* boxFill_;
  static CDaikei* daikei_;
  static CTransBoxFill* transBoxFill_;
  static CTransCircleFill* transCircleFill_;
  static CTransGradationBoxV* gradationBoxV_;
  static CTransTorusFill* transTorusFill_;
  static CAddCircleFill* addCircleFill_;
  static CAddTorusFill* addTorusFill_;
  static CLine* line_;
  static CAddBoxFill* addBoxFill_;
};
