// CFaceControl: the speaker's face beside the message. It finds the face by
// the speaker's name in the face list (pairs of tokens, the second a
// speaker name, the pair's row the face number), keeps the expression
// (type) the script chose for every face, loads that face and type's
// picture from "sys\" and plays its pattern animation (blinking, lips) with
// random pauses and optional cross-fades. Settings: the list "face". The
// face types are saved through CAutoSaveSubData.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "message/autosave.h"
#include "setup/setuplist.h"
#include "widget/animecounter.h"

class CNameList;
class CPicture;

class CFaceControl : public CAutoSaveSubData {
 public:
  // Records of all faces' types beyond this count every face's types once.
  static constexpr int64_t kMaxRecords = 1 << 20;
  static constexpr int kMaxSaveCapacity = 1 << 16;

  struct AnimeRecord {
    int patterns = 1, type = 1, speed = 1, waitMin = 0, waitMax = 0;
  };

  // faceList: not owned; may be null (no faces).
  explicit CFaceControl(CNameList* faceList);
  ~CFaceControl() override;
  void Release() override;
  // No forced face, every type 0, no pause, the animation restarts.
  void Reset();
  void SetFaceType(int face, int type);
  // 0 or less: the face is found by the speaker's name.
  void SetFaceNumber(int n) { forcedFace_ = n; }
  // Draws the speaker's face (a frame of its animation).
  void Print(const char* speakerName);
  // (face count + 1) words: the forced face number, then every face's type.
  void SaveData(uint8_t* buffer, size_t size) override;
  void LoadData(const uint8_t* buffer, size_t size) override;

  int GetFaceCount() const { return faceCount_; }
  int GetFaceType(int face) const;
  int GetTypeCount(int face) const;
  const AnimeRecord* GetRecord(int face, int type) const;
  int GetFaceNumber(const char* speakerName) const;
  // The picture name of (face, type) without the "sys\" folder.
  std::string GetPictureName(int face, int type) const;
  int GetPauseLength() const { return pauseLength_; }
  CPicture* GetPicture() const { return picture_.get(); }
  const CAnimeCounter& GetCounter() const { return counter_; }

 private:
  int faceCount_ = 0;
  int currentFace_ = -1;
  int loadedFace_ = -1, loadedType_ = -1;
  CNameList* faceList_;
  std::vector<int> types_;  // face count + 1
  std::unique_ptr<CPicture> picture_;
  int maxSave_ = 256;
  std::vector<std::string> customNames_;
  int customFaceNameFlag_ = 0;
  int printX_ = 10, printY_ = 400, sizeX_ = 160, sizeY_ = 160;
  std::string tag_ = "ta_sys_face";
  std::vector<int> typeCounts_;
  std::vector<std::vector<AnimeRecord>> records_;
  int forcedFace_ = 0;
  CSetupList settings_;
  CAnimeCounter counter_;
  int pauseCounter_ = 0, pauseLength_ = 0, ready_ = 0;
};
