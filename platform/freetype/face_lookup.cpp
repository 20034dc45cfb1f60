// Which font file a game's face name stands for. fontconfig does not know
// the Windows names the games use (asked for "ＭＳ ゴシック" it answers with
// a Latin sans face), so those are mapped here first.
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"

namespace platform {
namespace {

// UTF-8 of a name with full-width ASCII and the ideographic space folded to
// ASCII and ASCII letters lowered, so "ＭＳ ゴシック" and "ms ゴシック" meet.
std::string FoldName(const std::string& cp932) {
  std::string out;
  for (char32_t c : Utf8ToCodePoints(Cp932ToUtf8(cp932))) {
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    if (c == 0x3000) c = U' ';
    if (c >= U'A' && c <= U'Z') c += 0x20;
    char buf[4];
    int n = 0;
    if (c < 0x80) {
      buf[n++] = static_cast<char>(c);
    } else if (c < 0x800) {
      buf[n++] = static_cast<char>(0xC0 | c >> 6);
      buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      buf[n++] = static_cast<char>(0xE0 | c >> 12);
      buf[n++] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      buf[n++] = static_cast<char>(0xF0 | c >> 18);
      buf[n++] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
      buf[n++] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
      buf[n++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    out.append(buf, static_cast<size_t>(n));
  }
  return out;
}

constexpr const char* kGothicFamily = "IPAGothic";
constexpr const char* kMinchoFamily = "IPAMincho";
constexpr const char* kMonospaceFamily = "DejaVu Sans Mono";

// The font fontconfig matches for a family; with exactOnly, false unless
// the match really is that family.
bool Match(FcConfig* config, const std::string& family, bool japanese, int weight,
           bool exactOnly, FontFile* out) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const auto* fam = reinterpret_cast<const FcChar8*>(family.c_str());
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, fam);
  if (japanese) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  bool exact = false;
  FcChar8* name = nullptr;
  std::string first;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (i == 0) first = reinterpret_cast<const char*>(name);
    if (!family.empty() && FcStrCmpIgnoreCase(name, fam) == 0) exact = true;
  }
  FcChar8* path = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch &&
            (exact || !exactOnly);
  if (ok) {
    int index = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    int matchWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &matchWeight);
    out->path = reinterpret_cast<const char*>(path);
    out->index = index;
    out->family = exact ? family : first;
    out->bold = matchWeight >= FC_WEIGHT_BOLD;
  }
  FcPatternDestroy(match);
  return ok;
}

// The process's one fontconfig configuration, with every font on the machine
// listed: loading it costs milliseconds, a match a tenth of one. Made on
// first use and released at exit; matches are made one at a time.
class Fonts {
 public:
  static Fonts& Get() {
    static Fonts fonts;
    return fonts;
  }
  FcConfig* config() const { return config_; }
  std::mutex& lock() { return lock_; }

 private:
  Fonts() : config_(FcInitLoadConfigAndFonts()) {}
  ~Fonts() {
    if (config_) FcConfigDestroy(config_);
  }
  FcConfig* config_;
  std::mutex lock_;
};

}  // namespace

FaceKind FaceKindOf(const std::string& cp932Face) {
  static const struct {
    const char* folded;
    FaceKind kind;
  } kMapped[] = {
      {"ms ゴシック", FaceKind::kGothic},  {"ms 明朝", FaceKind::kMincho},
      {"consolas", FaceKind::kMonospace}, {"courier new", FaceKind::kMonospace},
      {"ipagothic", FaceKind::kGothic},   {"ipamincho", FaceKind::kMincho},
  };
  if (cp932Face.empty()) return FaceKind::kGothic;
  const std::string folded = FoldName(cp932Face);
  for (const auto& m : kMapped) {
    if (folded == m.folded) return m.kind;
  }
  return FaceKind::kOther;
}

namespace {

// The family a CP932 face name stands for, and whether it is asked for with
// the Japanese language.
std::pair<std::string, bool> FamilyOf(const std::string& cp932Face) {
  switch (FaceKindOf(cp932Face)) {
    case FaceKind::kGothic: return {kGothicFamily, true};
    case FaceKind::kMincho: return {kMinchoFamily, true};
    case FaceKind::kMonospace: return {kMonospaceFamily, false};
    case FaceKind::kOther: break;
  }
  return {Cp932ToUtf8(cp932Face), true};
}

}  // namespace

bool FindFontFile(const std::string& cp932Face, int weight, FontFile* out,
                  const std::string& fallback) {
  Fonts& fonts = Fonts::Get();
  FcConfig* config = fonts.config();
  if (!config) return false;
  std::lock_guard<std::mutex> hold(fonts.lock());
  // The face, the fallback's face, the gothic face: each family once.
  std::vector<std::pair<std::string, bool>> wanted;  // family, Japanese
  auto want = [&wanted](const std::pair<std::string, bool>& family) {
    for (const auto& w : wanted)
      if (w.first == family.first) return;
    wanted.push_back(family);
  };
  want(FamilyOf(cp932Face));
  if (!fallback.empty()) want(FamilyOf(fallback));
  want({kGothicFamily, true});
  bool found = false;
  for (const auto& [family, japanese] : wanted) {
    if (Match(config, family, japanese, weight, true, out)) {
      found = true;
      break;
    }
  }
  // The last resort: whatever fontconfig offers for Japanese text.
  if (!found) found = Match(config, std::string(), true, weight, false, out);
  return found;
}

}  // namespace platform
