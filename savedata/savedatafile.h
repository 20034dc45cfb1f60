// CCommonDataFile: one save slot, the file "<save folder>\\data<slot>.sav".
//
// The file is tagged chunks back to back, each with a 32-byte header (size
// including the header, type, two zero words, a 16-byte name):
//   0 the game's header name, 1 "INFO", 2 "GAMESTATUS", 3 "MINICG",
//   4 "GAMEVAR", 5 "EFFECT", 6 "EFFECTFILENAME", 7 "MESSAGE",
//   8 "OMAKECLASS" (only with the keyed flag table), 9 "CUTIN" (only when
//   the game uses cut-ins), then 100 + i "EXT<i + 1>" for each EXT chunk.
// The bodies come from the game object's save services; this object frames
// them, writes the file whole and reads it back.
//
// A save goes through the whole-file writer: a failed or interrupted save
// leaves the slot's previous file as it was. On reading, the whole file is
// checked before anything is used (header name, INFO counts, each chunk's
// type and size within the file, the game status the game is asked to
// accept); a slot that fails any check peeks as having no data and does not
// load, and the running game is left untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CGameCallBack;

class CCommonDataFile {
 public:
  static constexpr int kHeaderSize = 32;
  static constexpr int kInfoSize = 64;
  static constexpr int kGameStatusSize = 7088;
  static constexpr int kGameVarSize = 4128;
  static constexpr int kEffectSize = 16416;
  static constexpr int kEffectFileNameSize = 4128;
  static constexpr int kMessageSize = 16416;
  static constexpr int kOmakeClassSize = 12832;
  static constexpr int kCutinSize = 1056;
  static constexpr int kMiniCGBody = 48;
  static constexpr int kExtType = 100;
  // More EXT chunks or a larger body than this is not a slot of ours.
  static constexpr int kMaxExtCount = 1024;
  static constexpr int kMaxExtSize = 16 << 20;
  static constexpr int kMaxMiniCGSide = 4096;
  // GAMESTATUS words this object reads.
  static constexpr int kSavedModeOffset = 80;
  static constexpr int kCounterOffset = 84;
  static constexpr int kScriptCountOffset = 96;
  static constexpr int kStatusTextOffset = 6064;
  static constexpr int kStatusTextSize = 256;

  // Takes from the game the EXT count and sizes, the version, the
  // OMAKECLASS and CUTIN switches and the thumbnail size.
  explicit CCommonDataFile(CGameCallBack* game);
  virtual ~CCommonDataFile();
  CCommonDataFile(const CCommonDataFile&) = delete;
  CCommonDataFile& operator=(const CCommonDataFile&) = delete;

  // After the game filled a GAMESTATUS record (kGameStatusSize bytes): the
  // local time, the save counter one up, and the chunk header.
  static void StampGameStatus(uint8_t* status);

  virtual void Release();
  // 0 when written, -1 when the file could not be written (the previous
  // file of the slot is then unchanged).
  virtual int Save(int slot);
  // The saved mode, or -1 (missing or refused file; nothing restored).
  virtual int Load(int slot);
  // 1 when the slot holds a sound file, else 0; remembers the slot.
  virtual int Peek(int slot);
  virtual int HasData();
  virtual int GetSavedMode();
  // Status line 1, 2 or 3 for type 1, 2, 3; line 0 for any other type.
  virtual const char* GetStatusText(int type);
  // -1 saved by a newer program, 0 loadable, 1 loadable from an older
  // minor version, 2 too old to load.
  virtual int CheckVersion();
  virtual int IsLoadable();
  virtual void SetExtSize(int i, int size);

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
  void Refuse(int slot, const std::string& reason);
  // The checked file's thumbnail into this object's.
  void TakeThumbnail(const Slot& file);

  CGameCallBack* game_;
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
  std::string refusal_;
  char statusText_[kStatusTextSize] = {};
};
