// zor-picture as the sample game uses it: PNG or JPEG in, picture files
// out, read back by the engine's loader.
#include <png.h>
#include <zlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "graphics/dwqformat.h"
#include "picture_fixture.h"
#include "textgrid.h"

namespace graphics_test {
namespace {

// A noise picture: what the coded bodies cannot shrink.
dwqtool::Picture Noise(int w, int h, bool alpha, uint32_t seed = 1) {
  dwqtool::Picture p{w, h, {}, {}};
  p.pixels.resize(static_cast<size_t>(w) * h);
  for (uint32_t& px : p.pixels) {
    seed = seed * 1664525u + 1013904223u;
    px = seed >> 8;
  }
  if (alpha) {
    p.alpha.resize(p.pixels.size());
    for (uint8_t& a : p.alpha) {
      seed = seed * 1664525u + 1013904223u;
      a = static_cast<uint8_t>(seed >> 24);
    }
  }
  return p;
}

// Noise of at most 255 colours, as an 8-bit picture.
dwqtool::Indexed IndexedNoise(int w, int h) {
  dwqtool::Indexed p{w, h, {}, {}};
  for (uint32_t i = 0; i < 255; ++i) p.palette.push_back(i * 0x010101u);
  uint32_t seed = 7;
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
    seed = seed * 1664525u + 1013904223u;
    p.indices.push_back(static_cast<uint8_t>(1 + (seed >> 24) % 255));
  }
  return p;
}

void WritePng(const std::string& path, const dwqtool::Picture& p) {
  std::vector<uint8_t> rgb;
  for (uint32_t px : p.pixels)
    rgb.insert(rgb.end(), {uint8_t(px >> 16), uint8_t(px >> 8), uint8_t(px)});
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.width);
  image.height = static_cast<png_uint_32>(p.height);
  image.format = PNG_FORMAT_RGB;
  ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr));
}

// The tool's exit status, with what it said on stderr in *said.
int ToolSays(const std::string& args, const std::string& log, std::string* said) {
  const std::string command =
      std::string(ZOR_BINARY_DIR) + "/bin/zor-picture " + args + " 2>" + log;
  const int status = std::system(command.c_str());
  std::ifstream in(log);
  said->assign(std::istreambuf_iterator<char>(in), {});
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Tool(const std::string& args) {
  const std::string command =
      std::string(ZOR_BINARY_DIR) + "/bin/zor-picture " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PictureToolTest : public PictureTest {
 protected:
  // The tool with `options` on "in.png" into "dwq/<name>.dwq".
  int ToolFromPng(const std::string& options, const std::string& name) {
    return Tool(options + " " + dir_ / "in.png" + " " + dir_ / ("dwq/" + name + ".dwq"));
  }
};

TEST_F(PictureToolTest, WritesPicturesTheLoaderReads) {
  // A 5 x 3 RGBA PNG: opaque in columns 1..2, see-through elsewhere.
  constexpr int w = 5, h = 3;
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t a = x == 1 || x == 2 ? 255 : (x == 3 ? 100 : 0);
      rgba.insert(rgba.end(), {uint8_t(10 * x), uint8_t(20 + y), uint8_t(200 - x), a});
    }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGBA;
  dir_.Write("dwq/.keep", "");
  ASSERT_TRUE(
      png_image_write_to_file(&image, (dir_ / "in.png").c_str(), 0, rgba.data(), 0, nullptr));

  struct Case {
    const char* options;
    bool keep256;
    std::vector<int> box;
  } cases[] = {
      {"", false, {0, 0, 5, 3}},
      {"--mask --negative-height", false, {0, 0, 5, 3}},  // computed: left 0, right 5
      {"--body bmp8 --mask --box auto --palette used", false, {1, 0, 4, 3}},
      {"--body packed --box 2,1,3,2", true, {2, 1, 3, 2}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "tool" + std::to_string(n++);
    ASSERT_EQ(ToolFromPng(c.options, name), 0) << c.options;
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ(name.c_str(), c.keep256), 1) << c.options;
    EXPECT_EQ(picture.GetWidth(), w);
    EXPECT_EQ(picture.GetHeight(), h);
    if (!c.keep256) {
      const uint32_t* px = picture.GetPixelBuffer();
      EXPECT_EQ(px[1 * w + 3], (30u << 16) | (21u << 8) | 197u) << c.options;
    }
    if (std::strstr(c.options, "--mask") || std::strstr(c.options, "packed")) {
      ASSERT_EQ(picture.GetMaskFlag(), 1);
      EXPECT_EQ(picture.GetMask()[3], 100);
      EXPECT_EQ(picture.GetMask()[4], 0);
    }
    Clear(0);
    picture.Put(0, 0, 0);
    EXPECT_EQ(DrawnRect(0), c.box) << c.options;
  }

  // 16-bit grey without alpha: the high byte of each sample, in all three
  // channels; no mask unless asked for, then an opaque one.
  const uint16_t grey[2] = {0x1234, 0xFEDC};
  png_image grey16;
  std::memset(&grey16, 0, sizeof grey16);
  grey16.version = PNG_IMAGE_VERSION;
  grey16.width = 2;
  grey16.height = 1;
  grey16.format = PNG_FORMAT_LINEAR_Y;
  ASSERT_TRUE(png_image_write_to_file(&grey16, (dir_ / "grey.png").c_str(), 0, grey, 0, nullptr));
  ASSERT_EQ(Tool("--mask " + dir_ / "grey.png" + " " + dir_ / "dwq/grey.dwq"), 0);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("grey"), 1);
  EXPECT_EQ(picture.GetPixelBuffer()[0], 0x00121212u);
  EXPECT_EQ(picture.GetPixelBuffer()[1], 0x00FEFEFEu);
  EXPECT_EQ(picture.GetMask()[0], 255);

  EXPECT_EQ(Tool("--body gif " + dir_ / "in.png" + " " + dir_ / "x.dwq"), 2);
  EXPECT_EQ(Tool("--box 1,2 " + dir_ / "in.png" + " " + dir_ / "x.dwq"), 2);
  EXPECT_EQ(Tool(dir_ / "in.png"), 2);
  EXPECT_EQ(Tool(dir_ / "missing.png" + " " + dir_ / "x.dwq"), 1);
}

