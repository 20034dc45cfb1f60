// A page of text on an 800 x 600 screen: 15 lines of 30 characters at size
// 24, drawn from the rendered-line cache (what every frame of a shown page
// costs) and rendered cold (what the first frame of a page costs), through
// the synthetic font and through FreeType with a shadow and with a full
// outline. The reference is memcpy of the page's pixel and mask bytes.
// TextPageFirst and TextPageRerender are the game's message page with the
// IPA fonts and its shadow, read against FreeTypePageAA, FreeType's own
// anti-aliased rendering of the same characters. Without the IPA fonts the
// program says so and exits with 1.
//
// Measured (Release, the 8-core build machine under the load of other
// builds, CPU time, medians of 7): memcpy 0.069 ms; the page from the cache
// 0.113 ms; cold through the synthetic font 3.6 ms, through FreeType with
// the shadow 1.19 ms and with the full outline 2.5 ms. The first page
// 2.71 ms against FreeType's 2.06 ms (1.32 x); re-rendered 1.19 ms against
// 1.82 ms (0.65 x). Before the fonts were opened lazily, fontconfig loaded
// once and the ink counted by one-colour passes: 12.5 ms against 1.94 ms
// (6.4 x) and 4.96 ms against 1.80 ms (2.8 x).
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/memcpy_reference.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/headless/headless.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kLines = 15, kCells = 30, kSize = 24;
// Each line's rendered pixels and mask bytes.
constexpr int64_t kPageBytes = int64_t{kLines} * kCells * kSize * kSize * 5;

BENCHMARK(benchsupport::Memcpy)->Arg(kPageBytes);

std::vector<std::string> PageLines() {
  const std::string base = platform::Utf8ToCp932(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
      "ニャーニャー泣いていた事だけは記憶している。吾輩はここで始めて人間というものを見た。");
  std::vector<std::string> lines;
  for (int i = 0; i < kLines; ++i) {
    const size_t start = static_cast<size_t>(i * 2) % (base.size() - 2 * kCells);
    lines.push_back(base.substr(start & ~size_t{1}, 2 * kCells));
  }
  return lines;
}

struct Page {
  explicit Page(bool realFonts, int fukuroMoji) {
    host = &platform::InstallHeadless();
    host->SetBoxEcho(false);
    if (realFonts) host->SetGlyphService(platform::CreateFreeTypeGlyphs());
    ResetRenderSettings();
    SetFukuroMoji(fukuroMoji);
    InitPictureLoader(dwq::kDecodeMegabytes);
    screen = std::make_unique<CScreenBuffer>(kW, kH, 0);
    font = std::make_unique<CFontPrint>();
    lines = PageLines();
  }
  ~Page() {
    font.reset();
    screen.reset();
    ReleasePictureLoader();
    ResetPictureLoader();
  }
  void Draw() {
    font->BeginPrint(kSize);
    for (int i = 0; i < kLines; ++i) {
      const std::string& line = lines[static_cast<size_t>(i)];
      const LineKey key = MakeLineKey(line.c_str(), line.c_str(), static_cast<int>(line.size()));
      const int size = font->RenderLine(key, line.data(), 255, 255, 255, 0, 0x000000, nullptr, 0,
                                        kCells, nullptr, nullptr);
      font->DrawLine(20, 20 + i * 28, 0, 0, size & 0xFFFF, size >> 16);
    }
    font->EndPrint();
    CScreenBuffer::ClearDirtyRects();
  }
  platform::HeadlessBackend* host = nullptr;
  std::unique_ptr<CScreenBuffer> screen;
  std::unique_ptr<CFontPrint> font;
  std::vector<std::string> lines;
};

