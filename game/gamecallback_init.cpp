// CGameCallBack: initialisation (the settings list "game", the data lists,
// the system script, the names of the system variables and functions, and
// every long-lived object in its fixed order) and the destroy step.
//
// Objects whose classes other work supplies stay null here and their step
// does nothing; each place says which object it waits for.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "modebase/commongeneral.h"
#include "game/debugaids.h"
#include "game/extramodes.h"
#include "game/frameskip.h"
#include "game/gamecallback.h"
#include "input/inputstatus.h"
#include "modebase/minigamehost.h"
#include "effect/alleffect.h"
#include "effect/effectmanager.h"
#include "modebase/modenames.h"
#include "modebase/modenumbers.h"
#include "graphics/jpegdecoder.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "graphics/surfaceconverter.h"
#include "graphics/systempicture.h"
#include "message/textprint.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "savedata/cglist.h"
#include "savedata/cgvoice.h"
#include "savedata/datafilesetup.h"
#include "savedata/extnametable.h"
#include "savedata/inttablefile.h"
#include "savedata/scenedata.h"
#include "widget/floatinglayertable.h"
#include "widget/gamemouse.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget/sceneoptionbutton.h"
#include "savedata/scenevoice.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/varnametable.h"
#include "sound/bgmplayer.h"
#include "sound/directsound.h"
#include "sound/mixer.h"
#include "sound/movieplayer.h"
#include "sound/seplayer.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "sound/wavebuffer.h"
#include "widget/holidaylist.h"
#include "widget/textinputbox.h"

namespace {

// The system variables the variables object asks the game for.
class GameVarHost : public CGameVarHost {
 public:
  explicit GameVarHost(CGameCallBack* game) : game_(game) {}

  int ReadSystemVar(SystemVar which) override {
    if (which == SystemVar::kMode) return game_->GetCurrentMode();
    if (!IsInputVar(which)) return game_->ReadGameSystemVar(which);
    const CMouseStatus* mouse = game_->GetMouseStatus();
    if (!mouse) return 0;
    platform::Point pos;
    mouse->GetPos(&pos);
    switch (which) {
      case SystemVar::kMouseX: return pos.x;
      case SystemVar::kMouseY: return pos.y;
      case SystemVar::kTrig1: return mouse->GetTrig(0);
      case SystemVar::kTrig2: return mouse->GetTrig(1);
      case SystemVar::kTrig3: return mouse->GetTrig(2);
      case SystemVar::kClick1: return mouse->GetClick(0);
      case SystemVar::kClick2: return mouse->GetClick(1);
      case SystemVar::kClick3: return mouse->GetClick(2);
      case SystemVar::kWheel: return mouse->GetWheel();
      default: return 0;
    }
  }

  // A layer-off variable switches its effect layer.
  void SetEffectLayerHidden(int layer, bool hidden) override {
    game_->SwitchEffectLayer(layer, hidden ? 0 : 1);
  }

 private:
  static bool IsInputVar(SystemVar which) {
    return which >= SystemVar::kMouseX && which <= SystemVar::kWheel;
  }

