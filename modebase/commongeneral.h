// CCommonGeneral: the base class of every game mode. A mode enters with its
// fade-in and voice, runs its calculation step with key movement, back
// script and mini-game check, draws itself and leaves with its exit fade
// (normal or special, chosen by the target mode). It reads its fades, voices,
// music, back script, buttons, quick-button table and layers from its own
// settings list (commongeneral_setup.cpp); the fades live in
// commongeneral_fade.cpp.
//
// A subclass supplies Calcu, Print and Init, overrides the hooks it needs,
// and in its constructor calls SetModeNumber and then the loaders it uses,
// LoadSetupFile first. The game object drives a mode through Enter,
// GeneralCalcu, GeneralPrint and ExitStep while it is current, CallLeave when
// it is left, and the companion drivers for the modes listed with the
// current one in the keyed flag table.
//
// The mode reaches the game only through its role interfaces (services/),
// held as one GameRoles set in game_: `game_.sound->PlaySystemSe(...)`. The back button, the up/down pair with its
// back-button link, the date printer and the animation layers are widgets
// the loaders make; every operation skips one that is missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "services/gameroles.h"

class CCommonBackButton;
class CCommonUpdownBack;
class CDatePrint;
class CInputStatus;
class CMouseStatus;
class CNameList;
class CPicture;
class CSetupList;
class CUpDownButton;
class CVarAnimePart;
struct ModeRoles;

// The sounds of one picture button as PlayButtonSound needs them: 1-based
// system-sound numbers (0 none), the frames before the enter and leave
// sounds, and the volume type.
struct ButtonSounds {
  int click = 0, bad = 0, enter = 0, exit = 0;
  int enterWait = 0, exitWait = 0;
  int volumeType = 0;
};

class CCommonGeneral {
 public:
  static constexpr int kQuickTableSize = 256;
  static constexpr int kDefaultFadeTime = 10;
  static constexpr int kDefaultVoiceWait = 20;
  static constexpr int kNoSpecialMode = -2;
  // More animation layers than a screen could show are not made.
  static constexpr int kMaxAnimeLayers = 256;

  explicit CCommonGeneral(const GameRoles& game);
  CCommonGeneral(const CCommonGeneral&) = delete;
  CCommonGeneral& operator=(const CCommonGeneral&) = delete;

