#include "game/savepart.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "effect/alleffect.h"
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
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/autosave.h"
#include "message/textstate.h"
#include "modebase/commongeneral.h"
#include "modebase/modenames.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/bytes.h"
#include "platform/system.h"
#include "platform/types.h"
#include "savedata/cglist.h"
#include "savedata/cgvoice.h"
#include "savedata/datafilesetup.h"
#include "savedata/extnametable.h"
#include "savedata/inttablefile.h"
#include "savedata/minicgmaker.h"
#include "savedata/savechunk.h"
#include "savedata/savedatafile.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "setup/text.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"

namespace {

constexpr size_t kHeader = 32;
constexpr size_t kGameStatusSize = 7088;
constexpr int kSoundChannels = 8;
constexpr int kSoundParams = 16;
constexpr int kEffectChannels = CScreenPart::kEffectChannels;
constexpr int kEffectNameSize = CScreenPart::kEffectNameSize;
constexpr int kVarCount = CVariableServices::kVarCount;
constexpr int kMaxKeyedEntries = 256;
// Size of the title's own extension save chunks.
constexpr int kMaxExtSaveDataSize = 1 << 24;
constexpr int kResultRows = 1024;

// GAMESTATUS words (counted from the chunk start, header included).
enum StatusWord {
  kDateMonth = 16,
  kDateDay = 17,
  kDateWeekday = 19,
  kReturnMode = 20,
  kResumeTables = 22,
  kScriptLevel = 24,
  kScriptNumber1 = 26,
  kScriptNumber2 = 27,
  kMessageKey = 28,
  kLineCount = 29,
  kMessageCode = 30,
  kScriptNumber3 = 31,
  kChoiceKey = 32,
  kChoiceEnd = 33,
  kChoiceStart = 34,
  kMusic = 36,
  kMusicLoop = 37,
  kWindowShown = 44,
  kFrameTime = 45,
  kSpecialNumber = 46,
  kMusicRoom = 47,
  kLayerMask = 48,
  kWindowMode = 49,
  kCostumeMask = 50,
  kSeParams = 52,
  kWindowDesign = 180,
  kCursorDesign = 181,
  kMouseDesign = 182,
  kVoiceParams = 184,
  kHoldFlags = 464,  // 16-bit each, 8 words
  kProgramCounters = 472,
  kScriptWord = 476,
  kSkipFilmEnable = 477,
  kChoiceWords = 480,
  kAutoMessageCheck = 484,
  kMessageSwitchWord = 485,
  kCannotSkip = 486,
  kCallDepths = 488,  // + 256 per level, the 255 stack words behind it
};
constexpr int kLevelStride = 256;
constexpr int kResumeCallSites = 250;  // the stack words below are call sites
constexpr size_t kVoiceNamesOffset = 1248;
constexpr size_t kStatusExtraOffset = 1760;
constexpr size_t kStatusExtraRoom = 30;
constexpr size_t kFamilyOffset = 1792;
constexpr size_t kGivenOffset = 1808;
constexpr size_t kNameField = 16;
constexpr size_t kCommentOffset = 6064;
constexpr int kScriptNumberWords[4] = {0, kScriptNumber1, kScriptNumber2, kScriptNumber3};
// The MESSAGE chunk: 64 entries of 256 bytes.
constexpr int kMessageEntries = 64;
constexpr size_t kMessageEntrySize = 256;
constexpr size_t kMessageTextMax = 254;
// The print-message mode's 128 cut-in words at byte 32 and its cut-in
// number at byte 1052.
constexpr size_t kCutinNumberAt = 1052;

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

int32_t Word(const uint8_t* chunk, int word) {
  return platform::GetLE32Signed(chunk + 4 * static_cast<size_t>(word));
}
void SetWord(uint8_t* chunk, int word, int32_t value) {
  platform::SetLE32(chunk + 4 * static_cast<size_t>(word), static_cast<uint32_t>(value));
}

// Copies a text into a fixed field: at most `room` bytes of whole
// characters, the rest of the field zero. The field is at least room + 1.
void PutText(uint8_t* field, size_t fieldSize, const char* text, size_t room) {
  std::memset(field, 0, fieldSize);
  if (!text || fieldSize == 0) return;
  setup::CopyCp932Cut(reinterpret_cast<char*>(field), text, static_cast<int>(std::min(room, fieldSize - 1)));
}

// Reads a text out of a fixed field that need not hold a NUL: at most
// size - 1 bytes of whole characters, always terminated.
std::string GetText(const uint8_t* field, size_t fieldSize) {
  char buffer[512] = {};
  const size_t n = std::min(fieldSize, sizeof buffer - 1);
  std::memcpy(buffer, field, n);
  buffer[n] = 0;
  setup::CopyCp932Cut(buffer, buffer, static_cast<int>(std::min(n, fieldSize - 1)));
  return buffer;
}

}  // namespace

