#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDir;

std::string ReadAll(FILE* f) {
  std::string s;
  char buf[256];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  return s;
}

TEST(Resolver, MatchesComponentsWithoutCaseAndEitherSeparator) {
  TempDir dir;
  dir.Write("spt/project.xtx", "a b");
  dir.Write("Sys/TA_Bg.DWQ", "x");
  struct Case {
    const char* path;
    const char* host;
  } cases[] = {
      {"SPT\\Project.XTX", "spt/project.xtx"},
      {"spt/project.xtx", "spt/project.xtx"},
      {"sys\\ta_bg.dwq", "Sys/TA_Bg.DWQ"},
      {".\\sys\\..\\SPT\\\\PROJECT.xtx", "spt/project.xtx"},
      {"new\\Folder\\file.txt", "new/Folder/file.txt"},  // missing parts keep their spelling
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ResolvePath(c.path), dir / c.host) << c.path;

  FILE* f = platform::FileOpen("SPT\\Project.XTX", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadAll(f), "a b");
  std::fclose(f);
}

TEST(Resolver, ExactSpellingWinsOverOtherCase) {
  TempDir dir;
  dir.Write("Data/a.txt", "upper");
  dir.Write("data/a.txt", "lower");
  EXPECT_EQ(platform::ResolvePath("Data\\a.txt"), dir / "Data/a.txt");
  EXPECT_EQ(platform::ResolvePath("data\\a.txt"), dir / "data/a.txt");
}

TEST(Resolver, Cp932FolderNamesBecomeUtf8OnDisk) {
  TempDir dir;
  // "セーブ\表" : 0x955C has a trail byte equal to the backslash.
  const std::string folder = "\x83\x5A\x81\x5B\x83\x75";
  const std::string sub = "\x95\x5C";
  ASSERT_TRUE(platform::CreateDirectory(folder));
  ASSERT_TRUE(platform::CreateDirectory(folder + "\\" + sub));
  FILE* f = platform::FileOpen(folder + "\\" + sub + "\\data1.sav", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("slot", f);
  std::fclose(f);
  EXPECT_TRUE(dir.Exists("セーブ/表/data1.sav"));
  f = platform::FileOpen(folder + "\\" + sub + "\\DATA1.SAV", "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(ReadAll(f), "slot");
  std::fclose(f);
  auto names = platform::ListFolder(folder);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], sub);
}

TEST(Resolver, CaseFoldsOnlyAsciiLettersOfCp932Names) {
  TempDir dir;
  dir.Write("ｱBC/ヂx.txt", "found");
  // "ｱbc" (0xB1 is a half-width katakana, one byte) and "ヂX" (0x83 0x61).
  EXPECT_EQ(platform::ResolvePath("\xB1" "bc\\\x83\x61X.TXT"), dir / "ｱBC/ヂx.txt");
  // "ア" is 0x83 0x41: a different character, not a capital of "ヂ".
  EXPECT_EQ(platform::ResolvePath("\xB1" "BC\\\x83\x41x.txt"), dir / "ｱBC/アx.txt");
}

TEST(Resolver, SeesFilesMadeAfterAListingWasCached) {
  TempDir dir;
  dir.Write("init/a.xtx", "1");
  EXPECT_FALSE(platform::FileExists("INIT\\B.XTX"));  // caches the listing of init/
  dir.Write("init/b.xtx", "2");
  EXPECT_TRUE(platform::FileExists("INIT\\B.XTX"));
}