  // --- Virtual operations, in their fixed order ---
  virtual ~CCommonGeneral();
  // The enter sequence (DoEnter); Init's result.
  virtual int Enter();
  virtual void SetParameter(int value);
  virtual int GetParameter();
  // Called on every mode when a new game starts.
  virtual void NewGame();
  // Called on the current mode before it is entered again after a load.
  virtual void ResetGame();
  // Takes the floating layers off the screen, captures the screen into the
  // fade start picture and fills the fade target with the exit colour when
  // the exit in use has a fade. 1 when the special exit applies.
  virtual int CreateExitScreen();
  // The arguments of a script's call of this mode.
  virtual void SetCallArgs(int count, const int* values);
  // The body of the mode's extension chunk of a save slot (`size` bytes).
  virtual void SaveExtData(uint8_t* buffer, size_t size, int index);
  virtual void LoadExtData(const uint8_t* buffer, size_t size, int index);
  // A script function registered for this mode.
  virtual int Function(int type, int count, const int* args);
  virtual void ExitGame();
  // The "disableQuick%sButton" value of the quick button that leads to
  // `mode`; 0 when flag is set, without a table or for a mode outside
  // 0..255.
  virtual int IsQuickButtonDisabled(int mode, int flag, int ignored);
  // -1 to stay, or the number of the next mode.
  virtual int Calcu() = 0;
  // Draws the mode; -1.
  virtual int Print() = 0;
  // Enters the mode (pictures, state).
  virtual int Init() = 0;
  // Asked when the game leaves the mode; -1.
  virtual int Leave();
  virtual void AtExit();
  virtual void BeforeExit();
  virtual void BeforeInit();
  virtual void AfterInit();
  virtual void BeforeCalcu();
  virtual void AfterCalcu();
  virtual void BeforePrint();
  virtual void AfterPrint();
  // The mode's music; the same music already playing is left alone.
  virtual void StartBgm();
  // One frame of the running enter or exit fade; -1.
  virtual int PrintEnterFade();
  virtual int PrintExitFade();
  virtual void BeforeCreateExitScreen();
  // Draws the mode once and captures it as the enter fade's target.
  virtual void GetEnterScreen();
  // Buffer picture 0 filled with the enter colour for the colour fade.
  void FillEnterFadeStart();
  virtual int PrintEnterScreen();
  virtual void LoadMustAllPrintFlag();
  // Starts leaving for `mode`: with an exit fade -1 (the calculation driver
  // returns the target when the fade has run), else the target at once.
  // -1 as target ends the mode with no next mode.
  virtual int ExitToMode(int mode);
  virtual void LoadBackButtonSetup();
  virtual void LoadUpDownButtonSetup();
  virtual void CreateUpdownBack();
  // Fills the fade target with the colour of the exit in use.
  virtual void FillExitScreen();
  virtual void SetBackButtonPos();
  // The button's own sound for a result code of kind 0xF8, 0xFA, 0xFB or
  // 0xFC, and the sound carried by a code of kind 0xFD.
  virtual void PlayButtonSound(const ButtonSounds& button, int code);
  // Plays the sound a result code carries and answers its button number when
  // the code is a decided click with one, else -1. The three are one.
  virtual int CheckButtonResult3(int code);
  virtual int CheckButtonResult2(int code);
  virtual int CheckButtonResult(int code);
  virtual int CheckMiniGame();
  virtual void RequestExit();
  // The key state is already per frame: nothing pressed before the mode
  // started is reported as new, so there is nothing to flush.
  virtual void FlushKeys();
  // Moves the selection by the cursor keys; -1.
  virtual int CalcuKeyMove();
  // The item under (x, y), -1 for none.
  virtual int HitTestItem(int x, int y);
  virtual void MoveMouseToItem(int item);
  // Moves the selection; -1 when nothing moved, 0 to put the mouse on the
  // current item.
  virtual int KeyMoveItem(int combined, int leftRight, int upDown);
  virtual void UpdateGameDateLayer();
  virtual void UpdateAnimeLayers();
  // Registers the roles the mode plays for the game besides being a mode
  // (modebase/moderoles.h); none here.
  virtual void RegisterRoles(ModeRoles* roles);

  // --- The drivers the game object runs ---
  // Once per frame while current: -1 or the next mode.
  int GeneralCalcu();
  int GeneralPrint();
  // Once per frame after the drawing: the leave hooks of a requested exit;
  // 0 when they ran, else -1.
  int ExitStep();
  // Companion modes: skipped (-1) while this mode fades unless flag is set.
  int CalcuUnlessFading(int flag);
  int PrintUnlessFading(int flag);
  int CallInit();
  int CallLeave();

  // --- Non-virtual operations ---
  void SetModeNumber(int n);
  int GetModeNumber() const { return modeNumber_; }
  // The exit in progress goes to "exitFadeOutSpecialMode".
  int IsSpecialExit() const;
  // Every pixel of the picture := r << 16 | g << 8 | b.
  static void FillPictureColor(CPicture* picture, int r, int g, int b);
  // This frame's click of the left button, or the right one when right is
  // non-zero.
  int GetClick(int right) const;
  static int GetModeNumberByName(const char* name);
  // Start of a mode's drawing: the back script's drawing (full redraw), or
  // the screen picture at (0, 0) on a frame presented whole.
  void PrintBackScreen();

  // --- Settings list ---
  // Makes the list (room for `pairs` pairs) on first use and loads the
  // settings list `name`; the load result, 0 without a list.
  int LoadSetupFile(const char* name, int pairs);
  // 1 with *out set when the key is found, else 0 with *out unchanged.
  int GetSetupString(const char** out, const char* key) const;
  // A text the mode shows, which "key," empties quietly.
  int GetSetupText(const char** out, const char* key) const;
  int GetSetupInt(int* out, const char* key) const;
  // *out := def, then GetSetupInt.
  int GetSetupIntDefault(int* out, const char* key, int def) const;
  // 1 with *out set when the value names a mode above 0 (a mode name or a
  // decimal number), else 0.
  int GetSetupMode(const char* key, int* out) const;
  // The loaded list (for the widgets read from it); null before a load.
  CNameList* GetSetupList() const;

