// zor-sound voice [--ogg] [--quality Q] IN.wav|IN.txt OUT.vaw
//   Writes a voice file (".vaw") from a WAV file, or from a sound written as
//   text (IN.txt, tones.h) (1 or 2 channels; 8- or
//   16-bit PCM as it is, 24- or 32-bit PCM and float rounded to 16 bits,
//   also behind the extensible header): the PCM form, or with --ogg the Ogg Vorbis form (quality
//   -0.1..1.0, default 0.4).
// zor-sound voice --ogg IN.ogg OUT.vaw
//   Wraps an Ogg Vorbis file as it is (1 or 2 channels, 100..200000 Hz).
// zor-sound music [--quality Q] IN.wav OUT.wgq
//   Writes a music file (".wgq", Ogg Vorbis) from a 44,100 Hz PCM WAV file
//   (a mono one is made stereo; other rates are refused).
// zor-sound music IN.ogg OUT.wgq
//   Wraps a 44,100 Hz stereo Ogg Vorbis file as it is.
// zor-sound tune IN.txt OUT.wgq
//   Writes a music file from a tune written as text: one note a line,
//   "NOTE MS" (C4, F#3, Bb5 ...; R a rest), played as soft sine tones at
//   44,100 Hz; "#" starts a comment.
// zor-sound pack OUT.vpk IN.vaw...
//   Writes a voice pack and its index (OUT.vtb beside it). Each entry is
//   named after its file without ".vaw" (at most 8 characters); the game
//   finds "ab0012" in the pack "cdvaw/ab.vpk".
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "soundwriter.h"
#include "tones.h"
#include "tools/common/names.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zor-sound voice [--ogg] [--quality Q] IN.wav|IN.txt OUT.vaw\n"
               "       zor-sound voice --ogg IN.ogg OUT.vaw\n"
               "       zor-sound music [--quality Q] IN.wav OUT.wgq\n"
               "       zor-sound music IN.ogg OUT.wgq\n"
               "       zor-sound tune IN.txt OUT.wgq\n"
               "       zor-sound pack OUT.vpk IN.vaw...\n");
  return 2;
}

// An Ogg Vorbis input, wrapped as it is: a voice in the Ogg form or music.
int Wrap(const std::string& in, const std::string& outPath, const std::vector<uint8_t>& bytes,
         bool music, bool ogg, bool qualityGiven) {
  if (!music && !ogg) {
    std::fprintf(stderr,
                 "zor-sound: %s: an Ogg Vorbis input makes the Ogg form of a voice only; add --ogg\n",
                 in.c_str());
    return 2;
  }
  if (qualityGiven) {
    std::fprintf(stderr, "zor-sound: %s: --quality has no use for an Ogg input, which is not re-encoded\n",
                 in.c_str());
    return 2;
  }
  std::vector<uint8_t> out;
  std::string error;
  if (!(music ? soundtool::WrapOggMusic(bytes, &out, &error) : soundtool::WrapOggVoice(bytes, &out, &error))) {
    std::fprintf(stderr, "zor-sound: %s: %s\n", in.c_str(), error.c_str());
    return 1;
  }
  if (!soundtool::WriteBytes(outPath, out)) {
    std::fprintf(stderr, "zor-sound: cannot write %s\n", outPath.c_str());
    return 1;
  }
  return 0;
}

bool IsOggName(const std::string& path) {
  const std::string ext = toolsupport::AsciiLower(std::filesystem::path(path).extension().string());
  return ext == ".ogg" || ext == ".oga";
}

int Encode(const std::vector<std::string>& args, bool music) {
  bool ogg = music;
  bool qualityGiven = false;
  float quality = 0.4f;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ogg" && !music) {
      ogg = true;
    } else if (args[i] == "--quality" && i + 1 < args.size()) {
      char* end = nullptr;
      quality = std::strtof(args[++i].c_str(), &end);
      qualityGiven = true;
      if (*end != 0 || quality < -0.1f || quality > 1.0f) {
        std::fprintf(stderr, "zor-sound: quality must be a number from -0.1 to 1.0\n");
        return 2;
      }
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage();
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return Usage();
  // An Ogg file (by its first bytes, or by its name) is wrapped, not decoded.
  std::vector<uint8_t> head;
  if (IsOggName(files[0]) || (soundtool::ReadBytes(files[0], &head) && soundtool::LooksLikeOgg(head))) {
    if (head.empty() && !soundtool::ReadBytes(files[0], &head)) {
      std::fprintf(stderr, "zor-sound: cannot read %s\n", files[0].c_str());
      return 1;
    }
    return Wrap(files[0], files[1], head, music, ogg, qualityGiven);
  }
  platform::WavSource source;
  platform::WavData wav;
  std::string error, note;
  // A ".txt" input is a sound written as text (tones.h).
  const bool text = std::filesystem::path(files[0]).extension() == ".txt";
  std::vector<uint8_t> textBytes;
  if (text ? !soundtool::ReadBytes(files[0], &textBytes) ||
                 !soundtool::ReadToneText(std::string(textBytes.begin(), textBytes.end()), &wav, &error)
           : !platform::ReadWavSourceFile(files[0], &source, &error) ||
                 !soundtool::ToSoundFilePcm(source, &wav, &note, &error)) {
    std::fprintf(stderr, "zor-sound: %s: %s\n", files[0].c_str(), error.c_str());
    return 1;
  }
  if (!note.empty()) std::fprintf(stderr, "zor-sound: note: %s: %s\n", files[0].c_str(), note.c_str());
  if (wav.pcm.empty()) {
    std::fprintf(stderr, "zor-sound: %s: the sound is empty\n", files[0].c_str());
    return 1;
  }
  std::vector<uint8_t> out;
  if (music) {
    if (!soundtool::MakeMusicFile(wav, quality, &out, &error)) {
      std::fprintf(stderr, "zor-sound: %s: %s\n", files[0].c_str(), error.c_str());
      return 1;
    }
  } else if (ogg) {
    if (!soundtool::MakeOggVoice(wav, quality, &out, &error)) {
      std::fprintf(stderr, "zor-sound: %s: %s\n", files[0].c_str(), error.c_str());
      return 1;
    }
  } else {
    if (wav.pcm.size() > 0x0FFFFFFFu) {
      std::fprintf(stderr, "zor-sound: %s: the sound is too long for a voice file\n",
                   files[0].c_str());
      return 1;
    }
    out = soundtool::MakePcmVoice(wav);
  }
  if (!soundtool::WriteBytes(files[1], out)) {
    std::fprintf(stderr, "zor-sound: cannot write %s\n", files[1].c_str());
    return 1;
  }
  return 0;
}

