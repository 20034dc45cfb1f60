// zor-effect's command line, run in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "effectrunner.h"
#include "platform/headless/headless.h"
#include "pngfile.h"
#include "support/temp_dir.h"

namespace {

class EffectToolTest : public testing::Test {
 protected:
  void SetUp() override { platform::InstallHeadless().SetBoxEcho(false); }

  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    args.insert(args.begin(), {"--size", "64x48"});
    const int status = effecttool::RunEffectTool(args, out, err);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  std::string out_, err_;
  testsupport::TempDir dir_;
};

TEST_F(EffectToolTest, PutFillsThenPastesTheSavedScreen) {
  ASSERT_EQ(Run({"--saved", "solid:336699", "--start", "5,2,20,255", "--probe", "1,1", "--frames",
                 "1", "--probe", "62,40"}),
            0)
      << err_;
  EXPECT_EQ(out_, "probe 1,1 ffffff\nprobe 62,40 336699\n");
}

TEST_F(EffectToolTest, OnceShowsItsPictureOnFrameZeroAndInItsWindow) {
  ASSERT_EQ(Run({"--picture", "5=solid:ff0000:4x4", "--start", "5,75,30,10,5", "--frames", "1",
                 "--probe", "1,1", "--frames", "1", "--probe", "1,1", "--frames", "9", "--probe",
                 "1,1", "--frames", "4", "--probe", "1,1", "--frames", "1", "--probe", "1,1"}),
            0)
      << err_;
  EXPECT_EQ(out_,
            "probe 1,1 ff0000\nprobe 1,1 000000\nprobe 1,1 ff0000\nprobe 1,1 ff0000\n"
            "probe 1,1 000000\n");
}

TEST_F(EffectToolTest, LupinFloodsBlueAndRefusalsAreReported) {
  ASSERT_EQ(Run({"--start", "0,113,20,0,0,255", "--start", "0,3", "--frames", "3", "--probe",
                 "0,0", "--probe", "63,47"}),
            0)
      << err_;
  EXPECT_EQ(out_, "refused 0,3\nprobe 0,0 0000ff\nprobe 63,47 0000ff\n");
}

TEST_F(EffectToolTest, WarpAtItsEndSamplesRightOfTheCentre) {
  ASSERT_EQ(Run({"--picture", "5=hgrad", "--start", "5,105,1", "--frames", "2", "--probe",
                 "32,24", "--probe", "33,24"}),
            0)
      << err_;
  EXPECT_EQ(out_, "probe 32,24 852100\nprobe 33,24 852100\n");
}

TEST_F(EffectToolTest, FullAnimationReadsItsFramesFromTheGameFolder) {
  // Frame 0 of animation 3, written by the frame writer into DWQ/An (the
  // letter case of the folders does not matter).
  const std::filesystem::path frames = std::filesystem::path(dir_ / "game") / "DWQ" / "An";
  std::filesystem::create_directories(frames);
  dwqtool::Picture picture{64, 48, std::vector<uint32_t>(64 * 48, 0x336699), {}};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeAnimeFrame(picture, &bytes, &error)) << error;
  ASSERT_TRUE(dwqtool::WriteBytes((frames / "an003000.dwq").string(), bytes));
  const std::string game = dir_ / "game";
  ASSERT_EQ(Run({"--game", game, "--start", "0,79,20,3", "--frames", "1", "--probe", "5,5"}), 0)
      << err_;
  EXPECT_EQ(out_, "probe 5,5 336699\n");
  // Without the folder the frame is missing: the screen stays black.
  ASSERT_EQ(Run({"--start", "0,79,20,3", "--frames", "1", "--probe", "5,5"}), 0) << err_;
  EXPECT_EQ(out_, "probe 5,5 000000\n");
  EXPECT_EQ(Run({"--game", dir_ / "none"}), 2);
}

TEST_F(EffectToolTest, FramesHashTheSameEachRunAndWriteTheirPictures) {
  const std::string every = dir_ / "frames";
  std::filesystem::create_directories(every);
  const std::string png = dir_ / "last.png";
  const std::vector<std::string> args = {"--picture", "4=vgrad", "--start", "4,105,4,20,20,90",
                                         "--hash", "--every", "2", every, "--frames", "4", png};
  ASSERT_EQ(Run(args), 0) << err_;
  const std::string first = out_;
  ASSERT_EQ(Run(args), 0);
  EXPECT_EQ(out_, first);
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 4);
  EXPECT_NE(first.find("frame 4 "), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(every + "/frame00002.png"));
  EXPECT_TRUE(std::filesystem::exists(every + "/frame00004.png"));
  EXPECT_FALSE(std::filesystem::exists(every + "/frame00003.png"));
  dwqtool::Picture written;
  std::string error;
  ASSERT_TRUE(dwqtool::ReadPngFile(png, &written, &error)) << error;
  EXPECT_EQ(written.width, 64);
  EXPECT_EQ(written.height, 48);
}

TEST_F(EffectToolTest, BadInputGivesAMessage) {
  const std::vector<std::vector<std::string>> bad = {
      {"--start", "x"},
      {"--picture", "16=solid:ffffff"},
      {"--picture", "1=solid:fffff"},
      {"--picture", "1=missing.png"},
      {"--load", "2=hgrad:0x5"},
      {"--frames", "-1"},
      {"--rect", "1,2,3"},
      {"--bogus", "1"},
      {"--every", "0", "dir"},
      {"--probe"},
  };
  for (const auto& args : bad) {
    EXPECT_NE(Run(args), 0) << args[0];
    EXPECT_FALSE(err_.empty()) << args[0];
  }
  // Out-of-range channels and kinds are the manager's to ignore.
  EXPECT_EQ(Run({"--rect", "99,9,1,2,3,4", "--probe", "-5,100"}), 0) << err_;
  EXPECT_EQ(out_, "probe -5,100 000000\n");
}

}  // namespace
