// Process-wide state of the picture loader: the shared decode buffer, the
// load-error switch and the mode number its message shows. CPicture::LoadDWQ
// (graphics/pictureloader.cpp) reads picture files with it. Whoever sets up
// graphics starts the loader and shuts it down: the game object's
// initialisation and release step, and the tests' fixtures.
#pragma once

#include "graphics/dwqformat.h"

// Makes the decode buffer (dwq::DecodeBufferBytes(megabytes)) unless it
// exists; the game's own size is dwq::kDecodeMegabytes.
// 1, or 0 when it cannot be had (every later load then fails).
int InitPictureLoader(int megabytes);
void ReleasePictureLoader();
// Size of the decode buffer, 0 while the loader is not started.
int GetPictureDecodeBufferSize();

// When the switch is on, a picture file that cannot be opened or read is
// reported in a message box showing the mode number.
void SetLoadDwqErrorFlag(int on);
int GetLoadDwqErrorFlag();
void SetLoadDwqErrorMode(int mode);
int GetLoadDwqErrorMode();
// While on, a picture file that is not found is not told at all (not even
// on stderr): the caller tries names in turn and reports for itself.
void SetLoadDwqQuiet(int on);
int GetLoadDwqQuiet();
// The quiet switch on for the life of the object, then as it was.
class CQuietMissingPictures {
 public:
  CQuietMissingPictures() : was_(GetLoadDwqQuiet()) { SetLoadDwqQuiet(1); }
  ~CQuietMissingPictures() { SetLoadDwqQuiet(was_); }
  CQuietMissingPictures(const CQuietMissingPictures&) = delete;
  CQuietMissingPictures& operator=(const CQuietMissingPictures&) = delete;

 private:
  int was_;
};

// While an object lives, the pictures loaded are ones a screen cannot work
// without (`what` names the screen's part, e.g. "the message window"): a
// damaged one is shown in a box naming the file, once per name, beside its
// line on stderr (unless the load-error box already showed it).
class CNeededPictures {
 public:
  explicit CNeededPictures(const char* what);
  ~CNeededPictures();
  CNeededPictures(const CNeededPictures&) = delete;
  CNeededPictures& operator=(const CNeededPictures&) = delete;

 private:
  const char* was_;
};

// The system pictures a game may go without, each by the name its screen
// asks for when the settings name no other: the save slots' digits
// (ta_sl_font), the special glyphs (spfont24), the page-end cursor
// (mes_cur), the configuration's bars (ta_opt_bar), the choice window
// (ta_select01) and the mini-game's congratulation (ta_congra). The screen
// draws without one; a missing one is not told (a damaged one is). name:
// "NAME" or "sys\\NAME", any letter case.
bool IsOptionalSystemPicture(const char* name);

// Tests: releases the loader and clears the switch and the mode number.
void ResetPictureLoader();
