// The music room over random track lists ("mok\\listenbgmlist.xtx": titles,
// files, huge and odd lengths, "@", "*" and numbered heard flags, unlock
// variables, partial records), random "ListenBGM" lists (spectrum sizes,
// band counts and ranges, rows, cursor animation, slider range) and random
// heard flags, then frames of random input while a real tune can play.
// Nothing may be read or written outside the lists, tables or screen; the
// cursor stays on a track; the spectrum's bands stay inside the transform.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/modeflowpart.h"
#include "game/variablepart.h"
#include "mode/listenbgm.h"
#include "savedata/systemfile.h"
#include "soundwriter.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 640, kHeight = 480;

constexpr const char* kKeys[] = {
    "checklisten", "useCannotByList", "musicPrintNumber", "musicNameMax", "messageFontSize", "volumeMin",
    "volumeMax", "volumePrintX", "volumeSizeX", "cursorPrintX", "cursorPrintY", "cursorSizeX", "cursorSizeY",
    "cursorNextX", "cursorNextY", "cursorAnimeFlag", "cursorAnimeType", "cursorAnimeSpeed", "cursorAnimePattern",
    "trackAndTimePrintFlag", "fontSizeX", "fontNextX", "minutePrintX", "spectrumPrintFlag", "spectrumCalcuPoint",
    "spectrumPrintNumber", "spectrumStartHz", "spectrumEndHz", "spectrumPrintType", "spectrumSizeX",
    "spectrumNextX", "spectrumSizeY", "bgmLoopFlag", "musicFadeOutTime", "filenameCursor", "filenameNumber",
    "rew1PrintX", "play1PrintX", "stop1SizeX", "pause1SizeY", "cannotMusicName", "fileNameVolume",
    "playRestartScriptFlag", "backScriptFlag"};
constexpr const char* kWords[] = {"strip", "missing", "", "v0", "tone", "-1", "99999999999"};
constexpr const char* kTokens[] = {"tone", "missing", "@", "*", "0", "1", "3", "-2", "300", "v0", "v1",
                                   "99999999999999", "-99999999999999", "?", "bgm01", ""};

using fuzzsupport::Reader;

void WriteGameFolder() {
  modefuzz::WriteVarNamesAndPictureFolder(2);
  modefuzz::WriteStrip("strip", 60, 200);
  modefuzz::WriteStrip("bgm_bg", 64, 48);
  modefuzz::Write("spt\\bgmlist.xtx", "tone,Tone\r\nbgm01,One\r\n");
  platform::CreateDirectory("wgq");
  // Two seconds of a 1 kHz tone.
  platform::WavData wav;
  wav.format = {2, 44100, 16};
  for (int i = 0; i < 2 * 44100; ++i) {
    const auto s = static_cast<int16_t>(std::lround(12000 * std::sin(2 * 3.14159265358979 * 1000 * i / 44100)));
    for (int c = 0; c < 2; ++c) {
      wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) & 0xFF));
      wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
    }
  }
  std::vector<uint8_t> bytes;
  std::string error;
  if (soundtool::MakeMusicFile(wav, 0.1f, &bytes, &error))
    platform::WriteWholeFile("wgq\\tone.wgq", bytes.data(), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  WriteGameFolder();
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  Reader in(data, size);
  std::string tracks;
  for (int n = in.Byte() % 90; n > 0; --n) tracks += std::string(kTokens[in.Byte() % std::size(kTokens)]) + ",";
  modefuzz::Write("mok\\listenbgmlist.xtx", tracks + "\r\n");
  modefuzz::Write("init\\ListenBGM.xtx", modefuzz::RandomList(in, kKeys, kWords, 40));
  {
    CCommonSystemFile systemFile;
    modefuzz::ModeGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    for (int k = in.Byte() % 4; k > 0; --k) systemFile.AddMusicCount(modefuzz::Value(in));
    game.SetVar(0, modefuzz::Value(in));
    game.SetVar(1, modefuzz::Value(in));
    game.Vars().SetSystemSetting(100, modefuzz::Value(in));
    game.CreateModes();
    auto* room = dynamic_cast<CCommonListenBGM*>(game.Modes().GetMode(CCommonListenBGM::kModeNumber));
    fuzzsupport::Check(room != nullptr, "mode 8 made");
    const std::vector<int>& starts = room->GetBandStarts();
    for (int s : starts)
      fuzzsupport::Check(s >= 1 && s < room->GetSpectrumPoints() / 2, "a band starts inside the transform");
    game.Modes().SetNextMode(CCommonListenBGM::kModeNumber);
    game.Modes().ChangeMode();
    for (int frame = 0; frame < 32 && in.More(); ++frame) {
      modefuzz::InjectRandomInput(*g_host, in);
      // A held or released button of either side now and then.
      if (in.Byte() % 8 == 0) g_host->InjectButton(in.Byte() & 1, in.Byte() & 1);
      modefuzz::Pump(game, g_window);
      game.Frame(in.Byte() % 120);
      fuzzsupport::Check(room->GetTrackCount() == 0 || (room->GetCursor() >= 0 &&
                                                        room->GetCursor() < room->GetTrackCount()),
                         "the cursor is on a track");
    }
  }
  g_host->ClearBoxes();
  return 0;
}
