// Writes the seed corpora of fuzz_jpegbody and fuzz_pngbody: JPEG streams of
// every sampling, with and without restart markers and tables, and PNG
// streams of every colour type and bit depth, with transparency chunks and
// interlacing.
#include <cstdio>
#include <string>
#include <vector>

#include "dwqwriter.h"

namespace {

dwqtool::Picture Sample(int w, int h) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.pixels.push_back(static_cast<uint32_t>((x * 40) & 0xFF) << 16 |
                         static_cast<uint32_t>((y * 50) & 0xFF) << 8 |
                         static_cast<uint32_t>(((x ^ y) * 30) & 0xFF));
  return p;
}

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (dwqtool::WriteBytes(path, bytes)) return true;
  std::fprintf(stderr, "fuzz_body_seeds: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fuzz_body_seeds JPEG_DIR PNG_DIR\n");
    return 2;
  }
  const std::string jpegDir = argv[1], pngDir = argv[2];
  using dwqtool::JpegSampling;
  struct JpegSeed {
    const char* name;
    int w, h;
    JpegSampling sampling;
    int restart;
    bool tables;
  } jpegs[] = {
      {"444", 9, 7, JpegSampling::k444, 0, true},
      {"422-restart", 17, 9, JpegSampling::k422, 1, true},
      {"420", 16, 16, JpegSampling::k420, 0, true},
      {"420-restart", 33, 17, JpegSampling::k420, 2, true},
      {"420-no-tables", 16, 8, JpegSampling::k420, 0, false},
      {"tiny", 1, 1, JpegSampling::k420, 0, true},
  };
  for (const JpegSeed& s : jpegs) {
    dwqtool::Options options;
    options.jpegSampling = s.sampling;
    options.jpegRestart = s.restart;
    options.jpegTables = s.tables;
    options.jpegQuality = 80;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!dwqtool::EncodeJpeg(Sample(s.w, s.h), options, &bytes, &error)) {
      std::fprintf(stderr, "fuzz_body_seeds: %s: %s\n", s.name, error.c_str());
      return 1;
    }
    if (!Write(jpegDir + "/" + s.name + ".jpg", bytes)) return 1;
  }
  struct PngSeed {
    int type, depth;
    bool interlaced, trans;
  } pngs[] = {{0, 1, false, true},  {0, 4, true, false},  {0, 16, false, true},
              {2, 8, false, true},  {2, 16, true, false}, {3, 2, false, true},
              {3, 8, true, false},  {4, 8, false, false}, {4, 16, true, false},
              {6, 8, false, false}, {6, 16, false, false}};
  for (const PngSeed& s : pngs) {
    dwqtool::PngImage im;
    im.width = 7;
    im.height = 5;
    im.colourType = s.type;
    im.bitDepth = s.depth;
    im.interlaced = s.interlaced;
    const int channels = s.type == 2 ? 3 : s.type == 4 ? 2 : s.type == 6 ? 4 : 1;
    for (int i = 0; i < 7 * 5 * channels; ++i)
      im.samples.push_back(static_cast<uint16_t>((i * 7919) & ((1 << s.depth) - 1)));
    if (s.type == 3)
      for (int i = 0; i < (1 << s.depth); ++i) im.palette.push_back(0x00204060u * i & 0xFFFFFF);
    if (s.trans && s.type == 3) im.paletteAlpha = {0, 100};
    if (s.trans && s.type != 3) {
      im.transColour = true;
      im.transGrey = im.transRed = im.samples[0];
    }
    std::vector<uint8_t> bytes;
    std::string error;
    if (!dwqtool::EncodePng(im, &bytes, &error)) {
      std::fprintf(stderr, "fuzz_body_seeds: PNG %d/%d: %s\n", s.type, s.depth, error.c_str());
      return 1;
    }
    const std::string name = "type" + std::to_string(s.type) + "-" + std::to_string(s.depth) +
                             (s.interlaced ? "-i" : "") + (s.trans ? "-t" : "") + ".png";
    if (!Write(pngDir + "/" + name, bytes)) return 1;
  }
  return 0;
}