  CGameCallBack* game_;
};

// One integer key of the list "game". A key marked `fromPrevious` defaults
// to the value the key before it in its table ended with.
struct IntKey {
  const char* key;
  int GameSettings::*field;
  bool fromPrevious = false;
};

// The error log.
const IntKey kLogKeys[] = {
    {"errorLogFlag", &GameSettings::errorLogFlag},
    {"startupLoadErrorPrintFlag", &GameSettings::startupLoadErrorPrintFlag},
    {"debugMusicNumberPrintFlag", &GameSettings::debugMusicNumberPrintFlag},
};

// Quick save and load, read after the message keys.
const IntKey kQuickKeys[] = {
    {"quickSaveEnable", &GameSettings::quickSaveEnable},
    {"quickLoadEnable", &GameSettings::quickLoadEnable, true},
    {"quickSavePrint", &GameSettings::quickSavePrint, true},
    {"quickLoadPrint", &GameSettings::quickLoadPrint, true},
    {"quickLoadDelay", &GameSettings::quickLoadDelay},
    {"quickLoadGetScreen", &GameSettings::quickLoadGetScreen},
};

const IntKey kQuickSoundKeys[] = {
    {"quickSaveSound", &GameSettings::quickSaveSound},
    {"quickLoadSound", &GameSettings::quickLoadSound, true},
    {"quickLoadErrorSound", &GameSettings::quickLoadErrorSound, true},
    {"useCutinFlag", &GameSettings::useCutinFlag},
    {"directXVolumeFlag", &GameSettings::directXVolumeFlag},
    {"directXVolume", &GameSettings::directXVolume},
    {"frameTime", &GameSettings::frameTime},
    {"startMessageFlag", &GameSettings::startMessageFlag},
};

const IntKey kBehaviourKeys[] = {
    {"loadVoiceErrorPrintFlag", &GameSettings::loadVoiceErrorPrintFlag},
    {"loadSeErrorPrintFlag", &GameSettings::loadSeErrorPrintFlag},
    {"backScriptSetCGOkFlag", &GameSettings::backScriptSetCGOkFlag},
    {"modalCannotCloseFlag", &GameSettings::modalCannotCloseFlag},
    {"miniCGReduce", &GameSettings::miniCGReduce},
    {"miniCGSizeX", &GameSettings::miniCGSizeX},
    {"miniCGSizeY", &GameSettings::miniCGSizeY},
    {"f9KeyExitOffFlag", &GameSettings::f9KeyExitOffFlag},
    {"escKeyExitOffFlag", &GameSettings::escKeyExitOffFlag},
    {"F4OK", &GameSettings::F4OK},
    {"F5Ok", &GameSettings::F5Ok},
    {"optionStartMouseButton", &GameSettings::optionStartMouseButton},
    {"movieVolumeNotUse", &GameSettings::movieVolumeNotUse},
    {"soundVoiceVolumeNotUse", &GameSettings::soundVoiceVolumeNotUse},
    {"noWaitVSync", &GameSettings::noWaitVSync},
    {"adjustFullScreenLost", &GameSettings::adjustFullScreenLost},
    {"backLogDisableTime", &GameSettings::backLogDisableTime},
    {"backLogDisableCheckTime", &GameSettings::backLogDisableCheckTime},
    {"backLogDisableCheckFlag", &GameSettings::backLogDisableCheckFlag},
    {"charaVoiceVolumeDelta", &GameSettings::charaVoiceVolumeDelta},
    {"maxSkipFrame", &GameSettings::maxSkipFrame},
    {"skipAdjustFrame", &GameSettings::skipAdjustFrame},
    {"mustSetVoiceFlag", &GameSettings::mustSetVoiceFlag},
    {"mustSetMusicFlag", &GameSettings::mustSetMusicFlag},
    {"mustSetCGFlag", &GameSettings::mustSetCGFlag},
    {"mustSetFilmFlag", &GameSettings::mustSetFilmFlag},
    {"mustSetMessageFlag", &GameSettings::mustSetMessageFlag},
    {"offLayerDontSetCG", &GameSettings::offLayerDontSetCG},
    {"enableButtonVoiceCharaVolume", &GameSettings::enableButtonVoiceCharaVolume},
};

const IntKey kMessageKeys[] = {
    {"seVoiceDontStopFlag", &GameSettings::seVoiceDontStopFlag},
    {"skipToScriptVoiceStopFlag", &GameSettings::skipToScriptVoiceStopFlag},
    {"varControlLoadDWQErrorPrint", &GameSettings::varControlLoadDWQErrorPrint},
    {"shiftSkipMessageOnly", &GameSettings::shiftSkipMessageOnly},
    {"autoMessageCheckKillShift", &GameSettings::autoMessageCheckKillShift},
    {"cannotSkipCheckKillShift", &GameSettings::cannotSkipCheckKillShift},
};

// The scripts.
const IntKey kScriptKeys[] = {
    {"noScriptFlag", &GameSettings::noScriptFlag},
    {"controlScriptSize", &GameSettings::controlScriptSize},
    {"execScriptSize", &GameSettings::execScriptSize},
    {"subScriptSize", &GameSettings::subScriptSize},
    {"subSubScriptSize", &GameSettings::subSubScriptSize},
};

// Back-script skipping, save numbers, the option word, the floating
// layer's flash and the extra-mode buttons (their texts are read beside
// them).
const IntKey kFlagKeys[] = {
    {"maxSkipFrameBackScript", &GameSettings::maxSkipFrameBackScript},
    {"specialNumberForSaveSetFlag", &GameSettings::specialNumberForSaveSetFlag},
    {"optionOffVarFlag", &GameSettings::optionOffVarFlag},
    {"floatingLayerFlashFlag", &GameSettings::floatingLayerFlashFlag},
    {"expModeButtonIsMouse", &GameSettings::expModeButtonIsMouse},
    {"expModeButtonIsMessageCursor", &GameSettings::expModeButtonIsMessageCursor},
};

// Sound and music.
const IntKey kSoundKeys[] = {
    {"defaultMusicFadeInTime", &GameSettings::defaultMusicFadeInTime},
    {"defaultMusicFadeOutTime", &GameSettings::defaultMusicFadeOutTime},
    {"soundChannel", &GameSettings::soundChannel},
    {"samplingRate", &GameSettings::samplingRate},
    {"samplingBit", &GameSettings::samplingBit},
    {"primaryFormatSetFlag", &GameSettings::primaryFormatSetFlag},
    {"sound3DFlag", &GameSettings::sound3DFlag},
};

// Text, read before the outline mask.
const IntKey kTextKeys[] = {
    {"rubiFlag", &GameSettings::rubiFlag},       {"rubiPercent", &GameSettings::rubiPercent},
    {"rubiDeltaY", &GameSettings::rubiDeltaY},   {"rubiSukima", &GameSettings::rubiSukima},
    {"rubiColorR", &GameSettings::rubiColorR},   {"rubiColorG", &GameSettings::rubiColorG},
    {"rubiColorB", &GameSettings::rubiColorB},   {"rubiColorFix", &GameSettings::rubiColorFix},
    {"codeByte", &GameSettings::codeByte},       {"fontWeight", &GameSettings::fontWeight},
    {"fontItalic", &GameSettings::fontItalic},   {"fukuroMoji", &GameSettings::fukuroMoji},
    {"fukuroCustom", &GameSettings::fukuroCustom},
};

// The input objects each made on its flag (the quick save and load buttons are read only with their
// function on).
const IntKey kLayerKeys[] = {
    {"gameMouseCreateFlag", &GameSettings::gameMouseCreateFlag},
    {"messageCursorCreateFlag", &GameSettings::messageCursorCreateFlag},
    {"optionButtonCreateFlag", &GameSettings::optionButtonCreateFlag},
    {"sceneButtonCreateFlag", &GameSettings::sceneButtonCreateFlag},
    {"skipFilmButtonCreateFlag", &GameSettings::skipFilmButtonCreateFlag},
};

const IntKey kButtonKeys[] = {
    {"quickConfigButtonCreateFlag", &GameSettings::quickConfigButtonCreateFlag},
    {"quickBacklogButtonCreateFlag", &GameSettings::quickBacklogButtonCreateFlag},
    {"noticeFlag", &GameSettings::noticeFlag},
    {"loadNoticeNumber", &GameSettings::loadNoticeNumber},
    {"saveNoticeNumber", &GameSettings::saveNoticeNumber},
    {"sceneButtonMode", &GameSettings::sceneButtonMode},
};

// Result notices, the message window, music, text input and the picture
// buffer.
const IntKey kLateKeys[] = {
    {"autoResultNotice", &GameSettings::autoResultNotice},
    {"noMessageWindowFlag", &GameSettings::noMessageWindowFlag},
    {"allMusicSetFlag", &GameSettings::allMusicSetFlag},
    {"imeAutoOpenFlag", &GameSettings::imeAutoOpenFlag},
    {"imeAutoCloseFlag", &GameSettings::imeAutoCloseFlag, true},
    {"vistaDebug", &GameSettings::vistaDebug},
    {"pictureBufferInitSizeFlag", &GameSettings::pictureBufferInitSizeFlag},
    {"pictureBufferInitLoadFlag", &GameSettings::pictureBufferInitLoadFlag},
};

// The player's names.
const IntKey kNameKeys[] = {
    {"seiClearFlag", &GameSettings::seiClearFlag},
    {"meiClearFlag", &GameSettings::meiClearFlag},
    {"santenUseFlag", &GameSettings::santenUseFlag},
    {"dashUseFlag", &GameSettings::dashUseFlag},
    {"expModeCheckByVarNumber", &GameSettings::expModeCheckByVarNumber},
    {"shortCutSystemMenuSound", &GameSettings::shortCutSystemMenuSound},
};

// Each defaults to the system menu's sound.
const IntKey kShortCutKeys[] = {
    {"shortCutSaveSound", &GameSettings::shortCutSaveSound},
    {"shortCutLoadSound", &GameSettings::shortCutLoadSound},
    {"shortCutConfigSound", &GameSettings::shortCutConfigSound},
};

// Capacities a settings list may give a script, in words.
constexpr int kMaxScriptWords = 1 << 24;
// Size of the title's own extension save chunks.
constexpr int kMaxExtSaveDataSize = 1 << 24;
constexpr int kMaxKeyedEntries = 256;
// The pixel buffer serves the save-slot file as its chunk work buffer too.
constexpr int64_t kMinPixelBuffer = 800 * 600;
constexpr int kRenameTagSlot = 64;
constexpr int kRenameTagLength = 62;

// A key with its numbers put in ("autoExtDataMode%d", "fukuro%d_%d").
std::string Numbered(const char* format, int a, int b = 0) {
  char key[96];
  std::snprintf(key, sizeof key, format, a, b);
  return key;
}

// The effect channels' pictures: with "pictureBufferInitSizeFlag" each
// ("pictureBufferSizeX%d", "pictureBufferSizeY%d", numbered from 1) is
// resized when both are above 0; with "pictureBufferInitLoadFlag" the
// picture named by "pictureBufferFileName%d" is loaded into it.
void InitPictureBuffers(const CSetupList* game, CAllEffect* effect) {
  CEffectManager* manager = effect ? effect->GetManager() : nullptr;
  if (!manager || !game) return;
  int sizeFlag = 0, loadFlag = 0;
  game->GetSetupInt(&sizeFlag, "pictureBufferInitSizeFlag");
  game->GetSetupInt(&loadFlag, "pictureBufferInitLoadFlag");
  for (int i = 0; i < CEffectManager::kChannels; ++i) {
    CPicture* picture = manager->GetPicture(i);
    if (!picture) continue;
    if (sizeFlag) {
      int x = 0, y = 0;
      game->GetSetupInt(&x, Numbered("pictureBufferSizeX%d", i + 1).c_str());
      game->GetSetupInt(&y, Numbered("pictureBufferSizeY%d", i + 1).c_str());
      if (x > 0 && y > 0) picture->Resize(x, y);
    }
    if (loadFlag) {
      const char* name = nullptr;
      if (game->GetSetupString(&name, Numbered("pictureBufferFileName%d", i + 1).c_str()) && name &&
          *name)
        picture->LoadDWQ(name);
    }
  }
}

// A key code: a number as it reads, else the byte value of the first
// character ("S" gives 83).
int KeyCode(const char* text) {
  if (!text || !*text) return 0;
  if ((*text >= '0' && *text <= '9') || *text == '-') return std::atoi(text);
  return static_cast<unsigned char>(*text);
}

// Reads one table of integer keys into the settings record; without a list
// every field keeps its default.
template <size_t N>
void ReadIntKeys(const CSetupList* list, GameSettings* settings, const IntKey (&keys)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (keys[i].fromPrevious && i > 0) settings->*keys[i].field = settings->*keys[i - 1].field;
    if (list) list->GetSetupInt(&(settings->*keys[i].field), keys[i].key);
  }
}

