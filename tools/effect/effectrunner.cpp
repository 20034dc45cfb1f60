#include "effectrunner.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "effect/effectmanager.h"
#include "graphics/pictureloader.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "platform/common/png_writer.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "pngfile.h"
#include "setup/random.h"
#include "tools/common/hostfile.h"

namespace effecttool {

namespace {

// "W" "x" "H" with both in 1..16384.
bool ParseSize(const std::string& text, int* w, int* h) {
  unsigned a = 0, b = 0;
  char x = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%u%c%u%c", &a, &x, &b, &tail) != 3 || x != 'x') return false;
  if (a < 1 || b < 1 || a > 16384 || b > 16384) return false;
  *w = static_cast<int>(a);
  *h = static_cast<int>(b);
  return true;
}

// Comma-separated whole numbers (at least `min` of them).
bool ParseInts(const std::string& text, size_t min, std::vector<int>* out) {
  out->clear();
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(item.c_str(), &end, 0);
    if (item.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    out->push_back(static_cast<int>(v));
  }
  return out->size() >= min;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

dwqtool::Picture Generated(int w, int h, uint32_t (*colour)(int x, int y, int w, int h)) {
  dwqtool::Picture p{w, h, {}, {}};
  p.pixels.resize(static_cast<size_t>(w) * h);
  p.alpha.assign(static_cast<size_t>(w) * h, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.pixels[static_cast<size_t>(y) * w + x] = colour(x, y, w, h);
  return p;
}

// A ramp of one colour byte, with the position's own low and high bytes in
// the other two so every column (row) differs.
uint32_t Ramp(int i, int n) {
  return static_cast<uint32_t>(i * 255 / std::max(n - 1, 1));
}
uint32_t HGrad(int x, int, int w, int) {
  return Ramp(x, w) << 16 | static_cast<uint32_t>(x & 0xFF) << 8 | static_cast<uint32_t>(x >> 8 & 0xFF);
}
uint32_t VGrad(int, int y, int, int h) {
  return static_cast<uint32_t>(y >> 8 & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8 | Ramp(y, h);
}

}  // namespace

bool ParsePictureSpec(const std::string& spec, int screenW, int screenH, dwqtool::Picture* out,
                      std::string* dwqPath, std::string* error) {
  dwqPath->clear();
  const size_t colon = spec.find(':');
  const std::string kind = spec.substr(0, colon);
  std::string rest = colon == std::string::npos ? "" : spec.substr(colon + 1);
  int w = screenW, h = screenH;
  auto takeSize = [&](const std::string& text) {
    if (text.empty() || ParseSize(text, &w, &h)) return true;
    *error = "bad size \"" + text + "\" (WxH)";
    return false;
  };
  if (kind == "solid") {
    const size_t second = rest.find(':');
    const std::string hex = rest.substr(0, second);
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      *error = "solid needs a colour RRGGBB, not \"" + hex + "\"";
      return false;
    }
    if (second != std::string::npos && !takeSize(rest.substr(second + 1))) return false;
    const uint32_t colour = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
    *out = Generated(w, h, [](int, int, int, int) { return 0u; });
    std::fill(out->pixels.begin(), out->pixels.end(), colour);
    return true;
  }
  if (kind == "hgrad" || kind == "vgrad") {
    if (!takeSize(rest)) return false;
    *out = Generated(w, h, kind == "hgrad" ? HGrad : VGrad);
    return true;
  }
  if (EndsWithNoCase(spec, ".dwq")) {
    *dwqPath = spec;
    return true;
  }
  if (!dwqtool::ReadPngFile(spec, out, error)) {
    *error = spec + ": " + *error;
    return false;
  }
  return true;
}

// --- EffectRunner ---

EffectRunner::EffectRunner(int width, int height, const std::string& workFolder)
    : width_(width), height_(height), workFolder_(workFolder) {
  platform::SetGameFolder(workFolder_);
  InitPictureLoader(dwq::kDecodeMegabytes);
  screen_ = std::make_unique<CScreenBuffer>(width, height, 0);
  if (uint32_t* pixels = CScreenBuffer::GetBuffer())
    std::fill_n(pixels, static_cast<size_t>(width) * height, 0u);
  manager_ = std::make_unique<CEffectManager>();
}

EffectRunner::~EffectRunner() {
  manager_.reset();
  screen_.reset();
  ReleasePictureLoader();
}

bool LoadDwqThroughFolder(CPicture* target, const std::string& hostPath,
                          const std::string& workFolder, std::string* error, bool keep256) {
  static int loads = 0;
  std::string bytes;
  if (!toolsupport::ReadHostFile(hostPath, &bytes)) {
    *error = hostPath + ": cannot read the file";
    return false;
  }
  const std::string name = "effect" + std::to_string(++loads);
  std::filesystem::create_directories(std::filesystem::path(workFolder) / "dwq");
  const std::string path = workFolder + "/dwq/" + name + ".dwq";
  if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) {
    *error = path + ": cannot write the file";
    return false;
  }
  target->ClearName();
  const int loaded = target->LoadDWQ(name.c_str(), keep256 ? 1 : 0);
  std::filesystem::remove(path);
  if (!loaded) {
    *error = hostPath + ": the picture does not load";
    return false;
  }
  return true;
}

bool LoadPictureThroughFile(CPicture* target, const dwqtool::Picture& picture,
                            const std::string& workFolder, std::string* error, bool keep256) {
  dwqtool::Options options;
  if (keep256) options.body = dwqtool::BodyType::kBmp8;
  options.mask = !picture.alpha.empty();
  std::vector<uint8_t> bytes;
  if (!dwqtool::MakeDwq(picture, options, &bytes, error)) return false;
  const std::string path = workFolder + "/made.dwq";
  if (!toolsupport::WriteHostFile(path, bytes.data(), bytes.size())) {
    *error = path + ": cannot write the file";
    return false;
  }
  const bool ok = LoadDwqThroughFolder(target, path, workFolder, error, keep256);
  std::filesystem::remove(path);
  return ok;
}

bool EffectRunner::LoadSpec(CPicture* target, const std::string& spec, std::string* error) {
  dwqtool::Picture picture;
  std::string dwqPath;
  if (!ParsePictureSpec(spec, width_, height_, &picture, &dwqPath, error)) return false;
  return dwqPath.empty() ? LoadPictureThroughFile(target, picture, workFolder_, error)
                         : LoadDwqThroughFolder(target, dwqPath, workFolder_, error);
}

bool EffectRunner::LoadSaved(const std::string& spec, std::string* error) {
  CPicture source;
  if (!LoadSpec(&source, spec, error)) return false;
  CPicture* saved = CEffectManager::GetSavedScreen();
  if (!saved || !saved->GetPixelBuffer() || source.Get256Flag() || !source.GetPixelBuffer()) {
    *error = "no saved screen to fill, or an 8-bit picture";
    return false;
  }
  const int w = std::min(saved->GetWidth(), source.GetWidth());
  const int h = std::min(saved->GetHeight(), source.GetHeight());
  for (int y = 0; y < h; ++y)
    std::copy_n(source.GetPixelBuffer() + static_cast<size_t>(y) * source.GetWidth(), w,
                saved->GetPixelBuffer() + static_cast<size_t>(y) * saved->GetWidth());
  return true;
}

void GameFrame(CEffectManager& manager, int onlyEnabled, int step, int mouseX, int mouseY) {
  CScreenBuffer::StartFrame();
  manager.SetMousePos(mouseX, mouseY);
  manager.Tick();
  manager.Calcu();
  manager.CheckRedraw();
  manager.Print(0, onlyEnabled);
  manager.Print(1, onlyEnabled);
  manager.FinishEffects();
  manager.AddFrame(step);
}

void EffectRunner::Frame() {
  GameFrame(*manager_, 1, 1, mouseX_, mouseY_);
  ++frames_;
}

uint32_t EffectRunner::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !CScreenBuffer::GetBuffer()) return 0;
  return CScreenBuffer::GetBuffer()[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF;
}

uint64_t EffectRunner::Hash() const {
  uint64_t h = 1469598103934665603ull;
  const uint32_t* pixels = CScreenBuffer::GetBuffer();
  for (size_t i = 0; pixels && i < static_cast<size_t>(width_) * height_; ++i) {
    const uint32_t p = pixels[i] & 0xFFFFFF;
    for (int b = 0; b < 4; ++b) {
      h ^= (p >> (8 * b)) & 0xFF;
      h *= 1099511628211ull;
    }
  }
  return h;
}

bool EffectRunner::WritePng(const std::string& hostPath) const {
  platform::FrameView view;
  view.pixels = CScreenBuffer::GetBuffer();
  view.width = width_;
  view.height = height_;
  view.pitch = width_ * 4;
  return platform::WritePngFile(hostPath, view);
}

// --- The command line ---

namespace {

constexpr const char* kUsage =
    "usage: zor-effect [options] [OUT.png]\n"
    "options apply in order:\n"
    "  --size WxH              screen size (default 800x600, black); first\n"
    "  --picture CH=SPEC       load a picture into channel CH and show it there\n"
    "                          (SPEC may be a bare NAME: the game's picture,\n"
    "                          loaded by the engine's loader, keeping its name)\n"
    "  --load CH=SPEC          load channel CH's picture only (a source for others)\n"
    "  --saved SPEC            fill the saved screen\n"
    "  --rect CH,KIND,X,Y,W,H  set a rectangle (0 source start, 1 source end,\n"
    "                          2 draw start, 3 draw end, 4 source, 5 draw)\n"
    "  --start CH,NUMBER[,V...] start an effect (prints \"refused CH,NUMBER\")\n"
    "  --game DIR              where the game's files are found (particle sheets\n"
    "                          and the sparkle glow in dwq/sys/, the frames of the\n"
    "                          full-screen animation in dwq/an/; default the\n"
    "                          current folder);\n"
    "                          before the options that draw\n"
    "  --seed N                seed the random generator\n"
    "  --frames N              run N frames (one runs before the first probe or\n"
    "                          the end when no --frames came before)\n"
    "  --probe X,Y             print \"probe X,Y rrggbb\"\n"
    "  --mouse X,Y             the pointer from the next frame on\n"
    "  --hash                  print \"frame N hash\" after every frame\n"
    "  --every K DIR           write DIR/frameNNNNN.png every K frames\n"
    "  --old SPEC, --new SPEC  the wipe viewer's pictures (hgrad, vgrad)\n"
    "  --wipe N,P,M            draw wipe N at progress P of M over a black\n"
    "                          screen through the manager's transition step\n"
    "  --wipe-sheet P,M        every wipe 0..95 at P of M, one screen-sized cell\n"
    "                          each, 12 to a row in number order; OUT.png is the\n"
    "                          sheet\n"
    "  --game DIR              read the game's files (particle sheets in dwq/sys,\n"
    "                          frame files in dwq/an, mesh files in mok) from\n"
    "                          DIR; before drawing options\n"
    "  --load-errors           switch the picture loader's error report on\n"
    "  --debug-output          print the engine's debug lines on stderr\n"
    "Message boxes print on stderr as \"[box] CAPTION: TEXT\" lines.\n"
    "SPEC: solid:RRGGBB[:WxH], hgrad[:WxH], vgrad[:WxH], FILE.png (alpha is the\n"
    "mask) or FILE.dwq\n";

struct ToolState {
  ToolState(std::ostream& o, std::ostream& e) : out(o), err(e) {}
  std::ostream& out;
  std::ostream& err;
  int width = 800, height = 600;
  std::string workFolder;
  // --game: the folder is the user's, never removed.
  bool ownFolder = true;
  bool loadErrors = false;
  bool debugOutput = false;
  platform::HeadlessBackend* host = nullptr;
  std::unique_ptr<EffectRunner> runner;
  bool ranFrames = false;
  bool hash = false;
  int every = 0;
  std::string everyDir;
  // The wipe viewer: the pictures and the step still to draw.
  std::string oldSpec = "hgrad", newSpec = "vgrad";
  enum class Wipe { kNone, kOne, kSheet } wipe = Wipe::kNone;
  std::vector<int> wipeValues;
  std::vector<uint32_t> sheet;
  int sheetW = 0, sheetH = 0;

