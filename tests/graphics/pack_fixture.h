// Pack volumes in a fresh game folder: volumes written by the pack writer
// from picture files made in memory, and the loader restarted with a pack
// level from the "game" list.
#pragma once

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/packvolume.h"
#include "packwriter.h"
#include "picture_fixture.h"
#include "setup/namelist.h"

namespace graphics_test {

class PackTest : public PictureTest {
 protected:
  static constexpr uint32_t kRed = 0x00FF0000, kGreen = 0x0000FF00, kBlue = 0x000000FF;
  static constexpr uint32_t kFailed = 0xDEADBEEF;

  // A 3 x 2 picture file of one colour, with a mask section when asked
  // (opaque but for its first column).
  std::vector<uint8_t> Solid(uint32_t colour, bool mask = false) {
    dwqtool::Picture p{3, 2, std::vector<uint32_t>(6, colour), {}};
    dwqtool::Options options;
    if (mask) {
      p.alpha = {0, 255, 255, 0, 255, 255};
      options.mask = true;
    }
    return Make(p, options);
  }
  static std::string Bytes(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
  }

  // dwq/<prefix><volume>.gtb and .gpk; the data of the last volume written
  // is kept for tests that cut it.
  void WriteVolume(const std::string& prefix, int volume,
                   const std::vector<packtool::Entry>& entries) {
    std::vector<uint8_t> index, data;
    std::string error;
    ASSERT_TRUE(packtool::MakeVolume(entries, &index, &data, &error)) << error;
    WriteIndex(prefix, volume, index);
    dir_.Write("dwq/" + prefix + std::to_string(volume) + ".gpk", Bytes(data));
    lastData_ = data;
  }
  void WriteIndex(const std::string& prefix, int volume, const std::vector<uint8_t>& index) {
    dir_.Write("dwq/" + prefix + std::to_string(volume) + ".gtb", Bytes(index));
  }

  // Restarts the loader as the game starts it, with "dwqPackLevel" in the
  // "game" list, or without the list for kNoList.
  static constexpr int kNoList = INT_MIN;
  void StartLoader(int level) {
    ReleasePictureLoader();
    ResetPackVolumes();
    CNameList::ResetInit2Check();
    if (level == kNoList)
      std::filesystem::remove(dir_ / "init/game.xtx");
    else
      dir_.Write("init/game.xtx", "dwqPackLevel," + std::to_string(level) + "\r\n");
    ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
  }

  // The colour of pixel (1, 0) of the picture loaded by that name, or
  // kFailed.
  uint32_t Load(const std::string& name) {
    CPicture picture;
    if (!picture.LoadDWQ(name.c_str()) || picture.GetWidth() < 2) return kFailed;
    return picture.GetPixelBuffer()[1];
  }

  std::vector<uint8_t> lastData_;
};

}  // namespace graphics_test
