#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/codec.h"
#include "platform/common/png_writer.h"
#include "platform/files.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_icon.h"

namespace platform::sdl {

namespace {

// Icons are a few kilobytes; anything past this is not one.
constexpr long long kMaxIconFileSize = 16 * 1024 * 1024;
// Larger than any texture a renderer takes; keeps the size sums in range.
constexpr int kMaxFrameSide = 16384;

SDL_Surface* SurfaceFromIcon(const IconImage& icon) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, icon.width, icon.height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return nullptr;
  for (int y = 0; y < icon.height; ++y) {
    std::memcpy(static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch,
                &icon.argb[static_cast<size_t>(y) * icon.width],
                static_cast<size_t>(icon.width) * 4);
  }
  return s;
}

// The frame shown at a whole scale (1:1, 2:1, ...) maps every window pixel
// onto one game pixel: nearest sampling keeps it sharp and costs least. Any
// other scale is filtered.
SDL_ScaleMode ScaleModeFor(const Viewport& view, int frameW, int frameH) {
  if (frameW <= 0 || frameH <= 0 || view.w < frameW || view.w % frameW != 0 || view.h % frameH != 0 ||
      view.w / frameW != view.h / frameH) {
    return SDL_ScaleModeLinear;
  }
  return SDL_ScaleModeNearest;
}

}  // namespace

SdlWindow::SdlWindow(SdlBackend* owner, SDL_Window* window, const WindowDesc& desc)
    : owner_(owner),
      window_(window),
      title_(desc.title),
      gameW_(std::max(desc.clientWidth, 1)),
      gameH_(std::max(desc.clientHeight, 1)) {}

std::unique_ptr<SdlWindow> SdlWindow::Create(SdlBackend* owner, const WindowDesc& desc,
                                             std::string* error) {
  // The window is shown only once its renderer is made: making one can
  // replace the window underneath, which would flash on the screen.
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (!desc.caption) flags |= SDL_WINDOW_BORDERLESS;
  std::string title = Cp932ToUtf8(desc.title);
  SDL_Window* window = SDL_CreateWindow(title.c_str(), desc.x, desc.y, std::max(desc.clientWidth, 1),
                                        std::max(desc.clientHeight, 1), flags);
  if (!window) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SdlWindow> self(new SdlWindow(owner, window, desc));
  if (!desc.iconFile.empty()) self->SetIcon(desc.iconFile);
  // Without a renderer the window still keeps its frames (screenshots work);
  // it just shows nothing.
  if (!self->CreateRenderer()) {
    std::fprintf(stderr, "zor: cannot draw into the window: %s\n", SDL_GetError());
  }
  if (desc.visible) SDL_ShowWindow(window);
  return self;
}

SdlWindow::~SdlWindow() {
  DestroyRenderer();
  if (window_) SDL_DestroyWindow(window_);
}

bool SdlWindow::CreateRenderer() {
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  // A renderer that can draw into a texture gives the frame back from its
  // texture; otherwise the window keeps a copy of what it presents.
  keepCopy_ = !renderer_ || !SDL_RenderTargetSupported(renderer_);
  if (!renderer_) return false;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  overlayDirty_ = true;
  return true;
}

void SdlWindow::DestroyRenderer() {
  DropOverlayTextures();
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  if (renderer_) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
}

bool SdlWindow::CreateTexture(const FrameView& frame) {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                               frameW_, frameH_);
  if (!texture_) {
    // Nothing to read the frame back from: the window keeps it itself.
    keepCopy_ = true;
    CopyRect(frame, SDL_Rect{0, 0, frameW_, frameH_});
    return false;
  }
  // The top byte of a frame pixel is not alpha.
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  scaleMode_ = SDL_ScaleModeNearest;
  SDL_SetTextureScaleMode(texture_, scaleMode_);
  // A new texture holds nothing yet: it takes the whole frame.
  if (keepCopy_) CopyRect(frame, SDL_Rect{0, 0, frameW_, frameH_});
  return SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitch) == 0;
}

void SdlWindow::CopyRect(const FrameView& frame, const SDL_Rect& r) {
  const size_t size = static_cast<size_t>(frameW_) * frameH_;
  if (frame_.size() != size) frame_.assign(size, 0);
  const auto* base = static_cast<const uint8_t*>(static_cast<const void*>(frame.pixels));
  for (int y = r.y; y < r.y + r.h; ++y) {
    std::memcpy(&frame_[static_cast<size_t>(y) * frameW_ + r.x],
                base + static_cast<size_t>(y) * frame.pitch + static_cast<size_t>(r.x) * 4,
                static_cast<size_t>(r.w) * 4);
  }
}

