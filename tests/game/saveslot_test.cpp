// Save slots end to end: a game saves, peeks and loads back through
// CCommonDataFile; damaged and foreign slot files are refused untouched.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/framepart.h"
#include "game/game.h"
#include "game/keyflagtable.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "modebase/modenames.h"
#include "message/textstate.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "savedata/gamestatus.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "tools/asm/assembler.h"
#include "support/large_file.h"
#include "support/text.h"

namespace game_test {
namespace {

using testsupport::Sjis;

// What the title's own EXT entries and save header are in a test.
struct SlotExt {
  std::vector<int> sizes;
  std::vector<std::string> seen;
  std::string headerName = "SAVEDATA";
};

// The title's EXT entries of `ext`'s sizes (each filled with 0x40 + its
// index; what a load hands back is noted) and its save header name.
class SlotSaves : public CSavePart {
 public:
  SlotSaves(GameParts& parts, SlotExt* ext) : CSavePart(LinksOf<CSavePart>(parts)), ext_(ext) {}
  int GetExtSaveDataCount() override { return static_cast<int>(ext_->sizes.size()); }
  int GetExtSaveDataSize(int i) override {
    return i >= 0 && i < static_cast<int>(ext_->sizes.size()) ? ext_->sizes[static_cast<size_t>(i)] : 0;
  }
  void PutExtSaveData(uint8_t* body, size_t size, int i) override {
    if (size) std::memset(body, 0x40 + i, size);
  }
  void GetExtSaveData(const uint8_t* body, size_t size, int i) override {
    ext_->seen.push_back(std::to_string(i) + ":" + std::to_string(size) + ":" +
                         (size ? std::to_string(body[0]) : "-"));
  }
  const char* GetSaveHeaderName() override { return ext_->headerName.c_str(); }

 private:
  SlotExt* ext_;
};

class SlotGame : public CGame {
 public:
  SlotGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, 800, 600, 32) {
    Parts().saves = std::make_unique<SlotSaves>(Parts(), &ext);
  }
  // The destroy step while the EXT entries stand.
  ~SlotGame() override { ReleaseAll(); }
  std::unique_ptr<CCommonGeneral> MakeMode(int) override { return nullptr; }
  CScript* Script(int i) const { return Scripts().GetScript(i); }
  CGameVariables* Variables() const { return Vars().GetVariables(); }
  void SetLevel(int level) { Scripts().SetScriptLevel(level); }
  int ScriptLevel() const { return Scripts().GetScriptLevel(); }
  CAllEffect* Effects() const { return Screen().GetEffect(); }
  void SetPictureName(int ch, const std::string& name) {
    char* kept = Screen().GetEffectPictureName(ch);
    std::memset(kept, 0, CScreenPart::kEffectNameSize);
    std::memcpy(kept, name.data(), std::min<size_t>(name.size(), 255));
  }
  // The print-message mode's return mode, as PrepareSystemMode sets it.
  void SetReturn(int mode) { Modes().SetReturnMode(mode); }

  SlotExt ext;
};

int32_t Word(const std::string& bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return static_cast<int32_t>(v);
}
void PutWord(std::string* bytes, size_t offset, int32_t value) {
  for (int i = 0; i < 4; ++i)
    (*bytes)[offset + i] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
}

struct ChunkInfo {
  int size, type;
  std::string name;
};
std::vector<ChunkInfo> Chunks(const std::string& file) {
  std::vector<ChunkInfo> out;
  for (size_t at = 0; at + 32 <= file.size();) {
    const int size = Word(file, at);
    out.push_back({size, Word(file, at + 4), std::string(file.c_str() + at + 16)});
    if (size < 32) break;
    at += static_cast<size_t>(size);
  }
  return out;
}

// The story: level 0 calls a sub-routine that calls another; a text
// inside, and a later build of the same story with records inserted. The
// system call and the script call after the end only fill their tables
// with entry 0.
const char* const kStory = R"(.header 32
var r 100
  text "one"
  call outer
  text "after"
  endgame
  syscall 1
  callscript "sub"
outer:
  call inner
  return
inner:
  text "deep"
  r += 1
  return
)";
const char* const kStoryLater = R"(.header 32
var r 100
  nop
  text "zero"
  nop
  text "one"
  call outer
  text "after"
  endgame
outer:
  nop
  call inner
  return
inner:
  nop
  text "deep"
  r += 1
  return
)";

class SaveSlotTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ResetTextState();
    ResetSaveFolder();
    SetSaveFolder(nullptr, nullptr, 0);
    CreateSaveFolder();
    std::string vars;
    for (int i = 0; i < 120; ++i) vars += testsupport::Numbered("v", i) + "\r\n";
    vars += "year\r\ndate\r\n";
    for (char& c : vars) c = static_cast<char>(~c);
    dir_->Write("spt/var.fxf", vars);
    dir_->Write("spt/project.xtx", "story\r\nsub\r\n");
    dir_->Write("spt/bgmlist.xtx", "m1,Title\r\nm2,Theme\r\n");
  }
  void TearDown() override {
    game_.reset();
    ResetTextState();
    ResetSaveFolder();
    GameTest::TearDown();
  }
  SlotGame& Make(const Pairs& list = {}) {
    WriteList("game", list);
    game_ = std::make_unique<SlotGame>(window_, &systemFile_);
    game_->Init();
    host_->ClearBoxes();
    return *game_;
  }
  std::string SlotBytes(int slot) const {
    return dir_->Read("sav/data" + std::to_string(slot) + ".sav");
  }
  void WriteSlot(int slot, const std::string& bytes) const {
    dir_->Write("sav/data" + std::to_string(slot) + ".sav", bytes);
  }
  // Writes the assembled source as "spt/<name>.spt".
  void WriteScript(const char* source, const std::string& name = "sys") const {
    const zasm::Assembly assembly = zasm::Assemble(source);
    ASSERT_TRUE(assembly.ok()) << assembly.ErrorText();
    dir_->Write("spt/" + name + ".spt", assembly.FileBytes());
  }
  // A newer program with a later build of the story loads slot 1, saved in
  // `mode`: the story stands where `find` puts a fresh copy of that build.
  void ExpectResumeInLaterBuild(const char* later, int mode,
                                const std::function<int(CScript&)>& find) {
    game_.reset();
    WriteScript(later);
    SlotGame& newer = Make({{"highVersion", "1"}, {"lowVersion", "1"}});
    CCommonDataFile slot(newer.Roles());
    ASSERT_EQ(slot.Peek(1), 1);
    EXPECT_EQ(slot.CheckVersion(), 0);
    ASSERT_EQ(slot.Load(1), mode);
    CScript expect(&newer);
    ASSERT_EQ(expect.Load("spt\\sys.spt"), 1);
    ASSERT_EQ(find(expect), 1);
    EXPECT_EQ(newer.Script(0)->GetPC(), expect.GetPC());
  }

  CCommonSystemFile systemFile_;
  std::unique_ptr<SlotGame> game_;
};

TEST_F(SaveSlotTest, PlainGameWritesEightChunksInOrder) {
  SlotGame& game = Make();
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(1), 0);
  const std::string file = SlotBytes(1);
  EXPECT_EQ(file.size(), 101120u);
  const std::vector<ChunkInfo> expected = {
      {32, 0, "SAVEDATA"},   {64, 1, "INFO"},          {7088, 2, "GAMESTATUS"},
      {52848, 3, "MINICG"},  {4128, 4, "GAMEVAR"},     {16416, 5, "EFFECT"},
      {4128, 6, "EFFECTFILENAME"}, {16416, 7, "MESSAGE"}};
  const std::vector<ChunkInfo> chunks = Chunks(file);
  ASSERT_EQ(chunks.size(), expected.size());
  for (size_t i = 0; i < chunks.size(); ++i) {
    EXPECT_EQ(chunks[i].size, expected[i].size) << i;
    EXPECT_EQ(chunks[i].type, expected[i].type) << i;
    EXPECT_EQ(chunks[i].name, expected[i].name) << i;
  }
  EXPECT_EQ(Word(file, 32 + 32), 8);   // chunks
  EXPECT_EQ(Word(file, 32 + 40), 0);   // EXT
  EXPECT_EQ(Word(file, 32 + 44), 0);   // OMAKECLASS
  EXPECT_EQ(Word(file, 32 + 48), 0);   // CUTIN
  EXPECT_EQ(Word(file, 96 + 84), 1);   // the counter of a zeroed record
  EXPECT_EQ(Word(file, 7184 + 32), 132);
  EXPECT_EQ(Word(file, 7184 + 36), 100);
  ASSERT_EQ(slot.Peek(1), 1);
  EXPECT_EQ(slot.HasData(), 1);
  EXPECT_EQ(slot.Load(1), game.Modes().GetReturnMode());
}

TEST_F(SaveSlotTest, FullGameAddsKeyedTableCutinAndExtChunks) {
  SlotGame& game = Make({{"useExtClass", "1"}, {"useCutinFlag", "1"}, {"highVersion", "1"}});
  ASSERT_NE(game.Saves().GetExtDataValue(), 0);
  game.ext.sizes = {100, 0};
  game.ext.headerName = "ABCDEFGHIJKLMNOPQRST";  // 20 characters
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(2), 0);
  const std::string file = SlotBytes(2);
  const std::vector<ChunkInfo> chunks = Chunks(file);
  ASSERT_EQ(chunks.size(), 12u);
  EXPECT_EQ(chunks[0].name, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(file[16 + 15], 0);
  EXPECT_EQ(chunks[8].type, 8);
  EXPECT_EQ(chunks[8].name, "OMAKECLASS");
  EXPECT_EQ(chunks[8].size, 12832);
  EXPECT_EQ(chunks[9].type, 9);
  EXPECT_EQ(chunks[9].name, "CUTIN");
  EXPECT_EQ(chunks[9].size, 1056);
  EXPECT_EQ(chunks[10].type, 100);
  EXPECT_EQ(chunks[10].name, "EXT1");
  EXPECT_EQ(chunks[10].size, 132);
  EXPECT_EQ(chunks[11].type, 101);
  EXPECT_EQ(chunks[11].name, "EXT2");
  EXPECT_EQ(chunks[11].size, 32);
  EXPECT_EQ(Word(file, 32 + 32), 12);
  EXPECT_EQ(Word(file, 32 + 36), 0x10000);
  EXPECT_EQ(Word(file, 32 + 40), 2);
  EXPECT_EQ(Word(file, 32 + 44), 1);
  EXPECT_EQ(Word(file, 32 + 48), 1);

  // The EXT count and sizes come from the file, whatever the game says now.
  game.ext.sizes = {4};
  ASSERT_EQ(slot.Peek(2), 1);
  ASSERT_GE(slot.Load(2), 0);
  EXPECT_EQ(game.ext.seen, (std::vector<std::string>{"0:100:64", "1:0:-"}));
}