// A data list loaded plainly: a missing file shows the list reader's box
// and leaves the list empty.
CNameList* LoadDataList(const char* path, bool inverted = false) {
  auto* list = new CNameList;
  list->Load(path, inverted, false);
  return list;
}

}  // namespace

void CGameCallBack::Init() {
  // A second call would make every object twice.
  if (initialised_) return;
  initialised_ = 1;
  settings_ = GameSettings();
  GameSettings& s = settings_;

  // The request events of the game services.
  for (platform::Event*& e : events_) e = new platform::Event(true, false);

  // The settings list "game" (its reader's box when it is missing).
  LoadSetupFile("game", 256);

  // Logging: the dated error log is named by the time of this start.
  ReadIntKeys(setupList_, &s, kLogKeys);
  if (s.errorLogFlag) datedlog::StartDatedLog();
  if (s.startupLoadErrorPrintFlag) SetLoadDwqErrorFlag(1);
  std::fill(std::begin(optionButtonOff_), std::end(optionButtonOff_), 0);

  // The installation's identifier.
  GetSetupInt(&s.dontCreateGUID, "dontCreateGUID");
  if (!s.dontCreateGUID && systemFile_) systemFile_->MakeUniqueId(1);

  // Picture loading switches; the window to the front.
  GetSetupInt(&s.dwqPackLevel, "dwqPackLevel");
  SetDwqPackLevel(s.dwqPackLevel);
  if (window_) window_->Focus();
  GetSetupInt(&s.notUseDirectDraw, "notUseDirectDraw");
  GetSetupInt(&s.jpegMMX, "jpegMMX");
  CJpegDecoder::SetNoMmx(s.jpegMMX == 0 ? 1 : 0);

  // The picture loader, before anything loads a picture; the screen
  // buffer, black; the variables with their layer-off map cleared.
  InitPictureLoader(dwq::kDecodeMegabytes);
  screenBuffer_ = new CScreenBuffer(width_, height_, s.notUseDirectDraw);
  if (uint32_t* pixels = CScreenBuffer::GetBuffer())
    std::fill_n(pixels, static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(), 0u);
  varHost_ = new GameVarHost(this);
  gameVars_ = new CGameVariables(varHost_);

  // Every frame whole: the platform always reports a current system.
  GetSetupInt(&s.vistaCheck, "vistaCheck");
  if (s.vistaCheck) CScreenBuffer::SetAlwaysFullRedraw();

  // The picture pool and the list of extra modes.
  picturePool_ = new CPicturePool;
  extraModeList_ = new CExtraModeList;

  // The save-slot layout (settings list "dataFile"), unless the game
  // has neither screen or says not to.
  GetSetupInt(&s.saveClassDisable, "saveClassDisable");
  GetSetupInt(&s.loadClassDisable, "loadClassDisable");
  s.dataFileDontCreate = s.saveClassDisable && s.loadClassDisable ? 1 : 0;
  GetSetupInt(&s.dataFileDontCreate, "dataFileDontCreate");
  if (!s.dataFileDontCreate) saveSlotLayout_ = new CDataFileSetup;

  // The company and game names, and the extended save data.
  GetSetupString(&s.companyName, "companyName");
  GetSetupString(&s.gameName, "gameName");
  InitExtSaveData();

  // The message and quick save/load switches.
  ReadIntKeys(setupList_, &s, kMessageKeys);
  ReadIntKeys(setupList_, &s, kQuickKeys);
  const char* key = nullptr;
  if (s.quickSaveEnable || s.quickLoadEnable) {
    if (GetSetupString(&key, "quickSaveKey")) s.quickSaveKey = KeyCode(key);
    if (s.quickSaveEnable) GetSetupInt(&s.quickSaveCommentFlag, "quickSaveCommentFlag");
    if (GetSetupString(&key, "quickLoadKey")) s.quickLoadKey = KeyCode(key);
  }
  ReadIntKeys(setupList_, &s, kQuickSoundKeys);
  GetSetupString(&s.startMessage, "startMessage");
  ReadIntKeys(setupList_, &s, kBehaviourKeys);
  useCutinFlag_ = s.useCutinFlag;
  // A period outside 1..1000 ms would stop or stall the loop.
  if (s.frameTime < 1 || s.frameTime > 1000) s.frameTime = kDefaultFrameTime;
  frameTime_ = defaultFrameTime_ = s.frameTime;
  if (s.maxSkipFrame < 1) s.maxSkipFrame = 1;
  s.maxSkipFrameBackScript = s.maxSkipFrame;
  frameSkip_ = new CFrameSkip;
  frameSkip_->SetMaxSkip(CheckFrameSkipOff() ? 1 : s.maxSkipFrame);
  frameSkip_->SetAdjust(s.skipAdjustFrame);
  frameSkip_->SetPeriod(frameTime_);
  InitMiniCGSize();

  // Extra modes and class switches, then the mini-game list.
  InitModeSwitches();

  // The back button is the widget work's.
  GetSetupInt(&s.useExtClass, "useExtClass");
  keyFlagTable_ = new CKeyFlagTable(s.useExtClass);
  InitBackButton();

  // The version; the variables start cleared; variables 200..299 come
  // back from the system file.
  GetSetupInt(&s.highVersion, "highVersion");
  GetSetupInt(&s.middleVersion, "middleVersion");
  GetSetupInt(&s.lowVersion, "lowVersion");
  SetVersion(s.highVersion, s.middleVersion, s.lowVersion);
  if (systemFile_) {
    for (int i = 0; i < 100; ++i)
      gameVars_->SetVar(200 + i, systemFile_->GetBlockWord(CCommonSystemFile::kSystemVar,
                                                          CCommonSystemFile::kHeaderSize + 4 * i));
  }

  // The window position, adjusted to the desktop when asked.
  GetSetupInt(&s.windowAdjustFlag, "windowAdjustFlag");
  if (s.windowAdjustFlag) AdjustWindowPosition();

  // Presentation and the screen-size pictures. The presenter takes
  // 32-bit pixels as the screen buffer holds them, so the converter copies
  // them as they are.
  presentation_ = new CDirectDrawScreen(window_, width_, height_, bpp_, 0);
  surfaceConverter_ = new CSurfaceConverter;
  surfaceConverter_->Set565Flag(1);
  surfaceConverter_->SetSource(CScreenBuffer::GetBuffer(), CScreenBuffer::GetWidth() * 4,
                               CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  screenPicture_ = new CPicture(width_, height_, 0);
  workPicture_ = new CPicture(width_, height_, 0);
  for (CPicture*& p : bufferPicture_) p = new CPicture(width_, height_, 0);
  const int64_t pixels = std::max<int64_t>(static_cast<int64_t>(std::max(width_, 0)) *
                                               std::max(height_, 0),
                                           kMinPixelBuffer);
  // A screen too large to hold leaves the buffer null, as the screen
  // buffer and the pictures fail then too.
  pixelBuffer_ = new (std::nothrow) uint32_t[static_cast<size_t>(pixels)]();

  // Scenes and picture lists; the effect holder, reset.
  GetSetupInt(&s.noSceneListFlag, "noSceneListFlag");
  if (!s.noSceneListFlag) {
    sceneDataFile_ = new CSceneDataFile;
    sceneList_ = new CSceneList(systemFile_, sceneDataFile_);
  }
  cgList_ = new CCGList(systemFile_);
  cgVoiceList_ = new CCGVoiceList;
  effect_ = new CAllEffect;
  effect_->ResetAll();

  // Scripts: the four levels are made, the control script is loaded and
  // the starting game state is kept (KeepGameState).
  ReadIntKeys(setupList_, &s, kScriptKeys);
  if (!s.noScriptFlag) {
    int* sizes[4] = {&s.controlScriptSize, &s.execScriptSize, &s.subScriptSize,
                     &s.subSubScriptSize};
    const GameSettings defaults;
    const int kept[4] = {defaults.controlScriptSize, defaults.execScriptSize,
                         defaults.subScriptSize, defaults.subSubScriptSize};
    for (int i = 0; i < 4; ++i) {
      if (*sizes[i] < 1 || *sizes[i] > kMaxScriptWords) *sizes[i] = kept[i];
      scripts_[i] = new CScript(this, *sizes[i]);
    }
    // A missing file goes to the script's error ring.
    scripts_[0]->Load(kControlScriptPath);
    KeepGameState();
  }

  // The variables, the data lists, the face control, the function numbers,
  // the extra modes' script calls and the variables the flag keys name.
  InitVariables();
  InitDataLists();
  InitFaceControl();
  InitFunctionNumbers();
  RegistExtraModeCalls();
  ReadIntKeys(setupList_, &s, kFlagKeys);
  GetSetupString(&s.specialNumberForSaveVarName, "specialNumberForSaveVarName");
  GetSetupString(&s.optionOffVarName, "optionOffVarName");
  if (s.specialNumberForSaveSetFlag) specialNumberVar_ = GetVarNumber(s.specialNumberForSaveVarName);
  if (s.optionOffVarFlag) optionOffVar_ = GetVarNumber(s.optionOffVarName);
  InitSystemVarNumbers();

  // Sound, music and voices.
  InitSound();

  // Text: the render settings (the player's face from the system file
  // wins over "defaultFont"), the glyph renderer, the text layout and the
  // user fonts.
  systemPicture_ = new CSystemPicture;
  GetSetupString(&s.defaultFont, "defaultFont");
  ReadIntKeys(setupList_, &s, kTextKeys);
  if (s.fukuroCustom) {
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 3; ++x) GetSetupInt(&s.fukuro[y][x], Numbered("fukuro%d_%d", y, x).c_str());
  }
  GetSetupInt(&s.userFontNumber, "userFontNumber");
  InitText();

  // The floating layers: the game mouse, the message cursor, the notices
  // and the seven floating buttons, each made when its switch is on.
  ReadIntKeys(setupList_, &s, kLayerKeys);
  if (s.quickSaveEnable) GetSetupInt(&s.quickSaveButtonCreateFlag, "quickSaveButtonCreateFlag");
  if (s.quickLoadEnable) GetSetupInt(&s.quickLoadButtonCreateFlag, "quickLoadButtonCreateFlag");
  ReadIntKeys(setupList_, &s, kButtonKeys);
  InitFloatingLayers();
  if (s.noticeFlag) noticeFunction_ = FunctionRow("notice");

  // Results.
  GetSetupInt(&s.resultFlag, "resultFlag");
  if (s.resultFlag) {
    resultTable_ = new CIntTableFile("result", 1024, 1024, 1, nullptr);
    setResultFunction_ = FunctionRow("setresult");
    if (GetSetupString(&s.getResultVarName, "getResultVarName")) {
      getResultVar_ = GetVarNumber(s.getResultVarName);
      getResultFunction_ = FunctionRow("getresult");
    }
  }

  // The message window (thumbnails are made when a save takes one); the
  // input objects and the variable overlay.
  ReadIntKeys(setupList_, &s, kLateKeys);
  InitMessageWindow();
  mouseStatus_ = new CMouseStatus;
  inputStatus_ = new CInputStatus;
  keyStatus_ = new CMyKeyStatus;
  inputStatus_->SetMouseStatus(mouseStatus_);
  inputStatus_->SetKeyStatus(keyStatus_);
  textInputBox_ = new CTextInputBox(window_, textBuffer_);
  textInputBox_->SetImeFlags(s.imeAutoOpenFlag, s.imeAutoCloseFlag);
  InitDebugParam();

  // The effect channels' pictures: sized and loaded as the list asks.
  InitPictureBuffers(setupList_, effect_);
  InitFukaPrint();
  InitFpsPrint();
  SetResetWord(0);
  mouseStatus_->Clear(1);
  for (int& p : pressed_) p = 0;
  wheelFlag_ = wheelDelta_ = 0;
  SetShiftSkipState(0);
  ClearKeyStatus();

  // Names and short-cut sounds.
  GetSetupString(&s.seiInitData, "seiInitData");
  GetSetupString(&s.meiInitData, "meiInitData");
  ReadIntKeys(setupList_, &s, kNameKeys);
  InitEnableVars();
  for (const IntKey& k : kShortCutKeys) s.*k.field = s.shortCutSystemMenuSound;
  ReadIntKeys(setupList_, &s, kShortCutKeys);
  InitTextNames();

  InitBossComing();
}

