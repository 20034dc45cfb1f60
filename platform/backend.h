// The services object through which the engine reaches its host. One
// backend is installed at start (the SDL one by the program, the headless one
// by tests and by --headless); the engine calls the free functions in
// platform/system.h, which forward here.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

class AudioDevice;
class GlyphService;

struct LocalTime {
  int year = 0, month = 0, day = 0;
  int weekday = 0;  // 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct DesktopInfo {
  int bitsPerPixel = 32;
  int virtualX = 0, virtualY = 0;
  int virtualWidth = 1920, virtualHeight = 1080;
};

// What a window is made with. Texts are CP932.
struct WindowDesc {
  int x = 0, y = 0;                 // client origin on the desktop
  int clientWidth = 800, clientHeight = 600;
  std::string title;
  std::string iconFile;             // game-relative path; empty = no icon
  bool caption = true;              // false: a pop-up window without decoration
  bool visible = true;
};

// A frame as the engine keeps it: 0x00RRGGBB pixels, rows top-down.
struct FrameView {
  const uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  int pitch = 0;  // in bytes
  // The pixels outlive the call and, inside the presented rectangles, keep
  // showing this frame until the next Present with them, except that their
  // owner calls ForgetFrame (system.h) before it frees them. A host may then
  // read the rectangles when it needs them instead of at once.
  bool lasting = false;
};

enum class PresentResult { kOk, kLost };

// One line of text drawn over the frame (start message, debug lists).
struct OverlayText {
  int x = 0, y = 0;
  std::string text;     // CP932
  uint32_t color = 0xFFFFFF;
  int height = 16;      // cell height in pixels
  // An opaque box of this colour (0x00RRGGBB) behind the text's cells;
  // -1 draws the text alone.
  int64_t background = -1;
};

class Window {
 public:
  virtual ~Window() = default;

  // The engine's window procedure; messages taken from the pump are handed
  // to it by DispatchMessage, and DestroyWindow sends WM_DESTROY through it.
  void SetHandler(WindowHandler handler, void* context) {
    handler_ = handler;
    handlerContext_ = context;
  }
  intptr_t Call(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return handler_ ? handler_(this, message, wParam, lParam, handlerContext_) : 0;
  }
  bool HasHandler() const { return handler_ != nullptr; }

  virtual void Show(bool show) = 0;
  virtual bool IsVisible() const = 0;
  virtual void Focus() = 0;
  virtual void SetTitle(const std::string& cp932) = 0;
  virtual std::string GetTitle() const = 0;   // CP932
  virtual bool SetIcon(const std::string& path) = 0;
  // Moves the client area to (x, y) on the desktop with the given size.
  virtual void Move(int x, int y, int clientWidth, int clientHeight) = 0;
  virtual Point GetClientOrigin() const = 0;
  virtual Point GetClientSize() const = 0;
  // Desktop full screen with the frame scaled and letterboxed; false when the
  // host refused. While on, the display mode reported is the game's size.
  virtual bool SetFullScreen(bool on) = 0;
  virtual bool IsFullScreen() const = 0;
  virtual void SetBorderless(bool on) = 0;
  virtual void ShowSystemCursor(bool show) = 0;
  // Puts the pointer at a client position (or records it where the host
  // refuses, so the next frame sees it).
  virtual void WarpPointer(int x, int y) = 0;
  virtual bool IsActive() const = 0;
  virtual bool IsMinimized() const = 0;
  virtual bool IsMaximized() const = 0;
  // The display mode seen by the engine: the game's size while full screen,
  // the desktop's otherwise.
  virtual Point GetDisplayMode() const = 0;

  // Presenter: uploads exactly the given rectangles of the frame and shows it.
  virtual PresentResult Present(const FrameView& frame, const Rect* rects, int count,
                                bool waitVBlank) = 0;
  // Text drawn over the next presented frames until cleared.
  virtual void SetOverlay(std::vector<OverlayText> lines) = 0;
  // Writes the last presented frame as a PNG file (host path).
  virtual bool SaveScreenshot(const std::string& hostPath) = 0;

