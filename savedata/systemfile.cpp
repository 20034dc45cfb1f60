#include "savedata/systemfile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/keptaside.h"
#include "savedata/savefolder.h"
#include "setup/text.h"

namespace {

struct Counts {
  int scripts = 64;
  int cgCharas = 20;
  int movieRows = 20;
  int cgLists = 0;
  std::string familyName;
  std::string givenName;
};

Counts& Settings() {
  static Counts counts;
  return counts;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

int32_t Load32(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void Store32(unsigned char* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

// ＭＳ ゴシック
const char kDefaultFontFace[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
const char kErrorCaption[] = "Error";
// システムファイル:%s\sysfile.savが見つかりません
const char kNotFoundMessage[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x74\x83\x40\x83\x43\x83\x8b\x3a%s\\sysfile.sav"
    "\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// システムファイル:%s\sysfile.savがsaveできませんでした
const char kCannotSaveMessage[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x74\x83\x40\x83\x43\x83\x8b\x3a%s\\sysfile.sav"
    "\x82\xaa" "save\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";

// SYSTEM DATA words that are not zero by default, by block offset.
struct DefaultWord {
  int offset;
  int32_t value;
};
constexpr DefaultWord kSystemDefaults[] = {
    {72, 800},  {76, 600},  {80, 16},   {96, 30},   {100, 70},  {104, 60},  {108, 80},
    {112, 60},  {116, 80},  {120, 70},  {124, 80},  {128, 1},   {132, 1},   {136, 2},
    {176, 90},  {180, 90},  {184, 90},  {188, 90},  {192, 1},   {196, 1},   {200, 1},
    {204, 1},   {212, 90},  {216, 1},   {1936, 2},  {1944, 2},
};

constexpr int kFiveBitItems = 72;

// The message with the save folder in it; a reason, when given, on a line
// of its own below.
void ShowBox(const char* format, const char* folder, const std::string& reason = {}) {
  std::string text(std::strlen(format) + std::strlen(folder) + 1, '\0');
  const int n = std::snprintf(text.data(), text.size(), format, folder);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  if (!reason.empty()) text += "\n" + reason;
  platform::MessageBox(nullptr, text.c_str(), kErrorCaption, MB_OK);
}

// システムファイル:%s\sysfile.savが壊れています
const char kDamagedMessage[] =
    "\x83\x56\x83\x58\x83\x65\x83\x80\x83\x74\x83\x40\x83\x43\x83\x8b\x3a%s\\sysfile.sav"
    "\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7";

// Reads at most `max` bytes of a file; false when it cannot be opened.
bool ReadStart(const std::string& path, size_t max, std::string* out) {
  if (platform::IsDirectory(path)) return false;
  FILE* f = platform::FileOpen(path, "rb");
  if (!f) return false;
  platform::ByteReader reader(f, static_cast<int64_t>(max));
  out->assign(static_cast<size_t>(reader.Remaining()), '\0');
  // A file that gives fewer bytes than it holds is read as far as it gives.
  size_t got = 0;
  while (got < out->size() && reader.Read(out->data() + got, 1)) ++got;
  out->resize(got);
  std::fclose(f);
  return true;
}

}  // namespace

CCommonSystemFile::CCommonSystemFile() {
  std::memset(image_, 0, sizeof image_);
  Init();
}

CCommonSystemFile::~CCommonSystemFile() = default;

void CCommonSystemFile::Release() {}

void CCommonSystemFile::Init() {
  const Counts& c = Settings();
  const int s = c.scripts;
  const int sr = s >= 129 ? 256 : s >= 65 ? 128 : s >= 33 ? 64 : s >= 17 ? 32 : s >= 9 ? 16
               : s >= 5 ? 8 : s >= 3 ? 4 : s;
  scriptRows_ = s;
  filmBits_ = 131072 / sr;
  mesBits_ = 262144 / sr;

  const int g = c.cgCharas;
  const int gr = g >= 161 ? 320 : g >= 81 ? 160 : g >= 41 ? 80 : g >= 21 ? 40 : g >= 11 ? 20
               : g >= 6 ? 10 : g >= 3 ? 5 : g;
  cgRows_ = g;
  cgBits_ = gr >= 5 ? 10240 / gr : (gr == 2 ? 4096 : 8192);

  movieRows_ = c.movieRows;
  movieBits_ = (256 / movieRows_) * 32;
}

void CCommonSystemFile::WriteHeaders() {
  for (int k = 0; k < kBlockCount; ++k) {
    unsigned char* h = image_ + kBlocks[k].offset;
    Store32(h, kBlocks[k].size);
    Store32(h + 4, kBlocks[k].id);
    Store32(h + 8, 0);
    Store32(h + 12, 0);
    std::memset(h + 16, ' ', 15);
    std::memcpy(h + 16, kBlocks[k].tag, std::strlen(kBlocks[k].tag));
    h[31] = 0;
  }
}

void CCommonSystemFile::StoreTime(int offset) {
  const platform::LocalTime t = platform::GetLocalTime();
  const int words[8] = {t.year, t.month, t.day, t.weekday, t.hour, t.minute, t.second, t.millisecond};
  for (int i = 0; i < 8; ++i) SetSystemData(offset + 4 * i, words[i]);
}

void CCommonSystemFile::SetDefault() {
  std::memset(image_, 0, sizeof image_);
  WriteHeaders();
  SetBlockWord(kFileInfo, 32, kBlockCount);
  StoreTime(kSaveTimeOffset);
  for (const DefaultWord& d : kSystemDefaults) SetSystemData(d.offset, d.value);
  SetFamilyName(Settings().familyName.c_str());
  SetGivenName(Settings().givenName.c_str());
  SetFontFace(kDefaultFontFace);
}

const char* CCommonSystemFile::SavePath() {
  const std::string folder = GetSaveFolder();
  const std::string file = std::string(baseName_) + ".sav";
  savePath_ = folder.empty() ? file : folder + "\\" + file;
  return savePath_.c_str();
}

// The blocks are read one after another, each as long as its size word says
// (an older, shorter block leaves the rest of its default); tags and ids
// are not compared, and a block count above ten reads the ten. A size word
// outside the format, a block count below one or a file that ends inside a
// block it promises is damage: the reading stops there.
bool CCommonSystemFile::ReadImage(const unsigned char* data, size_t size, std::string* reason) {
  platform::ByteReader reader(data, size);
  bool whole = true;
  for (int k = 0; k < kBlockCount && whole; ++k) {
    const int count = GetBlockWord(kFileInfo, 32);
    if (k == 1 && count < 1) {
      *reason = "the block count is " + std::to_string(count);
      whole = false;
      break;
    }
    if (k > 0 && count < k + 1) break;
    int32_t blockSize = 0;
    if (!reader.I32(&blockSize)) {
      *reason = std::string("the file ends before the ") + kBlocks[k].tag + " block";
      whole = false;
      break;
    }
    if (blockSize < 4 || blockSize > kBlocks[k].size) {
      *reason = std::string("the ") + kBlocks[k].tag + " block has a size of " +
                std::to_string(blockSize);
      whole = false;
      break;
    }
    const size_t wanted = static_cast<size_t>(blockSize) - 4;
    const size_t available = std::min(wanted, static_cast<size_t>(reader.Remaining()));
    reader.Read(image_ + kBlocks[k].offset + 4, available);
    if (available < wanted) {
      *reason = std::string("the file ends inside the ") + kBlocks[k].tag + " block";
      whole = false;
    }
  }
  // The header words are the format's own, whatever the file held; the
  // texts stay terminated.
  WriteHeaders();
  Body(kSystemData)[kFamilyNameOffset - kHeaderSize + kNameSize - 1] = 0;
  Body(kSystemData)[kGivenNameOffset - kHeaderSize + kNameSize - 1] = 0;
  Body(kSystemData)[kFontFaceOffset - kHeaderSize + kFontFaceSize - 1] = 0;
  return whole;
}

int CCommonSystemFile::ReadFile(const std::string& path, std::string* reason) {
  if (!platform::FileExists(path)) return 0;
  std::string bytes;
  if (!ReadStart(path, kFileSize, &bytes)) {
    *reason = platform::IsDirectory(path) ? "it is a folder" : "it cannot be read";
    return -1;
  }
  SetDefault();
  return ReadImage(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), reason) ? 1
                                                                                              : -1;
}

int CCommonSystemFile::Load(int showError) {
  holdSaves_ = false;
  const std::string path = SavePath();
  const std::string org = std::string("sav\\") + baseName_ + ".org";
  std::string reason;
  const int own = ReadFile(path, &reason);
  if (own == 1) return 1;
  if (own == 0) {
    // No file of the player's yet: the one shipped with the game, else the
    // defaults, written at once.
    std::string orgReason;
    const int shipped = ReadFile(org, &orgReason);
    if (shipped == 1) return 1;
    if (shipped == -1)
      platform::ErrorOutput(("the system file " + HostPath(org) + " is damaged: " + orgReason).c_str());
    SetDefault();
    if (showError) ShowBox(kNotFoundMessage, GetSaveFolder());
    Save(0);
    return 0;
  }

  // The player's file is damaged: it is kept aside, never written over, and
  // the shipped file or the defaults take its place.
  std::string aside, error;
  const bool kept = KeepDamagedFile(path, &aside, &error);
  holdSaves_ = !kept;
  std::string line = "the system file " + HostPath(path) + " is damaged: " + reason;
  line += kept ? "; kept as " + HostPath(aside)
               : "; it cannot be kept aside (" + error + ") and is left in place, not written over";
  std::string orgReason;
  const int shipped = ReadFile(org, &orgReason);
  if (shipped == 1) {
    line += "; the settings come from " + HostPath(org);
  } else {
    SetDefault();
    line += "; the settings are the defaults";
    if (shipped == -1) line += " (" + HostPath(org) + " is damaged too: " + orgReason + ")";
  }
  platform::ErrorOutput(line.c_str());
  if (showError) ShowBox(kDamagedMessage, GetSaveFolder());
  // A fresh file now, unless that would replace the damaged one.
  if (kept) Save(0);
  return shipped == 1 ? 1 : 0;
}

int CCommonSystemFile::Save(int showError) {
  if (holdSaves_) {
    platform::ErrorOutput(("the system file " + HostPath(SavePath()) +
                           " is not saved: the damaged file there could not be kept aside")
                              .c_str());
    return 0;
  }
  SetBlockWord(kFileInfo, 32, kBlockCount);
  StoreTime(kSaveTimeOffset);
  SetSystemData(kSaveCounterOffset,
                static_cast<int32_t>(static_cast<uint32_t>(GetSystemData(kSaveCounterOffset)) + 1u));
  WriteHeaders();
  std::string error;
  if (!platform::WriteWholeFile(SavePath(), image_, sizeof image_, &error)) {
    // The line gives the file on this host; the box the file in the save
    // folder and the system's reason. A save the game makes by itself
    // (settings, read marks, unlocks during play) has no caller to tell:
    // the player still sees its first failure of the run.
    platform::ErrorOutput(("the system file " + HostPath(SavePath()) + " cannot be saved: " + error).c_str());
    const bool first = FirstRoutineSaveFailure(RoutineSave::kSystemFile);
    if (showError || first) ShowBox(kCannotSaveMessage, GetSaveFolder(), error);
    return 0;
  }
  return 1;
}

int CCommonSystemFile::GetPosition(int out[2]) {
  out[0] = GetSystemData(kWindowXOffset);
  out[1] = GetSystemData(kWindowYOffset);
  return 1;
}

void CCommonSystemFile::SetPosition(int x, int y) {
  SetSystemData(kWindowXOffset, x);
  SetSystemData(kWindowYOffset, y);
}

int32_t CCommonSystemFile::GetBlockWord(int block, int offset) const {
  if (block < 0 || block >= kBlockCount || offset < 0 || offset % 4 != 0 ||
      offset > kBlocks[block].size - 4)
    return 0;
  return Load32(image_ + kBlocks[block].offset + offset);
}

void CCommonSystemFile::SetBlockWord(int block, int offset, int32_t value) {
  if (block < 0 || block >= kBlockCount || offset < 0 || offset % 4 != 0 ||
      offset > kBlocks[block].size - 4)
    return;
  Store32(image_ + kBlocks[block].offset + offset, value);
}

void CCommonSystemFile::SetText(int offset, int size, const char* text) {
  unsigned char* field = Body(kSystemData) + offset - kHeaderSize;
  std::memset(field, 0, static_cast<size_t>(size));
  // Whole characters only.
  if (text) setup::CopyCp932Cut(reinterpret_cast<char*>(field), text, size - 1);
}

const char* CCommonSystemFile::GetFamilyName() const {
  return reinterpret_cast<const char*>(Body(kSystemData) + kFamilyNameOffset - kHeaderSize);
}
const char* CCommonSystemFile::GetGivenName() const {
  return reinterpret_cast<const char*>(Body(kSystemData) + kGivenNameOffset - kHeaderSize);
}
const char* CCommonSystemFile::GetFontFace() const {
  return reinterpret_cast<const char*>(Body(kSystemData) + kFontFaceOffset - kHeaderSize);
}
void CCommonSystemFile::SetFamilyName(const char* text) { SetText(kFamilyNameOffset, kNameSize, text); }
void CCommonSystemFile::SetGivenName(const char* text) { SetText(kGivenNameOffset, kNameSize, text); }
void CCommonSystemFile::SetFontFace(const char* text) { SetText(kFontFaceOffset, kFontFaceSize, text); }

void CCommonSystemFile::SetBit(int block, int rows, int bitsPerRow, int row, int index) {
  if (row < 0 || row >= rows || index < 0 || index >= bitsPerRow) return;
  const int64_t bit = static_cast<int64_t>(row) * bitsPerRow + index;
  if (bit >= static_cast<int64_t>(kBlocks[block].size - kHeaderSize) * 8) return;
  unsigned char* word = Body(block) + (bit / 32) * 4;
  Store32(word, static_cast<int32_t>(static_cast<uint32_t>(Load32(word)) | (1u << (bit % 32))));
}

int CCommonSystemFile::GetBit(int block, int rows, int bitsPerRow, int row, int index) const {
  if (row < 0 || row >= rows || index < 0 || index >= bitsPerRow) return 0;
  const int64_t bit = static_cast<int64_t>(row) * bitsPerRow + index;
  if (bit >= static_cast<int64_t>(kBlocks[block].size - kHeaderSize) * 8) return 0;
  const uint32_t word = static_cast<uint32_t>(Load32(Body(block) + (bit / 32) * 4));
  return (word >> (bit % 32)) & 1u ? 1 : 0;
}

void CCommonSystemFile::SetCGFlag(int row, int index) { SetBit(kCGFlag, cgRows_, cgBits_, row, index); }
int CCommonSystemFile::GetCGFlag(int row, int index) { return GetBit(kCGFlag, cgRows_, cgBits_, row, index); }
void CCommonSystemFile::SetFilmFlag(int script, int index) {
  SetBit(kFilmFlag, scriptRows_, filmBits_, script, index);
}
int CCommonSystemFile::GetFilmFlag(int script, int index) {
  return GetBit(kFilmFlag, scriptRows_, filmBits_, script, index);
}
void CCommonSystemFile::SetMesFlag(int script, int message) {
  SetBit(kMesFlag, scriptRows_, mesBits_, script, message);
}
int CCommonSystemFile::GetMesFlag(int script, int message) {
  return GetBit(kMesFlag, scriptRows_, mesBits_, script, message);
}
void CCommonSystemFile::SetMovieFlag(int row, int index) {
  SetBit(kMovieFlag, movieRows_, movieBits_, row, index);
}
int CCommonSystemFile::GetMovieFlag(int row, int index) {
  return GetBit(kMovieFlag, movieRows_, movieBits_, row, index);
}

void CCommonSystemFile::SetVoiceFlag(int n) {
  if (n < 0 || n > 255) return;
  unsigned char* word = Body(kVoiceFlag) + n * 4;
  Store32(word, static_cast<int32_t>(static_cast<uint32_t>(Load32(word)) | 1u));
}

int CCommonSystemFile::GetVoiceFlag(int n) {
  if (n < 0 || n > 255) return 0;
  return Load32(Body(kVoiceFlag) + n * 4) != 0 ? 1 : 0;
}

void CCommonSystemFile::AddMusicCount(int n) {
  if (n < 0 || n > 255) return;
  unsigned char* word = Body(kMusicFlag) + n * 4;
  const int32_t count = Load32(word);
  if (count < 9999) Store32(word, count + 1);
}

int CCommonSystemFile::GetMusicFlag(int n) {
  if (n < 0 || n > 255) return 0;
  return Load32(Body(kMusicFlag) + n * 4) > 0 ? 1 : 0;
}

void CCommonSystemFile::SetFiveBitValue(int n, int value) {
  if (n < 0 || n >= kFiveBitItems) return;
  const int offset = kFiveBitOffset + (n / 6) * 4;
  const int shift = (n % 6) * 5;
  const uint32_t mask = 0x1Fu << shift;
  uint32_t word = static_cast<uint32_t>(GetSystemData(offset));
  word = (word & ~mask) | ((static_cast<uint32_t>(value) << shift) & mask);
  SetSystemData(offset, static_cast<int32_t>(word));
}

int CCommonSystemFile::GetFiveBitValue(int n) {
  if (n < 0 || n >= kFiveBitItems) return 0;
  const int offset = kFiveBitOffset + (n / 6) * 4;
  const int shift = (n % 6) * 5;
  const int item = static_cast<int>((static_cast<uint32_t>(GetSystemData(offset)) >> shift) & 0x1Fu);
  return item >= 16 ? item - 32 : item;
}

int CCommonSystemFile::MakeUniqueId(int keepExisting) {
  unsigned char* id = Body(kSystemData) + kUniqueIdOffset - kHeaderSize;
  if (keepExisting && std::any_of(id, id + 16, [](unsigned char b) { return b != 0; })) return 0;
  unsigned char bytes[16];
  if (platform::RandomBytes(bytes, sizeof bytes)) {
    // Shaped like the system's random identifiers: version 4, variant 1
    // (the third field is stored little-endian, so its version nibble is in
    // byte 7).
    bytes[7] = static_cast<unsigned char>((bytes[7] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    std::memcpy(id, bytes, sizeof bytes);
    return 1;
  }
  const platform::LocalTime t = platform::GetLocalTime();
  const int words[8] = {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond, t.weekday};
  for (int i = 0; i < 8; ++i) {
    id[2 * i] = static_cast<unsigned char>(words[i]);
    id[2 * i + 1] = static_cast<unsigned char>(static_cast<uint32_t>(words[i]) >> 8);
  }
  return 1;
}

void CCommonSystemFile::ClearBody(int block) {
  std::memset(Body(block), 0, static_cast<size_t>(kBlocks[block].size - kHeaderSize));
}

void CCommonSystemFile::ClearCGFlags() { ClearBody(kCGFlag); }
void CCommonSystemFile::ClearSceneFlags() { ClearBody(kSceneFlag); }
void CCommonSystemFile::ClearFilmFlags() { ClearBody(kFilmFlag); }
void CCommonSystemFile::ClearMesFlags() { ClearBody(kMesFlag); }
void CCommonSystemFile::ClearVoiceFlags() { ClearBody(kVoiceFlag); }
void CCommonSystemFile::ClearMovieFlags() { ClearBody(kMovieFlag); }
void CCommonSystemFile::ClearMusicFlags() { ClearBody(kMusicFlag); }

void SetScriptCount(int n) { Settings().scripts = Clamp(n, 2, 256); }
int GetScriptCount() { return Settings().scripts; }
void SetCGCharaCount(int n) {
  Settings().cgCharas = Clamp(n, 1, 256);
  SetMovieFlagRows(n);
}
int GetCGCharaCount() { return Settings().cgCharas; }
void SetMovieFlagRows(int n) { Settings().movieRows = Clamp(n, 1, 256); }
int GetMovieFlagRows() { return Settings().movieRows; }
void SetCGListCount(int n) { Settings().cgLists = Clamp(n, 0, 256); }
int GetCGListCount() { return Settings().cgLists; }

void SetDefaultFamilyName(const char* text) {
  if (text && std::strlen(text) < 16) Settings().familyName = text;
}

void SetDefaultGivenName(const char* text) {
  if (text && std::strlen(text) < 16) Settings().givenName = text;
}

void ResetSystemFileSettings() { Settings() = Counts(); }
