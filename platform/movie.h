// Movies: a file decoded on the game thread, its pictures converted to
// 0x00RRGGBB at the screen's size and its sound resampled to the mix format
// and streamed into a sound buffer of the platform's audio. One decoding
// thread, bit-exact scaling and the clock taken from the sound buffer's play
// position (the platform tick for a movie without sound), so a headless run
// repeats exactly. Times are in 100-ns units.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct MovieInfo {
  bool hasVideo = false, videoDecodes = false;
  bool hasAudio = false, audioDecodes = false;
  int width = 0, height = 0;
  // The length its header declares, else the decoder's estimate; 0 when
  // neither says.
  int64_t duration = 0;
};

struct MovieState;

class Movie {
 public:
  // Opens a game-relative CP932 path through the resolver and tries the
  // first frame of each stream; null when the file does not open as a
  // movie or nothing in it decodes.
  static std::unique_ptr<Movie> Open(std::string_view path);
  // What the container's header says of a game-relative CP932 path, without
  // loading the decoder: true when the header names the streams and codecs
  // the decoder always serves (a ".wmv" of the usual codecs), `info` then
  // saying which streams there are and which decode (those whose codec
  // SetMissingMovieCodecs names do not); false when only Open can tell. A
  // stream whose data is broken behind a sound header is found by Open.
  static bool ProbeHeader(std::string_view path, MovieInfo* info);
  ~Movie();
  Movie(const Movie&) = delete;
  Movie& operator=(const Movie&) = delete;

  const MovieInfo& Info() const;

  // Plays from `start` (the frame showing at that time, and the sound from
  // exactly there) at `volume` hundredths of a decibel. False when the
  // position cannot be reached.
  bool Start(int64_t start, int volume);
  // Keeps the sound buffer filled ahead and, when another picture is due,
  // converts it into dst (width x height pixels, `pitch` pixels a row).
  // True when dst was written.
  bool Update(uint32_t* dst, int width, int height, int pitch);
  // Picture and sound have played out (a stream that breaks ends here too).
  bool Ended() const;
  // How far the movie has played: the end of the last picture shown or of
  // the sound played out, from the start position on.
  int64_t Reached() const;
  // The movie clock.
  int64_t Position() const;
  // Stops the sound; the movie can be started again.
  void Stop();

  // Steps for benchmarks and the fuzz target: decode the next picture
  // (false at the end) and convert the last decoded one.
  bool DecodeVideoFrame();
  void ConvertVideoFrame(uint32_t* dst, int width, int height, int pitch);

 private:
  Movie();
  std::unique_ptr<MovieState> s_;
};

// Codec names ("wmv2", "wmav2", ...) treated as having no decoder, for
// tests; an empty list restores the normal behaviour.
void SetMissingMovieCodecs(std::vector<std::string> names);

}  // namespace platform
