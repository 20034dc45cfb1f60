// Lines of Japanese text through CFontPrint with the FreeType glyphs: the
// reduced pixels and coverage of each line, compared byte for byte with
// hashes taken from the renderer as it stands. The hashes hold for the IPA
// fonts and the FreeType of scripts/deps.sh; a change of either changes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/headless/headless.h"

namespace {

uint64_t Fnv(uint64_t h, const void* data, size_t n) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}

struct Line {
  const char* name;
  const char* utf8;
  int size;
  int fukuro;   // shadow or outline shape
  int outline;  // outline colour, -1 for none
  int spacing;
  int weight;
  bool italic;
  bool cellColours;  // a colour of its own for each cell
  uint64_t hash;
};

class FreeTypePage : public testing::Test {
 protected:
  void SetUp() override {
    platform::FontFile file;
    if (!platform::FindFontFile(platform::Utf8ToCp932("ＭＳ ゴシック"), 400, &file) ||
        file.family != "IPAGothic")
      GTEST_SKIP() << "IPAGothic is not installed (scripts/deps.sh)";
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    host_->SetGlyphService(platform::CreateFreeTypeGlyphs());
    ResetPictureLoader();
    InitPictureLoader(dwq::kDecodeMegabytes);
    ResetRenderSettings();
    screen_ = std::make_unique<CScreenBuffer>(400, 120, 0);
  }
  void TearDown() override {
    screen_.reset();
    ResetPictureLoader();
    ResetRenderSettings();
  }

  // The hash of the line's reduced pixels and coverage.
  static uint64_t Render(const Line& line) {
    RenderSettings().fontWeight = line.weight;
    RenderSettings().fontItalic = line.italic ? 1 : 0;
    SetFukuroMoji(line.fukuro);
    CFontPrint font;
    const std::string cells = platform::Utf8ToCp932(line.utf8);
    const int n = static_cast<int>(cells.size() / 2);
    std::vector<uint32_t> colours;
    for (int i = 0; i < n; ++i)
      colours.push_back(0x102030u * static_cast<uint32_t>(i + 1) & 0x00FFFFFFu);
    font.BeginPrint(line.size);
    const LineKey key = MakeLineKey(cells.c_str(), cells.c_str(), static_cast<int>(cells.size()));
    const int result =
        font.RenderLine(key, cells.data(), 255, 240, 200, line.spacing, line.outline,
                        line.cellColours ? colours.data() : nullptr, 0, n, nullptr, nullptr);
    font.EndPrint();
    const int width = result & 0xFFFF, rows = result >> 16;
    const CPicture* work = font.GetWorkPicture();
    uint64_t h = 0xCBF29CE484222325ull;
    for (int y = 0; y < rows; ++y) {
      const size_t at = static_cast<size_t>(y) * work->GetWidth();
      h = Fnv(h, work->GetPixelBuffer() + at, static_cast<size_t>(width) * 4);
      h = Fnv(h, work->GetMask() + at, static_cast<size_t>(width));
    }
    return h;
  }

  static CFontRenderSettings& RenderSettings() { return GetRenderSettings(); }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<CScreenBuffer> screen_;
};

TEST_F(FreeTypePage, LinesAreDrawnByteForByteAsBefore) {
  const Line lines[] = {
      {"shadow", "吾輩は猫である。名前はまだ無い。", 24, 0, 0x000000, 0, 700, false, false, 0x0078596b04e1306full},
      {"full outline", "どこで生れたかとんと見当がつかぬ。", 24, 2, 0x2040C0, 0, 700, false,
       false, 0x8f9e7825f8884676ull},
      {"no outline, regular", "ニャーニャー泣いていた事だけは", 20, 0, -1, 0, 400, false, false, 0x655a82e4439ae08eull},
      {"bold italic, small", "記憶している。ＡＢＣ―～", 14, 1, 0x808080, 1, 700, true, false, 0xd8219387a686af55ull},
      // Cells drawn over each other: the colours of a block are averaged.
      {"overlapping coloured cells", "人間というものを見た。", 22, 2, 0x000000, -6, 700, false,
       true, 0x7bb4fd9a055aa661ull},
      // Wider than the 400-pixel screen: clipped on the right.
      {"clipped", "吾輩はここで始めて人間というものを見た。しかもあとで聞くと", 24, 2, 0x000000, 0,
       700, false, false, 0x71672f806ce769c6ull},
  };
  for (const Line& line : lines) {
    const uint64_t h = Render(line);
    EXPECT_EQ(h, line.hash) << line.name << ": 0x" << std::hex << h;
  }
}

}  // namespace
