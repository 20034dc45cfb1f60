// The scene gallery's scene table and its view.
//
// CSceneDataFile reads "spt\\scene.dat": little-endian 32-bit words, the
// file size in bytes, the character count N, then per character its scene
// count S and S scene records. A record is the film script number (negative
// for a marked scene), the item count n and n item words; item word v names
// FILMFLAG index |v| - 1 of that script, and a negative v does not count for
// "seen".
//
// CSceneList answers seen and percentage questions over the table from the
// system file's FILMFLAG bits and keeps the gallery's current character and
// scene and the replay item cursor.
#pragma once

#include <cstdint>
#include <vector>

class CCommonSystemFile;

class CSceneDataFile {
 public:
  // Reads the table; a missing file gives a one-scene table after a box.
  CSceneDataFile();
  virtual ~CSceneDataFile();
  CSceneDataFile(const CSceneDataFile&) = delete;
  CSceneDataFile& operator=(const CSceneDataFile&) = delete;

  // Character c, scene s, item i; anything out of range gives 0.
  int GetCharaCount() const { return static_cast<int>(charas_.size()); }
  // 0 when the file was missing and the built-in table stands in.
  int IsLoaded() const { return loaded_; }
  int GetSceneCount(int c) const;
  int GetMarkedSceneCount(int c) const;
  int GetSceneScript(int c, int s) const;  // |word 0|
  int IsSceneMarked(int c, int s) const;   // 1 when word 0 < 0
  int GetItemCount(int c, int s) const;
  int GetItem(int c, int s, int i) const;        // |v| - 1
  int GetItemOrNone(int c, int s, int i) const;  // v - 1, or -1 when v < 0
  int GetRecordIndex(int c, int s) const;        // word index of the record
  // Word n of the table (0 past the words read).
  int32_t GetWord(int n) const;
  void Release();

 private:
  struct Chara {
    int firstScene = 0;
    int sceneCount = 0;
    int markedCount = 0;
  };
  void Walk();
  // Word index of record (c, s), or -1 out of range.
  int Record(int c, int s) const;
  int32_t ItemWord(int c, int s, int i, bool* found) const;

  std::vector<int32_t> words_;  // what the file gave; word 0 is the size used
  std::vector<Chara> charas_;
  std::vector<int> records_;  // per scene in file order: its word index
  int loaded_ = 0;
};

class CSceneList {
 public:
  // Neither is owned; without scene data the list answers as for one
  // character with one scene that is never seen.
  CSceneList(CCommonSystemFile* systemFile, const CSceneDataFile* data);
  virtual ~CSceneList();
  CSceneList(const CSceneList&) = delete;
  CSceneList& operator=(const CSceneList&) = delete;

  int GetCharaCount() const { return charaCount_; }
  // 1 when every counted item of the scene has its FILMFLAG bit; 0 out of
  // range or without scene data.
  int IsSceneSeen(int c, int s) const;
  // seen * 100 / total, but at least 1 when any scene is seen.
  int GetSeenPercent(int c) const;
  int GetTotalSeenPercent() const;
  int GetSceneCount(int c) const;         // 1 without scene data
  int GetMarkedSceneCount(int c) const;   // 0 without
  int IsSceneMarked(int c, int s) const;  // 0 without

  CSceneList* SetCurrentChara(int c);
  CSceneList* SetCurrentScene(int s);
  int GetCurrentChara() const { return chara_; }
  int GetCurrentScene() const { return scene_; }
  // The replay cursor: the game sets it to 0 when a scene starts.
  void SetItemCursor(int n) { cursor_ = n; }
  int GetItemCursor() const { return cursor_; }
  // Advances the cursor, then the item there of the current scene; -1 past
  // the last item or without scene data.
  int NextItem();
  void Release() {}

 private:
  CCommonSystemFile* systemFile_;
  const CSceneDataFile* data_;
  int cursor_ = 0;
  int chara_ = 0;
  int scene_ = 0;
  int charaCount_ = 1;
};
