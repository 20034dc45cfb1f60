// CGameCallBack: the player's options in the system data, names, save
// chunks, thumbnails, the kept game state and the back log.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/gamecallback.h"
#include "modebase/modenames.h"
#include "modebase/modenumbers.h"
#include "message/autosave.h"
#include "message/textstate.h"
#include "platform/types.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/bytes.h"
#include "platform/system.h"
#include "savedata/minicgmaker.h"
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

// "initに自動セーブデータが設定されていません:モード %d(%s)" and
// "...:サブモード %d" (CP932).
constexpr char kNoAutoSaveMode[] =
    "init\x82\xC9\x8E\xA9\x93\xAE\x83Z\x81[\x83u\x83\x66\x81[\x83^\x82\xAA\x90\xDD\x92\xE8"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1:\x83\x82\x81[\x83h %d(%s)";
constexpr char kNoAutoSaveSub[] =
    "init\x82\xC9\x8E\xA9\x93\xAE\x83Z\x81[\x83u\x83\x66\x81[\x83^\x82\xAA\x90\xDD\x92\xE8"
    "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1:\x83T\x83u\x83\x82\x81[\x83h %d";

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
  setup::CopyCp932Cut(reinterpret_cast<char*>(field), text,
                      static_cast<int>(std::min(room, fieldSize - 1)));
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

int CGameCallBack::IsSystemSettingOn() { return GetSystemSetting(2) != 0 ? 1 : 0; }

// --- Save chunks ---

void CGameCallBack::PutSaveData(int type, uint8_t* chunk, size_t size) {
  switch (type) {
    case 2: PutGameStatus(chunk, size); break;
    case 3: PutMiniCG(chunk, size); break;
    case 4: PutGameVar(chunk, size); break;
    case 5: PutEffect(chunk, size); break;
    case 6: PutEffectFileName(chunk, size); break;
    case 7: PutMessage(chunk, size); break;
    case 9: PutCutin(chunk, size); break;
    default: break;
  }
}

void CGameCallBack::GetSaveData(int type, const uint8_t* chunk, size_t size) {
  switch (type) {
    case 1: GetInfo(chunk, size); break;
    case 2: GetGameStatus(chunk, size); break;
    case 4: GetGameVar(chunk, size); break;
    case 5: GetEffect(chunk, size); break;
    case 6: GetEffectFileName(chunk, size); break;
    case 7: GetMessage(chunk, size); break;
    case 9: GetCutin(chunk, size); break;
    default: break;
  }
}

void CGameCallBack::PutGameStatus(uint8_t* chunk, size_t size) {
  if (!chunk || size < kGameStatusSize) return;
  if (dateVar_ >= 0) {
    const int date = GetVar(dateVar_);
    SetWord(chunk, kDateMonth, date / 100);
    SetWord(chunk, kDateDay, date % 100);
    SetWord(chunk, kDateWeekday, GetWeekDay(date));
  }
  SetWord(chunk, kReturnMode, returnMode_);
  const int resume = scripts_[0] && scripts_[0]->HasResumeTables() ? 1 : 0;
  SetWord(chunk, kResumeTables, resume);
  SetWord(chunk, kScriptLevel, keptScriptLevel_);
  for (int k = 1; k < kScriptLevels; ++k)
    SetWord(chunk, kScriptNumberWords[k], keptScriptNumber_[k]);
  // The print-message mode owns its line count and page code.
  if (const CStoryMessageMode* printMessage = GetPrintMessage()) {
    savedLineCount_ = printMessage->GetLineCount();
    messageCode_ = printMessage->GetMessageCode();
  }
  SetWord(chunk, kMessageKey, messageKey_);
  SetWord(chunk, kLineCount, savedLineCount_);
  SetWord(chunk, kMessageCode, messageCode_);
  SetWord(chunk, kChoiceKey, choiceKey_);
  // The choice mode owns its range and its four words once it exists.
  CStoryChoiceMode* choice = GetSelectMessage();
  if (choice) {
    savedChoiceEnd_ = choice->GetSelectEnd();
    savedChoiceStart_ = choice->GetSelectStart();
    choiceWords_[0] = choice->GetTimeLimit();
    choiceWords_[1] = choice->GetTimeoutChoice();
    choiceWords_[2] = choice->GetSelectState();
    choiceWords_[3] = choice->GetSelectExtra();
  }
  SetWord(chunk, kChoiceEnd, savedChoiceEnd_);
  SetWord(chunk, kChoiceStart, savedChoiceStart_);
  SetWord(chunk, kMusic, currentBgm_);
  SetWord(chunk, kMusicLoop, bgmLoopCount_);
  SetWord(chunk, kWindowShown, keptMessageWindowOn_);
  SetWord(chunk, kFrameTime, GetFrameTime());
  if (settings_.specialNumberForSaveSetFlag && specialNumberVar_ != -1)
    specialSaveNumber_ = GetVar(specialNumberVar_);
  SetWord(chunk, kSpecialNumber, specialSaveNumber_);
  SetWord(chunk, kMusicRoom, musicRoomValue_);
  SetWord(chunk, kLayerMask, GetLayerDisableMask());
  SetWord(chunk, kWindowMode, messageWindowMode_);
  SetWord(chunk, kCostumeMask, costumeMask_);
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i) {
      SetWord(chunk, kSeParams + kSoundParams * ch + i, sePlayer_ ? sePlayer_->GetParam(ch, i) : 0);
      SetWord(chunk, kVoiceParams + kSoundParams * ch + i,
              voicePlayer_ ? voicePlayer_->GetParam(ch, i) : 0);
    }
  SetWord(chunk, kWindowDesign, windowNumberScript_);
  SetWord(chunk, kCursorDesign, cursorNumberScript_);
  SetWord(chunk, kMouseDesign, mouseNumberScript_);
  std::memcpy(chunk + kVoiceNamesOffset, voiceNames_, sizeof voiceNames_);
  PutText(chunk + kStatusExtraOffset, kStatusExtraRoom + 2, GetStatusExtra(), kStatusExtraRoom);
  // The names the text shows, placeholders included.
  PutText(chunk + kFamilyOffset, kNameField, GetTextState().familyName, kNameField - 1);
  PutText(chunk + kGivenOffset, kNameField, GetTextState().givenName, kNameField - 1);
  for (int i = 0; i < kEffectChannels; ++i) {
    const uint16_t flag = static_cast<uint16_t>(keptHoldFlags_[i]);
    chunk[4 * kHoldFlags + 2 * i] = static_cast<uint8_t>(flag);
    chunk[4 * kHoldFlags + 2 * i + 1] = static_cast<uint8_t>(flag >> 8);
  }
  SetWord(chunk, kScriptWord, scriptWord_);
  SetWord(chunk, kSkipFilmEnable, skipFilmButtonEnable_);
  if (returnMode_ == modenumber::kSelectMessage)
    for (int i = 0; i < 4; ++i) SetWord(chunk, kChoiceWords + i, choiceWords_[i]);
  SetWord(chunk, kAutoMessageCheck, autoMessageCheckFlag_);
  SetWord(chunk, kMessageSwitchWord, messageSwitch_);
  SetWord(chunk, kCannotSkip, cannotSkipFlag_);
  for (int k = 0; k < kScriptLevels; ++k) {
    const KeptScript& kept = keptScripts_[k];
    SetWord(chunk, kProgramCounters + k, kept.pc);
    const int at = kCallDepths + kLevelStride * k;
    SetWord(chunk, at, kept.depth);
    for (int i = 0; i < kSavedStackWords; ++i)
      SetWord(chunk, at + 1 + i,
              resume && i < kResumeCallSites ? kept.callSites[i] : kept.returnStack[i]);
  }
  for (int line = 0; line < kCommentLines; ++line)
    PutText(chunk + kCommentOffset + kCommentSize * line, kCommentSize, saveComments_[line],
            kCommentSize - 2);
}

