// zor-picture [options] IN.png|IN.jpg|IN.txt OUT.dwq
//   Writes a picture file (".dwq") from a PNG or a JPEG, refusing what the
//   game could not load; --fit WxH scales a photograph to the screen first.
//   See README.md.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "dwqwriter.h"
#include "fit.h"
#include "pngfile.h"
#include "textgrid.h"

namespace {

// Body types the tool offers.
struct BodyOption {
  const char* name;
  dwqtool::BodyType type;
  const char* help;
};

constexpr BodyOption kBodies[] = {
    {"bmp24", dwqtool::BodyType::kBmp24, "24-bit rows (red, green, blue)"},
    {"bmp8", dwqtool::BodyType::kBmp8, "8-bit rows with a palette (at most 256 colours)"},
    {"packed", dwqtool::BodyType::kPacked, "packed 8-bit rows; always with a mask section"},
    {"jpeg", dwqtool::BodyType::kJpeg, "baseline JPEG (a mask section with --mask)"},
    {"png", dwqtool::BodyType::kPng, "the input PNG unchanged; its alpha is the mask"},
};

int Usage() {
  std::fprintf(stderr,
               "usage: zor-picture [options] IN.png|IN.jpg|IN.txt OUT.dwq\n"
               "  --body TYPE          body coding (default bmp24):\n");
  for (const BodyOption& body : kBodies)
    std::fprintf(stderr, "      %-8s %s\n", body.name, body.help);
  std::fprintf(stderr,
               "  --mask               a mask section from the PNG's alpha\n"
               "  --box auto|L,T,R,B   the header box: the opaque part of the alpha, or\n"
               "                       these edges (right and bottom exclusive)\n"
               "  --negative-height    store the height negative (rows stay top first)\n"
               "  --palette full|used  8-bit bodies: 256 stored entries (default) or only\n"
               "                       the colours used\n"
               "  --quality Q          JPEG bodies: quality 1..100 (default 90)\n"
               "  --sampling S         JPEG bodies: chroma sampling 444, 422 or 420\n"
               "                       (default 420)\n"
               "  --restart N          JPEG bodies: a restart marker every N MCUs\n"
               "                       (default 0, none)\n"
               "  --scale N            a .txt input: every character becomes N x N pixels\n"
               "                       (1..64, default 1)\n"
               "  --anime-frame        a frame file of the full-screen animation instead\n"
               "                       (a PNG of at most 256 colours, the screen's size)\n"
               "  --fit WxH            a PNG or JPEG scaled to cover W x H (1..8192 each),\n"
               "                       the overflow cut off evenly on both sides\n"
               "  --screen WxH         the game's screen (default 800x600): a larger\n"
               "                       picture gets a warning\n"
               "A baseline JPEG input is stored as it is with --body jpeg.\n"
               "Exit status: 0 written, 1 refused (the reason on stderr), 2 a wrong command line.\n");
  return 2;
}

// A whole number in lo..hi, nothing else.
bool ParseNumber(const char* text, int lo, int hi, int* out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

bool ParseBox(const std::string& text, dwqtool::Options* options) {
  if (text == "auto") {
    options->autoBox = true;
    return true;
  }
  dwqtool::Box box;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &box.left, &box.top, &box.right, &box.bottom,
                  &tail) != 4)
    return false;
  options->autoBox = false;
  options->box = box;
  return true;
}

bool IsJpeg(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

// The picture file from the input: a PNG, or a JPEG (stored as it is for a
// JPEG body when the game's decoder takes it, else decoded by libjpeg).
// Every pixel of the picture becomes a scale x scale block.
dwqtool::Picture Enlarged(const dwqtool::Picture& in, int scale) {
  dwqtool::Picture out{in.width * scale, in.height * scale, {}, {}};
  out.pixels.reserve(static_cast<size_t>(out.width) * out.height);
  if (!in.alpha.empty()) out.alpha.reserve(out.pixels.capacity());
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const size_t i = static_cast<size_t>(y / scale) * in.width + x / scale;
      out.pixels.push_back(in.pixels[i]);
      if (!in.alpha.empty()) out.alpha.push_back(in.alpha[i]);
    }
  return out;
}

