// Opens the input as a music file and decodes it to the end through the
// stream's decoder, then plays it on a music stream for a few seconds of
// virtual time. An empty corpus folder is seeded with music files made by
// the sound writers (both header forms, and formats the stream refuses).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/bgmstream.h"
#include "sound/musicfile.h"
#include "soundwriter.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
std::unique_ptr<CBgmStream> g_stream;

platform::WavData Tone(int channels, int rate, int frames) {
  platform::WavData wav;
  wav.format = {channels, rate, 16};
  for (int i = 0; i < frames * channels; ++i) {
    const auto s = static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(i * 0.05)));
    wav.pcm.push_back(static_cast<uint8_t>(s & 0xFF));
    wav.pcm.push_back(static_cast<uint8_t>(s >> 8));
  }
  return wav;
}

void Seed(const std::filesystem::path& dir) {
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error) || !std::filesystem::is_empty(dir, error)) return;
  std::string why;
  std::vector<uint8_t> bytes, ogg;
  if (soundtool::MakeMusicFile(Tone(2, 44100, 30000), 0.1f, &bytes, &why))
    soundtool::WriteBytes((dir / "seed-music").string(), bytes);
  if (soundtool::EncodeVorbis(Tone(2, 44100, 5000), 0.1f, &ogg, &why))
    soundtool::WriteBytes((dir / "seed-bare").string(), soundtool::MakeMusicImage('0', ogg));
  if (soundtool::EncodeVorbis(Tone(1, 22050, 5000), 0.1f, &ogg, &why))
    soundtool::WriteBytes((dir / "seed-mono").string(), soundtool::MakeMusicImage('2', ogg));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_host = &fuzzsupport::EnterGameFolder("wgq");
  for (int i = 1; i < *argc; ++i) {
    if ((*argv)[i][0] != '-') {
      Seed((*argv)[i]);
      break;
    }
  }
  g_stream = std::make_unique<CBgmStream>(platform::Audio().get(), 0);
  g_stream->StartSpectrum();
  // The worker must end before the host and the event lock go away.
  std::atexit([] { g_stream.reset(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteWholeFile("wgq\\in.wgq", data, size)) return 0;
  FILE* file = OpenMusicFile("in");
  fuzzsupport::Check(file != nullptr, "the music file does not open");
  std::vector<uint8_t> out(COggStreamDecoder::kOutputSize);
  COggStreamDecoder decoder(out.data());
  if (decoder.Open(file)) {
    const int channels = decoder.GetChannels();
    fuzzsupport::Check(channels >= 1, "channels");
    for (int n; (n = decoder.Decode()) > 0;) {
      fuzzsupport::Check(n <= COggStreamDecoder::kOutputSize && n % (2 * channels) == 0, "batch size");
    }
  } else {
    fuzzsupport::Check(decoder.Decode() == 0, "a failed open decodes");
  }
  decoder.Close();
  std::fclose(file);

  // The same file through the stream: refused formats and broken streams
  // end the music, good ones play.
  fuzzsupport::Check(g_stream->Play("in", 1, 1, 5) == 1, "play");
  float wave[64];
  for (int step = 0; step < 30; ++step) {
    g_host->AdvanceClock(100);
    g_stream->GetWaveFloat(wave, 64, step & 1);
    for (float v : wave) fuzzsupport::Check(v >= -1.0f && v <= 1.0f, "wave sample");
  }
  g_stream->Stop(0, 0);
  fuzzsupport::Check(g_stream->IsPlaying() == 0, "still playing after a stop");
  g_host->ClearBoxes();
  g_host->ClearDebugLines();
  return 0;
}
