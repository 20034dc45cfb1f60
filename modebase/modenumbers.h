// The mode numbers: every screen is a mode, kept in a table of kModeCount
// slots indexed by its number. Each enumerator is named after the mode's
// settings name in the mode-name table (modebase/modenames.h). Saves,
// scripts and settings hold a mode number as a plain int, and so do the
// mode operations; the enumerators convert to it where they are passed.
#pragma once

namespace modenumber {

enum ModeNumber : int {
  kNothing = 1,  // start-up
  kLogo = 2,
  kOpening = 3,
  kTitle = 4,
  kLoad = 5,
  kSave = 6,
  kBackLog = 7,
  kListenBGM = 8,      // music room
  kSelectMessage = 9,  // choice
  kPrintMessage = 10,
  kDraw = 11,
  kConfig = 12,
  kSystemMenu = 13,
  kPrintOverrap = 14,
  kOmake = 15,  // extras
  kSelectCGChara = 16,
  kSelectCG = 17,
  kSelectScene = 18,
  kSelectSceneChara = 20,
  kSelectPlace = 22,
  kPrintCG = 23,      // picture viewer
  kSelectZukan = 24,  // picture book
  kSelectMovieChara = 25,
  kSelectMovie = 26,
  kPrintMovie = 27,
  kNameInput = 29,
  kPrintCalendar = 30,
  kSelectHeroin = 31,
  kCodecError = 32,
  kPrintResult = 33,
  kSelectChart = 34,  // flow chart
  kSelectPlace2 = 35,
  kMiniGame = 40,
  kCardSystem = 45,
};

// The mode a system screen returns to when nothing else was set.
constexpr int kDefaultReturnMode = kPrintMessage;

// Slots of the mode table: numbers 0..99, 0 naming no mode.
constexpr int kModeCount = 100;

}  // namespace modenumber
