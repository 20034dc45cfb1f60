#include "game/savepart.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamehooks.h"
#include "game/gamelists.h"
#include "game/gameparts.h"
#include "game/keyflagtable.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "message/autosave.h"
#include "modebase/commongeneral.h"
#include "modebase/modenames.h"
#include "modebase/modenumbers.h"
#include "platform/bytes.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/cglist.h"
#include "savedata/cgvoice.h"
#include "savedata/datafilesetup.h"
#include "savedata/extnametable.h"
#include "savedata/gamestatus.h"
#include "savedata/inttablefile.h"
#include "savedata/minicgmaker.h"
#include "savedata/savechunk.h"
#include "savedata/savedatafile.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "savedata/systemfile.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "setup/text.h"

namespace {

constexpr size_t kHeader = savechunk::kHeaderSize;
// Size of the title's own extension save chunks.
constexpr int kMaxExtSaveDataSize = 1 << 24;
// The MESSAGE chunk: 64 entries of 256 bytes.
constexpr int kMessageEntries = 64;
constexpr size_t kMessageEntrySize = 256;
constexpr size_t kMessageTextMax = 254;

// "initに自動セーブデータが設定されていません:モード %d(%s)" and
// "...:サブモード %d" (CP932).
constexpr char kNoAutoSaveMode[] =
    "init\x82\xC9\x8E\xA9\x93\xAE\x83Z\x81[\x83u\x83\x66\x81[\x83^\x82\xAA\x90\xDD\x92\xE8"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1:\x83\x82\x81[\x83h %d(%s)";
constexpr char kNoAutoSaveSub[] =
    "init\x82\xC9\x8E\xA9\x93\xAE\x83Z\x81[\x83u\x83\x66\x81[\x83^\x82\xAA\x90\xDD\x92\xE8"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1:\x83T\x83u\x83\x82\x81[\x83h %d";

using Key = IntKey<CSavePart::Settings>;
using S = CSavePart::Settings;

const Key kSaveKeys[] = {
    {"useCutinFlag", &S::useCutinFlag},
    {"miniCGReduce", &S::miniCGReduce},
    {"miniCGSizeX", &S::miniCGSizeX},
    {"miniCGSizeY", &S::miniCGSizeY},
    {"highVersion", &S::highVersion},
    {"middleVersion", &S::middleVersion},
    {"lowVersion", &S::lowVersion},
    {"noSceneListFlag", &S::noSceneListFlag},
    {"resultFlag", &S::resultFlag},
    {"autoResultNotice", &S::autoResultNotice},
};

int32_t Word(const uint8_t* chunk, int word) { return gamestatus::Get(chunk, word); }
// The words the check reads.
using gamestatus::kCallDepths;
using gamestatus::kFrameTime;
using gamestatus::kLevelStride;
using gamestatus::kMusic;
using gamestatus::kProgramCounters;
using gamestatus::kResumeTables;
using gamestatus::kReturnMode;
using gamestatus::kScriptLevel;
using gamestatus::kScriptNumberWords;

}  // namespace

CSavePart::CSavePart(const Links& links) : links_(links) {}

CSavePart::~CSavePart() = default;

void CSavePart::ReadSettings() {
  const CSetupList* list = links_.list;
  Settings& s = settings_;
  ReadInt(list, &s.saveClassDisable, "saveClassDisable");
  ReadInt(list, &s.loadClassDisable, "loadClassDisable");
  s.dataFileDontCreate = s.saveClassDisable && s.loadClassDisable ? 1 : 0;
  ReadInt(list, &s.dataFileDontCreate, "dataFileDontCreate");
  ReadIntKeys(list, &s, kSaveKeys);
  ReadString(list, &s.saveHeaderName, "saveHeaderName");
  ReadInt(list, &s.extSaveDataNumber, "extSaveDataNumber");
  if (s.extSaveDataNumber < 0 || s.extSaveDataNumber > kMaxKeyedEntries) s.extSaveDataNumber = 0;
  if (s.resultFlag) ReadString(list, &s.getResultVarName, "getResultVarName");
}

// --- Init's steps ---

void CSavePart::MakeSaveSlotLayout() {
  if (!settings_.dataFileDontCreate) saveSlotLayout_ = std::make_unique<CDataFileSetup>();
}

void CSavePart::InitExtSaveData() {
  const CSetupList* list = links_.list;
  extNameTable_ = std::make_unique<CExtDataNameTable>();
  const char* name = nullptr;
  for (int i = 1; i <= kMaxKeyedEntries; ++i) {
    if (!ReadString(list, &name, NumberedKey("autoExtDataMode%d", i).c_str())) break;
    const int mode = modenames::GetModeNumber(name);
    if (mode > 0) extDataModes_.push_back(mode);
  }
  for (int i = 1; i <= kMaxKeyedEntries; ++i) {
    if (!ReadString(list, &name, NumberedKey("autoExtDataSub%d", i).c_str())) break;
    const int sub = extNameTable_->SearchName(name);
    if (sub > 0) extDataSubs_.push_back(sub);
  }
  if (links_.messageWindow->GetFacePrintMode()) {
    const int face = extNameTable_->SearchName("face");
    if (face > 0) extDataSubs_.push_back(face);
  }
  for (int i = 0; i < settings_.extSaveDataNumber; ++i) {
    int size = 0;
    ReadInt(list, &size, NumberedKey("extSaveDataSize%d", i).c_str());
    extSaveDataSizes_.push_back(size >= 0 && size <= kMaxExtSaveDataSize ? size : 0);
  }
}

void CSavePart::InitMiniCGSize() {
  const Settings& s = settings_;
  const int width = links_.width, height = links_.height;
  if (s.miniCGReduce > 0) {
    miniCGWidth_ = width / s.miniCGReduce / 4 * 4;
    miniCGHeight_ = height / s.miniCGReduce;
  }
  // "miniCGSizeX" and "miniCGSizeY" override the reduced size; a side
  // larger than a save slot can hold would make slots that read back as
  // damaged, so it is refused and said.
  const struct {
    const char* key;
    int value;
    int* side;
  } overrides[] = {{"miniCGSizeX", s.miniCGSizeX, &miniCGWidth_},
                   {"miniCGSizeY", s.miniCGSizeY, &miniCGHeight_}};
  for (const auto& o : overrides) {
    if (o.value <= 0) continue;
    if (o.value <= CCommonDataFile::kMaxMiniCGSide) {
      *o.side = o.value;
      continue;
    }
    platform::ErrorOutput(("init\\game.xtx: \"" + std::string(o.key) + "\" is " + std::to_string(o.value) +
                           ", more than the " + std::to_string(CCommonDataFile::kMaxMiniCGSide) +
                           " pixels a save slot's thumbnail may have; it stays " +
                           std::to_string(*o.side))
                              .c_str());
  }
}

void CSavePart::MakeLists() {
  if (!settings_.noSceneListFlag) {
    sceneDataFile_ = std::make_unique<CSceneDataFile>();
    sceneList_ = std::make_unique<CSceneList>(links_.systemFile, sceneDataFile_.get());
  }
  cgList_ = std::make_unique<CCGList>(links_.systemFile);
  cgVoiceList_ = std::make_unique<CCGVoiceList>();
}

void CSavePart::MakeSceneVoiceList() { sceneVoiceList_ = std::make_unique<CSceneVoiceList>(); }

void CSavePart::MakeResultTable() {
  if (!settings_.resultFlag) return;
  resultTable_ = std::make_unique<CIntTableFile>("result", kResultRows, 1024, 1, nullptr);
  if (settings_.getResultVarName) getResultVar_ = links_.vars->GetVarNumber(settings_.getResultVarName);
}

CCommonSystemFile* CSavePart::GetSystemFile() const { return links_.systemFile; }

// --- Save chunks ---

void CSavePart::PutSaveData(int type, uint8_t* chunk, size_t size) {
  switch (type) {
    case savechunk::kGameStatus: PutGameStatus(chunk, size); break;
    case savechunk::kMiniCG: PutMiniCG(chunk, size); break;
    case savechunk::kGameVar: PutGameVar(chunk, size); break;
    case savechunk::kEffect: PutEffect(chunk, size); break;
    case savechunk::kEffectFileName: PutEffectFileName(chunk, size); break;
    case savechunk::kMessage: PutMessage(chunk, size); break;
    case savechunk::kCutin: PutCutin(chunk, size); break;
    default: break;
  }
}

void CSavePart::GetSaveData(int type, const uint8_t* chunk, size_t size) {
  switch (type) {
    case savechunk::kInfo: GetInfo(chunk, size); break;
    case savechunk::kGameStatus: GetGameStatus(chunk, size); break;
    case savechunk::kGameVar: GetGameVar(chunk, size); break;
    case savechunk::kEffect: GetEffect(chunk, size); break;
    case savechunk::kEffectFileName: GetEffectFileName(chunk, size); break;
    case savechunk::kMessage: GetMessage(chunk, size); break;
    case savechunk::kCutin: GetCutin(chunk, size); break;
    default: break;
  }
}

// Each part writes its own words; the mode flow first, which hands its
// modes' words to the message window and writes the return mode the
// message window reads.
void CSavePart::PutGameStatus(uint8_t* chunk, size_t size) {
  if (!chunk || size < CCommonDataFile::kGameStatusSize) return;
  links_.modes->PutStatus(chunk);
  links_.vars->PutStatus(chunk);
  links_.scripts->PutStatus(chunk);
  links_.messageWindow->PutStatus(chunk);
  links_.sound->PutStatus(chunk);
  links_.frame->PutStatus(chunk);
  links_.screen->PutStatus(chunk);
  links_.floating->PutStatus(chunk);
  namespace gs = gamestatus;
  gs::PutText(chunk + gs::kStatusExtraOffset, gs::kStatusExtraRoom + 2, links_.hooks->GetStatusExtra(),
              gs::kStatusExtraRoom);
  for (int line = 0; line < kCommentLines; ++line)
    gs::PutText(chunk + gs::kCommentOffset + gs::kCommentSize * line, gs::kCommentSize, saveComments_[line],
                gs::kCommentSize - 2);
}

const char* CSavePart::CheckGameStatus(const uint8_t* chunk, size_t size) {
  if (!chunk || size < CCommonDataFile::kGameStatusSize) return "the game status chunk is short";
  const int level = Word(chunk, kScriptLevel);
  if (level < 0 || level >= gamestatus::kScriptLevels) return "the script level is impossible";
  const int mode = Word(chunk, kReturnMode);
  if (mode < 0 || mode >= modenumber::kModeCount) return "the saved mode is impossible";
  const CNameList* projects = links_.lists->GetProjectList();
  for (int k = 1; k <= level; ++k) {
    const int number = Word(chunk, kScriptNumberWords[k]);
    const char* name =
        projects && number >= 0 && number < projects->GetCount() ? projects->GetName(number) : nullptr;
    if (!name || !*name) return "a saved script number is not in the project list";
  }
  for (int k = 0; k < gamestatus::kScriptLevels; ++k) {
    const int depth = Word(chunk, kCallDepths + kLevelStride * k);
    if (depth < 0 || depth >= CScript::kMaxCallDepth) return "a saved call depth is impossible";
    const int pc = Word(chunk, kProgramCounters + k);
    const CScript* script = links_.scripts->GetScript(k);
    const int capacity = script ? script->GetCapacity() : 0;
    if (pc < 0 || pc > capacity) return "a saved script position lies outside the script";
  }
  if (const char* reason = CheckSavedScripts(chunk)) return reason;
  const int music = Word(chunk, kMusic);
  if (music != -1 && (music < 0 || music >= links_.lists->GetBgmCount()))
    return "the saved music is not in the music list";
  if (Word(chunk, kFrameTime) > 1000) return "the saved frame time is impossible";
  return nullptr;
}

// What the restore follows must lead somewhere, or the story would resume
// in the wrong place with a cut call stack. With resume tables: the call
// sites of level 0 and of every level up to the saved one, the stop entry
// of each level below it, and the system-call entry of the saved level
// unless the saved mode is found again by key or is the title. Without
// them the return positions, like the program counters, lie inside the
// script. The script files of levels 1 and up are read for the check when
// their level does not hold them already.
const char* CSavePart::CheckSavedScripts(const uint8_t* chunk) {
  using Table = CScript::ResumeTable;
  const int level = Word(chunk, kScriptLevel);
  const int mode = Word(chunk, kReturnMode);
  const bool resume = Word(chunk, kResumeTables) > 0;
  const bool jumpsToSystemCall = mode != modenumber::kTitle && mode != modenumber::kPrintMessage &&
                                 mode != modenumber::kSelectMessage;
  for (int k = 0; k < gamestatus::kScriptLevels; ++k) {
    const CScript* script = links_.scripts->GetScript(k);
    if (!script) continue;
    const int at = kCallDepths + kLevelStride * k;
    const int depth = Word(chunk, at);
    if (!resume) {
      for (int i = 0; i < depth; ++i) {
        const int position = Word(chunk, at + 1 + i);
        if (position < 0 || position > script->GetCapacity())
          return "a saved return position lies outside the script";
      }
      continue;
    }
    if (k > level) continue;
    std::unique_ptr<CScript> probe;
    std::string name = *script->GetLoadedName() ? script->GetLoadedName() : "the story script";
    if (k > 0) {
      name = links_.lists->ScriptPath(Word(chunk, kScriptNumberWords[k]));
      if (!script->IsLoaded() || !setup::EqualNoCase(script->GetLoadedName(), name.c_str())) {
        probe = std::make_unique<CScript>(links_.callback, script->GetCapacity());
        if (!probe->Load(name.c_str())) {
          statusRefusal_ = "the saved script " + name + " cannot be read";
          return statusRefusal_.c_str();
        }
        script = probe.get();
      }
    }
    const char* broken = nullptr;
    for (int i = 0; i < depth && !broken; ++i)
      if (!script->HasResumeEntry(Table::kCallSites, Word(chunk, at + 1 + i)))
        broken = "a saved call site is not in the call-site table of ";
    if (!broken && k < level &&
        !script->HasResumeEntry(Table::kStopEntries, Word(chunk, at + 1 + CScript::kStopEntrySlot)))
      broken = "the saved stop entry is not in the stop-entry table of ";
    if (!broken && k == level && jumpsToSystemCall &&
        !script->HasResumeEntry(Table::kSystemCallEntries, Word(chunk, at + 1 + CScript::kSystemCallEntrySlot)))
      broken = "the saved system-call entry is not in the system-call table of ";
    if (broken) {
      statusRefusal_ = broken + name;
      return statusRefusal_.c_str();
    }
  }
  return nullptr;
}

// Each part reads its own words: the scripts first (their levels are
// loaded again), the message window before the mode flow, which hands the
// story words to its modes, and the running script's place last.
void CSavePart::GetGameStatus(const uint8_t* chunk, size_t size) {
  if (CheckGameStatus(chunk, size)) return;
  links_.scripts->GetStatus(chunk);
  links_.vars->GetStatus(chunk);
  links_.screen->GetStatus(chunk);
  links_.sound->GetStatus(chunk);
  links_.messageWindow->GetStatus(chunk);
  links_.floating->GetStatus(chunk);
  links_.modes->GetStatus(chunk);
  links_.scripts->ResumeStatus(chunk, static_cast<int64_t>(GetVersion()) - loadedVersion_ >= 1);
  links_.frame->GetStatus(chunk);
}

void CSavePart::PutMiniCG(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + 16) return;
  const size_t room = (size - kHeader - 16) / 4;
  const size_t n = std::min(room, miniCG_.size());
  for (size_t i = 0; i < n; ++i) platform::SetLE32(chunk + kHeader + 16 + 4 * i, miniCG_[i]);
}

void CSavePart::PutGameVar(uint8_t* chunk, size_t size) { links_.vars->PutGameVar(chunk, size); }
void CSavePart::PutEffect(uint8_t* chunk, size_t size) { links_.screen->PutEffects(chunk, size); }
void CSavePart::PutEffectFileName(uint8_t* chunk, size_t size) { links_.screen->PutEffectFileNames(chunk, size); }
void CSavePart::PutOmakeClass(uint8_t* body, size_t size) { links_.modes->SaveKeyFlagTable(body, size); }
void CSavePart::PutCutin(uint8_t* chunk, size_t size) { links_.modes->PutCutinChunk(chunk, size); }
void CSavePart::PutMessage(uint8_t* chunk, size_t size) { links_.modes->PutMessageChunk(chunk, size); }

void CSavePart::GetInfo(const uint8_t* chunk, size_t size) {
  if (chunk && size >= kHeader + 8) loadedVersion_ = Word(chunk, 9);
}

void CSavePart::GetGameVar(const uint8_t* chunk, size_t size) { links_.vars->GetGameVar(chunk, size); }
void CSavePart::GetEffect(const uint8_t* chunk, size_t size) { links_.screen->GetEffects(chunk, size); }
void CSavePart::GetEffectFileName(const uint8_t* chunk, size_t size) {
  links_.screen->GetEffectFileNames(chunk, size);
}
void CSavePart::GetOmakeClass(const uint8_t* body, size_t size) { links_.modes->LoadKeyFlagTable(body, size); }
void CSavePart::GetCutin(const uint8_t* chunk, size_t size) { links_.modes->GetCutinChunk(chunk, size); }
void CSavePart::GetMessage(const uint8_t* chunk, size_t size) { links_.modes->GetMessageChunk(chunk, size); }

// --- The MESSAGE chunk ---

void CSavePart::FillMessageEntries(uint8_t* chunk, size_t size, const std::vector<const char*>& texts) {
  if (!chunk || size <= kHeader) return;
  const int count = std::min<int>(static_cast<int>(texts.size()), kMessageEntries);
  for (int i = 0; i < count; ++i) {
    const size_t at = kHeader + i * kMessageEntrySize;
    if (at + kMessageEntrySize > size) return;
    uint8_t* entry = chunk + at;
    const char* text = texts[i] ? texts[i] : "";
    const size_t n = std::min(std::strlen(text), kMessageTextMax);
    std::memcpy(entry, text, n);
    entry[n] = 0;
    entry[n + 1] = 0;
  }
}

// --- Thumbnail ---

void CSavePart::MakeMiniCG() {
  links_.floating->RestoreFloatingLayers();
  const uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || miniCGWidth_ <= 0 || miniCGHeight_ <= 0) return;
  CMiniCGMaker maker;
  maker.SetSourceSize(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  maker.SetMiniCGSize(miniCGWidth_, miniCGHeight_);
  maker.SetBlockSize(settings_.miniCGReduce);
  miniCG_.assign(static_cast<size_t>(miniCGWidth_) * miniCGHeight_, 0);
  maker.Make(screen, miniCG_.data());
}

void CSavePart::GetMiniCG(uint32_t* pixels, int sizeType, int width, int height) {
  if (!pixels) return;
  int64_t count = 13200;
  if (sizeType == 0)
    count = 4800;
  else if (sizeType == -2)
    count = static_cast<int64_t>(miniCGWidth_) * miniCGHeight_;
  else if (sizeType == -1)
    count = static_cast<int64_t>(width) * height;
  if (count <= 0) return;
  // What the thumbnail does not hold reads as black.
  const int64_t have = std::min<int64_t>(count, static_cast<int64_t>(miniCG_.size()));
  std::copy(miniCG_.begin(), miniCG_.begin() + have, pixels);
  std::fill(pixels + have, pixels + count, 0u);
}

void CSavePart::GetMiniCGSize(int* width, int* height) {
  if (width) *width = miniCGWidth_;
  if (height) *height = miniCGHeight_;
}

// --- EXT chunks ---

std::vector<int>& CSavePart::ExtChunkSizes() {
  const size_t rows = extDataModes_.size() + extDataSubs_.size();
  if (extChunkSizes_.size() != rows + extSaveDataSizes_.size()) {
    extChunkSizes_.assign(rows, 0);
    // A registered object's row holds its data behind the chunk header.
    for (size_t r = extDataModes_.size(); r < rows; ++r)
      if (const CAutoSaveSubData* object = ExtRowObject(static_cast<int>(r)))
        extChunkSizes_[r] = object->GetDataSize() + static_cast<int>(kHeader);
    extChunkSizes_.insert(extChunkSizes_.end(), extSaveDataSizes_.begin(), extSaveDataSizes_.end());
  }
  return extChunkSizes_;
}

int CSavePart::GetExtSaveDataCount() { return static_cast<int>(ExtChunkSizes().size()); }

int CSavePart::GetExtSaveDataSize(int i) {
  const std::vector<int>& sizes = ExtChunkSizes();
  return i >= 0 && i < static_cast<int>(sizes.size()) ? sizes[static_cast<size_t>(i)] : 0;
}

// Automatic rows go to their mode, sub-entry rows to the object registered
// under their key (SetExtSaveObject), the rest to the title.
CAutoSaveSubData* CSavePart::ExtRowObject(int i) const {
  const int first = static_cast<int>(extDataModes_.size());
  if (i < first || i >= first + static_cast<int>(extDataSubs_.size())) return nullptr;
  const int key = extDataSubs_[static_cast<size_t>(i - first)];
  return key >= 1 && key < kExtObjectKeys ? extSaveObjects_[key] : nullptr;
}

CCommonGeneral* CSavePart::ExtRowMode(int i) const {
  const int mode =
      i >= 0 && i < static_cast<int>(extDataModes_.size()) ? extDataModes_[static_cast<size_t>(i)] : 0;
  return mode >= 1 ? links_.modes->GetMode(mode) : nullptr;
}

void CSavePart::PutExtSaveData(uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->SaveExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->SaveData(chunk + kHeader, size - kHeader);
  else
    links_.hooks->PutExtSaveDataDefault(chunk, size, i);
}

void CSavePart::GetExtSaveData(const uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->LoadExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->LoadData(chunk + kHeader, size - kHeader);
  else
    links_.hooks->GetExtSaveDataDefault(chunk, size, i);
}

void CSavePart::SetAutoSaveDataByMode(int mode, int size) {
  const auto row = std::find(extDataModes_.begin(), extDataModes_.end(), mode);
  if (row == extDataModes_.end()) {
    char text[256];
    std::snprintf(text, sizeof text, kNoAutoSaveMode, mode, modenames::GetModeName(mode));
    platform::MessageBox(nullptr, text, "Error", MB_OK | MB_ICONWARNING);
    return;
  }
  // The load and save screens learn the size when they exist.
  ExtChunkSizes()[static_cast<size_t>(row - extDataModes_.begin())] = std::max(size, 0);
}

void CSavePart::SetAutoSaveDataBySubMode(int row, int size) {
  std::vector<int>& sizes = ExtChunkSizes();
  const int64_t chunk = static_cast<int64_t>(row) + static_cast<int64_t>(extDataModes_.size());
  if (row < 0 || chunk >= static_cast<int64_t>(sizes.size())) {
    char text[256];
    std::snprintf(text, sizeof text, kNoAutoSaveSub, row);
    platform::MessageBox(nullptr, text, "Error", MB_OK | MB_ICONWARNING);
    return;
  }
  sizes[static_cast<size_t>(chunk)] = std::max(size, 0);
}

void CSavePart::SetExtSaveObject(int key, CAutoSaveSubData* object) {
  if (key >= 1 && key < kExtObjectKeys) extSaveObjects_[key] = object;
}

void CSavePart::ForgetExtSaveObject(const CAutoSaveSubData* object) {
  for (CAutoSaveSubData*& o : extSaveObjects_)
    if (o == object) o = nullptr;
}

int CSavePart::GetExtDataValue() const {
  const CKeyFlagTable* table = links_.modes->GetKeyFlagTable();
  return table ? table->GetModeWord() : 0;
}

int CSavePart::SetVersion(int high, int middle, int low) {
  // In unsigned, so a large high part wraps instead of overflowing.
  version_ = static_cast<int>(static_cast<uint32_t>(high) << 16 | static_cast<uint32_t>(middle) << 8 |
                              static_cast<uint32_t>(low));
  return version_;
}

// --- The system file ---

void CSavePart::SaveSystemFile() {
  links_.hooks->OnBeforeSaveSystemFile();
  if (links_.systemFile) {
    links_.vars->StoreNamesAndKeptVars();
    links_.systemFile->Save(0);
  }
  if (settings_.resultFlag && resultTable_) resultTable_->Save();
  links_.hooks->OnAfterSaveSystemFile();
}

// --- Kept game state ---

void CSavePart::KeepGameState() {
  links_.screen->KeepEffects();
  links_.scripts->KeepScripts();
  links_.messageWindow->KeepWindowOn();
}

void CSavePart::RestoreGameState() {
  links_.messageWindow->RestoreKeptWindowOn();
  links_.screen->RestoreKeptEffects();
  links_.scripts->RestoreKeptScripts();
}

void CSavePart::ClearGameState() {
  CMessageWindowPart& story = *links_.messageWindow;
  story.SetStoredOption(0);
  links_.vars->SetScriptWord(0);
  links_.vars->SetSystemSetting(6, 0);
  story.SetShiftSkipState(0);
  story.EndSkipFilm();
  links_.scripts->SetScriptStartFlag(0);
  story.SetWindowNumberScript(0);
  links_.floating->SetCursorNumberScript(0);
  story.SetMessageWindowMode(0);
  links_.floating->SetMouseNumberScript(0);
  story.SetProhibitWords(0, 0, 0);
  links_.floating->SetFloatingButtonOffFlag(0);
  links_.scripts->Pictures().costumeMask = 0;
  for (int& flag : links_.scripts->Pictures().holdFlags) flag = 0;
  links_.sound->ClearLoopFlags();
  // The faces' expressions chosen in the last game go with it.
  story.ResetFaces();
}

// --- Last slot and save comments ---

int CSavePart::GetLastSaveSlot() {
  return links_.systemFile ? links_.systemFile->GetSystemData(CCommonSystemFile::kLastSlotOffset) - 1 : -1;
}

int CSavePart::SetLastSaveSlot(int slot) {
  if (links_.systemFile) links_.systemFile->SetSystemData(CCommonSystemFile::kLastSlotOffset, slot + 1);
  return slot + 1;
}

void CSavePart::SetSaveComment(const char* text, int line) {
  if (line < 0 || line >= kCommentLines) return;
  gamestatus::PutText(reinterpret_cast<uint8_t*>(saveComments_[line]), kCommentSize, text, kCommentSize - 2);
}

void CSavePart::SwapSaveComments() {
  // Each line's first byte is kept aside while the lines are out, which
  // empties them.
  for (int i = 0; i < kCommentLines; ++i) std::swap(hiddenComments_[i], saveComments_[i][0]);
}