// The --fit size, or 0 x 0 when none is asked for.
struct FitSize {
  int width = 0, height = 0;
};

bool ParseFit(const std::string& text, FitSize* fit) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseNumber(text.substr(0, x).c_str(), 1, 8192, &fit->width) &&
         ParseNumber(text.substr(x + 1).c_str(), 1, 8192, &fit->height);
}

// Writes the picture's size into *size as well.
bool MakeFile(const std::string& path, const dwqtool::Options& options, int scale, FitSize fit,
              std::vector<uint8_t>* out, FitSize* size, std::string* error) {
  std::vector<uint8_t> input;
  if (!ReadFileBytes(path, &input)) {
    *error = "cannot read the file";
    return false;
  }
  dwqtool::Picture picture;
  const bool fitting = fit.width > 0;
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".txt") == 0) {
    if (fitting) {
      *error = "--fit scales a photograph (PNG or JPEG), not a picture drawn as text";
      return false;
    }
    if (!dwqtool::ReadTextGrid(std::string(input.begin(), input.end()), &picture, error)) return false;
    if (scale > 1) picture = Enlarged(picture, scale);
  } else if (IsJpeg(input)) {
    // Decoded either way: a damaged stream is refused.
    if (!dwqtool::DecodeJpeg(input, &picture, error)) return false;
    int width = 0, height = 0;
    const std::string why = dwqtool::EngineJpegProblem(input, &width, &height);
    if (options.body == dwqtool::BodyType::kJpeg && why.empty() && !fitting) {
      *size = {width, height};
      *out = dwqtool::AssembleFile(options, width, height, input, {});
      return true;
    }
    if (options.body == dwqtool::BodyType::kJpeg && !fitting)
      std::fprintf(stderr,
                   "zor-picture: note: %s: %s, which the game does not decode; "
                   "it is written again as baseline JPEG\n",
                   path.c_str(), why.c_str());
  } else if (!dwqtool::ReadPngFile(path, &picture, error)) {
    return false;
  } else if (options.body == dwqtool::BodyType::kPng) {
    // The stream goes in as it is, so every colour type and depth the game
    // reads can be used; it was read above, so it is a PNG.
    *size = {picture.width, picture.height};
    *out = dwqtool::AssembleFile(options, picture.width, picture.height, input, picture.alpha);
    return true;
  }
  if (fitting) {
    const dwqtool::Crop kept = dwqtool::CoverCrop(picture.width, picture.height, fit.width, fit.height);
    if (kept.width < fit.width)
      std::fprintf(stderr, "zor-picture: note: %s: the kept %dx%d is enlarged to %dx%d and will look soft\n",
                   path.c_str(), kept.width, kept.height, fit.width, fit.height);
    dwqtool::Picture fitted;
    if (!dwqtool::FitPicture(picture, fit.width, fit.height, &fitted, error)) return false;
    picture = std::move(fitted);
  }
  *size = {picture.width, picture.height};
  return dwqtool::MakeDwq(picture, options, out, error);
}

}  // namespace

