// Instruments for a game's authors: the frame-rate meter, the load meter,
// the variable overlay (twenty variables a page), the dated log and the
// build stamps of the engine's four libraries. The game object makes the
// meters when "fpsPrintFlag" / "fukaPrintFlag" are set and drives them and
// the overlay from its frame and its window handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
struct OverlayText;
}

class CScriptCallBack;
class CNameList;
class CPicture;
class CSetupList;
class CSystemPicture;

namespace debugaids {

// The picture-font digits both meters draw: cell (d * sizeX, sizeY) of
// the glyph picture, opaque, at (x, y).
struct GlyphFont {
  CPicture* picture = nullptr;  // from the system picture cache, not owned
  int sizeX = 16, sizeY = 16;
  // Cell `cell` of the first row (16 cells a row); digits are on the second.
  void DrawCell(int x, int y, int cell) const;
  void DrawDigit(int x, int y, int digit) const;
  bool Usable() const { return picture && sizeX > 0 && sizeY > 0; }
};

// The time of day in ms, ((hour * 60 + minute) * 60 + second) * 1000 + ms.
int64_t TimeOfDayMs();

}  // namespace debugaids

// The frame-rate meter: frames counted per second of the time of day, shown
// in up to three digits.
class CFpsPrint {
 public:
  // Reads "fpsFontSizeX", "fpsFuntSizeY", "FpsPrintX", "FpsPrintY" and
  // "fpsFileName" from the list; the font from the system pictures.
  CFpsPrint(const CSetupList* list, CSystemPicture* pictures);
  virtual ~CFpsPrint() = default;
  // Counts the frame, measures once a second and draws the value.
  void Print();
  // The same with a given time of day (ms).
  void PrintAt(int64_t nowMs);
  int GetFps() const { return fps_; }
  static int64_t GetTimeMs() { return debugaids::TimeOfDayMs(); }

 private:
  debugaids::GlyphFont font_;
  int64_t lastTime_ = 0;
  int fps_ = 0;
  int count_ = 0;
  int x_ = 0, y_ = 0;
};

// The load meter: how many ms the work of the last frame took, two digits
// behind a blinking marker.
class CFukaPrint {
 public:
  CFukaPrint(const CSetupList* list, CSystemPicture* pictures);
  virtual ~CFukaPrint() = default;
  void SetStartTime(int t) { startTime_ = t; }
  void SetEndTime(int t) { value_ = t - startTime_; }
  // Draws v, or the last frame's value when v is -1; held to 1..99.
  void Print(int v);
  int GetValue() const { return value_; }

 private:
  debugaids::GlyphFont font_;
  int startTime_ = 0;
  int value_ = 0;
  int x_ = 0, y_ = 0;
  int blink_ = 0;
};

// The variable overlay: twenty variables a page with their values, the
// selected one marked, over a box the author can fade.
class CPrintDebugParam {
 public:
  static constexpr int kPageSize = 20;
  static constexpr int kVarCount = 1000;

  explicit CPrintDebugParam(CScriptCallBack* game, const CNameList* names);
  virtual ~CPrintDebugParam() = default;

  // Box shown and 25 percent more opaque; past 100 hidden and back to 0.
  void Fade();
  // The box into the screen buffer (opaque at 100 percent, else blended),
  // and a full redraw.
  void PrintBack();
  // Within the page the selection wraps inside it; otherwise it wraps in
  // 0..999.
  void MoveSelect(int n, int withinPage);
  void MovePage(int n) { MoveSelect(n * pageSize_, 0); }
  // The lines of the page holding variable `index` (-1: the selected one)
  // for the window's text overlay, appended to `out`.
  void Print(int index, std::vector<platform::OverlayText>* out) const;

  int GetSelected() const { return selected_; }
  int GetBackPercent() const { return backPercent_; }
  int GetBackVisible() const { return backVisible_; }
  void SetHighlight(int on) { highlight_ = on; }

 private:
  CScriptCallBack* game_;
  const CNameList* names_;
  int selected_ = 0;
  int pageSize_ = kPageSize;
  int backVisible_ = 0;
  int backColorR_ = 64, backColorG_ = 192, backColorB_ = 128;
  int backPercent_ = 75;
  int highlight_ = 0;
};

// The dated log: off until started; each line is appended to a file named
// by the local time of the start.
namespace datedlog {
// Forms "<Y>年<M>月<D>日<h>時<m>分<s>秒.txt" (CP932) and switches the log on.
void StartDatedLog();
// The text and CR LF appended while the log is on; a file that cannot be
// opened is skipped.
void WriteDatedLog(const char* text);
// The log's file name ("" while off).
const std::string& DatedLogName();
// Off again (tests only: a program's log stays on once started).
void StopDatedLog();
}  // namespace datedlog

// The build stamps of the engine's four libraries, in the order the debug
// list shows them.
struct LibraryStamp {
  const char* format;  // "<name> : %s , %s"
  const char* date;    // "Feb  7 2011"
  const char* time;    // "07:34:37"
};
extern const LibraryStamp kLibraryStamps[4];