void CGameCallBack::InitExtSaveData() {
  GameSettings& s = settings_;
  GetSetupInt(&s.facePrintMode, "facePrintMode");
  extNameTable_ = new CExtDataNameTable;
  const char* name = nullptr;
  for (int i = 1; i <= kMaxKeyedEntries; ++i) {
    if (!GetSetupString(&name, Numbered("autoExtDataMode%d", i).c_str())) break;
    const int mode = modenames::GetModeNumber(name);
    if (mode > 0) extDataModes_.push_back(mode);
  }
  for (int i = 1; i <= kMaxKeyedEntries; ++i) {
    if (!GetSetupString(&name, Numbered("autoExtDataSub%d", i).c_str())) break;
    const int sub = extNameTable_->SearchName(name);
    if (sub > 0) extDataSubs_.push_back(sub);
  }
  if (s.facePrintMode) {
    const int face = extNameTable_->SearchName("face");
    if (face > 0) extDataSubs_.push_back(face);
  }
  GetSetupString(&saveHeaderName_, "saveHeaderName");
  GetSetupInt(&s.extSaveDataNumber, "extSaveDataNumber");
  if (s.extSaveDataNumber < 0 || s.extSaveDataNumber > kMaxKeyedEntries) s.extSaveDataNumber = 0;
  for (int i = 0; i < s.extSaveDataNumber; ++i) {
    int size = 0;
    GetSetupInt(&size, Numbered("extSaveDataSize%d", i).c_str());
    extSaveDataSizes_.push_back(size >= 0 && size <= kMaxExtSaveDataSize ? size : 0);
  }
}

