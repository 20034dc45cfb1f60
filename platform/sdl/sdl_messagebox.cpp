#include "platform/sdl/sdl_messagebox.h"

#include <algorithm>
#include <utility>

#include "platform/codec.h"
#include "platform/common/signals.h"
#include "platform/sdl/sdl_overlay.h"

namespace platform::sdl {

namespace {

constexpr int kTextHeight = 16;
constexpr int kMargin = 16;
constexpr int kLineGap = 4;
constexpr int kMaxTextWidth = 560;
constexpr int kMinWidth = 240;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kMaxLines = 40;

constexpr uint32_t kBackground = 0xF0F0F0;
constexpr uint32_t kTextColour = 0x000000;
constexpr uint32_t kButtonFace = 0xE1E1E1;
constexpr uint32_t kButtonEdge = 0x707070;
constexpr uint32_t kDefaultEdge = 0x0078D7;
constexpr uint32_t kErrorMark = 0xD03030;
constexpr uint32_t kWarningMark = 0xE0A000;
constexpr uint32_t kInformationMark = 0x2070D0;

// "はい", "いいえ" in CP932.
constexpr const char kLabelYes[] = "\x82\xCD\x82\xA2";
constexpr const char kLabelNo[] = "\x82\xA2\x82\xA2\x82\xA6";

// Width of a CP932 line as the font draws it.
int LineWidth(OverlayFont& font, const std::string& cp932) {
  OverlayBitmap bitmap;
  return font.RenderLine(cp932, kTextHeight, 0, &bitmap) ? bitmap.width : 0;
}

// Length of the CP932 character at text[i].
size_t CharLength(const std::string& text, size_t i) {
  return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

void Fill(BoxPicture* p, const Rect& r, uint32_t colour) {
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, p->height); ++y) {
    for (int x = std::max(r.left, 0); x < std::min(r.right, p->width); ++x)
      p->pixels[static_cast<size_t>(y) * p->width + x] = colour;
  }
}

void Frame(BoxPicture* p, const Rect& r, uint32_t colour) {
  Fill(p, {r.left, r.top, r.right, r.top + 1}, colour);
  Fill(p, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  Fill(p, {r.left, r.top, r.left + 1, r.bottom}, colour);
  Fill(p, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

// Draws a rendered line at (x, y), its coverage blended over the picture.
void Blend(BoxPicture* p, const OverlayBitmap& line, int x, int y) {
  for (int row = 0; row < line.height; ++row) {
    const int py = y + row;
    if (py < 0 || py >= p->height) continue;
    for (int col = 0; col < line.width; ++col) {
      const int px = x + col;
      if (px < 0 || px >= p->width) continue;
      const uint32_t src = line.argb[static_cast<size_t>(row) * line.width + col];
      const uint32_t a = src >> 24;
      if (a == 0) continue;
      uint32_t& dst = p->pixels[static_cast<size_t>(py) * p->width + px];
      uint32_t out = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
      }
      dst = out;
    }
  }
}

}  // namespace

std::vector<BoxButton> BoxButtons(int style) {
  if ((style & 0x0F) == MB_YESNO)
    return {{IDYES, kLabelYes, true, false, {}}, {IDNO, kLabelNo, false, true, {}}};
  return {{IDOK, "OK", true, true, {}}};
}

std::vector<std::string> BoxLines(OverlayFont& font, const std::string& cp932, int maxWidth) {
  std::vector<std::string> lines;
  std::string line;
  auto finish = [&]() {
    lines.push_back(std::move(line));
    line.clear();
  };
  for (size_t i = 0; i < cp932.size();) {
    const char c = cp932[i];
    if (c == '\r' || c == '\n') {
      finish();
      i += (c == '\r' && i + 1 < cp932.size() && cp932[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    const size_t n = CharLength(cp932, i);
    std::string wider = line + cp932.substr(i, n);
    if (!line.empty() && LineWidth(font, wider) > maxWidth) {
      finish();
      wider = cp932.substr(i, n);
    }
    line = std::move(wider);
    i += n;
  }
  finish();
  return lines;
}

bool DrawBox(OverlayFont& font, const std::string& text, const std::string& caption, int style,
             BoxPicture* out) {
  *out = BoxPicture();
  if (!font.Ready()) return false;
  out->titleUtf8 = Cp932ToUtf8(caption);
  out->lines = BoxLines(font, text, kMaxTextWidth);
  if (out->lines.size() > kMaxLines) {
    out->lines.resize(kMaxLines);
    out->lines.back() = "...";
  }
  out->buttons = BoxButtons(style);
  uint32_t mark = 0;
  switch (style & 0xF0) {
    case MB_ICONERROR: mark = kErrorMark; break;
    case MB_ICONWARNING: mark = kWarningMark; break;
    case MB_ICONINFORMATION: mark = kInformationMark; break;
    default: break;
  }

  // Lay out: the text below a coloured bar for the icon, the buttons at the
  // bottom right.
  std::vector<OverlayBitmap> rendered(out->lines.size());
  int textWidth = 0, lineHeight = kTextHeight;
  for (size_t i = 0; i < out->lines.size(); ++i) {
    font.RenderLine(out->lines[i], kTextHeight, kTextColour, &rendered[i]);
    textWidth = std::max(textWidth, rendered[i].width);
    lineHeight = std::max(lineHeight, rendered[i].height);
  }
  const int buttonsWidth = static_cast<int>(out->buttons.size()) * (kButtonWidth + kButtonGap) -
                           kButtonGap;
  const int top = kMargin + (mark ? 6 : 0);
  out->width = std::max({kMinWidth, textWidth + 2 * kMargin, buttonsWidth + 2 * kMargin});
  const int textHeight = static_cast<int>(out->lines.size()) * (lineHeight + kLineGap) - kLineGap;
  out->height = top + textHeight + kMargin + kButtonHeight + kMargin;
  out->pixels.assign(static_cast<size_t>(out->width) * out->height, kBackground);
  if (mark) Fill(out, {0, 0, out->width, 6}, mark);

  for (size_t i = 0; i < rendered.size(); ++i) {
    const int y = top + static_cast<int>(i) * (lineHeight + kLineGap);
    Blend(out, rendered[i], kMargin, y);
    out->lineAreas.push_back({kMargin, y, kMargin + rendered[i].width, y + rendered[i].height});
  }
  int x = out->width - kMargin - buttonsWidth;
  const int y = out->height - kMargin - kButtonHeight;
  for (BoxButton& b : out->buttons) {
    b.area = {x, y, x + kButtonWidth, y + kButtonHeight};
    Fill(out, b.area, kButtonFace);
    Frame(out, b.area, b.returnKey ? kDefaultEdge : kButtonEdge);
    OverlayBitmap label;
    if (font.RenderLine(b.label, kTextHeight, kTextColour, &label)) {
      Blend(out, label, x + (kButtonWidth - label.width) / 2, y + (kButtonHeight - label.height) / 2);
    }
    x += kButtonWidth + kButtonGap;
  }
  return true;
}

int RunBox(const BoxPicture& picture, SDL_Window* parent, std::string* error) {
  if (picture.pixels.empty() || picture.buttons.empty()) {
    if (error) *error = "nothing to show";
    return -1;
  }
  SDL_Window* window = SDL_CreateWindow(picture.titleUtf8.c_str(), SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, picture.width, picture.height,
                                        SDL_WINDOW_HIDDEN);
  if (!window) {
    if (error) *error = SDL_GetError();
    return -1;
  }
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC,
                                   picture.width, picture.height)
               : nullptr;
  if (!texture) {
    if (error) *error = SDL_GetError();
    if (renderer) SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    return -1;
  }
  SDL_UpdateTexture(texture, nullptr, picture.pixels.data(), picture.width * 4);
  // The window is shown only now that its renderer is made: making one can
  // replace the window underneath, and a window shown before that would
  // appear, vanish and come back under the player's pointer.
  SDL_ShowWindow(window);
  // The game hides the pointer over its window, and SDL's cursor is one for
  // all its windows: the box shows it while it waits for an answer.
  const int cursorShown = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  if (parent) SDL_SetWindowModalFor(window, parent);
  SDL_RaiseWindow(window);
  const Uint32 id = SDL_GetWindowID(window);

  int cancel = picture.buttons.back().answer, enter = picture.buttons.front().answer;
  for (const BoxButton& b : picture.buttons) {
    if (b.escapeKey) cancel = b.answer;
    if (b.returnKey) enter = b.answer;
  }
  auto draw = [&]() {
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
  };
  draw();
  // Events of the other windows wait for the box; their input is the
  // player's answer to nothing, so it goes.
  std::vector<SDL_Event> kept;
  int answer = -1;
  int pressed = -1;  // the button the left button went down on
  while (answer < 0) {
    // A termination signal gives the cancel answer; the close request it
    // makes goes on to the game.
    if (TerminationSignalPending()) {
      answer = cancel;
      break;
    }
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, 100)) continue;
    Uint32 target = 0;
    bool input = true;
    switch (e.type) {
      case SDL_KEYDOWN: case SDL_KEYUP: target = e.key.windowID; break;
      case SDL_TEXTINPUT: target = e.text.windowID; break;
      case SDL_TEXTEDITING: target = e.edit.windowID; break;
      case SDL_TEXTEDITING_EXT:
        SDL_free(e.editExt.text);
        continue;
      case SDL_MOUSEMOTION: target = e.motion.windowID; break;
      case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: target = e.button.windowID; break;
      case SDL_MOUSEWHEEL: target = e.wheel.windowID; break;
      case SDL_WINDOWEVENT: target = e.window.windowID; input = false; break;
      default: input = false; break;
    }
    // Keys that come before SDL has made the box their target (it waits a
    // moment after a focus change) have no window: they are the box's too.
    if (target == 0 && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP)) target = id;
    if (target != id) {
      if (!input) kept.push_back(e);
      // The program is asked to end (a signal, the session): the box gives
      // its cancel answer and the request goes on to the game.
      if (e.type == SDL_QUIT) answer = cancel;
      continue;
    }
    auto buttonAt = [&](int x, int y) {
      int w = 0, h = 0;
      SDL_GetWindowSize(window, &w, &h);
      // The picture fills the window: map back when the window was resized.
      if (w > 0 && h > 0) {
        x = x * picture.width / w;
        y = y * picture.height / h;
      }
      for (size_t i = 0; i < picture.buttons.size(); ++i) {
        const Rect& r = picture.buttons[i].area;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return static_cast<int>(i);
      }
      return -1;
    };
    switch (e.type) {
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) answer = cancel;
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
            e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
          draw();
        break;
      case SDL_KEYDOWN:
        if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER ||
            e.key.keysym.sym == SDLK_SPACE)
          answer = enter;
        else if (e.key.keysym.sym == SDLK_ESCAPE)
          answer = cancel;
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_LEFT) pressed = buttonAt(e.button.x, e.button.y);
        break;
      case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_LEFT && pressed >= 0 &&
            buttonAt(e.button.x, e.button.y) == pressed)
          answer = picture.buttons[static_cast<size_t>(pressed)].answer;
        pressed = -1;
        break;
      default:
        break;
    }
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  if (cursorShown == SDL_DISABLE) SDL_ShowCursor(SDL_DISABLE);
  for (SDL_Event& e : kept) SDL_PushEvent(&e);
  return answer;
}

}  // namespace platform::sdl
