#include "platform/headless/headless.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string>

#include "platform/common/localtime.h"
#include "platform/codec.h"
#include "platform/common/png_writer.h"
#include "platform/common/signals.h"
#include "platform/glyphs.h"

namespace platform {
namespace {

constexpr int64_t kDefaultEpochBase = 1767225600;  // 2026-01-01 00:00:00 UTC

LocalTime FromEpochMs(int64_t epochSeconds, int millisecond) {
  time_t t = static_cast<time_t>(epochSeconds);
  struct tm tm {};
  gmtime_r(&t, &tm);
  return ToLocalTime(tm, millisecond);
}

uintptr_t ButtonMask(const bool* held) {
  uintptr_t mask = 0;
  if (held[VK_LBUTTON]) mask |= MK_LBUTTON;
  if (held[VK_RBUTTON]) mask |= MK_RBUTTON;
  if (held[VK_MBUTTON]) mask |= MK_MBUTTON;
  return mask;
}

constexpr int kButtonVk[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
constexpr uint32_t kButtonDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
constexpr uint32_t kButtonUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};

}  // namespace

HeadlessBackend::HeadlessBackend() : epochBase_(kDefaultEpochBase), boxAnswer_(IDNO) {}

HeadlessBackend::~HeadlessBackend() = default;

uint32_t HeadlessBackend::GetTicks() {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<uint32_t>(ticks_);
}

void HeadlessBackend::Sleep(uint32_t ms) { AdvanceClock(ms); }

void HeadlessBackend::AdvanceClock(uint32_t ms) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ticks_ += ms;
  }
  // Outside the lock: notifications wake threads that may read the clock.
  audio_.Advance(ms);
}

void HeadlessBackend::SetTicks(uint32_t ticks) {
  std::lock_guard<std::mutex> lock(mutex_);
  ticks_ = ticks;
}

void HeadlessBackend::SetEpochBase(int64_t seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  epochBase_ = seconds;
}

LocalTime HeadlessBackend::GetLocalTime() { return GetUtcTime(); }

LocalTime HeadlessBackend::GetUtcTime() {
  std::lock_guard<std::mutex> lock(mutex_);
  return FromEpochMs(epochBase_ + static_cast<int64_t>(ticks_ / 1000),
                     static_cast<int>(ticks_ % 1000));
}

int64_t HeadlessBackend::EpochSeconds() {
  std::lock_guard<std::mutex> lock(mutex_);
  return epochBase_ + static_cast<int64_t>(ticks_ / 1000);
}

int HeadlessBackend::MessageBox(Window*, const std::string& text, const std::string& caption,
                                int style) {
  std::lock_guard<std::mutex> lock(mutex_);
  int answer = (style & 0x0F) == MB_YESNO ? boxAnswer_ : IDOK;
  boxes_.push_back({caption, text, style, answer});
  if (boxEcho_)
    std::fprintf(stderr, "[box] %s: %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
  return answer;
}

void HeadlessBackend::SetBoxAnswer(int answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  boxAnswer_ = answer;
}

std::vector<BoxRecord> HeadlessBackend::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

void HeadlessBackend::ClearBoxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.clear();
}

void HeadlessBackend::SetBoxEcho(bool echo) {
  std::lock_guard<std::mutex> lock(mutex_);
  boxEcho_ = echo;
}

void HeadlessBackend::DebugOutput(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  debugLines_.push_back(text);
  if (debugEcho_) std::fputs(TraceLine(text).c_str(), stderr);
}

void HeadlessBackend::SetDebugEcho(bool echo) {
  std::lock_guard<std::mutex> lock(mutex_);
  debugEcho_ = echo;
}

std::vector<std::string> HeadlessBackend::DebugLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return debugLines_;
}

void HeadlessBackend::ClearDebugLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  debugLines_.clear();
}

void HeadlessBackend::ErrorOutput(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  errorLines_.push_back(text);
  if (errorEcho_) Backend::ErrorOutput(text);
}

void HeadlessBackend::SetErrorEcho(bool echo) {
  std::lock_guard<std::mutex> lock(mutex_);
  errorEcho_ = echo;
}