void CGameCallBack::InitMiniCGSize() {
  const GameSettings& s = settings_;
  if (s.miniCGReduce > 0) {
    miniCGWidth_ = width_ / s.miniCGReduce / 4 * 4;
    miniCGHeight_ = height_ / s.miniCGReduce;
  }
  // A thumbnail larger than the screen cannot be taken from it.
  if (s.miniCGSizeX > 0 && s.miniCGSizeX <= width_) miniCGWidth_ = s.miniCGSizeX;
  if (s.miniCGSizeY > 0 && s.miniCGSizeY <= height_) miniCGHeight_ = s.miniCGSizeY;
}

void CGameCallBack::InitModeSwitches() {
  std::fill(std::begin(modeDisable_), std::end(modeDisable_), 0);
  for (int i = 0; i < extraModeList_->GetCount(); ++i) {
    const int n = extraModeList_->GetNumber(i);
    int isDefault = 0;
    GetSetupInt(&isDefault, (std::string(extraModeList_->GetName(i)) + "IsDefault").c_str());
    if (n >= 0 && n < kModeCount) modeDisable_[n] = isDefault ? 0 : 1;
  }
  LoadClassDisable();
  if (!modeDisable_[modenumber::kMiniGame]) {
    LoadMiniGameSetupFile("miniGame", 512);
    GetMiniGameSetupInt(&settings_.areaButtonMode, "areaButtonMode");
    // As the mini-game mode holds it: "addMiniGame" by default, at most the
    // holder's 32 games, so menu columns and area buttons never share a
    // pool picture.
    GetMiniGameSetupInt(&settings_.miniGameCheckNumber, "addMiniGame");
    GetMiniGameSetupInt(&settings_.miniGameCheckNumber, "miniGameCheckNumber");
    settings_.miniGameCheckNumber = std::clamp(settings_.miniGameCheckNumber, 0, CMiniGameHost::kMaxGames);
  }
}

