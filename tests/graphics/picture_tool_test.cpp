// zor-picture as the sample game uses it: PNG in, picture files out, read
// back by the engine's loader.
#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "picture_fixture.h"

namespace graphics_test {
namespace {

int Tool(const std::string& args) {
  const std::string command =
      std::string(ZOR_BINARY_DIR) + "/bin/zor-picture " + args + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using PictureToolTest = PictureTest;

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
    ASSERT_EQ(Tool(std::string(c.options) + " " + dir_ / "in.png" + " " +
                   dir_ / ("dwq/" + name + ".dwq")),
              0)
        << c.options;
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
    ASSERT_EQ(Tool(std::string(c.options) + " " + dir_ / "in.png" + " " +
                   dir_ / ("dwq/" + name + ".dwq")),
              0)
        << c.options;
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

}  // namespace
}  // namespace graphics_test
