// The movie service over libavformat, libavcodec, libswscale and
// libswresample. Everything runs on the caller's thread.
#include "platform/movie.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/system.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

constexpr int64_t kUnits = 10000000;  // 100-ns units a second
constexpr AVRational kUnitBase{1, 10000000};
constexpr uint32_t kFrameBytes = 4;   // 16-bit stereo
constexpr uint32_t kRingBytes = kMixRate * kFrameBytes * 2;       // 2 s
constexpr uint32_t kAheadBytes = kMixRate * kFrameBytes / 2;      // 0.5 s
constexpr uint32_t kSilenceGuard = kMixRate * kFrameBytes / 4;    // 0.25 s
// Packets a stream may queue while the other one is looked for; a file
// interleaved worse than that is read as if the stream ended.
constexpr size_t kQueueLimit = 4096;
constexpr int kMaxDecodeErrors = 32;
// Packets tried for a stream's first frame when the file is opened.
constexpr int kProbePackets = 256;

std::mutex g_missingMutex;
std::vector<std::string> g_missing;

bool CodecMissing(AVCodecID id) {
  std::lock_guard<std::mutex> lock(g_missingMutex);
  const char* name = avcodec_get_name(id);
  for (const std::string& m : g_missing)
    if (m == name) return true;
  return false;
}

struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

struct Decoder {
  int index = -1;
  AVCodecContext* ctx = nullptr;
  AVRational timeBase{1, 1};
  std::deque<PacketPtr> queue;
  bool flushed = false;
  bool ended = false;
  int errors = 0;
  void Close() {
    avcodec_free_context(&ctx);
    index = -1;
    queue.clear();
    flushed = ended = false;
    errors = 0;
  }
};

}  // namespace

struct MovieState {
  std::string hostPath;
  MovieInfo info;
  AVFormatContext* fmt = nullptr;
  int64_t startOffset = 0;  // the container's start time, 100-ns units
  bool demuxEnded = false;
  Decoder video, audio;

  // Pictures: the next one decoded and the one shown last.
  AVFrame* pending = nullptr;
  AVFrame* shown = nullptr;
  bool havePending = false, haveShown = false;
  int64_t pendingTime = 0, shownEnd = 0;
  SwsContext* sws = nullptr;

  // Sound.
  SwrContext* swr = nullptr;
  AVFrame* audioFrame = nullptr;
  std::unique_ptr<SoundBuffer> buffer;
  std::vector<uint8_t> pcm;  // converted, not yet written
  uint64_t written = 0, played = 0;
  uint32_t lastCursor = 0;
  int64_t skipFrames = -1;  // output frames to drop after a seek; -1 unknown
  bool audioActive = false, audioDone = false;

  // Clock.
  int64_t start = 0;
  int64_t tickBase = 0;  // the clock when ticks took over
  uint32_t tickStart = 0;
  bool ended = false, started = false;

  ~MovieState() { Close(); }

  int64_t ToTime(int64_t pts, AVRational tb) const {
    if (pts == AV_NOPTS_VALUE) return 0;
    return av_rescale_q(pts, tb, kUnitBase) - startOffset;
  }

  void Close() {
    StopSound();
    buffer.reset();
    video.Close();
    audio.Close();
    avformat_close_input(&fmt);
    av_frame_free(&pending);
    av_frame_free(&shown);
    av_frame_free(&audioFrame);
    sws_freeContext(sws);
    sws = nullptr;
    swr_free(&swr);
    havePending = haveShown = false;
    demuxEnded = false;
    pcm.clear();
  }

  void StopSound() {
    if (buffer) buffer->Stop();
  }

