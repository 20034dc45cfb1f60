// CCommonDataFile: one save slot, the file "<save folder>\\data<slot>.sav".
//
// The file is tagged chunks back to back, each with a 32-byte header (size
// including the header, type, two zero words, a 16-byte name), in the
// order and with the types of savechunk::Type (savedata/savechunk.h): the
// game's header name, "INFO", "GAMESTATUS", "MINICG", "GAMEVAR", "EFFECT",
// "EFFECTFILENAME", "MESSAGE", "OMAKECLASS" (only with the keyed flag
// table), "CUTIN" (only when the game uses cut-ins), then "EXT<i + 1>" for
// each EXT chunk.
// The bodies come from the game object's save services; this object frames
// them, writes the file whole and reads it back.
//
// A save goes through the whole-file writer: a failed or interrupted save
// leaves the slot's previous file as it was. On reading, the chunks are
// read one by one and the whole file is checked before anything is used
// (header name, INFO counts, each chunk's type, and its size within the
// file and within the format: a fixed chunk its own size, the thumbnail
// its width times height, an EXT body at most kMaxExtSize; nothing may
// follow the last chunk; the game status the game is asked to accept), so
// a file grown by any length costs no more than the chunks it should
// hold; a slot that fails any check peeks as having no data but as
// damaged (the reason on stderr), does not load, and the running game is
// left untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "savedata/datafilesetup.h"
#include "savedata/gamestatus.h"
#include "savedata/savechunk.h"
#include "services/gameroles.h"

class CSaveServices;
class CScreenServices;
class CTextServices;
class CPicture;

// The frame of a slot cursor animation: the cell shown, the cell faded
// into and the weight of the first in percent.
struct SlotCursorFrame {
  int pattern = 0, next = 0, blend = 100;
};

class CCommonDataFile {
 public:
  static constexpr int kHeaderSize = savechunk::kHeaderSize;
  static constexpr int kInfoSize = 64;
  static constexpr int kGameStatusSize = 7088;
  static constexpr int kGameVarSize = 4128;
  static constexpr int kEffectSize = 16416;
  static constexpr int kEffectFileNameSize = 4128;
  static constexpr int kMessageSize = 16416;
  static constexpr int kOmakeClassSize = 12832;
  static constexpr int kCutinSize = 1056;
  static constexpr int kMiniCGBody = 48;
  // More EXT chunks or a larger body than this is not a slot of ours.
  static constexpr int kMaxExtCount = 1024;
  static constexpr int kMaxExtSize = 16 << 20;
  static constexpr int kMaxMiniCGSide = 4096;
  // GAMESTATUS words this object reads.
  static constexpr int kSavedModeOffset = 4 * gamestatus::kReturnMode;
  static constexpr int kCounterOffset = 4 * gamestatus::kSaveCounter;
  static constexpr int kScriptCountOffset = 4 * gamestatus::kScriptLevel;
  static constexpr int kStatusTextOffset = gamestatus::kCommentOffset;
  static constexpr int kStatusTextSize = gamestatus::kCommentSize;

  // Takes from the game the EXT count and sizes, the version, the
  // OMAKECLASS and CUTIN switches and the thumbnail size.
  explicit CCommonDataFile(const GameRoles& game);
  // A slot display of the load and save screens at (x, y): also copies the
  // game's save-slot layout (its defaults when the game has none) and
  // borrows the screen's back picture (may be null).
  CCommonDataFile(const GameRoles& game, int x, int y, CPicture* backPicture);
  virtual ~CCommonDataFile();
  CCommonDataFile(const CCommonDataFile&) = delete;
  CCommonDataFile& operator=(const CCommonDataFile&) = delete;

  // After the game filled a GAMESTATUS record (kGameStatusSize bytes): the
  // local time, the save counter one up, and the chunk header.
  static void StampGameStatus(uint8_t* status);