int main(int argc, char** argv) {
  dwqtool::Options options;
  std::vector<std::string> files;
  bool animeFrame = false;
  int scale = 1;
  FitSize fit, screen{800, 600};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--body" && hasValue) {
      const std::string name = argv[++i];
      bool found = false;
      for (const BodyOption& body : kBodies)
        if (name == body.name) {
          options.body = body.type;
          found = true;
        }
      if (!found) {
        std::fprintf(stderr, "zor-picture: unknown body type '%s'\n", name.c_str());
        return Usage();
      }
    } else if (arg == "--scale" && hasValue) {
      if (!ParseNumber(argv[++i], 1, 64, &scale)) {
        std::fprintf(stderr, "zor-picture: --scale takes 1..64\n");
        return 2;
      }
    } else if (arg == "--fit" && hasValue) {
      if (!ParseFit(argv[++i], &fit)) {
        std::fprintf(stderr, "zor-picture: --fit takes WIDTHxHEIGHT, each 1..8192 (800x600)\n");
        return 2;
      }
    } else if (arg == "--screen" && hasValue) {
      if (!ParseFit(argv[++i], &screen)) {
        std::fprintf(stderr, "zor-picture: --screen takes WIDTHxHEIGHT, each 1..8192 (800x600)\n");
        return 2;
      }
    } else if (arg == "--anime-frame") {
      animeFrame = true;
    } else if (arg == "--mask") {
      options.mask = true;
    } else if (arg == "--box" && hasValue) {
      options.headerBox = true;
      if (!ParseBox(argv[++i], &options)) {
        std::fprintf(stderr, "zor-picture: --box takes auto or LEFT,TOP,RIGHT,BOTTOM\n");
        return 2;
      }
    } else if (arg == "--negative-height") {
      options.negativeHeight = true;
    } else if (arg == "--palette" && hasValue) {
      const std::string value = argv[++i];
      if (value != "full" && value != "used") return Usage();
      options.fullPalette = value == "full";
    } else if (arg == "--quality" && hasValue) {
      if (!ParseNumber(argv[++i], 1, 100, &options.jpegQuality)) {
        std::fprintf(stderr, "zor-picture: --quality takes 1..100\n");
        return 2;
      }
    } else if (arg == "--sampling" && hasValue) {
      const std::string value = argv[++i];
      if (value == "444") {
        options.jpegSampling = dwqtool::JpegSampling::k444;
      } else if (value == "422") {
        options.jpegSampling = dwqtool::JpegSampling::k422;
      } else if (value == "420") {
        options.jpegSampling = dwqtool::JpegSampling::k420;
      } else {
        std::fprintf(stderr, "zor-picture: --sampling takes 444, 422 or 420\n");
        return 2;
      }
    } else if (arg == "--restart" && hasValue) {
      if (!ParseNumber(argv[++i], 0, 65535, &options.jpegRestart)) {
        std::fprintf(stderr, "zor-picture: --restart takes 0..65535\n");
        return 2;
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return Usage();
  if (fit.width > 0 && (animeFrame || options.body == dwqtool::BodyType::kPng || scale > 1)) {
    std::fprintf(stderr, "zor-picture: --fit cannot go with %s\n",
                 animeFrame ? "--anime-frame" : scale > 1 ? "--scale" : "--body png (the input stored unchanged)");
    return 2;
  }
  if (options.headerBox && !options.mask && options.body != dwqtool::BodyType::kPacked &&
      options.body != dwqtool::BodyType::kPng)
    std::fprintf(stderr, "zor-picture: note: the game uses the header box only with a mask\n");

  std::vector<uint8_t> out;
  std::string error;
  FitSize size;
  if (animeFrame) {
    dwqtool::Picture picture;
    if (!dwqtool::ReadPngFile(files[0], &picture, &error) ||
        !dwqtool::MakeAnimeFrame(picture, &out, &error)) {
      std::fprintf(stderr, "zor-picture: %s: %s\n", files[0].c_str(), error.c_str());
      return 1;
    }
    size = {picture.width, picture.height};
  } else if (!MakeFile(files[0], options, scale, fit, &out, &size, &error)) {
    std::fprintf(stderr, "zor-picture: %s: %s\n", files[0].c_str(), error.c_str());
    return 1;
  }
  // What the game cannot load is not written.
  const std::string limit = animeFrame ? std::string() : dwqtool::LoaderLimitProblem(out);
  if (!limit.empty()) {
    std::fprintf(stderr, "zor-picture: %s: %s\n", files[0].c_str(), limit.c_str());
    return 1;
  }
  if (!dwqtool::WriteBytes(files[1], out)) {
    std::fprintf(stderr, "zor-picture: cannot write %s\n", files[1].c_str());
    return 1;
  }
  // The game draws a picture 1:1: what lies past the screen is never seen.
  if (size.width > screen.width || size.height > screen.height)
    std::fprintf(stderr,
                 "zor-picture: warning: %s: the picture is %dx%d, larger than the %dx%d screen, and the game "
                 "draws it unscaled; scale it with --fit %dx%d (--screen WxH names another screen size)\n",
                 files[0].c_str(), size.width, size.height, screen.width, screen.height, screen.width,
                 screen.height);
  return 0;
}