std::vector<uint32_t> SdlWindow::FrameCopy() {
  std::vector<uint32_t> pixels;
  if (!ReadFrame(&pixels)) pixels.clear();
  return pixels;
}

bool SdlWindow::ReadFrame(std::vector<uint32_t>* out) {
  if (frameW_ <= 0 || frameH_ <= 0) return false;
  if (keepCopy_ || !texture_) {
    *out = frame_;
    return !out->empty();
  }
  // The texture drawn 1:1 into a frame-sized target and read back.
  SDL_Texture* target =
      SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, frameW_, frameH_);
  if (!target) return false;
  SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
  bool ok = SDL_SetRenderTarget(renderer_, target) == 0;
  if (ok) {
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    out->assign(static_cast<size_t>(frameW_) * frameH_, 0);
    ok = SDL_RenderCopy(renderer_, texture_, nullptr, nullptr) == 0 &&
         SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, out->data(), frameW_ * 4) == 0;
    SDL_SetTextureScaleMode(texture_, scaleMode_);
    SDL_SetRenderTarget(renderer_, previous);
  }
  SDL_DestroyTexture(target);
  if (!ok) return false;
  for (uint32_t& p : *out) p &= 0x00FFFFFFu;
  return true;
}

void SdlWindow::Show(bool show) {
  if (show) {
    SDL_ShowWindow(window_);
  } else {
    SDL_HideWindow(window_);
  }
}

bool SdlWindow::IsVisible() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }

void SdlWindow::Focus() { SDL_RaiseWindow(window_); }

void SdlWindow::SetTitle(const std::string& cp932) {
  title_ = cp932;
  SDL_SetWindowTitle(window_, Cp932ToUtf8(cp932).c_str());
}

bool SdlWindow::SetIcon(const std::string& path) {
  if (path.empty()) return false;
  long long size = FileSize(path);
  if (size <= 0 || size > kMaxIconFileSize) return false;
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) return false;
  // Told apart by their contents, not by the name's extension.
  SDL_Surface* surface = nullptr;
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (rw) surface = SDL_LoadBMP_RW(rw, 1);
  } else {
    IconImage icon;
    if (DecodeIco(bytes, &icon)) surface = SurfaceFromIcon(icon);
  }
  if (!surface) return false;
  SDL_SetWindowIcon(window_, surface);
  SDL_FreeSurface(surface);
  return true;
}

void SdlWindow::Move(int x, int y, int clientWidth, int clientHeight) {
  SDL_SetWindowPosition(window_, x, y);
  if (clientWidth > 0 && clientHeight > 0) SDL_SetWindowSize(window_, clientWidth, clientHeight);
}

Point SdlWindow::GetClientOrigin() const {
  Point p;
  SDL_GetWindowPosition(window_, &p.x, &p.y);
  return p;
}

Point SdlWindow::GetClientSize() const {
  Point p;
  SDL_GetWindowSize(window_, &p.x, &p.y);
  return p;
}

bool SdlWindow::SetFullScreen(bool on) {
  if (on == fullScreen_) return true;
  if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
  fullScreen_ = on;
  return true;
}

void SdlWindow::SetBorderless(bool on) { SDL_SetWindowBordered(window_, on ? SDL_FALSE : SDL_TRUE); }

void SdlWindow::ShowSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlWindow::WarpPointer(int x, int y) {
  // The pointer is only taken when the player is in our window; either way
  // the game sees the new position with the next message.
  if (IsActive()) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    Point p = GameToWindow(x, y, w, h, gameW_, gameH_);
    SDL_WarpMouseInWindow(window_, p.x, p.y);
  }
  owner_->PostMessage(this, WM_MOUSEMOVE, owner_->Input().ButtonMask(), MakeLParam(x, y));
}

bool SdlWindow::IsActive() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlWindow::IsMinimized() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlWindow::IsMaximized() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0;
}

Point SdlWindow::GetDisplayMode() const {
  if (fullScreen_) return {gameW_, gameH_};
  int display = SDL_GetWindowDisplayIndex(window_);
  SDL_DisplayMode mode;
  if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) return {mode.w, mode.h};
  return GetClientSize();
}