  virtual void Release();
  // 0 when written, -1 when the file could not be written: the player is
  // told in a box naming the file, stderr has the system's reason, and the
  // previous file of the slot is unchanged.
  virtual int Save(int slot);
  // The saved mode, or -1 (missing or refused file; nothing restored).
  virtual int Load(int slot);
  // 1 when the slot holds a sound file, else 0; remembers the slot.
  virtual int Peek(int slot);
  // The save folder's file names, read once for a screen that peeks at
  // many slots. An empty listing (the folder missing or unreadable) settles
  // nothing: each slot is then looked at by its path.
  using FolderListing = std::vector<std::string>;
  static FolderListing ListSaveFolder();
  // Peek, except that a slot whose file the listing does not name is
  // settled as empty without a look at its path.
  int Peek(int slot, const FolderListing& listing);
  virtual int HasData();
  // 1 when the last Peek found a file in the slot that cannot be used
  // (damaged, unreadable or another game's): the slot is not empty, and
  // shows the layout's bad mark, or kDamagedText where the layout has no
  // bad-mark picture.
  int IsDamaged() const { return damaged_; }
  // データが壊れています ("the data is damaged"), CP932.
  static constexpr char kDamagedText[] =
      "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
  // 1 when the last Peek found a file in the slot, usable or not.
  int HoldsFile() { return HasData() || damaged_ ? 1 : 0; }
  virtual int GetSavedMode();
  // Status line 1, 2 or 3 for type 1, 2, 3; line 0 for any other type.
  virtual const char* GetStatusText(int type);
  // -1 saved by a newer program, 0 loadable, 1 loadable from an older
  // minor version, 2 too old to load.
  virtual int CheckVersion();
  virtual int IsLoadable();
  virtual void SetExtSize(int i, int size);

  // --- The slot display (savedatafile_print.cpp) ---
  // Draws the slot and adds its area to the update rectangles. cursorState
  // 0 none, 1 save cursor, 2 load cursor, 3 overwrite cursor; mode the
  // blink value (0 none); slotLabel the number of the "number" printer
  // (drawn when >= 0); loadOrSave non-zero on the save screen; lastSaved > 0
  // draws the last-saved animation.
  virtual void Print(int cursorState, int mode, int slotLabel, int loadOrSave, int lastSaved);
  // 1 when (x, y) lies in the slot's area.
  virtual int HitTest(int x, int y);
  // The six cursor counters back to 0.
  virtual void ResetAnime();
  // Cursor animation i (0..2 save, load, overwrite; 3..5 the same while
  // blinking): one step, and its frame.
  void AdvanceAnime(int i);
  SlotCursorFrame CalcuAnimeFrame(int i) const;
  int64_t GetAnimeCounter(int i) const { return i >= 0 && i < kAnimeCount ? anime_[i] : 0; }
  // The game's quick-load and quick-save switches, handed in by the screen.
  void SetQuickEnable(int load, int save) {
    quickLoadEnable_ = load;
    quickSaveEnable_ = save;
  }
  int GetPrintX() const { return x_; }
  int GetPrintY() const { return y_; }
  const SlotLayoutValues& GetLayout() const { return layout_; }

  // The cursor rules: with n patterns and speed s (at least 1) a pass is n
  // steps, 2n - 2 for the back-and-forth types; the once types stop at its
  // end, the others wrap; nothing moves with n <= 1.
  static int64_t StepCursor(const SlotCursorAnime& anime, int64_t counter);
  static SlotCursorFrame CursorFrame(const SlotCursorAnime& anime, int64_t counter);

  // What the last Peek read.
  int GetPeekedSlot() const { return slot_; }
  const uint8_t* GetPeekedStatus() const { return status_; }
  const uint8_t* GetPeekedInfo() const { return info_; }
  const uint8_t* GetPeekedGameVar() const { return gameVar_; }
  int GetFileVersion() const;
  // The slot's thumbnail (0x00RRGGBB, rows top-down) and its size.
  const std::vector<uint32_t>& GetThumbnail() const { return thumbnail_; }
  int GetThumbnailWidth() const { return thumbnailWidth_; }
  int GetThumbnailHeight() const { return thumbnailHeight_; }
  // Why the last Peek or Load refused the slot (empty when it did not).
  const std::string& GetRefusal() const { return refusal_; }