CSavePart::CSavePart(GameParts& parts) : parts_(parts) {}

CSavePart::~CSavePart() = default;

void CSavePart::ReadSettings() {
  const CSetupList* list = parts_.list;
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
  const CSetupList* list = parts_.list;
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
  if (parts_.messageWindow->GetFacePrintMode()) {
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
  const int width = parts_.width, height = parts_.height;
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
    sceneList_ = std::make_unique<CSceneList>(parts_.systemFile, sceneDataFile_.get());
  }
  cgList_ = std::make_unique<CCGList>(parts_.systemFile);
  cgVoiceList_ = std::make_unique<CCGVoiceList>();
}

void CSavePart::MakeSceneVoiceList() { sceneVoiceList_ = std::make_unique<CSceneVoiceList>(); }

void CSavePart::MakeResultTable() {
  if (!settings_.resultFlag) return;
  resultTable_ = std::make_unique<CIntTableFile>("result", kResultRows, 1024, 1, nullptr);
  if (settings_.getResultVarName) getResultVar_ = parts_.vars->GetVarNumber(settings_.getResultVarName);
}

CCommonSystemFile* CSavePart::GetSystemFile() const { return parts_.systemFile; }

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

void CSavePart::PutGameStatus(uint8_t* chunk, size_t size) {
  if (!chunk || size < kGameStatusSize) return;
  CVariablePart& vars = *parts_.vars;
  CScriptPart& scripts = *parts_.scripts;
  CSoundPart& sound = *parts_.sound;
  CMessageWindowPart& story = *parts_.messageWindow;
  CMessageWindowPart::StoryWords& words = story.Words();
  if (vars.GetDateVar() >= 0) {
    const int date = vars.GetVar(vars.GetDateVar());
    SetWord(chunk, kDateMonth, date / 100);
    SetWord(chunk, kDateDay, date % 100);
    SetWord(chunk, kDateWeekday, vars.GetWeekDay(date));
  }
  const int returnMode = parts_.modes->GetReturnMode();
  SetWord(chunk, kReturnMode, returnMode);
  const int resume = scripts.GetScript(0) && scripts.GetScript(0)->HasResumeTables() ? 1 : 0;
  SetWord(chunk, kResumeTables, resume);
  SetWord(chunk, kScriptLevel, keptScriptLevel_);
  for (int k = 1; k < kScriptLevels; ++k) SetWord(chunk, kScriptNumberWords[k], keptScriptNumber_[k]);
  // The print-message mode owns its line count and page code.
  if (const CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage()) {
    words.savedLineCount = printMessage->GetLineCount();
    words.messageCode = printMessage->GetMessageCode();
  }
  SetWord(chunk, kMessageKey, words.messageKey);
  SetWord(chunk, kLineCount, words.savedLineCount);
  SetWord(chunk, kMessageCode, words.messageCode);
  SetWord(chunk, kChoiceKey, words.choiceKey);
  // The choice mode owns its range and its four words once it exists.
  if (CStoryChoiceMode* choice = parts_.modes->GetSelectMessage()) {
    words.savedChoiceEnd = choice->GetSelectEnd();
    words.savedChoiceStart = choice->GetSelectStart();
    words.choiceWords[0] = choice->GetTimeLimit();
    words.choiceWords[1] = choice->GetTimeoutChoice();
    words.choiceWords[2] = choice->GetSelectState();
    words.choiceWords[3] = choice->GetSelectExtra();
  }
  SetWord(chunk, kChoiceEnd, words.savedChoiceEnd);
  SetWord(chunk, kChoiceStart, words.savedChoiceStart);
  CSoundPart::ScriptSounds& sounds = sound.GetScriptSounds();
  SetWord(chunk, kMusic, sound.GetBgmNumber());
  SetWord(chunk, kMusicLoop, sounds.bgmLoopCount);
  SetWord(chunk, kWindowShown, keptMessageWindowOn_);
  SetWord(chunk, kFrameTime, parts_.frame->GetFrameTime());
  if (vars.GetSettings().specialNumberForSaveSetFlag && vars.GetSpecialNumberVar() != -1)
    specialSaveNumber_ = vars.GetVar(vars.GetSpecialNumberVar());
  SetWord(chunk, kSpecialNumber, specialSaveNumber_);
  SetWord(chunk, kMusicRoom, vars.GetMusicRoomValue());
  SetWord(chunk, kLayerMask, parts_.screen->GetLayerDisableMask());
  SetWord(chunk, kWindowMode, story.GetMessageSpeed());
  SetWord(chunk, kCostumeMask, scripts.Pictures().costumeMask);
  const CSePlayer* se = sound.GetSePlayer();
  const CVoicePlayer* voice = sound.GetVoicePlayer();
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i) {
      SetWord(chunk, kSeParams + kSoundParams * ch + i, se ? se->GetParam(ch, i) : 0);
      SetWord(chunk, kVoiceParams + kSoundParams * ch + i, voice ? voice->GetParam(ch, i) : 0);
    }
  SetWord(chunk, kWindowDesign, story.GetWindowNumberScript());
  SetWord(chunk, kCursorDesign, parts_.floating->GetCursorNumberScript());
  SetWord(chunk, kMouseDesign, parts_.floating->GetMouseNumberScript());
  std::memcpy(chunk + kVoiceNamesOffset, sounds.voiceNames, sizeof sounds.voiceNames);
  PutText(chunk + kStatusExtraOffset, kStatusExtraRoom + 2, parts_.hooks->GetStatusExtra(), kStatusExtraRoom);
  // The names the text shows, placeholders included.
  PutText(chunk + kFamilyOffset, kNameField, GetTextState().familyName, kNameField - 1);
  PutText(chunk + kGivenOffset, kNameField, GetTextState().givenName, kNameField - 1);
  for (int i = 0; i < kEffectChannels; ++i) {
    const uint16_t flag = static_cast<uint16_t>(keptHoldFlags_[i]);
    chunk[4 * kHoldFlags + 2 * i] = static_cast<uint8_t>(flag);
    chunk[4 * kHoldFlags + 2 * i + 1] = static_cast<uint8_t>(flag >> 8);
  }
  SetWord(chunk, kScriptWord, vars.GetConfigFlagB());
  SetWord(chunk, kSkipFilmEnable, parts_.floating->GetSkipFilmButtonEnable());
  if (returnMode == modenumber::kSelectMessage)
    for (int i = 0; i < 4; ++i) SetWord(chunk, kChoiceWords + i, words.choiceWords[i]);
  SetWord(chunk, kAutoMessageCheck, story.GetAutoMessageCheckFlag());
  SetWord(chunk, kMessageSwitchWord, story.GetMessageSwitch());
  SetWord(chunk, kCannotSkip, story.GetCannotSkipFlag());
  for (int k = 0; k < kScriptLevels; ++k) {
    const KeptScript& kept = keptScripts_[k];
    SetWord(chunk, kProgramCounters + k, kept.pc);
    const int at = kCallDepths + kLevelStride * k;
    SetWord(chunk, at, kept.depth);
    for (int i = 0; i < kSavedStackWords; ++i)
      SetWord(chunk, at + 1 + i, resume && i < kResumeCallSites ? kept.callSites[i] : kept.returnStack[i]);
  }
  for (int line = 0; line < kCommentLines; ++line)
    PutText(chunk + kCommentOffset + kCommentSize * line, kCommentSize, saveComments_[line], kCommentSize - 2);
}

