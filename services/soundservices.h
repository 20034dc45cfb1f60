// CSoundServices: sounds and movies: system sounds, voices, sound effects,
// music and the movie player.
#pragma once

#include <cstddef>
#include <cstdint>

class CBgmPlayer;
class CMoviePlayer;

class CSoundServices {
 public:
  virtual int GetCharaVoiceFlag(int chara) = 0;
  virtual void SetCharaVoiceFlag(int chara, int on) = 0;
  virtual int GetVoiceFlag() = 0;
  virtual int GetVoiceWaitTime() = 0;
  virtual void PlayVoice(const char* name) = 0;
  virtual void PlaySystemSeAlt(int n) = 0;
  virtual CMoviePlayer* GetMoviePlayer() = 0;
  virtual void PlaySystemSe(int n, int asVoice) = 0;
  virtual void PlaySeFile(const char* name, int delta) = 0;
  virtual void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) = 0;
  virtual int CheckVoiceOff(const char* fileName) = 0;
  virtual void PlayNote(int n) = 0;
  virtual void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) = 0;
  virtual void StopBgm(int fadeOut) = 0;
  virtual CBgmPlayer* GetBgmPlayer() = 0;
  virtual int CheckMovieCodec() = 0;
  // The music number playing (0-based, -1 none) and the settings'
  // "defaultMusicFadeInTime".
  virtual int GetBgmNumber() const = 0;
  virtual int GetDefaultMusicFadeInTime() const = 0;
  // "listenbgmmode" := type, "listenbgmnumber" := number.
  virtual void SetListenBgmState(int type, int number) = 0;
  // The movie codec answer, asked once and kept.
  virtual void SetCodecCheckState(int value) = 0;
  virtual void SetCodecChoice(int value) = 0;
  virtual void SetMovieOff() = 0;
  virtual int IsMovieOff() const = 0;
  // Token 2n - 2 of the movie list for n = 1, 2, ...; NULL outside it.
  virtual const char* GetMovieListName(int n) const = 0;
  // Stops voice channel 0 with a fade of `time` while voices are on.
  virtual void FadeOutVoice(int time) = 0;
  // The pair of the music list whose file name is `name` (case-blind); -1
  // none.
  virtual int SearchBgmName(const char* name) const = 0;
  virtual int GetMusicFlag(int n) const = 0;
  // Every sound-effect and voice channel at once.
  virtual void StopAllSound() = 0;
  // The sound-effect and voice channels whose records ask for a looped
  // sound that no longer sounds start it (after a load, entering the text
  // and choice screens).
  virtual void PlayPendingSounds() = 0;

 protected:
  ~CSoundServices() = default;
};
