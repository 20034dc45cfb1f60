// zor-scene: the table it writes from a readable text is the one the scene
// gallery reads; bad lines are refused with nothing written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "savedata/scenedata.h"
#include "savedata_test.h"

namespace savedata_test {
namespace {

class SceneToolTest : public SaveDataTest {
 protected:
  // Runs the tool over the project list and the text; its exit status.
  int Run(const std::string& text) const {
    Dir().Write("project.txt", "sys\nstart\nstory,gallery\n");
    Dir().Write("scenes.txt", text);
    const std::string d = Dir().path() + "/";
    const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-scene " + d + "project.txt " + d +
                                "scenes.txt " + d + "spt/scene.dat 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(SceneToolTest, WritesTheTableTheGalleryReads) {
  std::filesystem::create_directories(Dir().path() + "/spt");
  ASSERT_EQ(Run("# two characters\n"
                "chara mina\n"
                "marked gallery 1 -2   # the walk\n"
                "scene story 3\n"
                "chara rin\n"
                "scene gallery 4 5\n"),
            0);
  CSceneDataFile data;
  ASSERT_EQ(data.IsLoaded(), 1);
  ASSERT_EQ(data.GetCharaCount(), 2);
  EXPECT_EQ(data.GetSceneCount(0), 2);
  EXPECT_EQ(data.GetSceneScript(0, 0), 3);  // the project list's place
  EXPECT_EQ(data.IsSceneMarked(0, 0), 1);
  EXPECT_EQ(data.GetMarkedSceneCount(0), 1);
  EXPECT_EQ(data.GetItemOrNone(0, 0, 1), -1);
  EXPECT_EQ(data.GetSceneScript(0, 1), 2);
  EXPECT_EQ(data.GetItemCount(1, 0), 2);
  EXPECT_EQ(data.GetItem(1, 0, 1), 4);
}

TEST_F(SceneToolTest, RefusesBadLinesAndWritesNothing) {
  std::filesystem::create_directories(Dir().path() + "/spt");
  const char* bad[] = {"scene gallery 1\n",                  // before any character
                       "chara a\nscene nowhere 1\n",         // not in the project list
                       "chara a\nscene gallery\n",           // no item
                       "chara a\nscene gallery 0\n",         // item 0
                       "chara a\nscene gallery x\n",         // not a number
                       "chara a\nscene gallery 99999999999\n",
                       "chara a\nwhat gallery 1\n"};
  for (const char* text : bad) {
    EXPECT_EQ(Run(text), 1) << text;
    EXPECT_FALSE(std::filesystem::exists(Dir().path() + "/spt/scene.dat")) << text;
  }
}

}  // namespace
}  // namespace savedata_test