const char* CSavePart::CheckGameStatus(const uint8_t* chunk, size_t size) {
  if (!chunk || size < kGameStatusSize) return "the game status chunk is short";
  const int level = Word(chunk, kScriptLevel);
  if (level < 0 || level >= kScriptLevels) return "the script level is impossible";
  const int mode = Word(chunk, kReturnMode);
  if (mode < 0 || mode >= modenumber::kModeCount) return "the saved mode is impossible";
  const CNameList* projects = parts_.lists->GetProjectList();
  for (int k = 1; k <= level; ++k) {
    const int number = Word(chunk, kScriptNumberWords[k]);
    const char* name =
        projects && number >= 0 && number < projects->GetCount() ? projects->GetName(number) : nullptr;
    if (!name || !*name) return "a saved script number is not in the project list";
  }
  for (int k = 0; k < kScriptLevels; ++k) {
    const int depth = Word(chunk, kCallDepths + kLevelStride * k);
    if (depth < 0 || depth >= CScript::kMaxCallDepth) return "a saved call depth is impossible";
    const int pc = Word(chunk, kProgramCounters + k);
    const CScript* script = parts_.scripts->GetScript(k);
    const int capacity = script ? script->GetCapacity() : 0;
    if (pc < 0 || pc > capacity) return "a saved script position lies outside the script";
  }
  if (const char* reason = CheckSavedScripts(chunk)) return reason;
  const int music = Word(chunk, kMusic);
  if (music != -1 && (music < 0 || music >= parts_.lists->GetBgmCount()))
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
  for (int k = 0; k < kScriptLevels; ++k) {
    const CScript* script = parts_.scripts->GetScript(k);
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
      name = parts_.lists->ScriptPath(Word(chunk, kScriptNumberWords[k]));
      if (!script->IsLoaded() || !setup::EqualNoCase(script->GetLoadedName(), name.c_str())) {
        probe = std::make_unique<CScript>(parts_.callback, script->GetCapacity());
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

void CSavePart::GetGameStatus(const uint8_t* chunk, size_t size) {
  if (CheckGameStatus(chunk, size)) return;
  CVariablePart& vars = *parts_.vars;
  CScriptPart& scripts = *parts_.scripts;
  CSoundPart& sound = *parts_.sound;
  CMessageWindowPart& story = *parts_.messageWindow;
  CMessageWindowPart::StoryWords& words = story.Words();
  // Script numbers and level, the music-room value, the scripts.
  int numbers[kScriptLevels] = {scripts.GetScriptNumber(0)};
  for (int k = 1; k < kScriptLevels; ++k) numbers[k] = Word(chunk, kScriptNumberWords[k]);
  scripts.SetScriptLevel(Word(chunk, kScriptLevel));
  vars.SetMusicRoomValue(Word(chunk, kMusicRoom));
  for (int k = 1; k <= scripts.GetScriptLevel(); ++k) scripts.ReloadScript(k, numbers[k]);
  // Layers.
  parts_.screen->SetLayerDisableMask(Word(chunk, kLayerMask));
  // Sound parameters and voice names.
  CSePlayer* se = sound.GetSePlayer();
  CVoicePlayer* voice = sound.GetVoicePlayer();
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i)
      if (se) se->SetParam(ch, i, Word(chunk, kSeParams + kSoundParams * ch + i));
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i)
      if (voice) voice->SetParam(ch, i, Word(chunk, kVoiceParams + kSoundParams * ch + i));
  CSoundPart::ScriptSounds& sounds = sound.GetScriptSounds();
  for (int v = 0; v < 8; ++v) {
    const std::string name = GetText(chunk + kVoiceNamesOffset + 64 * v, 64);
    std::memset(sounds.voiceNames[v], 0, sizeof sounds.voiceNames[v]);
    std::memcpy(sounds.voiceNames[v], name.data(), name.size());
  }
  // Story words, designs, hold flags.
  vars.SetScriptWord(Word(chunk, kScriptWord));
  story.SetWindowWords(Word(chunk, kWindowShown), Word(chunk, kWindowMode));
  story.SetWindowNumberScript(Word(chunk, kWindowDesign));
  parts_.floating->SetMouseNumberScript(Word(chunk, kMouseDesign));
  parts_.floating->SetCursorNumberScript(Word(chunk, kCursorDesign));
  story.SetProhibitWords(Word(chunk, kAutoMessageCheck), Word(chunk, kMessageSwitchWord), Word(chunk, kCannotSkip));
  scripts.Pictures().costumeMask = Word(chunk, kCostumeMask);
  for (int i = 0; i < kEffectChannels; ++i)
    scripts.Pictures().holdFlags[i] = chunk[4 * kHoldFlags + 2 * i] | chunk[4 * kHoldFlags + 2 * i + 1] << 8;
  // Script positions, depths and stacks; with resume tables the call
  // stacks are rebuilt from their call sites.
  const int resume = Word(chunk, kResumeTables);
  for (int k = 0; k < kScriptLevels; ++k) {
    CScript* script = scripts.GetScript(k);
    if (!script) continue;
    script->SetPC(Word(chunk, kProgramCounters + k));
    const int at = kCallDepths + kLevelStride * k;
    script->SetCallDepth(Word(chunk, at));
    for (int i = 0; i < kSavedStackWords; ++i) script->SetReturnStack(i, Word(chunk, at + 1 + i));
  }
  const int level = scripts.GetScriptLevel();
  if (resume > 0) {
    for (int k = 0; k < kScriptLevels; ++k)
      if (scripts.GetScript(k) && (k == 0 || level >= k)) scripts.GetScript(k)->RestoreCallStack();
    for (int k = 0; k < level; ++k)
      if (scripts.GetScript(k)) scripts.GetScript(k)->JumpToEntryB();
  }
  // Saved words and the music.
  words.savedLineCount = Word(chunk, kLineCount);
  words.savedChoiceEnd = Word(chunk, kChoiceEnd);
  words.savedChoiceStart = Word(chunk, kChoiceStart);
  specialSaveNumber_ = Word(chunk, kSpecialNumber);
  const int music = Word(chunk, kMusic);
  sounds.bgmLoopCount = Word(chunk, kMusicLoop);
  if (music == -1)
    sound.StopBgm(-1);
  else
    sound.PlayBgmNumber(music, sounds.bgmLoopCount, -9999, -1, -1);
  // The skip-film button's enable word.
  CFloatingPart& floating = *parts_.floating;
  floating.SetSkipFilmButtonEnable(Word(chunk, kSkipFilmEnable));
  if (floating.GetSkipFilmButtonEnable() != 0) floating.HideSkipFilmButton();
  // The mode of level 0 and the place of the running script.
  words.messageKey = Word(chunk, kMessageKey);
  words.choiceKey = Word(chunk, kChoiceKey);
  const int mode = Word(chunk, kReturnMode);
  parts_.modes->SetModeAtLevel(0, mode);
  words.messageCode = Word(chunk, kMessageCode);
  CScript* script = scripts.CurrentScript();
  const bool older = static_cast<int64_t>(GetVersion()) - loadedVersion_ >= 1;
  if (mode == modenumber::kPrintMessage) {
    if (CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage()) {
      printMessage->SetMessageCode(words.messageCode);
      printMessage->SetLineCount(words.savedLineCount);
    }
    if (script && older && words.messageKey >= 0) script->SearchMessage(words.messageKey);
  } else if (mode == modenumber::kSelectMessage) {
    for (int i = 0; i < 4; ++i) words.choiceWords[i] = Word(chunk, kChoiceWords + i);
    if (CStoryChoiceMode* choice = parts_.modes->GetSelectMessage()) {
      // The mode holds the range to its 64 slots; the end is at least the
      // start.
      const int64_t length = int64_t{words.savedChoiceEnd} - words.savedChoiceStart;
      choice->SetSelectRange(static_cast<int>(std::clamp<int64_t>(length, 0, INT32_MAX)), words.savedChoiceStart);
      choice->SetTimeLimit(std::max(words.choiceWords[0], 0), words.choiceWords[1]);
      choice->SetSelectState(words.choiceWords[2]);
      choice->SetSelectExtra(words.choiceWords[3]);
    }
    if (script && older && words.messageKey >= 0) script->SearchChoice(words.choiceKey);
  } else if (mode != modenumber::kTitle && resume >= 1 && script) {
    script->JumpToEntryA();
  }
  // Names, then the frame time.
  const std::string family = GetText(chunk + kFamilyOffset, kNameField);
  const std::string given = GetText(chunk + kGivenOffset, kNameField);
  vars.SetNames(family.c_str(), given.c_str());
  if (Word(chunk, kFrameTime) > 0) parts_.frame->SetFrameTime(Word(chunk, kFrameTime));
}

void CSavePart::PutMiniCG(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + 16) return;
  const size_t room = (size - kHeader - 16) / 4;
  const size_t n = std::min(room, miniCG_.size());
  for (size_t i = 0; i < n; ++i) platform::SetLE32(chunk + kHeader + 16 + 4 * i, miniCG_[i]);
}