std::vector<std::string> HeadlessBackend::ErrorLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return errorLines_;
}

void HeadlessBackend::ClearErrorLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  errorLines_.clear();
}

DesktopInfo HeadlessBackend::GetDesktop() {
  std::lock_guard<std::mutex> lock(mutex_);
  return desktop_;
}

void HeadlessBackend::SetDesktop(const DesktopInfo& desktop) {
  std::lock_guard<std::mutex> lock(mutex_);
  desktop_ = desktop;
}

Window* HeadlessBackend::CreateWindow(const WindowDesc& desc) {
  window_ = std::make_unique<HeadlessWindow>(this, desc);
  return window_.get();
}

void HeadlessBackend::DestroyWindow(Window* window) {
  if (!window) return;
  window->Call(WM_DESTROY, 0, 0);
  // The object stays so tests can still read the last frame; the engine no
  // longer reaches it.
  window->Show(false);
  window->SetHandler(nullptr, nullptr);
}

bool HeadlessBackend::PeekMessage(Message* out, bool remove) {
  std::lock_guard<std::mutex> lock(mutex_);
  // A termination signal is a close request, before what is waiting: the
  // run ends at its next message.
  if (window_ && TakeTerminationSignal()) {
    queue_.push_front({window_.get(), WM_CLOSE, 0, 0});
  }
  if (queue_.empty()) return false;
  *out = queue_.front();
  if (remove) queue_.pop_front();
  return true;
}

void HeadlessBackend::PostMessage(Window* window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back({window, message, wParam, lParam});
}

void HeadlessBackend::ForgetFrame(const uint32_t* pixels) {
  if (window_) window_->Forget(pixels);
}

bool HeadlessBackend::IsKeyHeld(int vk) {
  std::lock_guard<std::mutex> lock(mutex_);
  return vk >= 0 && vk < 256 && held_[vk];
}

void HeadlessBackend::InjectKey(int vk, bool down, bool alt) {
  if (vk < 0 || vk > 255) return;
  std::lock_guard<std::mutex> lock(mutex_);
  // A key down while the key is held is an auto-repeat.
  const intptr_t repeat = down && held_[vk] ? KEY_REPEAT_LPARAM : 0;
  held_[vk] = down;
  Window* w = window_.get();
  if (alt && vk == VK_RETURN) {
    queue_.push_back({w, down ? WM_SYSKEYDOWN : WM_SYSKEYUP, static_cast<uintptr_t>(vk), repeat});
    return;
  }
  queue_.push_back({w, down ? WM_KEYDOWN : WM_KEYUP, static_cast<uintptr_t>(vk), repeat});
  // Editing keys also type their control character, as on the desktop.
  if (down && !alt && (vk == VK_BACK || vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE))
    queue_.push_back({w, WM_CHAR, static_cast<uintptr_t>(vk), 0});
}

void HeadlessBackend::InjectText(const std::string& utf8) {
  // As on the desktop, text reaches the game only while text input is on.
  if (!window_ || !window_->IsTextInputOn()) return;
  std::string bytes = Utf8ToCp932(utf8, true);
  std::lock_guard<std::mutex> lock(mutex_);
  for (unsigned char b : bytes) queue_.push_back({window_.get(), WM_CHAR, b, 0});
}

void HeadlessBackend::InjectMouseMove(int x, int y) {
  std::lock_guard<std::mutex> lock(mutex_);
  mouseX_ = x;
  mouseY_ = y;
  // Over the client area the window sets its cursor first, as on a desktop.
  if (window_) {
    Window* window = window_.get();
    const Point size = window->GetClientSize();
    if (x >= 0 && y >= 0 && x < size.x && y < size.y) {
      queue_.push_back({window, WM_SETCURSOR, reinterpret_cast<uintptr_t>(window),
                        MakeLParam(HTCLIENT, static_cast<int>(WM_MOUSEMOVE))});
    }
  }
  queue_.push_back({window_.get(), WM_MOUSEMOVE, ButtonMask(held_), MakeLParam(x, y)});
}

