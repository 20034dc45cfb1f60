#include "savedata/savefolder.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/codec.h"
#include "platform/files.h"
#include "setup/text.h"
#include "platform/system.h"
#include "platform/types.h"

namespace {

constexpr size_t kSpecialMax = 1022;
constexpr size_t kCompanyMax = 126;
constexpr size_t kGameMax = 254;
constexpr size_t kSubMax = 126;

// 削除エラー
const char kDeleteErrorCaption[] = "\x8d\xed\x8f\x9c\x83\x47\x83\x89\x81\x5b";
// \n削除したファイル%d個\n
const char kDeletedFiles[] = "\n\x8d\xed\x8f\x9c\x82\xb5\x82\xbd\x83\x74\x83\x40\x83\x43\x83\x8b%d\x8c\xc2\n";
// \n削除したフォルダ:%s\n
const char kDeletedFolder[] =
    "\n\x8d\xed\x8f\x9c\x82\xb5\x82\xbd\x83\x74\x83\x48\x83\x8b\x83\x5f\x3a%s\n";

struct SaveFolderState {
  std::string special;
  std::string company;
  std::string game;
  std::string sub = "sav";
  std::string companyPath, gamePath, savePath;
  bool built = false;
  bool routineFailureShown[static_cast<int>(RoutineSave::kKinds)] = {};
};

SaveFolderState& State() {
  static SaveFolderState state;
  return state;
}

// Cut at `max` bytes without splitting a double-byte character.
std::string Cut(const char* text, size_t max) {
  if (!text) return {};
  std::string out;
  for (size_t i = 0; text[i] != 0;) {
    const size_t width =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != 0 ? 2 : 1;
    if (out.size() + width > max) break;
    out.append(text + i, width);
    i += width;
  }
  return out;
}

std::string Join(const std::string& a, const std::string& b) {
  if (b.empty()) return a;
  if (a.empty()) return b;
  return a + "\\" + b;
}

void Build() {
  SaveFolderState& s = State();
  if (s.built) return;
  s.companyPath = Join(s.special, s.company);
  s.gamePath = Join(s.companyPath, s.game);
  s.savePath = Join(s.gamePath, s.sub);
  s.built = true;
}

void Changed(int rebuild) {
  State().built = false;
  if (rebuild) Build();
}

// On this host the user's folders may not exist yet (a fresh account has no
// documents folder); make the missing levels so saves can land there.
bool CreateSpecialFolder(const std::string& path) {
  if (path.empty() || platform::IsDirectory(path)) return true;
  std::string partial;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    partial = path.substr(0, slash);
    if (!partial.empty() && !platform::IsDirectory(partial) && !platform::CreateDirectory(partial))
      return false;
    start = slash + 1;
  }
  return true;
}

// Makes the folders of `path` below `base` (already there) one level at a
// time, so "Company\\Game" works when "Company" does not exist yet. The level
// that cannot be made, or empty when all are there.
std::string CreateLevels(const std::string& base, const std::string& path) {
  size_t at = base.size();
  while (at <= path.size()) {
    const unsigned char c = at < path.size() ? static_cast<unsigned char>(path[at]) : 0;
    if (c != 0 && c != '\\' && c != '/') {
      // A double-byte character's second byte may be a backslash.
      at += platform::IsCp932LeadByte(c) && at + 1 < path.size() ? 2 : 1;
      continue;
    }
    if (at > base.size() && !platform::CreateDirectory(path.substr(0, at))) return path.substr(0, at);
    ++at;
  }
  return {};
}

void DebugFolderRemoved(const std::string& path) { platform::DebugPrintf(kDeletedFolder, path.c_str()); }

// Deletes the files of one folder as DeleteSaveFiles asks; removeSelf also
// removes the (then empty) folder.
int DeleteInFolder(const std::string& folder, bool recurse, bool includeOrg, bool onlySav,
                   bool removeSelf) {
  int deleted = 0;
  for (const std::string& name : platform::ListFolder(folder)) {
    const std::string path = folder + "\\" + name;
    if (platform::IsDirectory(path)) {
      if (recurse && !DeleteInFolder(path, recurse, includeOrg, onlySav, true)) return 0;
      continue;
    }
    if (!includeOrg && setup::EndsWithNoCase(name, ".org")) continue;
    if (onlySav && !setup::EndsWithNoCase(name, ".sav")) continue;
    if (!platform::RemoveFile(path)) {
      platform::MessageBox(nullptr, path.c_str(), kDeleteErrorCaption, MB_ICONWARNING);
      return 0;
    }
    ++deleted;
  }
  platform::DebugPrintf(kDeletedFiles, deleted);
  if (removeSelf) {
    if (!platform::RemoveDirectory(folder)) return 0;
    DebugFolderRemoved(folder);
  }
  return 1;
}

}  // namespace

