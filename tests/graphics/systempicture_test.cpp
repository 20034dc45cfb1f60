// The system picture cache and the work-picture pool.
#include "graphics/systempicture.h"

#include <string>

#include "graphics/picture.h"
#include "picture_fixture.h"
#include "support/text.h"

namespace graphics_test {
namespace {

class SystemPictureTest : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    WritePicture("sys\\error", Pattern(3, 2));
  }
};

TEST_F(SystemPictureTest, NamesAreCaseSensitiveAndLoadedOnce) {
  WritePicture("sys\\btn", Pattern(4, 4));
  CSystemPicture cache;
  CPicture* lower = cache.Load("btn", 0);
  ASSERT_NE(lower, nullptr);
  EXPECT_EQ(lower->IsLoaded(), 1);
  EXPECT_EQ(lower->GetWidth(), 4);
  // The file is not read again for the same name.
  dir_.Write("dwq/sys/btn.dwq", "");
  EXPECT_EQ(cache.Load("btn", 1), lower);
  // Another spelling is another entry (the folder lookup ignores case, the
  // cache does not), read from the file as it is now.
  CPicture* upper = cache.Load("BTN", 0);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(upper->IsLoaded(), 0);
  EXPECT_EQ(cache.GetUsed(), 3);
  EXPECT_EQ(LoadSystemPicture("btn", 0), lower);
}

TEST_F(SystemPictureTest, EntryZeroIsTheErrorPicture) {
  CSystemPicture cache;
  CPicture* error = cache.Load(nullptr, 0);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->GetWidth(), 3);
  EXPECT_STREQ(error->GetName(), "sys\\error");
  // A picture that fails to load stays cached, empty, and is reported once (the
  // loader names the file, the cache the entry).
  host_->ClearErrorLines();
  CPicture* missing = cache.Load("nothere", 0);
  ASSERT_NE(missing, nullptr);
  EXPECT_NE(missing, error);
  EXPECT_EQ(missing->IsLoaded(), 0);
  EXPECT_EQ(cache.Load("nothere", 0), missing);
  const auto lines = host_->ErrorLines();
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "LOAD DWQ ERROR(File Not Found) sys\\nothere: no dwq\\sys\\nothere.dwq and no "
                       "pack lists it",
                       "Load SystemPicture Error:nothere (sys\\nothere)"}));
}

// The pictures a game may go without are not reported when missing, in
// any letter case; damaged, or under another name, they are.
TEST_F(SystemPictureTest, OptionalPicturesAreQuietOnlyWhenMissing) {
  CSystemPicture cache;
  host_->ClearErrorLines();
  for (const char* name : {"ta_sl_font", "spfont24", "mes_cur", "ta_opt_bar", "TA_SELECT01", "ta_congra"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(cache.Load(name, 0)->IsLoaded(), 0);
    CPicture direct;
    EXPECT_EQ(direct.LoadDWQ((std::string("sys\\") + name).c_str()), 0);
  }
  EXPECT_TRUE(host_->ErrorLines().empty());

  dir_.Write("dwq/sys/mes_cur2.dwq", "");
  dir_.Write("dwq/sys/ta_opt_bar.dwq", "not a picture");
  CSystemPicture other;
  other.Load("mes_cur2", 0);
  other.Load("ta_opt_bar", 0);
  other.Load("ta_mouse", 0);
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2].rfind("LOAD DWQ ERROR(Bad File) sys\\ta_opt_bar: ", 0), 0u) << lines[2];
  EXPECT_EQ(lines[3].rfind("LOAD DWQ ERROR(File Not Found) sys\\ta_mouse: ", 0), 0u) << lines[3];
}

TEST_F(SystemPictureTest, GrowsWithoutMovingEarlierPictures) {
  WritePicture("sys\\p0", Pattern(2, 3));
  CSystemPicture cache;
  CPicture* first = cache.Load("p0", 0);
  for (int i = 1; i < 199; ++i) cache.Load(testsupport::Numbered("p", i).c_str(), 0);
  EXPECT_EQ(cache.GetUsed(), 200);
  EXPECT_EQ(cache.GetCapacity(), 200);
  CPicture* past = cache.Load("p199", 0);  // the 201st entry
  EXPECT_EQ(cache.GetCapacity(), 300);
  EXPECT_EQ(cache.GetUsed(), 201);
  EXPECT_EQ(cache.Load("p0", 0), first);
  EXPECT_EQ(first->GetHeight(), 3);
  EXPECT_EQ(cache.Load("p199", 0), past);
}

// Long names are kept by their first 62 bytes; asking again finds the same
// entry instead of adding one each time.
TEST_F(SystemPictureTest, LongNamesAreCutOnceAndFoundAgain) {
  const std::string name(70, 'a');
  WritePicture("sys\\" + name.substr(0, 62), Pattern(5, 1));
  CSystemPicture cache;
  host_->ClearErrorLines();
  CPicture* picture = cache.Load(name.c_str(), 0);
  EXPECT_EQ(picture->GetWidth(), 5);
  EXPECT_EQ(cache.Load(name.c_str(), 0), picture);
  EXPECT_EQ(cache.GetUsed(), 2);
  const auto lines = host_->ErrorLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], testsupport::Sjis("システムグラフィックのファイル名が長すぎます:") + name);
  // 61 bytes are kept whole.
  const std::string shorter(61, 'b');
  WritePicture("sys\\" + shorter, Pattern(1, 1));
  CPicture* kept = cache.Load(shorter.c_str(), 0);
  EXPECT_EQ(cache.Load(shorter.c_str(), 0), kept);
  EXPECT_STREQ(kept->GetName(), ("sys\\" + shorter).c_str());
}

TEST_F(SystemPictureTest, NoCacheNoPicture) {
  EXPECT_EQ(LoadSystemPicture("btn", 0), nullptr);
  {
    CSystemPicture cache;
    EXPECT_NE(LoadSystemPicture(nullptr, 0), nullptr);
  }
  EXPECT_EQ(LoadSystemPicture(nullptr, 0), nullptr);
}

TEST_F(SystemPictureTest, WorkPicturePool) {
  EXPECT_EQ(CPicturePool::GetPicture(3), nullptr);
  {
    CPicturePool pool;
    CPicture* zero = CPicturePool::GetPicture(0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->IsLoaded(), 0);
    EXPECT_EQ(zero->GetWidth(), 1);
    EXPECT_EQ(CPicturePool::GetPicture(-1), zero);
    EXPECT_EQ(CPicturePool::GetPicture(200), zero);
    CPicture* last = CPicturePool::GetPicture(199);
    EXPECT_NE(last, zero);
    EXPECT_EQ(CPicturePool::GetPicture(199), last);
    EXPECT_EQ(last->GetScreen(), 1);
  }
  EXPECT_EQ(CPicturePool::GetPicture(0), nullptr);
}

}  // namespace
}  // namespace graphics_test
