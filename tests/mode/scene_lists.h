// The scene lists of the galleries' tests: a scene table as the scene data
// reader reads it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace startup_test {

// The FILMFLAG item of scene s of character c: scenes are numbered through
// all characters.
inline int SceneFlag(const std::vector<int>& scenes, int c, int s) {
  int n = s;
  for (int i = 0; i < c; ++i) n += scenes[static_cast<size_t>(i)];
  return n;
}

// A scene table ("spt/scene.dat") of film script 10 with one-item scenes:
// scenes[c] scenes for character c, those in `marked` (character, scene)
// marked. Scenes are numbered through all characters; scene n's item is
// FILMFLAG n of the script (SceneFlag).
inline std::string SceneTable(const std::vector<int>& scenes,
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

}  // namespace startup_test