void CSavePart::PutGameVar(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + 4 * kVarCount) return;
  const CGameVariables* vars = parts_.vars->GetVariables();
  for (int i = 0; i < kVarCount; ++i)
    platform::SetLE32(chunk + kHeader + 4 * i, static_cast<uint32_t>(vars ? vars->GetVar(i) : 0));
}

void CSavePart::PutEffect(uint8_t* chunk, size_t size) {
  CAllEffect* effect = parts_.screen->GetEffect();
  if (!chunk || !effect || size < kHeader + kEffectChannels * EffectChannel::kBytes) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const EffectChannel* record = effect->GetSaveChannel(ch);
    if (!record) continue;
    uint8_t* out = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    for (int i = 0; i < EffectChannel::kInts; ++i) platform::SetLE32(out + 4 * i, static_cast<uint32_t>(record->v[i]));
  }
}

void CSavePart::PutEffectFileName(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + kEffectChannels * kEffectNameSize) return;
  for (int ch = 0; ch < kEffectChannels; ++ch)
    PutText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize, keptEffectNames_[ch], kEffectNameSize - 2);
}

void CSavePart::PutOmakeClass(uint8_t* body, size_t size) {
  if (CKeyFlagTable* table = parts_.modes->GetKeyFlagTable()) table->SaveBytes(body, size);
}

