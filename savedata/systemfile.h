// CCommonSystemFile: what outlives one play-through (options, window
// placement, names, seen and read flags, system words, an installation
// identifier). Its image is "sysfile.sav" in the save folder: ten tagged
// blocks of fixed size, back to back, little-endian 32-bit words. The object
// keeps the same ten block images in memory, in file order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CCommonSystemFile {
 public:
  enum Block {
    kFileInfo,
    kSystemData,
    kMesFlag,
    kSystemVar,
    kCGFlag,
    kSceneFlag,
    kFilmFlag,
    kVoiceFlag,
    kMovieFlag,
    kMusicFlag,
    kBlockCount
  };
  struct BlockInfo {
    const char* tag;
    int id;
    int size;    // header included
    int offset;  // in the file and in the image
  };
  static constexpr BlockInfo kBlocks[kBlockCount] = {
      {"FILE INFO", 0, 64, 0},      {"SYSTEM DATA", 1, 2048, 64},  {"MES FLAG", 5, 32800, 2112},
      {"SYSTEMVAR", 6, 544, 34912}, {"CGFLAG", 7, 1312, 35456},    {"SCENEFLAG", 8, 2080, 36768},
      {"FILMFLAG", 9, 16416, 38848}, {"VOICEFLAG", 10, 1056, 55264}, {"MOVIEFLAG", 11, 1056, 56320},
      {"MUSICFLAG", 12, 1056, 57376},
  };
  static constexpr int kHeaderSize = 32;
  static constexpr int kFileSize = 58432;

  // SYSTEM DATA fields the application and the window use (block offsets).
  static constexpr int kSaveTimeOffset = 32;
  static constexpr int kWindowXOffset = 64;
  static constexpr int kWindowYOffset = 68;
  static constexpr int kFullScreenOffset = 84;
  static constexpr int kSaveCounterOffset = 92;
  // The movie mode's cursor option: the system's arrow over a movie.
  static constexpr int kMovieCursorOffset = 172;
  static constexpr int kFamilyNameOffset = 224;
  static constexpr int kGivenNameOffset = 240;
  static constexpr int kNameSize = 16;
  static constexpr int kFontFaceOffset = 256;
  static constexpr int kFontFaceSize = 256;
  static constexpr int kUniqueIdOffset = 1392;
  static constexpr int kFiveBitOffset = 1424;
  static constexpr int kVoiceOffOffset = 1536;
  static constexpr int kLastSlotOffset = 1956;

  CCommonSystemFile();
  virtual ~CCommonSystemFile();
  CCommonSystemFile(const CCommonSystemFile&) = delete;
  CCommonSystemFile& operator=(const CCommonSystemFile&) = delete;

  virtual void Release();
  // 1 when a file was read; 0 when none was found (the defaults are then
  // written, after a box when showError). A "sysfile.sav" that is damaged
  // or cannot be read is said so on stderr (and in a box when showError),
  // moved aside to "sysfile.sav.bad" (or the next free numbered copy,
  // keptaside.h), and replaced by the shipped
  // "sav\\sysfile.org" when that one reads (1), else by the defaults (0).
  virtual int Load(int showError);
  // 1 when written; 0 when the file could not be written (the old file
  // stays as it was; a box when showError), or when a damaged file that
  // could not be kept aside is still in its place (stderr).
  virtual int Save(int showError);
  // Window position (x, y); always 1.
  virtual int GetPosition(int out[2]);
  virtual void SetCGFlag(int row, int index);
  virtual int GetCGFlag(int row, int index);
  virtual void SetFilmFlag(int script, int index);
  virtual int GetFilmFlag(int script, int index);
  virtual void SetMesFlag(int script, int message);
  virtual int GetMesFlag(int script, int message);
  virtual void SetMovieFlag(int row, int index);
  virtual int GetMovieFlag(int row, int index);
  virtual void SetVoiceFlag(int n);
  virtual int GetVoiceFlag(int n);
  virtual void AddMusicCount(int n);
  virtual int GetMusicFlag(int n);
  virtual void SetFiveBitValue(int n, int value);
  virtual int GetFiveBitValue(int n);
  // 0 without change when keepExisting and an identifier is there, else 1.
  virtual int MakeUniqueId(int keepExisting);
  // Table geometry from the process-wide counts below.
  virtual void Init();
  virtual void SetDefault();

  void ClearCGFlags();
  void ClearSceneFlags();
  void ClearFilmFlags();
  void ClearMesFlags();
  void ClearVoiceFlags();
  void ClearMovieFlags();
  void ClearMusicFlags();

  // Words of a block by block offset (header included); 0 / ignored outside
  // the block or off a 4-byte boundary.
  int32_t GetBlockWord(int block, int offset) const;
  void SetBlockWord(int block, int offset, int32_t value);
  int32_t GetSystemData(int offset) const { return GetBlockWord(kSystemData, offset); }
  void SetSystemData(int offset, int32_t value) { SetBlockWord(kSystemData, offset, value); }
  void SetPosition(int x, int y);
  // The text fields of SYSTEM DATA, always NUL-terminated; a longer text is
  // cut to the field.
  const char* GetFamilyName() const;
  const char* GetGivenName() const;
  const char* GetFontFace() const;
  void SetFamilyName(const char* text);
  void SetGivenName(const char* text);
  void SetFontFace(const char* text);

  // The whole image, kFileSize bytes in file order.
  const unsigned char* GetImage() const { return image_; }

  // Table geometry.
  int GetScriptRows() const { return scriptRows_; }
  int GetFilmBitsPerRow() const { return filmBits_; }
  int GetMesBitsPerRow() const { return mesBits_; }
  int GetCGRows() const { return cgRows_; }
  int GetCGBitsPerRow() const { return cgBits_; }
  int GetMovieRows() const { return movieRows_; }
  int GetMovieBitsPerRow() const { return movieBits_; }

 private:
  unsigned char* Body(int block) { return image_ + kBlocks[block].offset + kHeaderSize; }
  const unsigned char* Body(int block) const { return image_ + kBlocks[block].offset + kHeaderSize; }
  void WriteHeaders();
  void SetText(int offset, int size, const char* text);
  void ClearBody(int block);
  void SetBit(int block, int rows, int bitsPerRow, int row, int index);
  int GetBit(int block, int rows, int bitsPerRow, int row, int index) const;
  void StoreTime(int offset);
  // "<save folder>\\sysfile.sav".
  const char* SavePath();
  // Reads the blocks into the image; false with the reason when the bytes
  // are not a system file (the image then holds part of them).
  bool ReadImage(const unsigned char* data, size_t size, std::string* reason);
  // Reads a file into the image: 1 read, 0 missing, -1 damaged or
  // unreadable (with the reason).
  int ReadFile(const std::string& path, std::string* reason);

  unsigned char image_[kFileSize];
  const char* baseName_ = "sysfile";
  std::string savePath_;
  // A damaged file that could not be kept aside is not written over.
  bool holdSaves_ = false;
  int scriptRows_ = 0, filmBits_ = 0, mesBits_ = 0;
  int cgRows_ = 0, cgBits_ = 0;
  int movieRows_ = 0, movieBits_ = 0;
};

// Counts that size the flag tables, set before the system file is made (or
// followed by its Init).
void SetScriptCount(int n);         // clamped to 2..256; default 64
int GetScriptCount();
void SetCGCharaCount(int n);        // clamped to 1..256, also the movie rows; default 20
int GetCGCharaCount();
void SetMovieFlagRows(int n);       // clamped to 1..256; default 20
int GetMovieFlagRows();
void SetCGListCount(int n);         // raw count of picture lists, 0..256
int GetCGListCount();
// Names the defaults give the player; a text of 16 bytes or more is ignored.
void SetDefaultFamilyName(const char* text);
void SetDefaultGivenName(const char* text);
// Back to the start-up values (tests).
void ResetSystemFileSettings();
