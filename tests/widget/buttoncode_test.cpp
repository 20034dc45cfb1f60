#include "widget/buttoncode.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct MakeCase {
  const char* what;
  int32_t kind;
  int sound, value, number, volumeType;
  uint32_t expected;
};

TEST(ButtonCode, MakeFollowsTheFieldRules) {
  const MakeCase cases[] = {
      {"decided with number", buttoncode::kDecided, -1, -1, 3, -1, 0xF0000083u},
      {"kind keeps only its top byte", static_cast<int32_t>(0xF8123456u), -1, -1, -1, -1, 0xF8000000u},
      {"sound with volume type", buttoncode::kPressed, 5, -1, -1, 6, 0xF8C08500u},
      {"volume type is 3 bits", buttoncode::kPressed, 5, -1, -1, 15, 0xF8E08500u},
      {"sound without volume type", buttoncode::kPressed, 5, -1, -1, -1, 0xF8008500u},
      {"sound is 7 bits", buttoncode::kEntered, 200, -1, -1, 0, 0xFB00C800u},
      {"sound 0: neither sound nor volume", buttoncode::kEntered, 0, -1, -1, 7, 0xFB000000u},
      {"negative sound: neither", buttoncode::kEntered, -4, -1, -1, 7, 0xFB000000u},
      {"value -1 counts as 0", buttoncode::kSoundOnly, -1, -1, -1, -1, 0xFD000000u},
      {"value is 5 bits", buttoncode::kSoundOnly, -1, 33, -1, -1, 0xFD010000u},
      {"negative number: none", buttoncode::kBusy, -1, -1, -2, -1, 0xF9000000u},
      {"number 0", buttoncode::kDecided, -1, -1, 0, -1, 0xF0000080u},
      {"number is 7 bits", buttoncode::kDecided, -1, -1, 130, -1, 0xF0000082u},
  };
  for (const MakeCase& c : cases)
    EXPECT_EQ(static_cast<uint32_t>(MakeButtonCode(c.kind, c.sound, c.value, c.number, c.volumeType)),
              c.expected)
        << c.what;
}

TEST(ButtonCode, GettersReadTheFields) {
  const int32_t code = MakeButtonCode(buttoncode::kPressed, 9, 4, 17, 5);
  EXPECT_EQ(GetButtonCodeKind(code), buttoncode::kPressed);
  EXPECT_EQ(GetButtonCodeSound(code), 9);
  EXPECT_EQ(GetButtonCodeValue(code), 4);
  EXPECT_EQ(GetButtonCodeNumber(code), 17);
  EXPECT_EQ(GetButtonCodeVolumeType(code), 5);
  EXPECT_EQ(CheckButtonCodeSound(code), 1);
  EXPECT_EQ(CheckButtonCodeNumber(code), 1);

  const int32_t bare = MakeButtonCode(buttoncode::kBusy, 0, -1, -1, -1);
  EXPECT_EQ(GetButtonCodeSound(bare), 0);
  EXPECT_EQ(GetButtonCodeNumber(bare), -1);
  EXPECT_EQ(CheckButtonCodeSound(bare), 0);
  EXPECT_EQ(CheckButtonCodeNumber(bare), 0);
}

TEST(ButtonCode, EveryGetterOnNothing) {
  EXPECT_EQ(GetButtonCodeKind(-1), -1);
  EXPECT_EQ(GetButtonCodeSound(-1), 0);
  EXPECT_EQ(GetButtonCodeNumber(-1), -1);
  EXPECT_EQ(GetButtonCodeVolumeType(-1), 0);
  EXPECT_EQ(GetButtonCodeValue(-1), 0);
  EXPECT_EQ(CheckButtonCodeSound(-1), 0);
  EXPECT_EQ(CheckButtonCodeNumber(-1), 0);
}

TEST(ButtonCode, SetNumberKeepsTheUpperBitsAndReplacesTheLowByte) {
  const int32_t code = MakeButtonCode(buttoncode::kDecided, 3, -1, 5, 2);
  EXPECT_EQ(static_cast<uint32_t>(SetButtonCodeNumber(code, 9)),
            (static_cast<uint32_t>(code) & 0xFFFFFF00u) | 0x89u);
  EXPECT_EQ(GetButtonCodeNumber(SetButtonCodeNumber(code, 127)), 127);
  EXPECT_EQ(GetButtonCodeNumber(SetButtonCodeNumber(code, 128)), 0);
  EXPECT_EQ(GetButtonCodeNumber(SetButtonCodeNumber(MakeButtonCode(buttoncode::kBusy, -1, -1, -1, -1), 4)), 4);
}

}  // namespace