  // "<save folder>\\data<slot>.sav".
  static std::string SlotPath(int slot);
  // The version word a program of high.middle.low writes.
  static int VersionWord(int high, int middle, int low) { return high << 16 | middle << 8 | low; }
  // -1, 0, 1 or 2 for a file of version `file` read by a program of
  // version `program`, the file saved in `savedMode` with `scripts` nested
  // scripts running.
  static int CompareVersions(int file, int program, int savedMode, int scripts);

  struct Chunk {
    size_t offset;  // of the header within the file
    size_t size;    // header included
  };
  // A checked slot file: the chunks in the writing order (EXT chunks last).
  struct Slot {
    std::vector<uint8_t> bytes;
    Chunk header, info, status, miniCG, gameVar, effect, effectFileName, message;
    Chunk omakeClass{0, 0}, cutin{0, 0};
    std::vector<Chunk> ext;
    int width = 0, height = 0;
  };
  // Reads and checks the slot file; false with the reason when it is
  // missing, damaged or foreign.
  bool ReadSlot(int slot, Slot* out, std::string* reason) const;

 private:
  bool ReadChunks(FILE* file, Slot* out, std::string* reason) const;
  void Refuse(int slot, const std::string& reason);
  // The state of a peek that found no usable file, for the reason given.
  void PeekEmpty(int slot, const std::string& reason);
  // The checked file's thumbnail into this object's.
  void TakeThumbnail(const Slot& file);

  // The save chunks, the screen the slot is drawn on and its text printer
  // (null: none).
  CSaveServices* saves_;
  CScreenServices* screen_;
  CTextServices* text_;
  uint8_t status_[kGameStatusSize] = {};
  uint8_t info_[kInfoSize] = {};
  uint8_t gameVar_[kGameVarSize] = {};
  int slot_ = -1;
  int version_ = 0;
  std::vector<int> extSizes_;
  int omakeClass_ = 0, cutin_ = 0;
  int miniCGWidth_ = 0, miniCGHeight_ = 0;
  std::vector<uint32_t> thumbnail_;
  int thumbnailWidth_ = 0, thumbnailHeight_ = 0;
  int hasData_ = 0;
  int damaged_ = 0;
  std::string refusal_;
  char statusText_[kStatusTextSize] = {};

  // The display.
  static constexpr int kAnimeCount = 6;
  static constexpr int kCommentOffset = gamestatus::kStatusExtraOffset;
  static constexpr int kCommentSize = gamestatus::kStatusExtraRoom + 2;
  static constexpr int kSpecialNumberOffset = 4 * gamestatus::kSpecialNumber;
  static constexpr int kSaveTimeOffset = 4 * gamestatus::kSaveTime;
  const SlotCursorAnime& CursorAnime(int i) const;
  void PrintThumbnail(int x, int y);
  void PrintSaveTime(int x, int y);
  void PrintGameDate(int x, int y);
  void PrintExtraPicture(int x, int y, int special);
  void PrintTexts(int x, int y);
  void PrintMark(int x, int y);
  void PrintDamagedLine(int x, int y);
  void PrintCursor(int x, int y, int cursorState, int mode);
  int x_ = 0, y_ = 0;
  CPicture* back_ = nullptr;
  const CDataFileSetup* setup_ = nullptr;
  SlotLayoutValues layout_;
  int64_t anime_[kAnimeCount] = {};
  int quickLoadEnable_ = 0, quickSaveEnable_ = 0;
  int yearVar_ = -1, dateVar_ = -1;
  // The peeked thumbnail as a picture, made again after each Peek.
  std::unique_ptr<CPicture> thumbnailPicture_;
  bool thumbnailStale_ = true;
};
