// Engine paths are relative to the game folder: the checks look at the
// game being checked and leave the folder as they found it.
#pragma once

#include <string>

#include "platform/files.h"

namespace gamecheck {

class GameFolderScope {
 public:
  explicit GameFolderScope(const std::string& folder) : was_(platform::GameFolder()) {
    platform::SetGameFolder(folder);
  }
  ~GameFolderScope() { platform::SetGameFolder(was_); }
  GameFolderScope(const GameFolderScope&) = delete;
  GameFolderScope& operator=(const GameFolderScope&) = delete;

 private:
  std::string was_;
};

}  // namespace gamecheck