  bool OpenDecoder(AVMediaType type, Decoder* d) {
    const int index = av_find_best_stream(fmt, type, -1, -1, nullptr, 0);
    if (index < 0) return false;
    AVStream* st = fmt->streams[index];
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec || CodecMissing(st->codecpar->codec_id)) return true;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return true;
    ctx->thread_count = 1;
    ctx->flags |= AV_CODEC_FLAG_BITEXACT;
    if (avcodec_parameters_to_context(ctx, st->codecpar) < 0 || avcodec_open2(ctx, codec, nullptr) < 0) {
      avcodec_free_context(&ctx);
      return true;
    }
    d->ctx = ctx;
    d->index = index;
    d->timeBase = st->time_base;
    return true;
  }

  // Opens the file and the decoders of its best video and audio streams.
  bool OpenContext() {
    if (avformat_open_input(&fmt, hostPath.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(fmt, nullptr) < 0) return false;
    startOffset = fmt->start_time != AV_NOPTS_VALUE ? fmt->start_time * (kUnits / AV_TIME_BASE) : 0;
    info.hasVideo = OpenDecoder(AVMEDIA_TYPE_VIDEO, &video);
    info.hasAudio = OpenDecoder(AVMEDIA_TYPE_AUDIO, &audio);
    const int v = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (v >= 0) {
      info.width = fmt->streams[v]->codecpar->width;
      info.height = fmt->streams[v]->codecpar->height;
    }
    if (info.width <= 0 || info.height <= 0 || info.width > 16384 || info.height > 16384) video.Close();
    if (fmt->duration > 0) info.duration = fmt->duration * (kUnits / AV_TIME_BASE);
    pending = av_frame_alloc();
    shown = av_frame_alloc();
    audioFrame = av_frame_alloc();
    return pending && shown && audioFrame;
  }

  // Reads one packet into the queue of its decoder; false at the end of
  // the file or when it breaks.
  bool ReadPacket() {
    if (demuxEnded) return false;
    PacketPtr p(av_packet_alloc());
    if (!p || av_read_frame(fmt, p.get()) < 0) {
      demuxEnded = true;
      return false;
    }
    for (Decoder* d : {&video, &audio}) {
      if (d->ctx && p->stream_index == d->index) {
        if (d->queue.size() >= kQueueLimit) {
          demuxEnded = true;
          return false;
        }
        d->queue.push_back(std::move(p));
        break;
      }
    }
    return true;
  }

  PacketPtr NextPacket(Decoder& d) {
    while (d.queue.empty())
      if (!ReadPacket()) return nullptr;
    PacketPtr p = std::move(d.queue.front());
    d.queue.pop_front();
    return p;
  }

  // The next frame of a stream; false at its end (or when it breaks).
  bool DecodeFrame(Decoder& d, AVFrame* out, int packetLimit = -1) {
    if (!d.ctx || d.ended) return false;
    for (;;) {
      const int r = avcodec_receive_frame(d.ctx, out);
      if (r == 0) return true;
      if (r != AVERROR(EAGAIN)) break;
      if (d.flushed) break;
      if (packetLimit == 0) return false;
      if (packetLimit > 0) --packetLimit;
      PacketPtr p = NextPacket(d);
      if (!p) {
        avcodec_send_packet(d.ctx, nullptr);
        d.flushed = true;
        continue;
      }
      if (avcodec_send_packet(d.ctx, p.get()) < 0 && ++d.errors > kMaxDecodeErrors) break;
    }
    d.ended = true;
    return false;
  }

  int64_t FrameTime(const AVFrame* f, const Decoder& d) const {
    return ToTime(f->best_effort_timestamp, d.timeBase);
  }

  int64_t FrameLength(const AVFrame* f) const {
    if (f->pkt_duration > 0) return av_rescale_q(f->pkt_duration, video.timeBase, kUnitBase);
    const AVRational rate = fmt->streams[video.index]->avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) return av_rescale(kUnits, rate.den, rate.num);
    return 0;
  }

  // --- Sound ---

  bool OpenResampler() {
    AVChannelLayout in{};
    if (audio.ctx->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || audio.ctx->ch_layout.nb_channels <= 0)
      av_channel_layout_default(&in, std::max(1, audio.ctx->ch_layout.nb_channels));
    else
      av_channel_layout_copy(&in, &audio.ctx->ch_layout);
    AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
    const int r = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, kMixRate, &in, audio.ctx->sample_fmt,
                                      audio.ctx->sample_rate, 0, nullptr);
    // A mono track plays at full level on both sides.
    static const double kMonoToBoth[2] = {1.0, 1.0};
    if (r >= 0 && in.nb_channels == 1) swr_set_matrix(swr, kMonoToBoth, 1);
    av_channel_layout_uninit(&in);
    return r >= 0 && swr_init(swr) >= 0;
  }

  void AppendPcm(const uint8_t* data, int frames) {
    int64_t skip = std::min<int64_t>(std::max<int64_t>(skipFrames, 0), frames);
    skipFrames -= skip;
    if (skipFrames < 0) skipFrames = 0;
    pcm.insert(pcm.end(), data + skip * kFrameBytes, data + static_cast<int64_t>(frames) * kFrameBytes);
  }

  // Decodes and converts one more piece of sound; false at its end.
  bool DecodeSound() {
    const bool got = DecodeFrame(audio, audioFrame);
    if (got && skipFrames < 0) {
      const int64_t t = FrameTime(audioFrame, audio);
      skipFrames = t < start ? (start - t) * kMixRate / kUnits : 0;
    }
    const int inFrames = got ? audioFrame->nb_samples : 0;
    const int room = swr_get_out_samples(swr, inFrames);
    if (room <= 0) return got;
    std::vector<uint8_t> out(static_cast<size_t>(room) * kFrameBytes);
    uint8_t* outPlanes[1] = {out.data()};
    const int n = swr_convert(swr, outPlanes, room, got ? const_cast<const uint8_t**>(audioFrame->extended_data) : nullptr,
                              inFrames);
    if (n > 0) AppendPcm(out.data(), n);
    if (got) av_frame_unref(audioFrame);
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
      if (pcm.empty() && !audio.ended) DecodeSound();
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
    if (audio.ended && pcm.empty() && played >= written) {
      tickBase = SoundClock();
      tickStart = GetTicks();
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
    return !video.ctx || (!havePending && (!haveShown || now >= shownEnd));
  }
};

