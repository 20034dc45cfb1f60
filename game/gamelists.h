// CGameLists: the game's data lists: the scripts' project list, the music,
// system-sound and sound-effect lists, the character names, the script
// functions and calls, the faces and the optional movie list. Init loads
// them once, in one fixed order; the parts read them from here.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CSetupList;
class CNameList;

class CGameLists {
 public:
  // The keys of the list "game" that switch lists off.
  struct Settings {
    int noBGMFlag = 0;
    int noSystemSeFlag = 0;
  };

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CGameLists(const Links& links);
  virtual ~CGameLists();
  CGameLists(const CGameLists&) = delete;
  CGameLists& operator=(const CGameLists&) = delete;

  void ReadSettings();
  // Loads the lists in their fixed order; a missing file shows the list
  // reader's box and leaves that list empty. Without scripts
  // ("noScriptFlag") only the music, system-sound and movie lists load.
  void Load(int noScript);
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  CNameList* GetProjectList() const { return projectList_.get(); }
  CNameList* GetBgmList() const { return bgmList_.get(); }
  CNameList* GetSystemSeList() const { return systemSeList_.get(); }
  CNameList* GetSeList() const { return seList_.get(); }
  CNameList* GetCharaNameList() const { return charaNameList_.get(); }
  CNameList* GetFunctionList() const { return functionList_.get(); }
  CNameList* GetFaceList() const { return faceList_.get(); }
  CNameList* GetCommandList() const { return commandList_.get(); }
  CNameList* GetMovieList() const { return movieList_.get(); }

  // Pairs of the music list; an unpaired last token is not counted.
  int GetBgmCount() const;
  // Token 2n / 2n + 1 of the music list; NULL outside it.
  const char* GetBgmFileName(int n) const;
  const char* GetBgmTitle(int n) const;
  // The pair of the music list whose file name is `name` (case-blind); -1
  // none.
  int SearchBgmName(const char* name) const;
  // Token 2n - 2 of the movie list for n = 1, 2, ...; NULL outside it.
  const char* GetMovieListName(int n) const;
  // 1 when movie entry n (1-based) exists and its "<name>IsDefault" did not
  // switch it off, else 0.
  int IsMovieListEntryEnabled(int n) const;
  // The row of a name in the function list (-1 none).
  int FunctionRow(const char* name) const;
  // "spt\\<name>.spt" of project number n ("" when the list has no name).
  std::string ScriptPath(int number) const;

 private:
  const Links links_;
  Settings settings_;
  std::unique_ptr<CNameList> projectList_;
  std::unique_ptr<CNameList> bgmList_;
  std::unique_ptr<CNameList> systemSeList_;
  std::unique_ptr<CNameList> seList_;
  std::unique_ptr<CNameList> charaNameList_;
  std::unique_ptr<CNameList> functionList_;
  std::unique_ptr<CNameList> faceList_;
  std::unique_ptr<CNameList> commandList_;
  std::unique_ptr<CNameList> movieList_;
  // Per movie entry: 1 when "<name>IsDefault" is 0 (the entry is off).
  std::vector<char> movieEntryOff_;
};
