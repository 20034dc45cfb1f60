// Presenting frames in a real window: the SDL backend's window beside a bare
// SDL program (a streaming texture updated rectangle by rectangle straight
// from the frame, copied to the window and presented) showing the same
// frames in a window of the same size. Both count the process's CPU time,
// the renderer's threads included. Needs a display: run it through
// bench/platform/present.sh, which starts Xvfb and prints the ratios.
//
// Cases: the whole 800 x 600 frame changes every frame (a movie, a
// transition), or only a message-window band does; the window shows the
// game at 1:1 or at 2:1.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/unavailable.h"
#include "platform/backend.h"
#include "platform/sdl/sdl.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr int kFrames = 8;

// Eight different frames of noise-like colour.
const std::vector<std::vector<uint32_t>>& Frames() {
  static const std::vector<std::vector<uint32_t>> frames = [] {
    std::vector<std::vector<uint32_t>> all(kFrames, std::vector<uint32_t>(static_cast<size_t>(kW) * kH));
    for (int f = 0; f < kFrames; ++f)
      for (size_t i = 0; i < all[f].size(); ++i) all[f][i] = static_cast<uint32_t>((i + f * 7919u) * 2654435761u) & 0xFFFFFF;
    return all;
  }();
  return frames;
}

// The changed rectangle of a case: the whole frame or the message band.
platform::Rect Changed(int band) {
  return band ? platform::Rect{20, 440, 780, 580} : platform::Rect{0, 0, kW, kH};
}

// The SDL backend, made once (SDL stays initialised for both sides).
platform::Backend* Sdl() {
  static std::unique_ptr<platform::Backend> backend = [] {
    std::string error;
    auto b = platform::CreateSdlBackend(&error, platform::SdlDisplay::kVisible);
    if (!b) std::fprintf(stderr, "bench_present: no display (%s); run bench/platform/present.sh\n", error.c_str());
    return b;
  }();
  return backend.get();
}

void Engine(benchmark::State& state) {
  const int band = static_cast<int>(state.range(0)), scale = static_cast<int>(state.range(1));
  platform::Backend* sdl = Sdl();
  if (!sdl) {
    benchsupport::SkipUnavailable(state, "no display (run bench/platform/present.sh)");
    return;
  }
  platform::WindowDesc desc;
  desc.clientWidth = kW * scale;
  desc.clientHeight = kH * scale;
  desc.visible = true;
  desc.caption = true;
  platform::Window* window = sdl->CreateWindow(desc);
  if (!window) {
    state.SkipWithError("no window");
    return;
  }
  const platform::Rect all{0, 0, kW, kH}, rect = Changed(band);
  int f = 0;
  window->Present(platform::FrameView{Frames()[0].data(), kW, kH, kW * 4}, &all, 1, false);
  for (auto _ : state) {
    f = (f + 1) % kFrames;
    SDL_PumpEvents();
    window->Present(platform::FrameView{Frames()[f].data(), kW, kH, kW * 4}, &rect, 1, false);
  }
  sdl->DestroyWindow(window);
}

void Bare(benchmark::State& state) {
  const int band = static_cast<int>(state.range(0)), scale = static_cast<int>(state.range(1));
  if (!Sdl()) {
    benchsupport::SkipUnavailable(state, "no display (run bench/platform/present.sh)");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kW * scale,
                                        kH * scale, SDL_WINDOW_SHOWN);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kW, kH) : nullptr;
  if (!texture) {
    state.SkipWithError(SDL_GetError());
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    return;
  }
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(renderer, &info);
  state.SetLabel(info.name);
  const platform::Rect r = Changed(band);
  const SDL_Rect rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
  SDL_UpdateTexture(texture, nullptr, Frames()[0].data(), kW * 4);
  int f = 0;
  for (auto _ : state) {
    f = (f + 1) % kFrames;
    SDL_PumpEvents();
    const uint32_t* px = Frames()[f].data();
    SDL_UpdateTexture(texture, &rect, px + static_cast<size_t>(rect.y) * kW + rect.x, kW * 4);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
  }
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
}

// Arguments: band (0 the whole frame, 1 the message band), scale.
void Cases(benchmark::internal::Benchmark* b) {
  b->ArgNames({"band", "scale"});
  for (int band : {0, 1})
    for (int scale : {1, 2}) b->Args({band, scale});
  b->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(Engine)->Apply(Cases);
BENCHMARK(Bare)->Apply(Cases);

}  // namespace
