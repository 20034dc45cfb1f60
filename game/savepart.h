// CSavePart: saved games and what the galleries keep. It hands each save
// chunk of a slot to the part that owns its state (each part writes and
// reads its own words; see game/README.md) and keeps its own: the
// thumbnail, the save comments, the EXT rows, the save-slot layout, the
// scene and picture lists and the persistent result table. It plays the
// save role (CSaveServices) for the modes and the save-slot files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "effect/effectmanager.h"
#include "services/saveservices.h"

class CCommonSystemFile;
class CFloatingPart;
class CFramePart;
class CGameHooks;
class CGameLists;
class CMessageWindowPart;
class CModeFlowPart;
class CScreenPart;
class CScriptCallBack;
class CScriptPart;
class CSetupList;
class CSoundPart;
class CVariablePart;
class CAutoSaveSubData;
class CCommonGeneral;
class CExtDataNameTable;

class CSavePart : public CSaveServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int saveClassDisable = 0;
    int loadClassDisable = 0;
    int dataFileDontCreate = 0;
    int noSceneListFlag = 0;
    int useCutinFlag = 0;
    int miniCGReduce = 6;
    int miniCGSizeX = 0;
    int miniCGSizeY = 0;
    int highVersion = 0, middleVersion = 0, lowVersion = 0;
    int extSaveDataNumber = 0;
    const char* saveHeaderName = "SAVEDATA";
    int resultFlag = 0;
    const char* getResultVarName = nullptr;
    int autoResultNotice = 0;
  };
  static constexpr int kCommentLines = 4;
  static constexpr int kCommentSize = 256;
  static constexpr int kExtObjectKeys = 8;

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CScreenPart>& screen;
    std::unique_ptr<CFramePart>& frame;
    std::unique_ptr<CGameLists>& lists;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CSoundPart>& sound;
    std::unique_ptr<CFloatingPart>& floating;
    std::unique_ptr<CMessageWindowPart>& messageWindow;
    std::unique_ptr<CScriptPart>& scripts;
    std::unique_ptr<CModeFlowPart>& modes;
    CCommonSystemFile* systemFile;
    int width;
    int height;
    CGameHooks* hooks;
    CScriptCallBack* callback;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CSavePart(const Links& links);
  virtual ~CSavePart();
  CSavePart(const CSavePart&) = delete;
  CSavePart& operator=(const CSavePart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  void ReadSettings();

  // --- Init's steps, in its order ---
  // The save-slot layout (settings list "dataFile"), unless the game has
  // neither screen or says not to.
  void MakeSaveSlotLayout();
  // The extension-data rows: the modes' automatic rows, the sub-entries and
  // the title's own sizes.
  void InitExtSaveData();
  // The thumbnail size.
  void InitMiniCGSize();
  // The scene and picture lists.
  void MakeLists();
  // The scene voices (with scripts only).
  void MakeSceneVoiceList();
  // The persistent result table and the variable "getResultVarName"
  // names ("resultFlag").
  void MakeResultTable();

  // --- CSaveServices ---
  void PutSaveData(int type, uint8_t* chunk, size_t size) override;
  void PutGameStatus(uint8_t* chunk, size_t size) override;
  void PutOmakeClass(uint8_t* chunk, size_t size) override;
  void GetSaveData(int type, const uint8_t* chunk, size_t size) override;
  void GetGameStatus(const uint8_t* chunk, size_t size) override;
  void GetOmakeClass(const uint8_t* chunk, size_t size) override;
  void MakeMiniCG() override;
  void SaveSystemFile() override;
  int GetExtSaveDataCount() override;
  int GetExtSaveDataSize(int i) override;
  void PutExtSaveData(uint8_t* chunk, size_t size, int i) override;
  void GetExtSaveData(const uint8_t* chunk, size_t size, int i) override;
  int GetVersion() override { return version_; }
  const char* GetSaveHeaderName() override { return settings_.saveHeaderName; }
  void GetMiniCGSize(int* width, int* height) override;
  CDataFileSetup* GetSaveSlotLayout() override { return saveSlotLayout_.get(); }
  void KeepGameState() override;
  void RestoreGameState() override;
  void ClearGameState() override;
  void GetMiniCG(uint32_t* pixels, int sizeType, int width, int height) override;
  int GetUseCutinFlag() override { return settings_.useCutinFlag; }
  const char* CheckGameStatus(const uint8_t* chunk, size_t size) override;
  int GetLastSaveSlot() override;
  int SetLastSaveSlot(int slot) override;
  void SetSaveComment(const char* text, int line) override;
  void SetAutoSaveDataByMode(int mode, int size) override;
  int GetExtDataValue() const override;
  CSceneDataFile* GetSceneDataFile() const override { return sceneDataFile_.get(); }
  CSceneList* GetSceneList() const override { return sceneList_.get(); }
  CCGList* GetCGList() const override { return cgList_.get(); }
  CSceneVoiceList* GetSceneVoiceList() const override { return sceneVoiceList_.get(); }
  CCommonSystemFile* GetSystemFile() const override;
  CCGVoiceList* GetCGVoiceList() const override { return cgVoiceList_.get(); }
  CIntTableFile* GetResultTable() const override { return resultTable_.get(); }

  // --- The chunks one by one (`chunk` a whole chunk of `size` bytes) ---
  virtual void PutMiniCG(uint8_t* chunk, size_t size);
  virtual void PutGameVar(uint8_t* chunk, size_t size);
  virtual void PutEffect(uint8_t* chunk, size_t size);
  virtual void PutEffectFileName(uint8_t* chunk, size_t size);
  virtual void PutMessage(uint8_t* chunk, size_t size);
  virtual void PutCutin(uint8_t* chunk, size_t size);
  virtual void GetInfo(const uint8_t* chunk, size_t size);
  virtual void GetGameVar(const uint8_t* chunk, size_t size);
  virtual void GetEffect(const uint8_t* chunk, size_t size);
  virtual void GetEffectFileName(const uint8_t* chunk, size_t size);
  virtual void GetMessage(const uint8_t* chunk, size_t size);
  virtual void GetCutin(const uint8_t* chunk, size_t size);
  // Up to 64 entries of 256 bytes behind the chunk header: each text cut to
  // 254 bytes and closed by two NULs; entries past the texts untouched.
  static void FillMessageEntries(uint8_t* chunk, size_t size, const std::vector<const char*>& texts);

  // --- Version, thumbnail, comments ---
  // (high << 16) | (middle << 8) | low, stored and returned.
  int SetVersion(int high, int middle, int low);
  // The version word of the slot whose INFO chunk was read last.
  int GetLoadedVersion() const { return loadedVersion_; }
  // The thumbnail MakeMiniCG made last (GetMiniCGSize pixels, 0x00RRGGBB).
  const std::vector<uint32_t>& GetMiniCGPixels() const { return miniCG_; }
  // A quick save without "quickSaveCommentFlag" swaps the comments out
  // before it saves and back in after it.
  void SwapSaveComments();
  // Save comment line 0..3 as kept (null outside).
  const char* GetSaveComment(int line) const {
    return line >= 0 && line < kCommentLines ? saveComments_[line] : nullptr;
  }

  // --- Extension rows ---
  // The size of sub-entry row `row`'s EXT chunk; a box names a row
  // initialisation gave no chunk.
  virtual void SetAutoSaveDataBySubMode(int row, int size);
  // The object that keeps its state in the EXT chunk of key (1 "face"), and
  // its leave.
  void SetExtSaveObject(int key, CAutoSaveSubData* object);
  void ForgetExtSaveObject(const CAutoSaveSubData* object);
  CExtDataNameTable* GetExtDataNameTable() const { return extNameTable_.get(); }

  // --- Results ---
  // The variable "getResultVarName" names (-1 none).
  int GetResultVar() const { return getResultVar_; }

 private:
  // The byte size of every EXT chunk: automatic rows, sub-entry rows, then
  // the configured ones (made on first use).
  std::vector<int>& ExtChunkSizes();
  // The mode object of automatic EXT row i (null for other rows).
  CCommonGeneral* ExtRowMode(int i) const;
  // The extension object of sub-entry EXT row i (null for other rows or
  // while none is registered under its key).
  CAutoSaveSubData* ExtRowObject(int i) const;
  // Whether the saved call stacks and resume entries lead to records of the
  // scripts they would be restored into; null, or the reason.
  const char* CheckSavedScripts(const uint8_t* chunk);

  const Links links_;
  Settings settings_;
  std::unique_ptr<CDataFileSetup> saveSlotLayout_;
  std::unique_ptr<CExtDataNameTable> extNameTable_;
  std::unique_ptr<CSceneDataFile> sceneDataFile_;
  std::unique_ptr<CSceneList> sceneList_;
  std::unique_ptr<CCGList> cgList_;
  std::unique_ptr<CCGVoiceList> cgVoiceList_;
  std::unique_ptr<CSceneVoiceList> sceneVoiceList_;
  std::unique_ptr<CIntTableFile> resultTable_;
  int version_ = 0;
  int loadedVersion_ = 0;
  int miniCGWidth_ = 0, miniCGHeight_ = 0;
  std::vector<uint32_t> miniCG_;
  int getResultVar_ = -1;
  // Extension save data: the modes and sub-entries that keep a chunk, the
  // sizes of the title's own entries and the registered objects.
  std::vector<int> extDataModes_;
  std::vector<int> extDataSubs_;
  std::vector<int> extSaveDataSizes_;
  std::vector<int> extChunkSizes_;
  CAutoSaveSubData* extSaveObjects_[kExtObjectKeys] = {};
  char saveComments_[kCommentLines][kCommentSize] = {};
  char hiddenComments_[kCommentLines] = {};
  // Why CheckGameStatus last refused, when the reason names a file.
  std::string statusRefusal_;
};
