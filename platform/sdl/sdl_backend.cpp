#include "platform/sdl/sdl_backend.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "platform/codec.h"
#include "platform/common/localtime.h"
#include "platform/common/signals.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/glyphs.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_messagebox.h"

namespace platform {

namespace {

std::atomic<bool> g_debugOutput{false};

timespec Now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return ts;
}


}  // namespace

void SetSdlDebugOutput(bool on) { g_debugOutput = on; }

bool LoadSdlInputScript(const std::string& hostPath, std::string* error) {
  auto* sdl = IsInstalled() ? dynamic_cast<sdl::SdlBackend*>(&Host()) : nullptr;
  if (!sdl) {
    if (error) *error = "the input script " + hostPath + " needs the SDL backend installed";
    return false;
  }
  return sdl->LoadInputScript(hostPath, error);
}

namespace {

// Empty when SDL's video driver can show a window, else why not.
std::string WhyNothingShows() {
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string name = driver ? driver : "";
  if (name == "offscreen" || name == "dummy")
    return "SDL chose its \"" + name + "\" video driver, which shows nothing";
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
  if (!probe) return std::string("no window can be made: ") + SDL_GetError();
  SDL_DestroyWindow(probe);
  return "";
}

}  // namespace

std::unique_ptr<Backend> CreateSdlBackend(std::string* error, SdlDisplay display) {
  // A click on the close box is a WM_CLOSE for the engine to judge, not an
  // SDL_QUIT on top of it.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Termination signals are the program's own (CloseOnTerminationSignals):
  // SDL would catch SIGINT and SIGTERM for ever and leave SIGHUP out.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The input method draws its own composition and candidates at the point
  // the text box gives.
  SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  const Uint32 systems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;
  if (SDL_Init(systems) != 0) {
    if (error) *error = std::string("cannot open a display: ") + SDL_GetError();
    return nullptr;
  }
  if (SDL_GetNumVideoDisplays() < 1) {
    if (error) *error = std::string("cannot open a display: ") + SDL_GetError();
    SDL_QuitSubSystem(systems);
    return nullptr;
  }
  if (display == SdlDisplay::kVisible) {
    const std::string why = WhyNothingShows();
    if (!why.empty()) {
      if (error) *error = why;
      SDL_QuitSubSystem(systems);
      return nullptr;
    }
  }
  // SDL turns text input on with the video; here only a text box does.
  SDL_StopTextInput();
  return std::unique_ptr<Backend>(new sdl::SdlBackend());
}

namespace sdl {

SdlBackend::SdlBackend() : mainThread_(std::this_thread::get_id()) {
  const Uint32 type = SDL_RegisterEvents(1);
  if (type != static_cast<Uint32>(-1)) wakeEvent_ = type;
}

SdlBackend::~SdlBackend() {
  // The engine has already destroyed its window when it ends properly; here
  // only the SDL objects go, without calling a handler that may be gone.
  input_.SetWindow(nullptr);
  window_.reset();
  // Buffers the engine still holds keep their device; only the output stops.
  audioOut_.reset();
  SDL_StopTextInput();
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER);
}

uint32_t SdlBackend::GetTicks() { return static_cast<uint32_t>(SDL_GetTicks64()); }

void SdlBackend::Sleep(uint32_t ms) { SDL_Delay(ms); }

LocalTime SdlBackend::GetLocalTime() {
  timespec ts = Now();
  time_t seconds = ts.tv_sec;
  std::tm t{};
  localtime_r(&seconds, &t);
  return ToLocalTime(t, static_cast<int>(ts.tv_nsec / 1000000));
}

LocalTime SdlBackend::GetUtcTime() {
  timespec ts = Now();
  time_t seconds = ts.tv_sec;
  std::tm t{};
  gmtime_r(&seconds, &t);
  return ToLocalTime(t, static_cast<int>(ts.tv_nsec / 1000000));
}

int64_t SdlBackend::EpochSeconds() { return static_cast<int64_t>(Now().tv_sec); }

