// FakeServices: a scriptable implementation of the game's role interfaces
// (services/gameservices.h) for the mode tests; it links no game.
//
//   platform::HeadlessBackend& host = platform::InstallHeadless();
//   testsupport::TempDir dir;                    // game folder (settings lists)
//   testsupport::FakeServices game(host);        // 800 x 600
//   auto* title = game.MakeMode<CCommonTitle>();  // the test's modes, owned
//   game.EnterMode(CCommonTitle::kModeNumber);
//   host.InjectMouseMove(120, 80);
//   host.InjectButton(0, true);
//   game.RunFrame();
//   EXPECT_EQ(game.ModeRequests(), (std::vector<int>{12}));
//
// - State a mode needs to behave is real: the script's 1000 variables, the
//   options (the system file's defaults: volumes 90, sounds on, message
//   speed 2), the screen buffer with screen, work and two buffer pictures
//   of the screen size, the key and mouse state fed from the host's
//   messages, the text renderer, printer and one-line text entry, a system
//   file (the player's names kept in it too), the picture and scene lists,
//   the save-slot layout, the save comments in the game status, the music
//   and movie players, and the words the modes set and read back.
// - Variable numbers by name are the test's (SetVarNumber), so are the
//   music list's names, the movie list and the game's settings (Settings).
//   The 16 effect channels have an empty picture each, as the effect
//   holder makes them (SetEffectPicture replaces one). The system picture
//   cache and the work picture pool exist as the game makes them, but the
//   LoadSystemPicture service answers null unless UseSystemPictures.
// - Recorded (support/recorded_services.h): sounds, the back script, wipes,
//   mini-game checks, mode notifications, floating-layer restores, picture
//   and variable-name look-ups; a test subclass overrides any service to
//   record or script more.
// - Everything else answers as a game without that object: 0, -1, null or
//   nothing done.
//
// The frame (RunFrame): the virtual clock moves on by Step() milliseconds,
// the host's messages reach the input state, the calculation runs (the
// test's function, then the current mode's GeneralCalcu), the input state
// ends its frame, the drawing runs (the test's function, then the current
// mode's GeneralPrint), the current mode's ExitStep, the restore a screen
// asked for (SetReturnFlag), and last the mode change: a request above 0 is
// recorded in ModeRequests, the old mode is left and the new one, when the
// test made it, entered.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "modebase/commongeneral.h"
#include "platform/headless/headless.h"
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
#include "support/recorded_services.h"

class CBgmPlayer;
class CCGList;
class CCGVoiceList;
class CCommonSystemFile;
class CDataFileSetup;
class CDirectSound;
class CFontPrint;
class CGameVariables;
class CInputStatus;
class CIntTableFile;
class CMouseStatus;
class CMoviePlayer;
class CMyKeyStatus;
class CPicture;
class CPicturePool;
class CSceneDataFile;
class CSceneList;
class CSceneVoiceList;
class CScreenBuffer;
class CSetupList;
class CSystemPicture;
class CTextInputBox;
class CTextPrint;

namespace testsupport {

// Every role the game plays, in one class: a fake that plays them all
// converts to the whole GameRoles set.
class AllGameRoles : public CSaveServices,
                     public CSoundServices,
                     public CScreenServices,
                     public CFloatingServices,
                     public CBackScriptServices,
                     public CTextServices,
                     public CMessageWindowServices,
                     public CInputServices,
                     public CModeFlowServices,
                     public CVariableServices {
 protected:
  ~AllGameRoles() = default;
};

class FakeServices : public RecordedServices<AllGameRoles>, public FrameRecord, public CallLog {
 public:
  // The switches of the list "game" the double answers with.
  struct Switches {
    int useCutinFlag = 0;
    int defaultMusicFadeInTime = 0;
    int defaultMusicFadeOutTime = 5;
    int windowOffMouseButton = 1;
    int areaButtonMode = 0;
    int miniGameCheckNumber = 0;
    int quickSaveEnable = 0;
    int quickLoadEnable = 0;
    int quickLoadDelay = 0;
    int miniCGReduce = 6;
    int frameTime = 50;
  };
  static constexpr int kEffectChannels = 16;

  explicit FakeServices(platform::HeadlessBackend& host, int width = 800, int height = 600);
  virtual ~FakeServices();
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;

  // --- The frame ---
  // Delivers the host's queued messages to the input state.
  void Pump();
  // One frame; `calcu` (may be empty) gives the mode request before the
  // current mode's, `print` draws before the current mode draws.
  void RunFrame(const std::function<int()>& calcu = {}, const std::function<void()>& print = {});
  void RunFrames(int n);

