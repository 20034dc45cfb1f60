// Small looping picture animations of a screen. CAnimePart plays frames of
// one size laid out in a grid (left to right, then the next row) with an
// animation type 1-8 (widget/anime.h); CVarAnimePart is the same animation
// bound to a game variable: value v plays the v-th block of pattern-count
// frames, value 0 or less hides it, and a change restarts it. Both read
// their keys from a settings list under a prefix.
#pragma once

#include <cstdint>

#include "platform/types.h"

class CNameList;
class CPicture;

namespace animepart {

// The keys both parts share.
struct Setup {
  const char* fileName = "ta_anime";
  int pattern = 1, speed = 1, type = 1;
  int sizeX = 16, sizeY = 16;
  int printX = 0, printY = 0;
  void Read(const CNameList* list, const char* prefix);
};

}  // namespace animepart

class CAnimePart {
 public:
  // Reads "filename<prefix>", "<prefix>Pattern", "Speed", "Type", "SizeX",
  // "SizeY", "PrintX", "PrintY"; with loadPicture loads "sys\\<file name>"
  // into a picture of its own.
  CAnimePart(const char* prefix, CNameList* list, int loadPicture);
  virtual ~CAnimePart();
  CAnimePart(const CAnimePart&) = delete;
  CAnimePart& operator=(const CAnimePart&) = delete;
  virtual void Release();

  // Frames per row := picture width / SizeX (at least 1).
  void SetPicture(CPicture* picture);
  CPicture* GetPicture() const { return picture_; }
  const char* GetFilename() const { return setup_.fileName; }
  void Init() { counter_ = 0; }
  // counter + step, wrapped (clamped at the end for the stopping types).
  void Calcu(int step = 1);
  void Print();
  void Print(int dx, int dy);
  // Draws the frame of the counter; does not advance.
  void PrintAt(int x, int y);

  int64_t GetCounter() const { return counter_; }
  int64_t GetLength() const { return length_; }
  int IsStopType() const { return stop_; }
  // The source of frame i in the picture; false when it lies outside.
  bool FrameSource(int64_t i, platform::Point* out) const;

 private:
  animepart::Setup setup_;
  int64_t counter_ = 0;
  int64_t length_ = 1;
  int stop_ = 0;
  int perRow_ = 1;
  CPicture* picture_ = nullptr;
  CPicture* ownPicture_ = nullptr;
  CNameList* list_;
};

class CVarAnimePart {
 public:
  // The keys of CAnimePart and "<prefix>VarName". The area is restored from
  // the back picture unless "mustAllPrint" or "backScriptFlag" is set in
  // the list.
  CVarAnimePart(CNameList* list, const char* prefix, CPicture* backPicture);
  virtual ~CVarAnimePart();
  CVarAnimePart(const CVarAnimePart&) = delete;
  CVarAnimePart& operator=(const CVarAnimePart&) = delete;
  // Both pictures are borrowed: frees nothing.
  virtual void Release() {}

  void SetPicture(CPicture* picture);
  CPicture* GetPicture() const { return picture_; }
  const char* GetFilename() const { return setup_.fileName; }
  // The variable's name, null without one; its number is the owner's.
  const char* GetVarName() const { return varName_; }
  void SetVarNumber(int n) { varNumber_ = n; }
  int GetVarNumber() const { return varNumber_; }
  int GetRestoreFlag() const { return restore_; }

  // Current value -1, counter 0.
  void Init();
  void Print(int value, int noRestore);
  // Draws the value's frame and advances one tick; a new value restarts.
  void PrintAt(int x, int y, int value, int noRestore);

  int64_t GetCounter() const { return counter_; }
  int GetValue() const { return value_; }

 private:
  animepart::Setup setup_;
  int64_t counter_ = 0;
  int64_t length_ = 1;
  int value_ = -1;
  CPicture* back_;
  CPicture* picture_ = nullptr;
  int restore_ = 0;
  int perRow_ = 1;
  int varNumber_ = -1;
  const char* varName_ = nullptr;
  CNameList* list_;
};