PresentResult SdlWindow::Present(const FrameView& frame, const Rect* rects, int count,
                                 bool /*waitVBlank*/) {
  // The vertical blank is not waited for: SDL sets it per renderer, not per
  // present, the engine paces its own frames, and a present that blocks on
  // a hidden window would stall the frame loop.
  if (!frame.pixels || frame.width <= 0 || frame.height <= 0 || frame.width > kMaxFrameSide ||
      frame.height > kMaxFrameSide ||
      static_cast<int64_t>(frame.pitch) < static_cast<int64_t>(frame.width) * 4) {
    return PresentResult::kOk;
  }
  bool lost = owner_->Input().TakeTargetLost();
  if (owner_->Input().TakeDeviceReset() && renderer_) {
    DestroyRenderer();
    CreateRenderer();
  }
  bool resized = frame.width != frameW_ || frame.height != frameH_;
  if (resized) {
    frameW_ = frame.width;
    frameH_ = frame.height;
    gameW_ = frameW_;
    gameH_ = frameH_;
    frame_.clear();
  }

  // Exactly the given rectangles, each copied once into the texture; a
  // window that keeps its own copy of the frame copies them there too.
  changed_.clear();
  for (int i = 0; rects && i < count; ++i) {
    int left = std::max(rects[i].left, 0), top = std::max(rects[i].top, 0);
    int right = std::min(rects[i].right, frameW_), bottom = std::min(rects[i].bottom, frameH_);
    if (right <= left || bottom <= top) continue;
    changed_.push_back(SDL_Rect{left, top, right - left, bottom - top});
  }
  if (keepCopy_) {
    for (const SDL_Rect& r : changed_) CopyRect(frame, r);
  }
  const PresentResult result = ShowFrame(frame, resized, lost);
  ++presents_;
  owner_->DeliverScriptEvents(presents_);
  return result;
}

PresentResult SdlWindow::ShowFrame(const FrameView& frame, bool resized, bool lost) {
  if (!renderer_) return lost ? PresentResult::kLost : PresentResult::kOk;
  if (resized || lost || !texture_) {
    if (!CreateTexture(frame)) return PresentResult::kLost;
  } else {
    const auto* base = static_cast<const uint8_t*>(static_cast<const void*>(frame.pixels));
    for (const SDL_Rect& r : changed_) {
      const uint8_t* from = base + static_cast<size_t>(r.y) * frame.pitch + static_cast<size_t>(r.x) * 4;
      if (SDL_UpdateTexture(texture_, &r, from, frame.pitch) != 0) {
        // A texture that refuses its pixels is treated like a lost one.
        lost = true;
        if (!CreateTexture(frame)) return PresentResult::kLost;
        break;
      }
    }
  }

  int outW = 0, outH = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) {
    SDL_GetWindowSize(window_, &outW, &outH);
  }
  Viewport view = FitFrame(outW, outH, frameW_, frameH_);
  const SDL_ScaleMode mode = ScaleModeFor(view, frameW_, frameH_);
  if (mode != scaleMode_ && SDL_SetTextureScaleMode(texture_, mode) == 0) scaleMode_ = mode;
  SDL_Rect dst{view.x, view.y, view.w, view.h};
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  DrawOverlay(view);
  SDL_RenderPresent(renderer_);
  return lost ? PresentResult::kLost : PresentResult::kOk;
}

void SdlWindow::SetOverlay(std::vector<OverlayText> lines) {
  // Debug lists are set again every frame, mostly unchanged: keep the
  // textures then.
  auto same = [](const OverlayText& a, const OverlayText& b) {
    return a.x == b.x && a.y == b.y && a.text == b.text && a.color == b.color &&
           a.height == b.height && a.background == b.background;
  };
  if (std::equal(lines.begin(), lines.end(), overlay_.begin(), overlay_.end(), same)) return;
  overlay_ = std::move(lines);
  overlayDirty_ = true;
}

void SdlWindow::DropOverlayTextures() {
  for (OverlayLine& line : overlayLines_) {
    if (line.texture) SDL_DestroyTexture(line.texture);
  }
  overlayLines_.clear();
  overlayDirty_ = true;
}