const char* CGameCallBack::CheckGameStatus(const uint8_t* chunk, size_t size) {
  if (!chunk || size < kGameStatusSize) return "the game status chunk is short";
  const int level = Word(chunk, kScriptLevel);
  if (level < 0 || level >= kScriptLevels) return "the script level is impossible";
  const int mode = Word(chunk, kReturnMode);
  if (mode < 0 || mode >= kModeCount) return "the saved mode is impossible";
  for (int k = 1; k <= level; ++k) {
    const int number = Word(chunk, kScriptNumberWords[k]);
    const char* name = projectList_ && number >= 0 && number < projectList_->GetCount()
                           ? projectList_->GetName(number)
                           : nullptr;
    if (!name || !*name) return "a saved script number is not in the project list";
  }
  for (int k = 0; k < kScriptLevels; ++k) {
    const int depth = Word(chunk, kCallDepths + kLevelStride * k);
    if (depth < 0 || depth >= CScript::kMaxCallDepth) return "a saved call depth is impossible";
    const int pc = Word(chunk, kProgramCounters + k);
    const int capacity = scripts_[k] ? scripts_[k]->GetCapacity() : 0;
    if (pc < 0 || pc > capacity) return "a saved script position lies outside the script";
  }
  if (const char* reason = CheckSavedScripts(chunk)) return reason;
  const int music = Word(chunk, kMusic);
  if (music != -1 && (music < 0 || music >= GetBgmCount()))
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
const char* CGameCallBack::CheckSavedScripts(const uint8_t* chunk) {
  using Table = CScript::ResumeTable;
  const int level = Word(chunk, kScriptLevel);
  const int mode = Word(chunk, kReturnMode);
  const bool resume = Word(chunk, kResumeTables) > 0;
  const bool jumpsToSystemCall = mode != modenumber::kTitle && mode != modenumber::kPrintMessage &&
                                 mode != modenumber::kSelectMessage;
  for (int k = 0; k < kScriptLevels; ++k) {
    if (!scripts_[k]) continue;
    const int at = kCallDepths + kLevelStride * k;
    const int depth = Word(chunk, at);
    if (!resume) {
      for (int i = 0; i < depth; ++i) {
        const int position = Word(chunk, at + 1 + i);
        if (position < 0 || position > scripts_[k]->GetCapacity())
          return "a saved return position lies outside the script";
      }
      continue;
    }
    if (k > level) continue;
    std::unique_ptr<CScript> probe;
    const CScript* script = scripts_[k];
    std::string name = *script->GetLoadedName() ? script->GetLoadedName() : "the story script";
    if (k > 0) {
      name = ScriptPath(Word(chunk, kScriptNumberWords[k]));
      if (!script->IsLoaded() || !setup::EqualNoCase(script->GetLoadedName(), name.c_str())) {
        probe = std::make_unique<CScript>(this, script->GetCapacity());
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
        !script->HasResumeEntry(Table::kSystemCallEntries,
                                Word(chunk, at + 1 + CScript::kSystemCallEntrySlot)))
      broken = "the saved system-call entry is not in the system-call table of ";
    if (broken) {
      statusRefusal_ = broken + name;
      return statusRefusal_.c_str();
    }
  }
  return nullptr;
}

std::string CGameCallBack::ScriptPath(int number) const {
  const char* name = projectList_ ? projectList_->GetName(number) : nullptr;
  return name && *name ? std::string("spt\\") + name + ".spt" : std::string();
}

int CGameCallBack::ReloadScript(int level, int number) {
  if (level < 1 || level >= kScriptLevels || !scripts_[level]) return 0;
  const std::string path = ScriptPath(number);
  if (path.empty()) return 0;
  scriptNumber_[level] = number;
  return scripts_[level]->Load(path.c_str());
}

void CGameCallBack::GetGameStatus(const uint8_t* chunk, size_t size) {
  if (CheckGameStatus(chunk, size)) return;
  // Script numbers and level, the music-room value, the scripts.
  int numbers[kScriptLevels] = {scriptNumber_[0]};
  for (int k = 1; k < kScriptLevels; ++k) numbers[k] = Word(chunk, kScriptNumberWords[k]);
  scriptLevel_ = Word(chunk, kScriptLevel);
  musicRoomValue_ = Word(chunk, kMusicRoom);
  for (int k = 1; k <= scriptLevel_; ++k) ReloadScript(k, numbers[k]);
  // Layers.
  SetLayerDisableMask(Word(chunk, kLayerMask));
  // Sound parameters and voice names.
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i)
      if (sePlayer_) sePlayer_->SetParam(ch, i, Word(chunk, kSeParams + kSoundParams * ch + i));
  for (int ch = 0; ch < kSoundChannels; ++ch)
    for (int i = 0; i < kSoundParams; ++i)
      if (voicePlayer_)
        voicePlayer_->SetParam(ch, i, Word(chunk, kVoiceParams + kSoundParams * ch + i));
  for (int v = 0; v < 8; ++v) {
    const std::string name = GetText(chunk + kVoiceNamesOffset + 64 * v, 64);
    std::memset(voiceNames_[v], 0, sizeof voiceNames_[v]);
    std::memcpy(voiceNames_[v], name.data(), name.size());
  }
  // Story words, designs, hold flags.
  scriptWord_ = Word(chunk, kScriptWord);
  messageWindowOn_ = Word(chunk, kWindowShown);
  messageWindowMode_ = Word(chunk, kWindowMode);
  SetWindowNumberScript(Word(chunk, kWindowDesign));
  SetMouseNumberScript(Word(chunk, kMouseDesign));
  SetCursorNumberScript(Word(chunk, kCursorDesign));
  autoMessageCheckFlag_ = Word(chunk, kAutoMessageCheck);
  messageSwitch_ = Word(chunk, kMessageSwitchWord);
  cannotSkipFlag_ = Word(chunk, kCannotSkip);
  costumeMask_ = Word(chunk, kCostumeMask);
  for (int i = 0; i < kEffectChannels; ++i)
    holdFlags_[i] = chunk[4 * kHoldFlags + 2 * i] | chunk[4 * kHoldFlags + 2 * i + 1] << 8;
  // Script positions, depths and stacks; with resume tables the call
  // stacks are rebuilt from their call sites.
  const int resume = Word(chunk, kResumeTables);
  for (int k = 0; k < kScriptLevels; ++k) {
    CScript* script = scripts_[k];
    if (!script) continue;
    script->SetPC(Word(chunk, kProgramCounters + k));
    const int at = kCallDepths + kLevelStride * k;
    script->SetCallDepth(Word(chunk, at));
    for (int i = 0; i < kSavedStackWords; ++i) script->SetReturnStack(i, Word(chunk, at + 1 + i));
  }
  if (resume > 0) {
    for (int k = 0; k < kScriptLevels; ++k)
      if (scripts_[k] && (k == 0 || scriptLevel_ >= k)) scripts_[k]->RestoreCallStack();
    for (int k = 0; k < scriptLevel_; ++k)
      if (scripts_[k]) scripts_[k]->JumpToEntryB();
  }
  // Saved words and the music.
  savedLineCount_ = Word(chunk, kLineCount);
  savedChoiceEnd_ = Word(chunk, kChoiceEnd);
  savedChoiceStart_ = Word(chunk, kChoiceStart);
  specialSaveNumber_ = Word(chunk, kSpecialNumber);
  const int music = Word(chunk, kMusic);
  bgmLoopCount_ = Word(chunk, kMusicLoop);
  if (music == -1)
    StopBgm(-1);
  else
    PlayBgmNumber(music, bgmLoopCount_, -9999, -1, -1);
  // The skip-film button's enable word.
  skipFilmButtonEnable_ = Word(chunk, kSkipFilmEnable);
  if (skipFilmButtonEnable_ != 0) HideSkipFilmButton();
  // The mode of level 0 and the place of the running script.
  messageKey_ = Word(chunk, kMessageKey);
  choiceKey_ = Word(chunk, kChoiceKey);
  const int mode = Word(chunk, kReturnMode);
  const int saved = modeLevel_;
  modeLevel_ = 0;
  SetCurrentMode(mode);
  modeLevel_ = saved;
  messageCode_ = Word(chunk, kMessageCode);
  CScript* script = CurrentScript();
  const bool older = static_cast<int64_t>(GetVersion()) - loadedVersion_ >= 1;
  if (mode == modenumber::kPrintMessage) {
    if (CStoryMessageMode* printMessage = GetPrintMessage()) {
      printMessage->SetMessageCode(messageCode_);
      printMessage->SetLineCount(savedLineCount_);
    }
    if (script && older && messageKey_ >= 0) script->SearchMessage(messageKey_);
  } else if (mode == modenumber::kSelectMessage) {
    for (int i = 0; i < 4; ++i) choiceWords_[i] = Word(chunk, kChoiceWords + i);
    if (CStoryChoiceMode* choice = GetSelectMessage()) {
      // The mode holds the range to its 64 slots; the end is at least the
      // start.
      const int64_t length = int64_t{savedChoiceEnd_} - savedChoiceStart_;
      choice->SetSelectRange(static_cast<int>(std::clamp<int64_t>(length, 0, INT32_MAX)),
                             savedChoiceStart_);
      choice->SetTimeLimit(std::max(choiceWords_[0], 0), choiceWords_[1]);
      choice->SetSelectState(choiceWords_[2]);
      choice->SetSelectExtra(choiceWords_[3]);
    }
    if (script && older && messageKey_ >= 0) script->SearchChoice(choiceKey_);
  } else if (mode != modenumber::kTitle && resume >= 1 && script) {
    script->JumpToEntryA();
  }
  // Names, then the frame time.
  const std::string family = GetText(chunk + kFamilyOffset, kNameField);
  const std::string given = GetText(chunk + kGivenOffset, kNameField);
  SetNames(family.c_str(), given.c_str());
  if (Word(chunk, kFrameTime) > 0) SetFrameTime(Word(chunk, kFrameTime));
}

void CGameCallBack::PutMiniCG(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + 16) return;
  const size_t room = (size - kHeader - 16) / 4;
  const size_t n = std::min(room, miniCG_.size());
  for (size_t i = 0; i < n; ++i) platform::SetLE32(chunk + kHeader + 16 + 4 * i, miniCG_[i]);
}

