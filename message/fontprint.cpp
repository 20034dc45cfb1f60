// CFontPrint: construction, the begun print, user font, cache and drawing
// of cached lines. Rendering is in fontprint_render.cpp.
#include "message/fontprint.h"

#include <algorithm>
#include <cstdio>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "message/rendersettings.h"
#include "message/userfont.h"
#include "platform/codec.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"

namespace {
const char kMinchoFaceName[] = "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9";  // ＭＳ 明朝
constexpr size_t kMaxFaceBytes = 255;
}  // namespace

CFontPrint::CFontPrint(const char* face) {
  const CFontRenderSettings& settings = GetRenderSettings();
  if (settings.codeByte == 1) {
    fallbackFace_ = settings.fontKind == 0 ? "Consolas" : "Courier New";
  } else {
    fallbackFace_ = settings.fontKind == 0 ? kGothicFaceName : kMinchoFaceName;
  }
  face_ = fallbackFace_;
  if (!settings.faceName.empty()) face_ = settings.faceName;
  if (face) face_ = face;
  if (face_.size() > kMaxFaceBytes) face_.resize(kMaxFaceBytes);
  if (fallbackFace_.size() > kMaxFaceBytes) fallbackFace_.resize(kMaxFaceBytes);

  screenWidth_ = std::max(CScreenBuffer::GetWidth(), 1);
  dibWidth_ = 2 * screenWidth_;
  dib_.assign(static_cast<size_t>(dibWidth_) * kDibRows, kEmpty);
  work_ = std::make_unique<CPicture>(screenWidth_, kWorkHeight, 1);
  work_->SetMaskFlag(1);
  if (settings.rubiFlag) {
    annotationWork_ = std::make_unique<CPicture>(screenWidth_, kWorkHeight, 1);
    annotationWork_->SetMaskFlag(1);
  }
  layer_ = std::make_unique<CTextLayer>(settings.rubiFlag);
  special_ = std::make_unique<CPicture>();
  special_->LoadDWQ("sys\\spfont24");
  // Each size's font is opened when text of that size is first drawn.
  glyphs_ = platform::Glyphs();
}

CFontPrint::~CFontPrint() { Release(); }

void CFontPrint::Release() {
  userFont_.reset();
  layer_.reset();
  work_.reset();
  annotationWork_.reset();
  special_.reset();
  extra_.reset();
  for (auto& font : fonts_) font.reset();
  dib_.clear();
  current_ = -1;
  busy_ = false;
}

platform::GlyphFont* CFontPrint::Font(int size) {
  size = std::clamp(size, 1, kMaxSize);
  if (!fonts_[size] && glyphs_) {
    const CFontRenderSettings& settings = GetRenderSettings();
    fonts_[size] = glyphs_->OpenFont(
        {face_, size, settings.fontWeight, settings.fontItalic != 0, fallbackFace_});
  }
  return fonts_[size].get();
}

void CFontPrint::BeginPrint(int size) {
  if (busy_) return;
  currentSize_ = size;
  sizeIndex_ = std::clamp(size, 1, kMaxSize);
  // From the size drawn, so no size or percent overflows it.
  annotationSize_ = static_cast<int>(std::clamp<int64_t>(
      int64_t{sizeIndex_} * GetRenderSettings().rubiPercent / 100, INT32_MIN, INT32_MAX));
  Font(sizeIndex_);
  busy_ = true;
}

void CFontPrint::EndPrint() { busy_ = false; }

platform::GlyphSurface CFontPrint::GetDrawSurface() {
  return {dib_.data(), dib_.empty() ? 0 : dibWidth_, dib_.empty() ? 0 : kDibRows, dibWidth_};
}

void CFontPrint::DrawSurfaceText(int x, int y, const std::string& text, uint32_t colour) {
  if (!busy_) return;
  platform::GlyphFont* font = Font(sizeIndex_);
  if (!font) return;
  const platform::GlyphSurface surface = GetDrawSurface();
  int64_t at = x;
  for (size_t i = 0; i < text.size();) {
    const bool pair =
        platform::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    const int bytes = pair ? 2 : 1;
    if (at > surface.width) break;
    font->DrawCell(surface, static_cast<int>(at), y, text.data() + i, bytes, colour);
    at += int64_t{sizeIndex_} * bytes;
    i += static_cast<size_t>(bytes);
  }
}

