// CSoundPart: the game's sounds: the sound device and mixer, the music
// player, the voice and sound-effect players the script drives, the two
// system-sound buffers used in turn, the preloaded system sounds and the
// movie player with the codec answer. It plays the sound role
// (CSoundServices) for the modes.
//
// Options read here: 100 music volume, 101 sound-effect volume, 102 voice
// volume, 200 music on, 201 sound effects on, 202 voices on. Every volume
// handed to a buffer is held to 0..100.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "services/soundservices.h"
#include "sound/seplayer.h"
#include "sound/voiceplayer.h"

namespace platform {
class Window;
}  // namespace platform

class CCommonSystemFile;
class CGameLists;
class CModeFlowPart;
class CSetupList;
class CVariablePart;
class CDirectSound;
class CMixer;
class CSoundBuffer;
class CWaveBuffer;

class CSoundPart : public CSoundServices {
 public:
  // The keys of the list "game" this part reads.
  struct Settings {
    int defaultMusicFadeInTime = 0;
    int defaultMusicFadeOutTime = 5;
    int soundChannel = 2;
    int samplingRate = 44100;
    int samplingBit = 16;
    int primaryFormatSetFlag = 0;
    int sound3DFlag = 0;
    int systemSoundLoadNumber = 4;
    int directXVolumeFlag = 0;
    int directXVolume = 60;
    int charaVoiceVolumeDelta = 2;
    int allMusicSetFlag = 1;
    int enableButtonVoiceCharaVolume = 0;
    int loadVoiceErrorPrintFlag = 0;
    int loadSeErrorPrintFlag = 0;
    int seVoiceDontStopFlag = 0;
    int skipToScriptVoiceStopFlag = 0;
    int mustSetVoiceFlag = 1;
    int mustSetMusicFlag = 1;
  };
  // What the script's sound commands keep between commands: the voice name
  // the notice before a voice command gave, the one-shot fade times of the
  // next voice and sound-effect command, each voice channel's name and the
  // music's loop count (both saved with the game).
  struct ScriptSounds {
    static constexpr int kNameSize = 64;
    char noticedVoice[kNameSize] = {};
    int voiceFadeTime = 0, seFadeTime = 0;
    char voiceNames[8][kNameSize] = {};
    int bgmLoopCount = 0;
  };
  static constexpr int kDefaultVoiceWaitTime = 7000;
  // A script's volume offset of -101 plays at volume 1, the quietest that
  // sounds.
  static constexpr int kQuietOffset = -101;
  // The volume of a channel: the option's volume moved by the offset, held
  // to 0..100 (1 for the quiet offset).
  static int VolumeFor(int offset, int setting);

  // What the part uses: the parts it calls (their slots in the game's set,
  // so a part made later or replaced by a test's double is found) and what
  // the game was given.
  struct Links {
    std::unique_ptr<CGameLists>& lists;
    std::unique_ptr<CVariablePart>& vars;
    std::unique_ptr<CModeFlowPart>& modes;
    platform::Window* window;
    CCommonSystemFile* systemFile;
    const CSetupList* const& list;  // null before the list loads
  };

  explicit CSoundPart(const Links& links);
  virtual ~CSoundPart();
  CSoundPart(const CSoundPart&) = delete;
  CSoundPart& operator=(const CSoundPart&) = delete;
  const Settings& GetSettings() const { return settings_; }
  Settings& GetSettings() { return settings_; }

  // The keys of the list "game" into the settings record.
  void ReadSettings();
  // The device, the mixer, the movie player, the music player, the system
  // buffers, the voice and sound-effect players and the preloaded system
  // sounds.
  void Init();
  // The first part of the destroy step: the music stopped with the
  // player's default fade, which runs out; the players, the system buffers
  // and their loader deleted, every stream thread ended.
  void Shutdown();

  // --- CSoundServices ---
  int GetCharaVoiceFlag(int chara) override;
  void SetCharaVoiceFlag(int chara, int on) override;
  int GetVoiceFlag() override { return voiceFlag_; }
  int GetVoiceWaitTime() override { return voiceWaitTime_; }
  void PlayVoice(const char* name) override;
  void PlaySystemSeAlt(int n) override;
  CMoviePlayer* GetMoviePlayer() override { return moviePlayer_.get(); }
  void PlaySystemSe(int n, int asVoice) override;
  void PlaySeFile(const char* name, int delta) override;
  void PlaySystemVoiceFile(const char* name, int ignored, int sameBuffer) override;
  int CheckVoiceOff(const char* fileName) override;
  void PlayNote(int n) override;
  void PlayBgmNumber(int n, int loopCount, int delta, int fadeIn, int fadeOut) override;
  void StopBgm(int fadeOut) override;
  CBgmPlayer* GetBgmPlayer() override { return bgmPlayer_.get(); }
  int CheckMovieCodec() override;
  int GetBgmNumber() const override { return currentBgm_; }
  int GetDefaultMusicFadeInTime() const override { return settings_.defaultMusicFadeInTime; }
  void SetListenBgmState(int type, int number) override;
  void SetCodecCheckState(int value) override { codecCheck_ = value; }
  void SetCodecChoice(int value) override { codecChoice_ = value; }
  void SetMovieOff() override { movieOff_ = 1; }
  int IsMovieOff() const override { return movieOff_; }
  const char* GetMovieListName(int n) const override;
  void FadeOutVoice(int time) override;
  int SearchBgmName(const char* name) const override;
  int GetMusicFlag(int n) const override;
  void StopAllSound() override;

