// The real glyph rasteriser: FreeType in mono mode over faces that
// fontconfig finds. Needs no display; the SDL backend uses it, and a
// headless run can be given it (--real-fonts). FreeType and fontconfig stay
// private to this target.
#pragma once

#include <memory>
#include <string>

#include "platform/glyphs.h"

namespace platform {

// Which face a game's face name stands for.
enum class FaceKind { kGothic, kMincho, kMonospace, kOther };

struct FontFile {
  std::string path;    // host path of the font file
  int index = 0;       // face index within the file
  std::string family;  // UTF-8
  bool bold = false;   // the face itself is bold
};

// The kind of a CP932 face name: the engine's Windows names are matched
// after folding full-width ASCII and ASCII case.
FaceKind FaceKindOf(const std::string& cp932Face);

// The face for a CP932 face name: mapped names to their faces, others asked
// of fontconfig with the Japanese language; a face that is missing takes
// the face of `fallback` (a CP932 face name, found the same way), then the
// gothic face, the last resort whatever fontconfig offers for Japanese.
// False only when fontconfig finds no font at all.
bool FindFontFile(const std::string& cp932Face, int weight, FontFile* out,
                  const std::string& fallback = std::string());

std::shared_ptr<GlyphService> CreateFreeTypeGlyphs();

}  // namespace platform
