#include "mode/selectscene.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "services/backscriptservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "services/variableservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/textprint.h"
#include "mode/gallerygrid.h"
#include "platform/system.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "widget/buttoncode.h"
#include "widget/pageprint.h"
#include "widget/updownbutton.h"

namespace {

// Game variables the gallery clears on entry: 100..199 and 300..999.
constexpr int kClearedVars[][2] = {{100, 199}, {300, 999}};
constexpr int kTextSize = 16;

// "データ警告"
const char kCheckCaption[] = "\x83\x66\x81\x5b\x83\x5e\x8c\x78\x8d\x90";
// "spt/scene.datとmok/sceneVoice.xtxの登録人数が違います\n\nscene.dat=%d\nsceneVoice.xtx=%d"
const char kCharaCountText[] =
    "spt/scene.dat\x82\xc6mok/sceneVoice.xtx\x82\xcc\x93\x6f\x98\x5e\x90\x6c\x90\x94\x82\xaa\x88\xe1\x82\xa2\x82"
    "\xdc\x82\xb7\n\nscene.dat=%d\nsceneVoice.xtx=%d";
// "spt/scene.datとmok/sceneVoice.xtxの%d番目のキャラのシーン数が違います\n\nscene.dat=%d\nsceneVoice.xtx=%d"
const char kSceneCountText[] =
    "spt/scene.dat\x82\xc6mok/sceneVoice.xtx\x82\xcc%d\x94\xd4\x96\xda\x82\xcc\x83\x4c\x83\x83\x83\x89\x82\xcc"
    "\x83\x56\x81\x5b\x83\x93\x90\x94\x82\xaa\x88\xe1\x82\xa2\x82\xdc\x82\xb7\n\nscene.dat=%d\nsceneVoice.xtx=%d";

}  // namespace