void CGameCallBack::LoadClassDisable() {
  for (int n = 0; n < kModeCount; ++n) {
    const char* name = modenames::GetModeName(n);
    if (!*name) continue;
    int value = 0;
    if (GetSetupInt(&value, (std::string(name) + "ClassDisable").c_str()))
      modeDisable_[n] = value != 0 ? 1 : 0;
  }
}

int CGameCallBack::LoadMiniGameSetupFile(const char* name, int pairs) {
  if (!miniGameList_) miniGameList_ = new CSetupList;
  return miniGameList_->LoadSetupFile(name, pairs);
}

int CGameCallBack::GetMiniGameSetupInt(int* out, const char* key) const {
  return miniGameList_ ? miniGameList_->GetSetupInt(out, key) : 0;
}

void CGameCallBack::AdjustWindowPosition() {
  if (!systemFile_) return;
  int pos[2] = {0, 0};
  systemFile_->GetPosition(pos);
  // Frames and captions belong to the window manager here: their sizes
  // are 0.
  const platform::DesktopInfo desk = platform::GetDesktop();
  const int64_t right = static_cast<int64_t>(desk.virtualX) + desk.virtualWidth;
  const int64_t bottom = static_cast<int64_t>(desk.virtualY) + desk.virtualHeight;
  int64_t x = pos[0], y = pos[1];
  if (x + width_ >= right) x = right - width_;
  if (x < desk.virtualX) x = desk.virtualX;
  if (y + height_ >= bottom) y = bottom - height_;
  if (y < desk.virtualY) y = desk.virtualY;
  windowX_ = static_cast<int>(x);
  windowY_ = static_cast<int>(y);
  systemFile_->SetPosition(windowX_, windowY_);
}

