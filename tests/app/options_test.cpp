#include <gtest/gtest.h>

#include "app/options.h"

namespace {

TEST(ProgramOptions, ReadsEveryOption) {
  ProgramOptions o;
  std::string error;
  ASSERT_TRUE(ParseProgramOptions({"demo", "--headless", "--frames", "40", "--screenshot", "s.png",
                                   "--box-answer", "yes", "--debug-output", "--input", "in.txt",
                                   "--hash-every", "10", "--real-fonts", "--capture-audio", "mix.wav",
                                   "--screenshot-at", "7", "a.png", "--hash-at", "9",
                                   "--screenshot-at", "3", "b.png", "--hash-at", "2"},
                                  &o, &error))
      << error;
  EXPECT_EQ(o.gameFolder, "demo");
  EXPECT_TRUE(o.headless);
  EXPECT_EQ(o.frames, 40);
  EXPECT_EQ(o.screenshot, "s.png");
  EXPECT_TRUE(o.boxAnswerYes);
  EXPECT_TRUE(o.debugOutput);
  EXPECT_EQ(o.inputScript, "in.txt");
  EXPECT_EQ(o.hashEvery, 10);
  EXPECT_TRUE(o.realFonts);
  EXPECT_EQ(o.captureAudio, "mix.wav");
  ASSERT_EQ(o.screenshotsAt.size(), 2u);
  EXPECT_EQ(o.screenshotsAt[0].frame, 7);
  EXPECT_EQ(o.screenshotsAt[0].file, "a.png");
  EXPECT_EQ(o.screenshotsAt[1].frame, 3);
  EXPECT_EQ(o.screenshotsAt[1].file, "b.png");
  EXPECT_EQ(o.hashesAt, (std::vector<long long>{9, 2}));

  ASSERT_TRUE(ParseProgramOptions({}, &o, &error));
  EXPECT_EQ(o.gameFolder, "");
  EXPECT_EQ(o.frames, -1);
  EXPECT_FALSE(o.boxAnswerYes);
  EXPECT_FALSE(o.realFonts);
}

TEST(ProgramOptions, RefusesWhatItDoesNotUnderstand) {
  const std::vector<std::vector<std::string>> bad = {
      {"--frames"}, {"--frames", "x"}, {"--frames", "-3"}, {"--box-answer", "maybe"},
      {"--color"},  {"a", "b"},        {"--hash-every", "1e3"}, {"--capture-audio"},
      {"--screenshot-at", "0", "a.png"}, {"--screenshot-at", "5"},
      {"--screenshot-at", "5", "--headless"}, {"--screenshot-at", "x", "a.png"},
      {"--hash-at", "0"}, {"--hash-at"},
  };
  for (const auto& args : bad) {
    ProgramOptions o;
    std::string error;
    EXPECT_FALSE(ParseProgramOptions(args, &o, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(ProgramOptions, HelpAndTheHeadlessEndingNote) {
  ProgramOptions o;
  std::string error;
  for (const char* flag : {"--help", "-h"}) {
    ASSERT_TRUE(ParseProgramOptions({flag}, &o, &error)) << flag;
    EXPECT_TRUE(o.help);
  }
  EXPECT_NE(std::string(ProgramUsage()).find("exit status"), std::string::npos);

  struct Case {
    bool headless;
    long long frames;
    bool scriptCloses;
    bool note;
  };
  const Case cases[] = {{true, -1, false, true},
                        {true, 10, false, false},
                        {true, -1, true, false},
                        {false, -1, false, false}};
  for (const Case& c : cases) {
    ProgramOptions options;
    options.headless = c.headless;
    options.frames = c.frames;
    EXPECT_EQ(HeadlessEndingNote(options, c.scriptCloses) != nullptr, c.note)
        << c.headless << " " << c.frames << " " << c.scriptCloses;
  }
}

}  // namespace
