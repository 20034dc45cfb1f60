// The picture file loader on files made by the writer library: every body
// type, row order and byte order, packed rows, masks and bounding boxes,
// the missing-file message, the one-read cache, and broken files.
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/dwqformat.h"
#include "picture_fixture.h"
#include "platform/system.h"

namespace graphics_test {
namespace {

using dwqtool::BodyType;

class LoaderTest : public PictureTest {
 protected:
  // The 32-bit pixels of a loaded picture.
  static std::vector<uint32_t> Pixels(const CPicture& p) {
    const uint32_t* px = p.GetPixelBuffer();
    return std::vector<uint32_t>(px, px + static_cast<size_t>(p.GetWidth()) * p.GetHeight());
  }
  // The rectangle an opaque Put at (0, 0) draws: the bounding box.
  std::vector<int> BoxOf(CPicture& p) {
    Clear(0);
    p.Put(0, 0, 0);
    return DrawnRect(0);
  }
};

TEST_F(LoaderTest, EveryBodyTypeGivesThePixelsBack) {
  const dwqtool::Picture source = Pattern(7, 5);
  struct Case {
    BodyType body;
    bool negativeHeight;
    bool fullPalette;
  } cases[] = {
      {BodyType::kBmp24, false, true},   {BodyType::kBmp24, true, true},
      {BodyType::kBmp8, false, true},    {BodyType::kBmp8, true, false},
      {BodyType::kPacked, false, false}, {BodyType::kPacked, true, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    dwqtool::Options options;
    options.body = c.body;
    options.negativeHeight = c.negativeHeight;
    options.fullPalette = c.fullPalette;
    const std::string name = "body" + std::to_string(n++);
    WritePicture(name, source, options);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ(name.c_str()), 1) << name;
    EXPECT_EQ(picture.GetWidth(), 7);
    EXPECT_EQ(picture.GetHeight(), 5);
    EXPECT_EQ(picture.Get256Flag(), 0);
    EXPECT_EQ(Pixels(picture), source.pixels) << name;
    EXPECT_STREQ(picture.GetName(), name.c_str());
  }
}

TEST_F(LoaderTest, Keep256KeepsIndicesAndPalette) {
  dwqtool::Indexed source{5, 3, {}, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456}};
  for (int i = 0; i < 15; ++i) source.indices.push_back(static_cast<uint8_t>((i * 7) % 5));
  for (BodyType body : {BodyType::kBmp8, BodyType::kPacked}) {
    for (bool full : {true, false}) {
      dwqtool::Options options;
      options.body = body;
      options.fullPalette = full;
      std::vector<uint8_t> bytes;
      std::string error;
      ASSERT_TRUE(dwqtool::MakeDwqIndexed(source, {}, options, &bytes, &error)) << error;
      WriteDwq("indexed", bytes);
      CPicture picture;
      ASSERT_EQ(picture.LoadDWQ("indexed", 1), 1);
      EXPECT_EQ(picture.Get256Flag(), 1);
      EXPECT_EQ(std::vector<uint8_t>(picture.GetBuffer(), picture.GetBuffer() + 15),
                source.indices);
      for (size_t i = 0; i < source.palette.size(); ++i)
        EXPECT_EQ(picture.GetPalette()[i], source.palette[i]);
      // Entries the file does not hold are black.
      EXPECT_EQ(picture.GetPalette()[200], 0u);

      // The same file without the option gives 32-bit colours.
      CPicture colours;
      ASSERT_EQ(colours.LoadDWQ("indexed", 0), 1);
      EXPECT_EQ(colours.Get256Flag(), 0);
      EXPECT_EQ(colours.GetPixelBuffer()[1], source.palette[source.indices[1]]);
    }
  }
}

// Hand-made bodies pin the layout: rows top first whatever the height's
// sign, and 24-bit pixels stored red first.
TEST_F(LoaderTest, RowsAreTopFirstAndRedComesFirst) {
  for (int sign : {1, -1}) {
    std::vector<uint8_t> body;
    dwqtool::AppendBmpHeaders(&body, 24, 2, 2 * sign, 0, 0, 16);
    const uint8_t rows[16] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0, 0,
                              0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0, 0};
    body.insert(body.end(), rows, rows + 16);
    std::vector<uint8_t> file;
    dwqtool::AppendHeader(&file, dwq::kTypeBmp, false, {}, static_cast<int32_t>(body.size()), 2,
                          2 * sign);
    file.insert(file.end(), body.begin(), body.end());
    WriteDwq("raw", file);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("raw"), 1);
    EXPECT_EQ(Pixels(picture), (std::vector<uint32_t>{0x112233, 0x445566, 0x778899, 0xAABBCC}))
        << "sign " << sign;
  }
}