  // --- Loaders of the shared keys (commongeneral_setup.cpp) ---
  void LoadFadeSetup();
  void LoadEnterExitVoiceSetup();
  void LoadDialogVoiceSetup();
  void LoadBgmSetup();
  void LoadBackScriptSetup();
  void LoadKeyMoveSetup(int tateYoko, int upDown, int leftRight);
  void LoadQuickButtonSetup();
  void LoadAnimeLayerSetup();
  void LoadGameDateLayerSetup();
  void SetUpDownButtonPos();
  void ReloadBackButtonPicture();
  void ReloadUpDownButtonPicture();
  // "sys\\<backgroundFileName>" into the screen picture, unless a back
  // script draws behind the mode.
  void LoadBackgroundPicture();

  // Read by the game object and tests.
  int GetFadePhase() const { return fadePhase_; }
  int GetExitTargetMode() const { return exitTargetMode_; }
  int GetCurrentItem() const { return currentItem_; }
  int IsKeyMoved() const { return keyMoved_; }
  int GetMustAllPrintFlag() const { return mustAllPrintFlag_; }
  int GetBackScriptFlag() const { return backScriptFlag_; }
  int IsBackScriptEnded() const { return backScriptEnded_; }
  CCommonBackButton* GetBackButton() const { return backButton_; }
  CUpDownButton* GetUpDownButtons() const { return upDownButtons_; }
  CCommonUpdownBack* GetUpdownBack() const { return updownBack_; }
  int GetAnimeLayerCount() const { return animeLayerCount_; }
  // Layer i (0-based), null outside.
  CVarAnimePart* GetAnimeLayer(int i) const {
    return i >= 0 && i < animeLayerCount_ ? animeLayers_[i] : nullptr;
  }

 protected:
  // The settings of one exit fade (the normal one or the special one).
  struct ExitFade {
    int type = 0;  // 0 none, -1 cross-fade with a colour, n >= 1 game wipe n - 1
    int time = kDefaultFadeTime;
    int clickSkip = 1;
    int r = 0, g = 0, b = 0;
    int createScreen = 0;
    int fillScreen = 0;
    // A fade whose time is not above 0 could never run out, so it is none.
    int Type() const { return time > 0 ? type : 0; }
  };

  // The exit fade the running exit uses.
  const ExitFade& ExitFadeInUse() const { return IsSpecialExit() ? exitSpecial_ : exitNormal_; }
  // Three colour components "<prefix>R", "<prefix>G", "<prefix>B" (0 when
  // missing), held to 0..255.
  void ReadColor(const char* prefix, int* r, int* g, int* b) const;
  // "exitFadeOutType<suffix>" and, for a fade, its time and colour; 1 for a
  // fade.
  int ReadExitFade(ExitFade* fade, const char* suffix);
  // One frame of a running fade: the phase of this frame, one frame less,
  // none left after a left or right click when the fade allows it.
  void StepFade(int phase, int* countdown, int clickSkip);
  // An exit cross-fade frame: fadeFrom at 100 - percent, fadeTo at percent.
  void BlendFade(int64_t numerator, int64_t denominator);

  // Links to the game and its objects (not owned).
  GameRoles game_;
  CPicture* screenPicture_ = nullptr;
  CPicture* workPicture_ = nullptr;
  CMouseStatus* mouse_ = nullptr;
  CInputStatus* input_ = nullptr;
  std::unique_ptr<CSetupList> setupList_;
  int parameter_ = 0;
  int modeNumber_ = -1;

