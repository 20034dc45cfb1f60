// CGameCallBack: the game object's class. It is the interpreter's callback
// (CScriptCallBack) and implements the role interfaces of services/
// (CGameServices) through which the modes and the save files reach
// variables, sounds, pictures, the message window, save data and mode
// requests; only game/ and app/ include this header. CGame (game/game.h) is
// the title's class over it.
//
// The bodies are split by concern over gamecallback_*.cpp. A service whose
// object the game's settings did not make (or that is already destroyed)
// answers as a missing object answers: 0, -1, NULL or nothing done.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/keyflagtable.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "platform/types.h"
#include "script/scriptcallback.h"
#include "services/backscriptservices.h"
#include "services/floatingservices.h"
#include "services/gameroles.h"
#include "services/inputservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "services/gamesettings.h"

namespace platform {
class Event;
class Window;
struct OverlayText;
struct Point;
struct Rect;
}  // namespace platform

class CAllEffect;
class CBackScriptRunner;
class CBgmPlayer;
class CCGList;
class CCommonButtonSetup;
class CCommonGeneral;
class CCommonSystemFile;
class CDataFileSetup;
class CDirectDrawScreen;
class CDirectSound;
class CExtDataNameTable;
class CExtraModeList;
class CCGVoiceList;
class CIntTableFile;
class CPicturePool;
class CScreenBuffer;
class CVarNameTable;
class CFloatingLayerTable;
class CGameMouse;
class CMessageCursor;
class CNotice;
class CFontPrint;
class CFpsPrint;
class CFrameSkip;
class CFukaPrint;
class CPrintDebugParam;
class CGameVarHost;
class CGameVariables;
class CInputStatus;
class CMainControl;
class CMixer;
class CMouseStatus;
class CMoviePlayer;
class CMyKeyStatus;
class CNameList;
class CPicture;
class CSceneDataFile;
class CSceneList;
class CSceneOptionButton;
class CSceneVoiceList;
class CScript;
class CSePlayer;
class CSetupList;
class CSoundBuffer;
class CSurfaceConverter;
class CSystemPicture;
class CTextPrint;
class CHolidayList;
class CTextInputBox;
class CVoicePlayer;
class CWaveBuffer;
enum class SystemVar : int;