// Packed rows: zero runs over the XOR with the row above; a run longer
// than the row's rest ends the row there.
TEST_F(LoaderTest, PackedRowsDecodeRunsAndDifferences) {
  const std::vector<uint8_t> coded = {
      0x05, 0x00, 0x09,              // row 0: 5, then 9 zeros cut to 3: 5 0 0 0
      0x00, 0x01, 0x07, 0x00, 0x00,  // row 1: one unchanged, 0 ^ 7, an empty run,
      0x00, 0x02,                    //        two unchanged: 5 7 0 0
      0x03, 0x00, 0xFF,              // row 2: 5 ^ 3 = 6, rest unchanged: 6 7 0 0
  };
  std::vector<uint32_t> palette(8);
  for (uint32_t i = 0; i < 8; ++i) palette[i] = 0x010101u * (i + 1);
  std::vector<uint8_t> body;
  dwqtool::AppendBmpHeaders(&body, 8, 4, 3, 8, 32, static_cast<uint32_t>(coded.size()));
  dwqtool::AppendPalette(&body, palette, 8);
  body.insert(body.end(), coded.begin(), coded.end());
  std::vector<uint8_t> file;
  dwqtool::AppendHeader(&file, dwq::kTypePacked, false, {}, static_cast<int32_t>(body.size()), 4,
                        3);
  file.insert(file.end(), body.begin(), body.end());
  const std::vector<uint8_t> mask = dwqtool::MaskSection(std::vector<uint8_t>(12, 255), 4, 3);
  file.insert(file.end(), mask.begin(), mask.end());
  WriteDwq("packed", file);

  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("packed", 1), 1);
  const uint8_t expected[12] = {5, 0, 0, 0, 5, 7, 0, 0, 6, 7, 0, 0};
  EXPECT_EQ(std::memcmp(picture.GetBuffer(), expected, 12), 0);
  CPicture colours;
  ASSERT_EQ(colours.LoadDWQ("packed", 0), 1);
  EXPECT_EQ(colours.GetPixelBuffer()[8], palette[6]);
}

TEST_F(LoaderTest, MaskSectionGivesTheMaskPlane) {
  const dwqtool::Picture source =
      Pattern(6, 4, [](int x, int y) { return static_cast<uint8_t>((x * 40 + y * 3) % 256); });
  for (BodyType body : {BodyType::kBmp24, BodyType::kBmp8, BodyType::kPacked}) {
    dwqtool::Options options;
    options.body = body;
    options.mask = true;
    WritePicture("masked", source, options);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("masked"), 1);
    EXPECT_EQ(picture.GetMaskFlag(), 1);
    EXPECT_EQ(std::vector<uint8_t>(picture.GetMask(), picture.GetMask() + 24), source.alpha);
  }
  // The mask byte is the first (blue) byte of the entry its index selects.
  std::vector<uint8_t> file = Make(Pattern(2, 1), {});
  file[dwq::kType] = static_cast<uint8_t>(dwq::kTypeBmpMask);
  std::vector<uint8_t> section;
  dwqtool::AppendBmpHeaders(&section, 8, 2, 1, 2, 8, 2);
  dwqtool::AppendPalette(&section, {0x00AABB10, 0x00CCDD20}, 2);
  for (uint8_t b : dwqtool::PackRows(std::vector<uint8_t>{1, 0}.data(), 2, 1)) section.push_back(b);
  file.insert(file.end(), section.begin(), section.end());
  WriteDwq("blue", file);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("blue"), 1);
  EXPECT_EQ(picture.GetMask()[0], 0x20);
  EXPECT_EQ(picture.GetMask()[1], 0x10);
}