TEST(FileOpen, WriteToReadOnlyFileRetriesAfterAddingWriteBit) {
  TempDir dir;
  dir.Write("ro.txt", "old");
  ASSERT_EQ(::chmod((dir / "ro.txt").c_str(), 0444), 0);
  FILE* f = platform::FileOpen("RO.TXT", "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("new", f);
  std::fclose(f);
  EXPECT_EQ(dir.Read("ro.txt"), "new");
  // As root the first open already succeeds; otherwise the retry added the bit.
  struct stat st;
  ASSERT_EQ(::stat((dir / "ro.txt").c_str(), &st), 0);
  if (::geteuid() != 0) {
    EXPECT_TRUE(st.st_mode & S_IWUSR);
  }
}

// A test folder an ordinary user can reach: as root it goes under /tmp
// (the test folders of a build may sit below folders only root enters).
std::unique_ptr<TempDir> ReachableTempDir() {
  if (::geteuid() != 0) return std::make_unique<TempDir>();
  const char* was = std::getenv("ZOR_TEST_TMP");
  const std::string saved = was ? was : "";
  ::setenv("ZOR_TEST_TMP", "/tmp", 1);
  auto dir = std::make_unique<TempDir>();
  if (was) ::setenv("ZOR_TEST_TMP", saved.c_str(), 1);
  else ::unsetenv("ZOR_TEST_TMP");
  return dir;
}

// Runs `check` as an ordinary user: in a child that gives up root (root
// writes read-only files anyway) after handing it the folder. The result is
// the child's exit status, 0 when every check held.
int AsOrdinaryUser(const std::filesystem::path& folder, int (*check)()) {
  if (::geteuid() != 0) return check();
  constexpr uid_t kNobody = 65534;
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      if (::chown(entry.path().c_str(), kNobody, kNobody) != 0) ::_exit(90);
    if (::chown(folder.c_str(), kNobody, kNobody) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(91);
    ::_exit(check());
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return 99;
  return WEXITSTATUS(status);
}

// An append or an update of a read-only file fails and leaves it read-only;
// only a create ("w...") lifts the protection and writes.
TEST(FileOpen, OnlyACreateMakesAReadOnlyFileWritable) {
  std::unique_ptr<TempDir> made = ReachableTempDir();
  const TempDir& dir = *made;
  for (const char* name : {"a.txt", "rp.txt", "ap.txt", "w.txt"}) {
    dir.Write(name, "old");
    ASSERT_EQ(::chmod((dir / name).c_str(), 0444), 0);
  }
  const int result = AsOrdinaryUser(dir.path(), [] {
    struct Case {
      const char* file;
      const char* mode;
    } refused[] = {{"A.TXT", "ab"}, {"RP.TXT", "r+b"}, {"AP.TXT", "a+"}};
    int bit = 1, failed = 0;
    for (const Case& c : refused) {
      FILE* f = platform::FileOpen(c.file, c.mode);
      struct stat st;
      if (f || ::stat(platform::ResolvePath(c.file).c_str(), &st) != 0 || (st.st_mode & 0777) != 0444)
        failed |= bit;
      if (f) std::fclose(f);
      bit <<= 1;
    }
    FILE* f = platform::FileOpen("W.TXT", "wb");
    if (!f) return failed | bit;
    std::fputs("new", f);
    std::fclose(f);
    return failed;
  });
  EXPECT_EQ(result, 0) << "bit 1..4: ab, r+b, a+ opened or unprotected; wb refused";
  EXPECT_EQ(dir.Read("a.txt"), "old");
  EXPECT_EQ(dir.Read("w.txt"), "new");
}

TEST(FileOpen, MissingFileAndBadModeFail) {
  TempDir dir;
  EXPECT_EQ(platform::FileOpen("nothing.txt", "rb"), nullptr);
  EXPECT_EQ(platform::FileOpen("nothing.txt", nullptr), nullptr);
  EXPECT_EQ(platform::FileSize("nothing.txt"), -1);
}

TEST(Folders, CreateRemoveCopyAndList) {
  TempDir dir;
  EXPECT_TRUE(platform::CreateDirectory("sav"));
  EXPECT_TRUE(platform::CreateDirectory("SAV"));  // existing folder is success
  EXPECT_TRUE(platform::IsDirectory("Sav"));
  dir.Write("sav/a.dat", "abc");
  EXPECT_TRUE(platform::CopyFile("sav\\a.dat", "sav\\b.dat"));
  EXPECT_EQ(dir.Read("sav/b.dat"), "abc");
  EXPECT_EQ(platform::ListFolder("sav"), (std::vector<std::string>{"a.dat", "b.dat"}));
  EXPECT_FALSE(platform::RemoveDirectory("sav"));  // not empty
  EXPECT_TRUE(platform::RemoveFile("sav\\a.dat"));
  EXPECT_TRUE(platform::RemoveFile("sav\\b.dat"));
  EXPECT_TRUE(platform::RemoveDirectory("sav"));
  EXPECT_FALSE(platform::FileExists("sav"));
}

TEST(WholeFile, ReplacesOnlyWhenEveryWriteSucceeded) {
  TempDir dir;
  ASSERT_TRUE(platform::WriteWholeFile("sysfile.sav", "first", 5));
  EXPECT_EQ(dir.Read("sysfile.sav"), "first");

  platform::FailWholeFileWrites(1);
  EXPECT_FALSE(platform::WriteWholeFile("sysfile.sav", "second", 6));
  EXPECT_EQ(dir.Read("sysfile.sav"), "first");
  EXPECT_EQ(platform::ListFolder("."), (std::vector<std::string>{"sysfile.sav"}));  // no temp left

  EXPECT_TRUE(platform::WriteWholeFile("sysfile.sav", "third", 5));
  EXPECT_EQ(dir.Read("sysfile.sav"), "third");
}

TEST(WholeFile, WriterAbortKeepsOldFileAndMissingFolderFails) {
  TempDir dir;
  dir.Write("slot.dat", "keep");
  {
    platform::WholeFileWriter writer;
    FILE* f = writer.Open("SLOT.DAT");
    ASSERT_NE(f, nullptr);
    std::fputs("partial", f);
    // destroyed without Commit
  }
  EXPECT_EQ(dir.Read("slot.dat"), "keep");
  EXPECT_FALSE(platform::WriteWholeFile("no\\such\\folder\\x.dat", "x", 1));
}

// The data is synced before the rename and the folder after it, so the new
// name survives a power loss; a folder that cannot be synced fails the
// write with the system's reason.
TEST(WholeFile, TheFolderIsSyncedAfterTheRename) {
  TempDir dir;
  ASSERT_TRUE(platform::CreateDirectory("sav"));
  std::vector<std::string> log;
  platform::RecordFileCalls(&log);
  const bool written = platform::WriteWholeFile("sav\\data1.sav", "slot", 4);
  platform::RecordFileCalls(nullptr);
  ASSERT_TRUE(written);
  const std::string target = platform::ResolvePath("sav\\data1.sav");
  ASSERT_EQ(log.size(), 3u);
  const std::string temp = log[0].substr(5);
  EXPECT_TRUE(log[0].starts_with("sync " + target + ".tmp.")) << log[0];
  EXPECT_EQ(log[1], "rename " + temp + " " + target);
  EXPECT_EQ(log[2], "sync folder " + platform::ResolvePath("sav"));

  platform::FailFolderSyncs(1);
  std::string error;
  EXPECT_FALSE(platform::WriteWholeFile("sav\\data1.sav", "next", 4, &error));
  EXPECT_EQ(error, "Input/output error");
  EXPECT_EQ(dir.Read("sav/data1.sav"), "next");
  EXPECT_EQ(platform::ListFolder("sav"), (std::vector<std::string>{"data1.sav"}));
  EXPECT_TRUE(platform::WriteWholeFile("sav\\data1.sav", "last", 4));
}

// Under a file-size limit a write fails with the system's reason and the
// old file stays; the program is not killed (it runs in a child here, so
// the limit and a possible kill stay there).
TEST(WholeFile, AFileSizeLimitFailsTheWriteInsteadOfKillingTheProgram) {
  TempDir dir;
  dir.Write("data1.sav", "old slot");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::InstallHeadless();
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string big(64 * 1024, 'x');
    std::string error;
    const bool written = platform::WriteWholeFile("data1.sav", big.data(), big.size(), &error);
    ::_exit(written ? 1 : error == "File too large" ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(dir.Read("data1.sav"), "old slot");
  EXPECT_EQ(platform::ListFolder("."), (std::vector<std::string>{"data1.sav"}));
}

// Only the writers' own temporaries that nobody wrote to for a minute go.
TEST(WholeFile, StaleTemporariesAreRemovedAndNothingElse) {
  TempDir dir;
  const char* stale[] = {"data0.sav.tmp.a1B2c3", "sysfile.sav.tmp.XXXXXX"};
  const char* kept[] = {"data0.sav", "notes.tmp.txt", "data2.sav.tmp.abc", "data3.sav.tmp.abc-12",
                        "fresh.sav.tmp.Zz9Zz9"};
  for (const char* name : stale) dir.Write(name, "x");
  for (const char* name : kept) dir.Write(name, "x");
  ASSERT_EQ(::mkdir((dir / "dir.sav.tmp.q1w2e3").c_str(), 0755), 0);
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const char* name : {"data0.sav.tmp.a1B2c3", "sysfile.sav.tmp.XXXXXX", "data0.sav",
                           "notes.tmp.txt", "data2.sav.tmp.abc", "data3.sav.tmp.abc-12",
                           "dir.sav.tmp.q1w2e3"})
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), old, 0), 0) << name;

  std::vector<std::string> removed;
  for (const auto& temp : platform::RemoveStaleTemporaries(".")) {
    EXPECT_EQ(temp.error, "");
    removed.push_back(temp.name);
  }
  EXPECT_EQ(removed, (std::vector<std::string>{"data0.sav.tmp.a1B2c3", "sysfile.sav.tmp.XXXXXX"}));
  for (const char* name : stale) EXPECT_FALSE(dir.Exists(name)) << name;
  for (const char* name : kept) EXPECT_TRUE(dir.Exists(name)) << name;
  EXPECT_TRUE(dir.Exists("dir.sav.tmp.q1w2e3"));
}

TEST(UserFolders, FollowXdgSettings) {
  TempDir dir;
  std::string home = dir.path();
  dir.Write("config/user-dirs.dirs", "# comment\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
  std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
  EXPECT_EQ(platform::DocumentsFolder(), home + "/Docs");
  EXPECT_EQ(platform::AppDataFolder(), dir / "data");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(platform::DocumentsFolder(), home + "/Documents");
  EXPECT_EQ(platform::AppDataFolder(), home + "/.local/share");
  setenv("HOME", oldHome.c_str(), 1);
}

TEST(Resolver, AbsoluteHostPathsResolveFromTheRoot) {
  TempDir dir;
  dir.Write("Saves/Game/sysfile.sav", "x");
  std::string engine = dir.path() + "\\saves\\game\\SYSFILE.SAV";
  EXPECT_EQ(platform::ResolvePath(engine), dir / "Saves/Game/sysfile.sav");
}

}  // namespace
