// CModeFlowPart: the modes and the flow between them: the mode table the
// factory fills, the mode switches (the extra modes and "<name>ClassDisable"),
// the mode stack with the request of each level, the companion modes the
// keyed flag table lists, the modes' roles the game asks (modebase/
// moderoles.h), game starts and a loaded game's restart, the system screens
// a story mode opens, mini-game starts and the play counter. It plays the
// mode-flow role (CModeFlowServices) for the modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"
#include "services/modeflowservices.h"

namespace platform {
class Window;
}  // namespace platform

class CCommonSystemFile;
class CFramePart;
class CGameHooks;
class CInputPart;
class CMessageWindowPart;
class CSavePart;
class CScreenPart;
class CScriptPart;
class CSoundPart;
class CTextPart;
class CVariablePart;
class CCommonButtonSetup;
class CCommonGeneral;
class CExtraModeList;
class CKeyFlagTable;
class CSetupList;

class CModeFlowPart : public CModeFlowServices {
 public:
  // The keys of the list "game" (and of the list "miniGame") this part
  // reads.
  struct Settings {
    int useExtClass = 0;
    int createBackButtonFlag = 0;
    int areaButtonMode = 0;
    int miniGameCheckNumber = 0;
  };
  static constexpr int kModeCount = modenumber::kModeCount;
  static constexpr int kLevelCount = 16;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CFramePart>& frame;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CTextPart>& text;
    std::unique_ptr<CSavePart>& saves;
    std::unique_ptr<CInputPart>& input;
    std::unique_ptr<CMessageWindowPart>& messageWindow;
    std::unique_ptr<CScriptPart>& scripts;
    platform::Window* window;
    CCommonSystemFile* systemFile;
    CGameHooks* hooks;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CModeFlowPart(const Links& links);
  virtual ~CModeFlowPart();
  CModeFlowPart(const CModeFlowPart&) = delete;
  CModeFlowPart& operator=(const CModeFlowPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();
  // The list of extra modes.
  void MakeExtraModeList();
  // Every extra mode off unless "<name>IsDefault", then "<name>ClassDisable"
  // of every named mode; the list "miniGame" while mode 40 is on.
  void InitModeSwitches();
  // The keyed flag table and the common back button.
  void MakeKeyFlagTable();
  void InitBackButton();

  // --- CModeFlowServices ---
  void NotifyMode(int mode, int value) override;
  int CallScriptLabel(int label) override;
  void SetReturnMode(int mode) override { returnMode_ = mode; }
  void CloseGame() override;
  void OnModeEnter(int mode) override;
  int StartNewGame(int ignored, int stateFlag, int varNumber, int value) override;
  void RestartFromLoad() override;
  int StartSceneScript() override;
  void OnModeHook(int mode) override;
  int GetScriptStartFlag() override;
  void SetScriptStartFlag(int flag) override;
  int PrepareSystemMode(int result, int returnMode) override;
  int CheckMiniGameStart(int value) override;
  void SetMiniGameAreaMode(int mode) override;
  void PrintMiniGameButtons() override;
  int RegistSystemFunction(int mode, const char* name, int value) override;
  int SetNextMode(int n) override { return nextModeStack_[modeLevel_] = n; }
  void SetReturnFlag() override { restorePending_ = 1; }
  int GetAreaButtonMode() const override { return settings_.areaButtonMode; }
  int GetMiniGameCheckNumber() const override { return settings_.miniGameCheckNumber; }
  void ClearPlayCount() override;
  int GetPlayCount() const override;
  void AddPlayCount() override;
  void SetSystemMenuSceneMode(int flag) override;
  int GetMiniGameResult() const override { return miniGameNumber_; }

  // --- The mode table ---
  // The mode object of number n; NULL for no such mode.
  CCommonGeneral* GetMode(int n) const {
    return n >= 0 && n < kModeCount ? modeTable_[n].get() : nullptr;
  }
  // 1 when mode n was created (the factory's object; none for a number
  // without a class or a mode switched off).
  int CreateMode(int n);
  // Puts `mode` at number n in place of what stands there (tests).
  void PutMode(int n, std::unique_ptr<CCommonGeneral> mode);
  int IsModeDisabled(int n) const { return n >= 0 && n < kModeCount ? modeDisable_[n] : 1; }
  void SetModeDisabled(int n, int off) {
    if (n >= 0 && n < kModeCount) modeDisable_[n] = off;
  }
  // "<name>ClassDisable" of every named mode, from the list "game".
  void LoadClassDisable();
  CExtraModeList* GetExtraModeList() const { return extraModeList_.get(); }
  // The mini-game settings list and its integer getter (0 without it).
  int LoadMiniGameSetupFile(const char* name, int pairs);
  int GetMiniGameSetupInt(int* out, const char* key) const;

  // --- The modes' roles ---
  // The roles mode n registers; all null for no such mode.
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
  // While the save screen is the current mode, writes the save the player
  // confirmed there and it has not written yet; 1 when one was written.
  int WriteConfirmedSave() const;

  // --- The mode stack ---
  int GetModeLevel() const { return modeLevel_; }
  int GetCurrentMode() const { return modeStack_[modeLevel_]; }
  int GetModeAtLevel(int level) const {
    return level >= 0 && level < kLevelCount ? modeStack_[level] : 0;
  }
  int GetNextMode() const { return nextModeStack_[modeLevel_]; }
  // At level 0 the story modes are also remembered as the last main mode.
  void SetCurrentMode(int n);
  // Mode n current at `level`, whatever level is open.
  void SetModeAtLevel(int level, int n);
  int GetLastMainMode() const { return lastMainMode_; }
  // Per level: whether it is drawn under the levels above it (1 shows and
  // goes on down, another non-zero value shows and stops, 0 stops).
  int GetDrawThrough(int level) const { return drawThrough_[level]; }
  // A title that opens a level over the current one sets it here, with the
  // draw-through words of the levels below (held to 0..15).
  void SetModeLevel(int level);
  void SetDrawThrough(int level, int word) {
    if (level >= 0 && level < kLevelCount) drawThrough_[level] = word;
  }
  int GetReturnMode() const { return returnMode_; }
  int GetReturnFlag() const { return restorePending_; }
  void ClearReturnFlag() { restorePending_ = 0; }

  // --- Mode changes ---
  // Carries out the pending mode request at the end of a frame.
  void ChangeMode();
  // The leave step of mode n; the companion modes that a change from mode
  // `from` to mode `to` releases (left) and prepares (initialised), -1
  // standing for no mode; the current mode's companions' calculation and
  // drawing steps of a frame.
  void LeaveMode(int n);
  void LoadModeResources(int from, int to);
  void ReleaseModeResources(int from, int to);
  void ChangeModeResources(int from, int to);
  void CalcuListedModes();
  void PrintListedModes();
  // Every companion of the current mode initialised again.
  void NotifyListedModes();
  // Draws the modes of the lower stack levels the draw-through words
  // select, lowest first.
  void PrintLowerModes();
  // The mini-game mode starts its game afresh.
  void ResetMiniGameMode();
  // The keyed flag table of companion modes (null before Init).
  CKeyFlagTable* GetKeyFlagTable() const { return keyFlagTable_.get(); }

  // --- Game starts ---
  // Variables 100..199 and 300..999 cleared (or from the initial-value list
  // for a new game), the effect channels, the skip words and every mode's
  // new-game step; StartGameScript runs the control script from its start,
  // StartNewGame leaves that to the frame.
  void StartGameScript(int varNumber, int value);
  // The reset words a game start and a restart clear.
  void SetResetWord(int value) { resetWord_ = value; }
  void SetResetWordB(int value) { resetWordB_ = value; }
  int GetReservedWord() const { return reservedWord_; }

  // --- The common button setups a title makes (none here) ---
  CCommonButtonSetup* GetCommonBackSetup() const { return commonBackSetup_.get(); }
  CCommonButtonSetup* GetCommonUpDownSetup() const { return commonUpDownSetup_.get(); }
  int GetCommonSetupSecond() const { return commonSetupSecond_; }
  int GetCommonSetupThird() const { return commonSetupThird_; }

 private:
  // The steps both game starts share after the variables.
  void ResetForGameStart();

  const Links links_;
  Settings settings_;
  std::unique_ptr<CExtraModeList> extraModeList_;
  std::unique_ptr<CSetupList> miniGameList_;
  std::unique_ptr<CCommonButtonSetup> commonBackSetup_;
  std::unique_ptr<CCommonButtonSetup> commonUpDownSetup_;
  std::unique_ptr<CKeyFlagTable> keyFlagTable_;
  // The modes go first: they point into everything above.
  std::unique_ptr<CCommonGeneral> modeTable_[kModeCount];
  int commonSetupSecond_ = 0, commonSetupThird_ = 0;
  int modeLevel_ = 0;
  int nextModeStack_[kLevelCount];
  int drawThrough_[kLevelCount] = {};
  int modeStack_[kLevelCount] = {};
  int lastMainMode_ = 0;
  int modeDisable_[kModeCount] = {};
  int returnMode_ = modenumber::kDefaultReturnMode;
  // A game-state restore the frame carries out after presenting.
  int restorePending_ = 0;
  int miniGameNumber_ = 0;
  int playCountAdded_ = 0;
  int resetWord_ = 0, resetWordB_ = 0;
  int reservedWord_ = 0;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The return mode. The print-message mode's line count and page code
  // and the choice mode's range and four words, once those modes exist,
  // go into the message window's story words first, which save them; a
  // load hands the story words back to those modes.
  void PutStatus(uint8_t* status);
  void GetStatus(const uint8_t* status);
  // The MESSAGE chunk: the choice texts when the player left from the
  // choice mode, else the print-message mode's lines (`chunk` a whole
  // chunk of `size` bytes; without the mode the entries stay zero). A
  // load gives the entries to both modes.
  void PutMessageChunk(uint8_t* chunk, size_t size) const;
  void GetMessageChunk(const uint8_t* chunk, size_t size);
  // The CUTIN chunk: the print-message mode's cut-in words and number.
  void PutCutinChunk(uint8_t* chunk, size_t size) const;
  void GetCutinChunk(const uint8_t* chunk, size_t size);
  // The OMAKECLASS chunk's body: the keyed flag table.
  void SaveKeyFlagTable(uint8_t* body, size_t size) const;
  void LoadKeyFlagTable(const uint8_t* body, size_t size);
};