void HeadlessBackend::InjectMouseLeave() {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back({window_.get(), WM_MOUSELEAVE, 0, 0});
}

void HeadlessBackend::InjectButton(int button, bool down) {
  if (button < 0 || button > 2) return;
  std::lock_guard<std::mutex> lock(mutex_);
  held_[kButtonVk[button]] = down;
  queue_.push_back({window_.get(), down ? kButtonDown[button] : kButtonUp[button],
                    ButtonMask(held_), MakeLParam(mouseX_, mouseY_)});
}

void HeadlessBackend::ReleaseButtonSilently(int button) {
  if (button < 0 || button > 2) return;
  std::lock_guard<std::mutex> lock(mutex_);
  held_[kButtonVk[button]] = false;
}

void HeadlessBackend::InjectWheel(int delta) {
  std::lock_guard<std::mutex> lock(mutex_);
  uintptr_t wParam = static_cast<uintptr_t>(MakeLParam(static_cast<int>(ButtonMask(held_)), delta));
  queue_.push_back({window_.get(), WM_MOUSEWHEEL, wParam, MakeLParam(mouseX_, mouseY_)});
}

void HeadlessBackend::InjectClose() {
  std::lock_guard<std::mutex> lock(mutex_);
  // A disabled close box does nothing, as on the desktop.
  if (window_ && !window_->IsCloseItemEnabled()) return;
  queue_.push_back({window_.get(), WM_CLOSE, 0, 0});
}

bool HeadlessBackend::LoadInputScript(const std::string& hostPath, std::string* error) {
  if (!script_.Load(hostPath, error)) return false;
  DeliverScriptEvents();
  return true;
}

bool HeadlessBackend::ParseInputScript(const std::string& text, std::string* error) {
  if (!script_.Parse(text, error)) return false;
  DeliverScriptEvents();
  return true;
}

void HeadlessBackend::Apply(const InputEvent& e) {
  using Kind = InputEvent::Kind;
  switch (e.kind) {
    case Kind::kKey: InjectKey(e.a, e.down, e.alt); break;
    case Kind::kText: InjectText(e.text); break;
    case Kind::kMove: InjectMouseMove(e.a, e.b); break;
    case Kind::kButton: InjectButton(e.a, e.down); break;
    case Kind::kWheel: InjectWheel(e.a); break;
    case Kind::kClose: InjectClose(); break;
    case Kind::kScreenshot: SaveFrame(e.text); break;
  }
}

bool HeadlessBackend::SaveFrame(const std::string& hostPath) {
  if (window_ && window_->SaveScreenshot(hostPath)) {
    std::printf("screenshot: %s\n", hostPath.c_str());
    return true;
  }
  std::fprintf(stderr, "zor: could not write the screenshot %s\n", hostPath.c_str());
  return false;
}

void HeadlessBackend::DeliverScriptEvents() {
  long long presented = window_ ? window_->PresentCount() : 0;
  for (const InputEvent& e : script_.TakeDue(presented)) Apply(e);
}

void HeadlessBackend::SetHashEvery(int n) { hashEvery_ = n < 0 ? 0 : n; }

void HeadlessBackend::SetScreenshotPath(const std::string& hostPath) { screenshotPath_ = hostPath; }

void HeadlessBackend::ScreenshotAt(long long frame, const std::string& hostPath) {
  screenshotsAt_.emplace(frame, hostPath);
}

void HeadlessBackend::HashAt(long long frame) { hashesAt_.insert(frame); }