TEST_F(PictureToolTest, ScalesTextGridsByWholeBlocks) {
  dir_.Write("grid.txt", "a = 102030\nb = F0E0D0\nab\nba\n");
  dir_.Write("dwq/.keep", "");
  ASSERT_EQ(Tool("--scale 3 " + dir_ / "grid.txt" + " " + dir_ / "dwq/grid.dwq"), 0);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("grid"), 1);
  ASSERT_EQ(picture.GetWidth(), 6);
  ASSERT_EQ(picture.GetHeight(), 6);
  const uint32_t* px = picture.GetPixelBuffer();
  EXPECT_EQ(px[0], 0x00102030u);
  EXPECT_EQ(px[2 * 6 + 2], 0x00102030u);
  EXPECT_EQ(px[2 * 6 + 3], 0x00F0E0D0u);
  EXPECT_EQ(px[3 * 6 + 0], 0x00F0E0D0u);
  EXPECT_EQ(Tool("--scale 0 " + dir_ / "grid.txt" + " " + dir_ / "x.dwq"), 2);
  EXPECT_EQ(Tool("--scale 65 " + dir_ / "grid.txt" + " " + dir_ / "x.dwq"), 2);
}

TEST_F(PictureToolTest, WritesJpegAndPngBodies) {
  // A 24 x 16 RGBA PNG (smooth colours; opaque right of column 5) and a
  // 4-bit grey one, as an artist might hand them in.
  constexpr int w = 24, h = 16;
  std::vector<uint8_t> rgba;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      rgba.insert(rgba.end(), {uint8_t(60 + 6 * x), uint8_t(200 - 8 * y), uint8_t(90 + x + y),
                               uint8_t(x > 5 ? 255 : 0)});
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_RGBA;
  dir_.Write("dwq/.keep", "");
  ASSERT_TRUE(
      png_image_write_to_file(&image, (dir_ / "in.png").c_str(), 0, rgba.data(), 0, nullptr));
  dwqtool::PngImage grey;
  grey.width = 3;
  grey.height = 2;
  grey.colourType = 0;
  grey.bitDepth = 4;
  grey.samples = {0, 5, 15, 15, 10, 1};
  std::vector<uint8_t> greyBytes;
  std::string error;
  ASSERT_TRUE(dwqtool::EncodePng(grey, &greyBytes, &error)) << error;
  dir_.Write("grey4.png", std::string(greyBytes.begin(), greyBytes.end()));

  struct Case {
    const char* options;
    bool mask;
    std::vector<int> box;
  } cases[] = {
      {"--body jpeg", false, {0, 0, 24, 16}},
      {"--body jpeg --mask --quality 95 --sampling 444 --restart 1", true, {5, 0, 24, 16}},
      {"--body jpeg --mask --box auto --sampling 422", true, {6, 0, 24, 16}},
      {"--body png", true, {5, 0, 24, 16}},
      {"--body png --box 8,2,20,10", true, {8, 2, 20, 10}},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "body" + std::to_string(n++);
    ASSERT_EQ(ToolFromPng(c.options, name), 0) << c.options;
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ(name.c_str()), 1) << c.options;
    EXPECT_EQ(picture.GetWidth(), w);
    EXPECT_EQ(picture.GetHeight(), h);
    EXPECT_EQ(picture.GetMaskFlag(), c.mask ? 1 : 0) << c.options;
    if (c.mask) {
      EXPECT_EQ(picture.GetMask()[w + 5], 0);
      EXPECT_EQ(picture.GetMask()[w + 6], 255);
    }
    // JPEG colours come back close to the PNG's.
    const uint32_t px = picture.GetPixelBuffer()[7 * w + 11];
    EXPECT_NEAR(static_cast<int>(px >> 16), 60 + 66, 6) << c.options;
    EXPECT_NEAR(static_cast<int>((px >> 8) & 0xFF), 200 - 56, 6) << c.options;
    EXPECT_NEAR(static_cast<int>(px & 0xFF), 90 + 18, 6) << c.options;
    Clear(0);
    picture.Put(0, 0, 0);
    EXPECT_EQ(DrawnRect(0), c.box) << c.options;
  }
  // A PNG body keeps the input stream: its kind and depth reach the game.
  ASSERT_EQ(Tool("--body png " + dir_ / "grey4.png" + " " + dir_ / "dwq/grey4.dwq"), 0);
  const std::string stored = dir_.Read("dwq/grey4.dwq");
  EXPECT_EQ(stored.substr(64), std::string(greyBytes.begin(), greyBytes.end()));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("grey4"), 1);
  EXPECT_EQ(picture.GetPixelBuffer()[1], 0x555555u);
  EXPECT_EQ(picture.GetMaskFlag(), 0);

  for (const char* bad : {"--quality 0", "--quality 101", "--quality x", "--sampling 411",
                          "--restart -1", "--restart 70000"})
    EXPECT_EQ(
        Tool(std::string("--body jpeg ") + bad + " " + dir_ / "in.png" + " " + dir_ / "x.dwq"), 2)
        << bad;
}

