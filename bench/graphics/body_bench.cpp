// JPEG and PNG picture bodies at 800 x 600: the engine's JPEG decoder on
// both transform paths beside libjpeg decoding the same stream in the same
// run (so the ratio can be read), and the load of a PNG picture file with
// alpha beside libpng's own decode of the same stream. The JPEG decoders
// also run over real photographs (see photos.sh, which installs them), at
// 4:2:0 and 4:4:4, and on SSE2 alone as well; memcpy of one decoded picture
// is the reference beside.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>
#include <stdlib.h>

#include <cmath>
#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/support/memcpy_reference.h"
#include "bench/support/unavailable.h"

#include "dwqwriter.h"
#include "graphics/blendrows.h"
#include "graphics/jpegdecoder.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;

using Streams = std::vector<std::vector<uint8_t>>;

// One decoded picture: 1.92 MB, small enough to stay in cache.
BENCHMARK(benchsupport::Memcpy)->Arg(int64_t{kW} * kH * 4);

// A picture like a game's background: soft gradients, a few shapes with
// dark outlines, some fine texture.
dwqtool::Picture Scene() {
  dwqtool::Picture p{kW, kH, {}, {}};
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      int r = 90 + static_cast<int>(70 * std::sin(x / 90.0) + 40 * std::cos(y / 70.0));
      int g = 110 + static_cast<int>(60 * std::cos((x + y) / 120.0));
      int b = 150 + static_cast<int>(50 * std::sin(y / 50.0 - x / 200.0));
      const double dx = (x - 420) / 160.0, dy = (y - 330) / 210.0, d = dx * dx + dy * dy;
      if (d < 1.0) {
        r = 235 - static_cast<int>(40 * d);
        g = 200 - static_cast<int>(30 * d);
        b = 180;
      }
      if (std::fabs(d - 1.0) < 0.02) r = g = b = 30;
      // Fine grain, as in a painted or photographed picture.
      const uint32_t grain =
          (static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u) >> 27;
      r += static_cast<int>(grain) - 16;
      g += static_cast<int>(grain >> 1) - 8;
      auto clamp = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
      p.pixels.push_back(clamp(r) << 16 | clamp(g) << 8 | clamp(b));
      p.alpha.push_back(static_cast<uint8_t>(d < 1.1 ? 255 : (x * 255) / kW));
    }
  return p;
}

const std::vector<uint8_t>& Jpeg420() {
  static const std::vector<uint8_t> bytes = [] {
    dwqtool::Options options;
    options.jpegQuality = 90;
    options.jpegSampling = dwqtool::JpegSampling::k420;
    std::vector<uint8_t> out;
    std::string error;
    dwqtool::EncodeJpeg(Scene(), options, &out, &error);
    return out;
  }();
  return bytes;
}

// The engine's decoder over every stream of a set; items are pixels.
void EngineJpeg(benchmark::State& state, const Streams& set, int floatPath) {
  CJpegDecoder decoder;
  decoder.CreateWorkArea();
  CJpegDecoder::SetNoMmx(floatPath);
  CPicture picture;
  for (auto _ : state) {
    for (const std::vector<uint8_t>& jpeg : set)
      if (!decoder.Decode(jpeg.data(), jpeg.size(), &picture)) state.SkipWithError("decode failed");
    benchmark::ClobberMemory();
  }
  CJpegDecoder::SetNoMmx(0);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * set.size()) * kW * kH);
}

const Streams& Synthetic() {
  static const Streams set{Jpeg420()};
  return set;
}

void JpegEngineFixed(benchmark::State& state) {
  EngineJpeg(state, Synthetic(), 0);
  state.counters["jpeg_bytes"] = static_cast<double>(Jpeg420().size());
}
BENCHMARK(JpegEngineFixed);

void JpegEngineFloat(benchmark::State& state) {
  EngineJpeg(state, Synthetic(), 1);
  state.counters["jpeg_bytes"] = static_cast<double>(Jpeg420().size());
}
BENCHMARK(JpegEngineFloat);

struct LibjpegRun {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jmp_buf jump;
};

void OnLibjpegError(j_common_ptr cinfo) {
  std::longjmp(static_cast<LibjpegRun*>(cinfo->client_data)->jump, 1);
}

// libjpeg into 32-bit pixels as the engine writes them; fancy up-sampling
// (libjpeg's default) or replicated chroma (what the engine does).
bool LibjpegDecode(LibjpegRun* run, const std::vector<uint8_t>& jpeg, bool fancy,
                   std::vector<uint32_t>* out) {
  if (setjmp(run->jump)) return false;
  jpeg_decompress_struct& c = run->cinfo;
  jpeg_mem_src(&c, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_EXT_BGRX;
  c.do_fancy_upsampling = fancy ? TRUE : FALSE;
  jpeg_start_decompress(&c);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row =
        reinterpret_cast<JSAMPROW>(out->data() + static_cast<size_t>(c.output_scanline) * kW);
    jpeg_read_scanlines(&c, &row, 1);
  }
  jpeg_finish_decompress(&c);
  return true;
}

