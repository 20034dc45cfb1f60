// CCommonChartMenu: mode 34, the story's flow chart (settings list
// "selectchart"). One or more charts of nodes (scenes) joined by links
// (branches) are drawn in parallax layers; node buttons tell reached, seen,
// closed, unseen and next (pulsing) nodes apart, links are coloured by
// whether they were passed or taken last, and a mini-map, chart tabs with
// "new" marks, completion percentages and node descriptions go with them.
// The first four back layers and the centre layer are the pictures of
// effect channels 0..3 and "centerPicLayer" (loaded there by the menu, or
// left to the back script with "picLoadBackScript"); further back layers
// are the menu's own; the chart tabs draw from work pictures 2, 3, ... of
// the pool.
//
// The per-node arrays and their files (chart slot files, "tsuka.dat",
// "mita.dat", the save slots' extension chunk) are CChartSlots'. This file
// holds the model and the entry; chartmenu_print.cpp the drawing.
//
// Node numbers are global: chart = number / block size. Seen bits are one
// byte per node, so a node counts at most 8 sub-items for seen, all-seen,
// marks and completion. Every divisor the settings give counts as at least
// 1, a node without an atlas cell draws no button, and a slot variable
// outside the node range writes and reads no slot file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "platform/types.h"
#include "savedata/chartslot.h"

class CChartFile;
class CCommonButtonGroup;
class CAnimePart;
class CCommonRadioButtonGroup;
class CNumberPrint;
class CPicture;
class CTextPrint;

