// Pack volumes: when the pack level n is above 0, a picture whose name one
// of the volume prefixes serves is looked up in the indexes of volumes
// n - 1 down to 0 and read from the first data file that lists it; any
// other picture, or one no index lists, is read as a plain file. The indexes
// are read once when the picture loader starts (graphics/pictureloader.h)
// and kept until it is released. Layout: graphics/packformat.h.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// One index (".gtb") in memory, checked when it is read.
class DwqPackIndex {
 public:
  // Null when the counts and offsets do not fit the bytes: a negative count,
  // tables longer than the file, a name offset outside the names area or
  // without its NUL, a data offset that is negative, smaller than the one
  // before it or (volumeSize >= 0) beyond the data file.
  // With `why`, a refusal says there what is wrong.
  static std::unique_ptr<DwqPackIndex> Parse(std::string bytes, int64_t volumeSize,
                                             std::string* why = nullptr);

  int GetCount() const { return count_; }
  const char* GetName(int i) const;
  int32_t GetDataOffset(int i) const;
  // The entry whose name equals key byte for byte, or -1: a binary search
  // over the names in their stored order.
  int Find(const char* key) const;

 private:
  std::string block_;
  int count_ = 0;
};

// The pack level the game sets before the loader starts. Until it is set,
// the loader's start reads "dwqPackLevel" from the settings list "game"
// (0 when the list or the key is missing).
void SetDwqPackLevel(int level);
// The level the indexes were read for (0 while packs are off).
int GetDwqPackLevel();

// Reads the indexes when the level is above 0 and they are not read yet. A
// missing index is skipped; so is a broken one, with a debug line.
void LoadPackVolumes();
void ReleasePackVolumes();
// Tests: releases the indexes and forgets the level that was set.
void ResetPackVolumes();

// The volume prefix entry that serves a picture name, or -1.
int PackPrefixFor(const char* name);

// The first volume the pack level leaves unread (volume n needs level
// n + 1) whose index in the game folder lists the picture: its name, such
// as "bg0", or "" when none does. Read from disk on each call, for the
// lines that tell why a picture is missing.
std::string UnreadVolumeListing(const char* name);
// "; the pack bg0 lists it, but dwqPackLevel is 0 (dwqPackLevel,1 in the
// list game reads it)" for such a volume; "" when there is none.
std::string UnreadVolumeNote(const char* name);

// The data file of the picture's pack entry, positioned at the entry's
// start, with *bytesLeft set to the entry's size (the last entry of a volume
// runs to the end of the file). Null when packs are off, no prefix serves
// the name, no index lists it, or its data file cannot be opened or does
// not hold the entry: the picture is then read as a plain file.
FILE* OpenPackEntry(const char* name, int* bytesLeft);