void Libjpeg(benchmark::State& state, const Streams& set, bool fancy) {
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH);
  LibjpegRun run;
  run.cinfo.err = jpeg_std_error(&run.errors);
  run.errors.error_exit = OnLibjpegError;
  run.cinfo.client_data = &run;
  jpeg_create_decompress(&run.cinfo);
  for (auto _ : state) {
    for (const std::vector<uint8_t>& jpeg : set)
      if (!LibjpegDecode(&run, jpeg, fancy, &pixels)) state.SkipWithError("libjpeg failed");
    benchmark::ClobberMemory();
  }
  jpeg_destroy_decompress(&run.cinfo);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * set.size()) * kW * kH);
}

// The same work as the engine: replicated chroma, accurate integer transform.
void JpegLibjpeg(benchmark::State& state) { Libjpeg(state, Synthetic(), false); }
BENCHMARK(JpegLibjpeg);

// libjpeg's defaults, for the record.
void JpegLibjpegFancy(benchmark::State& state) { Libjpeg(state, Synthetic(), true); }
BENCHMARK(JpegLibjpegFancy);

// --- Real photographs ---

constexpr const char* kPhotoFolder = "/usr/share/backgrounds/mate/nature/";
constexpr const char* kPhotos[] = {"Aqua.jpg",        "Dune.jpg",    "FreshFlower.jpg",
                                   "GreenMeadow.jpg", "LadyBird.jpg", "Storm.jpg"};

// A photograph decoded by libjpeg to RGB, scaled down by a power of two
// while it still covers 800 x 600.
bool DecodeRgb(LibjpegRun* run, const std::vector<uint8_t>& bytes, std::vector<uint8_t>* rgb,
               int* w, int* h) {
  if (setjmp(run->jump)) return false;
  jpeg_decompress_struct& c = run->cinfo;
  jpeg_mem_src(&c, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&c, TRUE);
  c.out_color_space = JCS_RGB;
  c.scale_num = 1;
  c.scale_denom = 1;
  while (c.scale_denom < 8 && c.image_width / (c.scale_denom * 2) >= static_cast<unsigned>(kW) &&
         c.image_height / (c.scale_denom * 2) >= static_cast<unsigned>(kH))
    c.scale_denom *= 2;
  jpeg_start_decompress(&c);
  const size_t stride = size_t{c.output_width} * 3;
  rgb->resize(stride * c.output_height);
  while (c.output_scanline < c.output_height) {
    JSAMPROW row = rgb->data() + stride * c.output_scanline;
    jpeg_read_scanlines(&c, &row, 1);
  }
  *w = static_cast<int>(c.output_width);
  *h = static_cast<int>(c.output_height);
  jpeg_finish_decompress(&c);
  return true;
}

// The centre 800 x 600 of a photograph file.
bool ReadPhoto(const std::string& path, dwqtool::Picture* out) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  if (bytes.empty()) return false;
  LibjpegRun run;
  run.cinfo.err = jpeg_std_error(&run.errors);
  run.errors.error_exit = OnLibjpegError;
  run.cinfo.client_data = &run;
  jpeg_create_decompress(&run.cinfo);
  std::vector<uint8_t> rgb;
  int w = 0, h = 0;
  const bool decoded = DecodeRgb(&run, bytes, &rgb, &w, &h);
  jpeg_destroy_decompress(&run.cinfo);
  if (!decoded || w < kW || h < kH) return false;
  *out = dwqtool::Picture{kW, kH, {}, {}};
  const size_t stride = size_t(w) * 3;
  const int x0 = (w - kW) / 2, y0 = (h - kH) / 2;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint8_t* p = rgb.data() + stride * size_t(y0 + y) + size_t(x0 + x) * 3;
      out->pixels.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    }
  return true;
}

// The photographs re-encoded by libjpeg at quality 85; empty when they are
// not installed.
const Streams& Photos(dwqtool::JpegSampling sampling) {
  static Streams sets[3];
  static bool made[3] = {};
  const int at = static_cast<int>(sampling);
  if (!made[at]) {
    made[at] = true;
    dwqtool::Options options;
    options.jpegQuality = 85;
    options.jpegSampling = sampling;
    for (const char* name : kPhotos) {
      dwqtool::Picture photo;
      std::vector<uint8_t> jpeg;
      std::string error;
      if (ReadPhoto(std::string(kPhotoFolder) + name, &photo) &&
          dwqtool::EncodeJpeg(photo, options, &jpeg, &error))
        sets[at].push_back(std::move(jpeg));
    }
  }
  return sets[at];
}

