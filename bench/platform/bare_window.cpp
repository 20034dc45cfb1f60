// A bare SDL program showing frames the way a well-behaved one does: an
// 800 x 600 window, a streaming texture updated rectangle by rectangle,
// copied to the window and presented, one frame every 50 ms, sleeping in
// SDL's event wait between frames. bench/platform/idle_title.sh runs it
// beside the program on the sample game's title, both under Xvfb, and
// compares the CPU time each takes per presented frame.
//
//   bench_bare_window FRAMES [none|full|X,Y,W,H]
// The rectangle changed every frame after the first (which shows the whole
// frame): none by default, as on a title where nothing moves.
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kW = 800, kH = 600;
constexpr Uint32 kPeriod = 50;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FRAMES [none|full|X,Y,W,H]\n", argv[0]);
    return 2;
  }
  const long frames = std::strtol(argv[1], nullptr, 10);
  SDL_Rect changed{0, 0, 0, 0};
  if (argc > 2 && std::strcmp(argv[2], "full") == 0) {
    changed = {0, 0, kW, kH};
  } else if (argc > 2 && std::strcmp(argv[2], "none") != 0 &&
             std::sscanf(argv[2], "%d,%d,%d,%d", &changed.x, &changed.y, &changed.w, &changed.h) != 4) {
    std::fprintf(stderr, "%s: the rectangle is X,Y,W,H, full or none\n", argv[0]);
    return 2;
  }
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "%s: no display: %s\n", argv[0], SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kW, kH,
                                        SDL_WINDOW_SHOWN);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  if (window && !renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kW, kH) : nullptr;
  if (!texture) {
    std::fprintf(stderr, "%s: %s\n", argv[0], SDL_GetError());
    return 1;
  }
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
  std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;

  Uint32 due = SDL_GetTicks();
  for (long f = 0; f < frames; ++f) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    if (f == 0) {
      SDL_UpdateTexture(texture, nullptr, frame.data(), kW * 4);
    } else if (changed.w > 0 && changed.h > 0) {
      frame[static_cast<size_t>(f) % frame.size()] ^= 0x010101;
      SDL_UpdateTexture(texture, &changed, frame.data() + static_cast<size_t>(changed.y) * kW + changed.x, kW * 4);
    }
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    due += kPeriod;
    for (;;) {
      const Uint32 now = SDL_GetTicks();
      if (static_cast<int32_t>(due - now) <= 0) break;
      SDL_WaitEventTimeout(nullptr, static_cast<int>(due - now));
      while (SDL_PollEvent(&event)) {
      }
    }
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