void CGameCallBack::InitVariables() {
  GameSettings& s = settings_;
  GetSetupInt(&s.varInitFlag, "varInitFlag");
  if (s.varInitFlag) varInitList_ = LoadDataList("spt\\varinitdata.xtx");
  GetSetupInt(&s.windowOffMouseButton, "windowOffMouseButton");
  constexpr const char* kVarList = "spt\\var.fxf";
  varNameList_ = LoadDataList(kVarList, true);
  varNameTable_ = new CVarNameTable(varNameList_, kVarList);
  GetSetupInt(&s.useSaijistu, "useSaijistu");
  if (s.useSaijistu) holidayList_ = new CHolidayList;
  if (GetSetupString(&s.renameLayerVar, "renameLayerVar")) {
    renameLayerVarNumber_ = GetVarNumber(s.renameLayerVar);
    if (renameLayerVarNumber_ >= 0) {
      GetSetupInt(&s.renameTagNumber, "renameTagNumber");
      if (s.renameTagNumber < 0 || s.renameTagNumber > kMaxKeyedEntries) s.renameTagNumber = 0;
      for (int i = 1; i <= s.renameTagNumber; ++i) {
        std::vector<char> tag(kRenameTagSlot, 0);
        const char* text = nullptr;
        if (GetSetupString(&text, Numbered("renameTag%d", i).c_str()))
          std::strncpy(tag.data(), text, kRenameTagLength);
        renameTags_.push_back(std::move(tag));
      }
    }
  }
  for (int layer = 0; layer < CGameVariables::kLayerCount; ++layer) {
    const char* name = nullptr;
    if (!GetSetupString(&name, Numbered("layerOffVar%d", layer).c_str())) continue;
    const int var = GetVarNumber(name);
    if (var >= 0) gameVars_->SetLayerVar(var, layer);
  }
}