void SdlWindow::BuildOverlayTextures() {
  DropOverlayTextures();
  overlayDirty_ = false;
  if ((overlay_.empty() && composition_.empty()) || !renderer_) return;
  if (!font_) font_ = std::make_unique<OverlayFont>();
  OverlayBitmap bitmap;
  std::vector<OverlayText> lines = overlay_;
  if (!composition_.empty()) {
    const Point at = GetCompositionPoint();
    const int h = GetCompositionHeight();
    lines.push_back(OverlayText{at.x, at.y, composition_, 0xFFFFFF, h > 0 ? h : 16});
  }
  for (const OverlayText& text : lines) {
    if (!font_->RenderLine(text.text, text.height, text.color, &bitmap)) continue;
    SDL_Texture* t = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                       SDL_TEXTUREACCESS_STATIC, bitmap.width, bitmap.height);
    if (!t) continue;
    SDL_UpdateTexture(t, nullptr, bitmap.argb.data(), bitmap.width * 4);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    overlayLines_.push_back(
        OverlayLine{t, text.x, text.y, bitmap.width, bitmap.height, text.background});
  }
}

void SdlWindow::DrawOverlay(const Viewport& view) {
  if (overlayDirty_) BuildOverlayTextures();
  if (frameW_ <= 0 || frameH_ <= 0) return;
  // Overlay positions are game pixels: they scale with the frame.
  for (const OverlayLine& line : overlayLines_) {
    auto sx = [&](int v) { return static_cast<int>(static_cast<int64_t>(v) * view.w / frameW_); };
    auto sy = [&](int v) { return static_cast<int>(static_cast<int64_t>(v) * view.h / frameH_); };
    SDL_Rect dst{view.x + sx(line.x), view.y + sy(line.y), std::max(sx(line.w), 1),
                 std::max(sy(line.h), 1)};
    if (line.background >= 0) {
      const auto bg = static_cast<uint32_t>(line.background);
      SDL_SetRenderDrawColor(renderer_, (bg >> 16) & 0xFF, (bg >> 8) & 0xFF, bg & 0xFF, 0xFF);
      SDL_RenderFillRect(renderer_, &dst);
      // The frame is cleared in black.
      SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 0xFF);
    }
    SDL_RenderCopy(renderer_, line.texture, nullptr, &dst);
  }
}

bool SdlWindow::SaveScreenshot(const std::string& hostPath) {
  std::vector<uint32_t> pixels;
  if (!ReadFrame(&pixels)) return false;
  FrameView view{pixels.data(), frameW_, frameH_, frameW_ * 4};
  return WritePngFile(hostPath, view);
}

// --- Text input ---

void SdlWindow::StartTextInput() {
  Window::StartTextInput();
  ApplyTextInputRect();
  SDL_StartTextInput();
}

void SdlWindow::StopTextInput() {
  Window::StopTextInput();
  SDL_StopTextInput();
  SetCompositionText("");
}

void SdlWindow::SetCompositionPoint(int x, int y, int lineHeight) {
  Window::SetCompositionPoint(x, y, lineHeight);
  ApplyTextInputRect();
  if (!composition_.empty()) overlayDirty_ = true;
}

void SdlWindow::ApplyTextInputRect() {
  // The point is in game pixels; the input method wants window units, through
  // the same scale and letterbox as the frame.
  int outW = 0, outH = 0;
  SDL_GetWindowSize(window_, &outW, &outH);
  const int gameW = frameW_ > 0 ? frameW_ : gameW_, gameH = frameH_ > 0 ? frameH_ : gameH_;
  if (outW <= 0 || outH <= 0 || gameW <= 0 || gameH <= 0) return;
  const Point at = GetCompositionPoint();
  const Point top = GameToWindow(at.x, at.y, outW, outH, gameW, gameH);
  const Point bottom =
      GameToWindow(at.x, at.y + std::max(GetCompositionHeight(), 1), outW, outH, gameW, gameH);
  SDL_Rect rect{top.x, top.y, 1, std::max(bottom.y - top.y, 1)};
  SDL_SetTextInputRect(&rect);
}

void SdlWindow::SetCompositionText(const std::string& utf8) {
  std::string cp932 = Utf8ToCp932(utf8, true);
  if (cp932 == composition_) return;
  composition_ = std::move(cp932);
  overlayDirty_ = true;
}

}  // namespace platform::sdl
