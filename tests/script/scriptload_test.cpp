// The loader refuses a file that is not a compiled script (cut short,
// garbage, broken records) before anything of it runs: one box and one
// line on stderr, each naming the file and the reason.
#include <string>
#include <vector>

#include "script_fixture.h"

namespace script_test {
namespace {

using namespace script;

// A script with a few records, texts and tables, several hundred bytes long.
std::string WholeScript() {
  std::string source = "var r 100\n";
  for (int i = 0; i < 12; ++i)
    source += "r = " + std::to_string(i) + "\ntext \"line " + std::to_string(i) + "\"\n";
  source += "endgame\n";
  const zasm::Assembly a = zasm::Assemble(source);
  EXPECT_TRUE(a.ok()) << a.ErrorText();
  return a.FileBytes();
}

// Bytes of no script at all, the same on every run.
std::string Garbage(size_t size) {
  std::string out(size, '\0');
  uint32_t state = 12345;
  for (char& c : out) {
    state = state * 214013 + 2531011;
    c = static_cast<char>(state >> 16);
  }
  return out;
}

TEST_F(ScriptTest, FilesThatAreNoScriptAreRefusedWithOneBox) {
  const std::string whole = WholeScript();
  ASSERT_GT(whole.size(), 400u);
  struct Case {
    const char* what;
    std::string bytes;
    const char* reason;
  };
  const Case cases[] = {
      {"cut short on a word", whole.substr(0, 200), "runs past the end"},
      {"cut inside a word", whole.substr(0, 201), "not a whole number of 4-byte words"},
      {"garbage", Garbage(1000), "the header length"},
      {"a record longer than the file",
       zasm::Assemble(".words 100000 0x66660001\nendgame\n").FileBytes(), "runs past the end"},
      {"a negative record length", zasm::Assemble(".words 0xFFFFFFFB\nendgame\n").FileBytes(),
       "runs past the end"},
      {"empty", "", "the file is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host_.ClearBoxes();
    host_.ClearErrorLines();
    dir_.Write("spt/bad.spt", c.bytes);
    CScript script(&game_);
    EXPECT_EQ(script.Load("spt\\bad.spt"), 0);
    EXPECT_FALSE(script.IsLoaded());
    EXPECT_EQ(script.Run(), kResultError);
    const std::vector<platform::BoxRecord> boxes = host_.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("spt\\bad.spt"), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find(c.reason), std::string::npos) << boxes[0].text;
    const std::vector<std::string> lines = host_.ErrorLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("spt\\bad.spt: "), std::string::npos) << lines[0];
  }
  // The whole file loads and runs without a box.
  host_.ClearBoxes();
  dir_.Write("spt/good.spt", whole);
  CScript script(&game_);
  EXPECT_EQ(script.Load("spt\\good.spt"), 1);
  EXPECT_TRUE(host_.Boxes().empty());
}

}  // namespace
}  // namespace script_test