void CGameCallBack::InitDataLists() {
  GameSettings& s = settings_;
  if (!s.noScriptFlag) projectList_ = LoadDataList("spt\\project.xtx");
  GetSetupInt(&s.noBGMFlag, "noBGMFlag");
  if (!s.noBGMFlag) bgmList_ = LoadDataList("spt\\bgmlist.xtx");
  GetSetupInt(&s.noSystemSeFlag, "noSystemSeFlag");
  if (!s.noSystemSeFlag) systemSeList_ = LoadDataList("mok\\systemse.xtx");
  if (!s.noScriptFlag) {
    seList_ = LoadDataList("spt\\selist.xtx");
    charaNameList_ = LoadDataList("spt\\charaname.xtx");
    functionList_ = LoadDataList("spt\\function.xtx");
    faceList_ = LoadDataList("spt\\facelist.xtx");
    // With facePrintMode the face pictures' control comes with the face
    // picture work and registers the sub-entry "face".
    commandList_ = LoadDataList("spt\\command.xtx");
  }
  // Optional. Every movie entry (a key and its value) is on unless its
  // "<key>IsDefault" is 0.
  movieEntryOff_.clear();
  if (platform::FileExists("spt\\movielist.xtx")) {
    movieList_ = LoadDataList("spt\\movielist.xtx");
    for (int i = 0; movieList_ && i < movieList_->GetCount(); i += 2) {
      int isDefault = 1;
      const char* name = movieList_->GetName(i);
      GetSetupInt(&isDefault, (std::string(name ? name : "") + "IsDefault").c_str());
      movieEntryOff_.push_back(isDefault == 0 ? 1 : 0);
    }
  }
  if (!s.noScriptFlag) sceneVoiceList_ = new CSceneVoiceList;
}

int CGameCallBack::FunctionRow(const char* name) const {
  return functionList_ ? functionList_->SearchColumn(name, 2, true, -1) : -1;
}

void CGameCallBack::InitFunctionNumbers() {
  adjustDateFunction_ = FunctionRow("adjustdate");
  setSceneFunction_ = FunctionRow("setscene");
  saveSystemFileFunction_ = FunctionRow("savesystemfile");
  layerFunction_ = FunctionRow("layer");
  stopF5Function_ = FunctionRow("stopf5");
}

void CGameCallBack::InitSound() {
  GameSettings& s = settings_;
  soundDevice_ = new CDirectSound(window_);
  mixer_ = new CMixer;
  // The movie player, told at once that the display mode changed.
  moviePlayer_ = new CMoviePlayer(window_, CMoviePlayer::kNotifyMessage, 0);
  moviePlayer_->DisplayModeChanged();
  ReadIntKeys(setupList_, &s, kSoundKeys);
  defaultMusicFadeInTime_ = s.defaultMusicFadeInTime;
  if (s.primaryFormatSetFlag) soundDevice_->SetPrimaryFormat(s.soundChannel, s.samplingRate, s.samplingBit);
  soundDevice_->SetSound3DFlag(s.sound3DFlag);
  soundDevice_->Create(s.primaryFormatSetFlag);
  bgmPlayer_ = new CBgmPlayer(soundDevice_);
  bgmPlayer_->SetDefaultFadeTimes(s.defaultMusicFadeInTime, s.defaultMusicFadeOutTime);
  for (CSoundBuffer*& b : systemSoundBuffer_) b = new CSoundBuffer(soundDevice_->GetDirectSound(), 0);
  int voiceExpand[4] = {}, seExpand[8] = {};
  for (int i = 0; i < 4; ++i) GetSetupInt(&voiceExpand[i], Numbered("scriptVoiceExpand%d", i + 1).c_str());
  for (int i = 0; i < 8; ++i) GetSetupInt(&seExpand[i], Numbered("scriptSoundExpand%d", i + 1).c_str());
  voicePlayer_ = new CVoicePlayer(soundDevice_, voiceExpand);
  sePlayer_ = new CSePlayer(soundDevice_, seExpand);
  systemSoundLoader_ = new CWaveBuffer;
  if (!systemSeList_) s.systemSoundLoadNumber = 0;
  GetSetupInt(&s.systemSoundLoadNumber, "systemSoundLoadNumber");
  // Only the sounds the list names: a number past its end loads nothing.
  const int listed = systemSeList_ ? (systemSeList_->GetCount() + 1) / 2 : 0;
  const int count = std::clamp(s.systemSoundLoadNumber, 0, listed);
  for (int i = 0; i < count; ++i) {
    auto* wave = new CWaveBuffer;
    wave->LoadFile("sys", systemSeList_->GetName(2 * i));
    systemSounds_.push_back(wave);
  }
  if (s.directXVolumeFlag) mixer_->SetWaveVolume(s.directXVolume, 0);
}

void CGameCallBack::InitSystemVarNumbers() {
  if (!gameVars_) return;
  // Every computed variable, each by its own name.
  for (int i = static_cast<int>(SystemVar::kSystemYear); i < static_cast<int>(SystemVar::kCount);
       ++i) {
    const auto which = static_cast<SystemVar>(i);
    gameVars_->SetSystemVarNumber(which, GetVarNumber(CGameVariables::SystemVarName(which)));
  }
  // Kept for the music room, which fills them.
  listenBgmModeVar_ = GetVarNumber("listenbgmmode");
  listenBgmNumberVar_ = GetVarNumber("listenbgmnumber");
  rndVar_ = GetVarNumber("rnd");
  dateVar_ = GetVarNumber("date");
  yearVar_ = GetVarNumber("year");
  holidayVar_ = GetVarNumber("holiday");
  weekVar_ = GetVarNumber("week");
  gameVars_->SetSystemVarNumber(SystemVar::kRnd, rndVar_);
  gameVars_->SetSystemVarNumber(SystemVar::kHoliday, holidayVar_);
  gameVars_->SetSystemVarNumber(SystemVar::kWeek, weekVar_);
}

int CGameCallBack::GetVarNumber(const char* name) {
  return varNameTable_ ? varNameTable_->SearchVar(name) : -1;
}