void CSavePart::PutCutin(uint8_t* chunk, size_t size) {
  const CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * CStoryMessageMode::kCutinWords) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  printMessage->SaveData(words);
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    platform::SetLE32(chunk + kHeader + 4 * i, static_cast<uint32_t>(words[i]));
  if (size >= kCutinNumberAt + 4)
    platform::SetLE32(chunk + kCutinNumberAt, static_cast<uint32_t>(printMessage->GetCutinNumber()));
}

void CSavePart::GetInfo(const uint8_t* chunk, size_t size) {
  if (chunk && size >= kHeader + 8) loadedVersion_ = Word(chunk, 9);
}

void CSavePart::GetGameVar(const uint8_t* chunk, size_t size) {
  CGameVariables* vars = parts_.vars->GetVariables();
  if (!chunk || !vars || size < kHeader + 4 * kVarCount) return;
  // 200..299 belong to the system data and stay.
  for (int i = 0; i < kVarCount; ++i)
    if (i < 200 || i >= 300) vars->SetVar(i, platform::GetLE32Signed(chunk + kHeader + 4 * i));
}

void CSavePart::GetEffect(const uint8_t* chunk, size_t size) {
  CAllEffect* effect = parts_.screen->GetEffect();
  if (!chunk || !effect || size < kHeader + kEffectChannels * EffectChannel::kBytes) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const uint8_t* in = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    // The live channels and the kept copy, so that the state put back when
    // the load screen closes is the loaded one.
    EffectChannel* records[2] = {effect->GetChannel(ch), effect->GetSaveChannel(ch)};
    for (EffectChannel* record : records)
      if (record)
        for (int i = 0; i < EffectChannel::kInts; ++i) record->v[i] = platform::GetLE32Signed(in + 4 * i);
  }
}