// Each body and mask the loader's decode buffer must hold: just above the
// limit the tool refuses the file and the loader refuses the same file made
// without the tool; below it both take it.
TEST_F(PictureToolTest, WhatTheLoaderCannotHoldIsRefused) {
  EXPECT_EQ(dwq::kDecodeBufferBytes, (3 << 20) + 1078);
  dwqtool::Options packed;
  packed.body = dwqtool::BodyType::kPacked;
  dwqtool::Options jpeg;
  jpeg.body = dwqtool::BodyType::kJpeg;
  jpeg.jpegQuality = 100;
  jpeg.jpegSampling = dwqtool::JpegSampling::k444;
  dwqtool::Options masked;
  masked.mask = true;
  struct Case {
    const char* name;
    std::function<std::vector<uint8_t>(int side)> make;
    int over, under;  // picture sides
    const char* reason;
  };
  const Case cases[] = {
      {"packed rows",
       [&](int side) {
         std::vector<uint8_t> out;
         std::string error;
         EXPECT_TRUE(dwqtool::MakeDwqIndexed(IndexedNoise(side, side), {}, packed, &out, &error));
         return out;
       },
       1800, 1700, "the packed rows would take"},
      {"JPEG body", [&](int side) { return Make(Noise(side, side, false), jpeg); }, 1300, 700,
       "--sampling 420"},
      {"mask rows", [&](int side) { return Make(Noise(side, side, true), masked); }, 1800, 1700,
       "the mask's coded rows would take"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> over = c.make(c.over);
    const std::string why = dwqtool::LoaderLimitProblem(over);
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    EXPECT_NE(why.find("3,146,806"), std::string::npos) << why;
    WriteDwq("over", over);
    CPicture picture;
    EXPECT_EQ(picture.LoadDWQ("over"), 0);

    const std::vector<uint8_t> under = c.make(c.under);
    EXPECT_EQ(dwqtool::LoaderLimitProblem(under), "");
    WriteDwq("under", under);
    ASSERT_EQ(picture.LoadDWQ("under"), 1);
    EXPECT_EQ(picture.GetWidth(), c.under);
  }
  // The tool says which limit and writes nothing.
  WritePng(dir_ / "noise.png", Noise(1300, 1300, false));
  std::string said;
  EXPECT_EQ(ToolSays("--body jpeg --quality 100 --sampling 444 " + dir_ / "noise.png" + " " +
                         dir_ / "noise.dwq",
                     dir_ / "log.txt", &said),
            1);
  EXPECT_NE(said.find("decode buffer holds 3,146,806"), std::string::npos) << said;
  EXPECT_FALSE(dir_.Exists("noise.dwq"));
  EXPECT_EQ(Tool("--body jpeg " + dir_ / "noise.png" + " " + dir_ / "noise.dwq"), 0);
}

// An author's JPEG: stored as it is when the game's decoder takes it,
// written again (with a note) when it does not, decoded for other bodies.
TEST_F(PictureToolTest, TakesJpegInput) {
  const dwqtool::Picture pattern = Pattern(24, 16);
  dwqtool::Options baseline;
  std::vector<uint8_t> stream;
  std::string error;
  ASSERT_TRUE(dwqtool::EncodeJpeg(pattern, baseline, &stream, &error)) << error;
  dwqtool::Options progressive = baseline;
  progressive.jpegProgressive = true;
  std::vector<uint8_t> progressiveStream;
  ASSERT_TRUE(dwqtool::EncodeJpeg(pattern, progressive, &progressiveStream, &error)) << error;
  dir_.Write("in.jpg", std::string(stream.begin(), stream.end()));
  dir_.Write("prog.jpg", std::string(progressiveStream.begin(), progressiveStream.end()));
  dir_.Write("cut.jpg", std::string(stream.begin(), stream.begin() + stream.size() / 2));
  dir_.Write("dwq/.keep", "");

  std::string said;
  ASSERT_EQ(ToolSays("--body jpeg --mask " + dir_ / "in.jpg" + " " + dir_ / "dwq/same.dwq",
                     dir_ / "log.txt", &said),
            0);
  EXPECT_EQ(said, "");
  const std::string same = dir_.Read("dwq/same.dwq");
  EXPECT_EQ(same.substr(64, stream.size()), std::string(stream.begin(), stream.end()));
  ASSERT_EQ(ToolSays("--body jpeg " + dir_ / "prog.jpg" + " " + dir_ / "dwq/prog.dwq",
                     dir_ / "log.txt", &said),
            0);
  EXPECT_NE(said.find("progressive"), std::string::npos) << said;
  ASSERT_EQ(Tool("--body bmp24 " + dir_ / "in.jpg" + " " + dir_ / "dwq/rows.dwq"), 0);
  for (const char* name : {"same", "prog", "rows"}) {
    SCOPED_TRACE(name);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ(name), 1);
    ASSERT_EQ(picture.GetWidth(), 24);
    ASSERT_EQ(picture.GetHeight(), 16);
    const uint32_t want = pattern.pixels[5 * 24 + 7], got = picture.GetPixelBuffer()[5 * 24 + 7];
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((want >> shift) & 0xFF),
                  8);
  }
  EXPECT_EQ(ToolSays(dir_ / "cut.jpg" + " " + dir_ / "cut.dwq", dir_ / "log.txt", &said), 1);
  EXPECT_NE(said.find("libjpeg"), std::string::npos) << said;
  EXPECT_FALSE(dir_.Exists("cut.dwq"));

  // Streams the game's decoder would not take, each with its reason.
  auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> s = stream;
    std::copy(bytes.begin(), bytes.end(), s.begin() + static_cast<std::ptrdiff_t>(at));
    return s;
  };
  size_t frame = 2;
  while (!(stream[frame] == 0xFF && stream[frame + 1] == 0xC0)) ++frame;
  std::vector<uint8_t> adobe = stream;
  const uint8_t app14[] = {0xFF, 0xEE, 0, 14, 'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 0};
  adobe.insert(adobe.begin() + 2, app14, app14 + sizeof app14);
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"baseline", stream, ""},
      {"progressive", progressiveStream, "progressive"},
      {"Adobe transform 0", adobe, "RGB"},
      {"4:1:1", patched(frame + 11, {0x41}), "luminance"},
      {"12-bit", patched(frame + 4, {12}), "8 bits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int width = 0, height = 0;
    const std::string why = dwqtool::EngineJpegProblem(c.bytes, &width, &height);
    if (*c.reason == 0) {
      EXPECT_EQ(why, "");
      EXPECT_EQ(width, 24);
      EXPECT_EQ(height, 16);
    } else {
      EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }
  }
  std::vector<uint8_t> rgbIds = stream;
  rgbIds[frame + 10] = 'R';
  rgbIds[frame + 13] = 'G';
  rgbIds[frame + 16] = 'B';
  int width = 0, height = 0;
  EXPECT_NE(dwqtool::EngineJpegProblem(rgbIds, &width, &height).find("RGB"), std::string::npos);
}

