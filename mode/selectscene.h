// CCommonSelectScene: mode 18, the scene gallery. The scenes of the scene
// list's current character are shown as pages of cells on the galleries'
// grid: a seen scene shows its thumbnail ("sys\\sc\\<name>") and its text
// lines, an unseen one its cover. Resting on a seen scene plays its voice
// after a short wait; a click blinks the cell, leaves the mode and starts
// the scene's replay, whose end comes back here on the same page. The back
// button returns to the mode held in the parameter.
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "mode/gallerygrid.h"

class CPagePrint;
class CPicture;
class CSceneDataFile;
class CSceneList;
class CSceneVoiceList;

class CCommonSelectScene : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectScene;
  static constexpr int kVoiceWait = 16;
  // The seen table's size: a character shows its first 200 scenes.
  static constexpr int kMaxScenes = 200;

  explicit CCommonSelectScene(const GameRoles& game);
  ~CCommonSelectScene() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void AtExit() override;
  int PrintEnterScreen() override;
  virtual void Release();

  // For tests.
  CGalleryGrid* GetGrid() const { return grid_.get(); }
  int GetPage() const { return page_; }
  int GetPageCount() const { return pageCount_; }
  int GetSceneCount() const { return sceneCount_; }
  int GetSeenPercent() const { return seenPercent_; }
  int GetSelected() const { return pick_.GetSelected(); }
  int GetPendingVoice() const { return pendingVoice_; }
  void ChangePage(int page);

  // The warning box when the scene table and the scene-voice list disagree
  // on the character count or, else, on the first character's scene count
  // that differs. Only lists that were read are compared.
  static void CheckData(const CSceneDataFile* data, const CSceneVoiceList* voices);

 private:
  void BuildPage();
  void PrintStatic();
  void PrintTexts(int k) const;
  int SceneOf(int k) const;

  CSceneList* sceneList_ = nullptr;
  CSceneVoiceList* voiceList_ = nullptr;
  std::unique_ptr<CGalleryGrid> grid_;
  int seen_[kMaxScenes] = {};
  int chara_ = 0, sceneCount_ = 0;
  int page_ = 0, pageCount_ = 1;
  CGalleryPick pick_;
  int hoverScene_ = -1, pendingVoice_ = -1, voiceCountdown_ = 0;
  int replay_ = 0;
  int seenPercent_ = 0;
  int scenePianoSoundFlag_ = 0, selectSound_ = 1;
  int exitStopVoiceFlag_ = 0, exitStopVoiceFadeOutTime_ = 0;
  std::unique_ptr<CGalleryHeader> header_;
  std::unique_ptr<CPagePrint> pagePrinter_;
};