  // --- The modes the test makes (owned) ---
  // Makes T over this object at T::kModeNumber, replacing a mode there.
  template <typename T, typename... Args>
  T* MakeMode(Args&&... args) {
    return static_cast<T*>(PutMode(T::kModeNumber, std::make_unique<T>(this, std::forward<Args>(args)...)));
  }
  CCommonGeneral* PutMode(int n, std::unique_ptr<CCommonGeneral> mode);
  CCommonGeneral* GetMode(int n) const;
  template <typename T>
  T* Mode() const {
    return dynamic_cast<T*>(GetMode(T::kModeNumber));
  }
  // Makes mode n current and enters it, as the mode change does.
  void EnterMode(int n);
  int GetCurrentMode() const { return currentMode_; }

  // --- What the test scripts or reads ---
  Switches& Settings() { return settings_; }
  // The settings list "game" as it was when the double was made.
  CSetupList* GetGameList() const;
  // The file names of the music list, in order (SearchBgmName).
  void SetBgmNames(std::vector<std::string> names) { bgmNames_ = std::move(names); }
  // The tokens of the movie list (GetMovieListName).
  void SetMovieList(std::vector<std::string> tokens) { movieList_ = std::move(tokens); }
  // Effect channel n's picture (owned); null leaves none.
  CPicture* SetEffectPicture(int n, std::unique_ptr<CPicture> picture);
  // LoadSystemPicture answers from the system picture cache from now on.
  void UseSystemPictures() { systemPictureAnswers_ = true; }
  // The persistent result table ("result", as the game makes it).
  CIntTableFile* MakeResultTable();
  void SetMiniGameResult(int n) { miniGameResult_ = n; }
  // The reason CheckGameStatus answers (null: the status is good).
  void SetGameStatusRefusal(const char* reason) { gameStatusRefusal_ = reason; }
  // The thumbnail size (a sixth of the screen unless set).
  void SetMiniCGSize(int width, int height) {
    miniCGWidth_ = width;
    miniCGHeight_ = height;
  }
  int GetNextMode() const { return nextMode_; }
  // 1 from SetReturnFlag until the frame has restored the kept state.
  int GetReturnFlag() const { return restorePending_; }
  int GetCodecChoice() const { return codecChoice_; }
  int GetReturnMode() const { return returnMode_; }
  int GetSkipFilmFlag() const { return skipFilmFlag_; }
  int GetLayerDisableMask() const { return layerDisableMask_; }
  int GetSystemMenuSceneMode() const { return systemMenuSceneMode_; }
  int GetMessageWindowOn() const { return messageWindowOn_; }
  int GetOptionButtonOff(int index) const;
  const std::string& GetSaveComment(int line) const;
  int Closes() const { return closes_; }
  // The script functions the modes registered, in order.
  struct Function {
    std::string name;
    int mode, value;
  };
  const std::vector<Function>& Functions() const { return functions_; }

  // --- CSaveServices ---
  // The game status holds the save comments where a slot file shows them
  // (its status text lines); nothing else is saved or restored.
  void PutSaveData(int type, uint8_t* chunk, size_t size) override;
  void PutGameStatus(uint8_t* chunk, size_t size) override;
  void PutOmakeClass(uint8_t*, size_t) override {}
  void GetSaveData(int, const uint8_t*, size_t) override {}
  void GetGameStatus(const uint8_t*, size_t) override {}
  void GetOmakeClass(const uint8_t*, size_t) override {}
  void MakeMiniCG() override {}
  void SaveSystemFile() override {}
  int GetExtSaveDataCount() override { return 0; }
  int GetExtSaveDataSize(int) override { return 0; }
  void PutExtSaveData(uint8_t*, size_t, int) override {}
  void GetExtSaveData(const uint8_t*, size_t, int) override {}
  int GetVersion() override { return 0; }
  const char* GetSaveHeaderName() override { return "SAVEDATA"; }
  void GetMiniCGSize(int* width, int* height) override;
  CDataFileSetup* GetSaveSlotLayout() override { return saveSlotLayout_.get(); }
  void KeepGameState() override {}
  void RestoreGameState() override {}
  void ClearGameState() override {}
  void GetMiniCG(uint32_t*, int, int, int) override {}
  int GetUseCutinFlag() override { return settings_.useCutinFlag; }
  const char* CheckGameStatus(const uint8_t*, size_t) override { return gameStatusRefusal_; }
  int GetLastSaveSlot() override { return lastSaveSlot_ - 1; }
  int SetLastSaveSlot(int slot) override { return lastSaveSlot_ = slot + 1; }
  void SetSaveComment(const char* text, int line) override;
  void SetAutoSaveDataByMode(int, int) override {}
  int GetExtDataValue() const override { return 0; }
  CSceneDataFile* GetSceneDataFile() const override { return sceneDataFile_.get(); }
  CSceneList* GetSceneList() const override { return sceneList_.get(); }
  CCGList* GetCGList() const override { return cgList_.get(); }
  CSceneVoiceList* GetSceneVoiceList() const override { return sceneVoiceList_.get(); }
  CCommonSystemFile* GetSystemFile() const override { return systemFile_.get(); }
  CCGVoiceList* GetCGVoiceList() const override { return cgVoiceList_.get(); }
  CIntTableFile* GetResultTable() const override { return resultTable_.get(); }