  // --- Music ---
  // -1 for a time or loop count means the player's default; a delta of
  // -9999 plays at the option volume unchanged.
  virtual void PlayBgm(const char* name, int loopCount, int delta, int fadeIn, int fadeOut);
  // Pairs of the music list, and its file names and titles.
  int GetBgmCount() const;
  const char* GetBgmFileName(int n) const;
  const char* GetBgmTitle(int n) const;
  // The music last played (-1 none); option 200 plays it again.
  int GetLastBgm() const { return lastBgm_; }
  // Only remembered (a replay starts no music): both music words.
  void RememberBgm(int n) { currentBgm_ = lastBgm_ = n; }
  // The loop value the script's music command gave with the remembered
  // track; option 200 plays the track again with it.
  void SetBgmLoop(int loop) { bgmLoop_ = loop; }
  // Option 100 (music volume) and option 200 (music on) were set.
  void ApplyMusicVolume(int value);
  void ApplyMusicSwitch(int value);

  // --- Voices and volumes ---
  // The character (pair 1 on of "spt\charaname.xtx") whose key's first two
  // characters begin the voice file name, case-blind; -1 none.
  int GetVoiceChara(const char* name) const;
  int GetCharaVoiceVolume(const char* fileName);
  // Applies the voice volume (102) once per change to the device or to the
  // in-program wave volume; 0 when the option is 0.
  int SetSystemVolume(int id);
  int GetSoundVolumeMode();
  void SetVoiceFlag(int flag) { voiceFlag_ = flag; }
  void SetVoiceWaitTime(int ms) { voiceWaitTime_ = ms; }

  // --- The script's voices and sound effects ---
  ScriptSounds& GetScriptSounds() { return script_; }
  CVoicePlayer* GetVoicePlayer() const { return voicePlayer_.get(); }
  CSePlayer* GetSePlayer() const { return sePlayer_.get(); }
  // Loads the voice `name` on voice channel ch and starts it; 0 when no
  // voice file has it.
  int LoadAndStartVoice(int ch, const char* name);
  // Plays sound effect `number` of the list on channel ch with its stored
  // record; quiet when the list has no such entry.
  void StartSoundEffect(int ch, int number);
  void PlayPendingSounds() override;
  // Every channel's loop flag cleared.
  void ClearLoopFlags();

  // --- Devices ---
  CDirectSound* GetSoundDevice() const { return soundDevice_.get(); }
  // System sound buffer 0 or 1 (NULL otherwise), the one used last, and
  // the mixer.
  CSoundBuffer* GetSystemSoundBuffer(int i) const;
  int GetLastSystemBuffer() const { return systemSeToggle_; }
  CMixer* GetMixer() const { return mixer_.get(); }
  int GetCodecChoice() const { return codecChoice_; }

 protected:
  const Links links_;

 private:
  // The voice-option entry of a voice file's character (-1 none).
  int VoiceEntry(const char* name) const;
  // Creates the selected system buffer from the wave and plays it once.
  void PlayOnSystemBuffer(const CWaveBuffer& wave, int volume);

  Settings settings_;
  ScriptSounds script_;
  // What each script channel's buffer holds: the sound effect's number
  // (-1 none) and the voice's name, so that a looped sound still sounding
  // is not started over.
  int seInBuffer_[CSePlayer::kChannels];
  std::string voiceInBuffer_[CVoicePlayer::kChannels];
  // Destroyed in the reverse order: the players (Shutdown has already let
  // them go), the mixer, the movie player, the device last.
  std::unique_ptr<CDirectSound> soundDevice_;
  std::unique_ptr<CMoviePlayer> moviePlayer_;
  std::unique_ptr<CMixer> mixer_;
  std::unique_ptr<CBgmPlayer> bgmPlayer_;
  std::unique_ptr<CSoundBuffer> systemSoundBuffer_[2];
  std::unique_ptr<CWaveBuffer> systemSoundLoader_;
  std::unique_ptr<CVoicePlayer> voicePlayer_;
  std::unique_ptr<CSePlayer> sePlayer_;
  std::vector<std::unique_ptr<CWaveBuffer>> systemSounds_;
  int systemSeToggle_ = 0;
  int currentBgm_ = -1, lastBgm_ = -1;
  int bgmLoop_ = -1;
  // 101: no option has it, so the first application always happens.
  int lastVoiceVolume_ = 101;
  int voiceFlag_ = 0;
  int voiceWaitTime_ = kDefaultVoiceWaitTime;
  int codecCheck_ = -1;
  int codecChoice_ = 0, movieOff_ = 0;

 public:
  // --- Its share of the saved game (savedata/gamestatus.h) ---
  // The music and its loop count, the sound effects' and voices' channel
  // words and the voice names.
  void PutStatus(uint8_t* status);
  void GetStatus(const uint8_t* status);
};