void CGameCallBack::PutGameVar(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + 4 * kVarCount) return;
  for (int i = 0; i < kVarCount; ++i)
    platform::SetLE32(chunk + kHeader + 4 * i,
                      static_cast<uint32_t>(gameVars_ ? gameVars_->GetVar(i) : 0));
}

void CGameCallBack::PutEffect(uint8_t* chunk, size_t size) {
  if (!chunk || !effect_ || size < kHeader + kEffectChannels * EffectChannel::kBytes) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const EffectChannel* record = effect_->GetSaveChannel(ch);
    if (!record) continue;
    uint8_t* out = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    for (int i = 0; i < EffectChannel::kInts; ++i)
      platform::SetLE32(out + 4 * i, static_cast<uint32_t>(record->v[i]));
  }
}

void CGameCallBack::PutEffectFileName(uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + kEffectChannels * kEffectNameSize) return;
  for (int ch = 0; ch < kEffectChannels; ++ch)
    PutText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize, keptEffectNames_[ch],
            kEffectNameSize - 2);
}

void CGameCallBack::PutOmakeClass(uint8_t* body, size_t size) {
  if (keyFlagTable_) keyFlagTable_->SaveBytes(body, size);
}

// The print-message mode's 128 cut-in words at byte 32 and its cut-in
// number at byte 1052.
constexpr size_t kCutinNumberAt = 1052;

