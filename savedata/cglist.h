// CCGList: the picture gallery's lists, one per character, "spt\\cglist01.xtx"
// onwards. Each token is one picture entry: an optional '@' (a variation of
// the entry before), an optional '!', an optional bracketed attribute prefix,
// then the picture name. Seen state comes from the system file's CGFLAG bits.
//
// Attribute prefix: the arrows ↑ ↓ ← → (CP932 double-byte) set the vertical
// (↑ 0, ↓ 1) or horizontal (← 0, → 1) value and the direction the following
// numbers belong to; a number is a count, or after ':' a colon value, or after
// '_' an underscore value. A number before any arrow is dropped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "setup/namelist.h"

class CCommonSystemFile;

// Name of picture list n (1..256) as the start-up counts them:
// "spt\\cglist01.xtx" .. "spt\\cglist99.xtx", then "spt\\cglistA0.xtx" for
// 100, "spt\\cglistB0.xtx" for 110, up to "spt\\cglistP6.xtx" for 256.
std::string CGListFileName(int n);

class CCGList {
 public:
  static constexpr int kMaxLists = 256;

  enum Attribute {
    kHorizontal,  // ← 0, → 1
    kVertical,    // ↑ 0, ↓ 1
    kHorizontalCount,
    kVerticalCount,
    kHorizontalColon,
    kVerticalColon,
    kHorizontalUnderscore,
    kVerticalUnderscore,
  };

  // Not owned. Loads the lists counted at start-up, when there are any.
  explicit CCGList(CCommonSystemFile* systemFile);
  virtual ~CCGList();
  CCGList(const CCGList&) = delete;
  CCGList& operator=(const CCGList&) = delete;

  // Reads lists 1..n (n up to 256); only the first call does anything.
  void Load(int n);

  int GetCharaCount() const { return static_cast<int>(lists_.size()); }
  int GetCGCount(int c) const;  // 0 out of range
  // Entry i of character c (null out of range). With strip, a leading '@',
  // then '!', then a bracketed prefix are skipped, leaving the picture name.
  const char* GetCGName(int c, int i, int strip) const;
  // A value of the entry's prefix by type (Attribute); other types give 1.
  int GetCGAttribute(int type, int c, int i) const;

  int IsCGSeen(int c, int i) const;
  // seen * 100 / total, but at least 1 when any picture is seen.
  int GetSeenPercent(int c) const;
  int GetTotalSeenPercent() const;
  // The next / previous seen picture of the current character, going round
  // at most once; it becomes current. Without one the current stays.
  int NextSeenCG();
  int PrevSeenCG();

  CCGList* SetCurrentChara(int c);
  CCGList* SetCurrentCG(int i);
  int GetCurrentChara() const { return chara_; }
  int GetCurrentCG() const { return cg_; }

  // The text of an entry without its '@', '!' and prefix.
  static const char* StripPrefix(const char* entry);
  // Attribute `type` of an entry's prefix (after its '@' and '!').
  static int ParseAttribute(const char* entry, int type);

 private:
  int StepToSeen(int step);

  CCommonSystemFile* systemFile_;
  std::vector<std::unique_ptr<CNameList>> lists_;
  bool loaded_ = false;
  int chara_ = 0;
  int cg_ = 0;
};
