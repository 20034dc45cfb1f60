// zor-movieframes OUTDIR FRAMES WIDTH HEIGHT
// Draws the sample game's movie as pictures and a tone for the ffmpeg tool:
// OUTDIR/frame000.ppm ... (FRAMES pictures for 20 frames a second: a colour
// sweep with a square crossing it and a bar counting the frames) and
// OUTDIR/tone.wav (a 440 Hz sine at a quarter of full scale, 16-bit mono
// 44,100 Hz, as long as the pictures).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace {

constexpr int kFramesPerSecond = 20;

bool WritePpm(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << w << " " << h << "\n255\n";
  out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  return static_cast<bool>(out);
}

void DrawFrame(int n, int frames, int w, int h, std::vector<uint8_t>* rgb) {
  const int square = h / 4;
  const int sx = (w - square) * n / (frames > 1 ? frames - 1 : 1);
  const int sy = (h - square) / 2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &(*rgb)[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>((x * 255 / w + n * 8) & 0xFF);
      p[1] = static_cast<uint8_t>(y * 255 / h);
      p[2] = static_cast<uint8_t>(128 + 100 * std::sin((x + n * 12) * 0.05));
      const bool inSquare = x >= sx && x < sx + square && y >= sy && y < sy + square;
      const bool inBar = y >= h - 12 && x < w * (n + 1) / frames;
      if (inSquare || inBar) p[0] = p[1] = p[2] = 255;
    }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: zor-movieframes OUTDIR FRAMES WIDTH HEIGHT\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int frames = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]);
  if (frames <= 0 || frames > 1000 || w <= 0 || h <= 0 || w > 4096 || h > 4096) {
    std::fprintf(stderr, "zor-movieframes: bad frame count or size\n");
    return 2;
  }
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  for (int n = 0; n < frames; ++n) {
    DrawFrame(n, frames, w, h, &rgb);
    char name[32];
    std::snprintf(name, sizeof name, "/frame%03d.ppm", n);
    if (!WritePpm(dir + name, w, h, rgb)) {
      std::fprintf(stderr, "zor-movieframes: cannot write %s%s\n", dir.c_str(), name);
      return 1;
    }
  }
  platform::AudioFormat format;
  format.channels = 1;
  const int samples = platform::kMixRate * frames / kFramesPerSecond;
  std::vector<int16_t> pcm(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i)
    pcm[i] = static_cast<int16_t>(std::lround(8192 * std::sin(2 * M_PI * 440 * i / platform::kMixRate)));
  if (!platform::WriteWavFile(dir + "/tone.wav", format, pcm.data(), pcm.size() * 2)) {
    std::fprintf(stderr, "zor-movieframes: cannot write %s/tone.wav\n", dir.c_str());
    return 1;
  }
  return 0;
}