// The computed box keeps a spare pixel at the top and left and two at the
// right of the opaque part; the bottom stays the picture's.
TEST_F(LoaderTest, BoundingBoxFromTheMask) {
  struct Block {
    int x0, y0, x1, y1;  // opaque block, inclusive
  };
  struct Case {
    int width, height;
    std::vector<Block> blocks;
    std::vector<int> box;  // left, top, right, bottom
  } cases[] = {
      {10, 8, {{3, 2, 5, 4}}, {2, 1, 8, 8}},   // last column 5: r = 7, one more: 8
      {10, 8, {{0, 0, 9, 0}}, {0, 0, 10, 8}},  // touches every edge but the bottom
      {10, 8, {{0, 3, 7, 3}}, {0, 2, 9, 8}},   // last column 7: r = 9 = width - 1, kept
      {10, 8, {{2, 0, 8, 1}}, {1, 0, 10, 8}},  // last column 8: r = 10
      {10, 8, {}, {0, 0, 0, 0}},               // nothing opaque: an empty box
      // Wider rows, read eight bytes at a time with a tail: the leftmost
      // column comes from a lower row than the rightmost, and each lies
      // inside a word, at a word's edge or in the tail.
      {37, 9, {{20, 1, 21, 1}, {9, 6, 9, 7}}, {8, 0, 24, 9}},
      {37, 9, {{16, 2, 16, 2}, {8, 4, 15, 4}, {31, 8, 31, 8}}, {7, 1, 34, 9}},
      {37, 9, {{36, 5, 36, 5}, {0, 8, 0, 8}}, {0, 4, 37, 9}},
      {37, 9, {{32, 3, 34, 3}}, {31, 2, 36, 9}},
  };
  for (const Case& c : cases) {
    auto alpha = [&](int x, int y) {
      for (const Block& b : c.blocks)
        if (x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1) return uint8_t{200};
      return uint8_t{0};
    };
    dwqtool::Options options;
    options.mask = true;
    WritePicture("boxed", Pattern(c.width, c.height, alpha), options);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("boxed"), 1);
    EXPECT_EQ(BoxOf(picture), c.box) << c.width << " wide, " << c.blocks.size() << " blocks";
  }
}

TEST_F(LoaderTest, AllTransparentMaskDrawsNothing) {
  dwqtool::Options options;
  options.mask = true;
  WritePicture("clear", Pattern(5, 4, [](int, int) { return uint8_t{0}; }), options);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("clear"), 1);
  Clear(0);
  picture.Put(0, 0, 0);
  picture.Put(0, 0, 1);
  EXPECT_EQ(CountChanged(0), 0);
}

TEST_F(LoaderTest, HeaderBoxIsUsedWithAMaskOnly) {
  dwqtool::Options options;
  options.headerBox = true;
  options.autoBox = false;
  options.box = {1, 2, 5, 6};
  const dwqtool::Picture source = Pattern(8, 7, [](int, int) { return uint8_t{255}; });

  options.mask = true;
  WritePicture("withbox", source, options);
  CPicture boxed;
  ASSERT_EQ(boxed.LoadDWQ("withbox"), 1);
  EXPECT_EQ(BoxOf(boxed), (std::vector<int>{1, 2, 5, 6}));

  // Without a mask section the flag is not honoured: the whole picture.
  options.mask = false;
  WritePicture("nomask", source, options);
  CPicture whole;
  ASSERT_EQ(whole.LoadDWQ("nomask"), 1);
  EXPECT_EQ(BoxOf(whole), (std::vector<int>{0, 0, 8, 7}));
}

TEST_F(LoaderTest, EightBitPicturesKeepTheWholeBoxUnlessTheHeaderHasOne) {
  const dwqtool::Picture source =
      Pattern(8, 6, [](int x, int) { return static_cast<uint8_t>(x == 4 ? 255 : 0); });
  dwqtool::Options options;
  options.body = BodyType::kPacked;
  WritePicture("p8", source, options);
  CPicture indices;
  ASSERT_EQ(indices.LoadDWQ("p8", 1), 1);
  EXPECT_EQ(BoxOf(indices), (std::vector<int>{0, 0, 8, 6}));
  CPicture colours;
  ASSERT_EQ(colours.LoadDWQ("p8", 0), 1);
  EXPECT_EQ(BoxOf(colours), (std::vector<int>{3, 0, 7, 6}));

  options.headerBox = true;
  WritePicture("p8box", source, options);
  CPicture boxed;
  ASSERT_EQ(boxed.LoadDWQ("p8box", 1), 1);
  EXPECT_EQ(BoxOf(boxed), (std::vector<int>{4, 0, 5, 6}));
}