void CGameCallBack::PutCutin(uint8_t* chunk, size_t size) {
  const CStoryMessageMode* printMessage = GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * CStoryMessageMode::kCutinWords) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  printMessage->SaveData(words);
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    platform::SetLE32(chunk + kHeader + 4 * i, static_cast<uint32_t>(words[i]));
  if (size >= kCutinNumberAt + 4)
    platform::SetLE32(chunk + kCutinNumberAt,
                      static_cast<uint32_t>(printMessage->GetCutinNumber()));
}

void CGameCallBack::GetInfo(const uint8_t* chunk, size_t size) {
  if (chunk && size >= kHeader + 8) loadedVersion_ = Word(chunk, 9);
}

void CGameCallBack::GetGameVar(const uint8_t* chunk, size_t size) {
  if (!chunk || !gameVars_ || size < kHeader + 4 * kVarCount) return;
  // 200..299 belong to the system data and stay.
  for (int i = 0; i < kVarCount; ++i)
    if (i < 200 || i >= 300) gameVars_->SetVar(i, platform::GetLE32Signed(chunk + kHeader + 4 * i));
}

void CGameCallBack::GetEffect(const uint8_t* chunk, size_t size) {
  if (!chunk || !effect_ || size < kHeader + kEffectChannels * EffectChannel::kBytes) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const uint8_t* in = chunk + kHeader + static_cast<size_t>(EffectChannel::kBytes) * ch;
    // The live channels and the kept copy, so that the state put back when
    // the load screen closes is the loaded one.
    EffectChannel* records[2] = {effect_->GetChannel(ch), effect_->GetSaveChannel(ch)};
    for (EffectChannel* record : records)
      if (record)
        for (int i = 0; i < EffectChannel::kInts; ++i)
          record->v[i] = platform::GetLE32Signed(in + 4 * i);
  }
}

