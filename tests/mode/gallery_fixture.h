// The galleries' tests: the game with its CG list read from lists the test
// writes, seen bits set in its system file, and the gallery or viewer
// remade over them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "modebase/commongeneral.h"
#include "savedata/cglist.h"
#include "savedata/systemfile.h"
#include "startup_game_fixture.h"

namespace startup_test {

class GalleryTest : public StartupTest {
 protected:
  // A scene table ("spt/scene.dat") of film script 10 with one-item scenes:
  // scenes[c] scenes for character c, those in `marked` (character, scene)
  // marked. Scenes are numbered through all characters; scene n's item is
  // FILMFLAG n of the script (SceneFlag).
  static std::string SceneTable(const std::vector<int>& scenes,
                                const std::vector<std::pair<int, int>>& marked = {}) {
    std::vector<int32_t> words = {0, static_cast<int32_t>(scenes.size())};
    for (size_t c = 0; c < scenes.size(); ++c) {
      words.push_back(scenes[c]);
      for (int s = 0; s < scenes[c]; ++s) {
        const bool mark = std::find(marked.begin(), marked.end(), std::make_pair(static_cast<int>(c), s)) != marked.end();
        words.insert(words.end(), {mark ? -10 : 10, 1, SceneFlag(scenes, static_cast<int>(c), s) + 1});
      }
    }
    words[0] = static_cast<int32_t>(4 * words.size());
    std::string out(words.size() * 4, '\0');
    std::memcpy(out.data(), words.data(), out.size());
    return out;
  }
  static int SceneFlag(const std::vector<int>& scenes, int c, int s) {
    int n = s;
    for (int i = 0; i < c; ++i) n += scenes[static_cast<size_t>(i)];
    return n;
  }
  // Character c's (from 0) list of picture names.
  void WriteCGList(int c, const std::vector<std::string>& names) const {
    std::string text;
    for (const std::string& n : names) text += testsupport::Sjis(n) + ",";
    dir_->Write(CGListFileName(c + 1).substr(4).insert(0, "spt/"), text + "\r\n");
  }
  // The lists of `charas` characters loaded into the game's CG list, the
  // seen pictures marked, mode T remade and entered.
  template <typename T>
  T* EnterWithLists(int charas, const std::vector<std::pair<int, int>>& seen, int chara = 0, int cg = 0) {
    StartupGame& game = Game();
    game.GetCGList()->Load(charas);
    for (const auto& [c, i] : seen) game.GetSystemFile()->SetCGFlag(c, i);
    game.GetCGList()->SetCurrentChara(chara);
    game.GetCGList()->SetCurrentCG(cg);
    T* mode = game.Remake<T>();
    game.EnterMode(T::kModeNumber);
    return mode;
  }
  int CountCalls(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : game_->Calls()) n += c.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
};

}  // namespace startup_test