class CCommonChartMenu : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectChart;
  static constexpr int kMaxSeenItems = 8;
  static constexpr int kLineColors = 5;
  // More back pictures per chart than this are not made.
  static constexpr int kMaxBackPictures = 64;
  // The first back pictures live in the pictures of effect channels 0..3;
  // the menu makes the others.
  static constexpr int kChannelBacks = 4;
  // Tab i draws from work picture i + kFirstTabPicture of the pool.
  static constexpr int kFirstTabPicture = 2;
  // Larger button cells and zooms are held to these.
  static constexpr int kMaxCellSide = 4096;
  static constexpr int kMaxZoomPercent = 1000;

  // The settings read from the list (mode/chartmenu_settings.h).
  struct Settings;

  explicit CCommonChartMenu(const GameRoles& game);
  ~CCommonChartMenu() override;
  // Writes the passed and seen files, then frees the charts and pictures.
  void Release();

  void SaveExtData(uint8_t* buffer, size_t size, int index) override;
  void LoadExtData(const uint8_t* buffer, size_t size, int index) override;
  int Calcu() override;
  int Print() override;
  int Init() override;
  void NewGame() override;
  void ResetGame() override;
  void SetCallArgs(int count, const int* values) override;
  int Function(int type, int count, const int* args) override;
  void ExitGame() override;
  void AtExit() override;

  // --- Per-node operations (chartmenu_input.cpp); a node outside the
  // range changes nothing ---
  static constexpr int kFunctionTypes = 6;
  void MarkNodeSeen(int n, int item);
  void SetNodeOpen(int n, int flag);
  void RecordBranch(int from, int to);
  // The 1-based chart number; only charts above "basicChartNumber".
  void OpenChart(int number);
  int GetChosenNode() const { return chosenNode_; }
  bool IsJumpRequested() const { return jumpRequested_ != 0; }
  bool IsDialogShown() const { return dialogShown_ != 0; }
  // The confirmation dialog's OK and Cancel buttons; null without a list.
  CCommonButtonGroup* GetDialogButtons() const { return dialogButtons_.get(); }
  // 0 idle, 1 dragging the mini-map window, 2 drag-scrolling the chart.
  int GetMiniMapState() const { return miniMapState_; }
  // The node moved with the right button, and in edit mode with the left
  // one; -1 when none.
  int GetRightDragNode() const { return rightDrag_.node; }
  int GetEditDragNode() const { return editDrag_.node; }
  // Frames left of the edit-mode save message (0: none).
  int GetEditMessageCount() const { return editMessageCount_; }
  bool IsDescUpper() const { return descUpper_ != 0; }

  // --- Chart slot files ---
  void SaveChartSlot(int returnToChart);
  void LoadChartSlot(int n);
  CChartSlots& Slots() { return *slots_; }

  // --- Model ---
  int GetChartCount() const { return slots_->GetChartCount(); }
  int GetBlockSize() const { return slots_->GetBlockSize(); }
  int ChartOf(int n) const { return n / GetBlockSize(); }
  // The chart file of chart c, null outside 0..N-1.
  CChartFile* GetChart(int c) const;
  // The node's sub-items as the seen bits can hold them (1..8; 0 for no
  // node).
  int SeenSize(int n) const;
  bool IsOpen(int n) const;
  bool IsSeen(int n) const { return slots_->GetSeen(n) != 0; }
  bool IsSelectable(int n) const { return IsOpen(n) && IsSeen(n); }
  bool IsNext(int n) const;
  bool IsAllSeen(int n) const;
  bool IsChartOpen(int c) const;
  // Recomputes the seen counts and the percentages.
  void UpdateCompletion();
  int GetChartPercent(int c) const;
  int GetTotalPercent() const { return totalPercent_; }
  int GetSeenCount(int c) const;
  // a * 100 / b, at least 1 once a > 0, at most 99 while a < b.
  static int Percent(int64_t a, int64_t b);

  // --- Menu state ---
  int GetCurrentNode() const { return currentNode_; }
  int GetEntryChart() const { return entryChart_; }
  int GetDisplayedChart() const { return displayedChart_; }
  int GetScrollY() const { return scrollY_; }
  void SetScrollY(int y);
  int GetChartHeight() const { return chartHeight_; }
  int GetCenterScrollX() const { return centerScrollX_; }
  int GetHoveredNode() const { return hoveredNode_; }
  void SetHoveredNode(int n) { hoveredNode_ = n; }
  int GetDescNode() const { return descNode_; }
  void SetDescNode(int n) { descNode_ = n; }
  int GetPulseZoom() const;
  CCommonRadioButtonGroup* GetTabs() const { return tabs_.get(); }
  // Bit c: chart c's tab shows the "new" mark.
  uint32_t GetNewChartBits() const { return newChartBits_; }
  int GetMiniWindowY() const { return miniWindowY_; }
  int GetMiniWindowHeight() const { return miniWindowHeight_; }
  // The slot variable's number, -1 when the game has none.
  int GetSlotVar() const { return slotVar_; }
  // Makes chart c (outside the range: chart 0) the displayed one.
  void ChangeChart(int c);

  // --- Drawing helpers (chartmenu_print.cpp), public for tests ---
  // The screen point of node n of the displayed chart.
  void NodeScreenPos(int n, int* x, int* y) const;
  bool IsButtonVisible(int x, int y) const;
  // Link colour (1..5) of link i of node n.
  int LinkColor(int n, int i) const;
  // The zoom (percent) and opacity of node n's button, and its look:
  // The description column shown for node n: 1 (the '!' texts) for an
  // unseen node that has them, else 0.
  int DescColumn(int n) const;
  enum Look { kLookNone, kLookNotSeen, kLookGrey, kLookCell, kLookCurrent };
  Look ButtonLook(int n, int* zoom, int* opacity) const;

 private:
  // chartmenu_settings.cpp.
  void LoadSettings();
  // Defaults that are picture sizes.
  void LoadPictureSizes();
  // The mini-map keys of chart c ("%d" forms, else the common ones).
  void LoadMiniMapSettings(int c);
  // The back pictures of chart c, and the height of the back they make: a
  // count of pictures makes that many screens, a height is kept as given.
  int BackPictureCount(int c, int64_t* backHeight) const;
  int ScrollSpeedX(int c) const;

  void LoadVariables();
  // chartmenu_input.cpp.
  void RegisterFunctions();
  // The script functions of types 0..5.
  void FunctionSetRoute(int a, int b);
  void FunctionGetChartPercent(int a, int b);
  void FunctionCheckCompSlot(int a, int b);
  void FunctionOpenChart(int a, int b);
  void FunctionSlotOn(int a, int b);
  void FunctionSlotOpen(int a, int b);
  void SetVarValue(int var, int value);
  void Arrive(int a);
  bool IsLinkOfCurrent(int n) const;
  // The calculation step's parts (chartmenu_input.cpp), in their order. A
  // step answers kGoOn to let the next one run, else the frame's result.
  static constexpr int kGoOn = -2;
  int CalcuDialog();
  int CalcuInput();
  int CalcuEdit();
  int StepRightDrag();
  int StepRightPress();
  int StepFloating();
  int StepTabs();
  int StepShortCut();
  void StepDescWindow();
  void StepWindowDrag();
  void StepDragScroll();
  int StepMiniMapClick();
  int StepWheel();
  int StepPointer();
  bool InsideChartArea(platform::Point p) const;
  // Drag scroll from the mouse's place and the scroll of now.
  void StartDragScroll();
  // The mini-map window at y (clamped); the chart scrolls with it.
  void MoveMiniWindow(int y);
  void ConstructDialog();
  void LoadDialogPictures();
  // Edit mode: writes the displayed chart's file, shows the message only
  // when it was written; the backup of every chart at construction.
  void SaveEditedChart();
  void BackupCharts();
  void PrintEditTexts();
  void PrintCapture();
  // The last node of the displayed chart (by list order) whose unzoomed
  // button holds the point, among those `candidate` accepts (all: null).
  int NodeAt(int mx, int my, bool (CCommonChartMenu::*candidate)(int) const) const;
  bool IsHoverCandidate(int n) const;
  bool IsDescCandidate(int n) const;
  bool IsNextCandidate(int n) const;
  void DeriveNodes();
  void LoadChartPictures();
  void ClampScroll();
  void UpdateMiniWindow();
  void UpdateAllSeen();
  // The chart tabs: which exist (open charts) and which take a click (a
  // chart with a next or a selectable node); their pictures.
  void SetUpTabs();
  void LoadTabPictures();
  bool ChartHasChoice(int c) const;
  int VarValue(int var) const;
  int HalfPeriod(int count) const { return count / 2 > 0 ? count / 2 : 1; }
  // Folded counter of a pulse: 0 .. half .. 0.
  static int Fold(int t, int count);

  // chartmenu_print.cpp.
  // The back layers' vertical offset at `percent` parallax (0 when the back
  // or the chart is no taller than the screen).
  int BackOffset(int percent) const;
  void PrintBack();
  void PrintCenter();
  void PrintLinks();
  void PrintLine(int x1, int y1, int x2, int y2, int color);
  void PrintNewMarks();
  void PrintNowMarker();
  void PrintMiniMap();
  void EraseButtonBacks();
  void PrintButtons();
  void PrintButton(int n);
  void PrintMarks(int n, int left, int top, int zoom);
  void PrintCompletion();
  void PrintDescription();
  // The atlas and cell of node n; false without one.
  bool NodeCell(int n, CPicture** atlas, int* sx, int* sy) const;
  // Back picture i of the displayed chart and the centre picture: effect
  // channel pictures (back pictures past kChannelBacks the menu's own);
  // null when not shown (a file that failed to load).
  CPicture* BackPicture(int i) const;
  CPicture* CenterPicture() const;

  std::unique_ptr<Settings> set_;
  std::unique_ptr<CChartSlots> slots_;
  std::vector<std::unique_ptr<CChartFile>> charts_;
  std::vector<int> seenCounts_;
  std::vector<int> percents_;
  int totalPercent_ = 0;
  std::vector<uint8_t> allSeen_;  // per node of the displayed chart

  // Variables.
  int slotVar_ = -1, workVar_ = -1, workVar2_ = -1, openVar_ = -1;
  int newMarkVar_ = -1;

  // State.
  int currentNode_ = 0;
  int entryChart_ = 0;
  int displayedChart_ = 0;
  int scrollY_ = 0;
  int chartHeight_ = 1;
  int centerScrollX_ = 0;
  int hoveredNode_ = -1;
  int descNode_ = -1;
  int descUpper_ = 0;
  int miniMapState_ = 0;
  int miniWindowY_ = 0;
  int miniWindowHeight_ = 0;
  int pulseCounter_ = 0;
  int lineColorCounter_ = 0;
  int blinkCounter_ = 0;
  int blinkOn_ = 1;
  int windowCounter_ = 0;
  int dialogShown_ = 0;
  int jumpRequested_ = 0;
  int chosenNode_ = -1;
  int percentVar_ = -1, compVar_ = -1;
  uint32_t newChartBits_ = 0;
  // A node moved by a drag: its number, start position and the mouse's.
  struct NodeDrag {
    int node = -1;
    int startX = 0, startY = 0;
    int mouseX = 0, mouseY = 0;
  };
  NodeDrag rightDrag_, editDrag_;
  // Where a mini-map or drag-scroll press began.
  int pressY_ = 0, pressScrollY_ = 0, pressWindowY_ = 0;
  int editMessageChart_ = 0, editMessageCount_ = 0;

  // Pictures.
  int atlasCols_ = 1, atlasRows_ = 1;
  std::vector<std::unique_ptr<CPicture>> atlases_;
  std::vector<uint8_t> backShown_;  // per back picture of the chart
  std::vector<std::unique_ptr<CPicture>> extraBacks_;
  bool centerShown_ = false;
  std::unique_ptr<CPicture> cursor_, notLook_, compMark_, nowMarker_;
  std::unique_ptr<CPicture> miniBase_, miniButton_, miniWindow_;
  std::unique_ptr<CPicture> tasseido_, descWindow_, capture_, dialog_;
  std::unique_ptr<CPicture> chartFont_;
  std::unique_ptr<CNumberPrint> numbers_;
  std::unique_ptr<CCommonRadioButtonGroup> tabs_;
  std::unique_ptr<CAnimePart> newMark_;
  // Tabs past the end of the work picture pool.
  std::vector<std::unique_ptr<CPicture>> extraTabPictures_;
  std::unique_ptr<CTextPrint> text_;
  std::unique_ptr<CCommonButtonGroup> dialogButtons_;
  std::unique_ptr<CPicture> dialogButtonPictures_[2];
  bool released_ = false;
  int backCount_ = 1;
  int64_t backHeight_ = 0;
};