int SdlBackend::MessageBox(Window* owner, const std::string& text, const std::string& caption,
                           int style) {
  const bool yesNo = (style & 0x0F) == MB_YESNO;
  const int cautious = yesNo ? IDNO : IDOK;
  const std::string title = Cp932ToUtf8(caption);
  const std::string message = Cp932ToUtf8(text);
  // Every box leaves its line on the terminal, shown or not.
  std::fprintf(stderr, "[box] %s: %s\n", title.c_str(), message.c_str());
  std::fflush(stderr);
  // Without a display there is no one to ask: SDL's fallbacks would start a
  // helper program (forking a process that may hold locks of other
  // threads), so the line above is all; the answer is the cautious one.
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string driverName = driver ? driver : "";
  if (!((x11 && *x11) || (wayland && *wayland)) || driverName == "dummy" ||
      driverName == "offscreen")
    return cautious;

  SDL_Window* parent = nullptr;
  if (owner && owner == window_.get()) parent = window_->Handle();
  int answer = -1;
  std::string why;
  // Our own box draws Japanese with the game's face; SDL's windows belong
  // to the thread that opened the display.
  if (std::this_thread::get_id() == mainThread_) {
    if (!boxFont_) boxFont_ = std::make_unique<OverlayFont>();
    BoxPicture picture;
    if (DrawBox(*boxFont_, text, caption, style, &picture))
      answer = RunBox(picture, parent, &why);
    else
      why = "no face to draw its text";
  } else {
    why = "asked from another thread";
  }
  if (answer < 0) {
    // SDL's own box, with the same texts and labels in UTF-8.
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    switch (style & 0xF0) {
      case MB_ICONERROR: flags |= SDL_MESSAGEBOX_ERROR; break;
      case MB_ICONWARNING: flags |= SDL_MESSAGEBOX_WARNING; break;
      case MB_ICONINFORMATION: flags |= SDL_MESSAGEBOX_INFORMATION; break;
      default: break;
    }
    const std::vector<BoxButton> boxButtons = BoxButtons(style);
    std::vector<std::string> labels;
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (const BoxButton& b : boxButtons) labels.push_back(Cp932ToUtf8(b.label));
    for (size_t i = 0; i < boxButtons.size(); ++i) {
      Uint32 keys = (boxButtons[i].returnKey ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                    (boxButtons[i].escapeKey ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
      buttons.push_back({keys, boxButtons[i].answer, labels[i].c_str()});
    }
    SDL_MessageBoxData data{flags, parent, title.c_str(), message.c_str(),
                            static_cast<int>(buttons.size()), buttons.data(), nullptr};
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
      std::fprintf(stderr, "zor: the box could not be shown (%s; %s); taken as %s\n", why.c_str(),
                   SDL_GetError(), yesNo ? "No" : "OK");
      std::fflush(stderr);
      return cautious;
    }
  }
  // A box closed without a button counts as No.
  if (yesNo) return answer == IDYES ? IDYES : IDNO;
  return IDOK;
}

void SdlBackend::DebugOutput(const std::string& text) {
  if (!g_debugOutput) return;
  const std::string line = TraceLine(text);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

DesktopInfo SdlBackend::GetDesktop() {
  DesktopInfo info;
  info.bitsPerPixel = 32;
  SDL_Rect all{};
  bool any = false;
  int displays = SDL_GetNumVideoDisplays();
  for (int i = 0; i < displays; ++i) {
    SDL_Rect r;
    if (SDL_GetDisplayBounds(i, &r) != 0) continue;
    if (any) {
      SDL_UnionRect(&all, &r, &all);
    } else {
      all = r;
      any = true;
    }
  }
  if (any) {
    info.virtualX = all.x;
    info.virtualY = all.y;
    info.virtualWidth = all.w;
    info.virtualHeight = all.h;
  }
  return info;
}

Window* SdlBackend::CreateWindow(const WindowDesc& desc) {
  if (window_) {
    std::fprintf(stderr, "zor: the program has a window already\n");
    return nullptr;
  }
  std::string error;
  window_ = SdlWindow::Create(this, desc, &error);
  if (!window_) {
    std::fprintf(stderr, "zor: cannot create the window: %s\n", error.c_str());
    return nullptr;
  }
  input_.SetWindow(window_.get());
  RefreshView();
  SDL_StopTextInput();
  return window_.get();
}

void SdlBackend::DestroyWindow(Window* window) {
  if (!window || window != window_.get() || destroying_) return;
  destroying_ = true;
  window->Call(WM_DESTROY, 0, 0);
  {
    // Nothing may reach a window that is gone.
    std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(queue_, [window](const Message& m) { return m.window == window; });
  }
  input_.SetWindow(nullptr);
  window_.reset();
  destroying_ = false;
}

void SdlBackend::RefreshView() {
  if (!window_) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_->Handle(), &w, &h);
  input_.SetView(w, h, window_->GameWidth(), window_->GameHeight());
}

bool SdlBackend::NoteComposition(const SDL_Event& event) {
  if (!window_ || !window_->IsTextInputOn()) {
    if (event.type == SDL_TEXTEDITING_EXT) SDL_free(event.editExt.text);
    // Text still on its way when input stopped is not for the game.
    return event.type != SDL_TEXTINPUT;
  }
  // The engine sees committed text only; a composition the input method does
  // not show itself is drawn over the frame until the commit.
  if (event.type == SDL_TEXTEDITING) {
    window_->SetCompositionText(
        std::string(event.edit.text, strnlen(event.edit.text, sizeof(event.edit.text))));
  } else if (event.type == SDL_TEXTEDITING_EXT) {
    window_->SetCompositionText(event.editExt.text ? event.editExt.text : "");
    SDL_free(event.editExt.text);
  } else if (event.type == SDL_TEXTINPUT) {
    window_->SetCompositionText("");
  }
  return true;
}

void SdlBackend::PumpEvents() {
  // SDL hands out events only on the thread that opened the display.
  if (std::this_thread::get_id() != mainThread_) return;
  RefreshView();
  SDL_PumpEvents();
  std::vector<Message> translated;
  SDL_Event events[64];
  int n;
  while ((n = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
    for (int i = 0; i < n; ++i) {
      if (NoteComposition(events[i])) input_.Translate(events[i], &translated);
    }
  }
  // A termination signal is a close request, as the close box's.
  if (TakeTerminationSignal() && input_.GetWindow()) {
    translated.push_back(Message{input_.GetWindow(), WM_CLOSE, 0, 0});
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Message& m : translated) {
    // Input that comes while there is no window has nobody to go to.
    if (m.window) queue_.push_back(m);
  }
}

bool SdlBackend::PeekMessage(Message* out, bool remove) {
  PumpEvents();
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return false;
  if (out) *out = queue_.front();
  if (remove) queue_.pop_front();
  return true;
}

bool SdlBackend::WaitMessage(uint32_t ms) {
  if (PeekMessage(nullptr, false)) return true;
  // SDL waits for events only on the thread that opened the display, and
  // without an event of its own a message posted meanwhile would not wake it.
  if (std::this_thread::get_id() != mainThread_ || wakeEvent_ == 0) return Backend::WaitMessage(ms);
  const uint32_t start = GetTicks();
  for (;;) {
    const uint32_t waited = GetTicks() - start;
    if (waited >= ms) return PeekMessage(nullptr, false);
    const int left = static_cast<int>(std::min<uint32_t>(ms - waited, 1u << 30));
    // An event that becomes no message (the wake-up, a pointer moving over
    // nothing) goes back to waiting for what is left.
    if (SDL_WaitEventTimeout(nullptr, left) && PeekMessage(nullptr, false)) return true;
  }
}

void SdlBackend::PostMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(Message{window, message, wParam, lParam});
  }
  if (wakeEvent_ != 0 && std::this_thread::get_id() != mainThread_) {
    SDL_Event wake{};
    wake.type = wakeEvent_;
    SDL_PushEvent(&wake);
  }
}

