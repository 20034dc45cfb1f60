// The headless backend: no window system and no sound card. Time is a
// virtual clock that moves only when the engine sleeps or a test advances
// it; message boxes are logged and answered by a policy; input is injected
// by tests or read from an input script; the presented frame is kept in
// memory and can be written as PNG or hashed.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/common/input_script.h"
#include "platform/headless/headless_audio.h"

namespace platform {

struct BoxRecord {
  std::string caption;  // CP932, as the engine passed it
  std::string text;
  int style = 0;
  int answer = 0;
};

// Takes blocks from calloc and leaves a new element as the block holds it:
// a vector resized from empty is zero without a pass that clears it, and a
// large one costs nothing until its pages are written. Only from empty:
// growing within its capacity keeps what the memory held, so the frame is
// emptied before each resize.
template <typename T>
struct ClearedAllocator {
  using value_type = T;
  ClearedAllocator() = default;
  template <typename U>
  ClearedAllocator(const ClearedAllocator<U>&) {}
  T* allocate(size_t n) {
    void* p = std::calloc(n, sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) { std::free(p); }
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <typename U>
  bool operator==(const ClearedAllocator<U>&) const { return true; }
};

class HeadlessWindow;

class HeadlessBackend : public Backend {
 public:
  HeadlessBackend();
  ~HeadlessBackend() override;

  // --- Backend ---
  const char* Name() const override { return "headless"; }
  uint32_t GetTicks() override;
  void Sleep(uint32_t ms) override;
  LocalTime GetLocalTime() override;
  LocalTime GetUtcTime() override;
  int64_t EpochSeconds() override;
  int MessageBox(Window* owner, const std::string& text, const std::string& caption,
                 int style) override;
  void DebugOutput(const std::string& text) override;
  // Printed as every host does (unless silenced), and kept for ErrorLines.
  void ErrorOutput(const std::string& text) override;
  DesktopInfo GetDesktop() override;
  Window* CreateWindow(const WindowDesc& desc) override;
  void DestroyWindow(Window* window) override;
  bool PeekMessage(Message* out, bool remove) override;
  void PostMessage(Window* window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override;
  bool IsKeyHeld(int vk) override;
  void ForgetFrame(const uint32_t* pixels) override;
  std::shared_ptr<AudioDevice> Audio() override { return audio_.Device(); }
  // The synthetic font unless a real rasteriser was given (--real-fonts).
  std::shared_ptr<GlyphService> Glyphs() override;
  void SetGlyphService(std::shared_ptr<GlyphService> glyphs) { glyphs_ = std::move(glyphs); }

  // --- Clock ---
  // Also moves the sound device on by ms (SetTicks does not: it is a jump).
  void AdvanceClock(uint32_t ms);
  // The wall-clock moment that tick 0 stands for (seconds since the epoch,
  // UTC); local time is UTC here. Default: 2026-01-01 00:00:00.
  void SetEpochBase(int64_t seconds);
  void SetTicks(uint32_t ticks);

  // --- Boxes ---
  // Answer given to Yes/No boxes (IDYES or IDNO; default IDNO). OK boxes
  // always answer IDOK.
  void SetBoxAnswer(int answer);
  std::vector<BoxRecord> Boxes() const;
  void ClearBoxes();
  // Also print each box on stderr as "[box] caption: text" (default on).
  void SetBoxEcho(bool echo);

  // --- Debug output ---
  void SetDebugEcho(bool echo);  // print trace lines on stderr (default off)
  std::vector<std::string> DebugLines() const;
  void ClearDebugLines();
  // --- Error lines ---
  // Print them on stderr, as every host does (default on; fuzzers silence
  // them).
  void SetErrorEcho(bool echo);
  std::vector<std::string> ErrorLines() const;
  void ClearErrorLines();

  // --- Desktop ---
  void SetDesktop(const DesktopInfo& desktop);

  // --- Input (posted as window messages to the window, in order) ---
  // Key down (with repeat = auto-repeat) or up by virtual-key code; Alt held
  // turns Return into a system key.
  void InjectKey(int vk, bool down, bool alt = false);
  // Typed text (UTF-8): one WM_CHAR per CP932 byte, lead byte first;
  // characters that have no CP932 form are dropped. Only while the window's
  // text input is on, as on the desktop.
  void InjectText(const std::string& utf8);
  // A move to a point of the client area comes with a WM_SETCURSOR before
  // its WM_MOUSEMOVE, as on a desktop.
  void InjectMouseMove(int x, int y);
  // The pointer leaves the window: a WM_MOUSELEAVE.
  void InjectMouseLeave();
  // button 0 left, 1 right, 2 middle.
  void InjectButton(int button, bool down);
  // Release a button without a message (a release outside the window).
  void ReleaseButtonSilently(int button);
  void InjectWheel(int delta);
  void InjectClose();

  // Input script (platform/common/input_script.h): its events are posted at
  // their frames, those of frame 0 at once. False with a message on a file
  // that cannot be read or a malformed line.
  bool LoadInputScript(const std::string& hostPath, std::string* error);
  bool ParseInputScript(const std::string& text, std::string* error);
  // The loaded input script closes the window at some frame.
  bool InputScriptCloses() const { return script_.Closes(); }

  // --- Presentation ---
  HeadlessWindow* GetWindow() const { return window_.get(); }
  // Print "frame <n> <hash>" on stdout every n presented frames (0 = never).
  void SetHashEvery(int n);
  // Write the frame as PNG after every presented frame (empty = never).
  void SetScreenshotPath(const std::string& hostPath);
  // Write presented frame `frame` (counted from 1) as PNG to `hostPath`.
  void ScreenshotAt(long long frame, const std::string& hostPath);
  // Print "frame <n> <hash>" for presented frame `frame`.
  void HashAt(long long frame);
  // A ScreenshotAt file could not be written.
  bool ScreenshotFailed() const { return screenshotFailed_; }
  // Reports on stderr each ScreenshotAt and HashAt frame the run did not
  // reach (naming its file); true when there was one.
  bool ReportFramesNotReached() const;

 private:
  friend class HeadlessWindow;
  void OnPresented();
  void DeliverScriptEvents();
  void Apply(const InputEvent& event);
  // Writes the frame shown to `hostPath`, saying so on stdout, or on stderr
  // when it cannot (false then).
  bool SaveFrame(const std::string& hostPath);

  mutable std::mutex mutex_;
  uint64_t ticks_ = 0;
  int64_t epochBase_;
  int boxAnswer_;
  bool boxEcho_ = true;
  bool debugEcho_ = false;
  bool errorEcho_ = true;
  std::vector<BoxRecord> boxes_;
  std::vector<std::string> debugLines_;
  std::vector<std::string> errorLines_;
  DesktopInfo desktop_;
  std::deque<Message> queue_;
  bool held_[256] = {};
  int mouseX_ = 0, mouseY_ = 0;
  std::unique_ptr<HeadlessWindow> window_;
  InputScript script_;
  int hashEvery_ = 0;
  std::string screenshotPath_;
  std::multimap<long long, std::string> screenshotsAt_;
  std::set<long long> hashesAt_;
  bool screenshotFailed_ = false;
  HeadlessAudio audio_;
  std::shared_ptr<GlyphService> glyphs_;
};

// The headless window: keeps the composed frame and counts what was shown.
class HeadlessWindow : public Window {
 public:
  HeadlessWindow(HeadlessBackend* owner, const WindowDesc& desc);