void PageFromCache(benchmark::State& state) {
  Page page(false, 0);
  page.Draw();
  for (auto _ : state) {
    page.Draw();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK(PageFromCache);

// The gothic face's file, looked up once. The real fonts must be there:
// without them the FreeType cases would measure blank cells, so each of
// them ends with an error (and the binary fails) instead.
const platform::FontFile& GothicFile() {
  static const platform::FontFile file = [] {
    platform::FontFile found;
    if (!platform::FindFontFile(platform::Utf8ToCp932("ＭＳ ゴシック"), 400, &found) ||
        found.family != "IPAGothic") {
      found = platform::FontFile{};
    }
    return found;
  }();
  return file;
}

bool RealFontsReady(benchmark::State& state) {
  if (!GothicFile().path.empty()) return true;
  state.SkipWithError("the IPAGothic font is not installed (scripts/deps.sh)");
  return false;
}

void PageCold(benchmark::State& state, bool realFonts, int fukuroMoji) {
  if (realFonts && !RealFontsReady(state)) return;
  Page page(realFonts, fukuroMoji);
  page.Draw();  // glyph bitmaps cached once, as a running game has them
  for (auto _ : state) {
    page.font->ClearTextLayer();
    page.Draw();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kPageBytes);
}
BENCHMARK_CAPTURE(PageCold, synthetic_shadow, false, 0);
BENCHMARK_CAPTURE(PageCold, freetype_shadow, true, 0);
BENCHMARK_CAPTURE(PageCold, freetype_full_outline, true, 2);

// The message page with the default bold IPA gothic and its shadow, as the
// game shows it. First: a new glyph service and renderer, every face and
// glyph opened and rasterised for the page. Rerender: the glyphs cached,
// the lines drawn again.
void TextPageFirst(benchmark::State& state) {
  if (!RealFontsReady(state)) return;
  Page page(true, 0);
  for (auto _ : state) {
    page.font.reset();
    page.host->SetGlyphService(platform::CreateFreeTypeGlyphs());
    page.font = std::make_unique<CFontPrint>();
    page.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(TextPageFirst)->Unit(benchmark::kMillisecond);

void TextPageRerender(benchmark::State& state) {
  if (!RealFontsReady(state)) return;
  Page page(true, 0);
  page.Draw();
  for (auto _ : state) {
    page.font->ClearTextLayer();
    page.Draw();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(TextPageRerender)->Unit(benchmark::kMillisecond);

// The peer: FreeType's own anti-aliased rendering of the same page, the
// same characters at the size shown (cells s rows high), each blended into
// an 8-bit coverage page, by its quickest path: unhinted and not
// emboldened. First: the library and face opened for the page; rerender:
// the face open, every glyph loaded and rendered again (FreeType keeps no
// glyph images).
void FreeTypePageAA(benchmark::State& state, bool first) {
  if (!RealFontsReady(state)) return;
  const std::vector<std::string> lines = PageLines();
  std::vector<std::u32string> text;
  for (const std::string& line : lines)
    text.push_back(platform::Utf8ToCodePoints(platform::Cp932ToUtf8(line)));
  std::vector<uint8_t> coverage(static_cast<size_t>(kW) * kH);
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int baseline = 0;
  auto open = [&]() {
    if (FT_Init_FreeType(&library) != 0 ||
        FT_New_Face(library, GothicFile().path.c_str(), GothicFile().index, &face) != 0)
      return false;
    const FT_Long cell = face->ascender - face->descender;
    const FT_F26Dot6 em = static_cast<FT_F26Dot6>(int64_t{kSize} * 64 * face->units_per_EM / cell);
    FT_Set_Char_Size(face, em, em, 72, 72);
    baseline = static_cast<int>((int64_t{face->ascender} * em / face->units_per_EM + 32) >> 6);
    return true;
  };
  auto close = [&]() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
    face = nullptr;
    library = nullptr;
  };
  auto render = [&]() {
    std::fill(coverage.begin(), coverage.end(), uint8_t{0});
    for (size_t i = 0; i < text.size(); ++i) {
      const int top = 20 + static_cast<int>(i) * 28;
      int x = 20;
      for (char32_t c : text[i]) {
        if (FT_Load_Char(face, c, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) == 0) {
          FT_GlyphSlot slot = face->glyph;
          if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bm = slot->bitmap;
            for (unsigned row = 0; row < bm.rows; ++row) {
              const int py = top + baseline - slot->bitmap_top + static_cast<int>(row);
              if (py < 0 || py >= kH) continue;
              for (unsigned col = 0; col < bm.width; ++col) {
                const int px = x + slot->bitmap_left + static_cast<int>(col);
                if (px < 0 || px >= kW) continue;
                uint8_t& to = coverage[static_cast<size_t>(py) * kW + px];
                to = std::max(to, bm.buffer[static_cast<ptrdiff_t>(row) * bm.pitch + col]);
              }
            }
          }
        }
        x += kSize;
      }
    }
  };
  if (!first && !open()) {
    state.SkipWithError("FreeType cannot open the gothic face");
    close();
    return;
  }
  for (auto _ : state) {
    if (first) {
      if (!open()) {
        state.SkipWithError("FreeType cannot open the gothic face");
        break;
      }
    }
    render();
    if (first) close();
    benchmark::DoNotOptimize(coverage.data());
    benchmark::ClobberMemory();
  }
  close();
}
BENCHMARK_CAPTURE(FreeTypePageAA, first, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreeTypePageAA, rerender, false)->Unit(benchmark::kMillisecond);

}  // namespace
