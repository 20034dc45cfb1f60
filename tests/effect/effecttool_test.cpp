// zor-effect's command line, run in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
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
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
  }

  int Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    args.insert(args.begin(), {"--size", "64x48"});
    const int status = effecttool::RunEffectTool(args, out, err, host_);
    out_ = out.str();
    err_ = err.str();
    return status;
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::string out_, err_;
  testsupport::TempDir dir_;
};

TEST_F(EffectToolTest, GameFolderLoadErrorsAndDebugLinesReachStderr) {
  const std::string game = dir_.path() + "/game";
  std::filesystem::create_directories(game + "/mok");
  {
    std::ofstream mesh(game + "/mok/hahen3.xtx");
    mesh << "0 3 0 0 10 20 20 20 1 3 0 1 2";
  }
  ASSERT_EQ(Run({"--game", game, "--load-errors", "--debug-output", "--picture", "5=hgrad",
                 "--start", "5,81,20,100,100,32,24,0,0,0,0,100,100,0,0,2,3", "--start",
                 "5,81,20,100,100,32,24,0,0,0,0,100,100,0,0,2,4", "--frames", "1"}),
            0)
      << err_;
  // The sheets are missing: one box for each particle object.
  EXPECT_NE(err_.find("[box] Error: ta_eff_snow.dwq \u53c8\u306f eff_snow.dwq"), std::string::npos) << err_;
  EXPECT_NE(err_.find("[box] Error: ta_eff_saku.dwq"), std::string::npos);
  // The mesh file is read; the missing one gets the list's box and its own.
  EXPECT_NE(err_.find("[box] \u5206\u5272File Not Found: mok\\hahen4.xtx"), std::string::npos) << err_;
  size_t created = 0;
  for (size_t at = err_.find("Create New Bunkatus!!"); at != std::string::npos;
       at = err_.find("Create New Bunkatus!!", at + 1))
    ++created;
  EXPECT_EQ(created, 2u);
  EXPECT_TRUE(std::filesystem::exists(game + "/mok/hahen3.xtx"));
  // Without the switches: no boxes for the sheets, no debug lines.
  ASSERT_EQ(Run({"--start", "5,81"}), 0);
  EXPECT_EQ(err_, "");
}

// The sparkles' glow comes from the game folder and its absence is never
// reported; the effects made after them still report their own sheets.
TEST_F(EffectToolTest, SparklesReadTheirGlowQuietly) {
  const std::string game = dir_.path() + "/game";
  std::filesystem::create_directories(game + "/dwq/sys");
  const std::vector<std::string> run = {"--game", game, "--load-errors", "--start", "5,42",
                                        "--frames", "12", "--hash"};
  ASSERT_EQ(Run(run), 0) << err_;
  EXPECT_EQ(err_.find("kirakira"), std::string::npos) << err_;
  size_t snowBoxes = 0;
  for (size_t at = err_.find("ta_eff_snow.dwq"); at != std::string::npos;
       at = err_.find("ta_eff_snow.dwq", at + 1))
    ++snowBoxes;
  EXPECT_EQ(snowBoxes, 2u) << err_;
  const std::string dark = out_;
  dwqtool::Picture glow{64, 64, std::vector<uint32_t>(64 * 64, 0x0000FF), {}};
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeDwq(glow, {}, &bytes, &error)) << error;
  std::ofstream(game + "/dwq/sys/kirakira.dwq", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_EQ(Run(run), 0) << err_;
  EXPECT_NE(out_, dark);
}

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

TEST_F(EffectToolTest, ThePointerWipesTheMistedWindow) {
  const std::vector<std::string> start = {"--picture", "7=solid:ffffff", "--start", "7,97,0,20,1,0"};
  std::vector<std::string> still = start, moved = start;
  for (const char* a : {"--frames", "2", "--probe", "30,20"}) still.push_back(a);
  for (const char* a : {"--frames", "1", "--mouse", "30,20", "--frames", "1", "--probe", "30,20"})
    moved.push_back(a);
  ASSERT_EQ(Run(still), 0) << err_;
  EXPECT_EQ(out_, "probe 30,20 ffffff\n");
  ASSERT_EQ(Run(moved), 0) << err_;
  EXPECT_NE(out_, "probe 30,20 ffffff\n");
}

TEST_F(EffectToolTest, ABareNameLoadsTheGamesPicture) {
  // No such picture in the game folder: the run stops with its name.
  EXPECT_NE(Run({"--picture", "3=nothing_here"}), 0);
  EXPECT_NE(err_.find("nothing_here"), std::string::npos);
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