bool HeadlessBackend::ReportFramesNotReached() const {
  const long long shown = window_ ? window_->PresentCount() : 0;
  // One line for one cause, however many frames were asked for.
  const auto shots = screenshotsAt_.upper_bound(shown);
  const auto hashes = hashesAt_.upper_bound(shown);
  const auto shotCount = std::distance(shots, screenshotsAt_.end());
  const auto hashCount = std::distance(hashes, hashesAt_.end());
  if (shotCount == 0 && hashCount == 0) return false;
  std::string what;
  if (shotCount == 1 && hashCount == 0) what = shots->second + " was not written";
  if (shotCount == 0 && hashCount == 1) what = "its hash was not printed";
  if (shotCount > 1 || (shotCount == 1 && hashCount > 0)) {
    const auto last = std::prev(screenshotsAt_.end());
    what = std::to_string(shotCount) + (shotCount == 1 ? " screenshot was" : " screenshots were") +
           " not written (" + (shotCount == 1 ? shots->second + " at frame " + std::to_string(shots->first)
                                              : shots->second + " at frame " + std::to_string(shots->first) +
                                                    " to " + last->second + " at frame " + std::to_string(last->first)) +
           ")";
  }
  if (hashCount > 1 || (hashCount == 1 && shotCount > 0)) {
    if (!what.empty()) what += "; ";
    what += std::to_string(hashCount) + (hashCount == 1 ? " hash was" : " hashes were") + " not printed (frame " +
            std::to_string(*hashes) +
            (hashCount == 1 ? "" : " to " + std::to_string(*std::prev(hashesAt_.end()))) + ")";
  }
  const long long first = std::min(shotCount > 0 ? shots->first : LLONG_MAX, hashCount > 0 ? *hashes : LLONG_MAX);
  std::fprintf(stderr, "zor: the run ended at frame %lld, before frame %lld: %s\n", shown, first, what.c_str());
  return true;
}

void HeadlessBackend::OnPresented() {
  long long n = window_->PresentCount();
  if ((hashEvery_ > 0 && n % hashEvery_ == 0) || hashesAt_.count(n))
    std::printf("frame %lld %016llx\n", n, static_cast<unsigned long long>(window_->FrameHash()));
  if (!screenshotPath_.empty()) window_->SaveScreenshot(screenshotPath_);
  auto [first, last] = screenshotsAt_.equal_range(n);
  for (auto it = first; it != last; ++it)
    if (!SaveFrame(it->second)) screenshotFailed_ = true;
  DeliverScriptEvents();
}

HeadlessBackend& InstallHeadless() {
  auto backend = std::make_unique<HeadlessBackend>();
  HeadlessBackend& ref = *backend;
  Install(std::move(backend));
  return ref;
}

// --- HeadlessWindow ---

HeadlessWindow::HeadlessWindow(HeadlessBackend* owner, const WindowDesc& desc)
    : owner_(owner),
      x_(desc.x),
      y_(desc.y),
      width_(desc.clientWidth),
      height_(desc.clientHeight),
      title_(desc.title),
      visible_(desc.visible) {
  if (!desc.iconFile.empty()) SetIcon(desc.iconFile);
}

bool HeadlessWindow::SetIcon(const std::string& path) {
  icon_ = path;
  return true;
}

void HeadlessWindow::Move(int x, int y, int clientWidth, int clientHeight) {
  x_ = x;
  y_ = y;
  width_ = clientWidth;
  height_ = clientHeight;
}

bool HeadlessWindow::SetFullScreen(bool on) {
  if (on && refuseFullScreen_) return false;
  fullScreen_ = on;
  return true;
}

void HeadlessWindow::WarpPointer(int x, int y) { owner_->InjectMouseMove(x, y); }

Point HeadlessWindow::GetDisplayMode() const {
  if (fullScreen_) return {width_, height_};
  DesktopInfo d = owner_->GetDesktop();
  return {d.virtualWidth, d.virtualHeight};
}