Movie::Movie() : s_(std::make_unique<MovieState>()) {}
Movie::~Movie() = default;

std::unique_ptr<Movie> Movie::Open(std::string_view path) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
  std::unique_ptr<Movie> m(new Movie());
  MovieState& s = *m->s_;
  s.hostPath = ResolvePath(path);
  if (s.hostPath.empty() || !s.OpenContext()) return nullptr;
  // A stream decodes when its first frame does.
  s.info.videoDecodes = s.DecodeFrame(s.video, s.pending, kProbePackets);
  s.info.audioDecodes = s.DecodeFrame(s.audio, s.audioFrame, kProbePackets);
  const MovieInfo info = s.info;
  s.Close();
  s.info = info;
  if (!info.videoDecodes && !info.audioDecodes) return nullptr;
  return m;
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
  if (!info.videoDecodes) s.video.Close();
  if (!info.audioDecodes) s.audio.Close();
  s.start = std::max<int64_t>(start, 0);
  if (s.start > 0) {
    const int64_t target = s.start / (kUnits / AV_TIME_BASE) + (s.fmt->start_time != AV_NOPTS_VALUE ? s.fmt->start_time : 0);
    if (av_seek_frame(s.fmt, -1, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  }
  // Pictures before the start are decoded and passed over by the clock.
  s.havePending = s.DecodeFrame(s.video, s.pending);
  if (s.havePending) s.pendingTime = s.FrameTime(s.pending, s.video);
  s.written = s.played = 0;
  s.lastCursor = 0;
  s.skipFrames = -1;
  s.audioDone = false;
  s.audioActive = false;
  std::shared_ptr<AudioDevice> device = Audio();
  if (s.audio.ctx && device && s.OpenResampler()) {
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
    std::swap(s.pending, s.shown);
    s.haveShown = due = true;
    s.shownEnd = s.pendingTime + s.FrameLength(s.shown);
    av_frame_unref(s.pending);
    s.havePending = s.DecodeFrame(s.video, s.pending);
    if (s.havePending) s.pendingTime = s.FrameTime(s.pending, s.video);
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

int64_t Movie::Position() const { return s_->started ? s_->Clock() : 0; }

void Movie::Stop() {
  s_->StopSound();
  s_->started = false;
}

bool Movie::DecodeVideoFrame() {
  MovieState& s = *s_;
  if (!s.fmt && !Start(0, kVolumeSilent)) return false;
  std::swap(s.pending, s.shown);
  s.haveShown = s.havePending;
  av_frame_unref(s.pending);
  s.havePending = s.DecodeFrame(s.video, s.pending);
  return s.haveShown;
}

void Movie::ConvertVideoFrame(uint32_t* dst, int width, int height, int pitch) {
  MovieState& s = *s_;
  const AVFrame* f = s.shown;
  if (!s.haveShown || !dst || width <= 0 || height <= 0 || f->width <= 0 || f->height <= 0) return;
  s.sws = sws_getCachedContext(s.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), width, height,
                               AV_PIX_FMT_BGR0, SWS_BILINEAR | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr,
                               nullptr);
  if (!s.sws) return;
  uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(dst)};
  const int strides[1] = {pitch * 4};
  sws_scale(s.sws, f->data, f->linesize, 0, f->height, planes, strides);
  // The scaler fills the unused byte with 255; the screen keeps it 0.
  for (int y = 0; y < height; ++y) {
    uint32_t* row = dst + static_cast<ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x) row[x] &= 0x00FFFFFFu;
  }
}

void SetMissingMovieCodecs(std::vector<std::string> names) {
  std::lock_guard<std::mutex> lock(g_missingMutex);
  g_missing = std::move(names);
}

}  // namespace platform
