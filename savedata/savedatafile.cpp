#include "savedata/savedatafile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/bytereader.h"
#include "platform/bytes.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/system.h"
#include "platform/types.h"
#include "graphics/picture.h"
#include "modebase/modenumbers.h"
#include "savedata/savechunk.h"
#include "savedata/savefolder.h"
#include "services/saveservices.h"
#include "setup/text.h"

namespace {

// The reason ReadSlot gives for a slot without a file.
constexpr char kNoFile[] = "no file";

constexpr size_t kNameOffset = 16;
constexpr size_t kNameRoom = 15;
// Every slot holds the chunks from the header through MESSAGE.
constexpr int kFixedChunks = savechunk::kOmakeClass;

// セーブデータ:%s\data%d.savがsaveできませんでした
const char kCannotSaveMessage[] =
    "\x83\x5a\x81\x5b\x83\x75\x83\x66\x81\x5b\x83\x5e:%s\\data%d.sav\x82\xaa"
    "save\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd";

int32_t WordAt(const uint8_t* p) { return static_cast<int32_t>(platform::GetLE32(p)); }
void PutWordAt(uint8_t* p, int32_t v) { platform::SetLE32(p, static_cast<uint32_t>(v)); }

// The name as a chunk stores it: at most 15 bytes of whole characters.
std::string ChunkName(const char* name) {
  if (!name) return {};
  char cut[kNameRoom + 1];
  setup::CopyCp932Cut(cut, name, static_cast<int>(kNameRoom));
  return cut;
}

// Appends a zeroed chunk with its header and answers its start.
uint8_t* AddChunk(std::vector<uint8_t>* file, size_t size, int type, const char* name) {
  const size_t at = file->size();
  file->resize(at + size, 0);
  uint8_t* chunk = file->data() + at;
  PutWordAt(chunk, static_cast<int32_t>(size));
  PutWordAt(chunk + 4, type);
  const std::string cut = ChunkName(name);
  std::memcpy(chunk + kNameOffset, cut.data(), cut.size());
  return chunk;
}

// Reads the file's chunks one by one, each by its own size word, into
// `bytes`. A chunk is read only after its size was checked against what the
// file still holds and against the chunk's own size in the format, so no
// more is ever read or held than the format allows, whatever the file's
// length.
class ChunkReader {
 public:
  ChunkReader(platform::ByteReader* file, std::vector<uint8_t>* bytes) : file_(*file), bytes_(*bytes) {}
  // The next chunk of `type`, between `minimum` and `maximum` bytes long;
  // false with the reason otherwise.
  bool Next(int type, size_t minimum, size_t maximum, const char* what, CCommonDataFile::Chunk* out,
            std::string* reason) {
    uint8_t header[CCommonDataFile::kHeaderSize];
    if (!file_.Read(header, sizeof header)) {
      *reason = std::string("the file ends before the ") + what + " chunk";
      return false;
    }
    const int32_t size = WordAt(header);
    const int32_t found = WordAt(header + 4);
    const int64_t left = file_.Remaining() + CCommonDataFile::kHeaderSize;
    if (size < CCommonDataFile::kHeaderSize || size > left) {
      *reason = std::string("the ") + what + " chunk has a size of " + std::to_string(size) +
                " with " + std::to_string(left) + " bytes left";
      return false;
    }
    if (found != type) {
      *reason = std::string("chunk type ") + std::to_string(found) + " stands where the " + what +
                " chunk belongs";
      return false;
    }
    if (static_cast<size_t>(size) < minimum || static_cast<size_t>(size) > maximum) {
      *reason = std::string("the ") + what + " chunk is " + std::to_string(size) + " bytes, " +
                (minimum == maximum ? "not " + std::to_string(minimum)
                 : static_cast<size_t>(size) < minimum ? "shorter than " + std::to_string(minimum)
                                                        : "longer than " + std::to_string(maximum));
      return false;
    }
    const size_t at = bytes_.size();
    bytes_.insert(bytes_.end(), header, header + sizeof header);
    bytes_.resize(at + static_cast<size_t>(size));
    if (!file_.Read(bytes_.data() + at + sizeof header, static_cast<size_t>(size) - sizeof header)) {
      *reason = std::string("the ") + what + " chunk cannot be read";
      return false;
    }
    *out = {at, static_cast<size_t>(size)};
    return true;
  }
  // A fixed chunk: exactly `size` bytes.
  bool Next(int type, size_t size, const char* what, CCommonDataFile::Chunk* out, std::string* reason) {
    return Next(type, size, size, what, out, reason);
  }