// The frequency of a note name ("A4" 440 Hz, "C#5", "Eb3"); 0 for a rest,
// -1 for a name that is not a note.
double NoteHz(const std::string& name) {
  if (name == "R") return 0;
  static const char kLetters[] = "CDEFGAB";
  static const int kSemis[] = {0, 2, 4, 5, 7, 9, 11};
  if (name.size() < 2) return -1;
  const char* letter = std::strchr(kLetters, name[0]);
  if (!letter || !name[0]) return -1;
  int semi = kSemis[letter - kLetters];
  size_t at = 1;
  if (name[at] == '#') ++semi, ++at;
  else if (name[at] == 'b') --semi, ++at;
  if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') return -1;
  const int midi = 12 * (name[at] - '0' + 1) + semi;
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

int Tune(const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage();
  std::ifstream in(args[0]);
  if (!in) {
    std::fprintf(stderr, "zor-sound: cannot read %s\n", args[0].c_str());
    return 1;
  }
  constexpr int kRate = 44100;
  platform::WavData wav;
  wav.format.channels = 1;
  wav.format.samplesPerSec = kRate;
  wav.format.bitsPerSample = 16;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string note;
    int ms = 0;
    if (!(words >> note)) continue;
    const double hz = NoteHz(note);
    if (hz < 0 || !(words >> ms) || ms <= 0 || ms > 60000) {
      std::fprintf(stderr, "zor-sound: %s: line %d: \"NOTE MS\" expected\n", args[0].c_str(),
                   lineNumber);
      return 1;
    }
    const int frames = static_cast<int>(static_cast<long long>(ms) * kRate / 1000);
    const int edge = std::min(frames / 4, kRate / 100);
    for (int i = 0; i < frames; ++i) {
      // A short rise and fall keeps the notes from clicking.
      double level = 1.0;
      if (edge > 0 && i < edge) level = static_cast<double>(i) / edge;
      if (edge > 0 && frames - i < edge) level = static_cast<double>(frames - i) / edge;
      const double v = hz > 0 ? 0.3 * level * std::sin(2.0 * M_PI * hz * i / kRate) : 0.0;
      const int16_t sample = static_cast<int16_t>(std::lround(v * 32767.0));
      wav.pcm.push_back(static_cast<uint8_t>(sample & 0xFF));
      wav.pcm.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
    }
  }
  if (wav.pcm.empty()) {
    std::fprintf(stderr, "zor-sound: %s: the tune is empty\n", args[0].c_str());
    return 1;
  }
  std::vector<uint8_t> out;
  std::string error;
  if (!soundtool::MakeMusicFile(wav, 0.3f, &out, &error)) {
    std::fprintf(stderr, "zor-sound: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  if (!soundtool::WriteBytes(args[1], out)) {
    std::fprintf(stderr, "zor-sound: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}

int Pack(const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  const std::filesystem::path packPath = args[0];
  if (packPath.extension() != ".vpk") {
    std::fprintf(stderr, "zor-sound: the pack must be named *.vpk\n");
    return 2;
  }
  std::vector<soundtool::PackEntry> entries;
  for (size_t i = 1; i < args.size(); ++i) {
    soundtool::PackEntry entry;
    entry.name = std::filesystem::path(args[i]).stem().string();
    if (!soundtool::ReadBytes(args[i], &entry.image)) {
      std::fprintf(stderr, "zor-sound: cannot read %s\n", args[i].c_str());
      return 1;
    }
    entries.push_back(std::move(entry));
  }
  std::vector<uint8_t> pack, index;
  std::string error;
  if (!soundtool::MakeVoicePack(entries, &pack, &index, &error)) {
    std::fprintf(stderr, "zor-sound: %s\n", error.c_str());
    return 1;
  }
  std::filesystem::path indexPath = packPath;
  indexPath.replace_extension(".vtb");
  if (!soundtool::WriteBytes(packPath.string(), pack) ||
      !soundtool::WriteBytes(indexPath.string(), index)) {
    std::fprintf(stderr, "zor-sound: cannot write %s\n", packPath.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "voice") return Encode(args, false);
  if (command == "music") return Encode(args, true);
  if (command == "tune") return Tune(args);
  if (command == "pack") return Pack(args);
  return Usage();
}
