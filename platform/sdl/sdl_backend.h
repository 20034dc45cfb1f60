// The SDL backend's classes. The program reaches them only through
// CreateSdlBackend (platform/sdl/sdl.h); the backend's tests look inside.
#pragma once

#include <SDL.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/common/input_script.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl/sdl_overlay.h"

namespace platform::sdl {

class SdlBackend;

class SdlWindow : public Window {
 public:
  // Null (with the reason) when SDL refuses the window.
  static std::unique_ptr<SdlWindow> Create(SdlBackend* owner, const WindowDesc& desc,
                                           std::string* error);
  ~SdlWindow() override;

  void Show(bool show) override;
  bool IsVisible() const override;
  void Focus() override;
  void SetTitle(const std::string& cp932) override;
  std::string GetTitle() const override { return title_; }
  bool SetIcon(const std::string& path) override;
  void Move(int x, int y, int clientWidth, int clientHeight) override;
  Point GetClientOrigin() const override;
  Point GetClientSize() const override;
  bool SetFullScreen(bool on) override;
  bool IsFullScreen() const override { return fullScreen_; }
  void SetBorderless(bool on) override;
  void ShowSystemCursor(bool show) override;
  void WarpPointer(int x, int y) override;
  bool IsActive() const override;
  bool IsMinimized() const override;
  bool IsMaximized() const override;
  Point GetDisplayMode() const override;
  PresentResult Present(const FrameView& frame, const Rect* rects, int count,
                        bool waitVBlank) override;
  void SetOverlay(std::vector<OverlayText> lines) override;
  bool SaveScreenshot(const std::string& hostPath) override;
  void StartTextInput() override;
  void StopTextInput() override;
  void SetCompositionPoint(int x, int y, int lineHeight) override;
  // The input method's composition (UTF-8) when it does not show its own:
  // drawn over the frame at the composition point; empty clears it.
  void SetCompositionText(const std::string& utf8);
  const std::string& GetCompositionText() const { return composition_; }  // CP932

  SDL_Window* Handle() const { return window_; }
  // The game frame's size: the window's client size until a frame of
  // another size is presented.
  int GameWidth() const { return gameW_; }
  int GameHeight() const { return gameH_; }
  // The last composed frame as presented (0x00RRGGBB, width * height);
  // empty before the first frame.
  std::vector<uint32_t> FrameCopy();
  bool HasRenderer() const { return renderer_ != nullptr; }
  // Frames presented so far (an input script's frame numbers count these).
  long long PresentCount() const { return presents_; }
  // How the frame's texture is sampled when drawn into the window.
  SDL_ScaleMode TextureScaleMode() const { return scaleMode_; }

 private:
  SdlWindow(SdlBackend* owner, SDL_Window* window, const WindowDesc& desc);
  bool CreateRenderer();
  void DestroyRenderer();
  // Makes the frame's texture and fills it with the whole frame.
  bool CreateTexture(const FrameView& frame);
  // Copies one (clipped) rectangle of the frame into the kept copy.
  void CopyRect(const FrameView& frame, const SDL_Rect& r);
  // The frame as presented: read back from the texture, or the kept copy.
  bool ReadFrame(std::vector<uint32_t>* out);
  void DropOverlayTextures();
  void BuildOverlayTextures();
  void DrawOverlay(const Viewport& view);
  void ApplyTextInputRect();
  // Uploads the changed rectangles (all after a resize or a loss) and shows
  // the frame.
  PresentResult ShowFrame(const FrameView& frame, bool resized, bool lost);

  SdlBackend* owner_;
  SDL_Window* window_;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_ScaleMode scaleMode_ = SDL_ScaleModeNearest;
  // The presented frame is kept here only when the renderer cannot give it
  // back (no renderer, or one without render targets).
  bool keepCopy_ = true;
  std::vector<SDL_Rect> changed_;  // the rectangles of the present under way
  std::string title_;
  bool fullScreen_ = false;
  int gameW_, gameH_;
  std::vector<uint32_t> frame_;
  int frameW_ = 0, frameH_ = 0;
  long long presents_ = 0;

  struct OverlayLine {
    SDL_Texture* texture = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
    int64_t background = -1;
  };
  std::vector<OverlayText> overlay_;
  std::vector<OverlayLine> overlayLines_;
  bool overlayDirty_ = false;
  std::unique_ptr<OverlayFont> font_;
  std::string composition_;  // CP932
};

class SdlBackend : public Backend {
 public:
  ~SdlBackend() override;

  const char* Name() const override { return "sdl"; }
  uint32_t GetTicks() override;
  void Sleep(uint32_t ms) override;
  LocalTime GetLocalTime() override;
  LocalTime GetUtcTime() override;
  int64_t EpochSeconds() override;
  int MessageBox(Window* owner, const std::string& text, const std::string& caption,
                 int style) override;
  void DebugOutput(const std::string& text) override;
  DesktopInfo GetDesktop() override;
  Window* CreateWindow(const WindowDesc& desc) override;
  void DestroyWindow(Window* window) override;
  bool PeekMessage(Message* out, bool remove) override;
  // Sleeps in SDL until an event comes or the time is up; a message posted
  // from another thread wakes it through an SDL event of its own.
  bool WaitMessage(uint32_t ms) override;
  void PostMessage(Window* window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override;
  bool IsKeyHeld(int vk) override;
  // Opens the sound card (or the silent clock) on first use.
  std::shared_ptr<AudioDevice> Audio() override;
  std::shared_ptr<GlyphService> Glyphs() override;

  InputTranslator& Input() { return input_; }
  SdlWindow* GetWindow() const { return window_.get(); }
  // Takes every waiting SDL event into the message queue.
  void PumpEvents();
  // The input script (platform/common/input_script.h): once the window has
  // presented an event's frame, the event is pushed into SDL's queue as the
  // SDL event real input would make, so it takes the same way to the game;
  // the game's own frames are the clock. Events of frame 0 go when the window
  // is made. False with a message on a file that cannot be read or a
  // malformed line.
  bool LoadInputScript(const std::string& hostPath, std::string* error);
  bool ParseInputScript(const std::string& text, std::string* error);
  bool InputScriptCloses() const;
  // Pushes the script's events due after `presented` frames (any thread).
  void DeliverScriptEvents(long long presented);

  // Shows or clears the composition the input method reports; false for
  // typed text that comes while text input is off (it is dropped).
  bool NoteComposition(const SDL_Event& event);

 private:
  friend std::unique_ptr<Backend> platform::CreateSdlBackend(std::string* error,
                                                             SdlDisplay display);
  SdlBackend();  // after SDL_Init
  void RefreshView();
  void PushScriptEvent(const InputEvent& event);

  const std::thread::id mainThread_;
  // The SDL event type that only wakes WaitMessage (0 when SDL has none left).
  uint32_t wakeEvent_ = 0;
  bool destroying_ = false;
  std::mutex mutex_;  // the queue; PostMessage may come from any thread
  std::deque<Message> queue_;
  InputTranslator input_;
  std::unique_ptr<SdlWindow> window_;
  std::mutex audioMutex_;
  std::shared_ptr<AudioDevice> audio_;
  std::unique_ptr<SdlAudio> audioOut_;
  std::shared_ptr<GlyphService> glyphs_;
  std::unique_ptr<OverlayFont> boxFont_;  // made with the first box
  mutable std::mutex scriptMutex_;  // the script and what it holds
  InputScript script_;
  Point scriptPointer_;             // game pixels
  uint32_t scriptButtons_ = 0;      // SDL_BUTTON_*MASK held by the script
};

}  // namespace platform::sdl