TEST_F(SaveSlotTest, SavePeekLoadRoundTrip) {
  SlotGame& game = Make({{"useExtClass", "1"}, {"seiInitData", "x"}});
  for (int i = 0; i < 1000; ++i) game.Variables()->SetVar(i, i * 3 + 1);
  game.Vars().SetNames(Sjis("山田").c_str(), Sjis("花子").c_str());
  game.Modes().GetKeyFlagTable()->Insert(3, 7, 0x6, 0);
  game.Saves().SetSaveComment(Sjis("第一章").c_str(), 1);
  game.Saves().SetSaveComment(std::string(300, 'c').c_str(), 2);
  game.Screen().SetLayerDisableMask(0x8001);
  game.Frames().SetFrameTime(40);
  game.Sound().PlayBgmNumber(1, 2, -9999, -1, -1);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  ASSERT_NE(screen, nullptr);
  std::fill(screen, screen + 800 * 600, 0x00808080u);
  game.Saves().MakeMiniCG();
  game.Saves().KeepGameState();
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(3), 0);

  // Change everything, then load.
  for (int i = 0; i < 1000; ++i) game.Variables()->SetVar(i, -5);
  game.Vars().SetNames("a", "b");
  game.Modes().GetKeyFlagTable()->ClearAll();
  game.Screen().SetLayerDisableMask(0);
  game.Frames().SetFrameTime(50);
  game.Sound().StopBgm(-1);

  ASSERT_EQ(slot.Peek(3), 1);
  EXPECT_EQ(slot.GetThumbnailWidth(), 132);
  ASSERT_EQ(slot.GetThumbnail().size(), 13200u);
  EXPECT_EQ(slot.GetThumbnail()[0], 0x007F7F7Fu);
  EXPECT_EQ(std::string(slot.GetStatusText(1)), Sjis("第一章"));
  EXPECT_EQ(std::string(slot.GetStatusText(2)), std::string(254, 'c'));
  EXPECT_STREQ(slot.GetStatusText(7), "");
  EXPECT_EQ(slot.GetSavedMode(), 10);
  EXPECT_EQ(Word(std::string(reinterpret_cast<const char*>(slot.GetPeekedStatus()), 7088), 84),
            1);
  ASSERT_EQ(slot.Load(3), 10);
  EXPECT_EQ(game.Variables()->GetVar(0), 1);
  EXPECT_EQ(game.Variables()->GetVar(199), 598);
  EXPECT_EQ(game.Variables()->GetVar(200), -5);  // system data's, kept
  EXPECT_EQ(game.Variables()->GetVar(299), -5);
  EXPECT_EQ(game.Variables()->GetVar(300), 901);
  EXPECT_EQ(game.Variables()->GetVar(999), 2998);
  EXPECT_EQ(std::string(game.Vars().GetFamilyName()), Sjis("山田"));
  EXPECT_EQ(std::string(GetTextState().givenName), Sjis("花子"));
  EXPECT_EQ(game.Modes().GetKeyFlagTable()->Find(3, 7), 0);
  EXPECT_EQ(game.Screen().GetLayerDisableMask(), 0x8001);
  EXPECT_EQ(game.GetFrameTime(), 40);
  EXPECT_EQ(game.Sound().GetBgmNumber(), 1);
  EXPECT_EQ(game.Saves().GetLoadedVersion(), game.Saves().GetVersion());

  // A second save counts on from what the loaded game carried.
  std::string file = SlotBytes(3);
  PutWord(&file, 96 + 84, 41);
  WriteSlot(3, file);
  ASSERT_EQ(slot.Peek(3), 1);
  EXPECT_EQ(Word(std::string(reinterpret_cast<const char*>(slot.GetPeekedStatus()), 7088), 84),
            41);
}