// Box values from the file are kept inside the picture.
TEST_F(LoaderTest, HeaderBoxOutsideThePictureIsClamped) {
  dwqtool::Options options;
  options.mask = true;
  options.headerBox = true;
  options.autoBox = false;
  options.box = {-50, -7, 1000, 2000000000};
  WritePicture("wild", Pattern(6, 5, [](int, int) { return uint8_t{255}; }), options);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("wild"), 1);
  EXPECT_EQ(BoxOf(picture), (std::vector<int>{0, 0, 6, 5}));
  Clear(0);
  // The source corner is raised to the box, moving the destination with it.
  picture.Blt(10, 10, -3, -3, 40, 40, 1);
  EXPECT_EQ(DrawnRect(0), (std::vector<int>{13, 13, 19, 18}));
}

TEST_F(LoaderTest, MissingFileShowsTheBoxWhenTheSwitchIsOn) {
  WritePicture("here", Pattern(3, 3));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("here"), 1);

  // Switch off: no box, but stderr names the picture and where it was
  // looked for, once per name; a quiet load tells nothing.
  EXPECT_EQ(picture.LoadDWQ("sys\\gone"), 0);
  EXPECT_EQ(picture.LoadDWQ("sys\\gone"), 0);
  SetLoadDwqQuiet(1);
  EXPECT_EQ(picture.LoadDWQ("sys\\hushed"), 0);
  SetLoadDwqQuiet(0);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{
                "LOAD DWQ ERROR(File Not Found) sys\\gone: no dwq\\sys\\gone.dwq and no pack lists it"});

  SetLoadDwqErrorFlag(1);
  SetLoadDwqErrorMode(7);
  EXPECT_EQ(picture.LoadDWQ("sys\\nothere"), 0);
  ASSERT_EQ(host_->Boxes().size(), 1u);
  const platform::BoxRecord box = host_->Boxes()[0];
  EXPECT_EQ(box.caption, "Error");
  EXPECT_EQ(box.text, "LOAD DWQ ERROR(File Not Found)\nsys\\nothere\nmode=7");
  EXPECT_EQ(box.style, MB_OK | MB_ICONWARNING);

  // The picture still shows what it had; asking again fails again.
  EXPECT_EQ(picture.IsLoaded(), 1);
  EXPECT_STREQ(picture.GetName(), "here");
  EXPECT_EQ(picture.LoadDWQ("sys\\nothere"), 0);
  EXPECT_EQ(host_->Boxes().size(), 2u);
  Clear(0);
  picture.Put(0, 0, 0);
  EXPECT_EQ(CountChanged(0), 9);

  SetLoadDwqErrorFlag(0);
  EXPECT_EQ(picture.LoadDWQ("sys\\nothere"), 0);
  EXPECT_EQ(host_->Boxes().size(), 2u);
  // Another folder than the default one.
  EXPECT_EQ(picture.LoadDWQ("here", 0, "elsewhere"), 1);  // same name: no read at all
  picture.ClearName();
  EXPECT_EQ(picture.LoadDWQ("here", 0, "elsewhere"), 0);
  // An empty name is no cached picture either.
  CPicture fresh;
  EXPECT_EQ(fresh.LoadDWQ(""), 0);
}

TEST_F(LoaderTest, SameNameIsReadOnceUntilClearName) {
  WritePicture("once", Pattern(2, 2));
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("once"), 1);
  const uint32_t before = picture.GetPixelBuffer()[0];
  dwqtool::Picture changed = Pattern(2, 2);
  changed.pixels[0] = 0x00ABCDEF;
  WritePicture("once", changed);
  EXPECT_EQ(picture.LoadDWQ("once"), 1);
  EXPECT_EQ(picture.GetPixelBuffer()[0], before);
  picture.ClearName();
  EXPECT_STREQ(picture.GetName(), "");
  EXPECT_EQ(picture.LoadDWQ("once"), 1);
  EXPECT_EQ(picture.GetPixelBuffer()[0], 0x00ABCDEFu);
}

TEST_F(LoaderTest, LoaderNotStartedFailsCleanly) {
  WritePicture("early", Pattern(2, 2));
  ReleasePictureLoader();  // the screen buffer stays: it does not own the loader
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("early"), 0);
  EXPECT_EQ(picture.IsLoaded(), 0);
}