  // --- CSoundServices (the sounds are recorded) ---
  int GetCharaVoiceFlag(int chara) override;
  void SetCharaVoiceFlag(int chara, int on) override { charaVoiceOff_[chara] = on ? 0 : 1; }
  int GetVoiceFlag() override { return 0; }
  int GetVoiceWaitTime() override { return kVoiceWaitTime; }
  void PlaySystemSeAlt(int n) override { PlaySystemSe(n == 4 ? 2 : n, 0); }
  CMoviePlayer* GetMoviePlayer() override { return moviePlayer_.get(); }
  int CheckVoiceOff(const char*) override { return 0; }
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;
  CBgmPlayer* GetBgmPlayer() override { return bgmPlayer_.get(); }
  int CheckMovieCodec() override;
  int GetBgmNumber() const override { return bgmNumber_; }
  int GetDefaultMusicFadeInTime() const override { return settings_.defaultMusicFadeInTime; }
  void SetListenBgmState(int type, int number) override;
  void SetCodecCheckState(int value) override { codecCheck_ = value; }
  void SetCodecChoice(int value) override { codecChoice_ = value; }
  void SetMovieOff() override { movieOff_ = 1; }
  int IsMovieOff() const override { return movieOff_; }
  const char* GetMovieListName(int n) const override;
  void FadeOutVoice(int) override {}
  int SearchBgmName(const char* name) const override;
  int GetMusicFlag(int n) const override;
  void StopAllSound() override {}
  void PlayPendingSounds() override { Record("PlayPendingSounds", {}); }

  // --- CScreenServices ---
  CPicture* GetScreenPicture() override { return pictures_[0].get(); }
  CPicture* GetWorkPicture() override { return pictures_[1].get(); }
  CFontPrint* GetFont() override { return font_.get(); }
  CTextPrint* GetTextBuffer() override { return textBuffer_.get(); }
  CTextInputBox* GetTextInputBox() override { return textInputBox_.get(); }
  void ResetTextPosition() override;
  void ToWindowMode(int) override { SetSystemSetting(4, 0); }
  void ToFullScreenMode(int) override { SetSystemSetting(4, 1); }
  void CalcuEffect() override {}
  void AddEffectFrame(int) override {}
  void RefreshEffect(int) override {}
  CPicture* GetBufferPicture(int n) override;
  void PrintWipe(int) override {}
  CPicture* LoadSystemPicture(const char* name, int flag) override;
  void AddUpdateRect(const platform::Rect& rect) override;
  platform::Window* GetWindowHandle() override { return window_; }
  void RestoreFirstFloatingLayer() override {}
  void ResetFrameTime() override {}
  void SetBackScriptMode(int mode) override;
  int GetBackScriptMode() override { return backScriptMode_; }
  void ResetBackScript() override {}
  void PrintBackScriptRange(int, int) override {}
  int CheckFloatingButtons() override { return -1; }
  int CheckSkipFilmButton() override { return 0; }
  void HideFloatingButtons() override {}
  void HideSkipFilmButton() override {}
  void RequestFloatingButtons() override {}
  void RequestSkipFilmButton() override {}
  void ShowFloatingButtons() override {}
  int GetFloatingButtonOffFlag() override { return 0; }
  int GetScreenWidth() const override { return width_; }
  int GetScreenHeight() const override { return height_; }
  int CalcuWaitCount(int n) override;
  void SetLayerDisableMask(int mask) override { layerDisableMask_ = mask; }
  void UpdateScreenNow() override {}
  void RestoreSurfaces(int) override {}
  void HideCursor() override {}
  void GetGameMousePos(int* x, int* y) const override;
  CPicture* GetEffectBackPicture() const override { return nullptr; }
  CPicture* GetEffectScreenPicture() const override { return nullptr; }
  int GetMessageWaitTime() const override { return step_; }
  CPicture* GetEffectPicture(int n) override;
  void SetOptionButtonOff(int index, int flag) override;