void SetSaveFolder(const char* company, const char* game, int type) {
  SetSaveFolderType(type, 0);
  SetCompanyFolder(type != 0 ? company : nullptr, 0);
  SetGameFolder(type != 0 ? game : nullptr, 0);
  Build();
}

void SetSaveFolderType(int type, int rebuild) {
  SaveFolderState& s = State();
  if (type == 0) {
    s.special.clear();
  } else {
    const std::string folder = type == 1 ? platform::DocumentsFolder() : platform::AppDataFolder();
    if (!folder.empty()) s.special = Cut(folder.c_str(), kSpecialMax);
  }
  Changed(rebuild);
}

void SetCompanyFolder(const char* name, int rebuild) {
  State().company = Cut(name, kCompanyMax);
  Changed(rebuild);
}

void SetGameFolder(const char* name, int rebuild) {
  State().game = Cut(name, kGameMax);
  Changed(rebuild);
}

void SetSaveSubFolder(const char* name, int rebuild) {
  State().sub = Cut(name, kSubMax);
  Changed(rebuild);
}

const char* GetSaveFolder() {
  Build();
  return State().savePath.c_str();
}

const char* GetCompanyPath() {
  Build();
  return State().companyPath.c_str();
}

const char* GetGamePath() {
  Build();
  return State().gamePath.c_str();
}

const char* GetSpecialFolderPath() {
  Build();
  return State().special.c_str();
}

int CreateSaveFolder() {
  Build();
  const SaveFolderState& s = State();
  // Saves into a folder that cannot be made fail later, each with its box;
  // the line says why from the start.
  auto cannot = [&s](const std::string& level) {
    std::string line = "the save folder " + HostPath(s.savePath) + " cannot be made";
    if (level != s.savePath) line += ": the folder " + HostPath(level) + " cannot be made";
    platform::ErrorOutput(line.c_str());
    return 0;
  };
  if (!CreateSpecialFolder(s.special)) return cannot(s.special);
  // Company, game and save levels; a part may hold more than one level.
  const std::string failed = CreateLevels(s.special, s.savePath);
  if (!failed.empty()) return cannot(failed);
  return 1;
}

int DeleteSaveFiles(int removeFolders, int recurse, int includeOrg, int onlySav) {
  Build();
  const SaveFolderState& s = State();
  // An empty save path would be the program's own folder.
  if (s.savePath.empty()) return 1;
  if (!DeleteInFolder(s.savePath, recurse != 0, includeOrg != 0, onlySav != 0, false)) return 0;
  if (removeFolders) {
    // Only the levels this game set up; the user's own folder stays.
    const std::pair<const std::string*, const std::string*> levels[] = {
        {&s.sub, &s.savePath}, {&s.game, &s.gamePath}, {&s.company, &s.companyPath}};
    for (const auto& [part, path] : levels) {
      if (part->empty()) continue;
      if (!IsFolderEmpty(path->c_str()) || !platform::RemoveDirectory(*path)) break;
      DebugFolderRemoved(*path);
    }
  }
  return 1;
}

int RemoveStaleSaveTemporaries() {
  Build();
  const std::string& save = State().savePath;
  // An empty save path would be the program's own folder.
  if (save.empty() || !platform::IsDirectory(save)) return 0;
  std::vector<std::string> folders{save};
  for (const std::string& name : platform::ListFolder(save))
    if (platform::IsDirectory(save + "\\" + name)) folders.push_back(save + "\\" + name);
  int removed = 0;
  for (const std::string& folder : folders) {
    for (const platform::StaleTemporary& temp : platform::RemoveStaleTemporaries(folder)) {
      const std::string path = folder + "\\" + temp.name;
      if (temp.error.empty()) {
        ++removed;
        platform::DebugOutput(("removed " + path + ", left by an interrupted save").c_str());
      } else {
        platform::ErrorOutput(("the temporary file " + path + " left by an interrupted save " +
                               "cannot be removed: " + temp.error)
                                  .c_str());
      }
    }
  }
  return removed;
}

int IsFolderEmpty(const char* path) {
  if (!path) return 1;
  return platform::ListFolder(path).empty() ? 1 : 0;
}

void ResetSaveFolder() { State() = SaveFolderState(); }

bool FirstRoutineSaveFailure(RoutineSave kind) {
  bool& shown = State().routineFailureShown[static_cast<int>(kind)];
  if (shown) return false;
  shown = true;
  return true;
}

std::string HostPath(const std::string& path) {
  return platform::Utf8ToCp932(platform::ResolvePath(path));
}
