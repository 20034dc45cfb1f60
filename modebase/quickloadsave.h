// What the load screen (mode 5) and the save screen (mode 6) offer the
// game's quick load and quick save, and what the save screen offers the
// window's close. The screens implement these beside CCommonGeneral; the
// game finds them in its mode table and asks the quick ones also while
// another mode is current, without showing the screens.
#pragma once

class CQuickLoadMode {
 public:
  virtual ~CQuickLoadMode() = default;
  // 1 when the quick slot holds a file (data, or a damaged file that quick
  // load refuses with a message), else 0.
  virtual int HasQuickLoadData() = 0;
  // 1 when the quick slot was loaded (the game restarts from it), 0 when
  // the load was refused and nothing changed (a file that cannot be loaded
  // is named to the player).
  virtual int QuickLoad() = 0;
};

class CQuickSaveMode {
 public:
  virtual ~CQuickSaveMode() = default;
  // Saves the running game into the quick slot; 1.
  virtual int QuickSave() = 0;
};

class CConfirmedSaveMode {
 public:
  virtual ~CConfirmedSaveMode() = default;
  // Writes at once the save the player confirmed that the screen has not
  // written yet: the OK of a dialog playing its click, or the chosen slot
  // blinking. 1 when one was written, 0 when none waits.
  virtual int WriteConfirmedSave() = 0;
};