void CSavePart::GetEffectFileName(const uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + kEffectChannels * kEffectNameSize) return;
  CScreenPart& screen = *parts_.screen;
  CAllEffect* effect = screen.GetEffect();
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const std::string name = GetText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize);
    std::memset(keptEffectNames_[ch], 0, kEffectNameSize);
    std::memcpy(keptEffectNames_[ch], name.data(), name.size());
    std::memcpy(screen.GetEffectPictureName(ch), keptEffectNames_[ch], kEffectNameSize);
    // The pictures of the channels in use come back; one that fails keeps
    // its previous picture.
    const EffectChannel* record = effect ? effect->GetChannel(ch) : nullptr;
    CPicture* picture = record && record->v[0] != 0 && !name.empty() ? effect->GetPicture(ch) : nullptr;
    if (picture && !picture->LoadDWQ(name.c_str(), 0, nullptr))
      platform::MessageBox(nullptr, name.c_str(), "LOADDWQ ERROR", MB_OK);
  }
}

void CSavePart::GetOmakeClass(const uint8_t* body, size_t size) {
  // The table sanitises what it reads: keys outside 1..99 and repeats go.
  if (CKeyFlagTable* table = parts_.modes->GetKeyFlagTable()) table->LoadBytes(body, size);
}

void CSavePart::GetCutin(const uint8_t* chunk, size_t size) {
  CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * CStoryMessageMode::kCutinWords) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    words[i] = platform::GetLE32Signed(chunk + kHeader + 4 * i);
  printMessage->LoadData(words);
  if (size >= kCutinNumberAt + 4) printMessage->SetCutinNumber(platform::GetLE32Signed(chunk + kCutinNumberAt));
}

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

