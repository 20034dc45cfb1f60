// The galleries' tests: the fake of the services with its CG list read
// from lists the test writes, seen bits set in its system file, and the
// gallery or viewer remade over them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "modebase/commongeneral.h"
#include "savedata/cglist.h"
#include "savedata/systemfile.h"
#include "scene_lists.h"
#include "startup_fixture.h"

namespace startup_test {

class GalleryTest : public StartupTest {
 protected:
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
