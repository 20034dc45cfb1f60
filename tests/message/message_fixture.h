// A small screen, the headless host with its synthetic font, a fresh game
// folder and default render settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "message/rendersettings.h"
#include "mftwriter.h"
#include "platform/headless/headless.h"
#include "support/dwq_picture.h"
#include "support/temp_dir.h"

namespace message_test {

class MessageTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    ResetPictureLoader();
    InitPictureLoader(dwq::kDecodeMegabytes);
    ResetRenderSettings();
    MakeScreen(kW, kH);
  }
  void TearDown() override {
    screen_.reset();
    ResetPictureLoader();
    ResetRenderSettings();
  }
  void MakeScreen(int w, int h) {
    screen_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
  }

  static uint32_t& Screen(int x, int y) {
    return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * CScreenBuffer::GetWidth() + x];
  }
  static void FillScreen(uint32_t colour) {
    std::fill_n(CScreenBuffer::GetBuffer(),
                static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight(),
                colour);
  }

  // Writes "sys\spfont24": glyph columns of 50 x 48, inked where inked(g, x, y).
  template <typename Inked>
  void WriteSpecialFont(int glyphs, Inked inked) {
    dwqtool::Picture p{50 * glyphs, 48, {}, {}};
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 50 * glyphs; ++x)
        p.pixels.push_back(inked(x / 50 + 1, x % 50, y) ? 0x00FFFFFFu : 0u);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(dwqtool::MakeDwq(p, {}, &bytes, &error)) << error;
    dir_.Write("dwq/sys/spfont24.dwq", std::string(bytes.begin(), bytes.end()));
  }

  // Writes "sys\<name>": a w x h picture of one colour with a full mask.
  void WritePicture(const std::string& name, int w, int h, uint32_t colour) {
    testsupport::WriteDwq(dir_, "sys/" + name, w, h, colour);
  }

  void WriteUserFont(const std::string& name, const std::string& text) {
    mfttool::Font font;
    std::string error;
    ASSERT_TRUE(mfttool::ParseFontText(text, &font, &error)) << error;
    const std::vector<uint8_t> bytes = mfttool::MakeMft(font);
    dir_.Write("mok/" + name + ".mft", std::string(bytes.begin(), bytes.end()));
  }

  static constexpr int kW = 320;
  static constexpr int kH = 120;
  platform::HeadlessBackend* host_ = nullptr;
  testsupport::TempDir dir_;
  std::unique_ptr<CScreenBuffer> screen_;
};

}  // namespace message_test
