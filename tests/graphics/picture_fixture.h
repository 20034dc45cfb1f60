// Pictures on a small screen: a fresh game folder, the headless host and
// picture files made by the writer library.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "platform/headless/headless.h"
#include "screen_fixture.h"
#include "support/temp_dir.h"

namespace graphics_test {

class PictureTest : public ScreenTest {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    ResetPictureLoader();
    ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
    ScreenTest::SetUp();
  }
  void TearDown() override {
    CPicture::FailAllocations(0);
    ScreenTest::TearDown();
    ResetPictureLoader();
  }

  // Writes the picture file of name (as the game spells it, '\' between
  // folders) into the picture folder.
  void WriteDwq(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string rel = "dwq/" + name + ".dwq";
    for (char& c : rel)
      if (c == '\\') c = '/';
    dir_.Write(rel, std::string(bytes.begin(), bytes.end()));
  }
  std::vector<uint8_t> Make(const dwqtool::Picture& picture, const dwqtool::Options& options) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(dwqtool::MakeDwq(picture, options, &out, &error)) << error;
    return out;
  }
  void WritePicture(const std::string& name, const dwqtool::Picture& picture,
                    const dwqtool::Options& options = {}) {
    WriteDwq(name, Make(picture, options));
  }

  // w x h pixels, each a distinct colour; alpha (when asked) from alphaOf.
  template <typename AlphaOf>
  static dwqtool::Picture Pattern(int w, int h, AlphaOf alphaOf) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        p.pixels.push_back(0x00102030u + static_cast<uint32_t>(y) * 0x010000u +
                           static_cast<uint32_t>(x) * 0x000101u);
        p.alpha.push_back(alphaOf(x, y));
      }
    return p;
  }
  static dwqtool::Picture Pattern(int w, int h) {
    dwqtool::Picture p = Pattern(w, h, [](int, int) { return uint8_t{255}; });
    p.alpha.clear();
    return p;
  }

  // Screen pixels that differ from background, as a bounding rectangle
  // (x, y, right, bottom); all zero when nothing differs.
  static std::vector<int> DrawnRect(uint32_t background) {
    int left = kW, top = kH, right = 0, bottom = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != background) {
          left = std::min(left, x);
          top = std::min(top, y);
          right = std::max(right, x + 1);
          bottom = std::max(bottom, y + 1);
        }
    if (right == 0) return {0, 0, 0, 0};
    return {left, top, right, bottom};
  }

  platform::HeadlessBackend* host_ = nullptr;
  testsupport::TempDir dir_;
};

}  // namespace graphics_test