void CCommonSelectScene::CheckData(const CSceneDataFile* data, const CSceneVoiceList* voices) {
  if (!data || !voices || !data->IsLoaded() || !voices->IsLoaded()) return;
  char text[256];
  const int a = data->GetCharaCount(), b = voices->GetSectionCount();
  if (a != b) {
    std::snprintf(text, sizeof text, kCharaCountText, a, b);
    platform::MessageBox(nullptr, text, kCheckCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  for (int i = 0; i < a; ++i) {
    const int sa = data->GetSceneCount(i), sb = voices->GetSceneCount(i);
    if (sa == sb) continue;
    std::snprintf(text, sizeof text, kSceneCountText, i + 1, sa, sb);
    platform::MessageBox(nullptr, text, kCheckCaption, MB_OK | MB_ICONWARNING);
    return;
  }
}

CCommonSelectScene::CCommonSelectScene(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("SelectScene", 32);
  if (game_) {
    sceneList_ = game_.saves->GetSceneList();
    voiceList_ = game_.saves->GetSceneVoiceList();
  }
  LoadBackScriptSetup();
  LoadBackButtonSetup();
  LoadUpDownButtonSetup();
  CreateUpdownBack();
  LoadBgmSetup();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  int listCheckFlag = 1;
  GetSetupInt(&listCheckFlag, "listCheckFlag");
  if (listCheckFlag && game_) CheckData(game_.saves->GetSceneDataFile(), voiceList_);
  GetSetupInt(&scenePianoSoundFlag_, "scenePianoSoundFlag");
  backgroundFileName_ = "scene_bg";
  GetSetupString(&backgroundFileName_, "filenameBG");
  GetSetupInt(&selectSound_, "selectSound");
  GetSetupInt(&exitStopVoiceFlag_, "exitStopVoiceFlag");
  GetSetupInt(&exitStopVoiceFadeOutTime_, "exitStopVoiceFadeOutTime");
  grid_ = std::make_unique<CGalleryGrid>(*this);
  grid_->SetThumbnailPrefix("sys\\sc\\");
  grid_->HideCounts();
  grid_->KeepCoverTransparent();

  header_ = std::make_unique<CGalleryHeader>(*this, "scene_bg_title");
  pagePrinter_ = std::make_unique<CPagePrint>(GetSetupList(), backScriptFlag_ ? nullptr : screenPicture_);
}

CCommonSelectScene::~CCommonSelectScene() { Release(); }

void CCommonSelectScene::Release() {
  grid_.reset();
  pagePrinter_.reset();
  header_.reset();
}

int CCommonSelectScene::SceneOf(int k) const { return page_ * grid_->GetCells() + k; }

int CCommonSelectScene::Init() {
  grid_->LoadPictures();
  header_->LoadPictures();
  if (game_) {
    game_.screen->SetLayerDisableMask(0);
    game_.sound->StopAllSound();
    game_.saves->ClearGameState();
    for (const auto& range : kClearedVars)
      for (int v = range[0]; v <= range[1]; ++v) game_.variables->SetVar(v, 0);
    game_.screen->ResetFrameTime();
  }
  replay_ = 0;
  chara_ = sceneList_ ? sceneList_->GetCurrentChara() : 0;
  sceneCount_ = sceneList_ ? std::clamp(sceneList_->GetSceneCount(chara_), 0, kMaxScenes) : 0;
  pageCount_ = grid_->PageCount(sceneCount_);
  page_ = std::clamp(page_, 0, pageCount_ - 1);
  SetUpDownButtonPos();
  if (upDownButtons_) {
    upDownButtons_->SetPageMax(std::min(pageCount_, CUpDownButton::kMaxPages));
    upDownButtons_->SetPage(page_);
  }
  for (int s = 0; s < kMaxScenes; ++s) seen_[s] = s < sceneCount_ && sceneList_->IsSceneSeen(chara_, s) ? 1 : 0;
  seenPercent_ = sceneList_ ? sceneList_->GetSeenPercent(chara_) : 0;
  BuildPage();
  ReloadUpDownButtonPicture();
  ReloadBackButtonPicture();
  pendingVoice_ = -1;
  voiceCountdown_ = 0;
  SetBackButtonPos();
  if (updownBack_) updownBack_->Init();
  hoverScene_ = -1;
  pick_.Enter();
  return -1;
}

void CCommonSelectScene::BuildPage() {
  grid_->BuildPage([&](int k) {
    CGalleryGrid::CellInfo info;
    const int s = SceneOf(k);
    if (s >= sceneCount_) return info;
    info.state = CGalleryGrid::CellState::kCover;
    const char* name = voiceList_ ? voiceList_->GetScenePictureName(chara_, s) : nullptr;
    if (seen_[s]) {
      info.state = CGalleryGrid::CellState::kSeen;
      info.thumbnail = name;
    } else if (grid_->GetPicMustPrintPercent() != 0) {
      info.state = CGalleryGrid::CellState::kUnseenShown;
      info.thumbnail = name;
    }
    return info;
  });
  if (backScriptFlag_ || !screenPicture_) return;
  LoadBackgroundPicture();
  screenPicture_->Put(0, 0, 0);
  PrintStatic();
  screenPicture_->GetScreen();
}

void CCommonSelectScene::PrintTexts(int k) const {
  CTextPrint* printer = game_ ? game_.text->GetTextBuffer() : nullptr;
  if (!printer || !voiceList_) return;
  const int s = SceneOf(k);
  int x = 0, y = 0;
  grid_->CellPos(k, &x, &y);
  const int lines = voiceList_->GetEntryLength(chara_, s) - 2;
  for (int i = 0; i < lines; ++i) {
    const char* text = voiceList_->GetSceneText(chara_, s, i);
    if (text) printer->Print(x + 2, y + 2 + kTextSize * i, text, kTextSize, 255, 255, 255, 1, 16, 0, 1);
  }
}

void CCommonSelectScene::PrintStatic() {
  for (int k = 0; k < grid_->GetCells(); ++k) {
    grid_->PrintCell(k);
    if (grid_->GetState(k) == CGalleryGrid::CellState::kSeen) PrintTexts(k);
  }
  header_->Print(chara_, seenPercent_);
  if (pagePrinter_) pagePrinter_->Print(page_ + 1, pageCount_);
}

void CCommonSelectScene::ChangePage(int page) {
  page_ = std::clamp(page, 0, pageCount_ - 1);
  if (upDownButtons_) upDownButtons_->SetPage(page_);
  pick_.PageTurned();
  BuildPage();
  CScreenBuffer::SetFullRedraw(0);
}

int CCommonSelectScene::Calcu() {
  if (pick_.GetSelected() >= 0) {
    if (!pick_.BlinkOver()) return -1;
    replay_ = 1;
    return ExitToMode(-1);
  }
  if (updownBack_) {
    const int32_t code = updownBack_->Calcu(input_);
    const int v = CheckButtonResult3(code);
    if (v == 0) return ExitToMode(parameter_);
    if (v > 0) {
      ChangePage(v - 1);
      return -1;
    }
    pick_.PageButton(GetButtonCodeKind(code) == buttoncode::kPressed);
  }
  platform::Point p{};
  if (mouse_) mouse_->GetPos(&p);
  if (pick_.Step(*grid_, p.x, p.y, GetClick(0) != 0, selectSound_, scenePianoSoundFlag_ != 0, game_)) return -1;
  if (pick_.HoverChanged()) {
    if (pick_.GetHover() >= 0) {
      hoverScene_ = SceneOf(pick_.GetHover());
      if (pick_.GetSoundGuard() == 0) {
        pendingVoice_ = hoverScene_;
        voiceCountdown_ = kVoiceWait;
      }
    } else {
      hoverScene_ = pendingVoice_ = -1;
    }
  }
  if (pendingVoice_ >= 0 && --voiceCountdown_ <= 0) {
    const char* voice = voiceList_ ? voiceList_->GetSceneVoice(chara_, pendingVoice_) : nullptr;
    if (game_ && voice && *voice && !game_.sound->CheckVoiceOff(voice)) game_.sound->PlayVoice(voice);
    pendingVoice_ = -1;
  }
  return -1;
}

void CCommonSelectScene::AtExit() {
  CCommonGeneral::AtExit();
  if (!game_) return;
  if (exitStopVoiceFlag_) game_.sound->FadeOutVoice(exitStopVoiceFadeOutTime_);
  if (!replay_) return;
  const int scene = SceneOf(pick_.GetSelected());
  pick_.ClearSelected();
  if (sceneList_) sceneList_->SetCurrentScene(scene);
  game_.screen->ResetFrameTime();
  game_.backScript->SetBackScriptMode(0);
  game_.messageWindow->SetMessageModeFlag(1);
  game_.screen->SetLayerDisableMask(voiceList_ ? static_cast<int>(voiceList_->GetSceneFlags(chara_, scene) & 0xFFFF) : 0);
  if (game_.modeFlow->StartSceneScript()) game_.sound->StopBgm(-1);
}

int CCommonSelectScene::Print() {
  const int full = CScreenBuffer::CheckFullRedraw();
  PrintBackScreen();
  if (backScriptFlag_) PrintStatic();
  if (updownBack_) updownBack_->Print();
  for (int k = 0; k < grid_->GetCells(); ++k) {
    const CGalleryGrid::CellState state = grid_->GetState(k);
    if (state == CGalleryGrid::CellState::kEmpty) continue;
    if (state != CGalleryGrid::CellState::kSeen) {
      // An unseen scene's cell is restored from the page picture.
      int x = 0, y = 0, w = 0, h = 0;
      grid_->CellRect(k, &x, &y, &w, &h);
      if (!backScriptFlag_ && screenPicture_ && full) screenPicture_->Blt(x, y, x, y, w, h, 0);
      continue;
    }
    pick_.PrintSeenCell(*grid_, k, full, backScriptFlag_ ? nullptr : screenPicture_);
  }
  return -1;
}

int CCommonSelectScene::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  return Print();
}
