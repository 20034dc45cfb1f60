// The settings of the flow-chart menu (list "selectchart"), read once at
// construction; the mini-map keys again for each displayed chart.
#pragma once

#include "mode/chartmenu.h"

struct CCommonChartMenu::Settings {
  // Charts and behaviour.
  int charts = CChartSlots::kDefaultCharts;
  int block = CChartSlots::kDefaultBlock;
  int descMax = 3;
  int angou = 0;
  int basicChart = -1;  // -1: the chart count
  int editMode = 0;
  int allClickOk = 1;
  int warningPrint = 1;
  int savePrintChart = 0;
  int newMarkPrint = 0;
  int picLoadBackScript = 0;
  // Input and script functions.
  int autoNextOn = 0, dontRightMove = 0;
  int selectSound = -1, overSound = -1;
  int scrollSpeed = 20, mainCaptureOk = 1, captureReverse = 0;
  int useFunction[6] = {1, 1, 1, 1, 0, 0};
  const char* functionName[6] = {"setroute", "getchartpercent", "checkcompslot",
                                 "openchart", "sloton", "slotopen"};
  const char* chartPercentVarName = "answer";
  const char* checkCompVarName = "answer";
  // More atlases than this per chart are not loaded.
  int maxAtlases = 4096;

  // Layout.
  int slotAreaStartX = 200, slotAreaStartY = 0;
  int slotAreaSizeX = 600, slotAreaSizeY = 600;
  int slotSizeX = 200, slotSizeY = 50;
  int bottomSpace = 60;
  int backPicNumberCommon = 2;
  int backPicSizeY = 1200;
  int centerPicLayer = 5;
  int centerMulti = 200;
  int capturePrintX = 0, capturePrintY = 0;
  int newMarkPrintX = 0, newMarkPrintY = 0;
  int dialogX = 236, dialogY = 160;

  // Node buttons.
  int buttonMulti = 140, buttonMultiCount = 40;
  int selectButtonMulti = 140, selectButtonMulti2 = 120;
  int selectSlotTrans = 80, selectOkSlotTrans = 80;
  int eraseButtonBack = 1, debugDontPrintButton = 0;
  int compPrintX = 60, compPrintY = 5;
  int compSizeX = 0, compSizeY = 0;  // 0: the mark picture's size
  int compNextX = -1, compNextY = 0;  // -1: compSizeX
  int compPercent = 20;
  int lineColor[CCommonChartMenu::kLineColors][3] = {
      {128, 180, 255}, {36, 99, 192}, {62, 85, 101}, {191, 217, 255}, {72, 148, 255}};
  int lineColorCount = 20;

  // Completion and description.
  int tasseidoBaseX = 0, tasseidoBaseY = 0;
  int fontSizeX = 11, fontSizeY = 18, fontNextX = -1, fontUpZero = 0, fontLeft = 0;
  int tasseidoX = 80, tasseidoY = 34, totalTasseidoX = 80, totalTasseidoY = 20;
  int upperDescX = 0, upperDescY = 0, lowerDescX = 0, lowerDescY = 0;
  int descPrintX = 32, descPrintY = 16, descFontSize = 20, descNextY = -1;
  int descR = 255, descG = 255, descB = 255;

  // Mini-map: the common keys, and those of the displayed chart.
  struct MiniMap {
    int baseX = 10, baseY = 300;
    int printX = 0, printY = 30;
    int sizeX = 120, sizeY = 180;
    const char* fileBase = "ta_chart_minimap02";
  } miniCommon, mini;
  int miniButtonSizeX = 12, miniButtonSizeY = 3;
  int miniButtonTime = 10;
  int miniWindowUp = 15, miniWindowDown = 15;
  int miniWindowSizeX = -1;  // -1: the picture's width
  int miniWindowPrintX = 0, miniWindowPrintY = 0;
  int miniWindowTime = 30, miniWindowPercent1 = 30, miniWindowPercent2 = 90;
  int autoJumpMiniWindow = 1;

  // Names.
  const char* slotVarName = "\x83\x60\x83\x83\x81\x5b\x83\x67\x83\x58\x83\x8d\x83\x62\x83\x67\x94\xd4\x8d\x86";
  const char* workVarName = "\x83\x8f\x81\x5b\x83\x4e\x83\x58\x83\x8d\x83\x62\x83\x67\x94\xd4\x8d\x86";
  const char* workVarName2 = "\x83\x8f\x81\x5b\x83\x4e\x83\x58\x83\x8d\x83\x62\x83\x67\x94\xd4\x8d\x86\x82\x51";
  const char* chartOpenVar = "\x83\x60\x83\x83\x81\x5b\x83\x67\x83\x49\x81\x5b\x83\x76\x83\x93\x8f\xee\x95\xf1";
  const char* newMarkVarName = "newchartflag";
  const char* tagSlot = "ta_chart_button";
  const char* tagBack = "chart_back";
  const char* tagCenter = "ta_chart_center";
  const char* fileCursor = "ta_chart_buttoncur";
  const char* fileNotLook = "ta_chart_button0";
  const char* fileComp = "ta_compmark";
  const char* fileNowChart = "ta_chartmap_cur01";
  const char* fileTasseido = "ta_chart_comp";
  const char* fileChartFont = "ta_chart_font01";
  const char* fileDescWindow = "ta_chart_meswin1";
  const char* fileCapture = "ta_capture";
  const char* fileMiniButton = "ta_chart_minimap01";
  const char* fileMiniWindow = "ta_chart_minimap03";
  const char* fileDialog = "ta_dialog_4";
};
