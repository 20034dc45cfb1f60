// CSaveServices: saved games and the kept data: the save chunks, the game
// status, the version, the thumbnails, the extension data, the kept game
// state and the galleries' lists.
#pragma once

#include <cstddef>
#include <cstdint>

class CCGList;
class CCGVoiceList;
class CCommonSystemFile;
class CDataFileSetup;
class CIntTableFile;
class CSceneDataFile;
class CSceneList;
class CSceneVoiceList;

class CSaveServices {
 public:
  // Save chunks: `chunk` is a whole chunk (its 32-byte header first) of
  // `size` bytes.
  virtual void PutSaveData(int type, uint8_t* chunk, size_t size) = 0;
  virtual void PutGameStatus(uint8_t* chunk, size_t size) = 0;
  virtual void PutOmakeClass(uint8_t* chunk, size_t size) = 0;
  virtual void GetSaveData(int type, const uint8_t* chunk, size_t size) = 0;
  virtual void GetGameStatus(const uint8_t* chunk, size_t size) = 0;
  virtual void GetOmakeClass(const uint8_t* chunk, size_t size) = 0;
  virtual void MakeMiniCG() = 0;
  virtual void SaveSystemFile() = 0;
  virtual int GetExtSaveDataCount() = 0;
  virtual int GetExtSaveDataSize(int i) = 0;
  virtual void PutExtSaveData(uint8_t* chunk, size_t size, int i) = 0;
  virtual void GetExtSaveData(const uint8_t* chunk, size_t size, int i) = 0;
  virtual int GetVersion() = 0;
  virtual const char* GetSaveHeaderName() = 0;
  virtual void GetMiniCGSize(int* width, int* height) = 0;
  virtual CDataFileSetup* GetSaveSlotLayout() = 0;
  virtual void KeepGameState() = 0;
  virtual void RestoreGameState() = 0;
  virtual void ClearGameState() = 0;
  virtual void GetMiniCG(uint32_t* pixels, int sizeType, int width, int height) = 0;
  virtual int GetUseCutinFlag() = 0;
  // Null when a slot's GAMESTATUS chunk holds only values this game can
  // restore (script level, saved mode, call depths, script, music and
  // project numbers, frame time), else the reason. A slot file asks it
  // before anything of the slot is restored.
  virtual const char* CheckGameStatus(const uint8_t* chunk, size_t size) = 0;
  // The last chosen save slot (0-based, -1 none), kept 1-based in the
  // system data; Set stores slot + 1 and returns it.
  virtual int GetLastSaveSlot() = 0;
  virtual int SetLastSaveSlot(int slot) = 0;
  // Save comment line 0..3 (others ignored): at most 254 bytes of whole
  // characters and two NULs; null empties the line.
  virtual void SetSaveComment(const char* text, int line) = 0;
  // The size of the EXT chunk of mode `mode`'s automatic row, or of
  // sub-entry row `row`; a box names a mode or row initialisation gave no
  // chunk.
  virtual void SetAutoSaveDataByMode(int mode, int size) = 0;
  virtual int GetExtDataValue() const = 0;
  virtual CSceneDataFile* GetSceneDataFile() const = 0;
  virtual CSceneList* GetSceneList() const = 0;
  virtual CCGList* GetCGList() const = 0;
  virtual CSceneVoiceList* GetSceneVoiceList() const = 0;
  virtual CCommonSystemFile* GetSystemFile() const = 0;
  virtual CCGVoiceList* GetCGVoiceList() const = 0;
  // The persistent result table; null unless "resultFlag" is set. It has
  // kResultRows rows: result r is at row r + 1.
  static constexpr int kResultRows = 1024;
  virtual CIntTableFile* GetResultTable() const = 0;

 protected:
  ~CSaveServices() = default;
};
