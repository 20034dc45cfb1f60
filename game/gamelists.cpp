#include "game/gamelists.h"

#include <climits>
#include <cstdio>
#include <string>

#include "game/gameparts.h"
#include "game/settingkeys.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "setup/gamelistnames.h"
#include "setup/namelist.h"

namespace {

// A data list loaded plainly: a missing file shows the list reader's box
// and leaves the list empty.
std::unique_ptr<CNameList> LoadDataList(const char* path) {
  auto list = std::make_unique<CNameList>();
  list->Load(path, false, false);
  return list;
}

}  // namespace

std::string NumberedKey(const char* format, int a, int b) {
  char key[96];
  std::snprintf(key, sizeof key, format, a, b);
  return key;
}

CGameLists::CGameLists(const Links& links) : links_(links) {}

CGameLists::~CGameLists() = default;

void CGameLists::ReadSettings() {
  ReadInt(links_.list, &settings_.noBGMFlag, "noBGMFlag");
  ReadInt(links_.list, &settings_.noSystemSeFlag, "noSystemSeFlag");
}

void CGameLists::Load(int noScript) {
  if (!noScript) projectList_ = LoadDataList(gamelists::kProjectList);
  if (!settings_.noBGMFlag) bgmList_ = LoadDataList(gamelists::kBgmList);
  if (!settings_.noSystemSeFlag) systemSeList_ = LoadDataList("mok\\systemse.xtx");
  if (!noScript) {
    seList_ = LoadDataList(gamelists::kSeList);
    charaNameList_ = LoadDataList("spt\\charaname.xtx");
    functionList_ = LoadDataList("spt\\function.xtx");
    // With "facePrintMode" the face pictures' control reads this list.
    faceList_ = LoadDataList("spt\\facelist.xtx");
    commandList_ = LoadDataList("spt\\command.xtx");
  }
  // Optional. Every movie entry (a key and its value) is on unless its
  // "<key>IsDefault" is 0.
  movieEntryOff_.clear();
  if (platform::FileExists("spt\\movielist.xtx")) {
    movieList_ = LoadDataList("spt\\movielist.xtx");
    for (int i = 0; i < movieList_->GetCount(); i += 2) {
      int isDefault = 1;
      const char* name = movieList_->GetName(i);
      ReadInt(links_.list, &isDefault, (std::string(name ? name : "") + "IsDefault").c_str());
      movieEntryOff_.push_back(isDefault == 0 ? 1 : 0);
    }
  }
}

int CGameLists::GetBgmCount() const { return bgmList_ ? bgmList_->GetCount() / 2 : 0; }

// Token indexes beyond the list give NULL from the list itself.
const char* CGameLists::GetBgmFileName(int n) const {
  if (!bgmList_ || n < 0 || n > (INT_MAX - 1) / 2) return nullptr;
  return bgmList_->GetName(2 * n);
}

const char* CGameLists::GetBgmTitle(int n) const {
  if (!bgmList_ || n < 0 || n > (INT_MAX - 1) / 2) return nullptr;
  return bgmList_->GetName(2 * n + 1);
}

int CGameLists::SearchBgmName(const char* name) const {
  if (!bgmList_ || !name) return -1;
  const int pairs = bgmList_->GetCount() / 2;
  for (int p = 0; p < pairs; ++p) {
    const char* key = bgmList_->GetName(2 * p);
    if (key && platform::EqualNoCase(key, name)) return p;
  }
  return -1;
}

const char* CGameLists::GetMovieListName(int n) const {
  if (!movieList_ || n < 1 || n > movieList_->GetCount()) return nullptr;
  return movieList_->GetName(2 * n - 2);
}

int CGameLists::IsMovieListEntryEnabled(int n) const {
  if (!GetMovieListName(n)) return 0;
  const size_t i = static_cast<size_t>(n - 1);
  return i < movieEntryOff_.size() && movieEntryOff_[i] ? 0 : 1;
}

int CGameLists::FunctionRow(const char* name) const {
  return functionList_ ? functionList_->SearchColumn(name, 2, true, -1) : -1;
}

std::string CGameLists::ScriptPath(int number) const {
  const char* name = projectList_ ? projectList_->GetName(number) : nullptr;
  return name && *name ? std::string("spt\\") + name + ".spt" : std::string();
}