  // --- CMessageWindowServices ---
  void EndSkipFilm() override {}
  void SetSkipFilmFlag(int value) override { skipFilmFlag_ = value; }
  void SetMessageModeFlag(int flag) override { messageModeFlag_ = flag; }
  int GetShiftSkipState() override { return shiftSkipState_; }
  void SetShiftSkipState(int state) override { shiftSkipState_ = state; }
  void OnMessageClick() override {}
  void AddBackLog(const char*, int, int, int) override {}
  void SetMessageReadFlag(int message, int script) override;
  int CheckMessageReadFlag(int message, int script) override;
  void SetBackLogColor(int, int, int, int) override {}
  int GetMessageModeFlag() override { return messageModeFlag_; }
  int PrintMessageWindow(int, int, const platform::Point*) override { return 0; }
  int CheckMessageWindow(int, int, const platform::Point&) override { return 0; }
  int PrintMessageWindowIfShown(int, int, const platform::Point*) override { return 0; }
  void OnMessageCursor(int) override {}
  void SetMessageCursorKind(int) override {}
  void SetMessageCursor(int, int, int) override {}
  void ShowMessageWindow(int) override {}
  int GetAutoMessageCheckFlag() override { return 0; }
  int GetMessageSwitch() override { return 0; }
  int GetCannotSkipFlag() override { return 0; }
  void ClearBackLog() override {}
  int GetWindowOffMouseButton() const override { return settings_.windowOffMouseButton; }
  int IsBackLogDisabled() const override { return 0; }
  int CheckMessageWindowHit(int, int) override { return 0; }
  void SetWindowNumberConfig(int n) override { windowNumberConfig_ = n; }
  int GetWindowNumberConfig() const override { return windowNumberConfig_; }
  void SetMessageWindowOn(int value) override { messageWindowOn_ = value; }
  int GetAutoModeFlag() const override { return messageWindowOn_; }
  int GetAutoModeType() const override { return 0; }
  int GetMessageSpeed() const override { return 0; }
  int GetMessageSkipFlag() const override { return 0; }
  int SetMessageParam(int, int) override { return -1; }
  void ChangeFace(int, const char*) override {}
  int GetConfigHelperValue() override { return 1; }

  // --- CModeFlowServices ---
  CMouseStatus* GetMouseStatus() override { return mouse_.get(); }
  CInputStatus* GetInputStatus() override { return input_.get(); }
  int CheckKeyTrig(int code) override;
  int CallScriptLabel(int) override { return 0; }
  void SetReturnMode(int mode) override { returnMode_ = mode; }
  void CloseGame() override { ++closes_; }
  int StartNewGame(int, int, int varNumber, int value) override;
  void RestartFromLoad() override {}
  int StartSceneScript() override { return 0; }
  int GetScriptStartFlag() override { return scriptStartFlag_; }
  void SetScriptStartFlag(int flag) override { scriptStartFlag_ = flag; }
  int CheckShortCut(int) override { return -1; }
  int PrepareSystemMode(int result, int returnMode) override;
  int RegistSystemFunction(int mode, const char* name, int value) override;
  int SetNextMode(int n) override { return nextMode_ = n; }
  void SetReturnFlag() override { restorePending_ = 1; }
  int GetAreaButtonMode() const override { return settings_.areaButtonMode; }
  int GetMiniGameCheckNumber() const override { return settings_.miniGameCheckNumber; }
  void ClearPlayCount() override { playCount_ = 0; }
  int GetPlayCount() const override { return playCount_; }
  void AddPlayCount() override;
  void SetSystemMenuSceneMode(int flag) override { systemMenuSceneMode_ = flag; }
  int QuickLoadSave(int) override { return -1; }
  int IsQuickLoadEnable() const override { return settings_.quickLoadEnable; }
  int GetQuickSaveEnable() const override { return settings_.quickSaveEnable; }
  int CheckQuickLoadData() override { return 0; }
  int GetQuickLoadDelay() const override { return settings_.quickLoadDelay; }
  void SetQuickLoadDelayFlag(int) override { quickLoadDelayFlag_ = 1; }
  int GetMiniGameResult() const override { return miniGameResult_; }

