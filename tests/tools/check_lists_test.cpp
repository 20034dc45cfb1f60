// The lint's checks of settings lists and pictures, and zor-check's command
// line: each finding with the exact line it prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "packwriter.h"
#include "platform/headless/headless.h"
#include "soundwriter.h"
#include "support/temp_dir.h"
#include "tools/asm/assembler.h"
#include "tools/check/filecheck.h"
#include "tools/check/finding.h"
#include "tools/check/knownkeys.h"
#include "tools/check/listcheck.h"

namespace {

using gamecheck::KnownKeys;

// Files by relative path.
using Files = std::map<std::string, std::string>;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The lines CheckLists (or `check`) prints for a game folder of these files (and these
// sources), the folder written "GAME" and the sources "SRC".
std::vector<std::string> Lint(const Files& files, const Files& sources = {},
                              void (*check)(const gamecheck::CheckInput&, gamecheck::Findings&) =
                                  gamecheck::CheckLists) {
  testsupport::TempDir game, source;
  for (const auto& [rel, bytes] : files) game.Write(rel, bytes);
  for (const auto& [rel, bytes] : sources) source.Write(rel, bytes);
  gamecheck::CheckInput input{game.path(), sources.empty() ? "" : source.path()};
  gamecheck::Findings findings;
  check(input, findings);
  std::vector<std::string> lines;
  for (const gamecheck::Finding& f : findings)
    lines.push_back(Replace(Replace(gamecheck::FormatFinding(f), game.path(), "GAME"), source.path(), "SRC"));
  return lines;
}

std::string Picture(int w, int h) {
  dwqtool::Picture picture{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x123456), {}};
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(dwqtool::MakeDwq(picture, dwqtool::Options{}, &bytes, &error)) << error;
  return std::string(bytes.begin(), bytes.end());
}

TEST(KnownKeysTest, ChainsOfLiteralsAndNumbersAreKeys) {
  const KnownKeys keys({"windowTitle", "menu%dbutton%d", "SizeX", "nameColor", "R", "logo", "exitFadeOutColor",
                        "Special", "fukuro%d_%d", "%sVolumeMax", "bgm", "o%d%c", "a", "abc"});
  struct Case {
    const char* key;
    bool known;
  };
  const Case cases[] = {
      {"windowTitle", true},       {"WINDOWtitle", true},  // the game's lookups ignore ASCII case
      {"menu1button12SizeX", true}, {"nameColorR", true},   {"logo2", true},
      {"exitFadeOutColorSpecialR", true}, {"fukuro3_4", true}, {"bgmVolumeMax", true},
      {"o12x", true},              {"o123", true},         // the byte after the number may be a digit
      {"windowTitel", false},      {"2logo", false},       {"menubutton1SizeX", false},
      {"logo_", false},            {"", false},
      {"abcabcabcabc", true},      {"abcabcabcabcabc", false},  // at most four pieces of text
      // After the first piece, a short one is a single capital letter that
      // ends the text (numbers aside).
      {"nameColorR2", true},       {"nameColorRR", false},  {"logoa", false},
  };
  for (const Case& c : cases) EXPECT_EQ(keys.IsKnown(c.key), c.known) << c.key;

  EXPECT_EQ(keys.Nearest("windowTitel"), "windowTitle");
  EXPECT_EQ(keys.Nearest("menu1button1SizX"), "menu1button1SizeX");
  EXPECT_EQ(keys.Nearest("nameColour"), "nameColor");
  EXPECT_EQ(keys.Nearest("qqqqqqq"), "");
}

// The catalogue made from the engine's sources knows keys read every way
// the engine reads them, and not their misspellings.
TEST(KnownKeysTest, EngineCatalogueFollowsTheReadingCode) {
  const KnownKeys& keys = KnownKeys::Engine();
  for (const char* key : {"windowTitle", "windowSizeX", "startupJumpScriptFlag", "noSceneListFlag",
                          "dwqPackLevel", "menu1button1SizeX", "menu1button2Filename", "fontSize",
                          "nameShadeColorR", "exitFadeOutColorSpecialR", "scriptVoiceExpand3",
                          "pictureBufferSizeX2", "filenameBG", "setDefaultShortCutFlag"})
    EXPECT_TRUE(keys.IsKnown(key)) << key;
  for (const char* key : {"windowTitel", "startupJumpScriptFlg", "fontSiz", "nameShadowColorR"})
    EXPECT_FALSE(keys.IsKnown(key)) << key;
  EXPECT_EQ(keys.Nearest("startupJumpScriptFlg"), "startupJumpScriptFlag");
}

TEST(CheckListsTest, SettingsListFindings) {
  struct Case {
    const char* name;
    Files files;
    std::vector<std::string> expected;
    Files sources = {};
  };
  const std::string cut =
      "; a value cannot hold a blank or a comma (a full-width blank \"\u3000\" can stand in for a blank)";
  const Case cases[] = {
      {"clean", {{"init/mainControl.xtx", "windowTitle,Lighthouse\r\nwindowSizeX,800\r\nversionTitleMessage,\r\n"}}, {}},
      {"a misspelt key, with the key meant",
       {{"init/mainControl.xtx", "windowSizeX,800\r\nwindowTitel,Lighthouse\r\n"}},
       {"GAME/init/mainControl.xtx:2: error: the engine reads no key \"windowTitel\" (did you mean "
        "\"windowTitle\"?)"}},
      {"a key like no other", {{"init/game.xtx", "zqxwvy,1\r\n"}},
       {"GAME/init/game.xtx:1: error: the engine reads no key \"zqxwvy\""}},
      {"a blank in a value",
       {{"init/mainControl.xtx", "windowTitle,The Lighthouse\r\nwindowSizeX,800\r\n"}},
       {"GAME/init/mainControl.xtx:1: error: the value of \"windowTitle\" ends at a blank or comma: the game "
        "reads \"The\" and takes \"Lighthouse\" for keys and values of their own, which puts every later key "
        "in the place of a value" + cut}},
      {"two blanks in a value", {{"init/mainControl.xtx", "windowTitle,The Old Lighthouse\r\n"}},
       {"GAME/init/mainControl.xtx:1: error: the value of \"windowTitle\" ends at a blank or comma: the game "
        "reads \"The\" and takes \"Old Lighthouse\" for keys and values of their own" + cut}},
      {"a key without a value", {{"init/game.xtx", "noSceneListFlag\r\ndwqPackLevel,1\r\n"}},
       {"GAME/init/game.xtx:1: error: \"noSceneListFlag\" has no value, so the game takes the next word of "
        "the list for its value and every later key for a value; write \"noSceneListFlag,VALUE\" (or "
        "\"noSceneListFlag,\" for an empty value)"}},
      {"the last key without a value", {{"init/game.xtx", "dwqPackLevel,1\r\nnoSceneListFlag\r\n"}},
       {"GAME/init/game.xtx:2: error: \"noSceneListFlag\" has no value; write \"noSceneListFlag,VALUE\" (or "
        "\"noSceneListFlag,\" for an empty value)"}},
      {"a key set twice", {{"init/game.xtx", "dwqPackLevel,1\r\nDWQPACKLEVEL,0\r\n"}},
       {"GAME/init/game.xtx:2: warning: \"DWQPACKLEVEL\" is set again; the game reads only its first value, "
        "on line 1"}},
      {"a word over 127 bytes", {{"init/game.xtx", "dwqPackLevel,1\r\nwindowTitle," + std::string(128, 'x')}},
       {"GAME/init/game.xtx:2: error: a word longer than 127 bytes: the game stops reading the list before it"}},
      {"the source file is named where there is one",
       {{"init/game.xtx", "dwqPackLevl,1\r\n"}, {"init/title.xtx", "filenameBK,title\r\n"}},
       {"SRC/init/game.txt:1: error: the engine reads no key \"dwqPackLevl\" (did you mean \"dwqPackLevel\"?)",
        "GAME/init/title.xtx:1: error: the engine reads no key \"filenameBK\" (did you mean \"filenameBG\"?)"},
       {{"init/game.txt", "dwqPackLevl,1\n"}}},
      {"init2 lists are read inverted and take the place of init ones",
       {{"init/game.xtx", "zqxwvy,1\r\n"}, {"init2/game.fxf", std::string("dwqPackLevl,1\r\n")}},
       {"GAME/init2/game.fxf:1: error: the engine reads no key \"dwqPackLevl\" (did you mean "
        "\"dwqPackLevel\"?)"}},
      {"a list the engine does not ask for", {{"init/titel.xtx", "filenameBG,title\r\n"}},
       {"GAME/init/titel.xtx: warning: the engine reads no settings list named \"titel\" (did you mean "
        "\"title\"?); its keys are checked all the same"}},
      {"data lists are not settings lists",
       {{"spt/bgmlist.xtx", "music,The Song\r\n"}, {"mok/systemse.xtx", "a b c\r\n"}}, {}},
  };
  for (const Case& c : cases) {
    Files files = c.files;
    for (auto& [rel, bytes] : files)
      if (rel.ends_with(".fxf"))
        for (char& b : bytes) b = static_cast<char>(~static_cast<unsigned char>(b));
    EXPECT_EQ(Lint(files, c.sources), c.expected) << c.name;
  }
}

TEST(CheckListsTest, PicturesLargerThanTheScreen) {
  const std::string fit = "; pictures are drawn pixel for pixel, so the part beyond the screen shows only where "
                          "the game moves the picture (gallery scrolling, effects); \"zor-picture --fit ";
  // Default screen: 800 x 600; one pixel more either way is reported.
  EXPECT_EQ(Lint({{"dwq/bg/bg01.dwq", Picture(800, 600)},
                   {"dwq/bg/bg02.dwq", Picture(801, 10)},
                   {"dwq/ev/ev01.dwq", Picture(10, 601)}}),
            (std::vector<std::string>{
                "GAME/dwq/bg/bg02.dwq: warning: the picture is 801 x 10, larger than the 800 x 600 screen" + fit +
                    "800x600\" makes it fit",
                "GAME/dwq/ev/ev01.dwq: warning: the picture is 10 x 601, larger than the 800 x 600 screen" + fit +
                    "800x600\" makes it fit"}));
  // The screen is the window's size from "mainControl".
  EXPECT_EQ(Lint({{"init/mainControl.xtx", "windowSizeX,1024\r\nwindowSizeY,768\r\n"},
                   {"dwq/bg/bg01.dwq", Picture(1024, 768)},
                   {"dwq/bg/bg02.dwq", Picture(1025, 100)}}),
            (std::vector<std::string>{"GAME/dwq/bg/bg02.dwq: warning: the picture is 1025 x 100, larger than the "
                                      "1024 x 768 screen" + fit + "1024x768\" makes it fit"}));
  // dwq/sys holds sheets cut into cells (button looks, cards, glyphs).
  EXPECT_EQ(Lint({{"dwq/sys/t_start.dwq", Picture(1600, 40)}}), std::vector<std::string>{});
  EXPECT_EQ(Lint({{"dwq/ev/broken.dwq", "DWQ"}}),
            (std::vector<std::string>{"GAME/dwq/ev/broken.dwq: error: the picture is shorter than a picture "
                                      "file's 64-byte header; the game cannot load it"}));

  // Pictures in a pack volume, named by their entry.
  std::vector<packtool::Entry> entries;
  for (const auto& [name, w, h] : {std::tuple{"bg01", 800, 600}, std::tuple{"bg02", 900, 600}}) {
    const std::string bytes = Picture(w, h);
    entries.push_back({name, std::vector<uint8_t>(bytes.begin(), bytes.end())});
  }
  std::vector<uint8_t> index, data;
  std::string error;
  ASSERT_TRUE(packtool::MakeVolume(entries, &index, &data, &error)) << error;
  EXPECT_EQ(Lint({{"dwq/bg0.gtb", std::string(index.begin(), index.end())},
                   {"dwq/bg0.gpk", std::string(data.begin(), data.end())}}),
            (std::vector<std::string>{"GAME/dwq/bg0.gpk: warning: the picture \"bg02\" is 900 x 600, larger than "
                                      "the 800 x 600 screen" + fit + "800x600\" makes it fit"}));
  const std::vector<std::string> orphan = Lint({{"dwq/bg0.gtb", std::string(index.begin(), index.end())}});
  EXPECT_EQ(orphan, (std::vector<std::string>{"GAME/dwq/bg0.gtb: error: the pack index has no data file bg0.gpk "
                                              "beside it; the game reads none of its pictures"}));
  const std::vector<std::string> damaged = Lint({{"dwq/bg0.gtb", "\xFF\xFF\xFF\xFF"}, {"dwq/bg0.gpk", "x"}});
  ASSERT_EQ(damaged.size(), 1u);
  EXPECT_TRUE(damaged[0].starts_with("GAME/dwq/bg0.gtb: error: the pack index is damaged (")) << damaged[0];
}

// Every picture, sound and music file is read by the engine's own readers;
// what a reader refuses is an error with the reader's reason.
// A voice file and a music file of 0.4 s of silence.
struct Sounds {
  std::string voice, music;
};
Sounds MakeSounds() {
  platform::WavData wav;
  wav.format = {2, 44100, 16};
  wav.pcm.assign(44100 * 4 / 10, 0);
  const std::vector<uint8_t> voice = soundtool::MakePcmVoice(wav);
  std::vector<uint8_t> music;
  std::string error;
  EXPECT_TRUE(soundtool::MakeMusicFile(wav, 0.1f, &music, &error)) << error;
  return {std::string(voice.begin(), voice.end()), std::string(music.begin(), music.end())};
}

TEST(CheckFilesTest, FilesTheReadersRefuse) {
  platform::InstallHeadless().SetBoxEcho(false);
  const auto [voice, music] = MakeSounds();
  const std::string picture = Picture(40, 30);
  // MP3 bytes as a player's file starts: an ID3 tag, then frames.
  const std::string mp3 = std::string("ID3\x03\0\0\0\0\0\0", 10) + std::string(4000, '\xFF');

  struct Case {
    const char* name;
    Files files;
    std::vector<std::string> expected;
  };
  const std::string noPicture = "; it shows an error box and draws nothing in its place";
  const Case cases[] = {
      {"whole files",
       {{"dwq/bg/bg01.dwq", picture}, {"dwq/sys/ta_meswin.dwq", picture}, {"vaw/se/door.vaw", voice},
        {"cdvaw/mi/mi01.vaw", voice}, {"wgq/bgm01.wgq", music}},
       {}},
      {"a picture cut after its header", {{"dwq/bg/bg01.dwq", picture.substr(0, 64)}},
       {"GAME/dwq/bg/bg01.dwq: error: the game cannot load this picture: the bitmap headers are cut short" + noPicture}},
      {"a picture cut in its rows", {{"dwq/sys/ta_meswin.dwq", picture.substr(0, picture.size() / 2)}},
       {"GAME/dwq/sys/ta_meswin.dwq: error: the game cannot load this picture: the rows run past the end of the "
        "file" + noPicture}},
      {"a folder where a file belongs", {{"dwq/bg/bg01.dwq/x", ""}, {"init/title.xtx/x", ""}},
       {"GAME/dwq/bg/bg01.dwq: error: is a folder where the game reads a file of that name; the game cannot read "
        "it",
        "GAME/init/title.xtx: error: is a folder where the game reads a file of that name; the game cannot read "
        "it"}},
      {"MP3 bytes under a voice's name", {{"cdvaw/mi/mi01.vaw", mp3}},
       {"GAME/cdvaw/mi/mi01.vaw: error: the game cannot play this sound: it is not a voice file made by the "
        "sound tool (it is an MP3 file): make it with `zor-sound voice`; nothing plays"}},
      {"a cut sound", {{"vaw/se/door.vaw", voice.substr(0, 30)}},
       {"GAME/vaw/se/door.vaw: error: the game cannot play this sound: shorter than its 84-byte header; nothing "
        "plays"}},
      {"MP3 bytes under a music file's name", {{"wgq/bgm01.wgq", mp3}},
       {"GAME/wgq/bgm01.wgq: error: the game cannot play this music: it is too short for an Ogg stream; no music plays"}},
      {"a music file cut in its headers", {{"wgq/bgm01.wgq", music.substr(0, 200)}},
       {"GAME/wgq/bgm01.wgq: error: the game cannot play this music: it ends before its Vorbis headers do; no "
        "music plays"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lint(c.files, {}, gamecheck::CheckFiles), c.expected) << c.name;

  // A picture too short for its header, system pictures included.
  EXPECT_EQ(Lint({{"dwq/sys/ta_meswin.dwq", ""}}),
            (std::vector<std::string>{"GAME/dwq/sys/ta_meswin.dwq: error: the picture is shorter than a picture "
                                      "file's 64-byte header; the game cannot load it"}));
}

// Pictures inside the pack volumes the game reads, voices inside voice
// packs and music lists go through the same readers as loose files.
TEST(CheckFilesTest, PacksAndMusicListsTheReadersRefuse) {
  platform::InstallHeadless().SetBoxEcho(false);
  const auto [voiceFile, music] = MakeSounds();
  const std::vector<uint8_t> voice(voiceFile.begin(), voiceFile.end());
  std::string error;
  const std::string picture = Picture(40, 30);

  // Volume bg0 (bg01 whole, bg02 cut in its rows) and a later bg1 whose
  // whole bg02 serves the name instead.
  auto volume = [&](std::vector<std::pair<std::string, std::string>> pictures) {
    std::vector<packtool::Entry> entries;
    for (const auto& [name, bytes] : pictures) entries.push_back({name, std::vector<uint8_t>(bytes.begin(), bytes.end())});
    std::vector<uint8_t> index, data;
    EXPECT_TRUE(packtool::MakeVolume(entries, &index, &data, &error)) << error;
    return std::pair{std::string(index.begin(), index.end()), std::string(data.begin(), data.end())};
  };
  const auto [bg0, bg0Data] = volume({{"bg01", picture}, {"bg02", picture.substr(0, picture.size() / 2)}});
  const auto [bg1, bg1Data] = volume({{"bg02", picture}});
  std::vector<uint8_t> pack, index;
  ASSERT_TRUE(soundtool::MakeVoicePack({{"mi01", voice}, {"mi02", std::vector<uint8_t>(voice.begin(), voice.begin() + 40)}},
                                       &pack, &index, &error)) << error;
  const std::string vpk(pack.begin(), pack.end()), vtb(index.begin(), index.end());
  const std::string level1 = "dwqPackLevel,1\r\n", level2 = "dwqPackLevel,2\r\n";

  struct Case {
    const char* name;
    Files files;
    std::vector<std::string> expected;
  };
  const std::string cut = "GAME/dwq/bg0.gpk: error: the game cannot load the picture \"bg02\" of this pack: the rows "
                          "run past the end of the file; it shows an error box and draws nothing in its place";
  const Case cases[] = {
      {"a picture cut inside a volume the game reads",
       {{"init/game.xtx", level1}, {"dwq/bg0.gtb", bg0}, {"dwq/bg0.gpk", bg0Data}}, {cut}},
      {"the same volume at pack level 0: the game never reads it", {{"dwq/bg0.gtb", bg0}, {"dwq/bg0.gpk", bg0Data}}, {}},
      {"a later volume serves the name with a whole picture",
       {{"init/game.xtx", level2}, {"dwq/bg0.gtb", bg0}, {"dwq/bg0.gpk", bg0Data}, {"dwq/bg1.gtb", bg1},
        {"dwq/bg1.gpk", bg1Data}},
       {}},
      {"a loose copy of a packed name is not what the game reads",
       {{"init/game.xtx", level1}, {"dwq/bg0.gtb", bg0}, {"dwq/bg0.gpk", bg0Data}, {"dwq/bg/bg02.dwq", picture}},
       {cut}},
      {"a voice cut inside its pack", {{"cdvaw/mi.vtb", vtb}, {"cdvaw/mi.vpk", vpk}},
       {"GAME/cdvaw/mi.vpk: error: the voice \"mi02\": shorter than its 84-byte header; the sound is not played"}},
      {"a voice pack cut short", {{"cdvaw/mi.vtb", vtb}, {"cdvaw/mi.vpk", vpk.substr(0, 100)}},
       {"GAME/cdvaw/mi.vpk: error: the entry mi01 (bytes 0.." + std::to_string(voice.size()) +
            ") lies outside the pack of 100 bytes",
        "GAME/cdvaw/mi.vpk: error: the entry mi02 (bytes " + std::to_string(voice.size()) + ".." +
            std::to_string(voice.size() + 40) + ") lies outside the pack of 100 bytes"}},
      {"a voice index of broken records", {{"cdvaw/mi.vtb", vtb + "x"}, {"cdvaw/mi.vpk", vpk}},
       {"GAME/cdvaw/mi.vtb: error: 37 bytes is not a whole number of 12-byte records; the index is broken",
        "GAME/cdvaw/mi.vpk: error: the voice \"mi02\": shorter than its 84-byte header; the sound is not played"}},
      {"a voice index without its pack", {{"cdvaw/mi.vtb", vtb}},
       {"GAME/cdvaw/mi.vtb: error: its data file mi.vpk is missing; the game finds none of its 2 voices there"}},
      {"a music list of whole files", {{"wgq/a.wgq", music}, {"wgq/loop.mml", "a [2:a] [a]"}}, {}},
      {"a music list that cannot play", {{"wgq/a.wgq", music}, {"wgq/loop.mml", "a [2:]"}},
       {"GAME/wgq/loop.mml: error: the list names nothing that can play; the music is not played"}},
      {"a music list naming music the game lacks", {{"wgq/a.wgq", music}, {"wgq/loop.mml", "a [2:b a] b"}},
       {"GAME/wgq/loop.mml: error: names the music \"b\", which is not in wgq (looked for wgq/b.wgq); that part "
        "of the list plays nothing"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Lint(c.files, {}, gamecheck::CheckFiles), c.expected) << c.name;
}

// zor-check's command line: its status and what it prints.
struct CheckRun {
  int status;
  std::string output;
};

CheckRun RunCheck(const std::string& arguments) {
  const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-check " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  CheckRun run{-1, ""};
  if (!pipe) return run;
  char buffer[512];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(ZorCheckTest, StatusAndMessages) {
  testsupport::TempDir dir;
  const std::string game = dir.path();
  const CheckRun usage = RunCheck("");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.output, "usage: zor-check GAME_DIR [--source SOURCE_DIR]\n");
  EXPECT_EQ(RunCheck(game + " " + game).status, 2);
  EXPECT_EQ(RunCheck(game + " --source").status, 2);

  const CheckRun missing = RunCheck(game + "/nothing");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.output, game + "/nothing: error: no such folder\n");

  dir.Write("init/game.xtx", "");
  const CheckRun noProject = RunCheck(game);
  EXPECT_EQ(noProject.status, 1);
  EXPECT_EQ(noProject.output, game + ": error: not a game folder: it has no spt/project.xtx (a game folder holds "
                                     "init/ and spt/project.xtx)\n");

  dir.Write("spt/project.xtx", "sys\r\n");
  dir.Write("spt/sys.spt", zasm::Assemble("  exitscript\n").FileBytes());
  dir.Write("init/mainControl.xtx", "windowTitle,Game\r\n");
  const CheckRun clean = RunCheck(game);
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.output, "");

  dir.Write("init/mainControl.xtx", "windowTitle,Game\r\nwindowSizeQ,800\r\n");
  const CheckRun mistake = RunCheck(game);
  EXPECT_EQ(mistake.status, 1);
  EXPECT_EQ(mistake.output, game + "/init/mainControl.xtx:2: error: the engine reads no key \"windowSizeQ\" (did "
                                   "you mean \"windowSizeX\"?)\n");
  const CheckRun noSources = RunCheck(game + " --source " + game + "/nothing");
  EXPECT_EQ(noSources.status, 1);
  EXPECT_EQ(noSources.output, game + "/nothing: error: no such folder (the sources given with --source)\n");
}

}  // namespace
