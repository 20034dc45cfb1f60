// The movie service: the clock, the sound ring and the picture timing over
// the decoder module, which is loaded on the first movie opened.
#include "platform/movie.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/movie/decoder.h"
#include "platform/movie/header_probe.h"
#include "platform/system.h"

namespace platform {

namespace {

using movie::kFrameBytes;
using movie::kUnits;
constexpr uint32_t kRingBytes = kMixRate * kFrameBytes * 2;       // 2 s
constexpr uint32_t kAheadBytes = kMixRate * kFrameBytes / 2;      // 0.5 s
constexpr uint32_t kSilenceGuard = kMixRate * kFrameBytes / 4;    // 0.25 s
// Packets tried for a stream's first frame when the file is opened.
constexpr int kProbePackets = 256;

std::mutex g_missingMutex;
std::vector<std::string> g_missing;

std::vector<std::string> MissingCodecs() {
  std::lock_guard<std::mutex> lock(g_missingMutex);
  return g_missing;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The decoder module: beside the program, else (for the tests and tools
// run from the build tree) where the build put it. Loaded once; when it
// cannot be, stderr says why and every movie fails to open.
movie::DecoderEntry LoadDecoderEntry() {
  std::string path = ExecutableFolder() + "/" + movie::kModuleName;
#ifdef ZOR_MOVIE_MODULE_BUILT
  if (!FileExists(path) && FileExists(ZOR_MOVIE_MODULE_BUILT)) path = ZOR_MOVIE_MODULE_BUILT;
#endif
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* why = nullptr;
  void* entry = nullptr;
  if (!module) {
    why = ::dlerror();
  } else if (!(entry = ::dlsym(module, movie::kEntryName))) {
    why = ::dlerror();
  }
  if (!entry) {
    const std::string text = "movies cannot play: the decoder module " + path + " cannot be loaded (" +
                             (why ? why : "no reason given") + ")";
    ErrorOutput(text.c_str());
    if (module) ::dlclose(module);
    return nullptr;
  }
  return reinterpret_cast<movie::DecoderEntry>(entry);
}

std::unique_ptr<movie::Decoder> NewDecoder() {
  static const movie::DecoderEntry entry = LoadDecoderEntry();
  if (!entry) return nullptr;
  std::unique_ptr<movie::Decoder> decoder(entry(movie::kDecoderInterface));
  if (!decoder) {
    static std::once_flag told;
    std::call_once(told, [] {
      const std::string text = std::string("movies cannot play: the decoder module ") + movie::kModuleName +
                               " was built for another version of the program";
      ErrorOutput(text.c_str());
    });
  }
  return decoder;
}

}  // namespace

struct MovieState {
  std::string hostPath;
  MovieInfo info;
  std::unique_ptr<movie::Decoder> decoder;
  bool open = false;

  // Pictures: the next one decoded and the one shown last.
  bool havePending = false, haveShown = false;
  int64_t pendingTime = 0, shownEnd = 0;

  // Sound.
  std::unique_ptr<SoundBuffer> buffer;
  std::vector<uint8_t> pcm;    // converted, not yet written
  std::vector<uint8_t> piece;  // the piece decoded last
  uint64_t written = 0, played = 0;
  uint32_t lastCursor = 0;
  int64_t skipFrames = -1;  // output frames to drop after a seek; -1 unknown
  bool audioActive = false, audioDone = false;

  // Clock.
  int64_t start = 0;
  int64_t tickBase = 0;  // the clock when ticks took over
  uint32_t tickStart = 0;
  bool ended = false, started = false;
  // The end of the last picture shown or of the sound played.
  int64_t reached = 0;

  ~MovieState() { Close(); }

  void Close() {
    StopSound();
    buffer.reset();
    if (decoder) decoder->Close();
    open = false;
    havePending = haveShown = false;
    pcm.clear();
  }

  void StopSound() {
    if (buffer) buffer->Stop();
  }

  // Opens the file and the decoders of its best video and audio streams.
  bool OpenContext() {
    open = decoder->Open(hostPath, MissingCodecs(), &info);
    return open;
  }

  void AppendPcm(const uint8_t* data, int frames) {
    int64_t skip = std::min<int64_t>(std::max<int64_t>(skipFrames, 0), frames);
    skipFrames -= skip;
    if (skipFrames < 0) skipFrames = 0;
    pcm.insert(pcm.end(), data + skip * kFrameBytes, data + static_cast<int64_t>(frames) * kFrameBytes);
  }

  // Decodes and converts one more piece of sound; false at its end.
  bool DecodeSound() {
    int64_t t = 0;
    const bool got = decoder->DecodeSound(&piece, &t);
    if (got && skipFrames < 0) skipFrames = t < start ? (start - t) * kMixRate / kUnits : 0;
    if (!piece.empty()) AppendPcm(piece.data(), static_cast<int>(piece.size() / kFrameBytes));
    return got;
  }

  void CountPlayed() {
    const uint32_t cursor = buffer->GetPosition();
    played += (cursor + kRingBytes - lastCursor) % kRingBytes;
    lastCursor = cursor;
    // Starved: what was lost is skipped, so the clock and the sound agree.
    if (played > written) written = played;
  }

  void WriteRing(const uint8_t* data, uint32_t size) {
    buffer->Write(static_cast<uint32_t>(written % kRingBytes), data, size);
    written += size;
  }

  void FeedSound() {
    if (!audioActive || audioDone) return;
    CountPlayed();
    while (written - played < kAheadBytes) {
      if (pcm.empty() && !decoder->SoundEnded()) DecodeSound();
      if (pcm.empty()) break;
      const uint32_t space = static_cast<uint32_t>(kRingBytes - kSilenceGuard - (written - played));
      const uint32_t n = std::min<uint32_t>(space, static_cast<uint32_t>(pcm.size()));
      if (n == 0) break;
      WriteRing(pcm.data(), n);
      pcm.erase(pcm.begin(), pcm.begin() + n);
    }
    // Silence past what was written, so a late frame never replays old sound.
    static const std::vector<uint8_t> silence(kSilenceGuard, 0);
    buffer->Write(static_cast<uint32_t>(written % kRingBytes), silence.data(), kSilenceGuard);
    if (decoder->SoundEnded() && pcm.empty() && played >= written) {
      tickBase = SoundClock();
      tickStart = GetTicks();
      reached = std::max(reached, tickBase);
      audioDone = true;
      buffer->Stop();
    }
  }

  int64_t SoundClock() const { return start + static_cast<int64_t>(played / kFrameBytes) * kUnits / kMixRate; }

  int64_t Clock() const {
    if (audioActive && !audioDone) return SoundClock();
    return tickBase + static_cast<int64_t>(GetTicks() - tickStart) * (kUnits / 1000);
  }

  bool VideoDone(int64_t now) const {
    return !decoder->HasVideo() || (!havePending && (!haveShown || now >= shownEnd));
  }
};

Movie::Movie() : s_(std::make_unique<MovieState>()) {}
Movie::~Movie() = default;

std::unique_ptr<Movie> Movie::Open(std::string_view path) {
  std::unique_ptr<Movie> m(new Movie());
  MovieState& s = *m->s_;
  s.hostPath = ResolvePath(path);
  // A file that is not there needs no decoder: the module stays unloaded.
  if (s.hostPath.empty() || !FileExists(s.hostPath)) return nullptr;
  s.decoder = NewDecoder();
  if (!s.decoder || !s.OpenContext()) return nullptr;
  // A stream decodes when its first frame does.
  int64_t time = 0;
  s.info.videoDecodes = s.decoder->DecodePicture(kProbePackets, &time);
  s.info.audioDecodes = s.decoder->ProbeSound(kProbePackets);
  // The header's length, where it gives one, rather than the decoder's
  // estimate, which a cut file shortens.
  if (const int64_t declared = movie::DeclaredLength(s.hostPath)) s.info.duration = declared;
  const MovieInfo info = s.info;
  s.Close();
  s.info = info;
  if (!info.videoDecodes && !info.audioDecodes) return nullptr;
  return m;
}

bool Movie::ProbeHeader(std::string_view path, MovieInfo* info) {
  const std::string hostPath = ResolvePath(path);
  if (hostPath.empty() || !FileExists(hostPath)) return false;
  return movie::ProbeHeader(hostPath, MissingCodecs(), info);
}

const MovieInfo& Movie::Info() const { return s_->info; }

bool Movie::Start(int64_t start, int volume) {
  MovieState& s = *s_;
  const MovieInfo info = s.info;
  s.Close();
  s.info = info;
  s.started = false;
  if (!s.OpenContext()) return false;
  s.info = info;
  if (!info.videoDecodes) s.decoder->CloseVideo();
  if (!info.audioDecodes) s.decoder->CloseAudio();
  s.start = std::max<int64_t>(start, 0);
  if (s.start > 0 && !s.decoder->Seek(s.start)) return false;
  // Pictures before the start are decoded and passed over by the clock.
  s.havePending = s.decoder->DecodePicture(-1, &s.pendingTime);
  s.written = s.played = 0;
  s.lastCursor = 0;
  s.skipFrames = -1;
  s.audioDone = false;
  s.audioActive = false;
  std::shared_ptr<AudioDevice> device = Audio();
  if (s.decoder->HasAudio() && device && s.decoder->OpenResampler()) {
    BufferDesc desc;
    desc.size = kRingBytes;
    s.buffer = device->CreateBuffer(desc, nullptr);
    if (s.buffer) {
      s.buffer->SetVolume(volume);
      s.audioActive = true;
      s.FeedSound();
      s.buffer->Play(true);
    }
  }
  s.tickBase = s.start;
  s.tickStart = GetTicks();
  s.reached = s.start;
  s.ended = false;
  s.started = true;
  return true;
}

bool Movie::Update(uint32_t* dst, int width, int height, int pitch) {
  MovieState& s = *s_;
  if (!s.started || s.ended) return false;
  s.FeedSound();
  const int64_t now = s.Clock();
  bool due = false;
  while (s.havePending && s.pendingTime <= now) {
    s.haveShown = due = true;
    s.shownEnd = s.pendingTime + s.decoder->ShowPicture();
    s.reached = std::max(s.reached, s.shownEnd);
    s.havePending = s.decoder->DecodePicture(-1, &s.pendingTime);
  }
  if (due && dst) ConvertVideoFrame(dst, width, height, pitch);
  const bool soundDone = !s.audioActive || s.audioDone;
  if (soundDone && s.VideoDone(now)) {
    s.ended = true;
    s.StopSound();
  }
  return due && dst;
}

bool Movie::Ended() const { return s_->ended; }

int64_t Movie::Reached() const { return s_->reached; }

int64_t Movie::Position() const { return s_->started ? s_->Clock() : 0; }

void Movie::Stop() {
  s_->StopSound();
  s_->started = false;
}

bool Movie::DecodeVideoFrame() {
  MovieState& s = *s_;
  if (!s.open && !Start(0, kVolumeSilent)) return false;
  s.decoder->ShowPicture();
  s.haveShown = s.havePending;
  s.havePending = s.decoder->DecodePicture(-1, &s.pendingTime);
  return s.haveShown;
}

void Movie::ConvertVideoFrame(uint32_t* dst, int width, int height, int pitch) {
  MovieState& s = *s_;
  if (!s.haveShown || !dst || width <= 0 || height <= 0) return;
  s.decoder->ConvertPicture(dst, width, height, pitch);
}

void SetMissingMovieCodecs(std::vector<std::string> names) {
  std::lock_guard<std::mutex> lock(g_missingMutex);
  g_missing = std::move(names);
}

}  // namespace platform