// Broken files fail to load, leave nothing that reads outside the picture,
// and fail again when asked again.
TEST_F(LoaderTest, BrokenFilesFailCleanly) {
  const dwqtool::Picture source = Pattern(6, 4, [](int x, int) { return uint8_t(x * 50); });
  auto made = [&](BodyType body, bool mask) {
    dwqtool::Options options;
    options.body = body;
    options.mask = mask;
    return Make(source, options);
  };
  auto set32 = [](std::vector<uint8_t> f, size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i)
      f[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
    return f;
  };
  auto cut = [](std::vector<uint8_t> f, size_t n) {
    f.resize(n);
    return f;
  };
  const size_t info = dwq::kHeaderSize + dwq::kFileHeaderSize;    // BITMAPINFOHEADER
  const size_t rows24 = dwq::kHeaderSize + dwq::kBmpHeadersSize;  // 4 rows of 20 bytes
  const size_t mask24 = rows24 + 4 * 20;                          // the mask section
  const std::vector<uint8_t> bmp24 = made(BodyType::kBmp24, true);
  const std::vector<uint8_t> bmp8 = made(BodyType::kBmp8, false);
  const std::vector<uint8_t> packed = made(BodyType::kPacked, true);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"header cut", cut(bmp24, 40)},
      {"bmp headers cut", cut(bmp24, 64 + 30)},
      {"palette cut", cut(bmp8, 64 + 54 + 100)},
      {"rows cut", cut(bmp24, rows24 + 50)},
      {"8-bit rows cut", cut(bmp8, bmp8.size() - 3)},
      {"mask headers cut", cut(bmp24, mask24 + 30)},
      {"mask palette cut", cut(bmp24, mask24 + 54 + 500)},
      {"mask rows cut", cut(bmp24, bmp24.size() - 2)},
      {"packed rows cut", cut(packed, 64 + 54 + 1024 + 3)},
      {"packed mask cut", cut(packed, packed.size() - 1)},
      {"negative width", set32(bmp24, info + 4, -6)},
      {"zero width", set32(bmp24, info + 4, 0)},
      {"zero height", set32(bmp24, info + 8, 0)},
      {"most negative height", set32(bmp24, info + 8, INT32_MIN)},
      {"taller than the file", set32(bmp24, info + 8, 5000)},
      {"wider than the file", set32(bmp8, info + 4, 1 << 20)},
      {"beyond 32 bits", set32(set32(bmp8, info + 4, 1 << 16), info + 8, 1 << 16)},
      {"beyond 64 bits", set32(set32(bmp8, info + 4, INT32_MAX), info + 8, INT32_MAX)},
      {"row wider than the buffer", set32(set32(bmp24, info + 4, 2000000), info + 8, 1)},
      {"16 bits a pixel", set32(bmp24, info + 14, 16)},
      {"32 bits a pixel", set32(bmp24, info + 14, 32)},
      {"palette of 257", set32(bmp8, info + 32, 257)},
      {"palette of 2^31", set32(bmp8, info + 32, 0x80000000)},
      {"packed 24-bit", set32(packed, info + 14, 24)},
      {"packed body larger than the file", set32(packed, dwq::kBodySize, 1 << 24)},
      {"packed body smaller than its headers", set32(packed, dwq::kBodySize, 20)},
      {"packed body negative", set32(packed, dwq::kBodySize, -5)},
      {"packed picture larger than its body", set32(packed, info + 4, 100000)},
      {"mask palette of 300", set32(bmp24, mask24 + 14 + 32, 300)},
      {"JPEG of 2^31 squared",
       [&] {
         std::vector<uint8_t> f =
             set32(set32(bmp24, dwq::kWidth, INT32_MAX), dwq::kHeight, INT32_MIN + 1);
         f[dwq::kType] = static_cast<uint8_t>(dwq::kTypeJpeg);
         return f;
       }()},
      {"PNG of no width",
       [&] {
         std::vector<uint8_t> f = set32(bmp24, dwq::kWidth, 0);
         f[dwq::kType] = static_cast<uint8_t>(dwq::kTypePng);
         return f;
       }()},
  };
  SetLoadDwqErrorFlag(1);
  dwqtool::Options packedOptions;
  packedOptions.body = BodyType::kPacked;
  WritePicture("good", source, packedOptions);
  int round = 0;
  for (const Case& c : cases) {
    // Every other round the picture held 8-bit indices before the failure.
    const int keep256 = round++ % 2;
    WriteDwq("bad", c.bytes);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("good", keep256), 1);
    host_->ClearBoxes();
    EXPECT_EQ(picture.LoadDWQ("bad", keep256), 0) << c.what;
    EXPECT_EQ(picture.LoadDWQ("bad", 1 - keep256), 0) << c.what;
    EXPECT_STRNE(picture.GetName(), "bad") << c.what;
    ASSERT_EQ(host_->Boxes().size(), 2u) << c.what;
    EXPECT_EQ(host_->Boxes()[0].text, "LOAD DWQ ERROR(Bad File)\nbad\nmode=0") << c.what;
    // Whatever is left draws inside the picture (the sanitizers watch).
    Clear(0);
    picture.Put(0, 0, 0);
    picture.Put(0, 0, 1);
    EXPECT_LE(CountChanged(0), 24) << c.what;
    picture.HitCheck(5, 3, 0, 0);
    picture.GetScreenRect(0, 0, -1, -1);
    // A good file loads into the same picture afterwards.
    EXPECT_EQ(picture.LoadDWQ("good", keep256), 1) << c.what;
  }
}