// libpng's warnings about colour profiles are not the author's concern.
TEST_F(PictureToolTest, WritesAnimationFramesOfAtMost256Colours) {
  dwqtool::Picture few{6, 4, {}, {}};
  for (int i = 0; i < 24; ++i) few.pixels.push_back(i % 3 == 0 ? 0x102030u : 0xA0B0C0u + i);
  WritePng(dir_ / "few.png", few);
  ASSERT_EQ(Tool("--anime-frame " + dir_ / "few.png" + " " + dir_ / "an000000.dwq"), 0);
  std::vector<uint8_t> expected;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeAnimeFrame(few, &expected, &error)) << error;
  std::ifstream in(dir_ / "an000000.dwq", std::ios::binary);
  const std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(written, expected);
  // 8-bit, as many palette entries as colours, unpadded rows.
  EXPECT_EQ(written.size(), 64u + 14 + 40 + 17 * 4 + 24);
  std::string said;
  WritePng(dir_ / "many.png", Noise(20, 20, false));
  EXPECT_EQ(ToolSays("--anime-frame " + dir_ / "many.png" + " " + dir_ / "many.dwq", dir_ / "log", &said), 1);
  EXPECT_NE(said.find("256 colours"), std::string::npos) << said;
}

TEST_F(PictureToolTest, ColourProfileWarningsAreQuiet) {
  auto chunk = [](const char* type, const std::string& data) {
    std::string out;
    const uint32_t n = static_cast<uint32_t>(data.size());
    out += {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    const std::string body = std::string(type, 4) + data;
    out += body;
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    out += {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    return out;
  };
  auto deflate = [](const std::string& raw) {
    uLongf size = compressBound(raw.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             raw.size());
    out.resize(size);
    return out;
  };
  // A 2 x 2 RGB picture with a colour profile libpng finds too short.
  const std::string header("\0\0\0\x02\0\0\0\x02\x08\x02\0\0\0", 13);
  std::string rows;
  for (int y = 0; y < 2; ++y) rows += std::string(1, '\0') + std::string(6, '\x80');
  const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) +
                          chunk("iCCP", std::string("x\0\0", 3) + deflate("0123456789")) +
                          chunk("IDAT", deflate(rows)) + chunk("IEND", "");
  dir_.Write("icc.png", png);
  std::string said;
  EXPECT_EQ(ToolSays(dir_ / "icc.png" + " " + dir_ / "icc.dwq", dir_ / "log.txt", &said), 0);
  EXPECT_EQ(said, "");
}

TEST_F(PictureToolTest, TextGridsDrawnLarger) {
  dir_.Write("grid.txt", ". = 000000 00\n# = FF8000\n#.\n");
  dir_.Write("dwq/other.txt", "");
  ASSERT_EQ(Tool("--mask --scale 3 " + dir_ / "grid.txt" + " " + dir_ / "dwq/grid.dwq"), 0);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("grid"), 1);
  ASSERT_EQ(picture.GetWidth(), 6);
  ASSERT_EQ(picture.GetHeight(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(picture.GetPixelBuffer()[y * 6 + x], x < 3 ? 0xFF8000u : 0u) << x << "," << y;
      EXPECT_EQ(picture.GetMask()[y * 6 + x], x < 3 ? 255 : 0) << x << "," << y;
    }
  for (const char* bad : {"--scale 0", "--scale 65", "--scale x"})
    EXPECT_EQ(Tool(std::string(bad) + " " + dir_ / "grid.txt" + " " + dir_ / "x.dwq"), 2) << bad;
}

// --fit: a photograph scaled to cover the screen, the overflow cut evenly
// from both sides. Blue edges stand for the overflow: none may show.
TEST_F(PictureToolTest, FitScalesAPhotographToCoverTheScreen) {
  auto picture = [](int w, int h, bool wide) {
    dwqtool::Picture p{w, h, {}, {}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Only the centred part of the target's shape is not blue; its red
        // rises along the long side that stays whole.
        const bool edge = wide ? (x < 10 || x >= 30) : (y < 15 || y >= 25);
        const int along = wide ? x - 10 : x;
        p.pixels.push_back(edge ? 0x0000FFu : (static_cast<uint32_t>(along * 12) << 16) | 0x00FF00u);
      }
    return p;
  };
  WritePng(dir_ / "wide.png", picture(40, 10, true));  // 4:1 into 2:1: 10 columns cut each side
  WritePng(dir_ / "tall.png", picture(20, 40, false));  // 1:2 into 2:1: 15 rows cut top and bottom
  dwqtool::Picture forJpeg = picture(40, 10, true);
  std::vector<uint8_t> jpeg;
  std::string error, said;
  dwqtool::Options fine;
  fine.jpegQuality = 100;
  fine.jpegSampling = dwqtool::JpegSampling::k444;
  ASSERT_TRUE(dwqtool::EncodeJpeg(forJpeg, fine, &jpeg, &error)) << error;
  dir_.Write("wide.jpg", std::string(jpeg.begin(), jpeg.end()));
  dir_.Write("dwq/.keep", "");
  ASSERT_EQ(ToolSays("--fit 16x8 " + dir_ / "wide.png" + " " + dir_ / "dwq/wide.dwq", dir_ / "log.txt", &said), 0);
  EXPECT_EQ(said, "");
  ASSERT_EQ(ToolSays("--fit 16x8 " + dir_ / "tall.png" + " " + dir_ / "dwq/tall.dwq", dir_ / "log.txt", &said), 0);
  EXPECT_EQ(said, "");
  // A picture smaller than the screen is enlarged, with a note.
  ASSERT_EQ(ToolSays("--fit 64x32 " + dir_ / "wide.png" + " " + dir_ / "big.dwq", dir_ / "log.txt", &said), 0);
  EXPECT_NE(said.find("20x10 is enlarged to 64x32"), std::string::npos) << said;
  // A JPEG body is made again at the new size, not stored as it came.
  ASSERT_EQ(Tool("--fit 16x8 --body jpeg --quality 100 --sampling 444 " + dir_ / "wide.jpg" + " " +
                 dir_ / "dwq/jpeg.dwq"),
            0);
  for (const char* name : {"wide", "tall", "jpeg"}) {
    SCOPED_TRACE(name);
    CPicture loaded;
    ASSERT_EQ(loaded.LoadDWQ(name), 1);
    ASSERT_EQ(loaded.GetWidth(), 16);
    ASSERT_EQ(loaded.GetHeight(), 8);
    const uint32_t* px = loaded.GetPixelBuffer();
    const int tolerance = std::string(name) == "jpeg" ? 16 : 6;
    for (int i = 0; i < 16 * 8; ++i) {
      EXPECT_LE(static_cast<int>(px[i] & 0xFF), tolerance) << i;  // no blue edge
      EXPECT_GE(static_cast<int>((px[i] >> 8) & 0xFF), 255 - tolerance) << i;
    }
    if (std::string(name) != "tall") {
      // Red rises left to right across the kept part (0 .. 228 in the input).
      EXPECT_LT(static_cast<int>(px[4 * 16] >> 16), 30);
      EXPECT_GT(static_cast<int>(px[4 * 16 + 15] >> 16), 200);
    }
  }
  dir_.Write("grid.txt", "# = FF8000\n#\n");
  struct Case {
    std::string args;
    int status;
  };
  const Case refused[] = {
      {"--fit 0x8 " + dir_ / "wide.png", 2},
      {"--fit 16 " + dir_ / "wide.png", 2},
      {"--fit 9000x8 " + dir_ / "wide.png", 2},
      {"--fit 16x8 --body png " + dir_ / "wide.png", 2},
      {"--fit 16x8 --scale 2 " + dir_ / "grid.txt", 2},
      {"--fit 16x8 " + dir_ / "grid.txt", 1},
  };
  for (const Case& c : refused) {
    EXPECT_EQ(ToolSays(c.args + " " + dir_ / "x.dwq", dir_ / "log.txt", &said), c.status) << c.args;
    EXPECT_NE(said.find("--fit"), std::string::npos) << said;
    EXPECT_FALSE(dir_.Exists("x.dwq"));
  }
}

// A picture larger than the screen is written, with a warning that names
// its size, the screen and --fit.
TEST_F(PictureToolTest, WarnsOfAPictureLargerThanTheScreen) {
  WritePng(dir_ / "wide.png", Noise(801, 4, false));
  std::string said;
  ASSERT_EQ(ToolSays(dir_ / "wide.png" + " " + dir_ / "wide.dwq", dir_ / "log.txt", &said), 0);
  EXPECT_TRUE(dir_.Exists("wide.dwq"));
  EXPECT_EQ(said, "zor-picture: warning: " + dir_ / "wide.png" +
                      ": the picture is 801x4, larger than the 800x600 screen, and the game draws it unscaled; "
                      "scale it with --fit 800x600 (--screen WxH names another screen size)\n");
  ASSERT_EQ(ToolSays("--screen 1024x768 " + dir_ / "wide.png" + " " + dir_ / "wide.dwq", dir_ / "log.txt", &said),
            0);
  EXPECT_EQ(said, "");
  ASSERT_EQ(ToolSays("--screen 640x480 --fit 640x480 " + dir_ / "wide.png" + " " + dir_ / "wide.dwq",
                     dir_ / "log.txt", &said),
            0);
  EXPECT_EQ(said.find("warning"), std::string::npos) << said;
  EXPECT_EQ(ToolSays("--screen 640 " + dir_ / "wide.png" + " " + dir_ / "x.dwq", dir_ / "log.txt", &said), 2);
}

}  // namespace
}  // namespace graphics_test

// Pictures drawn as text: inks with alpha, rows, comments; and the faults
// named with their line.
namespace graphics_test {
namespace {

TEST(TextGridTest, RowsOfDefinedCharacters) {
  dwqtool::Picture p;
  std::string error;
  ASSERT_TRUE(dwqtool::ReadTextGrid("# an arrow\n. = 000000 00\n# = FF8000\n\n#.\r\n##\n", &p, &error)) << error;
  EXPECT_EQ(p.width, 2);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xFF8000, 0, 0xFF8000, 0xFF8000}));
  EXPECT_EQ(p.alpha, (std::vector<uint8_t>{255, 0, 255, 255}));
  const std::vector<std::pair<const char*, const char*>> bad = {
      {"a = 12345\na\n", "line 1"}, {"a = FFFFFF\naa\na\n", "line 3"}, {"a = FFFFFF\nab\n", "'b'"}, {"# only\n", "no rows"}};
  for (auto [text, why] : bad) {
    EXPECT_FALSE(dwqtool::ReadTextGrid(text, &p, &error)) << text;
    EXPECT_NE(error.find(why), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace graphics_test
