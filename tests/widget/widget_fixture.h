// Widgets on a small screen: a fresh game folder, the headless host, a fake
// input state (mouse and keys), settings lists made in memory and pictures
// made by the picture writer library.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dwqwriter.h"
#include "game/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "support/temp_dir.h"

namespace widget_test {

class WidgetTest : public testing::Test {
 public:
  static constexpr int kW = 64;
  static constexpr int kH = 48;

 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    ResetPictureLoader();
    screen_ = std::make_unique<CScreenBuffer>(kW, kH, 0);
    input_.SetMouseStatus(&mouse_);
    input_.SetKeyStatus(&keys_);
    mouse_.Clear(1);
  }
  void TearDown() override {
    pictures_.clear();
    screen_.reset();
    ResetPictureLoader();
  }

  // A settings list of key/value pairs.
  static std::unique_ptr<CNameList> List(std::initializer_list<std::pair<const char*, const char*>> pairs) {
    auto list = std::make_unique<CNameList>(0);
    for (const auto& [key, value] : pairs) {
      list->Add(key, true);
      list->Add(value, true);
    }
    return list;
  }

  // --- Input: one frame's worth, as the game's window handler leaves it ---
  void NextFrame() {
    mouse_.Calcu();
    mouse_.SetWheel(0);
    keys_.Clear();
  }
  void MoveTo(int x, int y) { mouse_.SetPos(x, y); }
  void Click(int button = 0) {
    mouse_.SetButton(button, 1);
    mouse_.SetButton(button, 0);
  }

  // --- Pictures ---
  // Writes "dwq\\<name>.dwq" and loads it.
  CPicture* Load(const std::string& name, const dwqtool::Picture& picture, bool mask) {
    dwqtool::Options options;
    options.mask = mask;
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(dwqtool::MakeDwq(picture, options, &bytes, &error)) << error;
    std::string rel = "dwq/" + name + ".dwq";
    for (char& c : rel)
      if (c == '\\') c = '/';
    dir_.Write(rel, std::string(bytes.begin(), bytes.end()));
    auto loaded = std::make_unique<CPicture>();
    EXPECT_EQ(loaded->LoadDWQ(name.c_str()), 1) << name;
    pictures_.push_back(std::move(loaded));
    return pictures_.back().get();
  }
  // w x h pixels, colour of(x, y); alpha from alphaOf when mask is set.
  template <typename ColourOf, typename AlphaOf>
  static dwqtool::Picture Pixels(int w, int h, ColourOf colourOf, AlphaOf alphaOf) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        p.pixels.push_back(colourOf(x, y));
        p.alpha.push_back(alphaOf(x, y));
      }
    return p;
  }
  template <typename ColourOf>
  static dwqtool::Picture Pixels(int w, int h, ColourOf colourOf) {
    return Pixels(w, h, colourOf, [](int, int) { return uint8_t{255}; });
  }

  // --- Screen ---
  static uint32_t& At(int x, int y) {
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
  }
  static void Fill(uint32_t colour) {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) At(x, y) = colour;
  }
  // Bounding rectangle (x, y, right, bottom) of the pixels that differ from
  // the background; all 0 when none.
  static std::vector<int> Drawn(uint32_t background) {
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
  std::unique_ptr<CScreenBuffer> screen_;
  CMouseStatus mouse_;
  CMyKeyStatus keys_;
  CInputStatus input_;
  std::vector<std::unique_ptr<CPicture>> pictures_;
};

}  // namespace widget_test