 private:
  platform::ByteReader& file_;
  std::vector<uint8_t>& bytes_;
};

}  // namespace

CCommonDataFile::CCommonDataFile(const GameRoles& game) : saves_(game.saves), screen_(game.screen), text_(game.text) {
  if (!saves_) return;
  const int count = std::clamp(saves_->GetExtSaveDataCount(), 0, kMaxExtCount);
  for (int i = 0; i < count; ++i)
    extSizes_.push_back(std::clamp(saves_->GetExtSaveDataSize(i), 0, kMaxExtSize));
  version_ = saves_->GetVersion();
  omakeClass_ = saves_->GetExtDataValue() != 0 ? 1 : 0;
  cutin_ = saves_->GetUseCutinFlag() != 0 ? 1 : 0;
  // The thumbnail size is the game's ("miniCGReduce", "miniCGSizeX/Y").
  saves_->GetMiniCGSize(&miniCGWidth_, &miniCGHeight_);
  miniCGWidth_ = std::clamp(miniCGWidth_, 0, kMaxMiniCGSide);
  miniCGHeight_ = std::clamp(miniCGHeight_, 0, kMaxMiniCGSide);
}

CCommonDataFile::~CCommonDataFile() { Release(); }

void CCommonDataFile::Release() {
  thumbnailPicture_.reset();
  thumbnailStale_ = true;
  thumbnail_.clear();
  thumbnail_.shrink_to_fit();
  extSizes_.clear();
}

namespace {

std::string SlotFileName(int slot) {
  char name[32];
  std::snprintf(name, sizeof name, "data%d.sav", slot);
  return name;
}

}  // namespace

std::string CCommonDataFile::SlotPath(int slot) {
  return std::string(GetSaveFolder()) + "\\" + SlotFileName(slot);
}

void CCommonDataFile::StampGameStatus(uint8_t* status) {
  const platform::LocalTime now = platform::GetLocalTime();
  const int when[8] = {now.year, now.month,  now.day,    now.weekday,
                       now.hour, now.minute, now.second, now.millisecond};
  for (int i = 0; i < 8; ++i) PutWordAt(status + kSaveTimeOffset + 4 * i, when[i]);
  PutWordAt(status + kCounterOffset,
            static_cast<int32_t>(static_cast<uint32_t>(WordAt(status + kCounterOffset)) + 1));
  // The header again: the game writes only behind it, but keep it sure.
  std::memset(status, 0, kHeaderSize);
  PutWordAt(status, kGameStatusSize);
  PutWordAt(status + 4, savechunk::kGameStatus);
  std::memcpy(status + kNameOffset, "GAMESTATUS", 10);
}

