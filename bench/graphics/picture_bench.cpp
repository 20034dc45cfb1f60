// Pictures on an 800 x 600 screen: the opaque, colour-keyed and masked blits
// of a full-screen picture and the load of a packed picture file, each
// beside a memcpy of the same bytes so the ratio can be read. The rows of a
// 24-bit body (fast and plain) and the load of a 24-bit picture file with
// its mask are read against a memcpy of the body's bytes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "graphics/bltrows.h"
#include "graphics/rowops.h"
#include "bench/support/memcpy_reference.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kPixels = size_t{kW} * kH;
constexpr size_t kBytes = kPixels * 4;

constexpr size_t kBodyBytes = kPixels * 3;
BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));
BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBodyBytes));
const char* const kVsBody = "vs:Memcpy/1440000";

// A character-like picture: an opaque ellipse with a soft edge on a
// transparent (keyed) background, and a busy colour pattern inside.
std::unique_ptr<CPicture> MakeSprite() {
  auto picture = std::make_unique<CPicture>(kW, kH, 1);
  uint32_t* px = picture->GetPixelBuffer();
  unsigned char* mask = picture->GetMask();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const double dx = (x - 400) / 300.0, dy = (y - 300) / 280.0;
      const double d = dx * dx + dy * dy;
      const size_t i = static_cast<size_t>(y) * kW + x;
      const int m = d < 0.9 ? 255 : d > 1.0 ? 0 : static_cast<int>((1.0 - d) * 2550);
      mask[i] = static_cast<unsigned char>(m);
      px[i] = m ? (static_cast<uint32_t>(x * 7 + y) & 0xFFFFFF) | 0x010101 : 0x00FF00FF;
    }
  px[0] = 0x00FF00FF;
  return picture;
}

template <typename Draw>
void OnScreen(benchmark::State& state, Draw draw) {
  CScreenBuffer screen(kW, kH, 0);
  auto sprite = MakeSprite();
  for (auto _ : state) {
    draw(*sprite);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void OpaqueBltFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& p) { p.Put(0, 0, 0); });
}
BENCHMARK(OpaqueBltFullScreen);

void KeyedBltFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& p) {
    p.SetMaskFlag(0);
    p.Put(0, 0, 1);
  });
}
BENCHMARK(KeyedBltFullScreen);

void MaskedBltFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& p) { p.Put(0, 0, 1); });
}
BENCHMARK(MaskedBltFullScreen);

// The plain loops the fast rows are checked against, for the record.
void KeyedRowsScalar(benchmark::State& state) {
  OnScreen(state, [](CPicture& p) {
    const uint32_t* src = p.GetPixelBuffer();
    uint32_t* dst = CScreenBuffer::GetBuffer();
    for (int y = 0; y < kH; ++y) bltrows::KeyedScalar(dst + y * kW, src + y * kW, kW, src[0]);
  });
}
BENCHMARK(KeyedRowsScalar);

void MaskRowsScalar(benchmark::State& state) {
  OnScreen(state, [](CPicture& p) {
    const uint32_t* src = p.GetPixelBuffer();
    uint32_t* dst = CScreenBuffer::GetBuffer();
    for (int y = 0; y < kH; ++y)
      bltrows::MaskScalar(dst + y * kW, src + y * kW, p.GetMask() + y * kW, kW);
  });
}
BENCHMARK(MaskRowsScalar);

// The rows of an 800 x 600 24-bit body into the picture's words.
template <void (*Rows)(const unsigned char*, uint32_t*, size_t)>
void Rgb24Rows(benchmark::State& state) {
  std::vector<unsigned char> body(kBodyBytes);
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<unsigned char>(i * 7 + i / 2400);
  std::vector<uint32_t> pixels(kPixels);
  for (auto _ : state) {
    for (int y = 0; y < kH; ++y)
      Rows(body.data() + size_t{3} * kW * y, pixels.data() + size_t{kW} * y, kW);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(kVsBody);
}
BENCHMARK(Rgb24Rows<rowops::RgbToPixels>)->Name("Rgb24Rows");
BENCHMARK(Rgb24Rows<rowops::RgbToPixelsScalar>)->Name("Rgb24RowsPlain");

// A folder of the benchmark's own with a dwq folder, made the game folder;
// empty when none can be made.
std::string PictureFolder(benchmark::State& state) {
  platform::InstallHeadless().SetBoxEcho(false);
  std::string folder = (std::filesystem::temp_directory_path() / "zor-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) {
    state.SkipWithError("no temporary folder");
    return {};
  }
  std::filesystem::create_directories(folder + "/dwq");
  platform::SetGameFolder(folder);
  return folder;
}

// An 800 x 600 24-bit picture with a mask (an opaque middle, soft edges),
// read from a file each time.
void LoadBmp24Masked800x600(benchmark::State& state) {
  const std::string folder = PictureFolder(state);
  if (folder.empty()) return;
  dwqtool::Picture picture{kW, kH, {}, {}};
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      picture.pixels.push_back((static_cast<uint32_t>(x * 7 + y * 3) * 0x010305u) & 0xFFFFFF);
      picture.alpha.push_back(x < 100 || x >= 700 ? 0 : x < 116 ? (x - 100) * 16 : 255);
    }
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kBmp24;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  dwqtool::MakeDwq(picture, options, &bytes, &error);
  dwqtool::WriteBytes(folder + "/dwq/cg.dwq", bytes);
  InitPictureLoader(dwq::kDecodeMegabytes);
  CPicture loaded;
  for (auto _ : state) {
    loaded.ClearName();
    if (!loaded.LoadDWQ("cg")) state.SkipWithError("load failed");
    benchmark::ClobberMemory();
  }
  state.SetLabel(kVsBody);
  std::filesystem::remove_all(folder);
}
BENCHMARK(LoadBmp24Masked800x600);

// An 800 x 600 packed picture with its mask, read from a file each time.
void LoadPacked800x600(benchmark::State& state) {
  const std::string folder = PictureFolder(state);
  if (folder.empty()) return;
  dwqtool::Indexed picture{kW, kH, {}, {}};
  for (int i = 0; i < 200; ++i) picture.palette.push_back(static_cast<uint32_t>(i) * 0x010203u);
  std::vector<uint8_t> alpha;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      picture.indices.push_back(
          static_cast<uint8_t>((x / 6 + (y / 5) * 3 + (x * y % 7 == 0)) % 200));
      alpha.push_back(x > 100 && x < 700 ? 255 : 0);
    }
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kPacked;
  std::vector<uint8_t> bytes;
  std::string error;
  dwqtool::MakeDwqIndexed(picture, alpha, options, &bytes, &error);
  dwqtool::WriteBytes(folder + "/dwq/cg.dwq", bytes);
  state.counters["file_bytes"] = static_cast<double>(bytes.size());

  InitPictureLoader(dwq::kDecodeMegabytes);
  CScreenBuffer screen(kW, kH, 0);
  CPicture loaded;
  for (auto _ : state) {
    loaded.ClearName();
    if (!loaded.LoadDWQ("cg")) state.SkipWithError("load failed");
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
  std::filesystem::remove_all(folder);
}
BENCHMARK(LoadPacked800x600);

}  // namespace