bool SdlBackend::IsKeyHeld(int vk) {
  if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
    // The pointer's own state, so a release outside the window is seen; and
    // the buttons an input script holds.
    Uint32 state = SDL_GetGlobalMouseState(nullptr, nullptr);
    {
      std::lock_guard<std::mutex> lock(scriptMutex_);
      state |= scriptButtons_;
    }
    Uint32 mask = vk == VK_LBUTTON   ? SDL_BUTTON_LMASK
                  : vk == VK_RBUTTON ? SDL_BUTTON_RMASK
                                     : SDL_BUTTON_MMASK;
    return (state & mask) != 0;
  }
  return input_.KeyHeld(vk);
}

bool SdlBackend::LoadInputScript(const std::string& hostPath, std::string* error) {
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    if (!script_.Load(hostPath, error)) return false;
  }
  DeliverScriptEvents(window_ ? window_->PresentCount() : 0);
  return true;
}

bool SdlBackend::ParseInputScript(const std::string& text, std::string* error) {
  {
    std::lock_guard<std::mutex> lock(scriptMutex_);
    if (!script_.Parse(text, error)) return false;
  }
  DeliverScriptEvents(window_ ? window_->PresentCount() : 0);
  return true;
}

bool SdlBackend::InputScriptCloses() const {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  return script_.Closes();
}

void SdlBackend::DeliverScriptEvents(long long presented) {
  std::lock_guard<std::mutex> lock(scriptMutex_);
  if (script_.Empty()) return;
  for (const InputEvent& e : script_.TakeDue(presented)) PushScriptEvent(e);
}