void CGameCallBack::GetEffectFileName(const uint8_t* chunk, size_t size) {
  if (!chunk || size < kHeader + kEffectChannels * kEffectNameSize) return;
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    const std::string name = GetText(chunk + kHeader + kEffectNameSize * ch, kEffectNameSize);
    std::memset(keptEffectNames_[ch], 0, kEffectNameSize);
    std::memcpy(keptEffectNames_[ch], name.data(), name.size());
    std::memcpy(effectPictureNames_[ch], keptEffectNames_[ch], kEffectNameSize);
    // The pictures of the channels in use come back; one that fails keeps
    // its previous picture.
    const EffectChannel* record = effect_ ? effect_->GetChannel(ch) : nullptr;
    CPicture* picture = record && record->v[0] != 0 && !name.empty() ? effect_->GetPicture(ch)
                                                                        : nullptr;
    if (picture && !picture->LoadDWQ(name.c_str(), 0, nullptr))
      platform::MessageBox(nullptr, name.c_str(), "LOADDWQ ERROR", MB_OK);
  }
}


void CGameCallBack::GetOmakeClass(const uint8_t* body, size_t size) {
  // The table sanitises what it reads: keys outside 1..99 and repeats go.
  if (keyFlagTable_) keyFlagTable_->LoadBytes(body, size);
}

