#include "sound/bgmstream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/system.h"
#include "platform/types.h"
#include "sound/musicfile.h"
#include "sound/playlist.h"

namespace {

constexpr int kAckBase = 16;
constexpr uint32_t kWaitMs = 100;
constexpr uint32_t kSnapshotMaxOffset = 171912;

// Commands 3, 4 and 7 to 14 are answered.
bool HasAck(int command) {
  return command >= CBgmStream::kPlay && command != CBgmStream::kQuit &&
         command != CBgmStream::kNothing;
}

int64_t Clamp64(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// A cleared block, for buffers a reader may meet before anything is written
// into them (the captured copies). calloc takes large ones as fresh pages
// from the system, zero already.
using Block = std::unique_ptr<uint8_t[], platform::FreeBlock>;

Block Zeroed(size_t size) {
  return Block(static_cast<uint8_t*>(std::calloc(size, 1)));
}

// A block left as it came, for buffers always written before they are read.
Block Uncleared(size_t size) {
  return Block(static_cast<uint8_t*>(std::malloc(size)));
}

}  // namespace

CBgmStream::CBgmStream(platform::AudioDevice* device, int mode) : device_(device), mode_(mode) {
  if (!device_) return;
  platform::BufferDesc desc;
  desc.format = {kChannels, kSamplesPerSec, 16};
  desc.size = kBufferSize;
  buffer_ = device_->CreateBuffer(desc, nullptr);
  // A half is filled whole (decoded sound, then silence) before it is
  // written to the device; the decoder's block holds a batch before it is
  // taken.
  fill_ = Uncleared(kBufferSize);
  if (mode_ == 0 || mode_ == 1) {
    snapshot_ = Zeroed(kSnapshotSize);
    copyA_ = Zeroed(kHalfSize);
    copyB_ = Zeroed(kHalfSize);
  }
  // Every stream decodes into a buffer of its own, so any number of streams
  // of any mode can run side by side.
  decodeBuffer_ = Uncleared(COggStreamDecoder::kOutputSize);
  playlist_ = std::make_unique<CBgmPlayList>();
  if (!buffer_ || !fill_ || !decodeBuffer_ ||
      ((mode_ == 0 || mode_ == 1) && (!snapshot_ || !copyA_ || !copyB_))) {
    buffer_.reset();
    return;
  }
  decoder_ = std::make_unique<COggStreamDecoder>(decodeBuffer_.get());

  for (int n = 0; n < kCommandCount; ++n) events_[n] = std::make_unique<platform::Event>(false);
  for (int n = kPlay; n < kCommandCount; ++n) {
    if (HasAck(n)) events_[kAckBase + n] = std::make_unique<platform::Event>(false);
  }
  const platform::Notification notes[3] = {
      {0, events_[kNotifyHalf0].get()},
      {kHalfSize, events_[kNotifyHalf1].get()},
      {platform::kNotifyOnStop, events_[kNotifyStop].get()},
  };
  buffer_->SetNotifications(notes, 3);
  thread_.Start([this] { ThreadProc(); });
}

CBgmStream::~CBgmStream() { Release(); }

void CBgmStream::Release() {
  if (thread_.Running()) {
    events_[kQuit]->Set();
    // The worker uses everything below until it ends: wait for it.
    thread_.Join();
  }
  buffer_.reset();
  for (auto& e : events_) e.reset();
  CloseFile();
  decoder_.reset();
  fill_.reset();
  snapshot_.reset();
  copyA_.reset();
  copyB_.reset();
  decodeBuffer_.reset();
  playlist_.reset();
  playing_.store(0);
}

// --- Main thread ---

void CBgmStream::Send(int command) {
  events_[command]->Set();
  if (HasAck(command)) {
    platform::Event* ack = events_[kAckBase + command].get();
    // An answer that does not come in time is taken as given.
    ack->Wait(kCommandWaitMs);
    ack->Reset();
  }
  ShowMessages();
}

void CBgmStream::ShowMessages() {
  std::vector<std::string> messages;
  {
    std::lock_guard<std::mutex> lock(messageMutex_);
    messages.swap(messages_);
  }
  for (const std::string& text : messages)
    platform::MessageBox(nullptr, text.c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

int CBgmStream::Play(const char* name, int loopCount, int fadeInFlag, int fadeInTime) {
  if (!thread_.Running()) return 0;
  Stop(0, 0);
  // The stop has closed the worker's file: it does not read the list now.
  if (!playlist_->Load(name)) return 0;
  loopCount_ = loopCount;
  pendingFadeInTime_ = fadeInFlag ? fadeInTime : 0;
  fadeInFlag_ = fadeInFlag;
  Send(kPlay);
  return 1;
}

int CBgmStream::Stop(int fadeFlag, int fadeOutTime) {
  if (!thread_.Running()) return 0;
  if (fadeFlag) {
    if (fadeOutTime > 0) pendingFadeOutTime_ = fadeOutTime;
    Send(kFadeOut);
  } else {
    Send(kStop);
  }
  return 1;
}

void CBgmStream::SetNextVolume(int volume) {
  nextVolume_ = volume;
  nextVolumeFlag_ = 1;
}

void CBgmStream::Pause() {
  if (thread_.Running()) Send(kPause);
}

void CBgmStream::Restart() {
  if (thread_.Running()) Send(kRestart);
}

int CBgmStream::IsPlaying() {
  if (!thread_.Running()) return 0;
  Send(kIsPlaying);
  return playingAnswer_;
}

int CBgmStream::UpdatePlayCount() {
  if (!thread_.Running()) return 0;
  Send(kPlayCount);
  return playCountAnswer_;
}

void CBgmStream::SetVolume(int volume) {
  if (!thread_.Running()) return;
  pendingVolume_ = volume;
  Send(kSetVolume);
}

void CBgmStream::FadeVolume(int volume, int time) {
  if (!thread_.Running()) return;
  pendingTarget_ = volume;
  pendingTime_ = time;
  Send(kFadeVolume);
}

int CBgmStream::GetWaveFloat(float* dst, int count, int channel) {
  if (!dst || count <= 0) return 0;
  // The snapshot holds 1024 frames: no more can be asked for.
  const int n = count < kSnapshotFrames ? count : kSnapshotFrames;
  if (!thread_.Running() || !playing_.load() || !capture_.load() || !snapshot_) {
    std::fill(dst, dst + n, 0.0f);
    return 0;
  }
  Send(kSnapshot);
  const int c = channel <= 0 ? 0 : 1;
  const uint8_t* p = snapshot_.get();
  for (int i = 0; i < n; ++i) {
    const uint8_t* s = p + (2 * i + c) * 2;
    dst[i] = static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(s[0] | (s[1] << 8)))) /
             32768.0f;
  }
  return 1;
}

int CBgmStream::GetWaveSamples(int* dst, int count) {
  if (!dst || count <= 0) return 0;
  const int n = count < kSnapshotFrames ? count : kSnapshotFrames;
  if (!thread_.Running() || !playing_.load() || !capture_.load() || !snapshot_) {
    std::fill(dst, dst + n, 0);
    return 0;
  }
  Send(kSnapshot);
  const int step = kSnapshotFrames / n;
  const uint8_t* p = snapshot_.get();
  for (int i = 0; i < n; ++i) {
    const uint8_t* s = p + i * step * 4;
    dst[i] = static_cast<int16_t>(static_cast<uint16_t>(s[0] | (s[1] << 8)));
  }
  return 1;
}

int CBgmStream::GetWaveSamples2(int* dst, int spare, int count) {
  (void)spare;
  return GetWaveSamples(dst, count);
}

void CBgmStream::SetBufferVolume(int level) {
  if (!buffer_) return;
  const int64_t v = level == 0 ? -10000 : static_cast<int64_t>(level) * 20 - 2000;
  buffer_->SetVolume(static_cast<int>(Clamp64(v, -10000, 0)));
}

// --- Worker thread ---

void CBgmStream::ThreadProc() { ThreadLoop(); }

void CBgmStream::ThreadLoop() {
  lastTime_ = platform::GetTicks();
  remainder100_ = 0;
  platform::Event* waits[kCommandCount];
  for (int n = 0; n < kCommandCount; ++n) waits[n] = events_[n].get();
  for (;;) {
    const int command = platform::WaitForAny(waits, kCommandCount, kWaitMs);
    if (command < 0) {
      Calcu();
      continue;
    }
    switch (command) {
      case kNotifyHalf0:
        OnNotify(1);
        break;
      case kNotifyHalf1:
        OnNotify(0);
        break;
      case kPlay:
        OnPlay();
        break;
      case kStop:
        OnStop();
        break;
      case kQuit:
        buffer_->Stop();
        return;
      case kPlayCount:
        playCountAnswer_ = notificationCount_;
        break;
      case kPause:
        buffer_->Stop();
        playing_.store(0);
        break;
      case kRestart:
        buffer_->Play(true);
        playing_.store(1);
        break;
      case kIsPlaying:
        playingAnswer_ = playing_.load();
        break;
      case kSetVolume:
        volume_ = pendingVolume_;
        if (fadeOutActive_)
          ApplyFadeOut();
        else if (fadeInActive_)
          ApplyFadeIn();
        else if (volumeFadeActive_)
          ApplyVolumeFade();
        else
          ApplyVolume();
        break;
      case kFadeOut:
        OnFadeOut();
        break;
      case kSnapshot:
        Calcu();
        TakeSnapshot();
        break;
      case kFadeVolume:
        StartVolumeFade();
        break;
      default:
        break;
    }
    if (HasAck(command)) events_[kAckBase + command]->Set();
  }
}

void CBgmStream::OnNotify(int half) {
  // A second notice for the half that was just filled (play restarted at
  // byte 0) would skip a second of music.
  if (half == lastFilledHalf_) return;
  ++notificationCount_;
  if (endFlag_) {
    buffer_->Stop();
    playing_.store(0);
  } else if (FillHalf(half) == 0) {
    endFlag_ = 1;
  }
  Calcu();
}

void CBgmStream::OnPlay() {
  notificationCount_ = 0;
  refused_.clear();
  CloseFile();
  endFlag_ = 0;
  filled_ = 0;
  // Taken before the first fill: a piece shorter than a half already ends
  // there and must loop by this play's count.
  loopsRemaining_ = loopCount_;
  const char* name = playlist_->Next();
  if (!name) {
    playlist_->Restart();
    name = playlist_->Next();
  }
  OpenFrom(name);
  if (FillHalf(0) == 0) endFlag_ = 1;
  buffer_->SetPosition(0);

  fadeInActive_ = fadeInFlag_;
  fadeInCounter_ = 0;
  fadeInTime_ = pendingFadeInTime_;
  fadeOutActive_ = 0;
  fadeOutCounter_ = 0;
  if (nextVolumeFlag_) {
    volume_ = nextVolume_;
    nextVolumeFlag_ = 0;
  }
  if (fadeInActive_)
    ApplyFadeIn();
  else
    ApplyVolume();
  // Starting at byte 0 signals the first notification, which fills half 1.
  buffer_->Play(true);
  playing_.store(1);
  remainder100_ = 0;
  lastTime_ = platform::GetTicks();
}

void CBgmStream::OnStop() {
  buffer_->Stop();
  CloseFile();
  playing_.store(0);
  // Cleared here rather than by the caller after the answer, so that the
  // worker never reads them while they change.
  fadeInActive_ = 0;
  volumeFadeActive_ = 0;
}

void CBgmStream::OnFadeOut() {
  if (fadeInActive_) {
    // Start where the fade-in got to: scaled for the fade-out time that
    // will run, not the one before.
    int64_t c = Clamp64(static_cast<int64_t>(fadeInTime_) - fadeInCounter_, 0,
                        fadeInTime_ > 0 ? fadeInTime_ : 0);
    if (fadeInTime_ > 0) c = c * pendingFadeOutTime_ / fadeInTime_;
    fadeOutCounter_ = static_cast<int>(c);
  } else if (!fadeOutActive_) {
    fadeOutCounter_ = 0;
  } else if (fadeOutTime_ > 0 && pendingFadeOutTime_ != fadeOutTime_) {
    // A running fade-out given a new time goes on from the level it reached.
    fadeOutCounter_ = static_cast<int>(static_cast<int64_t>(fadeOutCounter_) *
                                       pendingFadeOutTime_ / fadeOutTime_);
  }
  fadeOutActive_ = 1;
  fadeOutTime_ = pendingFadeOutTime_;
  fadeInActive_ = 0;
}

void CBgmStream::Calcu() {
  const uint32_t now = platform::GetTicks();
  const int64_t t = static_cast<int64_t>(now - lastTime_) + remainder100_;
  const int64_t ticks64 = t / 100;
  remainder100_ = static_cast<int>(t - ticks64 * 100);
  lastTime_ = now;
  if (ticks64 <= 0) return;
  const int ticks = static_cast<int>(ticks64 > 0x7FFFFFF ? 0x7FFFFFF : ticks64);
  const bool playing = playing_.load() != 0;

  if (fadeInActive_) {
    if (fadeInCounter_ <= fadeInTime_) fadeInCounter_ += ticks;
    // Also ends a fade-in whose time is below 0.
    if (fadeInCounter_ >= fadeInTime_) {
      fadeInCounter_ = fadeInTime_;
      fadeInActive_ = 0;
    }
    if (playing) ApplyFadeIn();
  } else if (fadeOutActive_) {
    fadeOutCounter_ += ticks;
    if (fadeOutCounter_ < fadeOutTime_) {
      ApplyFadeOut();
    } else {
      if (playing) {
        buffer_->Stop();
        CloseFile();
      }
      playing_.store(0);
      fadeOutActive_ = 0;
      fadeInActive_ = 0;
    }
  } else if (volumeFadeActive_) {
    if (volumeFadeCounter_ <= volumeFadeTime_) volumeFadeCounter_ += ticks;
    if (volumeFadeCounter_ >= volumeFadeTime_) {
      volumeFadeCounter_ = volumeFadeTime_;
      volumeFadeActive_ = 0;
    }
    if (playing) ApplyVolumeFade();
  }
}

int CBgmStream::OpenWgq(const char* name) {
  CloseFile();
  file_ = OpenMusicFile(name);
  // Said once per name and play: a playlist comes back to the same file.
  auto tellOnce = [&](const std::string& problem) {
    if (std::find(refused_.begin(), refused_.end(), name) != refused_.end()) return false;
    refused_.emplace_back(name);
    platform::ErrorOutput(
        (std::string("wgq\\") + name + ".wgq: " + problem + "; the music is not played").c_str());
    return true;
  };
  if (!file_) {
    tellOnce("the file cannot be opened");
    return 0;
  }
  endFlag_ = 0;
  const int opened = decoder_->Open(file_);
  if (!opened) tellOnce(decoder_->GetProblem());
  if (opened &&
      (decoder_->GetChannels() != kChannels || decoder_->GetSamplesPerSec() != kSamplesPerSec)) {
    // The buffer plays 44,100 Hz stereo only; anything else would come out
    // at the wrong speed. The file counts as one that ended at once.
    const std::string format = "it is " + std::to_string(decoder_->GetSamplesPerSec()) + " Hz with " +
                               std::to_string(decoder_->GetChannels()) + " channels, not 44100 Hz stereo";
    decoder_->Close();
    if (tellOnce(format)) {
      // 44100Hzステレオではない音楽は再生できません
      std::string text = std::string("wgq\\") + name +
                         ".wgq\n44100Hz\x83\x58\x83\x65\x83\x8c\x83\x49\x82\xc5\x82\xcd\x82\xc8\x82"
                         "\xa2\x89\xb9\x8a\x79\x82\xcd\x8d\xc4\x90\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9"
                         "\x82\xf1";
      std::lock_guard<std::mutex> lock(messageMutex_);
      messages_.push_back(std::move(text));
    }
  }
  return 1;
}

void CBgmStream::CloseFile() {
  if (decoder_) decoder_->Close();
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

const char* CBgmStream::NextName() {
  const char* name = playlist_->Next();
  if (name) return name;
  // A whole pass without any PCM would only repeat itself: the music ends.
  if (playlist_->IsExhausted() || !playlist_->SoundSinceRestart()) return nullptr;
  if (loopsRemaining_ != 0) {
    --loopsRemaining_;
    if (loopsRemaining_ <= 0) return nullptr;
  }
  playlist_->Restart();
  return playlist_->Next();
}

bool CBgmStream::OpenFrom(const char* name) {
  // A name that does not open counts as a file that ended at once.
  while (name) {
    if (OpenWgq(name)) return true;
    name = NextName();
  }
  return false;
}

int CBgmStream::FillHalf(int half) {
  uint8_t* fill = fill_.get();
  uint32_t result = 0;
  if (!file_) {
    std::memset(fill, 0, kHalfSize);
    filled_ = 0;
  } else {
    const uint8_t* batch = decodeBuffer_.get();
    while (filled_ < kHalfSize) {
      const int n = decoder_->Decode();
      if (n > 0) {
        std::memcpy(fill + filled_, batch, static_cast<size_t>(n));
        filled_ += static_cast<uint32_t>(n);
        playlist_->MarkSound();
        continue;
      }
      CloseFile();
      if (!OpenFrom(NextName())) break;
    }
    result = filled_ < kHalfSize ? filled_ : kHalfSize;
    if (filled_ < kHalfSize) std::memset(fill + filled_, 0, kHalfSize - filled_);
  }
  buffer_->Write(static_cast<uint32_t>(half) * kHalfSize, fill, kHalfSize);
  if (capture_.load() && copyA_ && copyB_)
    std::memcpy(half == 0 ? copyB_.get() : copyA_.get(), fill, kCaptureSize);
  if (filled_ > kHalfSize) {
    std::memmove(fill, fill + kHalfSize, filled_ - kHalfSize);
    filled_ -= kHalfSize;
  } else {
    filled_ = 0;
  }
  lastFilledHalf_ = half;
  return static_cast<int>(result);
}

void CBgmStream::TakeSnapshot() {
  if (!snapshot_) return;
  const uint32_t pos = buffer_->GetPosition() % kBufferSize;
  const uint32_t h = pos / kHalfSize;
  const uint32_t offset = std::min((pos % kHalfSize) & ~3u, kSnapshotMaxOffset);
  std::memcpy(snapshot_.get(), (h == 0 ? copyB_ : copyA_).get() + offset, kSnapshotSize);
}

void CBgmStream::SetLevel(int64_t hundredths) {
  buffer_->SetVolume(static_cast<int>(Clamp64(hundredths, -10000, 0)));
}

void CBgmStream::ApplyVolume() {
  appliedLevel_ = volume_;
  SetLevel(static_cast<int64_t>(volume_) * 100 - 10000);
}

// The counter c of a fade of time T, as the volume formulas take it: at
// most T' = max(T, 1); a fade without a positive time is complete.
namespace {
int64_t FadeTicks(int time, int counter, int64_t t) {
  if (time <= 0) return t;
  return Clamp64(counter, 0, t);
}
}  // namespace

void CBgmStream::ApplyFadeIn() {
  const int64_t t = fadeInTime_ > 1 ? fadeInTime_ : 1;
  const int64_t c = fadeInActive_ ? FadeTicks(fadeInTime_, fadeInCounter_, t) : t;
  appliedLevel_ = static_cast<int>(static_cast<int64_t>(volume_) * c / t);
  SetLevel(static_cast<int64_t>(volume_) * 100 * c / t - 10000);
}

void CBgmStream::ApplyFadeOut() {
  const int64_t t = fadeOutTime_ > 1 ? fadeOutTime_ : 1;
  const int64_t c = FadeTicks(fadeOutTime_, fadeOutCounter_, t);
  appliedLevel_ = static_cast<int>(static_cast<int64_t>(volume_) * (t - c) / t);
  SetLevel(static_cast<int64_t>(volume_) * 100 * (t - c) / t - 10000);
}

void CBgmStream::ApplyVolumeFade() {
  const int64_t t = volumeFadeTime_ > 1 ? volumeFadeTime_ : 1;
  const int64_t c = FadeTicks(volumeFadeTime_, volumeFadeCounter_, t);
  const int64_t v = static_cast<int64_t>(volumeFadeStart_) * 100 +
                    (static_cast<int64_t>(volumeFadeTarget_) - volumeFadeStart_) * 100 * c / t;
  SetLevel(Clamp64(v, 0, 10000) - 10000);
}

void CBgmStream::StartVolumeFade() {
  volumeFadeStart_ = (fadeInActive_ || fadeOutActive_) ? appliedLevel_ : volume_;
  volumeFadeTarget_ = pendingTarget_;
  fadeInActive_ = 0;
  fadeOutActive_ = 0;
  volumeFadeActive_ = 1;
  volumeFadeTime_ = pendingTime_;
  volumeFadeCounter_ = 0;
  volume_ = pendingTarget_;
}