  // --- CVariableServices ---
  int GetVar(int number) override;
  void SetVar(int number, int value) override;
  int IsSystemSettingOn() override { return GetSystemSetting(2) != 0 ? 1 : 0; }
  int CheckSystemFlag(int n) override;
  int GetSystemSetting(int id) override;
  void SetSystemSetting(int id, int value) override { options_[id] = value; }
  const char* GetFamilyName() override;
  const char* GetGivenName() override;
  void SetNames(const char* family, const char* given) override;
  const char* GetDefaultName(int which) const override;
  int CheckEnableVar(int) override { return 1; }
  int GetModeFlag(int i) const override;
  void SetModeFlag(int i, int value) override;
  int GetMusicRoomValue() const override { return musicRoomValue_; }
  void SetMusicRoomValue(int value) override { musicRoomValue_ = value; }
  int GetModeVariable() override { return 0; }
  CSetupList* GetGameSetupList() const override { return GetGameList(); }
  int GetConfigFlagB() const override { return configFlagB_; }
  int GetConfigFlagA() const override { return configFlagA_; }
  void SetConfigFlags(int a, int b) {
    configFlagA_ = a;
    configFlagB_ = b;
  }

 protected:
  CallLog& Log() override { return *this; }

 private:
  static constexpr int kVoiceWaitTime = 7000;
  static constexpr int kFlagTableSize = 256;

  void DeliverMessage(const platform::Message& m);
  void ChangeMode(int request);

  int width_, height_;
  platform::Window* window_ = nullptr;
  Switches settings_;
  std::unique_ptr<CSetupList> gameList_;
  std::unique_ptr<CCommonSystemFile> systemFile_;
  std::unique_ptr<CScreenBuffer> screenBuffer_;
  // Screen, work and the two buffer pictures.
  std::unique_ptr<CPicture> pictures_[4];
  std::unique_ptr<CPicture> effectPictures_[kEffectChannels];
  std::unique_ptr<CSystemPicture> systemPictures_;
  std::unique_ptr<CPicturePool> picturePool_;
  bool systemPictureAnswers_ = false;
  std::unique_ptr<CSceneDataFile> sceneDataFile_;
  std::unique_ptr<CSceneList> sceneList_;
  std::unique_ptr<CCGList> cgList_;
  std::unique_ptr<CCGVoiceList> cgVoiceList_;
  std::unique_ptr<CSceneVoiceList> sceneVoiceList_;
  std::unique_ptr<CDataFileSetup> saveSlotLayout_;
  std::unique_ptr<CIntTableFile> resultTable_;
  std::unique_ptr<CDirectSound> soundDevice_;
  std::unique_ptr<CMoviePlayer> moviePlayer_;
  std::unique_ptr<CBgmPlayer> bgmPlayer_;
  std::unique_ptr<CFontPrint> font_;
  std::unique_ptr<CTextPrint> textBuffer_;
  std::unique_ptr<CTextInputBox> textInputBox_;
  std::unique_ptr<CMouseStatus> mouse_;
  std::unique_ptr<CMyKeyStatus> keys_;
  std::unique_ptr<CInputStatus> input_;
  // The modes go first: they hold the objects above.
  std::map<int, std::unique_ptr<CCommonGeneral>> modes_;

  int currentMode_ = 0;
  int nextMode_ = -1;
  int pressed_[3] = {};
  int wheel_ = 0;

  // The script's variables: numbers with bit 0x8000 read as literals.
  std::unique_ptr<CGameVariables> vars_;
  std::map<int, int> options_;
  std::map<int, int> charaVoiceOff_;
  std::map<std::pair<int, int>, int> readMessages_;
  int modeFlags_[kFlagTableSize] = {};
  std::vector<std::string> bgmNames_;
  std::vector<std::string> movieList_;
  std::vector<Function> functions_;
  std::string saveComments_[4];
  int optionButtonOff_[16] = {};
  const char* gameStatusRefusal_ = nullptr;
  int lastSaveSlot_ = 0;
  int miniCGWidth_, miniCGHeight_;
  int bgmNumber_ = -1;
  int codecCheck_ = -1;
  int codecChoice_ = -1;
  int movieOff_ = 0;
  int backScriptMode_ = 0;
  int layerDisableMask_ = 0;
  int skipFilmFlag_ = 0;
  int messageModeFlag_ = 0;
  int shiftSkipState_ = 0;
  int windowNumberConfig_ = 0;
  int messageWindowOn_ = 0;
  int returnMode_ = 0;
  int closes_ = 0;
  int scriptStartFlag_ = 0;
  int restorePending_ = 0;
  int playCount_ = 0;
  int playCountAdded_ = 0;
  int systemMenuSceneMode_ = 0;
  int quickLoadDelayFlag_ = 0;
  int miniGameResult_ = 0;
  int musicRoomValue_ = 0;
  int configFlagA_ = 0;
  int configFlagB_ = 0;
};

}  // namespace testsupport
