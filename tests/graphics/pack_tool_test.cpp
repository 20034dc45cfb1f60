// zor-pack as a game's author uses it: a folder of picture files in, one
// volume out, read back by the engine's loader.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "pack_fixture.h"
#include "support/text.h"

namespace graphics_test {
namespace {

class PackToolTest : public PackTest {
 protected:
  int Tool(const std::string& args) {
    const std::string command =
        std::string(ZOR_BINARY_DIR) + "/bin/zor-pack " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(PackToolTest, PacksAFolderTheLoaderReads) {
  dir_.Write("art/Day01.dwq", Bytes(Solid(kGreen)));
  dir_.Write("art/night.DWQ", Bytes(Solid(kRed, true)));
  dir_.Write("art/背景.dwq", Bytes(Solid(kBlue)));
  dir_.Write("art/notes.txt", "not a picture");
  dir_.Write("dwq/.keep", "");
  ASSERT_EQ(Tool(dir_ / "art" + " " + dir_ / "dwq/bg0.gtb"), 0);

  // Names lower-cased and sorted by byte, CP932 inside, offsets into the data.
  const std::string index = dir_.Read("dwq/bg0.gtb");
  const std::string data = dir_.Read("dwq/bg0.gpk");
  auto parsed = DwqPackIndex::Parse(index, static_cast<int64_t>(data.size()));
  ASSERT_NE(parsed, nullptr);
  ASSERT_EQ(parsed->GetCount(), 3);
  EXPECT_STREQ(parsed->GetName(0), "day01");
  EXPECT_STREQ(parsed->GetName(1), "night");
  EXPECT_EQ(parsed->GetName(2), testsupport::Sjis("背景"));
  EXPECT_EQ(parsed->GetDataOffset(0), 0);
  EXPECT_EQ(data.size(), Solid(kGreen).size() + Solid(kRed, true).size() + Solid(kBlue).size());

  StartLoader(1);
  EXPECT_EQ(Load("BG\\DAY01"), kGreen);
  EXPECT_EQ(Load("bg\\Night"), kRed);
  EXPECT_EQ(Load("bg\\" + testsupport::Sjis("背景")), kBlue);
}

TEST_F(PackToolTest, RefusesWhatTheGameCouldNotRead) {
  dir_.Write("empty/.keep", "");
  dir_.Write("twins/a.dwq", Bytes(Solid(kRed)));
  dir_.Write("twins/A.dwq", Bytes(Solid(kGreen)));
  dir_.Write("short/a.dwq", "too short");
  dir_.Write("good/a.dwq", Bytes(Solid(kRed)));
  struct Case {
    std::string args;
    int status;
  } cases[] = {
      {dir_ / "empty" + " " + dir_ / "bg0.gtb", 1},
      {dir_ / "twins" + " " + dir_ / "bg0.gtb", 1},  // the same name to the game
      {dir_ / "short" + " " + dir_ / "bg0.gtb", 1},
      {dir_ / "nowhere" + " " + dir_ / "bg0.gtb", 1},
      {dir_ / "good" + " " + dir_ / "bg0.gpk", 2},
      {dir_ / "good", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Tool(c.args), c.status) << c.args;
  EXPECT_FALSE(dir_.Exists("bg0.gtb"));
  // A name the game does not read is only a warning.
  EXPECT_EQ(Tool(dir_ / "good" + " " + dir_ / "pictures.gtb"), 0);
  EXPECT_TRUE(dir_.Exists("pictures.gpk"));
}

}  // namespace
}  // namespace graphics_test