// A slot of each kind these tests write loads into a fresh game and saves
// back to the same bytes: every word of every chunk goes back to where it
// was read from. The thumbnail, the comment and the save time are the new
// save's own.
TEST_F(SaveSlotTest, ALoadedSlotSavesBackToTheSameBytes) {
  const Pairs full = {{"useExtClass", "1"}, {"useCutinFlag", "1"}, {"highVersion", "1"}};
  const struct {
    const char* what;
    Pairs list;
    std::vector<int> ext;
    std::function<void(SlotGame&)> play;
    // GAMESTATUS words the play must have put in the slot: one or more of
    // each part's share.
    std::vector<std::pair<int, int>> words;
  } cases[] = {
      {"a fresh game", {}, {}, [](SlotGame&) {}, {}},
      {"a played game", full, {40, 0},
       [](SlotGame& game) {
         // 200..299 are the system data's, not the slot's.
         for (int i = 0; i < 1000; ++i)
           if (i < 200 || i >= 300) game.Variables()->SetVar(i, i * 7 - 300);
         game.Vars().SetNames(Sjis("山田").c_str(), Sjis("花子").c_str());
         game.Modes().GetKeyFlagTable()->Insert(3, 7, 0x6, 0);
         game.Screen().SetLayerDisableMask(0x8001);
         game.Frames().SetFrameTime(40);
         game.Sound().PlayBgmNumber(1, 2, -9999, -1, -1);
         std::strcpy(game.Sound().GetScriptSounds().voiceNames[2], "v0102");
         EffectChannel* channel = game.Effects()->GetChannel(5);
         for (int i = 0; i < EffectChannel::kInts; ++i) channel->v[i] = 0;
         channel->v[1] = 77;
         game.SetPictureName(5, "bg\\sky");
         game.Scripts().Pictures().holdFlags[5] = 0x1234;
         game.Scripts().Pictures().costumeMask = 0x5;
         game.MessageWindow().SetWindowNumberScript(3);
         game.MessageWindow().SetProhibitWords(1, 2, 1);
         game.MessageWindow().Words().messageKey = 6;
         game.Floating().SetCursorNumberScript(2);
         game.Floating().SetMouseNumberScript(1);
         game.Vars().SetScriptWord(9);
       },
       {{gamestatus::kScriptWord, 9}, {gamestatus::kLayerMask, 0x8001},
        {gamestatus::kFrameTime, 40}, {gamestatus::kMusic, 1},
        {gamestatus::kCostumeMask, 5}, {gamestatus::kWindowDesign, 3}, {gamestatus::kAutoMessageCheck, 1},
        {gamestatus::kMessageSwitchWord, 2}, {gamestatus::kMessageKey, 6}, {gamestatus::kCursorDesign, 2},
        {gamestatus::kMouseDesign, 1}, {gamestatus::kReturnMode, 10}}},
      {"a story two calls down", {{"highVersion", "1"}}, {},
       [](SlotGame& game) {
         game.Script(0)->Run();
         game.Script(0)->Run();
         game.MessageWindow().Words().messageKey = 2;
       },
       {{gamestatus::kResumeTables, 1}, {gamestatus::kCallDepths, 2}}},
  };
  WriteScript(kStory);
  // The thumbnail and the comment are the save's own, made again each time.
  const auto save = [](SlotGame& game, int slot) {
    game.Saves().SetSaveComment(Sjis("第一章").c_str(), 1);
    std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 800 * 600, 0x00406080u);
    game.Saves().MakeMiniCG();
    game.Saves().KeepGameState();
    CCommonDataFile writer(game.Roles());
    return writer.Save(slot);
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SlotGame& first = Make(c.list);
    first.ext.sizes = c.ext;
    c.play(first);
    ASSERT_EQ(save(first, 1), 0);
    const std::string saved = SlotBytes(1);
    for (const auto& [word, value] : c.words)
      EXPECT_EQ(Word(saved, 96 + 4 * static_cast<size_t>(word)), value) << "word " << word;
    game_.reset();
    SlotGame& second = Make(c.list);
    second.ext.sizes = c.ext;
    {
      CCommonDataFile reader(second.Roles());
      ASSERT_GE(reader.Load(1), 0) << reader.GetRefusal();
    }
    EXPECT_TRUE(host_->Boxes().empty());
    ASSERT_EQ(save(second, 2), 0);
    std::string again = SlotBytes(2);
    ASSERT_EQ(again.size(), saved.size());
    // The save time: eight words behind the GAMESTATUS header.
    constexpr size_t kTime = 32 + 64 + 32;
    again.replace(kTime, 32, saved, kTime, 32);
    for (size_t at = 0; at < saved.size(); ++at)
      if (again[at] != saved[at]) {
        ADD_FAILURE() << "first difference at byte " << at;
        break;
      }
  }
}

// Effect channels travel byte for byte; their picture names are cut to
// 254 bytes, and a picture that does not load is named in a box.
TEST_F(SaveSlotTest, EffectChannelsAndPictureNames) {
  SlotGame& game = Make();
  ASSERT_NE(game.Effects(), nullptr);
  EffectChannel* channel = game.Effects()->GetChannel(3);
  ASSERT_NE(channel, nullptr);
  channel->v[0] = 1;
  channel->v[200] = 0x12345678;
  game.SetPictureName(3, "nosuchpicture");
  game.SetPictureName(4, std::string(300, 'p'));
  game.Saves().KeepGameState();
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(1), 0);
  const std::string file = SlotBytes(1);
  const size_t names = 7184 + 52848 + 4128 + 16416 + 32;
  EXPECT_EQ(file.substr(names + 256 * 4, 255), std::string(254, 'p') + '\0');
  EXPECT_EQ(file[names + 256 * 4 + 255], 0);

  channel->v[200] = 0;
  host_->ClearBoxes();
  ASSERT_EQ(slot.Peek(1), 1);
  ASSERT_GE(slot.Load(1), 0);
  EXPECT_EQ(game.Effects()->GetChannel(3)->v[200], 0x12345678);
  const auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "LOADDWQ ERROR");
  EXPECT_EQ(boxes[0].text, "nosuchpicture");
}

TEST_F(SaveSlotTest, LastSlotAndThumbnailSizes) {
  SlotGame& game = Make();
  EXPECT_EQ(game.Saves().SetLastSaveSlot(4), 5);
  EXPECT_EQ(game.Saves().GetLastSaveSlot(), 4);
  std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 800 * 600, 0x00102030u);
  game.Saves().MakeMiniCG();
  std::vector<uint32_t> out(20000, 0xAAAAAAAA);
  const struct {
    int type, w, h;
    size_t count;
  } cases[] = {{0, 0, 0, 4800}, {-2, 0, 0, 13200}, {-1, 10, 7, 70}, {5, 0, 0, 13200}};
  for (const auto& c : cases) {
    std::fill(out.begin(), out.end(), 0xAAAAAAAA);
    game.Saves().GetMiniCG(out.data(), c.type, c.w, c.h);
    EXPECT_EQ(out[c.count - 1], 0x000F1F2Fu) << c.type;  // the fast path, one below
    EXPECT_EQ(out[c.count], 0xAAAAAAAAu) << c.type;
  }
}

