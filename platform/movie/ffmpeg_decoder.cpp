// The movie decoder over libavformat, libavcodec, libswscale and
// libswresample, built as the module the movie service loads on first use.
// Everything runs on the caller's thread.
#include <algorithm>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/audio.h"
#include "platform/movie/decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform::movie {

namespace {

constexpr AVRational kUnitBase{1, kUnits};
// Packets a stream may queue while the other one is looked for; a file
// interleaved worse than that is read as if the stream ended.
constexpr size_t kQueueLimit = 4096;
constexpr int kMaxDecodeErrors = 32;

struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;

struct Stream {
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

class FfmpegDecoder final : public Decoder {
 public:
  ~FfmpegDecoder() override { Close(); }

  bool Open(const std::string& hostPath, const std::vector<std::string>& missing, MovieInfo* info) override {
    Close();
    missing_ = missing;
    if (avformat_open_input(&fmt_, hostPath.c_str(), nullptr, nullptr) < 0) return false;
    if (avformat_find_stream_info(fmt_, nullptr) < 0) return false;
    startOffset_ = fmt_->start_time != AV_NOPTS_VALUE ? fmt_->start_time * (kUnits / AV_TIME_BASE) : 0;
    info->hasVideo = OpenStream(AVMEDIA_TYPE_VIDEO, &video_);
    info->hasAudio = OpenStream(AVMEDIA_TYPE_AUDIO, &audio_);
    const int v = av_find_best_stream(fmt_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (v >= 0) {
      info->width = fmt_->streams[v]->codecpar->width;
      info->height = fmt_->streams[v]->codecpar->height;
    }
    if (info->width <= 0 || info->height <= 0 || info->width > 16384 || info->height > 16384) video_.Close();
    if (fmt_->duration > 0) info->duration = fmt_->duration * (kUnits / AV_TIME_BASE);
    pending_ = av_frame_alloc();
    shown_ = av_frame_alloc();
    audioFrame_ = av_frame_alloc();
    return pending_ && shown_ && audioFrame_;
  }

  void Close() override {
    video_.Close();
    audio_.Close();
    avformat_close_input(&fmt_);
    av_frame_free(&pending_);
    av_frame_free(&shown_);
    av_frame_free(&audioFrame_);
    sws_freeContext(sws_);
    sws_ = nullptr;
    swr_free(&swr_);
    demuxEnded_ = false;
  }

  bool HasVideo() const override { return video_.ctx != nullptr; }
  bool HasAudio() const override { return audio_.ctx != nullptr; }
  void CloseVideo() override { video_.Close(); }
  void CloseAudio() override { audio_.Close(); }

  bool Seek(int64_t start) override {
    const int64_t target =
        start / (kUnits / AV_TIME_BASE) + (fmt_->start_time != AV_NOPTS_VALUE ? fmt_->start_time : 0);
    return av_seek_frame(fmt_, -1, target, AVSEEK_FLAG_BACKWARD) >= 0;
  }

  bool DecodePicture(int packetLimit, int64_t* time) override {
    if (!DecodeFrame(video_, pending_, packetLimit)) return false;
    *time = ToTime(pending_->best_effort_timestamp, video_.timeBase);
    return true;
  }

  int64_t ShowPicture() override {
    std::swap(pending_, shown_);
    av_frame_unref(pending_);
    return FrameLength(shown_);
  }

  void ConvertPicture(uint32_t* dst, int width, int height, int pitch) override {
    const AVFrame* f = shown_;
    if (!f || f->width <= 0 || f->height <= 0) return;
    sws_ = sws_getCachedContext(sws_, f->width, f->height, static_cast<AVPixelFormat>(f->format), width, height,
                                AV_PIX_FMT_BGR0, SWS_BILINEAR | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr,
                                nullptr, nullptr);
    if (!sws_) return;
    uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(dst)};
    const int strides[1] = {pitch * 4};
    sws_scale(sws_, f->data, f->linesize, 0, f->height, planes, strides);
    // The scaler fills the unused byte with 255; the screen keeps it 0.
    for (int y = 0; y < height; ++y) {
      uint32_t* row = dst + static_cast<ptrdiff_t>(y) * pitch;
      for (int x = 0; x < width; ++x) row[x] &= 0x00FFFFFFu;
    }
  }

  bool ProbeSound(int packetLimit) override { return DecodeFrame(audio_, audioFrame_, packetLimit); }

