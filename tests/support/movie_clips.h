// The movie clips the build makes (cmake/movieclips.cmake), copied into a
// test's game folder.
#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

inline std::string MovieClipPath(const std::string& name) {
  return std::string(ZOR_BINARY_DIR) + "/movie-clips/" + name;
}

// Copies clip `name` to `rel` below the game folder `root`; false without
// the clip.
inline bool CopyMovieClip(const std::string& root, const std::string& name, const std::string& rel) {
  std::error_code ec;
  const std::filesystem::path to = std::filesystem::path(root) / rel;
  std::filesystem::create_directories(to.parent_path(), ec);
  return std::filesystem::copy_file(MovieClipPath(name), to,
                                    std::filesystem::copy_options::overwrite_existing, ec);
}

}  // namespace testsupport
