// Widgets on the small screen of the picture tests (pictures made by the
// picture writer library, a fresh game folder, the headless host), with a
// fake input state (mouse and keys) and settings lists made in memory.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "input/inputstatus.h"
#include "graphics/picture_fixture.h"
#include "graphics/screenbuffer.h"
#include "setup/namelist.h"

namespace widget_test {

class WidgetTest : public graphics_test::PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    input_.SetMouseStatus(&mouse_);
    input_.SetKeyStatus(&keys_);
    mouse_.Clear(1);
  }
  void TearDown() override {
    pictures_.clear();
    PictureTest::TearDown();
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
  // Writes "dwq\\<name>.dwq" and loads it; the test keeps it.
  CPicture* Load(const std::string& name, const dwqtool::Picture& picture, bool mask) {
    dwqtool::Options options;
    options.mask = mask;
    WritePicture(name, picture, options);
    auto loaded = std::make_unique<CPicture>();
    EXPECT_EQ(loaded->LoadDWQ(name.c_str()), 1) << name;
    pictures_.push_back(std::move(loaded));
    return pictures_.back().get();
  }
  // w x h pixels, colour of(x, y), opaque where a mask is written.
  template <typename ColourOf>
  static dwqtool::Picture Pixels(int w, int h, ColourOf colourOf) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.pixels.push_back(colourOf(x, y));
    return p;
  }
  template <typename ColourOf, typename AlphaOf>
  static dwqtool::Picture Pixels(int w, int h, ColourOf colourOf, AlphaOf alphaOf) {
    dwqtool::Picture p = Pixels(w, h, colourOf);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.alpha.push_back(alphaOf(x, y));
    return p;
  }

  // "sys\\<name>": cols x rows cells of cw x ch, cell (c, r) coloured
  // colourOf(c, r), opaque through its mask.
  template <typename ColourOf>
  void WriteCells(const std::string& name, int cols, int rows, int cw, int ch, ColourOf colourOf) {
    dwqtool::Options options;
    options.mask = true;
    WritePicture("sys\\" + name,
                 Pixels(cols * cw, rows * ch, [&](int x, int y) { return colourOf(x / cw, y / ch); },
                        [](int, int) { return uint8_t{255}; }),
                 options);
  }
  // The screen buffer's dirty rectangles (x, y, w, h) in order.
  static std::vector<std::array<int, 4>> DirtyRects() {
    std::vector<std::array<int, 4>> out;
    for (int i = 0; i < CScreenBuffer::GetDirtyRectCount(); ++i) {
      std::array<int, 4> r{};
      CScreenBuffer::GetDirtyRect(i, &r[0], &r[1], &r[2], &r[3]);
      out.push_back(r);
    }
    return out;
  }

  CMouseStatus mouse_;
  CMyKeyStatus keys_;
  CInputStatus input_;
  std::vector<std::unique_ptr<CPicture>> pictures_;
};

}  // namespace widget_test