// "miniCGSizeX" and "miniCGSizeY" override the reduced size, also past the
// screen's (the thumbnail then repeats pixels, and a slot holds it); a side
// past what a slot may hold is refused on stderr.
TEST_F(SaveSlotTest, ThumbnailSizeKeys) {
  const std::string refused =
      "init\\game.xtx: \"miniCGSizeY\" is 5000, more than the 4096 pixels a save slot's thumbnail "
      "may have; it stays 100";
  const struct {
    Pairs keys;
    int width, height;
    std::vector<std::string> lines;
  } cases[] = {
      {{}, 132, 100, {}},
      {{{"miniCGReduce", "5"}}, 160, 120, {}},
      {{{"miniCGSizeX", "64"}, {"miniCGSizeY", "48"}}, 64, 48, {}},
      {{{"miniCGSizeX", "1000"}}, 1000, 100, {}},
      {{{"miniCGSizeY", "5000"}}, 132, 100, {refused}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.width);
    game_.reset();
    host_->ClearErrorLines();
    SlotGame& game = Make(c.keys);
    std::vector<std::string> lines;
    for (const std::string& line : host_->ErrorLines())
      if (line.rfind("init\\game.xtx", 0) == 0) lines.push_back(line);
    EXPECT_EQ(lines, c.lines);
    int w = 0, h = 0;
    game.Saves().GetMiniCGSize(&w, &h);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 800 * 600, 0x00406080u);
    game.Saves().MakeMiniCG();
    CCommonDataFile slot(game.Roles());
    ASSERT_EQ(slot.Save(3), 0);
    ASSERT_EQ(slot.Peek(3), 1) << slot.GetRefusal();
    EXPECT_EQ(slot.GetThumbnailWidth(), c.width);
    EXPECT_EQ(slot.GetThumbnailHeight(), c.height);
    ASSERT_FALSE(slot.GetThumbnail().empty());
    EXPECT_EQ(slot.GetThumbnail().back(), game.Saves().GetMiniCGPixels().back());
    EXPECT_NE(slot.GetThumbnail().back(), 0u);
  }
}

// The game's own EXT rows: automatic rows first, then the configured ones.
TEST_F(SaveSlotTest, ExtRowsCountAndSizes) {
  WriteList("game", {{"autoExtDataMode1", "config"},
                     {"extSaveDataNumber", "2"},
                     {"extSaveDataSize0", "12"},
                     {"extSaveDataSize1", "30"}});
  CGame game(window_, &systemFile_, 800, 600, 32);
  game.Init();
  host_->ClearBoxes();
  ASSERT_EQ(game.Saves().GetExtSaveDataCount(), 3);
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(0), 0);
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(2), 30);
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(-1), 0);
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(3), 0);
  game.Saves().SetAutoSaveDataByMode(modenames::GetModeNumber("config"), 64);
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(0), 64);
  game.Saves().SetAutoSaveDataBySubMode(1, 8);  // the second configured chunk
  EXPECT_EQ(game.Saves().GetExtSaveDataSize(2), 8);
  EXPECT_TRUE(host_->Boxes().empty());
  game.Saves().SetAutoSaveDataByMode(3, 10);
  game.Saves().SetAutoSaveDataBySubMode(5, 10);
  const auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text, Sjis("initに自動セーブデータが設定されていません:モード 3(") +
                               modenames::GetModeName(3) + ")");
  EXPECT_EQ(boxes[1].text, Sjis("initに自動セーブデータが設定されていません:サブモード 5"));
}

TEST_F(SaveSlotTest, AFailedSaveLeavesTheOldSlot) {
  SlotGame& game = Make();
  game.Variables()->SetVar(5, 55);
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(1), 0);
  const std::string before = SlotBytes(1);
  game.Variables()->SetVar(5, 66);
  platform::FailWholeFileWrites(1);
  EXPECT_EQ(slot.Save(1), -1);
  EXPECT_EQ(SlotBytes(1), before);
  ASSERT_EQ(slot.Peek(1), 1);
  ASSERT_GE(slot.Load(1), 0);
  EXPECT_EQ(game.Variables()->GetVar(5), 55);
}