class CGameCallBack : public CScriptCallBack,
                      public CSaveServices,
                      public CSoundServices,
                      public CScreenServices,
                      public CFloatingServices,
                      public CBackScriptServices,
                      public CTextServices,
                      public CMessageWindowServices,
                      public CInputServices,
                      public CModeFlowServices,
                      public CVariableServices {
 public:
  static constexpr int kModeCount = modenumber::kModeCount;
  static constexpr int kLevelCount = 16;
  static constexpr int kMaxUpdateRects = 100;
  static constexpr int kMaxCallParams = 256;
  static constexpr int kEffectChannels = 16;
  // The system script: the control script every game start runs.
  static constexpr char kControlScriptPath[] = "spt\\sys.spt";
  static constexpr int kEffectNameSize = 256;
  static constexpr int kTableRows = 50;
  static constexpr int kDefaultVoiceWaitTime = 7000;
  static constexpr int kDefaultFrameTime = 50;

  // The window, the application's system file (not owned), the window size
  // and the desktop's bits per pixel. Allocates nothing: Init creates the
  // owned objects.
  CGameCallBack(platform::Window* window, CCommonSystemFile* systemFile, int width, int height,
                int bpp);
  CGameCallBack(const CGameCallBack&) = delete;
  CGameCallBack& operator=(const CGameCallBack&) = delete;

  // --- What the application's main loop drives ---
  virtual void SetMainControl(CMainControl* mainControl);
  // Reads the settings list "game" and creates the owned objects.
  virtual void Init();
  // Run once after the modes exist: the short-cut rows and the extension
  // save-data sizes.
  virtual void PrepareModeTables();
  // One frame; elapsed is the time since the start of the previous one.
  virtual int Frame(int elapsed);

  // --- The game's operations; those marked override are the role
  // interfaces' (services/) or the interpreter's ---
  // Runs the destroy step: releases what initialisation made, nothing
  // before initialisation has finished.
  ~CGameCallBack() override;

  // Script side (CScriptCallBack).
  void SystemCommand(int code, int param, const void* data, int extra) override;
  void CommandNotice(int code, int param, const char* text) override;
  void SystemCall(int code, int count, const int* values) override;
  int SystemFunction(int code, int count, const int* values) override;
  int GetVar(int number) override;
  int GetSystemVar(int number) override;
  void SetVar(int number, int value) override;
  // What no table handles (empty here; CGame supplies them).
  virtual void OnSystemCall(int key, int count, const int* values);
  virtual int OnSystemFunction(int number, int count, const int* values);

  CPicture* GetScreenPicture() override;
  CPicture* GetWorkPicture() override;
  CMouseStatus* GetMouseStatus() override;
  CInputStatus* GetInputStatus() override;
  CFontPrint* GetFont() override;
  CTextPrint* GetTextBuffer() override;
  CTextInputBox* GetTextInputBox() override { return textInputBox_; }
  void ResetTextPosition() override;
  void EndSkipFilm() override;
  void SetSkipFilmFlag(int value) override;
  int CheckKeyTrig(int code) override;
  void SetMessageModeFlag(int flag) override;
  void NotifyMode(int mode, int value) override;
  void ToWindowMode(int quiet) override;
  void ToFullScreenMode(int quiet) override;
  virtual void ToWindowScreen();
  virtual void ToFullScreen();
  int GetShiftSkipState() override;
  void SetShiftSkipState(int state) override;
  void CalcuEffect() override;
  void AddEffectFrame(int frames) override;
  void OnMessageClick() override;
  virtual void EndEffectMove();
  void RefreshEffect(int pass) override;
  virtual void PrintEffect(int first, int last);
  virtual uint32_t* GetPixelBuffer();
  int CallScriptLabel(int label) override;
  // Buffer picture 0 or 1; NULL for any other number.
  CPicture* GetBufferPicture(int n) override;
  virtual int GetWipeType();
  virtual int GetWipeLength();
  int IsSystemSettingOn() override;
  int GetCharaVoiceFlag(int chara) override;
  int CheckSystemFlag(int n) override;
  void SetCharaVoiceFlag(int chara, int on) override;
  void SetReturnMode(int mode) override;
  void PrintWipe(int progress) override;
  void AddBackLog(const char* text, int r, int g, int b) override;
  int GetVoiceFlag() override;
  int GetVoiceWaitTime() override;
  void SetMessageReadFlag(int message, int script) override;
  int CheckMessageReadFlag(int message, int script) override;
  // The colour of the back-log line linesBack before the next (1: the last).
  void SetBackLogColor(int linesBack, int r, int g, int b) override;
  virtual int GetSkipFrameCount();
  virtual int CheckFrameSkipOff();
  int GetMessageModeFlag() override;
  int PrintMessageWindow(int show, int showName, const platform::Point* offset) override;
  int CheckMessageWindow(int show, int showName, const platform::Point& position) override;
  int PrintMessageWindowIfShown(int show, int showName, const platform::Point* offset) override;
  CPicture* LoadSystemPicture(const char* name, int flag) override;
  int GetSystemSetting(int id) override;
  void SetSystemSetting(int id, int value) override;
  void CloseGame() override;
  virtual CCommonButtonSetup* GetCommonBackSetup();
  virtual int GetCommonSetupSecond();
  virtual int GetCommonSetupThird();
  void PlayVoice(const char* name) override;
  virtual void SetResetWord(int value);
  virtual void SetResetWordB(int value);
  void OnModeEnter(int mode) override;

  // Save chunks (CSaveServices): `chunk` is a whole chunk (its 32-byte
  // header first) of `size` bytes.
  void PutSaveData(int type, uint8_t* chunk, size_t size) override;
  void PutGameStatus(uint8_t* chunk, size_t size) override;
  virtual void PutMiniCG(uint8_t* chunk, size_t size);
  virtual void PutGameVar(uint8_t* chunk, size_t size);
  virtual void PutEffect(uint8_t* chunk, size_t size);
  virtual void PutEffectFileName(uint8_t* chunk, size_t size);
  virtual void PutMessage(uint8_t* chunk, size_t size);
  void PutOmakeClass(uint8_t* chunk, size_t size) override;
  virtual void PutCutin(uint8_t* chunk, size_t size);
  void GetSaveData(int type, const uint8_t* chunk, size_t size) override;
  virtual void GetInfo(const uint8_t* chunk, size_t size);
  void GetGameStatus(const uint8_t* chunk, size_t size) override;
  virtual void GetGameVar(const uint8_t* chunk, size_t size);
  virtual void GetEffect(const uint8_t* chunk, size_t size);
  virtual void GetEffectFileName(const uint8_t* chunk, size_t size);
  virtual void GetMessage(const uint8_t* chunk, size_t size);
  void GetOmakeClass(const uint8_t* chunk, size_t size) override;
  virtual void GetCutin(const uint8_t* chunk, size_t size);

  // Day of the week (0 Sunday) of month * 100 + day in the year of "year".
  virtual int GetWeekDay(int monthDay);
  void PlaySystemSeAlt(int n) override;
  virtual int GetSoundVolumeMode();
  void MakeMiniCG() override;
  int StartNewGame(int ignored, int stateFlag, int varNumber, int value) override;
  void RestartFromLoad() override;
  virtual void StartGameScript(int varNumber, int value);
  virtual void NotifyListedModes();
  virtual void SetStateVarWord(int value);
  virtual void ResetFrameSkip();
  virtual void CalcuFrameSkip(int elapsed);
  // Takes the presses and the wheel turn that came since the last frame
  // into the mouse status.
  virtual void UpdateMouse();
  virtual intptr_t WindowProc(platform::Window* window, uint32_t message, uintptr_t wParam,
                              intptr_t lParam);
  virtual void ClearKeyStatus();
  virtual void ToggleScreenMode(int quiet);
  virtual void SaveNames();
  void AddUpdateRect(const platform::Rect& rect) override;
  virtual void FlushUpdateRects();
  virtual int CheckHoliday(int year, int month, int day);
  virtual void InitSystemVarNumbers();
  virtual int PrintStartMessage();
  virtual int CheckReady();
  virtual int CallNextSceneItem();
  int StartSceneScript() override;
  virtual void SetFullScreenSize(int width, int height);
  virtual void SetClipLeftTop(int left, int top);
  virtual void SetClipRightBottom(int right, int bottom);
  void RestoreFloatingLayers() override;
  virtual void ResetFloatingLayers();
  int GetVarNumber(const char* name) override;
  virtual void OnNewGame(int a, int b);
  virtual void OnResetGame();
  virtual CCommonButtonSetup* GetCommonUpDownSetup();
  void SaveSystemFile() override;
  void OnMessageCursor(int a) override;
  void SetMessageCursorKind(int kind) override;
  void SetMessageCursor(int x, int y, int kind) override;
  virtual int GetReservedWord();
  virtual int GetFirstSystemSetting(int ignored);
  virtual CDirectSound* GetSoundDevice();
  CMoviePlayer* GetMoviePlayer() override;
  virtual int GetBossComingFlag();
  virtual void SetBossComingFlag(int flag);
  virtual void SetOptionOffVar(int flag);
  void ShowMessageWindow(int flag) override;
  void PlaySystemSe(int n, int asVoice) override;
  void PlaySeFile(const char* name, int delta) override;
  int GetExtSaveDataCount() override;
  int GetExtSaveDataSize(int i) override;
  void PutExtSaveData(uint8_t* chunk, size_t size, int i) override;
  void GetExtSaveData(const uint8_t* chunk, size_t size, int i) override;
  virtual void PutExtSaveDataDefault(uint8_t* chunk, size_t size, int i);
  virtual void GetExtSaveDataDefault(const uint8_t* chunk, size_t size, int i);
  int GetVersion() override;
  // (high << 16) | (middle << 8) | low, stored and returned.
  virtual int SetVersion(int high, int middle, int low);
  // Pairs of the music list; an unpaired last token is not counted.
  virtual int GetBgmCount();
  // Token 2n / 2n + 1 of the music list; NULL outside it.
  virtual const char* GetBgmFileName(int n);
  virtual const char* GetBgmTitle(int n);
  void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) override;
  virtual int SetSystemVolume(int id);
  platform::Window* GetWindowHandle() override;
  virtual void PrintDebugParam();
  virtual void PrintDebugParamBack();
  virtual void OnRestoreStateHook();
  int CheckVoiceOff(const char* fileName) override;
  virtual int GetCharaVoiceVolume(const char* fileName);
  // Keeps up to 256 values.
  virtual void SetCallParam(int count, const int* values);
  virtual void PrintScreen();
  virtual void FlipScreen();
  virtual int GetEffectSpeed();
  const char* GetSaveHeaderName() override;
  void RestoreFirstFloatingLayer() override;
  void PrintWipeType(int progress, int length, int kind) override;
  virtual int GetFrameTime();
  virtual int GetDefaultFrameTime();
  void GetMiniCGSize(int* width, int* height) override;
  void ResetFrameTime() override;
  CDataFileSetup* GetSaveSlotLayout() override;
  virtual int FrameOnMainThread(int elapsed);
  static constexpr uint32_t kStartGameThreadMessage = WM_USER + 555;
  static constexpr uint32_t kEndGameThreadMessage = WM_USER + 556;
  // What WM_USER + 555 carries (wParam points at it, lParam at the end
  // event): the three arguments and the end event, which the window side
  // sets once the game thread has ended. It lives in the game object, so a
  // window that answers late still reads valid memory.
  struct GameThreadRequest {
    int args[3] = {};
    platform::Event* end = nullptr;
  };
  // Asks the window thread (WM_USER + 555) for a game thread with the three
  // arguments and waits until that thread has ended: 1, or 0 when the
  // window answered no thread within 10 s. Never call it on the window
  // thread, which must keep handling messages meanwhile.
  virtual int StartGameThread(int a, int b, int c);
  // Called on the game thread as its last act: tells the window thread
  // (WM_USER + 556) that it ends; the thread's body returns after it.
  virtual void EndGameThread();

  // Frame hooks, in the order the frame calls them (empty here).
  virtual void OnFrameStart(int elapsed);
  virtual void OnBeforeCalcu();
  virtual void OnAfterCalcu();
  virtual void OnAfterCalcuLate();
  virtual void OnBeforeInput();
  virtual void OnBeforePrint();
  // The frame ignores the result; CGame answers its current mode.
  virtual int OnAfterPrint();
  virtual void OnAfterPrintLate();
  virtual void OnBeforeFloatingButtons();
  virtual void OnBeforePrintScreen();
  virtual void OnBeforeFlipScreen();
  virtual void OnAfterFlipScreen();
  virtual void OnBeforeChangeMode();
  virtual void OnAfterChangeMode();
  virtual void OnFrameEnd();

  // Sets the frame period and hands it to the frame-skip controller.
  virtual void SetFrameTime(int ms);
  void OnModeHook(int mode) override;
  // The status text kept in GAMESTATUS; none here.
  virtual const char* GetStatusExtra();
  int GetScriptStartFlag() override;
  void SetScriptStartFlag(int flag) override;
  virtual CNameList* GetCharaNameList();
  void SetBackScriptMode(int mode) override;
  int GetBackScriptMode() override;
  void ResetBackScript() override;
  virtual CNameList* GetProjectList();
  int LoadBackScript(const char* name) override;
  int CalcuBackScript(int loop) override;
  void PrintBackScript() override;
  void PrintBackScriptRange(int first, int last) override;
  virtual int QueryCommonBackSetup();
  virtual void ApplyCommonBackSetup(int a, int b, int c, int d);
  virtual int QueryCommonUpDownSetup();
  virtual void ApplyCommonUpDownSetup(int a, int b, int c, int d);
  virtual void ResetCommonSetups();
  void PlayNote(int n) override;
  virtual void PrintBossComing();
  virtual void OnWindowProc();
  virtual void SpareHookPair(int a, int b);
  virtual int SpareCheck();
  virtual int CallControlScript(int start);
  void KeepGameState() override;
  void RestoreGameState() override;
  int CheckShortCut(int mode) override;
  // -1 for a time or loop count means the player's default; a delta of
  // -9999 plays at the option volume unchanged.
  virtual void PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut);
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;
  virtual void PrintFloatingLayers();
  CBgmPlayer* GetBgmPlayer() override;
  int CheckFloatingButtons() override;
  virtual int CheckSceneButton();
  int CheckSkipFilmButton() override;
  void HideFloatingButtons() override;
  virtual void HideSceneButton();
  void HideSkipFilmButton() override;
  void RequestFloatingButtons() override;
  virtual void RequestSceneButton();
  void RequestSkipFilmButton() override;
  void ShowFloatingButtons() override;
  virtual void ShowSceneButton();
  virtual void ShowSkipFilmButton();
  int CheckMovieCodec() override;
  int PrepareSystemMode(int result, int returnMode) override;
  virtual int WaitGameEvent();
  virtual int SetWindowEvent();
  virtual int AnswerWindowRequest(int answer);
  virtual int CheckGameEvent();
  int GetAutoMessageCheckFlag() override;
  int GetMessageSwitch() override;
  int GetCannotSkipFlag() override;
  int GetFloatingButtonOffFlag() override;
  void ClearGameState() override;
  int CheckMiniGameStart(int value) override;
  void SetMiniGameAreaMode(int mode) override;
  void PrintMiniGameButtons() override;
  virtual int SpareCheckTrue();
  virtual void SpareHookA();
  virtual int SpareCheckTrueB();
  virtual void SpareHookB();
  virtual void CreateModes();
  virtual void OnBeforeScreenChange();
  virtual void OnAfterScreenChange();
  virtual void OnScreenChangeBegin();
  virtual void OnScreenChangeEnd();
  virtual void CallScreenChangeBegin();
  virtual void CallScreenChangeEnd();
  const char* GetFamilyName() override;
  const char* GetGivenName() override;
  void SetNames(const char* family, const char* given) override;
  virtual int GetAutoSaveType(int type);
  void GetMiniCG(uint32_t* pixels, int sizeType, int width, int height) override;
  int GetUseCutinFlag() override;
  virtual void OnScriptCommand(int value);
  int RegistSystemFunction(int mode, const char* name, int value) override;
  virtual void OnSetVar(int id, int value);
  virtual void OnBeforeSaveSystemFile();
  virtual void OnAfterSaveSystemFile();
  virtual void OnWindowProcArg(int arg);
  virtual int RegistSystemCall(int mode, const char* name);
  virtual void InitBossComing();
  virtual void InitFukaPrint();
  virtual void InitFpsPrint();
  virtual void InitBackButton();
  virtual void CreateBackButton();
  // 1 when "debug.txt" beside the program opens; CGame has its own file.
  virtual int IsDebugMode();

  // --- Saved games (gamecallback_savedata.cpp) ---
  const char* CheckGameStatus(const uint8_t* chunk, size_t size) override;
  int GetLastSaveSlot() override;
  int SetLastSaveSlot(int slot) override;
  void SetSaveComment(const char* text, int line) override;
  // The thumbnail MakeMiniCG made last (GetMiniCGSize pixels, 0x00RRGGBB),
  // and the version word of the slot whose INFO chunk was read last.
  const std::vector<uint32_t>& GetMiniCGPixels() const { return miniCG_; }
  int GetLoadedVersion() const { return loadedVersion_; }
  // The keys of the last message and choice records handed to the message
  // modes (-1 none); a save records them, an older save finds its place by
  // them.
  void SetMessageKeys(int message, int choice) {
    messageKey_ = message;
    choiceKey_ = choice;
  }
  int GetMessageKey() const { return messageKey_; }
  int GetChoiceKey() const { return choiceKey_; }
  // The size of the EXT chunk of mode `mode`'s automatic row, or of
  // sub-entry row `row`; a box names a mode or row initialisation gave no
  // chunk.
  void SetAutoSaveDataByMode(int mode, int size) override;
  virtual void SetAutoSaveDataBySubMode(int row, int size);

  // --- The game object's own accessors ---
  // The mode stack: the current mode and the pending request of each level.
  int GetModeLevel() const { return modeLevel_; }
  int GetCurrentMode() const { return modeStack_[modeLevel_]; }
  int GetModeAtLevel(int level) const {
    return level >= 0 && level < kLevelCount ? modeStack_[level] : 0;
  }
  int GetNextMode() const { return nextModeStack_[modeLevel_]; }
  int SetNextMode(int n) override { return nextModeStack_[modeLevel_] = n; }
  // At level 0 the story modes are also remembered as the last main mode.
  void SetCurrentMode(int n) {
    modeStack_[modeLevel_] = n;
    if (modeLevel_ == 0 && (n == modenumber::kSelectMessage || n == modenumber::kPrintMessage ||
                            n == modenumber::kSelectPlace || n == modenumber::kSelectHeroin ||
                            (n >= modenumber::kSelectPlace2 && n <= 39) || (n >= 50 && n <= 99)))
      lastMainMode_ = n;
  }
  int GetLastMainMode() const { return lastMainMode_; }
  // The mode object of number n; NULL for no such mode.
  CCommonGeneral* GetMode(int n) const {
    return n >= 0 && n < kModeCount ? modeTable_[n] : nullptr;
  }
  // The roles mode n registers (modebase/moderoles.h); all null for no
  // such mode.
  ModeRoles GetModeRoles(int n) const;
  // The story's own modes by their roles: the print-message mode (10), the
  // choice mode (9) and the back log (7); NULL while the table has none.
  CStoryMessageMode* GetPrintMessage() const;
  CStoryChoiceMode* GetSelectMessage() const;
  CStoryBackLogMode* GetBackLog() const;
  // The other modes' roles by their mode numbers: the system menu (13), the
  // configuration (12), the movie mode (27), the load (5) and save (6)
  // screens and the mini-game mode (40).
  CSystemMenuOptions* GetSystemMenuOptions() const;
  CConfigScreen* GetConfigScreen() const;
  CMoviePlayback* GetMoviePlayback() const;
  CQuickLoadMode* GetQuickLoadMode() const;
  CQuickSaveMode* GetQuickSaveMode() const;
  CMiniGameHost* GetMiniGameHost() const;
  // Empties the back log down to its first message and bar line.
  void ClearBackLog() override;
  int GetReturnMode() const { return returnMode_; }
  // Marks the kept game state for restoring: the next frame runs
  // RestoreGameState once (screens that hand control back call it).
  void SetReturnFlag() override { restorePending_ = 1; }
  int GetReturnFlag() const { return restorePending_; }
  int GetBgmNumber() const override { return currentBgm_; }
  int GetDefaultMusicFadeInTime() const override { return defaultMusicFadeInTime_; }

  // The keyed flag table of companion modes, and the value that decides
  // whether a save carries it (0 without a table).
  CKeyFlagTable* GetKeyFlagTable() const { return keyFlagTable_; }
  int GetExtDataValue() const override { return keyFlagTable_ ? keyFlagTable_->GetModeWord() : 0; }

  CMyKeyStatus* GetKeyStatus() const { return keyStatus_; }
  CSceneDataFile* GetSceneDataFile() const override { return sceneDataFile_; }
  CSceneList* GetSceneList() const override { return sceneList_; }
  CCGList* GetCGList() const override { return cgList_; }
  CSceneVoiceList* GetSceneVoiceList() const override { return sceneVoiceList_; }
  CCommonSystemFile* GetSystemFile() const override { return systemFile_; }
  CMainControl* GetMainControl() const { return mainControl_; }
  int GetScreenWidth() const override { return width_; }
  int GetScreenHeight() const override { return height_; }
  int GetBpp() const { return bpp_; }
  int IsInitialised() const { return initialised_; }
  int GetSurfaceRestoreFlag() const { return surfaceRestoreFlag_; }
  int GetCallParamCount() const { return callParamCount_; }
  const GameSettings& GetSettings() const { return settings_; }
  // The roles the game hands each mode.
  GameRoles Roles() { return GameRoles(this); }
  int GetWindowOffMouseButton() const override { return settings_.windowOffMouseButton; }
  int GetAreaButtonMode() const override { return settings_.areaButtonMode; }
  int GetMiniGameCheckNumber() const override { return settings_.miniGameCheckNumber; }
  CCGVoiceList* GetCGVoiceList() const override { return cgVoiceList_; }
  CExtDataNameTable* GetExtDataNameTable() const { return extNameTable_; }
  int IsModeDisabled(int n) const { return n >= 0 && n < kModeCount ? modeDisable_[n] : 1; }
  // The skip kind F4 (0) or F5 (1) set: 1 after that key, 0 after the other.
  int GetSkipKind(int i) const { return i == 0 || i == 1 ? skipKind_[i] : 0; }
  // Frames run by every game object of the process.
  static int64_t GetProcessFrameCount();

  // Mode services: the leave step of mode n; the companion modes that a
  // change from mode `from` to mode `to` releases (left) and prepares
  // (initialised), -1 standing for no mode; the current mode's companions'
  // calculation and drawing steps of a frame.
  void LeaveMode(int n);
  void LoadModeResources(int from, int to);
  void ReleaseModeResources(int from, int to);
  void ChangeModeResources(int from, int to);
  void CalcuListedModes();
  void PrintListedModes();
  // "<name>ClassDisable" of every named mode, from the list "game".
  void LoadClassDisable();
  // The mini-game settings list and its integer getter (0 without it).
  int LoadMiniGameSetupFile(const char* name, int pairs);
  int GetMiniGameSetupInt(int* out, const char* key) const;
  int GetCallParam(int i) const {
    return i >= 0 && i < callParamCount_ && i < kMaxCallParams ? callParams_[i] : 0;
  }

  // --- Names, options and state words (gamecallback_calls.cpp) ---
  const char* GetDefaultName(int which) const override;
  int CheckEnableVar(int n) override;
  int GetModeFlag(int i) const override { return i >= 0 && i < kFlagTableSize ? modeFlags_[i] : 0; }
  void SetModeFlag(int i, int value) override {
    if (i >= 0 && i < kFlagTableSize) modeFlags_[i] = value;
  }
  void SetListenBgmState(int type, int number) override;
  int GetMusicRoomValue() const override { return musicRoomValue_; }
  void SetMusicRoomValue(int value) override { musicRoomValue_ = value; }
  CIntTableFile* GetResultTable() const override { return resultTable_; }
  // The system-data word of option `id` after the channel words of
  // "movieVolumeNotUse" and "soundVoiceVolumeNotUse" are followed; -1 for
  // an id that is not a plain word (500..571 and unknown ids).
  int SystemSettingOffset(int id) const;
  // A computed system variable that needs the game (week, holiday, the
  // gallery percentages, expmode / expcheck); 0 for any other.
  int ReadGameSystemVar(SystemVar which);

  // --- Frame services (gamecallback_frameservices.cpp) ---
  int CalcuWaitCount(int n) override;
  // The same answer without consuming it.
  int ConvertWaitCount(int n) const;
  // Lowers the voice count-down by n ms; at 0 it is switched off.
  void DecreaseCountdown(int n);
  int IsBackLogDisabled() const override { return backLogDisableCountdown_ > 0 ? 1 : 0; }
  // Hides effect layer i (0..15) for each set bit and shows the others;
  // the mask is kept as the layer-off mask.
  void SetLayerDisableMask(int mask) override;
  int GetLayerDisableMask() const;
  // Shows (on != 0) or hides one effect layer and keeps its layer-off bit;
  // a layer outside 0..15 is ignored.
  void SwitchEffectLayer(int layer, int on);
  // PrintScreen and FlipScreen at once, unless screen updates are blocked.
  void UpdateScreenNow() override;
  void SetScreenUpdateBlocked(int blocked) { screenUpdateBlocked_ = blocked; }
  void RestoreSurfaces(int flag) override;
  void HideCursor() override;
  void GetGameMousePos(int* x, int* y) const override;
  // The game mouse's special mode (0 none, 1 trail, 2 sparkles); 0 and no
  // effect without a game mouse.
  void SetGameMouseSpecialMode(int mode);
  int GetGameMouseSpecialMode() const;
  CFloatingLayerTable* GetFloatingLayerTable() const { return floatingLayers_; }
  CGameMouse* GetGameMouse() const { return gameMouse_; }
  CMessageCursor* GetMessageCursor() const { return messageCursor_; }
  CNotice* GetNotice() const { return notice_; }
  // Floating button i (0 scene, 1 option, 2 skip-film, 3 quick save, 4 quick
  // load, 5 quick config, 6 quick back log); null when not made.
  CSceneOptionButton* GetFloatingButton(int i) const {
    return i >= 0 && i < 7 ? floatingButtons_[i] : nullptr;
  }
  int CheckMessageWindowHit(int x, int y) override;
  // Design numbers: the configuration's are kept in the system data, the
  // script's in the game; each is handed to its object (message window,
  // message cursor, game mouse).
  void SetWindowNumberConfig(int n) override;
  int GetWindowNumberConfig() const override;
  void SetWindowNumberScript(int n);
  int GetWindowNumberScript() const { return windowNumberScript_; }
  void SetCursorNumberConfig(int n);
  int GetCursorNumberConfig() const;
  void SetCursorNumberScript(int n);
  int GetCursorNumberScript() const { return cursorNumberScript_; }
  void SetMouseNumberConfig(int n);
  int GetMouseNumberConfig() const;
  void SetMouseNumberScript(int n);
  int GetMouseNumberScript() const { return mouseNumberScript_; }
  // 100 - option 106, held to 0..100, to the message window.
  void ApplyWindowOpacity();
  // The message words the print-message mode reads and writes.
  void SetMessageWindowOn(int value) override { messageWindowOn_ = value; }
  int GetAutoModeFlag() const override { return messageWindowOn_; }
  void SetAutoModeType(int type) { autoModeType_ = type; }
  int GetAutoModeType() const override { return autoModeType_; }
  void SetMessageWindowMode(int value);
  int GetMessageSpeed() const override { return messageWindowMode_; }
  // Stores the word and sets option 6 to it.
  void SetStoredOption(int value);
  int GetMessageSkipFlag() const override { return storedOption_; }
  // A message-window switch (0 or 1) waiting for ApplyPendingSwitch; -1
  // none.
  void SetPendingSwitch(int value) { pendingSwitch_ = value; }
  void ApplyPendingSwitch();
  // Shift skip off when on; on when off, unless "shiftSkipMessageOnly" and
  // the current mode is not the print-message mode.
  void ToggleShiftSkip();
  // The movie codec answer, asked once and kept.
  void SetCodecCheckState(int value) override { codecCheck_ = value; }
  void SetCodecChoice(int value) override { codecChoice_ = value; }
  int GetCodecChoice() const { return codecChoice_; }
  void SetMovieOff() override { movieOff_ = 1; }
  int IsMovieOff() const override { return movieOff_; }
  const char* GetMovieListName(int n) const override;
  // 1 when movie entry n (1-based) exists and its "<name>IsDefault" did not
  // switch it off, else 0.
  int IsMovieListEntryEnabled(int n) const;
  void ClearPlayCount() override;
  int GetPlayCount() const override;
  void AddPlayCount() override;
  // (1, value) keeps "noVoiceIsDefaultWait"; always -1.
  int SetMessageParam(int kind, int value) override;
  int GetNoVoiceIsDefaultWait() const { return noVoiceIsDefaultWait_; }
  CPicture* GetEffectBackPicture() const override;
  CPicture* GetEffectScreenPicture() const override;
  void ChangeFace(int n, const char* name) override;
  void SetSystemMenuSceneMode(int flag) override;
  // The configured variable of the save comment while its switch is on.
  int GetModeVariable() override;
  void ResetMiniGameMode();
  void SetMusicStartWord(int value) { musicStartWord_ = value; }
  int GetMusicStartWord() const { return musicStartWord_; }
  int GetConfigHelperValue() override;

 protected:
  // Carries out the pending mode request at the end of a frame.
  void ChangeMode();
  // 1 when mode n was created.
  int CreateMode(int n);
  // A new object of mode class n from the mode factory; null for a number
  // without a class.
  virtual CCommonGeneral* MakeMode(int n);
  // The settings list "game" of the game object.
  int LoadSetupFile(const char* name, int pairs);
  int GetSetupInt(int* out, const char* key) const;
  int GetSetupString(const char** out, const char* key) const;
  // The debug list, the scene-name line and the window-message log, a
  // further debug switch and the process-wide debug word, all on or all off.
  void SetDebugFlags(int flag);
  int GetDebugFlag() const { return debugFlag_; }
  // The destroy step; nothing while the initialised flag is 0.
  void ReleaseAll();
  // Parts of Init, in its order.
  void InitExtSaveData();
  void InitMiniCGSize();
  void InitModeSwitches();
  void AdjustWindowPosition();
  void InitVariables();
  void InitDataLists();
  void InitFunctionNumbers();
  void InitSound();
  // The row of a name in the function list (-1 none).
  int FunctionRow(const char* name) const;
  // Steps of the frame (gamecallback_frame.cpp): the lost full screen's
  // fall-back, the stall guard and the window's text lines.
  void SuperviseFullScreen();
  void GuardStall();
  void UpdateWindowText();
  // A lost presentation target is recovered and the next frame drawn whole
  // (each frame while the window is active, and on activation).
  void RecoverSurfaces();
  // The window handler's message and key handlers (gamecallback_window.cpp).
  friend struct GameWindowHandlers;

  // Modes and the mode stack.
  CCommonGeneral* modeTable_[kModeCount] = {};
  int modeLevel_ = 0;
  int nextModeStack_[kLevelCount];
  // Per level: whether it is drawn under the levels above it.
  int drawThrough_[kLevelCount] = {};
  int levelWordsB_[kLevelCount] = {};
  int modeStack_[kLevelCount] = {};
  int lastMainMode_ = 0;
  int modeDisable_[kModeCount] = {};

  // Given to the constructor.
  platform::Window* window_;
  CCommonSystemFile* systemFile_;  // not owned
  int width_, height_, bpp_;
  CMainControl* mainControl_ = nullptr;

  // Text.
  CFontPrint* font_ = nullptr;
  CTextPrint* textBuffer_ = nullptr;
  CTextInputBox* textInputBox_ = nullptr;
  CHolidayList* holidayList_ = nullptr;  // with "useSaijistu"
  int voiceFlag_ = 0;
  int voiceWaitTime_ = kDefaultVoiceWaitTime;

  // Common button setups.
  CCommonButtonSetup* commonBackSetup_ = nullptr;
  int commonSetupSecond_ = 0, commonSetupThird_ = 0;
  CCommonButtonSetup* commonUpDownSetup_ = nullptr;

  // Skipping: two counters and three flags set together when a film skip
  // starts; the started word; whether the skip-film button may show.
  int skipFilm_[5] = {};
  int skipFilmStarted_ = 0;
  int skipFilmButtonEnable_ = 0;
  int messageModeFlag_ = 0;
  int shiftSkipState_ = 0;

  // Presentation and movie.
  CDirectDrawScreen* presentation_ = nullptr;
  CSurfaceConverter* surfaceConverter_ = nullptr;
  CMoviePlayer* moviePlayer_ = nullptr;
  int surfaceRestoreFlag_ = 1;
  int fullScreenWidth_ = 0, fullScreenHeight_ = 0;
  int clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;

  // Effects, transitions and pictures.
  CAllEffect* effect_ = nullptr;
  int wipeType_ = 0, wipeLength_ = 0;
  CPicture* bufferPicture_[2] = {};
  CPicture* screenPicture_ = nullptr;
  CPicture* workPicture_ = nullptr;
  CSystemPicture* systemPicture_ = nullptr;
  uint32_t* pixelBuffer_ = nullptr;
  char effectPictureNames_[kEffectChannels][kEffectNameSize] = {};
  int bossComingFlag_ = 0;

  // Save data.
  CSceneDataFile* sceneDataFile_ = nullptr;
  CSceneList* sceneList_ = nullptr;
  CCGList* cgList_ = nullptr;
  CSceneVoiceList* sceneVoiceList_ = nullptr;
  CDataFileSetup* saveSlotLayout_ = nullptr;
  int returnMode_ = modenumber::kDefaultReturnMode;
  int version_ = 0;
  const char* saveHeaderName_ = "SAVEDATA";
  int useCutinFlag_ = 0;

  // Scripts.
  CScript* scripts_[4] = {};
  int scriptNumber_[4] = {};
  int scriptLevel_ = 0;
  int scriptStartFlag_ = 0;
  int backScriptMode_ = 0;
  int resetWord_ = 0, resetWordB_ = 0;
  int stateVarWord_ = 0;
  int autoMessageCheckFlag_ = 0;
  int messageSwitch_ = 0;
  int cannotSkipFlag_ = 0;
  int floatingButtonOffFlag_ = 0;
  int reservedWord_ = 0;
  int callParamCount_ = 0;
  int callParams_[kMaxCallParams] = {};
  // System calls (command number, mode) and functions (function number,
  // mode, value) registered by modes.
  int systemCalls_[kTableRows][2] = {};
  int systemCallCount_ = 0;
  int systemFunctions_[kTableRows][3] = {};
  int systemFunctionCount_ = 0;

  // Data lists.
  CNameList* bgmList_ = nullptr;
  CNameList* systemSeList_ = nullptr;
  CNameList* seList_ = nullptr;
  CNameList* charaNameList_ = nullptr;
  CNameList* functionList_ = nullptr;
  CNameList* commandList_ = nullptr;
  CNameList* projectList_ = nullptr;
  CNameList* movieList_ = nullptr;
  // Per movie entry: 1 when "<name>IsDefault" is 0 (the entry is off).
  std::vector<char> movieEntryOff_;
  CNameList* faceList_ = nullptr;
  CSetupList* setupList_ = nullptr;

 public:
  CSetupList* GetGameSetupList() const override { return setupList_; }

 protected:

  // Sound.
  CMixer* mixer_ = nullptr;
  CDirectSound* soundDevice_ = nullptr;
  CBgmPlayer* bgmPlayer_ = nullptr;
  CSoundBuffer* systemSoundBuffer_[2] = {};
  CWaveBuffer* systemSoundLoader_ = nullptr;
  CVoicePlayer* voicePlayer_ = nullptr;
  CSePlayer* sePlayer_ = nullptr;
  int currentBgm_ = -1, lastBgm_ = -1;
  int defaultMusicFadeInTime_ = 0;

  // Floating layers and buttons: scene, option, skip-film, quick save,
  // quick load, quick config, quick back log.
  CFloatingLayerTable* floatingLayers_ = nullptr;
  CSceneOptionButton* floatingButtons_[7] = {};
  // The game mouse (slot 0), the message cursor (slot 2) and the notices
  // (slot 20).
  CGameMouse* gameMouse_ = nullptr;
  CMessageCursor* messageCursor_ = nullptr;
  CNotice* notice_ = nullptr;

  // Variables.
  CGameVariables* gameVars_ = nullptr;
  CGameVarHost* varHost_ = nullptr;

  // Input: the objects, and what the window handler collected since the
  // last frame (presses per button, a wheel turn, key flags).
  CMouseStatus* mouseStatus_ = nullptr;
  CMyKeyStatus* keyStatus_ = nullptr;
  CInputStatus* inputStatus_ = nullptr;
  int pressed_[3] = {};
  int wheelFlag_ = 0, wheelDelta_ = 0;
  // Wheel turns are ignored while either count-down runs (after a screen
  // switch, and during the stall guard).
  int wheelCountdown_ = 0;
  int backLogDisableCountdown_ = 0;
  int enterFlag_ = 0, spaceFlag_ = 0, shiftHeld_ = 0, ctrlHeld_ = 0;

  // Frame.
  int frameTime_ = kDefaultFrameTime;
  int defaultFrameTime_ = kDefaultFrameTime;
  CFrameSkip* frameSkip_ = nullptr;
  int updateRectCount_ = 0;
  int updateRects_[4][kMaxUpdateRects] = {};
  int frameCount_ = 0;
  // A stop request: the frame only signals the game event and returns.
  int stopFlag_ = 0;
  // Frames left before a full screen that lost the game's size falls back
  // to a window.
  int lostCountdown_ = 0;
  // The stall guard's wall-clock second of the previous frame (0 none).
  int64_t lastWallSecond_ = 0;
  // Show requests of the scene button, the floating buttons and the
  // skip-film button, carried out near the end of the frame that made them.
  int showRequests_[3] = {};
  // A game-state restore the frame carries out after presenting.
  int restorePending_ = 0;
  // The skip kinds that F4 and F5 set, and the key of the message shown
  // (-1 none), which F4 and F5 mark as read.
  int skipKind_[2] = {};
  int messageKey_ = -1;

  // Window-thread handshake: game, window, answer and acknowledgement.
  platform::Event* events_[4] = {};
  // Written by the window thread, read by the game side.
  std::atomic<int> windowRequestResult_{0};
  // The bounded waits of the handshake in ms (tests shorten them).
  struct HandshakeWaits {
    uint32_t gameEvent = 3000;
    uint32_t answer = 5000;
    uint32_t thread = 10000;
  } handshakeWaits_;
  // The request of the last StartGameThread and its end event, kept for
  // the game object's life.
  GameThreadRequest threadRequest_;
  std::unique_ptr<platform::Event> threadEnd_;

  // Keyed flag table of companion modes.
  CKeyFlagTable* keyFlagTable_ = nullptr;

  // CGame's script-call words.
  int systemCallKey_ = 0, systemCallResult_ = 0;
  int systemFunctionNumber_ = 0;
  int adjustDateFunction_ = -1;

  int debugFlag_ = 0;
  int codecCheck_ = -1;
  int initialised_ = 0;

  // What initialisation reads and makes besides the objects above.
  GameSettings settings_;
  CScreenBuffer* screenBuffer_ = nullptr;
  CPicturePool* picturePool_ = nullptr;
  CExtraModeList* extraModeList_ = nullptr;
  CExtDataNameTable* extNameTable_ = nullptr;
  CCGVoiceList* cgVoiceList_ = nullptr;
  CIntTableFile* resultTable_ = nullptr;
  CSetupList* miniGameList_ = nullptr;
  CNameList* varNameList_ = nullptr;
  CNameList* varInitList_ = nullptr;
  CVarNameTable* varNameTable_ = nullptr;
  std::vector<CWaveBuffer*> systemSounds_;
  // Extension save data: the modes and sub-entries that keep a chunk, and
  // the sizes of the title's own entries.
  std::vector<int> extDataModes_;
  std::vector<int> extDataSubs_;
  std::vector<int> extSaveDataSizes_;
  // The 16 option-button off flags.
  int optionButtonOff_[16] = {};
  // Function rows of the function list (-1 none).
  int setSceneFunction_ = -1, saveSystemFileFunction_ = -1, layerFunction_ = -1;
  int stopF5Function_ = -1, setResultFunction_ = -1, getResultFunction_ = -1;
  // Variable numbers resolved by name (-1 none).
  int dateVar_ = -1, yearVar_ = -1, rndVar_ = -1, holidayVar_ = -1, weekVar_ = -1;
  int renameLayerVarNumber_ = -1, specialNumberVar_ = -1, optionOffVar_ = -1;
  int getResultVar_ = -1;
  int listenBgmModeVar_ = -1, listenBgmNumberVar_ = -1;
  std::vector<std::vector<char>> renameTags_;
  // The thumbnail size.
  int miniCGWidth_ = 0, miniCGHeight_ = 0;
  // The window position pulled into the desktop.
  int windowX_ = 0, windowY_ = 0;
  // The start message is on the window until the first frame.
  int startMessageShown_ = 0;

 public:
  // --- Text, message window, faces (game/gamecallback_text.cpp) ---
  // Init makes them, each once and in this order: the face control after
  // the face list, the text after the system pictures, the message window
  // after the thumbnail maker, the names after the input objects.
  void InitFaceControl();
  void InitText();
  void InitMessageWindow();
  void InitTextNames();
  // The destroy step's part: the face control, the window, the text
  // printer, the renderer.
  void ReleaseText();
  // The script's face commands.
  void SetFaceType(int face, int type);
  void SetFaceNumber(int n);
  void ResetFaces();
  int GetFacePrintMode() const { return settings_.facePrintMode; }
  class CCommonMessageWindow* GetMessageWindow() const { return messageWindow_; }
  class CFaceControl* GetFaceControl() const { return faceControl_; }
  // The object that keeps its state in the EXT chunk of key (1 "face").
  void SetExtSaveObject(int key, class CAutoSaveSubData* object);

 protected:
  static constexpr int kExtObjectKeys = 8;
  class CCommonMessageWindow* messageWindow_ = nullptr;
  class CFaceControl* faceControl_ = nullptr;
  class CAutoSaveSubData* extSaveObjects_[kExtObjectKeys] = {};

  // --- Script calls, names, options (gamecallback_calls.cpp) ---
  static constexpr int kFlagTableSize = 256;
  // The enable table (variable numbers, 0 none) and the per-mode flags.
  int enableVars_[kFlagTableSize] = {};
  int modeFlags_[kFlagTableSize] = {};
  // The variable that mirrors the state word (-1 none).
  int stateVar_ = -1;
  int noticeFunction_ = -1;
  int playCountAdded_ = 0;
  // "expModeCheckByVar..." of the list "game" into the enable table.
  void InitEnableVars();
  // Each extra mode left on as a system call under its name.
  void RegistExtraModeCalls();
  // The built-in script functions, in the order they are applied.
  int RunStopF5(int count, const int* values);
  int RunSaveSystemFile(int count, const int* values);
  int RunLayer(int count, const int* values);
  // At start: the layer table and the layers the settings ask for.
  void InitFloatingLayers();
  // Each frame: the notices (their phase sounds play), the
  // message cursor when requested, the game mouse inside the screen.
  void ServeNotice();
  void ServeMessageCursor();
  void ServeGameMouse();
  int RunNotice(int count, const int* values);
  int RunSetResult(int count, const int* values);
  int RunGetResult(int count, const int* values);
  // The script of the running level (null without one).
  CScript* CurrentScript() const;

  // --- Frame services (gamecallback_frameservices.cpp) ---
  int windowNumberScript_ = 0, cursorNumberScript_ = 0, mouseNumberScript_ = 0;
  int messageWindowOn_ = 0, autoModeType_ = 0, messageWindowMode_ = 0, storedOption_ = 0;
  int pendingSwitch_ = -1;
  int musicStartWord_ = 0;
  int codecChoice_ = 0, movieOff_ = 0;
  int noVoiceIsDefaultWait_ = 0;
  int screenUpdateBlocked_ = 0;
  // The frame-skip bookkeeping of the message modes: lateness and skip
  // allowance in ms, and the frames the lateness is held below a period.
  int lateness_ = 0, skipAllowance_ = 0, holdCount_ = 0;
  // The voice count-down: running flag and remaining ms.
  int voiceCountdownFlag_ = 0, voiceCountdown_ = 0;

  // --- The message window (gamecallback_text.cpp) ---
  // The message-window operations reach the window only through these;
  // without a window they answer as for none.
  int MessageWindowPrint(int show, int showName, const platform::Point* offset);
  int MessageWindowPrintAt(int show, int showName, const platform::Point& position);
  int MessageWindowHitLocal(int x, int y);
  void MessageWindowSetNumbers(int config, int script);
  void MessageWindowSetPercent(int percent);
  void MessageWindowSetMode(int value);
  int MessageWindowDesignCount();

  // --- Saved games (gamecallback_savedata.cpp) ---
  static constexpr int kScriptLevels = 4;
  static constexpr int kSavedStackWords = 255;
  static constexpr int kCommentLines = 4;
  static constexpr int kCommentSize = 256;
  // One script level as KeepGameState copies it.
  struct KeptScript {
    int pc = 0, depth = 0;
    int32_t returnStack[kSavedStackWords] = {};
    int32_t callSites[kSavedStackWords] = {};
  };
  KeptScript keptScripts_[kScriptLevels];
  int keptScriptLevel_ = 0;
  int keptScriptNumber_[kScriptLevels] = {};
  int keptMessageWindowOn_ = 0;
  char keptEffectNames_[kEffectChannels][kEffectNameSize] = {};
  std::vector<uint32_t> miniCG_;
  int loadedVersion_ = 0;
  int choiceKey_ = -1;
  char saveComments_[kCommentLines][kCommentSize] = {};
  // Story words of the save: read from the print-message and choice modes
  // when a save is written, handed back to them when one is read, and kept
  // here when the mode does not exist.
  int savedLineCount_ = 0, messageCode_ = 0, savedChoiceEnd_ = 0, savedChoiceStart_ = 0;
  int choiceWords_[4] = {};
  int bgmLoopCount_ = 0, specialSaveNumber_ = 0, musicRoomValue_ = 0;
  int costumeMask_ = 0, scriptWord_ = 0;
  int holdFlags_[kEffectChannels] = {}, keptHoldFlags_[kEffectChannels] = {};
  char voiceNames_[8][64] = {};
  // The byte size of every EXT chunk: automatic rows, sub-entry rows, then
  // the configured ones (made on first use).
  std::vector<int> extChunkSizes_;
  std::vector<int>& ExtChunkSizes();
  // The mode object of automatic EXT row i (null for other rows).
  CCommonGeneral* ExtRowMode(int i) const;
  // The extension object of sub-entry EXT row i (null for other rows or
  // while none is registered under its key).
  CAutoSaveSubData* ExtRowObject(int i) const;
  // The script of level k loaded again from its project number; 0 when it
  // has no name or does not load.
  int ReloadScript(int level, int number);
  // "spt\\<name>.spt" of project number n ("" when the list has no name).
  std::string ScriptPath(int number) const;
  // Whether the saved call stacks and resume entries lead to records of the
  // scripts they would be restored into; null, or the reason.
  const char* CheckSavedScripts(const uint8_t* chunk);
  // Why CheckGameStatus last refused, when the reason names a file.
  std::string statusRefusal_;

 public:
  // --- Sounds (game/gamecallback_sound.cpp) ---
  void FadeOutVoice(int time) override;
  int SearchBgmName(const char* name) const override;
  int GetMusicFlag(int n) const override;
  void StopAllSound() override;
  // The character (pair 1 on of "spt\charaname.xtx") whose key's first two
  // characters begin the voice file name, case-blind; -1 none.
  int GetVoiceChara(const char* name) const;
  // System sound buffer 0 or 1 (NULL otherwise).
  CSoundBuffer* GetSystemSoundBuffer(int i) const;
  // The loop value the script's music command gave with the remembered
  // track; option 200 plays the track again with it.
  void SetBgmLoop(int loop) { bgmLoop_ = loop; }

 protected:
  // The voice-option entry of a voice file's character (-1 none).
  int VoiceEntry(const char* name) const;
  // Creates the selected system buffer from the wave and plays it once.
  void PlayOnSystemBuffer(const CWaveBuffer& wave, int volume);
  int systemSeToggle_ = 0;
  int bgmLoop_ = -1;
  // 101: no option has it, so the first application always happens.
  int lastVoiceVolume_ = 101;

 public:
  // --- Options, the system file, the MESSAGE chunk (gamecallback_settings.cpp) ---
  // The player's names and the kept variables 200..299 into the system data.
  void StoreNamesAndKeptVars();
  // Up to 64 entries of 256 bytes behind the chunk header: each text cut to
  // 254 bytes and closed by two NULs; entries past the texts untouched.
  static void FillMessageEntries(uint8_t* chunk, size_t size, const std::vector<const char*>& texts);

 protected:
  // The texts PutMessage stores: the choice texts or the message lines.
  std::vector<const char*> MessageChunkTexts();

 public:
  // --- Screen mode, frame bookkeeping, effects (gamecallback_frame.cpp,
  // gamecallback_pictures.cpp) ---
  // The white frame with `text` in the window's overlay until the first
  // frame; PrintStartMessage shows "Initializing..".
  int ShowStartMessage(const char* text);
  // Draws the modes of the lower stack levels the draw-through words
  // select, lowest first.
  void PrintLowerModes();
  int GetMessageWaitTime() const override { return frameElapsed_; }
  // The script's voice command: the voice count-down runs for ms.
  void StartVoiceCountdown(int ms) {
    voiceCountdown_ = ms;
    voiceCountdownFlag_ = ms > 0 ? 1 : 0;
  }
  CPicture* GetEffectPicture(int n) override;
  // The short-cut rows PrepareModeTables builds from the system menu.
  int GetShortCutRowCount() const { return static_cast<int>(shortCutTable_.size()); }
  int GetShortCutStart() const { return shortCutStart_; }
  // The message cursor's request: its position and kind, and whether the
  // frame still has to act on it.
  int GetMessageCursorRequest() const { return messageCursorRequest_; }
  void GetMessageCursor(int* x, int* y, int* kind) const {
    *x = messageCursorX_;
    *y = messageCursorY_;
    *kind = messageCursorKind_;
  }

 protected:
  // One scheme for both directions of ToFullScreenMode / ToWindowMode.
  void SwitchScreenMode(int full, int quiet);
  // The display-mode switch with the game's window, size, remembered
  // position, full-screen size and clip, and its presentation.
  void RunDisplayModeSwitch(int full);
  int frameElapsed_ = 0;
  // The boss-coming cover: 0 none, 1 colour, 2 picture.
  int bossComingType_ = 0;
  int bossComingColor_[3] = {};
  CPicture* bossComingPicture_ = nullptr;
  // Short-cut rows: the first system-menu option they cover (the menu's
  // first nine options are its own); the rows are the floating buttons'
  // (shortCutTable_).
  int shortCutStart_ = 9;
  // Message cursor request: position, kind and the request word.
  int messageCursorX_ = 0, messageCursorY_ = 0, messageCursorKind_ = 0;
  int messageCursorRequest_ = 0;

 protected:
  // --- Game starts (gamecallback_scripts.cpp) ---
  // Variables 100..199 and 300..999 to 0, or from the initial-value list.
  void ClearGameVars(int fromList);
  // The steps both game starts share after the variables.
  void ResetForGameStart();

 public:
  // --- Script commands and scene scripts (game/scriptcommands*.cpp,
  // game/scriptrun.cpp) ---
  // The sound-effect and voice channels the script handlers start again
  // when a request of theirs is still pending.
  void PlayPendingSounds();
  // Each frame (CallControlScript (-1)): the released script runs
  // until its next blocking command, and a replay StartFastForward began
  // runs on; both take a bounded number of results per frame and go on in
  // the next one.
  void RunScriptStep();
  // Replays the script without frames up to its place (skipToPosition: to
  // the saved message) until a blocking command. No load starts it: a
  // loaded game goes to its saved place directly.
  void StartFastForward(int skipToPosition);
  int IsFastForwarding() const { return fastForward_[kReplayRunning]; }
  int IsSkippingToPosition() const { return fastForward_[kSkipToPosition]; }
  // The scene gallery's replay: StartSceneScript sets it.
  void SetSceneReplay(int flag) { sceneReplay_ = flag; }
  int GetSceneReplay() const { return sceneReplay_; }
  // The first and second names of the scene-name line (62 bytes at most).
  const char* GetFirstName() const { return firstName_; }
  const char* GetSecondName() const { return secondName_; }
  // Words the script's small commands set. GetConfigFlagB is the word of
  // the "scriptword" command, which the configuration screen takes as a
  // mask: bit i (0..7) locks the radio group of option 300 + i, bit 8 + i
  // the check button of option 400 + i.
  int GetConfigFlagB() const override { return scriptWord_; }
  int GetCutinNumberWord() const { return cutinNumber_; }
  int GetChoiceReturnFlag() const { return choiceReturn_; }
  int GetDisplayKind() const { return displayKind_; }
  int GetAutoKind() const { return autoKind_; }
  int GetReadSkipWord() const { return readSkip_; }
  // 1 while the back-script runner runs its script (its waits and
  // transitions go to the runner, not to the print-message mode).
  int IsBackScriptRunning() const { return backScriptRunning_; }
  // Records a script runs before it hands the frame back (a script caught
  // in a loop without a blocking command leaves the game responsive).
  static constexpr int kScriptRecordsPerRun = 20000;
  // Fuzz aid: a smaller number of records per run.
  void SetScriptRecordLimit(int records) { scriptRecordLimit_ = records; }
  CBackScriptRunner* GetBackScriptRunner() const { return backScript_.get(); }

 protected:
  friend struct ScriptCommandHandlers;
  friend class CBackScriptRunner;
  enum FastForwardFlag { kReplayRunning, kSkipToPosition, kReplaySecond, kReplayPage };
  static constexpr int kNameTextSize = 64;
  // The voice name the notice before a voice command gave.
  char noticedVoice_[kNameTextSize] = {};
  // One-shot fade times of the next voice and sound-effect command.
  int voiceFadeTime_ = 0, seFadeTime_ = 0;
  // Per effect channel: the variable whose value picks a picture variant
  // (0 none); the costume variable (-1 none) and its suffixes.
  int variantVars_[kEffectChannels] = {};
  int costumeVar_ = -1;
  std::vector<std::vector<char>> costumeSuffixes_;
  int lastLoadedChannel_ = -1;
  char firstName_[kNameTextSize] = {}, secondName_[kNameTextSize] = {};
  int fastForward_[4] = {};
  int sceneReplay_ = 0;
  int sceneScriptNumber_ = 0;
  int cutinNumber_ = 0;
  int choiceReturn_ = 0;
  int readSkip_ = -1, displayKind_ = 3, autoKind_ = -1;
  int windowPendingWord_ = 0;
  // The released script stopped on an end of code or an error, reported
  // once; it stays stopped until a game start or load moves it.
  int scriptHalted_ = 0, haltLevel_ = -1, haltPc_ = -1;
  // The script a script called, or the system script at a game start, could
  // not be loaded: when the run then stops on it, the game ends on the title.
  int calledScriptFailed_ = 0;
  // The box saying that a game cannot start without the system script has
  // been shown (the line on stderr comes every time).
  int noControlScriptShown_ = 0;
  int scriptRecordLimit_ = kScriptRecordsPerRun;
  std::unique_ptr<CBackScriptRunner> backScript_;
  int backScriptRunning_ = 0;
  // Skipping: a film skip or the shift skip runs.
  int IsSkipping() const { return skipFilm_[2] != 0 || shiftSkipState_ != 0; }
  // One run of the current level's script from `start` (-1: where it
  // stopped); its result.
  int RunCurrentScript(int start);
  // One result of the running script acted on as the fast-forward table
  // says; 1 to go on running, 0 to stop.
  int ActOnScriptResult(int result, int fastForward);
  // Sub-script call (down = 1) or replacement of the current level's script.
  void CallSubScript(const char* name, int down);
  // The end of the game: the system file saved, the title requested.
  void EndOfGame();
  // A game start found the system script not loaded: a line on stderr
  // every time, the box once.
  void ReportNoControlScript();
  void ReportScriptStop(int result);
  // A replay that cannot go on: its words cleared, skipping stopped.
  void EndFastForward();
  // Loads the voice `name` on voice channel ch and starts it; 0 when no
  // voice file has it.
  int LoadAndStartVoice(int ch, const char* name);
  // Plays sound effect `number` of the list on channel ch with its stored
  // record; quiet when the list has no such entry.
  void StartSoundEffect(int ch, int number);

 public:
  // --- Window-thread handshake (gamecallback_thread.cpp) ---
  // The game side's request: the game event, then at most 5 s for the
  // window event.
  void SignalGameEvent();

  // --- Debug aids (gamecallback_debug.cpp) ---
  static constexpr int kDebugLines = 20;
  static constexpr int kDebugLineSize = 256;
  int GetConfigFlagA() const override { return windowLogFlag_; }
  // "\r\n" and the text appended to "wmlog.txt" while the log is on.
  void WriteWindowLog(const char* text);
  // WM_MOVE and WM_SIZE with lParam's two words, any other message as a
  // line break, appended to "wmlog.txt" while the log is on.
  void LogWindowMessage(uint32_t type, uintptr_t wParam, intptr_t lParam);
  // One line (at most 254 bytes of whole characters) at the end of the
  // debug list; the oldest of 20 goes. Null adds nothing.
  void AddDebugLine(const char* text);
  int GetDebugLineCount() const { return debugLineCount_; }
  const char* GetDebugLine(int i) const {
    return i >= 0 && i < debugLineCount_ ? debugLines_[i] : nullptr;
  }
  // The build stamps of the four libraries into the debug list.
  void PrintLibraryVersions();
  // The scene-name line's texts before and after the script's name (the
  // script's first and second names; null: empty).
  void SetSceneNameTexts(const char* before, const char* after);
  // One of them: 0 the first name, 1 the second.
  void SetSceneNameText(int which, const char* text);
  // The start text again over a window-coloured frame while it is shown.
  void PrintStartText();
  CFpsPrint* GetFpsPrint() const { return fpsPrint_; }
  CFukaPrint* GetFukaPrint() const { return fukaPrint_; }
  CPrintDebugParam* GetDebugParam() const { return debugParam_; }
  int GetDebugWord() const { return debugWord_; }
  int GetDebugSwitch() const { return debugFlag_; }
  // The debug word of the whole process, set with the game's debug switches
  // (code without the game object reads it here); the reset is for tests.
  static int GetProcessDebugFlag();
  static void ResetProcessDebugFlag();

 protected:
  // The scene-name line and the debug list into the window's text.
  void PrintSceneName();
  void PrintDebugList();
  // Lines the frame draws into the screen buffer with the game's text
  // printer: the frame-skip lag and the back-script mode (debug mode), and
  // the music numbers ("debugMusicNumberPrintFlag").
  void PrintFrameDebugLines();
  void PrintMusicNumber();
  // At start: the variable overlay over the variable names.
  void InitDebugParam();
  CFpsPrint* fpsPrint_ = nullptr;
  CFukaPrint* fukaPrint_ = nullptr;
  CPrintDebugParam* debugParam_ = nullptr;
  int windowLogFlag_ = 0;
  int debugWord_ = 0;
  char debugLines_[kDebugLines][kDebugLineSize] = {};
  int debugLineCount_ = 0;
  const char* startText_ = nullptr;
  // The window's text lines of this frame, handed over at its end.
  std::vector<platform::OverlayText> windowText_;

 public:
  // --- Floating buttons, quick save and load, short-cut keys
  // (game/gamecallback_floating.cpp) ---
  // Floating button indices (GetFloatingButton).
  enum FloatingButton {
    kSceneButton,
    kOptionButton,
    kSkipFilmButton,
    kQuickSaveButton,
    kQuickLoadButton,
    kQuickConfigButton,
    kQuickBacklogButton
  };
  // One short-cut row: a key-status code (0 none), the mode it opens (0
  // none), its action (5 quick load, 6 quick save, other values none) and
  // its 1-based system sound (0 none).
  struct ShortCutRow {
    int key = 0, target = 0, action = 0, sound = 0;
  };
  int QuickLoadSave(int type) override;
  int IsQuickLoadEnable() const override { return settings_.quickLoadEnable; }
  int GetQuickSaveEnable() const override { return settings_.quickSaveEnable; }
  int CheckQuickLoadData() override;
  // The quick-load button enabled (and reset) with quick-load data,
  // disabled without.
  void UpdateQuickLoadButton();
  int GetQuickLoadDelay() const override { return settings_.quickLoadDelay; }
  void SetQuickLoadDelayFlag(int ignored) override;
  int GetQuickLoadDelayFlag() const { return quickLoadDelayFlag_; }
  // The 16 option-button off flags; an index outside 0..15 is ignored (0).
  void SetOptionButtonOff(int index, int flag) override;
  int GetOptionButtonOff(int index) const {
    return index >= 0 && index < 16 ? optionButtonOff_[index] : 0;
  }
  int GetMiniGameResult() const override { return miniGameNumber_; }
  // The short-cut rows CheckShortCut tries in order (PrepareModeTables
  // builds them from the system menu).
  void SetShortCutRows(std::vector<ShortCutRow> rows) { shortCutTable_ = std::move(rows); }
  const ShortCutRow* GetShortCutRow(int i) const {
    return i >= 0 && i < GetShortCutRowCount() ? &shortCutTable_[i] : nullptr;
  }
  // The skip-film button's enable word (1 while a film skip may start).
  void SetSkipFilmButtonEnable(int value) { skipFilmButtonEnable_ = value; }
  int GetSkipFilmButtonEnable() const { return skipFilmButtonEnable_; }
  int GetSkipFilmWord(int i) const { return i >= 0 && i < 5 ? skipFilm_[i] : 0; }
  int GetSkipFilmFlag() const { return skipFilmStarted_; }

 protected:
  // Each frame: the quick load the keys left for the frame.
  void RunDelayedQuickLoad();
  // A sound of the settings: system sound n - 1 for n of 1 or more.
  void PlaySettingSound(int n);
  // Whether floating button i exists and the current mode allows its kind
  // (5, 6, 12, 7); the option, scene and skip-film buttons only exist.
  bool FloatingButtonAllowed(int i) const;
  // The button's drawing (saving what it covers) and its reset; nothing
  // for a button that was not made.
  void ShowButton(int i);
  void HideButton(int i);
  // A mode opened by a short cut: the state kept, the sound, the return
  // mode and thumbnail when asked, the target told where to come back to,
  // the current mode's exit screen; the target.
  int OpenByShortCut(int target, int mode, int sound, bool keepReturn);
  // Before a quick save: the state kept, `mode` to return to, the thumbnail.
  void PrepareQuickSave(int mode);
  std::vector<ShortCutRow> shortCutTable_;
  int quickLoadDelayFlag_ = 0;
  int miniGameNumber_ = 0;
};