void SdlBackend::PushScriptEvent(const InputEvent& e) {
  SDL_Window* handle = window_ ? window_->Handle() : nullptr;
  const Uint32 id = handle ? SDL_GetWindowID(handle) : 0;
  // Script positions are game pixels; SDL's are window units.
  auto toWindow = [&](Point p) {
    if (!handle) return p;
    int w = 0, h = 0;
    SDL_GetWindowSize(handle, &w, &h);
    return GameToWindow(p.x, p.y, w, h, window_->GameWidth(), window_->GameHeight());
  };
  auto push = [](SDL_Event& event) {
    if (SDL_PushEvent(&event) < 0)
      std::fprintf(stderr, "zor: input script: SDL refused an event: %s\n", SDL_GetError());
  };
  SDL_Event event{};
  using Kind = InputEvent::Kind;
  switch (e.kind) {
    case Kind::kKey: {
      const SDL_Keycode sym = SdlKeyFromVirtualKey(e.a);
      if (sym == SDLK_UNKNOWN) {
        std::fprintf(stderr, "zor: input script: no key gives the code %d here; left out\n", e.a);
        return;
      }
      event.type = e.down ? SDL_KEYDOWN : SDL_KEYUP;
      event.key.windowID = id;
      event.key.state = e.down ? SDL_PRESSED : SDL_RELEASED;
      event.key.keysym.sym = sym;
      event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
      event.key.keysym.mod = e.alt ? KMOD_LALT : KMOD_NONE;
      push(event);
      return;
    }
    case Kind::kText: {
      // SDL carries text in pieces of at most 31 bytes, cut between characters.
      const std::string& t = e.text;
      constexpr size_t kPiece = SDL_TEXTINPUTEVENT_TEXT_SIZE - 1;
      for (size_t i = 0; i < t.size();) {
        size_t n = std::min(t.size() - i, kPiece);
        while (n > 0 && i + n < t.size() && (static_cast<unsigned char>(t[i + n]) & 0xC0) == 0x80)
          --n;
        if (n == 0) n = std::min(t.size() - i, kPiece);  // not UTF-8: cut anywhere
        SDL_Event piece{};
        piece.type = SDL_TEXTINPUT;
        piece.text.windowID = id;
        std::memcpy(piece.text.text, t.data() + i, n);
        push(piece);
        i += n;
      }
      return;
    }
    case Kind::kMove: {
      scriptPointer_ = {e.a, e.b};
      const Point p = toWindow(scriptPointer_);
      event.type = SDL_MOUSEMOTION;
      event.motion.windowID = id;
      event.motion.state = scriptButtons_;
      event.motion.x = p.x;
      event.motion.y = p.y;
      push(event);
      return;
    }
    case Kind::kButton: {
      static constexpr Uint8 kButtons[3] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
      const Uint8 button = kButtons[e.a];
      if (e.down)
        scriptButtons_ |= SDL_BUTTON(button);
      else
        scriptButtons_ &= ~SDL_BUTTON(button);
      const Point p = toWindow(scriptPointer_);
      event.type = e.down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      event.button.windowID = id;
      event.button.button = button;
      event.button.state = e.down ? SDL_PRESSED : SDL_RELEASED;
      event.button.clicks = 1;
      event.button.x = p.x;
      event.button.y = p.y;
      push(event);
      return;
    }
    case Kind::kWheel: {
      // SDL counts the wheel in notches of WHEEL_DELTA; a smaller turn is
      // still one notch its way.
      int notches = e.a / WHEEL_DELTA;
      if (notches == 0 && e.a != 0) notches = e.a > 0 ? 1 : -1;
      const Point p = toWindow(scriptPointer_);
      event.type = SDL_MOUSEWHEEL;
      event.wheel.windowID = id;
      event.wheel.y = notches;
      event.wheel.preciseY = static_cast<float>(notches);
      event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
      event.wheel.mouseX = p.x;
      event.wheel.mouseY = p.y;
      push(event);
      return;
    }
    case Kind::kClose:
      event.type = SDL_WINDOWEVENT;
      event.window.windowID = id;
      event.window.event = SDL_WINDOWEVENT_CLOSE;
      push(event);
      return;
    case Kind::kScreenshot:
      if (window_ && window_->SaveScreenshot(e.text))
        std::printf("screenshot: %s\n", e.text.c_str());
      else
        std::fprintf(stderr, "zor: could not write the screenshot %s\n", e.text.c_str());
      std::fflush(stdout);
      return;
  }
}

std::shared_ptr<AudioDevice> SdlBackend::Audio() {
  std::lock_guard<std::mutex> lock(audioMutex_);
  if (!audio_) {
    audio_ = AudioDevice::Create();
    audioOut_ = std::make_unique<SdlAudio>(audio_);
    audioOut_->Open();
  }
  return audio_;
}

std::shared_ptr<GlyphService> SdlBackend::Glyphs() {
  // Made on first use: looking the faces up takes fontconfig a moment.
  if (!glyphs_) glyphs_ = CreateFreeTypeGlyphs();
  return glyphs_;
}

}  // namespace sdl
}  // namespace platform