  // Buttons: the mode's own back button and up/down pair (made by
  // LoadBackButtonSetup / LoadUpDownButtonSetup for type 0, null otherwise),
  // the ones in use, and the control over both.
  CCommonBackButton* backButton_ = nullptr;
  CCommonBackButton* ownBackButton_ = nullptr;
  CUpDownButton* upDownButtons_ = nullptr;
  CUpDownButton* ownUpDownButtons_ = nullptr;
  CCommonUpdownBack* updownBack_ = nullptr;

  // Voices.
  int enterExitVoiceFlag_ = 0;
  const char* enterVoiceFileName_ = nullptr;
  const char* exitVoiceFileName_ = nullptr;
  int dialogVoiceFlag_ = 0;
  const char* dialogVoiceFileName_ = nullptr;
  const char* dialogYesVoiceFileName_ = nullptr;
  const char* dialogNoVoiceFileName_ = nullptr;
  int dialogVoiceWaitTime_ = kDefaultVoiceWait;
  int enterVoiceWaitTime_ = kDefaultVoiceWait;
  int exitVoiceWaitTime_ = kDefaultVoiceWait;
  int enterVoiceCountdown_ = 0;
  int exitVoiceCountdown_ = 0;

  // Fades.
  int exitFadeOutSpecialMode_ = kNoSpecialMode;
  int enterFadeInType_ = 0;
  int enterFadeInTime_ = kDefaultFadeTime;
  int enterFadeClickSkip_ = 1;
  int enterFadeR_ = 0, enterFadeG_ = 0, enterFadeB_ = 0;
  ExitFade exitNormal_;
  ExitFade exitSpecial_;
  int enterFadeCountdown_ = 0;
  int exitFadeCountdown_ = 0;
  int fadePhase_ = 0;  // 0 none, 1 enter fade, 2 exit fade (this frame)
  CPicture* fadeFromPicture_ = nullptr;
  CPicture* fadeToPicture_ = nullptr;
  int exitScreenCreated_ = 0;

  // Button positions and kinds (0 own, 1 the game's shared one, else none).
  int backPrintX_ = 0, backPrintY_ = 0;
  int backButtonType_ = 0, updownButtonType_ = 0;
  int upPrintX_ = 0, upPrintY_ = 0, downPrintX_ = 0, downPrintY_ = 0;
  // Whether the own back button keeps the screen picture as its background,
  // and whether the own buttons read the game's settings list.
  int backButtonBGUse_ = 1;
  int useCommonBackSetup_ = 0, useCommonUpDownSetup_ = 0;

  // Music.
  int bgmNumber_ = -1;  // 1-based; below 1 none
  int bgmRestartFlag_ = 0;
  int bgmLoop_ = 0;
  int bgmVolume_ = 0;
  int bgmFadeInTime_ = -1;

  // Back script.
  int backScriptFlag_ = 0;
  const char* backScriptName_ = nullptr;
  int backScriptEnded_ = 0;
  int backScriptLoopFlag_ = 1;

  // Picture names (pointers into the settings list or the subclass's own).
  const char* backgroundFileName_ = nullptr;
  const char* backFileName_ = nullptr;
  const char* upFileName_ = nullptr;
  const char* downFileName_ = nullptr;

  int mustAllPrintFlag_ = 0;
  int miniGameCheckFlag_ = 0;

  // Key movement.
  int keyMoveEnable_ = 0;
  int keyMoveUpDownEnable_ = 0;
  int keyMoveLeftRightEnable_ = 0;
  int keyMoveCannotSelectOk_ = 0;
  int currentItem_ = -1;
  int keyMoveTateYoko_ = 0;
  int keyMoved_ = 0;

  // Game-date layer and animation layers.
  CDatePrint* datePrinter_ = nullptr;
  int gameDateLayerPrintFlag_ = 0;
  int yearVarNumber_ = -1, dateVarNumber_ = -1;
  int animeLayerNumber_ = 0;
  CVarAnimePart** animeLayers_ = nullptr;
  int animeLayerCount_ = 0;  // layers made (the array's size)
  int gameLayerFirst_ = 1;
  int animeLayerFirst_ = 1;

  std::unique_ptr<int[]> quickButtonTable_;
  int exitTargetMode_ = -1;
  int exitRequested_ = 0;
};