void CSavePart::PutMessage(uint8_t* chunk, size_t size) {
  // The texts come from the choice mode (return mode 9) or the
  // print-message mode; without the mode the entries stay zero.
  if (!chunk || size <= kHeader) return;
  const size_t body = std::min(size - kHeader, kMessageEntries * kMessageEntrySize);
  std::memset(chunk + kHeader, 0, body);
  FillMessageEntries(chunk, size, MessageChunkTexts());
}

// The 64 entries go back into the print-message mode's lines (the mode
// ends every line with two NULs) and the choice mode's slots.
void CSavePart::GetMessage(const uint8_t* chunk, size_t size) {
  if (!chunk || size <= kHeader) return;
  if (CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage())
    for (int i = 0; i < kMessageEntries; ++i) {
      const size_t at = kHeader + static_cast<size_t>(i) * kMessageEntrySize;
      if (at + kMessageEntrySize > size) break;
      printMessage->SetMessageLine(i, reinterpret_cast<const char*>(chunk + at), kMessageEntrySize);
    }
  if (CStoryChoiceMode* choice = parts_.modes->GetSelectMessage())
    choice->RestoreSelectTexts(chunk + kHeader, size - kHeader);
}

std::vector<const char*> CSavePart::MessageChunkTexts() {
  std::vector<const char*> texts;
  // The choice texts when the player left from the choice mode, else the
  // print-message mode's lines.
  if (parts_.modes->GetReturnMode() == modenumber::kSelectMessage) {
    if (const CStoryChoiceMode* choice = parts_.modes->GetSelectMessage())
      for (int i = 0; i < choice->GetSelectEnd(); ++i) texts.push_back(choice->GetSelectText(i));
    return texts;
  }
  if (const CStoryMessageMode* printMessage = parts_.modes->GetPrintMessage())
    for (int i = 0; i < printMessage->GetLineCount(); ++i) texts.push_back(printMessage->GetMessageLine(i));
  return texts;
}

// --- Thumbnail ---

void CSavePart::MakeMiniCG() {
  parts_.floating->RestoreFloatingLayers();
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
  return mode >= 1 ? parts_.modes->GetMode(mode) : nullptr;
}

void CSavePart::PutExtSaveData(uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->SaveExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->SaveData(chunk + kHeader, size - kHeader);
  else
    parts_.hooks->PutExtSaveDataDefault(chunk, size, i);
}

void CSavePart::GetExtSaveData(const uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->LoadExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->LoadData(chunk + kHeader, size - kHeader);
  else
    parts_.hooks->GetExtSaveDataDefault(chunk, size, i);
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
  const CKeyFlagTable* table = parts_.modes->GetKeyFlagTable();
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
  parts_.hooks->OnBeforeSaveSystemFile();
  if (parts_.systemFile) {
    parts_.vars->StoreNamesAndKeptVars();
    parts_.systemFile->Save(0);
  }
  if (settings_.resultFlag && resultTable_) resultTable_->Save();
  parts_.hooks->OnAfterSaveSystemFile();
}

// --- Kept game state ---