PresentResult HeadlessWindow::Present(const FrameView& frame, const Rect* rects, int count,
                                      bool) {
  if (loseNext_) {
    loseNext_ = false;
    lastRects_.clear();
    return PresentResult::kLost;
  }
  lastRects_.clear();
  if (!frame.pixels || frame.width <= 0 || frame.height <= 0) return PresentResult::kOk;
  if (frame.width != frameWidth_ || frame.height != frameHeight_) {
    frameWidth_ = frame.width;
    frameHeight_ = frame.height;
    // A new block, black until rectangles are copied into it.
    frame_ = {};
    frame_.resize(static_cast<size_t>(frameWidth_) * frameHeight_);
    pending_.clear();
    source_ = FrameView{};
  }
  // Rectangles waiting in other pixels than these are copied while those
  // still show what was presented.
  if (!pending_.empty() && (!frame.lasting || source_.pixels != frame.pixels ||
                            source_.pitch != frame.pitch))
    Settle();
  for (int i = 0; i < count; ++i) {
    Rect r = rects[i];
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > frameWidth_) r.right = frameWidth_;
    if (r.bottom > frameHeight_) r.bottom = frameHeight_;
    if (r.Empty()) continue;
    lastRects_.push_back(r);
    if (!frame.lasting) {
      CopyRect(frame, r);
      continue;
    }
    source_ = frame;
    if (r.left == 0 && r.top == 0 && r.right == frameWidth_ && r.bottom == frameHeight_) {
      pending_.assign(1, r);
      continue;
    }
    bool known = false;
    for (const Rect& p : pending_) {
      if (p.left <= r.left && p.top <= r.top && p.right >= r.right && p.bottom >= r.bottom) {
        known = true;
        break;
      }
    }
    if (known) continue;
    constexpr size_t kMaxPending = 256;
    if (pending_.size() >= kMaxPending) Settle();
    pending_.push_back(r);
  }
  ++presents_;
  owner_->OnPresented();
  return PresentResult::kOk;
}

void HeadlessWindow::CopyRect(const FrameView& from, const Rect& r) const {
  const auto* base = reinterpret_cast<const unsigned char*>(from.pixels);
  // Pointers and sizes in locals: stores through the frame could otherwise
  // alias the members, and the row loop would not be vectorised.
  uint32_t* const out = frame_.data();
  const size_t outPitch = static_cast<size_t>(frameWidth_);
  const size_t inPitch = static_cast<size_t>(from.pitch);
  const size_t n = static_cast<size_t>(r.right - r.left);
  for (int y = r.top; y < r.bottom; ++y) {
    const auto* src = reinterpret_cast<const uint32_t*>(base + static_cast<size_t>(y) * inPitch) + r.left;
    uint32_t* dst = out + static_cast<size_t>(y) * outPitch + r.left;
    for (size_t x = 0; x < n; ++x) dst[x] = src[x] & 0x00FFFFFFu;
  }
}

void HeadlessWindow::Settle() const {
  if (pending_.empty()) return;
  for (const Rect& r : pending_) CopyRect(source_, r);
  pending_.clear();
}

uint32_t HeadlessWindow::PixelAt(int x, int y) const {
  Settle();
  if (x < 0 || y < 0 || x >= frameWidth_ || y >= frameHeight_) return 0;
  return frame_[static_cast<size_t>(y) * frameWidth_ + x];
}

bool HeadlessWindow::SaveScreenshot(const std::string& hostPath) {
  Settle();
  if (frame_.empty()) {
    // Nothing presented yet: a black picture of the window's size.
    std::vector<uint32_t> black(static_cast<size_t>(width_ > 0 ? width_ : 1) *
                                (height_ > 0 ? height_ : 1));
    FrameView view{black.data(), width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1,
                   (width_ > 0 ? width_ : 1) * 4};
    return WritePngFile(hostPath, view);
  }
  FrameView view{frame_.data(), frameWidth_, frameHeight_, frameWidth_ * 4};
  return WritePngFile(hostPath, view);
}

uint64_t HeadlessWindow::FrameHash() const {
  // FNV-1a taking 8 bytes (two pixels, the first in the low half) a step;
  // an odd last pixel is a step of its own.
  Settle();
  uint64_t h = 1469598103934665603ull;
  const uint32_t* p = frame_.data();
  const size_t n = frame_.size();
  size_t i = 0;
  for (; i + 2 <= n; i += 2) {
    h ^= uint64_t{p[i]} | (uint64_t{p[i + 1]} << 32);
    h *= 1099511628211ull;
  }
  if (i < n) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

std::shared_ptr<GlyphService> HeadlessBackend::Glyphs() {
  return glyphs_ ? glyphs_ : Backend::Glyphs();
}

}  // namespace platform