  // Text input: off until a text box starts it, so game keys meet the
  // desktop's input method only around text entry. While on, typed text and
  // the input method's commits arrive as WM_CHAR bytes (CP932, lead byte
  // first). Backends override to switch the host's text input.
  virtual void StartTextInput() { textInput_ = true; }
  virtual void StopTextInput() { textInput_ = false; }
  bool IsTextInputOn() const { return textInput_; }
  // Where the input method composes: a client point in game pixels, one line
  // of lineHeight pixels high.
  virtual void SetCompositionPoint(int x, int y, int lineHeight) {
    compositionPoint_ = {x, y};
    compositionHeight_ = lineHeight;
  }
  Point GetCompositionPoint() const { return compositionPoint_; }
  int GetCompositionHeight() const { return compositionHeight_; }

  // The window's close item (its close box): while disabled the host's
  // close request is dropped; a WM_CLOSE the program posts still arrives.
  // Set from any thread.
  void EnableCloseItem(bool enabled) { closeItemEnabled_ = enabled; }
  bool IsCloseItemEnabled() const { return closeItemEnabled_; }

 private:
  WindowHandler handler_ = nullptr;
  void* handlerContext_ = nullptr;
  bool textInput_ = false;
  Point compositionPoint_;
  int compositionHeight_ = 0;
  std::atomic<bool> closeItemEnabled_{true};
};

// A trace text as the hosts echo it on stderr: UTF-8, one line ending in a
// line end, without the blank lines a text opens or closes with; empty when
// the text holds nothing to show.
std::string TraceLine(const std::string& cp932);

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  // Time. Ticks are milliseconds in 32 bits and wrap; callers take differences.
  virtual uint32_t GetTicks() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  virtual LocalTime GetLocalTime() = 0;
  virtual LocalTime GetUtcTime() = 0;
  virtual int64_t EpochSeconds() = 0;

  // Modal message box; text and caption CP932. Returns IDOK, IDYES or IDNO.
  virtual int MessageBox(Window* owner, const std::string& text, const std::string& caption,
                         int style) = 0;
  // Trace lines (CP932).
  virtual void DebugOutput(const std::string& text) = 0;
  // One line always shown on stderr, unlike the trace (CP932, a line end is
  // added): why a file was refused or could not be written.
  virtual void ErrorOutput(const std::string& text);

  virtual DesktopInfo GetDesktop() = 0;

  // The one window of the program; the backend owns it.
  virtual Window* CreateWindow(const WindowDesc& desc) = 0;
  // Sends WM_DESTROY through the handler and closes the window.
  virtual void DestroyWindow(Window* window) = 0;

  // Event pump. PeekMessage with remove = false leaves the message waiting.
  // A window message is delivered only after every message already posted.
  virtual bool PeekMessage(Message* out, bool remove) = 0;
  // Returns once a message is waiting (true) or `ms` milliseconds have
  // passed (false). By default it looks every millisecond; a host that can
  // sleep until its next event overrides it.
  virtual bool WaitMessage(uint32_t ms);
  virtual void PostMessage(Window* window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) = 0;
  // Lasting frame pixels (FrameView::lasting) are about to be freed or
  // changed outside a frame: a host still reading them copies what it needs.
  virtual void ForgetFrame(const uint32_t* /*pixels*/) {}
  // Physical state of a key or mouse button by virtual-key code, now.
  virtual bool IsKeyHeld(int vk) = 0;

  // The sound device (platform/audio.h). By default a device whose buffers
  // never move, for hosts without sound.
  virtual std::shared_ptr<AudioDevice> Audio();
  // The glyph rasteriser (platform/glyphs.h). By default the synthetic font.
  virtual std::shared_ptr<GlyphService> Glyphs();
};

// The installed backend; the program installs one before using any service.
Backend& Host();
// Also sets the process up for the host: a file-size limit then fails a
// write instead of killing the program (SIGXFSZ ignored).
void Install(std::unique_ptr<Backend> backend);
// Removes the installed backend (tests); the next Install replaces it.
std::unique_ptr<Backend> Uninstall();
bool IsInstalled();

}  // namespace platform