void CSavePart::KeepGameState() {
  CScreenPart& screen = *parts_.screen;
  CScriptPart& scripts = *parts_.scripts;
  if (CAllEffect* effect = screen.GetEffect()) effect->SaveChannels();
  for (int ch = 0; ch < kEffectChannels; ++ch) keptHoldFlags_[ch] = scripts.Pictures().holdFlags[ch];
  keptMessageWindowOn_ = parts_.messageWindow->GetAutoModeFlag();
  for (int ch = 0; ch < kEffectChannels; ++ch)
    PutText(reinterpret_cast<uint8_t*>(keptEffectNames_[ch]), kEffectNameSize, screen.GetEffectPictureName(ch),
            kEffectNameSize - 2);
  keptScriptLevel_ = scripts.GetScriptLevel();
  for (int k = 0; k < kScriptLevels; ++k) {
    keptScriptNumber_[k] = scripts.GetScriptNumber(k);
    KeptScript& kept = keptScripts_[k];
    const CScript* script = scripts.GetScript(k);
    kept = KeptScript{};
    if (!script) continue;
    kept.pc = script->GetPC();
    kept.depth = script->GetCallDepth();
    for (int i = 0; i < kSavedStackWords; ++i) {
      kept.returnStack[i] = script->GetReturnStack(i);
      kept.callSites[i] = script->GetCallSite(i);
    }
  }
}

void CSavePart::RestoreGameState() {
  CScriptPart& scripts = *parts_.scripts;
  CAllEffect* effect = parts_.screen->GetEffect();
  parts_.messageWindow->SetMessageWindowOn(keptMessageWindowOn_);
  if (effect) effect->LoadChannels();
  for (int ch = 0; ch < kEffectChannels; ++ch) scripts.Pictures().holdFlags[ch] = keptHoldFlags_[ch];
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    CPicture* picture = effect && keptEffectNames_[ch][0] ? effect->GetPicture(ch) : nullptr;
    if (picture) picture->LoadDWQ(keptEffectNames_[ch], 0, nullptr);
  }
  scripts.SetScriptLevel(keptScriptLevel_);
  for (int k = 0; k < kScriptLevels; ++k) scripts.SetScriptNumber(k, keptScriptNumber_[k]);
  for (int k = 1; k <= keptScriptLevel_ && k < kScriptLevels; ++k) scripts.ReloadScript(k, keptScriptNumber_[k]);
  for (int k = 0; k < kScriptLevels; ++k) {
    CScript* script = scripts.GetScript(k);
    if (!script) continue;
    const KeptScript& kept = keptScripts_[k];
    script->SetPC(kept.pc);
    script->SetCallDepth(kept.depth);
    for (int i = 0; i < kSavedStackWords; ++i) {
      script->SetReturnStack(i, kept.returnStack[i]);
      script->SetCallSite(i, kept.callSites[i]);
    }
  }
}

void CSavePart::ClearGameState() {
  CMessageWindowPart& story = *parts_.messageWindow;
  story.SetStoredOption(0);
  parts_.vars->SetScriptWord(0);
  parts_.vars->SetSystemSetting(6, 0);
  story.SetShiftSkipState(0);
  story.EndSkipFilm();
  parts_.scripts->SetScriptStartFlag(0);
  story.SetWindowNumberScript(0);
  parts_.floating->SetCursorNumberScript(0);
  story.SetMessageWindowMode(0);
  parts_.floating->SetMouseNumberScript(0);
  story.SetProhibitWords(0, 0, 0);
  parts_.floating->SetFloatingButtonOffFlag(0);
  parts_.scripts->Pictures().costumeMask = 0;
  for (int ch = 0; ch < kEffectChannels; ++ch) parts_.scripts->Pictures().holdFlags[ch] = 0;
  parts_.sound->ClearLoopFlags();
  // The faces' expressions chosen in the last game go with it.
  story.ResetFaces();
}

// --- Last slot and save comments ---

int CSavePart::GetLastSaveSlot() {
  return parts_.systemFile ? parts_.systemFile->GetSystemData(CCommonSystemFile::kLastSlotOffset) - 1 : -1;
}

int CSavePart::SetLastSaveSlot(int slot) {
  if (parts_.systemFile) parts_.systemFile->SetSystemData(CCommonSystemFile::kLastSlotOffset, slot + 1);
  return slot + 1;
}

void CSavePart::SetSaveComment(const char* text, int line) {
  if (line < 0 || line >= kCommentLines) return;
  PutText(reinterpret_cast<uint8_t*>(saveComments_[line]), kCommentSize, text, kCommentSize - 2);
}

void CSavePart::SwapSaveComments() {
  // Each line's first byte is kept aside while the lines are out, which
  // empties them.
  for (int i = 0; i < kCommentLines; ++i) std::swap(hiddenComments_[i], saveComments_[i][0]);
}