int CCommonDataFile::Save(int slot) {
  if (!saves_) return -1;
  std::vector<uint8_t> file;
  const int ext = static_cast<int>(extSizes_.size());
  AddChunk(&file, kHeaderSize, savechunk::kHeader, saves_->GetSaveHeaderName());

  uint8_t* info = AddChunk(&file, kInfoSize, savechunk::kInfo, "INFO");
  PutWordAt(info + 32, kFixedChunks + omakeClass_ + cutin_ + ext);
  PutWordAt(info + 36, version_);
  PutWordAt(info + 40, ext);
  PutWordAt(info + 44, omakeClass_);
  PutWordAt(info + 48, cutin_);

  // Each chunk is filled where it lies; the vector does not grow while a
  // Put runs, so the pointers handed out stay valid.
  file.reserve(file.size() + kGameStatusSize + kMiniCGBody +
               static_cast<size_t>(miniCGWidth_) * miniCGHeight_ * 4 + kGameVarSize + kEffectSize +
               kEffectFileNameSize + kMessageSize + kOmakeClassSize + kCutinSize +
               static_cast<size_t>(ext) * kHeaderSize);
  uint8_t* status = AddChunk(&file, kGameStatusSize, savechunk::kGameStatus, "GAMESTATUS");
  saves_->PutSaveData(savechunk::kGameStatus, status, kGameStatusSize);
  StampGameStatus(status);

  const size_t miniCGSize = kMiniCGBody + static_cast<size_t>(miniCGWidth_) * miniCGHeight_ * 4;
  uint8_t* miniCG = AddChunk(&file, miniCGSize, savechunk::kMiniCG, "MINICG");
  PutWordAt(miniCG + 32, miniCGWidth_);
  PutWordAt(miniCG + 36, miniCGHeight_);
  saves_->PutSaveData(savechunk::kMiniCG, miniCG, miniCGSize);

  const struct {
    int type;
    int size;
    const char* name;
  } kFixed[] = {{savechunk::kGameVar, kGameVarSize, "GAMEVAR"},
                {savechunk::kEffect, kEffectSize, "EFFECT"},
                {savechunk::kEffectFileName, kEffectFileNameSize, "EFFECTFILENAME"},
                {savechunk::kMessage, kMessageSize, "MESSAGE"}};
  for (const auto& c : kFixed)
    saves_->PutSaveData(c.type, AddChunk(&file, c.size, c.type, c.name), c.size);
  if (omakeClass_) {
    uint8_t* chunk = AddChunk(&file, kOmakeClassSize, savechunk::kOmakeClass, "OMAKECLASS");
    saves_->PutOmakeClass(chunk + kHeaderSize, kOmakeClassSize - kHeaderSize);
  }
  if (cutin_)
    saves_->PutSaveData(savechunk::kCutin, AddChunk(&file, kCutinSize, savechunk::kCutin, "CUTIN"), kCutinSize);
  for (int i = 0; i < ext; ++i) {
    // EXT bodies may be large: make room for each before it is filled.
    const size_t size = kHeaderSize + static_cast<size_t>(extSizes_[i]);
    file.reserve(file.size() + size);
    const std::string name = "EXT" + std::to_string(i + 1);
    uint8_t* chunk = AddChunk(&file, size, savechunk::kExt + i, name.c_str());
    saves_->PutExtSaveData(chunk + kHeaderSize, size - kHeaderSize, i);
  }

  const std::string path = SlotPath(slot);
  std::string error;
  if (!platform::WriteWholeFile(path, file.data(), file.size(), &error)) {
    // The player learns at once that the game was not saved; the line gives
    // the file on this host and the system's reason.
    platform::ErrorOutput(("save slot " + std::to_string(slot) + " not written (" +
                           HostPath(path) + "): " + error)
                              .c_str());
    std::string text(std::strlen(GetSaveFolder()) + sizeof kCannotSaveMessage + 16, '\0');
    text.resize(static_cast<size_t>(std::max(
        0, std::snprintf(text.data(), text.size(), kCannotSaveMessage, GetSaveFolder(), slot))));
    platform::MessageBox(nullptr, text.c_str(), "Error", MB_OK);
    return -1;
  }
  return 0;
}

bool CCommonDataFile::ReadSlot(int slot, Slot* out, std::string* reason) const {
  // The screens peek at every slot they show, most of them empty: an open
  // that finds nothing settles those with one look-up of the path.
  const std::string path = SlotPath(slot);
  FILE* f = platform::FileOpen(path, "rb");
  if (!f) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR)
      *reason = kNoFile;
    else
      *reason = platform::IsDirectory(path) ? "it is a folder" : "the file cannot be read";
    return false;
  }
  // A folder opens for reading here; it is no save file.
  if (platform::IsDirectory(path)) {
    std::fclose(f);
    *reason = "it is a folder";
    return false;
  }
  const bool read = ReadChunks(f, out, reason);
  std::fclose(f);
  return read;
}