  bool OpenResampler() override {
    AVChannelLayout in{};
    if (audio_.ctx->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || audio_.ctx->ch_layout.nb_channels <= 0)
      av_channel_layout_default(&in, std::max(1, audio_.ctx->ch_layout.nb_channels));
    else
      av_channel_layout_copy(&in, &audio_.ctx->ch_layout);
    AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
    const int r = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, kMixRate, &in, audio_.ctx->sample_fmt,
                                      audio_.ctx->sample_rate, 0, nullptr);
    // A mono track plays at full level on both sides.
    static const double kMonoToBoth[2] = {1.0, 1.0};
    if (r >= 0 && in.nb_channels == 1) swr_set_matrix(swr_, kMonoToBoth, 1);
    av_channel_layout_uninit(&in);
    return r >= 0 && swr_init(swr_) >= 0;
  }

  bool DecodeSound(std::vector<uint8_t>* pcm, int64_t* time) override {
    pcm->clear();
    const bool got = DecodeFrame(audio_, audioFrame_);
    if (got) *time = ToTime(audioFrame_->best_effort_timestamp, audio_.timeBase);
    const int inFrames = got ? audioFrame_->nb_samples : 0;
    const int room = swr_get_out_samples(swr_, inFrames);
    if (room <= 0) return got;
    pcm->resize(static_cast<size_t>(room) * kFrameBytes);
    uint8_t* outPlanes[1] = {pcm->data()};
    const int n = swr_convert(swr_, outPlanes, room,
                              got ? const_cast<const uint8_t**>(audioFrame_->extended_data) : nullptr, inFrames);
    pcm->resize(static_cast<size_t>(std::max(n, 0)) * kFrameBytes);
    if (got) av_frame_unref(audioFrame_);
    return got;
  }

  bool SoundEnded() const override { return audio_.ended; }

 private:
  bool CodecMissing(AVCodecID id) const {
    const char* name = avcodec_get_name(id);
    return std::find(missing_.begin(), missing_.end(), name) != missing_.end();
  }

  int64_t ToTime(int64_t pts, AVRational tb) const {
    if (pts == AV_NOPTS_VALUE) return 0;
    return av_rescale_q(pts, tb, kUnitBase) - startOffset_;
  }

  int64_t FrameLength(const AVFrame* f) const {
    if (video_.index < 0) return 0;
    if (f->pkt_duration > 0) return av_rescale_q(f->pkt_duration, video_.timeBase, kUnitBase);
    const AVRational rate = fmt_->streams[video_.index]->avg_frame_rate;
    if (rate.num > 0 && rate.den > 0) return av_rescale(kUnits, rate.den, rate.num);
    return 0;
  }

  // True when the file has a stream of the type, whether or not its
  // decoder opens.
  bool OpenStream(AVMediaType type, Stream* d) {
    const int index = av_find_best_stream(fmt_, type, -1, -1, nullptr, 0);
    if (index < 0) return false;
    AVStream* st = fmt_->streams[index];
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

  // Reads one packet into the queue of its stream; false at the end of the
  // file or when it breaks.
  bool ReadPacket() {
    if (demuxEnded_) return false;
    PacketPtr p(av_packet_alloc());
    if (!p || av_read_frame(fmt_, p.get()) < 0) {
      demuxEnded_ = true;
      return false;
    }
    for (Stream* d : {&video_, &audio_}) {
      if (d->ctx && p->stream_index == d->index) {
        if (d->queue.size() >= kQueueLimit) {
          demuxEnded_ = true;
          return false;
        }
        d->queue.push_back(std::move(p));
        break;
      }
    }
    return true;
  }

  PacketPtr NextPacket(Stream& d) {
    while (d.queue.empty())
      if (!ReadPacket()) return nullptr;
    PacketPtr p = std::move(d.queue.front());
    d.queue.pop_front();
    return p;
  }

  // The next frame of a stream; false at its end (or when it breaks).
  bool DecodeFrame(Stream& d, AVFrame* out, int packetLimit = -1) {
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

  std::vector<std::string> missing_;
  AVFormatContext* fmt_ = nullptr;
  int64_t startOffset_ = 0;  // the container's start time, 100-ns units
  bool demuxEnded_ = false;
  Stream video_, audio_;
  // Pictures: the next one decoded and the one shown last.
  AVFrame* pending_ = nullptr;
  AVFrame* shown_ = nullptr;
  SwsContext* sws_ = nullptr;
  SwrContext* swr_ = nullptr;
  AVFrame* audioFrame_ = nullptr;
};

}  // namespace

}  // namespace platform::movie

extern "C" __attribute__((visibility("default"))) platform::movie::Decoder* zor_movie_new_decoder(
    int interfaceVersion) {
  if (interfaceVersion != platform::movie::kDecoderInterface) return nullptr;
  static std::once_flag quiet;
  std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
  return new platform::movie::FfmpegDecoder();
}