// Leaves a freed block of that size full of 0xA5, so the next block of the
// size the allocator hands out holds old bytes unless they are cleared.
void DirtyFreedBlock(size_t bytes) {
  void* block = ::operator new(bytes);
  std::memset(block, 0xA5, bytes);
  asm volatile("" : : "r"(block) : "memory");
  ::operator delete(block);
}

// A load writes its new blocks whole and clears the rest: the spare bytes
// past the pixels after a good load, the whole pixel block and mask after a
// failed one. Nothing the memory held shows.
// Both for small blocks and for large ones, which pictures given up before
// hand on.
TEST_F(LoaderTest, NewBlocksHoldNothingTheMemoryHeld) {
  for (const int w : {6, 160}) {
    const int h = w * 2 / 3;
    // At most 200 colours, so the 8-bit bodies hold them.
    dwqtool::Picture source = Pattern(w, h, [](int x, int y) { return uint8_t(x * 40 + y); });
    for (size_t i = 0; i < source.pixels.size(); ++i)
      source.pixels[i] = static_cast<uint32_t>(i * 7 % 200) * 0x00010203u;
    const size_t kPixelBlock = size_t(w) * h * 4 + 64, kMaskBlock = size_t(w) * h;
    auto file = [&](BodyType body, size_t cutBy) {
      dwqtool::Options options;
      options.body = body;
      options.mask = true;
      std::vector<uint8_t> f = Make(source, options);
      f.resize(f.size() - cutBy);
      return f;
    };
    auto allZero = [](const unsigned char* p, size_t n) {
      return p && std::all_of(p, p + n, [](unsigned char b) { return b == 0; });
    };
    struct Case {
      const char* what;
      std::vector<uint8_t> bytes;
      bool loads;
    } cases[] = {
        {"24-bit", file(BodyType::kBmp24, 0), true},
        {"8-bit", file(BodyType::kBmp8, 0), true},
        {"packed", file(BodyType::kPacked, 0), true},
        {"PNG", file(BodyType::kPng, 0), true},
        {"PNG stream cut", file(BodyType::kPng, 20), false},
        {"mask rows cut", file(BodyType::kBmp24, 2), false},
        {"packed mask cut", file(BodyType::kPacked, 1), false},
    };
    for (const Case& c : cases) {
      WriteDwq("fresh", c.bytes);
      DirtyFreedBlock(kMaskBlock);
      DirtyFreedBlock(kPixelBlock);
      {
        CPicture dirty(w, h, 1);
        std::memset(dirty.GetBuffer(), 0xA5, kPixelBlock);
        std::memset(dirty.GetMask(), 0xA5, kMaskBlock);
      }
      CPicture picture;
      ASSERT_EQ(picture.LoadDWQ("fresh"), c.loads ? 1 : 0) << c.what;
      const unsigned char* pixels = picture.GetBuffer();
      if (c.loads) {
        EXPECT_EQ(Pixels(picture), source.pixels) << c.what;
        EXPECT_TRUE(allZero(pixels + kPixelBlock - 64, 64)) << c.what;
        EXPECT_EQ(std::vector<uint8_t>(picture.GetMask(), picture.GetMask() + kMaskBlock),
                  source.alpha)
            << c.what;
      } else {
        EXPECT_TRUE(allZero(pixels, kPixelBlock)) << c.what;
        if (picture.GetMask()) {
          EXPECT_TRUE(allZero(picture.GetMask(), kMaskBlock)) << c.what;
        }
      }
    }
  }
}