void CFontPrint::LoadUserFont(const char* name) {
  auto font = std::make_unique<CUserFont>(name);
  // Only the last font loaded is used; one that did not load is not.
  userFontSize_ = font->IsValid() ? font->GetSize() : 0;
  userFont_ = font->IsValid() ? std::move(font) : nullptr;
}

void CFontPrint::ClearTextLayer() {
  if (layer_) layer_->Clear();
  current_ = -1;
}

void CFontPrint::LoadExtraGlyphs(const char* name) {
  extra_ = std::make_unique<CPicture>();
  extra_->LoadDWQ((std::string("sys\\") + (name ? name : "")).c_str());
}

bool CFontPrint::ClipToLine(int* srcX, int* srcY, int* width, int* height) const {
  if (current_ < 0 || !layer_) return false;
  int lineW = 0, lineH = 0;
  layer_->GetLineSize(current_, &lineW, &lineH);
  const int x0 = std::max(*srcX, 0), y0 = std::max(*srcY, 0);
  const int x1 = std::min(*srcX + *width, lineW), y1 = std::min(*srcY + *height, lineH);
  if (x1 <= x0 || y1 <= y0) return false;
  *srcX = x0;
  *srcY = y0;
  *width = x1 - x0;
  *height = y1 - y0;
  return true;
}

void CFontPrint::DrawCurrent(bool annotation, const int* window, int x, int y, int srcX,
                             int srcY, int width, int height) {
  int shift = 0;
  if (annotation) {
    // The annotation row stands above the line, at most R rows of it.
    const int r = annotationSize_;
    height = std::min(height, r - srcY);
    if (height <= 0) return;
    shift = GetRenderSettings().rubiDeltaY - r;
  }
  if (!ClipToLine(&srcX, &srcY, &width, &height)) return;
  if (annotation && !layer_->HasAnnotation(current_)) return;
  int left = 0, top = 0;
  layer_->GetLinePos(current_, &left, &top);
  // Places this far off are off every screen; skipping them keeps the blits'
  // own arithmetic within 32 bits.
  constexpr int64_t kFar = int64_t{1} << 30;
  const int64_t farX = int64_t{x} + srcX, farY = int64_t{y} + srcY + shift;
  if (farX < -kFar || farX > kFar || farY < -kFar || farY > kFar) return;
  const int dstX = static_cast<int>(farX), dstY = static_cast<int>(farY);
  if (window && annotation) {
    layer_->DrawAnnotationSoft(window[0], window[1], currentSize_, dstX, dstY, srcX, top + srcY,
                               width, height);
  } else if (window) {
    layer_->DrawLineSoft(window[0], window[1], currentSize_, dstX, dstY, srcX, top + srcY, width,
                         height);
  } else if (annotation) {
    layer_->DrawAnnotation(dstX, dstY, srcX, top + srcY, width, height);
  } else {
    layer_->DrawLine(dstX, dstY, srcX, top + srcY, width, height);
  }
  CScreenBuffer::AddDirtyRect(dstX, dstY, width, height);
}

void CFontPrint::DrawLine(int x, int y, int srcX, int srcY, int width, int height) {
  DrawCurrent(false, nullptr, x, y, srcX, srcY, width, height);
}

void CFontPrint::DrawLineSoft(int left, int right, int x, int y, int srcX, int srcY, int width,
                              int height) {
  const int window[2] = {left, right};
  DrawCurrent(false, window, x, y, srcX, srcY, width, height);
}

void CFontPrint::DrawAnnotations(int x, int y, int srcX, int srcY, int width, int height) {
  DrawCurrent(true, nullptr, x, y, srcX, srcY, width, height);
}

void CFontPrint::DrawAnnotationsSoft(int left, int right, int x, int y, int srcX, int srcY,
                                     int width, int height) {
  const int window[2] = {left, right};
  DrawCurrent(true, window, x, y, srcX, srcY, width, height);
}

void LoadUserFonts(const CSetupList& game, CFontPrint* font) {
  if (!font) return;
  int count = 0;
  game.GetSetupInt(&count, "userFontNumber");
  // Each font needs a key of its own in the list, so a count beyond the
  // list's keys names nothing more (and would only spin).
  const CNameList* list = game.GetList();
  const int keys = list ? list->GetCount() / 2 : 0;
  if (count > keys) count = keys;
  for (int i = 1; i <= count; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "userFont%dFileName", i);
    const char* name = nullptr;
    if (game.GetSetupString(&name, key) && name && *name) font->LoadUserFont(name);
  }
}