  EffectRunner& Runner() {
    if (!runner) {
      if (loadErrors) SetLoadDwqErrorFlag(1);
      runner = std::make_unique<EffectRunner>(width, height, workFolder);
    }
    return *runner;
  }
  // The boxes and debug lines the engine gave since the last call.
  void Report() {
    if (!host) return;
    for (const platform::BoxRecord& box : host->Boxes())
      err << "[box] " << platform::Cp932ToUtf8(box.caption) << ": "
          << platform::Cp932ToUtf8(box.text) << "\n";
    host->ClearBoxes();
    if (debugOutput)
      for (const std::string& line : host->DebugLines()) err << platform::Cp932ToUtf8(line);
    host->ClearDebugLines();
  }
  bool Fail(const std::string& message) {
    err << "zor-effect: " << message << "\n";
    return false;
  }
  void RunFrames(int n) {
    ranFrames = true;
    for (int i = 0; i < n; ++i) {
      Runner().Frame();
      const int number = Runner().FrameCount();
      if (hash) {
        char line[64];
        std::snprintf(line, sizeof line, "frame %d %016" PRIx64 "\n", number, Runner().Hash());
        out << line;
      }
      if (every > 0 && number % every == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame%05d.png", number);
        if (!Runner().WritePng(everyDir + name)) err << "zor-effect: cannot write " << everyDir + name << "\n";
      }
    }
  }
  void EnsureFrame() {
    if (!ranFrames) RunFrames(1);
  }
  // Draws the wipe or the sheet asked for, in place of a frame.
  bool DrawWipe() {
    if (wipe == Wipe::kNone) return true;
    const Wipe what = wipe;
    wipe = Wipe::kNone;
    ranFrames = true;
    CPicture from, to;
    std::string error;
    if (!Runner().LoadSpec(&from, oldSpec, &error) || !Runner().LoadSpec(&to, newSpec, &error))
      return Fail(error);
    CEffectManager& m = Runner().Manager();
    const int w = Runner().Width(), h = Runner().Height();
    auto step = [&](int number, int progress, int max) {
      std::fill_n(CScreenBuffer::GetBuffer(), static_cast<size_t>(w) * h, 0u);
      m.PrintWipe(number, &from, &to, progress, max);
    };
    if (what == Wipe::kOne) {
      step(wipeValues[0], wipeValues[1], wipeValues[2]);
      return true;
    }
    constexpr int kColumns = 12, kNumbers = 96;
    sheetW = w * kColumns;
    sheetH = h * (kNumbers / kColumns);
    sheet.assign(static_cast<size_t>(sheetW) * sheetH, 0u);
    for (int n = 0; n < kNumbers; ++n) {
      step(n, wipeValues[0], wipeValues[1]);
      for (int y = 0; y < h; ++y)
        std::copy_n(CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * w, w,
                    sheet.data() + (static_cast<size_t>(n / kColumns) * h + y) * sheetW +
                        static_cast<size_t>(n % kColumns) * w);
    }
    return true;
  }
  bool WriteOutput(const std::string& path) {
    if (sheet.empty()) return Runner().WritePng(path);
    platform::FrameView view;
    view.pixels = sheet.data();
    view.width = sheetW;
    view.height = sheetH;
    view.pitch = sheetW * 4;
    return platform::WritePngFile(path, view);
  }
};

// "CH=SPEC" with CH 0..15.
bool SplitChannelSpec(const std::string& text, int* channel, std::string* spec) {
  const size_t eq = text.find('=');
  std::vector<int> ch;
  if (eq == std::string::npos || !ParseInts(text.substr(0, eq), 1, &ch) || ch.size() != 1 ||
      ch[0] < 0 || ch[0] >= CEffectManager::kChannels)
    return false;
  *channel = ch[0];
  *spec = text.substr(eq + 1);
  return true;
}

// A game picture's name rather than a spec: no kind, no file suffix.
bool IsBareName(const std::string& spec) {
  if (spec.empty() || spec.find(':') != std::string::npos || spec == "hgrad" || spec == "vgrad")
    return false;
  auto endsWith = [&](const char* suffix) {
    const std::string tail(suffix);
    return spec.size() >= tail.size() &&
           spec.compare(spec.size() - tail.size(), tail.size(), tail) == 0;
  };
  return !endsWith(".png") && !endsWith(".dwq") && !endsWith(".PNG") && !endsWith(".DWQ");
}

// One option with its value; false stops the run.
bool ApplyOption(ToolState& s, const std::string& option, const std::string& value) {
  std::vector<int> v;
  std::string error, spec;
  int channel = 0;
  if (option == "--game") {
    if (s.runner) return s.Fail("--game must come before the options that draw");
    if (!std::filesystem::is_directory(value)) return s.Fail("--game: no folder \"" + value + "\"");
    if (s.ownFolder) {
      std::error_code ec;
      std::filesystem::remove_all(s.workFolder, ec);
    }
    s.workFolder = value;
    s.ownFolder = false;
  } else if (option == "--size") {
    if (s.runner) return s.Fail("--size must come before the options that draw");
    if (!ParseSize(value, &s.width, &s.height)) return s.Fail("bad --size \"" + value + "\"");
  } else if (option == "--picture" || option == "--load") {
    if (!SplitChannelSpec(value, &channel, &spec)) return s.Fail(option + " needs CH=SPEC");
    CPicture* target = s.Runner().Manager().GetPicture(channel);
    if (IsBareName(spec)) {
      if (!target->LoadDWQ(spec.c_str())) return s.Fail(spec + ": the picture does not load");
    } else if (!s.Runner().LoadSpec(target, spec, &error)) {
      return s.Fail(error);
    }
    if (option == "--picture") s.Runner().Manager().SetPicture(channel, channel);
  } else if (option == "--saved") {
    if (!s.Runner().LoadSaved(value, &error)) return s.Fail(error);
  } else if (option == "--rect") {
    if (!ParseInts(value, 6, &v) || v.size() != 6) return s.Fail("--rect needs CH,KIND,X,Y,W,H");
    s.Runner().Manager().SetRect(v[0], v[1], v.data() + 2);
  } else if (option == "--start") {
    if (!ParseInts(value, 2, &v)) return s.Fail("--start needs CH,NUMBER[,V...]");
    if (!s.Runner().Manager().StartEffect(v[0], v[1], static_cast<int>(v.size() - 2),
                                          v.data() + 2))
      s.out << "refused " << v[0] << "," << v[1] << "\n";
  } else if (option == "--seed") {
    if (!ParseInts(value, 1, &v) || v.size() != 1) return s.Fail("--seed needs a number");
    crt::srand(static_cast<uint32_t>(v[0]));
  } else if (option == "--frames") {
    if (!ParseInts(value, 1, &v) || v.size() != 1 || v[0] < 0 || v[0] > 1000000)
      return s.Fail("--frames needs a number 0..1000000");
    s.RunFrames(v[0]);
  } else if (option == "--old" || option == "--new") {
    (option == "--old" ? s.oldSpec : s.newSpec) = value;
  } else if (option == "--wipe") {
    if (!ParseInts(value, 3, &v) || v.size() != 3) return s.Fail("--wipe needs N,P,M");
    s.wipe = ToolState::Wipe::kOne;
    s.wipeValues = v;
  } else if (option == "--wipe-sheet") {
    if (!ParseInts(value, 2, &v) || v.size() != 2) return s.Fail("--wipe-sheet needs P,M");
    if (int64_t{s.width} * 12 * s.height * 8 > (int64_t{1} << 24))
      return s.Fail("--wipe-sheet needs a smaller --size (the sheet is 12 x 8 screens)");
    s.wipe = ToolState::Wipe::kSheet;
    s.wipeValues = v;
  } else if (option == "--probe") {
    if (!ParseInts(value, 2, &v) || v.size() != 2) return s.Fail("--probe needs X,Y");
    if (!s.DrawWipe()) return false;
    s.EnsureFrame();
    char line[64];
    std::snprintf(line, sizeof line, "probe %d,%d %06x\n", v[0], v[1],
                  s.Runner().Pixel(v[0], v[1]));
    s.out << line;
  } else if (option == "--mouse") {
    if (!ParseInts(value, 2, &v) || v.size() != 2) return s.Fail("--mouse needs X,Y");
    s.Runner().SetMouse(v[0], v[1]);
  } else {
    return s.Fail("unknown option " + option);
  }
  return true;
}

// A fresh work folder for the picture files of one run.
std::string MakeWorkFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/zor-effect-XXXXXX";
  char* made = ::mkdtemp(pattern.data());
  return made ? std::string(made) : std::string();
}

}  // namespace

int RunEffectTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  platform::HeadlessBackend* host) {
  ToolState s(out, err);
  s.host = host;
  const int reportBefore = GetLoadDwqErrorFlag();
  std::vector<std::pair<std::string, std::string>> options;
  std::string outPng;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      out << kUsage;
      return 0;
    }
    if (a == "--hash") {
      s.hash = true;
    } else if (a == "--load-errors") {
      s.loadErrors = true;
    } else if (a == "--debug-output") {
      s.debugOutput = true;
    } else if (a == "--every") {
      std::vector<int> k;
      if (i + 2 >= args.size() || !ParseInts(args[i + 1], 1, &k) || k.size() != 1 || k[0] < 1) {
        err << "zor-effect: --every needs K DIR\n" << kUsage;
        return 2;
      }
      s.every = k[0];
      s.everyDir = args[i + 2];
      i += 2;
    } else if (a.rfind("--", 0) == 0) {
      if (i + 1 >= args.size()) {
        err << "zor-effect: " << a << " needs a value\n" << kUsage;
        return 2;
      }
      options.emplace_back(a, args[++i]);
    } else if (outPng.empty()) {
      outPng = a;
    } else {
      err << "zor-effect: one output file only\n" << kUsage;
      return 2;
    }
  }
  s.workFolder = MakeWorkFolder();
  if (s.workFolder.empty()) {
    err << "zor-effect: cannot make a work folder\n";
    return 1;
  }
  int status = 0;
  for (const auto& [option, value] : options) {
    const bool ok = ApplyOption(s, option, value);
    s.Report();
    if (!ok) {
      status = 2;
      break;
    }
  }
  if (status == 0 && !s.DrawWipe()) status = 2;
  if (status == 0) {
    s.EnsureFrame();
    s.Report();
    if (!outPng.empty() && !s.WriteOutput(outPng)) {
      err << "zor-effect: cannot write " << outPng << "\n";
      status = 1;
    }
  }
  s.runner.reset();
  s.Report();
  SetLoadDwqErrorFlag(reportBefore);
  std::error_code ec;
  if (s.ownFolder) std::filesystem::remove_all(s.workFolder, ec);
  return status;
}

}  // namespace effecttool