bool CCommonDataFile::ReadChunks(FILE* f, Slot* out, std::string* reason) const {
  platform::ByteReader file(f, -1);
  out->bytes.clear();
  ChunkReader walk(&file, &out->bytes);

  if (!walk.Next(savechunk::kHeader, kHeaderSize, "header", &out->header, reason)) return false;
  const std::string expected = ChunkName(saves_ ? saves_->GetSaveHeaderName() : nullptr);
  char stored[kNameRoom + 2] = {};
  std::memcpy(stored, out->bytes.data() + out->header.offset + kNameOffset, kNameRoom + 1);
  if (expected != stored) {
    *reason = "the header name is not this game's";
    return false;
  }
  if (!walk.Next(savechunk::kInfo, kInfoSize, "INFO", &out->info, reason)) return false;
  const uint8_t* info = out->bytes.data() + out->info.offset;
  const int chunks = WordAt(info + 32);
  const int ext = WordAt(info + 40);
  const int omake = WordAt(info + 44);
  const int cutin = WordAt(info + 48);
  if (ext < 0 || ext > kMaxExtCount || (omake != 0 && omake != 1) || (cutin != 0 && cutin != 1) ||
      chunks != kFixedChunks + omake + cutin + ext) {
    *reason = "the INFO counts do not agree";
    return false;
  }

  if (!walk.Next(savechunk::kGameStatus, kGameStatusSize, "GAMESTATUS", &out->status, reason))
    return false;
  if (!walk.Next(savechunk::kMiniCG, kMiniCGBody, kMiniCGBody + size_t{4} * kMaxMiniCGSide * kMaxMiniCGSide,
                 "MINICG", &out->miniCG, reason))
    return false;
  const uint8_t* miniCG = out->bytes.data() + out->miniCG.offset;
  out->width = WordAt(miniCG + 32);
  out->height = WordAt(miniCG + 36);
  if (out->width < 0 || out->width > kMaxMiniCGSide || out->height < 0 ||
      out->height > kMaxMiniCGSide ||
      out->miniCG.size != kMiniCGBody + static_cast<size_t>(out->width) * out->height * 4) {
    *reason = "the thumbnail does not fill its chunk";
    return false;
  }
  if (!walk.Next(savechunk::kGameVar, kGameVarSize, "GAMEVAR", &out->gameVar, reason) ||
      !walk.Next(savechunk::kEffect, kEffectSize, "EFFECT", &out->effect, reason) ||
      !walk.Next(savechunk::kEffectFileName, kEffectFileNameSize, "EFFECTFILENAME", &out->effectFileName,
                 reason) ||
      !walk.Next(savechunk::kMessage, kMessageSize, "MESSAGE", &out->message, reason))
    return false;
  if (omake && !walk.Next(savechunk::kOmakeClass, kOmakeClassSize, "OMAKECLASS", &out->omakeClass, reason))
    return false;
  if (cutin && !walk.Next(savechunk::kCutin, kCutinSize, "CUTIN", &out->cutin, reason)) return false;
  out->ext.clear();
  for (int i = 0; i < ext; ++i) {
    Chunk chunk{};
    const std::string what = "EXT" + std::to_string(i + 1);
    if (!walk.Next(savechunk::kExt + i, kHeaderSize, kHeaderSize + size_t{kMaxExtSize}, what.c_str(), &chunk,
                   reason))
      return false;
    out->ext.push_back(chunk);
  }
  if (!file.AtEnd()) {
    *reason = std::to_string(file.Remaining()) + " bytes follow the last chunk";
    return false;
  }
  if (saves_) {
    if (const char* why = saves_->CheckGameStatus(out->bytes.data() + out->status.offset, out->status.size)) {
      *reason = why;
      return false;
    }
  }
  return true;
}

void CCommonDataFile::Refuse(int slot, const std::string& reason) {
  refusal_ = reason;
  if (reason == kNoFile) return;
  platform::ErrorOutput(("save slot " + std::to_string(slot) + " (" +
                         HostPath(SlotPath(slot)) +
                         ") is damaged: " + reason)
                            .c_str());
}

void CCommonDataFile::TakeThumbnail(const Slot& file) {
  thumbnailStale_ = true;
  thumbnailWidth_ = file.width;
  thumbnailHeight_ = file.height;
  thumbnail_.resize(static_cast<size_t>(file.width) * file.height);
  const uint8_t* pixels = file.bytes.data() + file.miniCG.offset + kMiniCGBody;
  for (size_t i = 0; i < thumbnail_.size(); ++i) thumbnail_[i] = platform::GetLE32(pixels + 4 * i);
}

CCommonDataFile::FolderListing CCommonDataFile::ListSaveFolder() {
  return platform::ListFolder(GetSaveFolder());
}

int CCommonDataFile::Peek(int slot, const FolderListing& listing) {
  const std::string file = SlotFileName(slot);
  if (listing.empty() || std::any_of(listing.begin(), listing.end(), [&](const std::string& name) {
        return platform::EqualNoCase(name, file);
      }))
    return Peek(slot);
  PeekEmpty(slot, kNoFile);
  return 0;
}

