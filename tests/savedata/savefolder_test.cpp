#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "savedata_test.h"

namespace savedata_test {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class SaveFolderTest : public SaveDataTest {
 protected:
  void SetUp() override {
    SaveDataTest::SetUp();
    home_ = Dir() / "home";
    data_ = Dir() / "data";
    env_.emplace_back(std::make_unique<ScopedEnv>("HOME", home_));
    env_.emplace_back(std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", Dir() / "config"));
    env_.emplace_back(std::make_unique<ScopedEnv>("XDG_DATA_HOME", data_));
  }
  void TearDown() override {
    env_.clear();
    SaveDataTest::TearDown();
  }
  std::string home_, data_;
  std::vector<std::unique_ptr<ScopedEnv>> env_;
};

TEST_F(SaveFolderTest, PathsAreBuiltFromTheSetParts) {
  const std::string longName(300, 'g');
  struct Case {
    const char* name;
    const char* company;
    const char* game;
    int type;
    std::string save, gamePath, companyPath;
  };
  const Case cases[] = {
      {"nothing", nullptr, nullptr, 0, "sav", "", ""},
      {"type 0 ignores the company", "A", "B", 0, "sav", "", ""},
      {"documents", "A", "B", 1, home_ + "/Documents\\A\\B\\sav", home_ + "/Documents\\A\\B",
       home_ + "/Documents\\A"},
      {"application data without company", nullptr, "B", 2, data_ + "\\B\\sav", data_ + "\\B", data_},
      {"any other type is application data", "A", nullptr, 7, data_ + "\\A\\sav", data_ + "\\A",
       data_ + "\\A"},
      {"long game folder", nullptr, longName.c_str(), 2,
       data_ + "\\" + std::string(254, 'g') + "\\sav", data_ + "\\" + std::string(254, 'g'), data_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetSaveFolder(c.company, c.game, c.type);
    EXPECT_EQ(std::string(GetSaveFolder()), c.save);
    EXPECT_EQ(std::string(GetGamePath()), c.gamePath);
    EXPECT_EQ(std::string(GetCompanyPath()), c.companyPath);
  }

  SetSaveFolder("A", "B", 2);
  SetSaveSubFolder(nullptr, 1);
  EXPECT_EQ(std::string(GetSaveFolder()), std::string(GetGamePath()));
  SetSaveSubFolder("saves", 0);
  EXPECT_EQ(std::string(GetSaveFolder()), data_ + "\\A\\B\\saves");
}

TEST_F(SaveFolderTest, LongPartsAreCutOnCharacterBoundaries) {
  // 64 double-byte characters: 128 bytes, cut to 126 (63 characters).
  std::string company;
  for (int i = 0; i < 64; ++i) company += testsupport::Sjis("会");
  SetCompanyFolder(company.c_str(), 1);
  EXPECT_EQ(std::string(GetCompanyPath()), company.substr(0, 126));
  std::string odd = "x" + company;  // 129 bytes: a whole character would not fit at the end
  SetCompanyFolder(odd.c_str(), 1);
  EXPECT_EQ(std::string(GetCompanyPath()), odd.substr(0, 125));
}

TEST_F(SaveFolderTest, CreatesTheLevelsThatAreSet) {
  SetSaveFolder("A", "B", 1);
  EXPECT_EQ(CreateSaveFolder(), 1);
  EXPECT_TRUE(fs::is_directory(home_ + "/Documents/A/B/sav"));
  EXPECT_EQ(CreateSaveFolder(), 1);  // existing folders are fine

  SetSaveFolder(nullptr, nullptr, 0);
  EXPECT_EQ(CreateSaveFolder(), 1);
  EXPECT_TRUE(Dir().Exists("sav"));

  // A file where a folder should be.
  Dir().Write("blocked", "x");
  SetSaveFolder(nullptr, nullptr, 0);
  SetSaveSubFolder("blocked", 1);
  EXPECT_EQ(CreateSaveFolder(), 0);
  EXPECT_EQ(host_->ErrorLines(),
            (std::vector<std::string>{"the save folder " + Dir() / "blocked" + " cannot be made"}));
}

// A company part of two levels: each missing folder is made in turn, and a
// level that cannot be made is the one named.
TEST_F(SaveFolderTest, CreatesEachLevelOfAPartInTurn) {
  SetSaveFolder("Company\\Game", "Story", 1);
  EXPECT_EQ(CreateSaveFolder(), 1);
  EXPECT_TRUE(fs::is_directory(home_ + "/Documents/Company/Game/Story/sav"));

  const std::string company = testsupport::Sjis("表") + "\\B";  // a trail byte of 0x5C
  SetSaveFolder(company.c_str(), nullptr, 1);
  EXPECT_EQ(CreateSaveFolder(), 1);
  EXPECT_TRUE(fs::is_directory(home_ + "/Documents/表/B/sav"));

  Dir().Write("home/Documents/Blocked", "x");
  SetSaveFolder("Blocked\\Game", "Story", 1);
  EXPECT_EQ(CreateSaveFolder(), 0);
  EXPECT_EQ(host_->ErrorLines().back(), "the save folder " + home_ +
                                            "/Documents/Blocked/Game/Story/sav cannot be made: the folder " +
                                            home_ + "/Documents/Blocked cannot be made");
}

TEST_F(SaveFolderTest, DeletesOnlyWhatItIsAskedTo) {
  SetSaveFolder(nullptr, nullptr, 0);
  auto fill = [&] {
    Dir().Write("sav/sysfile.sav", "1");
    Dir().Write("sav/DATA1.SAV", "2");
    Dir().Write("sav/sysfile.org", "3");
    Dir().Write("sav/note.txt", "4");
    Dir().Write("sav/chart/chart1.sav", "5");
  };
  fill();
  EXPECT_EQ(DeleteSaveFiles(0, 0, 0, 1), 1);
  EXPECT_FALSE(Dir().Exists("sav/sysfile.sav"));
  EXPECT_FALSE(Dir().Exists("sav/DATA1.SAV"));
  EXPECT_TRUE(Dir().Exists("sav/sysfile.org"));
  EXPECT_TRUE(Dir().Exists("sav/note.txt"));
  EXPECT_TRUE(Dir().Exists("sav/chart/chart1.sav"));

  // Recursing: sub-folders go with their files; ".org" files stay.
  fill();
  EXPECT_EQ(DeleteSaveFiles(0, 1, 0, 0), 1);
  EXPECT_FALSE(Dir().Exists("sav/chart"));
  EXPECT_TRUE(Dir().Exists("sav/sysfile.org"));
  EXPECT_FALSE(Dir().Exists("sav/note.txt"));

  // A sub-folder that keeps a ".org" file cannot be removed.
  fill();
  Dir().Write("sav/chart/keep.org", "6");
  EXPECT_EQ(DeleteSaveFiles(0, 1, 0, 0), 0);
  EXPECT_TRUE(Dir().Exists("sav/chart/keep.org"));
  EXPECT_FALSE(Dir().Exists("sav/chart/chart1.sav"));
}

// What crashed saves left in the save folder and its sub-folders goes;
// every other file, and temporaries outside the save folder, stay.
TEST_F(SaveFolderTest, StaleTemporariesOfTheSaveFolderAreRemoved) {
  SetSaveFolder(nullptr, nullptr, 0);
  const char* stale[] = {"sav/data1.sav.tmp.Ab12Cd", "sav/sysfile.sav.tmp.zzzzzz",
                         "sav/chart1/chart3.sav.tmp.123456"};
  const char* kept[] = {"sav/data1.sav", "sav/sysfile.sav", "sav/chart1/chart3.sav",
                        "sav/readme.tmp.txt", "other.sav.tmp.Ab12Cd"};
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const char* name : stale) Dir().Write(name, "partial");
  for (const char* name : kept) Dir().Write(name, "keep");
  for (const char* name : stale) ASSERT_EQ(::utimensat(AT_FDCWD, (Dir() / name).c_str(), old, 0), 0);
  for (const char* name : kept) ASSERT_EQ(::utimensat(AT_FDCWD, (Dir() / name).c_str(), old, 0), 0);
  EXPECT_EQ(RemoveStaleSaveTemporaries(), 3);
  for (const char* name : stale) EXPECT_FALSE(Dir().Exists(name)) << name;
  for (const char* name : kept) EXPECT_EQ(Dir().Read(name), "keep") << name;
  EXPECT_EQ(RemoveStaleSaveTemporaries(), 0);
}

TEST_F(SaveFolderTest, RemovesEmptyLevelsButNeverTheUsersFolder) {
  SetSaveFolder("A", "B", 2);
  ASSERT_EQ(CreateSaveFolder(), 1);
  Dir().Write("data/A/B/sav/data1.sav", "x");
  Dir().Write("data/A/B/sav/sysfile.org", "y");
  Dir().Write("data/other.txt", "z");
  EXPECT_EQ(DeleteSaveFiles(1, 1, 1, 0), 1);
  EXPECT_FALSE(Dir().Exists("data/A"));
  EXPECT_TRUE(Dir().Exists("data/other.txt"));

  // Nothing set below the user's folder: it stays even when empty.
  fs::remove(Dir() / "data/other.txt");
  SetSaveFolder(nullptr, nullptr, 2);
  SetSaveSubFolder(nullptr, 1);
  EXPECT_EQ(DeleteSaveFiles(1, 1, 1, 0), 1);
  EXPECT_TRUE(fs::is_directory(data_));

  // A save path that is the program's own folder deletes nothing.
  Dir().Write("game.dat", "keep");
  SetSaveFolder(nullptr, nullptr, 0);
  SetSaveSubFolder(nullptr, 1);
  EXPECT_EQ(DeleteSaveFiles(0, 1, 1, 0), 1);
  EXPECT_TRUE(Dir().Exists("game.dat"));
}

TEST_F(SaveFolderTest, AFolderIsEmptyWhenItHoldsNothing) {
  Dir().Write("full/x", "1");
  fs::create_directories(Dir() / "empty");
  EXPECT_EQ(IsFolderEmpty("full"), 0);
  EXPECT_EQ(IsFolderEmpty("empty"), 1);
  EXPECT_EQ(IsFolderEmpty("missing"), 1);
}

}  // namespace
}  // namespace savedata_test