enum class Decoder { kFixed, kFloat, kLibjpeg };

// Items are pixels; per picture = time / (photos in the set). The engine's
// kernels take their 256-bit forms where the processor has AVX2 unless
// wide is false (SSE2 only, as on a processor without them).
void JpegPhotos(benchmark::State& state, dwqtool::JpegSampling sampling, Decoder decoder,
                bool wide = true) {
  const Streams& set = Photos(sampling);
  if (set.empty()) {
    benchsupport::SkipUnavailable(state, "no photographs: run bench/graphics/photos.sh");
    return;
  }
  state.counters["photos"] = static_cast<double>(set.size());
  blendrows::AllowWideRows(wide);
  if (decoder == Decoder::kLibjpeg)
    Libjpeg(state, set, false);
  else
    EngineJpeg(state, set, decoder == Decoder::kFloat ? 1 : 0);
  blendrows::AllowWideRows(true);
}
BENCHMARK_CAPTURE(JpegPhotos, fixed_420, dwqtool::JpegSampling::k420, Decoder::kFixed);
BENCHMARK_CAPTURE(JpegPhotos, float_420, dwqtool::JpegSampling::k420, Decoder::kFloat);
BENCHMARK_CAPTURE(JpegPhotos, libjpeg_420, dwqtool::JpegSampling::k420, Decoder::kLibjpeg);
BENCHMARK_CAPTURE(JpegPhotos, fixed_444, dwqtool::JpegSampling::k444, Decoder::kFixed);
BENCHMARK_CAPTURE(JpegPhotos, float_444, dwqtool::JpegSampling::k444, Decoder::kFloat);
BENCHMARK_CAPTURE(JpegPhotos, libjpeg_444, dwqtool::JpegSampling::k444, Decoder::kLibjpeg);
BENCHMARK_CAPTURE(JpegPhotos, fixed_420_sse2, dwqtool::JpegSampling::k420, Decoder::kFixed, false);
BENCHMARK_CAPTURE(JpegPhotos, float_420_sse2, dwqtool::JpegSampling::k420, Decoder::kFloat, false);
BENCHMARK_CAPTURE(JpegPhotos, fixed_444_sse2, dwqtool::JpegSampling::k444, Decoder::kFixed, false);
BENCHMARK_CAPTURE(JpegPhotos, float_444_sse2, dwqtool::JpegSampling::k444, Decoder::kFloat, false);

// --- PNG ---

std::string MakeGameFolder(std::vector<uint8_t>* png) {
  std::string folder = (std::filesystem::temp_directory_path() / "zor-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return {};
  std::filesystem::create_directories(folder + "/dwq");
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kPng;
  std::vector<uint8_t> file;
  std::string error;
  dwqtool::MakeDwq(Scene(), options, &file, &error);
  dwqtool::WriteBytes(folder + "/dwq/cg.dwq", file);
  png->assign(file.begin() + 64, file.end());
  return folder;
}

void PngLoad800x600Alpha(benchmark::State& state) {
  platform::InstallHeadless().SetBoxEcho(false);
  std::vector<uint8_t> png;
  const std::string folder = MakeGameFolder(&png);
  if (folder.empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  platform::SetGameFolder(folder);
  InitPictureLoader(dwq::kDecodeMegabytes);
  CScreenBuffer screen(kW, kH, 0);
  CPicture loaded;
  for (auto _ : state) {
    loaded.ClearName();
    if (!loaded.LoadDWQ("cg") || !loaded.GetMaskFlag()) state.SkipWithError("load failed");
    benchmark::ClobberMemory();
  }
  state.counters["png_bytes"] = static_cast<double>(png.size());
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kW * kH);
  std::filesystem::remove_all(folder);
}
BENCHMARK(PngLoad800x600Alpha);

// libpng's own decode of the same stream into RGBA, from memory.
void PngLibpng800x600Alpha(benchmark::State& state) {
  std::vector<uint8_t> png;
  const std::string folder = MakeGameFolder(&png);
  std::filesystem::remove_all(folder);
  std::vector<uint8_t> rgba(static_cast<size_t>(kW) * kH * 4);
  for (auto _ : state) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
      state.SkipWithError("libpng failed");
      break;
    }
    image.format = PNG_FORMAT_BGRA;
    png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kW * kH);
}
BENCHMARK(PngLibpng800x600Alpha);

}  // namespace
