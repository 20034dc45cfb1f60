#include "minigame/allminigame.h"

#include "minigame/minigamebase.h"

namespace {

constexpr int kNoSize = 16;

struct PictureSet {
  const char* name;
  int w, h;
};

constexpr PictureSet kPictureSets[CAllMiniGame::kSetCount] = {
    {"trump", 96, 144}, {"mahjong", 16, 16}, {"panel", 16, 16}, {"number", 16, 16},
    {"arrow", 16, 16},  {"shogi", 16, 16},   {"go", 16, 16},
};

constexpr const char* kSoundNames[CAllMiniGame::kSoundCount] = {"click", "good",  "bad",
                                                                "start", "clear", "gameover"};

}  // namespace

CAllMiniGame::CAllMiniGame(CInputStatus* keyStatus, CMouseStatus* mouseStatus, int capacity,
                           std::span<const MiniGameType> types)
    : capacity_(capacity > 0 ? capacity : 0), types_(types), keyStatus_(keyStatus),
      mouseStatus_(mouseStatus) {
  games_.reserve(capacity_);
  for (int i = 0; i < kSets; ++i) {
    cellSize_[i][0] = i < kSetCount ? kPictureSets[i].w : kNoSize;
    cellSize_[i][1] = i < kSetCount ? kPictureSets[i].h : kNoSize;
  }
}

CAllMiniGame::~CAllMiniGame() { Release(); }

void CAllMiniGame::Release() {
  for (auto& g : games_) {
    if (!g) continue;
    g->Release();
    g.reset();
  }
  games_.clear();
}

int CAllMiniGame::CreateGame(int type) {
  if (GetCount() >= capacity_ || type < 0 || type >= kTypes) return 0;
  for (const MiniGameType& t : types_) {
    if (t.type != type) continue;
    CMiniGameBase* made = t.make ? t.make(this) : nullptr;
    if (!made) return 0;
    games_.emplace_back(made);
    return 1;
  }
  return 0;
}

int CAllMiniGame::AddEmptyGame() {
  if (GetCount() >= capacity_) return 0;
  games_.emplace_back();
  return 1;
}

CMiniGameBase* CAllMiniGame::GetGame(int i) const { return i >= 0 && i < GetCount() ? games_[i].get() : nullptr; }

int CAllMiniGame::StartGame() {
  soundRequest_ = -1;
  CMiniGameBase* g = Current();
  return g ? g->Start() : -1;
}

int CAllMiniGame::Calcu() {
  soundRequest_ = -1;
  CMiniGameBase* g = Current();
  return g ? g->CallCalcu() : -1;
}

int CAllMiniGame::Print() {
  if (CMiniGameBase* g = Current()) g->CallPrint();
  return -1;
}

int CAllMiniGame::IsCleared() {
  CMiniGameBase* g = Current();
  return g ? g->GetClearFlag() : 0;
}

int CAllMiniGame::IsGameOver() {
  CMiniGameBase* g = Current();
  return g ? g->GetGameOverFlag() : 0;
}

CPicture* CAllMiniGame::GetPicture(int i) const { return pictures_[i >= 0 && i < 3 ? i : 0]; }

int CAllMiniGame::SetPicture(CPicture* picture, int i) {
  if (i < 0 || i >= 3) return 0;
  pictures_[i] = picture;
  return 1;
}

const char* CAllMiniGame::GetPictureSetName(int i) {
  if (!InSets(i)) return nullptr;
  return i < kSetCount ? kPictureSets[i].name : "";
}

CPicture* CAllMiniGame::GetSetPicture(int i) const { return InSets(i) ? setPictures_[i] : nullptr; }

void CAllMiniGame::SetSetPicture(int i, CPicture* picture) {
  if (InSets(i)) setPictures_[i] = picture;
}

void CAllMiniGame::GetCellSize(int i, int* w, int* h) const {
  if (w) *w = InSets(i) ? cellSize_[i][0] : kNoSize;
  if (h) *h = InSets(i) ? cellSize_[i][1] : kNoSize;
}

void CAllMiniGame::SetCellSize(int i, int w, int h) {
  if (!InSets(i)) return;
  cellSize_[i][0] = w;
  cellSize_[i][1] = h;
}

int CAllMiniGame::GetSetFlag(int i) const { return InSets(i) ? setFlags_[i] : 0; }

void CAllMiniGame::SetSetFlag(int i, int value) {
  if (InSets(i)) setFlags_[i] = value;
}

const char* CAllMiniGame::GetSoundName(int i) {
  if (!InSets(i)) return nullptr;
  return i < kSoundCount ? kSoundNames[i] : "";
}