void CCommonDataFile::PeekEmpty(int slot, const std::string& reason) {
  slot_ = slot;
  hasData_ = 0;
  refusal_.clear();
  Refuse(slot, reason);
  damaged_ = reason == kNoFile ? 0 : 1;
  std::memset(status_, 0, sizeof status_);
  std::memset(info_, 0, sizeof info_);
  std::memset(gameVar_, 0, sizeof gameVar_);
  thumbnail_.clear();
  thumbnailWidth_ = thumbnailHeight_ = 0;
  thumbnailStale_ = true;
}

int CCommonDataFile::Peek(int slot) {
  slot_ = slot;
  hasData_ = 0;
  damaged_ = 0;
  refusal_.clear();
  Slot file;
  std::string reason;
  if (!ReadSlot(slot, &file, &reason)) {
    PeekEmpty(slot, reason);
    return 0;
  }
  const uint8_t* base = file.bytes.data();
  std::memcpy(info_, base + file.info.offset, kInfoSize);
  std::memcpy(status_, base + file.status.offset, kGameStatusSize);
  std::memcpy(gameVar_, base + file.gameVar.offset, kGameVarSize);
  TakeThumbnail(file);
  hasData_ = 1;
  return 1;
}

int CCommonDataFile::Load(int slot) {
  if (!saves_) return -1;
  refusal_.clear();
  Slot file;
  std::string reason;
  if (!ReadSlot(slot, &file, &reason)) {
    Refuse(slot, reason);
    return -1;
  }
  uint8_t* base = file.bytes.data();
  // The file's own INFO goes to the game: it is the one these chunks were
  // written with.
  saves_->GetSaveData(savechunk::kInfo, base + file.info.offset, file.info.size);
  saves_->GetSaveData(savechunk::kGameStatus, base + file.status.offset, file.status.size);
  TakeThumbnail(file);
  saves_->GetSaveData(savechunk::kGameVar, base + file.gameVar.offset, file.gameVar.size);
  saves_->GetSaveData(savechunk::kEffect, base + file.effect.offset, file.effect.size);
  saves_->GetSaveData(savechunk::kEffectFileName, base + file.effectFileName.offset,
                     file.effectFileName.size);
  saves_->GetSaveData(savechunk::kMessage, base + file.message.offset, file.message.size);
  if (file.omakeClass.size)
    saves_->GetOmakeClass(base + file.omakeClass.offset + kHeaderSize,
                         file.omakeClass.size - kHeaderSize);
  if (file.cutin.size) saves_->GetSaveData(savechunk::kCutin, base + file.cutin.offset, file.cutin.size);
  for (size_t i = 0; i < file.ext.size(); ++i)
    saves_->GetExtSaveData(base + file.ext[i].offset + kHeaderSize,
                          file.ext[i].size - kHeaderSize, static_cast<int>(i));
  return WordAt(base + file.status.offset + kSavedModeOffset);
}

int CCommonDataFile::HasData() { return hasData_; }

int CCommonDataFile::GetSavedMode() { return WordAt(status_ + kSavedModeOffset); }

const char* CCommonDataFile::GetStatusText(int type) {
  const int line = type >= 1 && type <= 3 ? type : 0;
  std::memcpy(statusText_, status_ + kStatusTextOffset + kStatusTextSize * line, kStatusTextSize);
  statusText_[kStatusTextSize - 1] = 0;
  return statusText_;
}

int CCommonDataFile::GetFileVersion() const { return WordAt(info_ + 36); }

int CCommonDataFile::CompareVersions(int file, int program, int savedMode, int scripts) {
  if (file > program) return -1;
  if ((file >> 16 & 0xFF) < (program >> 16 & 0xFF)) return 2;
  if ((file >> 8 & 0xFF) >= (program >> 8 & 0xFF)) return 0;
  const bool inScript = savedMode == modenumber::kPrintMessage ||
                        (savedMode == modenumber::kSelectMessage && scripts > 0);
  return inScript ? 2 : 1;
}

int CCommonDataFile::CheckVersion() {
  // A slot without data cannot be loaded by any program.
  if (!hasData_) return 2;
  return CompareVersions(GetFileVersion(), version_, GetSavedMode(),
                         WordAt(status_ + kScriptCountOffset));
}

int CCommonDataFile::IsLoadable() {
  const int check = CheckVersion();
  return check == 0 || check == 1 ? 1 : 0;
}

void CCommonDataFile::SetExtSize(int i, int size) {
  if (i < 0 || i >= static_cast<int>(extSizes_.size())) return;
  extSizes_[i] = std::clamp(size, 0, kMaxExtSize);
}