// The box keeps the engine's words; the reason the loader found goes to
// stderr as one line every time, whether or not the box is shown.
TEST_F(LoaderTest, ReasonsReachStderrWithOrWithoutTheBox) {
  const dwqtool::Picture source = Pattern(6, 4);
  auto made = [&](BodyType body, bool mask, bool progressive = false) {
    dwqtool::Options options;
    options.body = body;
    options.mask = mask;
    options.jpegProgressive = progressive;
    return Make(source, options);
  };
  auto set32 = [](std::vector<uint8_t> f, size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
    return f;
  };
  const int buffer = GetPictureDecodeBufferSize();
  std::vector<uint8_t> large = set32(made(BodyType::kJpeg, false), dwq::kBodySize, buffer + 1);
  large.resize(dwq::kHeaderSize + buffer + 1);
  std::vector<uint8_t> masked = made(BodyType::kBmp24, true);
  masked.resize(masked.size() - 2);
  const size_t info = dwq::kHeaderSize + dwq::kFileHeaderSize;
  const std::string buffered = " is larger than the decode buffer (" + std::to_string(buffer) + " bytes)";
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string why;
  } cases[] = {
      {"JPEG body beyond the buffer", large,
       "the JPEG body (" + std::to_string(buffer + 1) + " bytes)" + buffered},
      {"row beyond the buffer", set32(set32(made(BodyType::kBmp24, false), info + 4, 2000000), info + 8, 1),
       "one row (6000000 bytes)" + buffered},
      {"mask cut short", masked, "the mask's rows are cut short"},
      {"progressive JPEG", made(BodyType::kJpeg, false, true), "the picture is not baseline JPEG"},
      {"16-bit rows", set32(made(BodyType::kBmp24, false), info + 14, 16),
       "the rows are of 16 bits, not 8 or 24"},
      {"header cut", std::vector<uint8_t>(40, 0), "the file is shorter than its header"},
  };
  for (int flag : {0, 1}) {
    SetLoadDwqErrorFlag(flag);
    for (const Case& c : cases) {
      WriteDwq("bad", c.bytes);
      host_->ClearBoxes();
      host_->ClearErrorLines();
      CPicture picture;
      EXPECT_EQ(picture.LoadDWQ("bad"), 0) << c.what;
      EXPECT_EQ(host_->ErrorLines(), std::vector<std::string>{"LOAD DWQ ERROR(Bad File) bad: " + c.why})
          << c.what;
      ASSERT_EQ(host_->Boxes().size(), static_cast<size_t>(flag)) << c.what;
      if (flag) {
        EXPECT_EQ(host_->Boxes()[0].text, "LOAD DWQ ERROR(Bad File)\nbad\nmode=0");
      }
    }
  }
  EXPECT_TRUE(host_->DebugLines().empty());
}

TEST_F(LoaderTest, RandomBytesFailCleanly) {
  std::mt19937 random(7);
  SetLoadDwqErrorFlag(0);
  const std::vector<uint8_t> good = Make(Pattern(9, 5), {});
  for (int round = 0; round < 60; ++round) {
    std::vector<uint8_t> bytes = good;
    if (round % 2) bytes.resize(random() % 400);
    for (uint8_t& b : bytes)
      if (random() % 8 == 0) b = static_cast<uint8_t>(random());
    if (bytes.size() > dwq::kType) bytes[dwq::kType] = static_cast<uint8_t>("1235789"[round % 7]);
    WriteDwq("noise", bytes);
    CPicture picture;
    picture.LoadDWQ("noise", round % 3 == 0);
    Clear(0);
    picture.Put(-2, -1, round % 2);
    picture.Put(kW - 3, kH - 2, 1);
  }
}

}  // namespace
}  // namespace graphics_test