void CGameCallBack::GetCutin(const uint8_t* chunk, size_t size) {
  CStoryMessageMode* printMessage = GetPrintMessage();
  if (!chunk || !printMessage || size < kHeader + 4 * CStoryMessageMode::kCutinWords) return;
  int words[CStoryMessageMode::kCutinWords] = {};
  for (int i = 0; i < CStoryMessageMode::kCutinWords; ++i)
    words[i] = platform::GetLE32Signed(chunk + kHeader + 4 * i);
  printMessage->LoadData(words);
  if (size >= kCutinNumberAt + 4)
    printMessage->SetCutinNumber(platform::GetLE32Signed(chunk + kCutinNumberAt));
}

// --- Thumbnail ---

void CGameCallBack::MakeMiniCG() {
  RestoreFloatingLayers();
  const uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || miniCGWidth_ <= 0 || miniCGHeight_ <= 0) return;
  CMiniCGMaker maker;
  maker.SetSourceSize(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  maker.SetMiniCGSize(miniCGWidth_, miniCGHeight_);
  maker.SetBlockSize(settings_.miniCGReduce);
  miniCG_.assign(static_cast<size_t>(miniCGWidth_) * miniCGHeight_, 0);
  maker.Make(screen, miniCG_.data());
}

void CGameCallBack::GetMiniCG(uint32_t* pixels, int sizeType, int width, int height) {
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

int CGameCallBack::GetFirstSystemSetting(int) { return GetSystemSetting(0); }

// --- EXT chunks ---

std::vector<int>& CGameCallBack::ExtChunkSizes() {
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

int CGameCallBack::GetExtSaveDataCount() { return static_cast<int>(ExtChunkSizes().size()); }

int CGameCallBack::GetExtSaveDataSize(int i) {
  const std::vector<int>& sizes = ExtChunkSizes();
  return i >= 0 && i < static_cast<int>(sizes.size()) ? sizes[static_cast<size_t>(i)] : 0;
}

// Automatic rows go to their mode, sub-entry rows to the object registered
// under their key (SetExtSaveObject), the rest keep the default.
CAutoSaveSubData* CGameCallBack::ExtRowObject(int i) const {
  const int first = static_cast<int>(extDataModes_.size());
  if (i < first || i >= first + static_cast<int>(extDataSubs_.size())) return nullptr;
  const int key = extDataSubs_[static_cast<size_t>(i - first)];
  return key >= 1 && key < kExtObjectKeys ? extSaveObjects_[key] : nullptr;
}

CCommonGeneral* CGameCallBack::ExtRowMode(int i) const {
  const int mode = i >= 0 && i < static_cast<int>(extDataModes_.size())
                       ? extDataModes_[static_cast<size_t>(i)]
                       : 0;
  return mode >= 1 ? GetMode(mode) : nullptr;
}

void CGameCallBack::PutExtSaveData(uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->SaveExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->SaveData(chunk + kHeader, size - kHeader);
  else
    PutExtSaveDataDefault(chunk, size, i);
}

void CGameCallBack::GetExtSaveData(const uint8_t* chunk, size_t size, int i) {
  if (CCommonGeneral* owner = ExtRowMode(i))
    owner->LoadExtData(chunk, size, i);
  else if (CAutoSaveSubData* object = ExtRowObject(i); object && chunk && size >= kHeader)
    object->LoadData(chunk + kHeader, size - kHeader);
  else
    GetExtSaveDataDefault(chunk, size, i);
}

void CGameCallBack::SetAutoSaveDataByMode(int mode, int size) {
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

void CGameCallBack::SetAutoSaveDataBySubMode(int row, int size) {
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

void CGameCallBack::PutExtSaveDataDefault(uint8_t*, size_t, int) {}

void CGameCallBack::GetExtSaveDataDefault(const uint8_t*, size_t, int) {}

int CGameCallBack::GetVersion() { return version_; }

int CGameCallBack::SetVersion(int high, int middle, int low) {
  // In unsigned, so a large high part wraps instead of overflowing.
  version_ = static_cast<int>(static_cast<uint32_t>(high) << 16 |
                              static_cast<uint32_t>(middle) << 8 | static_cast<uint32_t>(low));
  return version_;
}

void CGameCallBack::OnRestoreStateHook() {}

const char* CGameCallBack::GetSaveHeaderName() { return saveHeaderName_; }

void CGameCallBack::GetMiniCGSize(int* width, int* height) {
  if (width) *width = miniCGWidth_;
  if (height) *height = miniCGHeight_;
}

CDataFileSetup* CGameCallBack::GetSaveSlotLayout() { return saveSlotLayout_; }

const char* CGameCallBack::GetStatusExtra() { return nullptr; }

// --- Kept game state ---

void CGameCallBack::KeepGameState() {
  if (effect_) effect_->SaveChannels();
  std::copy(std::begin(holdFlags_), std::end(holdFlags_), keptHoldFlags_);
  keptMessageWindowOn_ = messageWindowOn_;
  for (int ch = 0; ch < kEffectChannels; ++ch)
    PutText(reinterpret_cast<uint8_t*>(keptEffectNames_[ch]), kEffectNameSize,
            effectPictureNames_[ch], kEffectNameSize - 2);
  keptScriptLevel_ = scriptLevel_;
  for (int k = 0; k < kScriptLevels; ++k) {
    keptScriptNumber_[k] = scriptNumber_[k];
    KeptScript& kept = keptScripts_[k];
    const CScript* script = scripts_[k];
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

void CGameCallBack::RestoreGameState() {
  messageWindowOn_ = keptMessageWindowOn_;
  if (effect_) effect_->LoadChannels();
  std::copy(std::begin(keptHoldFlags_), std::end(keptHoldFlags_), holdFlags_);
  for (int ch = 0; ch < kEffectChannels; ++ch) {
    CPicture* picture = effect_ && keptEffectNames_[ch][0] ? effect_->GetPicture(ch) : nullptr;
    if (picture) picture->LoadDWQ(keptEffectNames_[ch], 0, nullptr);
  }
  scriptLevel_ = keptScriptLevel_;
  std::copy(std::begin(keptScriptNumber_), std::end(keptScriptNumber_), scriptNumber_);
  for (int k = 1; k <= scriptLevel_ && k < kScriptLevels; ++k)
    ReloadScript(k, keptScriptNumber_[k]);
  for (int k = 0; k < kScriptLevels; ++k) {
    CScript* script = scripts_[k];
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

void CGameCallBack::ClearGameState() {
  SetStoredOption(0);
  scriptWord_ = 0;
  SetSystemSetting(6, 0);
  SetShiftSkipState(0);
  EndSkipFilm();
  SetScriptStartFlag(0);
  SetWindowNumberScript(0);
  SetCursorNumberScript(0);
  SetMessageWindowMode(0);
  SetMouseNumberScript(0);
  autoMessageCheckFlag_ = messageSwitch_ = cannotSkipFlag_ = floatingButtonOffFlag_ = 0;
  costumeMask_ = 0;
  std::fill(std::begin(holdFlags_), std::end(holdFlags_), 0);
  for (int ch = 0; ch < kSoundChannels; ++ch)
    if (sePlayer_) sePlayer_->SetLoopFlag(ch, 0);
  for (int ch = 0; ch < kSoundChannels; ++ch)
    if (voicePlayer_) voicePlayer_->SetLoopFlag(ch, 0);
}

// A story mode opening a system mode (save, load, config, system menu):
// the state is kept and the thumbnail taken while the story is on screen.
int CGameCallBack::PrepareSystemMode(int result, int returnMode) {
  if (returnMode == 0) returnMode = modenumber::kDefaultReturnMode;
  KeepGameState();
  SetReturnMode(returnMode);
  MakeMiniCG();
  for (int mode : {modenumber::kSave, modenumber::kLoad, modenumber::kConfig, modenumber::kSystemMenu})
    NotifyMode(mode, returnMode);
  if (CCommonGeneral* back = GetMode(returnMode)) back->CreateExitScreen();
  if (returnMode == modenumber::kPrintMessage && messageModeFlag_) SetSystemMenuSceneMode(1);
  CScreenBuffer::SetFullRedraw(0);
  return result;
}

int CGameCallBack::GetAutoSaveType(int) { return -1; }

int CGameCallBack::GetUseCutinFlag() { return useCutinFlag_; }

void CGameCallBack::OnBeforeSaveSystemFile() {}

void CGameCallBack::OnAfterSaveSystemFile() {}

// --- Last slot and save comments ---

int CGameCallBack::GetLastSaveSlot() {
  return systemFile_ ? systemFile_->GetSystemData(CCommonSystemFile::kLastSlotOffset) - 1 : -1;
}

int CGameCallBack::SetLastSaveSlot(int slot) {
  if (systemFile_) systemFile_->SetSystemData(CCommonSystemFile::kLastSlotOffset, slot + 1);
  return slot + 1;
}

void CGameCallBack::SetSaveComment(const char* text, int line) {
  if (line < 0 || line >= kCommentLines) return;
  PutText(reinterpret_cast<uint8_t*>(saveComments_[line]), kCommentSize, text, kCommentSize - 2);
}