  void Show(bool show) override { visible_ = show; }
  bool IsVisible() const override { return visible_; }
  void Focus() override { active_ = true; }
  void SetTitle(const std::string& cp932) override { title_ = cp932; }
  std::string GetTitle() const override { return title_; }
  bool SetIcon(const std::string& path) override;
  void Move(int x, int y, int clientWidth, int clientHeight) override;
  Point GetClientOrigin() const override { return {x_, y_}; }
  Point GetClientSize() const override { return {width_, height_}; }
  bool SetFullScreen(bool on) override;
  bool IsFullScreen() const override { return fullScreen_; }
  void SetBorderless(bool on) override { borderless_ = on; }
  void ShowSystemCursor(bool show) override { cursorShown_ = show; }
  void WarpPointer(int x, int y) override;
  bool IsActive() const override { return active_; }
  bool IsMinimized() const override { return minimized_; }
  bool IsMaximized() const override { return maximized_; }
  Point GetDisplayMode() const override;
  PresentResult Present(const FrameView& frame, const Rect* rects, int count,
                        bool waitVBlank) override;
  void SetOverlay(std::vector<OverlayText> lines) override { overlay_ = std::move(lines); }
  bool SaveScreenshot(const std::string& hostPath) override;

  // --- Test view ---
  // The presented frame, width*height. Rectangles of a lasting frame
  // (FrameView::lasting) are copied here when something reads it (these
  // calls, a screenshot, a hash) or before their pixels go.
  const std::vector<uint32_t, ClearedAllocator<uint32_t>>& Frame() const {
    Settle();
    return frame_;
  }
  uint32_t PixelAt(int x, int y) const;
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }
  long long PresentCount() const { return presents_; }
  // Rectangles uploaded by the last Present (clipped to the frame).
  const std::vector<Rect>& LastRects() const { return lastRects_; }
  const std::vector<OverlayText>& Overlay() const { return overlay_; }
  const std::string& IconFile() const { return icon_; }
  bool Borderless() const { return borderless_; }
  bool SystemCursorShown() const { return cursorShown_; }
  // Make the next Present report a lost target.
  void LoseTarget() { loseNext_ = true; }
  // Make full-screen requests fail.
  void RefuseFullScreen(bool refuse) { refuseFullScreen_ = refuse; }
  // Make the window report itself maximised or minimised.
  void SetZoomState(bool maximized, bool minimized) {
    maximized_ = maximized;
    minimized_ = minimized;
  }
  // FNV-1a over the frame's pixels 8 bytes at a time (top bytes ignored), as
  // printed by --hash-every.
  uint64_t FrameHash() const;
  // Copies the waiting rectangles of a lasting frame whose pixels are
  // `pixels` now (they are about to change or go).
  void Forget(const uint32_t* pixels) {
    if (source_.pixels == pixels) Settle();
  }

 private:
  // Copies the waiting rectangles from the lasting frame.
  void Settle() const;
  void CopyRect(const FrameView& from, const Rect& r) const;

  HeadlessBackend* owner_;
  int x_, y_, width_, height_;
  std::string title_;
  std::string icon_;
  bool visible_, active_ = true, fullScreen_ = false, borderless_ = false;
  bool cursorShown_ = true, loseNext_ = false, refuseFullScreen_ = false;
  bool maximized_ = false, minimized_ = false;
  mutable std::vector<uint32_t, ClearedAllocator<uint32_t>> frame_;
  int frameWidth_ = 0, frameHeight_ = 0;
  // The lasting frame last presented and its rectangles not yet copied.
  mutable FrameView source_;
  mutable std::vector<Rect> pending_;
  long long presents_ = 0;
  std::vector<Rect> lastRects_;
  std::vector<OverlayText> overlay_;
};

// Installs a fresh headless backend and returns it (tests call this in
// their set-up; the previous backend is dropped).
HeadlessBackend& InstallHeadless();

}  // namespace platform