// Each damage: the slot peeks as empty, does not load, and the game keeps
// its state.
TEST_F(SaveSlotTest, DamagedAndForeignSlotsAreRefused) {
  SlotGame& game = Make();
  CCommonDataFile writer(game.Roles());
  ASSERT_EQ(writer.Save(1), 0);
  const std::string good = SlotBytes(1);
  const size_t status = 96, miniCG = 7184;
  const struct {
    const char* what;
    std::function<void(std::string*)> damage;
  } cases[] = {
      {"empty", [](std::string* f) { f->clear(); }},
      {"cut in the header", [](std::string* f) { f->resize(20); }},
      {"cut in GAMESTATUS", [](std::string* f) { f->resize(3000); }},
      {"cut in the last chunk", [](std::string* f) { f->resize(f->size() - 1); }},
      {"foreign header name", [](std::string* f) { (*f)[16] = 'X'; }},
      {"INFO count wrong", [](std::string* f) { PutWord(f, 64, 9); }},
      {"size word below 32", [&](std::string* f) { PutWord(f, miniCG, 12); }},
      {"size word past the end", [&](std::string* f) { PutWord(f, miniCG, 1 << 30); }},
      {"thumbnail larger than its chunk", [&](std::string* f) { PutWord(f, miniCG + 32, 4000); }},
      {"thumbnail smaller than its chunk", [&](std::string* f) { PutWord(f, miniCG + 32, 131); }},
      {"GAMESTATUS longer than its size",
       [&](std::string* f) {
         PutWord(f, status, 7088 + 4);
         f->insert(status + 7088, 4, '\0');
       }},
      {"bytes after the last chunk", [](std::string* f) { f->append("abcd"); }},
      {"script level 7", [&](std::string* f) { PutWord(f, status + 4 * 24, 7); }},
      {"saved mode 300", [&](std::string* f) { PutWord(f, status + 80, 300); }},
      {"call depth 300", [&](std::string* f) { PutWord(f, status + 4 * 488, 300); }},
      {"script number outside the project list",
       [&](std::string* f) {
         PutWord(f, status + 4 * 24, 1);
         PutWord(f, status + 4 * 26, 9);
       }},
      {"music outside the list", [&](std::string* f) { PutWord(f, status + 4 * 36, 50); }},
      {"random bytes",
       [](std::string* f) {
         uint32_t s = 7;
         for (char& c : *f) c = static_cast<char>((s = s * 1103515245u + 12345u) >> 24);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string file = good;
    c.damage(&file);
    WriteSlot(1, file);
    game.Variables()->SetVar(7, 77);
    CCommonDataFile slot(game.Roles());
    EXPECT_EQ(slot.Peek(1), 0);
    EXPECT_EQ(slot.HasData(), 0);
    EXPECT_EQ(slot.IsLoadable(), 0);
    EXPECT_FALSE(slot.GetRefusal().empty());
    EXPECT_EQ(slot.Load(1), -1);
    EXPECT_EQ(game.Variables()->GetVar(7), 77);
  }
  CCommonDataFile missing(game.Roles());
  EXPECT_EQ(missing.Peek(9), 0);
  EXPECT_EQ(missing.Load(9), -1);
}

// What stands where a slot file should be: nothing, or a save folder that is
// a file, is an empty slot without a message; a folder (readable or not) and
// a file that cannot be read are damaged slots, each with its reason.
TEST_F(SaveSlotTest, WhatStandsInASlotsPlace) {
  SlotGame& game = Make();
  CCommonDataFile writer(game.Roles());
  ASSERT_EQ(writer.Save(1), 0);
  const std::string path = dir_->path() + "/sav/data1.sav";
  const bool root = ::geteuid() == 0;
  const struct {
    const char* what;
    std::function<void()> make;
    std::string refusal;
    int damaged;
  } cases[] = {
      {"nothing", [&] { std::filesystem::remove(path); }, "no file", 0},
      {"a folder",
       [&] {
         std::filesystem::remove(path);
         std::filesystem::create_directory(path);
       },
       "it is a folder", 1},
      {"an unreadable folder",
       [&] { std::filesystem::permissions(path, std::filesystem::perms::none); }, "it is a folder",
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    CCommonDataFile slot(game.Roles());
    EXPECT_EQ(slot.Peek(1), 0);
    EXPECT_EQ(slot.GetRefusal(), c.refusal);
    EXPECT_EQ(slot.IsDamaged(), c.damaged);
    EXPECT_EQ(slot.Load(1), -1);
  }
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  std::filesystem::remove(path);
  ASSERT_EQ(writer.Save(1), 0);
  if (!root) {
    // Permissions do not stop the superuser.
    std::filesystem::permissions(path, std::filesystem::perms::none);
    CCommonDataFile slot(game.Roles());
    EXPECT_EQ(slot.Peek(1), 0);
    EXPECT_EQ(slot.GetRefusal(), "the file cannot be read");
    EXPECT_EQ(slot.IsDamaged(), 1);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }
  // A slot whose folder is a file.
  std::filesystem::remove_all(dir_->path() + "/sav");
  { std::ofstream(dir_->path() + "/sav") << "x"; }
  CCommonDataFile slot(game.Roles());
  EXPECT_EQ(slot.Peek(1), 0);
  EXPECT_EQ(slot.GetRefusal(), "no file");
  std::filesystem::remove(dir_->path() + "/sav");
}

// A screen's slots peeked with one listing of the save folder come out as
// each peeked by its path: a sound file (in either letter case), no file, a
// folder in a slot's place; with no save folder the listing is not used.
TEST_F(SaveSlotTest, PeekingWithTheFolderListingAgreesWithPeekingByPath) {
  SlotGame& game = Make();
  CCommonDataFile writer(game.Roles());
  ASSERT_EQ(writer.Save(1), 0);
  ASSERT_EQ(writer.Save(2), 0);
  const std::string sav = dir_->path() + "/sav/";
  std::filesystem::rename(sav + "data2.sav", sav + "DATA2.SAV");
  std::filesystem::create_directory(sav + "data4.sav");
  auto expectSame = [&](const CCommonDataFile::FolderListing& listing, int slotNumber) {
    SCOPED_TRACE(slotNumber);
    CCommonDataFile byPath(game.Roles()), listed(game.Roles());
    const int expected = byPath.Peek(slotNumber);
    EXPECT_EQ(listed.Peek(slotNumber, listing), expected);
    EXPECT_EQ(listed.GetPeekedSlot(), byPath.GetPeekedSlot());
    EXPECT_EQ(listed.HasData(), byPath.HasData());
    EXPECT_EQ(listed.IsDamaged(), byPath.IsDamaged());
    EXPECT_EQ(listed.GetRefusal(), byPath.GetRefusal());
    EXPECT_EQ(std::memcmp(listed.GetPeekedStatus(), byPath.GetPeekedStatus(),
                          CCommonDataFile::kGameStatusSize),
              0);
    return expected;
  };
  const CCommonDataFile::FolderListing listing = CCommonDataFile::ListSaveFolder();
  EXPECT_FALSE(listing.empty());
  EXPECT_EQ(expectSame(listing, 1), 1);
  EXPECT_EQ(expectSame(listing, 2), 1);
  EXPECT_EQ(expectSame(listing, 3), 0);
  EXPECT_EQ(expectSame(listing, 4), 0);
  std::filesystem::remove_all(dir_->path() + "/sav");
  const CCommonDataFile::FolderListing none = CCommonDataFile::ListSaveFolder();
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(expectSame(none, 1), 0);
}

// A slot grown to 3 GiB, a sound one with a hole behind it or a hole alone,
// is refused as damaged after reading no more than its chunks; the reason
// says what was found.
TEST_F(SaveSlotTest, ASlotGrownToGigabytesIsRefusedUnread) {
  SlotGame& game = Make();
  CCommonDataFile writer(game.Roles());
  ASSERT_EQ(writer.Save(1), 0);
  const std::string good = SlotBytes(1);
  const std::string path = dir_->path() + "/sav/data1.sav";
  const struct {
    const char* what;
    std::string start;
    std::string reason;
  } cases[] = {
      {"a sound slot and a hole", good,
       std::to_string(testsupport::kThreeGiB - good.size()) + " bytes follow the last chunk"},
      {"only a hole", "", "the header chunk has a size of 0 with 3221225472 bytes left"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteSlot(1, c.start);
    testsupport::MakeSparse(path, testsupport::kThreeGiB);
    const int64_t before = testsupport::BytesReadSoFar();
    CCommonDataFile slot(game.Roles());
    EXPECT_EQ(slot.Peek(1), 0);
    EXPECT_EQ(slot.IsDamaged(), 1);
    EXPECT_EQ(slot.GetRefusal(), c.reason);
    EXPECT_EQ(slot.Load(1), -1);
    EXPECT_LT(testsupport::BytesReadSoFar() - before, 4 << 20);
  }
}

// The state kept when a system mode opens comes back when it closes.
TEST_F(SaveSlotTest, KeptStateIsPutBack) {
  WriteScript(kStory);
  SlotGame& game = Make();
  CScript* script = game.Script(0);
  script->Run();
  script->Run();
  const int pc = script->GetPC();
  game.Saves().KeepGameState();
  script->SetPC(0);
  script->SetCallDepth(0);
  game.SetLevel(2);
  game.Saves().RestoreGameState();
  EXPECT_EQ(script->GetPC(), pc);
  EXPECT_EQ(script->GetCallDepth(), 2);
  EXPECT_EQ(game.ScriptLevel(), 0);
  // Opening a system mode keeps the state and takes the thumbnail.
  std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 800 * 600, 0x00808080u);
  script->SetPC(0);
  EXPECT_EQ(game.Modes().PrepareSystemMode(7, 0), 7);
  EXPECT_EQ(game.Modes().GetReturnMode(), 10);
  ASSERT_EQ(game.Saves().GetMiniCGPixels().size(), 13200u);
  EXPECT_EQ(game.Saves().GetMiniCGPixels()[0], 0x007F7F7Fu);
  script->SetPC(pc);
  game.Saves().RestoreGameState();
  EXPECT_EQ(script->GetPC(), 0);
  game.MessageWindow().SetMessageWindowMode(3);
  game.MessageWindow().SetWindowNumberScript(4);
  game.Saves().ClearGameState();
  EXPECT_EQ(game.MessageWindow().GetMessageSpeed(), 0);
  EXPECT_EQ(game.MessageWindow().GetWindowNumberScript(), 0);
}

TEST(SaveSlotVersions, CheckVersionRules) {
  const int program = CCommonDataFile::VersionWord(1, 2, 3);
  const struct {
    int file, mode, scripts, expected;
  } cases[] = {
      {CCommonDataFile::VersionWord(1, 2, 0), 10, 0, 0},
      {CCommonDataFile::VersionWord(1, 2, 3), 9, 2, 0},
      {CCommonDataFile::VersionWord(1, 1, 9), 4, 0, 1},
      {CCommonDataFile::VersionWord(1, 1, 9), 10, 0, 2},
      {CCommonDataFile::VersionWord(1, 1, 9), 9, 1, 2},
      {CCommonDataFile::VersionWord(1, 1, 9), 9, 0, 1},
      {CCommonDataFile::VersionWord(0, 9, 9), 4, 0, 2},
      {CCommonDataFile::VersionWord(1, 2, 4), 4, 0, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CCommonDataFile::CompareVersions(c.file, program, c.mode, c.scripts), c.expected)
        << std::hex << c.file << std::dec << " mode " << c.mode;
}

TEST_F(SaveSlotTest, IsLoadableFollowsTheSlotsVersion) {
  Make({{"highVersion", "1"}, {"middleVersion", "1"}, {"lowVersion", "9"}});
  {
    CCommonDataFile slot(game_->Roles());
    ASSERT_EQ(slot.Save(1), 0);
  }
  game_.reset();
  SlotGame& newer = Make({{"highVersion", "1"}, {"middleVersion", "2"}, {"lowVersion", "3"}});
  CCommonDataFile slot(newer.Roles());
  ASSERT_EQ(slot.Peek(1), 1);
  EXPECT_EQ(slot.GetSavedMode(), 10);
  EXPECT_EQ(slot.CheckVersion(), 2);  // saved in the message mode
  EXPECT_EQ(slot.IsLoadable(), 0);
}

// A story saved inside two nested calls resumes at the same record; the
// same save read by a later build finds its text by key.
TEST_F(SaveSlotTest, ScriptStateResumes) {
  WriteScript(kStory);
  SlotGame& game = Make({{"highVersion", "1"}});
  CScript* script = game.Script(0);
  ASSERT_TRUE(script->HasResumeTables());
  script->Run();  // "one"
  script->Run();  // "deep", inside outer and inner
  ASSERT_EQ(script->GetCallDepth(), 2);
  const int pc = script->GetPC();
  game.MessageWindow().Words().messageKey = 2;
  game.MessageWindow().Words().choiceKey = -1;
  game.Saves().KeepGameState();
  CCommonDataFile slot(game.Roles());
  ASSERT_EQ(slot.Save(1), 0);

  script->SetPC(0);
  script->SetCallDepth(0);
  ASSERT_EQ(slot.Peek(1), 1);
  ASSERT_EQ(slot.Load(1), 10);
  EXPECT_EQ(script->GetPC(), pc);
  EXPECT_EQ(script->GetCallDepth(), 2);
  EXPECT_EQ(script->GetErrorFlag(), 0);
  // On: the two returns, then the text after the call.
  game.Variables()->SetVar(100, 0);
  script->Run();
  EXPECT_EQ(game.Variables()->GetVar(100), 1);
  EXPECT_EQ(script->GetCallDepth(), 0);

  // The later build: a newer program searches the message by its key.
  ExpectResumeInLaterBuild(kStoryLater, 10, [](CScript& s) { return s.SearchMessage(2); });
}

// A game saved at the second of two choices finds that choice again, by
// the record's key, in a later build of the story.
TEST_F(SaveSlotTest, ChoiceResumesByItsKey) {
  const char* const story = R"(.header 32
  text "first"
  choice time=300 "a" "b"
  text "second"
  choice time=300 "c" "d"
  endgame
)";
  const char* const later = R"(.header 32
  nop
  text "first"
  nop
  choice time=300 "a" "b"
  nop
  text "second"
  nop
  choice time=300 "c" "d"
  endgame
)";
  WriteScript(story);
  SlotGame& game = Make({{"highVersion", "1"}});
  CScript* script = game.Script(0);
  for (int i = 0; i < 4; ++i) script->Run();
  EXPECT_EQ(game.MessageWindow().Words().choiceKey, 1);
  game.SetReturn(9);
  game.Saves().KeepGameState();
  {
    CCommonDataFile slot(game.Roles());
    ASSERT_EQ(slot.Save(1), 0);
  }
  ExpectResumeInLaterBuild(later, 9, [](CScript& s) { return s.SearchChoice(1); });
}

// What a restore follows is checked before anything changes: the call
// sites within the saved depth, the stop entry of a level below the saved
// one, the system-call entry of a saved mode that resumes by it, and the
// return positions of a script without resume tables. A refusal names the
// script.
TEST_F(SaveSlotTest, SavedCallSitesAndEntriesAreCheckedBeforeTheRestore) {
  WriteScript(kStory);
  WriteScript(".header 32\n  text \"s\"\n  endgame\n", "sub");
  SlotGame& game = Make();
  CScript* script = game.Script(0);
  script->Run();
  script->Run();  // "deep", two calls down
  ASSERT_EQ(script->GetCallDepth(), 2);
  game.Saves().KeepGameState();
  {
    CCommonDataFile writer(game.Roles());
    ASSERT_EQ(writer.Save(1), 0);
  }
  const std::string good = SlotBytes(1);
  const size_t status = 96;
  auto word = [&](int w) { return status + 4 * static_cast<size_t>(w); };
  const size_t site = word(489), stopEntry = word(489 + 253), systemCallEntry = word(489 + 254);
  const struct {
    const char* what;
    std::function<void(std::string*)> change;
    const char* refusalNames;  // null: the slot loads
  } cases[] = {
      {"first call site outside the table", [&](std::string* f) { PutWord(f, site, 7); },
       "sys.spt"},
      {"second call site negative", [&](std::string* f) { PutWord(f, site + 4, -1); }, "sys.spt"},
      {"a word past the depth is not a call site", [&](std::string* f) { PutWord(f, site + 8, 999); },
       nullptr},
      {"saved in a mode that resumes after its system call",
       [&](std::string* f) { PutWord(f, word(20), 22); }, nullptr},
      {"system-call entry outside the table",
       [&](std::string* f) {
         PutWord(f, word(20), 22);
         PutWord(f, systemCallEntry, 5);
       },
       "sys.spt"},
      {"inside a sub-script", [&](std::string* f) {
         PutWord(f, word(24), 1);
         PutWord(f, word(26), 1);
       },
       nullptr},
      {"stop entry of the calling level outside the table",
       [&](std::string* f) {
         PutWord(f, word(24), 1);
         PutWord(f, word(26), 1);
         PutWord(f, stopEntry, 3);
       },
       "sys.spt"},
      {"a sub-script call site outside its table",
       [&](std::string* f) {
         PutWord(f, word(24), 1);
         PutWord(f, word(26), 1);
         PutWord(f, word(744), 1);
         PutWord(f, word(745), 0);
       },
       "sub.spt"},
      {"the sub-script is missing",
       [&](std::string* f) {
         PutWord(f, word(24), 1);
         PutWord(f, word(26), 0);
       },
       "story.spt"},
      {"without resume tables a return position outside the script",
       [&](std::string* f) {
         PutWord(f, word(22), 0);
         PutWord(f, site + 4, 1 << 30);
       },
       "position"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string file = good;
    c.change(&file);
    WriteSlot(1, file);
    game.Variables()->SetVar(7, 77);
    script->SetPC(3);
    script->SetCallDepth(0);
    CCommonDataFile slot(game.Roles());
    if (!c.refusalNames) {
      EXPECT_EQ(slot.Peek(1), 1) << slot.GetRefusal();
      EXPECT_GE(slot.Load(1), 0);
      continue;
    }
    EXPECT_EQ(slot.Peek(1), 0);
    EXPECT_NE(slot.GetRefusal().find(c.refusalNames), std::string::npos) << slot.GetRefusal();
    EXPECT_EQ(slot.Load(1), -1);
    EXPECT_EQ(game.Variables()->GetVar(7), 77);
    EXPECT_EQ(script->GetPC(), 3);
    EXPECT_EQ(script->GetCallDepth(), 0);
  }
}

}  // namespace
}  // namespace game_test
