// Loads the input as a voice file (PCM or Ogg Vorbis body), as a loose voice,
// or as a voice pack with its index, and plays what loaded. The first byte
// picks the form; for packs the second gives the index length in records.
// An empty corpus folder is seeded with files made by the sound writers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/soundbuffer.h"
#include "sound/wavebuffer.h"
#include "soundwriter.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;

platform::WavData Tone(int channels, int bits, int frames) {
  platform::WavData wav;
  wav.format = {channels, 22050, bits};
  for (int i = 0; i < frames * channels; ++i) {
    const double v = 0.5 * std::sin(i * 0.07);
    if (bits == 8) {
      wav.pcm.push_back(static_cast<uint8_t>(128 + static_cast<int>(v * 120)));
    } else {
      const auto s = static_cast<uint16_t>(static_cast<int16_t>(v * 30000));
      wav.pcm.push_back(static_cast<uint8_t>(s & 0xFF));
      wav.pcm.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  return wav;
}

void WriteSeed(const std::filesystem::path& dir, const char* name, uint8_t mode,
               const std::vector<uint8_t>& body) {
  std::vector<uint8_t> bytes{mode};
  bytes.insert(bytes.end(), body.begin(), body.end());
  soundtool::WriteBytes((dir / name).string(), bytes);
}

void Seed(const std::filesystem::path& dir) {
  std::error_code error;
  if (!std::filesystem::is_directory(dir, error) || !std::filesystem::is_empty(dir, error)) return;
  std::string why;
  std::vector<uint8_t> ogg, oggStereo;
  soundtool::MakeOggVoice(Tone(1, 16, 3000), 0.1f, &ogg, &why);
  soundtool::MakeOggVoice(Tone(2, 8, 2000), 0.1f, &oggStereo, &why);
  const std::vector<uint8_t> pcm = soundtool::MakePcmVoice(Tone(1, 16, 200));
  WriteSeed(dir, "seed-pcm", 0, pcm);
  WriteSeed(dir, "seed-pcm8", 1, soundtool::MakePcmVoice(Tone(2, 8, 150)));
  WriteSeed(dir, "seed-ogg", 0, ogg);
  WriteSeed(dir, "seed-ogg-stereo", 1, oggStereo);
  std::vector<uint8_t> pack, index;
  soundtool::MakeVoicePack({{"fz0001", pcm}, {"FZ0002", ogg}}, &pack, &index, &why);
  std::vector<uint8_t> body{static_cast<uint8_t>(index.size() / 12)};
  body.insert(body.end(), index.begin(), index.end());
  body.insert(body.end(), pack.begin(), pack.end());
  WriteSeed(dir, "seed-pack", 2, body);
}

// Reads every byte the loader says it has, and plays it briefly.
void Use(const CWaveBuffer& w) {
  const int size = w.GetDataSize();
  fuzzsupport::Check(size >= 0, "data size");
  fuzzsupport::Check(size == 0 || w.GetData() != nullptr, "data pointer");
  unsigned sum = 0;
  for (int i = 0; i < size; ++i) sum += w.GetData()[i];
  fuzzsupport::Check(w.GetLength() >= 0, "length");
  fuzzsupport::Check(w.GetImageLength() >= 0 && w.GetImageLength() <= w.GetCapacity(), "image length");
  CSoundBuffer buffer(platform::Audio().get(), static_cast<int>(sum & 1));
  if (buffer.CreateBuffer(w.GetData(), size, w.GetChannels(), w.GetSamplesPerSec(),
                          w.GetBitsPerSample())) {
    buffer.SetVolume(static_cast<int>(sum % 101));
    buffer.Play(1);
    g_host->AdvanceClock(3);
    buffer.Stop(0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_host = &fuzzsupport::EnterGameFolder();
  for (int i = 1; i < *argc; ++i) {
    if ((*argv)[i][0] != '-') {
      Seed((*argv)[i]);
      break;
    }
  }
  for (const char* dir : {"vaw", "vaw\\se", "cdvaw", "cdvaw\\fz"}) platform::CreateDirectory(dir);
  // A capture makes the clock mix real samples through the buffers.
  platform::Audio()->StartCapture();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0] % 3;
  ++data;
  --size;
  {
    CWaveBuffer w;
    int loaded = 0;
    if (mode == 0) {
      if (!platform::WriteWholeFile("vaw\\se\\in.vaw", data, size)) return 0;
      loaded = w.LoadFile("se", "in");
    } else if (mode == 1) {
      if (!platform::WriteWholeFile("cdvaw\\fz\\fz0009.vaw", data, size)) return 0;
      loaded = w.LoadVoiceFile("fz0009");
    } else {
      const size_t indexLength = size > 0 ? static_cast<size_t>(data[0]) * 12 : 0;
      if (size < 1 + indexLength) return 0;
      if (!platform::WriteWholeFile("cdvaw\\fz.vtb", data + 1, indexLength) ||
          !platform::WriteWholeFile("cdvaw\\fz.vpk", data + 1 + indexLength, size - 1 - indexLength))
        return 0;
      loaded = w.LoadVoicePack("fz0001");
      if (loaded) Use(w);
      loaded = w.LoadVoicePack("FZ0002");
    }
    if (loaded) {
      Use(w);
    } else {
      fuzzsupport::Check(w.GetDataSize() == 0 && w.GetData() == nullptr, "a failed load shows data");
    }
  }
  platform::Audio()->StopCapture();
  platform::Audio()->StartCapture();
  g_host->ClearBoxes();
  g_host->ClearDebugLines();
  return 0;
}
