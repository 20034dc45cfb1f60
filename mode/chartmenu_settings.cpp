#include <algorithm>
#include <cstdio>

#include "mode/screensetvars.h"
#include "services/screenservices.h"
#include "graphics/picture.h"
#include "mode/chartmenu_settings.h"
#include "setup/wrap.h"

namespace {

using Settings = CCommonChartMenu::Settings;

struct IntKey {
  const char* key;
  int Settings::*field;
};

// Keys read as they are; their defaults are the fields' initial values or
// set before the table is read.
constexpr IntKey kIntKeys[] = {
    {"chartListNumber", &Settings::charts},
    {"chartBlockSize", &Settings::block},
    {"chartDescMax", &Settings::descMax},
    {"chartAngouFlag", &Settings::angou},
    {"editMode", &Settings::editMode},
    {"allClickOk", &Settings::allClickOk},
    {"warningPrintFlag", &Settings::warningPrint},
    {"savePrintChartFlag", &Settings::savePrintChart},
    {"newMarkPrintFlag", &Settings::newMarkPrint},
    {"autoNextOn", &Settings::autoNextOn},
    {"dontRightMove", &Settings::dontRightMove},
    {"selectSound", &Settings::selectSound},
    {"overSound", &Settings::overSound},
    {"scrollSpeed", &Settings::scrollSpeed},
    {"mainCaptureOk", &Settings::mainCaptureOk},
    {"captureReverse", &Settings::captureReverse},
    {"slotAreaStartX", &Settings::slotAreaStartX},
    {"slotAreaStartY", &Settings::slotAreaStartY},
    {"slotSizeX", &Settings::slotSizeX},
    {"slotSizeY", &Settings::slotSizeY},
    {"bottomSpace", &Settings::bottomSpace},
    {"backPicNumberCommon", &Settings::backPicNumberCommon},
    {"centerPicLayer", &Settings::centerPicLayer},
    {"centerMulti", &Settings::centerMulti},
    {"capturePrintX", &Settings::capturePrintX},
    {"capturePrintY", &Settings::capturePrintY},
    {"dialogX", &Settings::dialogX},
    {"newMarkPrintX", &Settings::newMarkPrintX},
    {"newMarkPrintY", &Settings::newMarkPrintY},
    {"dialogY", &Settings::dialogY},
    {"buttonMulti", &Settings::buttonMulti},
    {"buttonMultiCount", &Settings::buttonMultiCount},
    {"selectButtonMulti", &Settings::selectButtonMulti},
    {"selectButtonMulti2", &Settings::selectButtonMulti2},
    {"selectSlotTransPercent", &Settings::selectSlotTrans},
    {"selectOkSlotTransPercent", &Settings::selectOkSlotTrans},
    {"eraseButtonBack", &Settings::eraseButtonBack},
    {"debugDontPrintButton", &Settings::debugDontPrintButton},
    {"compPrintX", &Settings::compPrintX},
    {"compPrintY", &Settings::compPrintY},
    {"compPercent", &Settings::compPercent},
    {"lineColorCount", &Settings::lineColorCount},
    {"tasseidoBaseX", &Settings::tasseidoBaseX},
    {"tasseidoBaseY", &Settings::tasseidoBaseY},
    {"chartFontSizeX", &Settings::fontSizeX},
    {"chartFontSizeY", &Settings::fontSizeY},
    {"chartFontUpZeroFlag", &Settings::fontUpZero},
    {"chartFontLeftFlag", &Settings::fontLeft},
    {"tasseidoX", &Settings::tasseidoX},
    {"tasseidoY", &Settings::tasseidoY},
    {"totalTasseidoX", &Settings::totalTasseidoX},
    {"totalTasseidoY", &Settings::totalTasseidoY},
    {"descPrintX", &Settings::descPrintX},
    {"descPrintY", &Settings::descPrintY},
    {"descFontSize", &Settings::descFontSize},
    {"descColorR", &Settings::descR},
    {"descColorG", &Settings::descG},
    {"descColorB", &Settings::descB},
    {"miniMapButtonSizeX", &Settings::miniButtonSizeX},
    {"miniMapButtonSizeY", &Settings::miniButtonSizeY},
    {"miniButtonTime", &Settings::miniButtonTime},
    {"miniMapWindowUpSize", &Settings::miniWindowUp},
    {"miniMapWindowDownSize", &Settings::miniWindowDown},
    {"miniWindowTime", &Settings::miniWindowTime},
    {"miniWindowPercent1", &Settings::miniWindowPercent1},
    {"miniWindowPercent2", &Settings::miniWindowPercent2},
    {"autoJumpMiniWindow", &Settings::autoJumpMiniWindow},
};

struct StringKey {
  const char* key;
  const char* Settings::*field;
};

constexpr StringKey kStringKeys[] = {
    {screensetvars::kChartSlot, &Settings::slotVarName},
    {screensetvars::kChartWork, &Settings::workVarName},
    {screensetvars::kChartWork2, &Settings::workVarName2},
    {screensetvars::kChartOpen, &Settings::chartOpenVar},
    {screensetvars::kChartNewMark, &Settings::newMarkVarName},
    {screensetvars::kChartPercent, &Settings::chartPercentVarName},
    {screensetvars::kChartComplete, &Settings::checkCompVarName},
    {"tagNameChartSlot", &Settings::tagSlot},
    {"tagNameBack", &Settings::tagBack},
    {"tagNameCenter", &Settings::tagCenter},
    {"filenameButtonCursor", &Settings::fileCursor},
    {"filenameNotLook", &Settings::fileNotLook},
    {"fileNameComp", &Settings::fileComp},
    {"filenameNowChart", &Settings::fileNowChart},
    {"filenameTasseido", &Settings::fileTasseido},
    {"filenameChartFont", &Settings::fileChartFont},
    {"filenameDescWindow", &Settings::fileDescWindow},
    {"filenameCapturePic", &Settings::fileCapture},
    {"filenameMiniMapButton", &Settings::fileMiniButton},
    {"filenameMiniMapWindow", &Settings::fileMiniWindow},
    {"fileNameDialog", &Settings::fileDialog},
};

std::string Numbered(const char* key, int n) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, key, n);
  return buffer;
}

}  // namespace

void CCommonChartMenu::LoadSettings() {
  Settings& s = *set_;
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  for (const IntKey& k : kIntKeys) GetSetupInt(&(s.*k.field), k.key);
  for (const StringKey& k : kStringKeys) GetSetupString(&(s.*k.field), k.key);
  // The script functions, by type.
  static constexpr const char* kUseKeys[6] = {
      "useSetRouteFunction", "useGetChartPercentFunction", "useCheckCompSlotFunction",
      "useOpenChartFunction", "useSlotOnFunction",         "useSlotOpenFunction"};
  static constexpr const char* kNameKeys[6] = {
      "setRouteFunctionName", "getChartPercentFunctionName", "checkCompSlotFunctionName",
      "openChartFunctionName", "slotOnFunctionName",         "slotOpenFunctionName"};
  for (int t = 0; t < 6; ++t) {
    GetSetupInt(&s.useFunction[t], kUseKeys[t]);
    GetSetupString(&s.functionName[t], kNameKeys[t]);
  }
  GetSetupInt(&s.basicChart, "basicChartNumber");
  if (s.basicChart < 0) s.basicChart = -1;
  if (GetBackScriptFlag()) GetSetupInt(&s.picLoadBackScript, "picLoadBackScript");
  GetSetupIntDefault(&s.slotAreaSizeX, "slotAreaSizeX", setup::WrapSub(width, s.slotAreaStartX));
  GetSetupIntDefault(&s.slotAreaSizeY, "slotAreaSizeY", setup::WrapSub(height, s.slotAreaStartY));
  GetSetupIntDefault(&s.backPicSizeY, "backPicSizeY",
                     setup::WrapMul(height, s.backPicNumberCommon));
  GetSetupIntDefault(&s.fontNextX, "chartFontNextX", s.fontSizeX);
  GetSetupIntDefault(&s.descNextY, "descNextY", setup::WrapAdd(s.descFontSize, 8));
  for (int i = 0; i < kLineColors; ++i) {
    GetSetupInt(&s.lineColor[i][0], Numbered("lineColorR%d", i + 1).c_str());
    GetSetupInt(&s.lineColor[i][1], Numbered("lineColorG%d", i + 1).c_str());
    GetSetupInt(&s.lineColor[i][2], Numbered("lineColorB%d", i + 1).c_str());
  }
  for (auto& colour : s.lineColor)
    for (int& v : colour) v = std::clamp(v, 0, 255);
  for (int* v : {&s.miniWindowPercent1, &s.miniWindowPercent2, &s.compPercent})
    *v = std::clamp(*v, 0, 100);
  // Sizes and periods the drawing divides by count as at least 1.
  for (int* v : {&s.slotSizeX, &s.slotSizeY, &s.slotAreaSizeX, &s.buttonMultiCount,
                 &s.lineColorCount})
    *v = std::max(*v, 1);
  // A button cell is a part of a picture: no larger than one can be.
  s.slotSizeX = std::min(s.slotSizeX, kMaxCellSide);
  s.slotSizeY = std::min(s.slotSizeY, kMaxCellSide);
  for (int* v : {&s.buttonMulti, &s.selectButtonMulti, &s.selectButtonMulti2})
    *v = std::clamp(*v, 0, kMaxZoomPercent);
  Settings::MiniMap& m = s.miniCommon;
  GetSetupInt(&m.baseX, "miniMapBasePrintX");
  GetSetupInt(&m.baseY, "miniMapBasePrintY");
  GetSetupInt(&m.printX, "miniMapPrintX");
  GetSetupInt(&m.printY, "miniMapPrintY");
  GetSetupInt(&m.sizeX, "miniMapSizeX");
  GetSetupInt(&m.sizeY, "miniMapSizeY");
  GetSetupString(&m.fileBase, "filenameMiniMapBase");
  s.mini = m;
}

void CCommonChartMenu::LoadPictureSizes() {
  Settings& s = *set_;
  const int width = game_ ? game_.screen->GetScreenWidth() : 800;
  const int height = game_ ? game_.screen->GetScreenHeight() : 600;
  GetSetupIntDefault(&s.compSizeX, "compSizeX", compMark_ ? compMark_->GetWidth() : 0);
  GetSetupIntDefault(&s.compSizeY, "compSizeY", compMark_ ? compMark_->GetHeight() : 0);
  GetSetupIntDefault(&s.compNextX, "compNextX", s.compSizeX);
  GetSetupInt(&s.compNextY, "compNextY");
  GetSetupIntDefault(&s.miniWindowSizeX, "miniMapWindowSizeX",
                     miniWindow_ ? miniWindow_->GetWidth() : 0);
  int sizeX1 = s.miniCommon.sizeX;
  GetSetupInt(&sizeX1, "miniMapSizeX1");
  GetSetupIntDefault(&s.miniWindowPrintX, "miniMapWindowPrintX",
                     setup::WrapSub(sizeX1, s.miniWindowSizeX) / 2);
  GetSetupIntDefault(&s.miniWindowPrintY, "miniMapWindowPrintY",
                     setup::WrapSub(0, s.miniWindowUp));
  const int w = descWindow_ ? descWindow_->GetWidth() : 0;
  const int h = descWindow_ ? descWindow_->GetHeight() : 0;
  GetSetupIntDefault(&s.upperDescX, "upperDescWindowPrintX", (width - w) / 2);
  GetSetupIntDefault(&s.upperDescY, "upperDescWindowPrintY", (height / 2 - h) / 2);
  GetSetupIntDefault(&s.lowerDescX, "lowerDescWindowPrintX", (width - w) / 2);
  GetSetupIntDefault(&s.lowerDescY, "lowerDescWindowPrintY", height - (height / 2 - h) / 2 - h);
}

void CCommonChartMenu::LoadMiniMapSettings(int c) {
  Settings& s = *set_;
  s.mini = s.miniCommon;
  const struct {
    const char* key;
    int* field;
  } keys[] = {{"miniMapBasePrintX%d", &s.mini.baseX}, {"miniMapBasePrintY%d", &s.mini.baseY},
              {"miniMapPrintX%d", &s.mini.printX},    {"miniMapPrintY%d", &s.mini.printY},
              {"miniMapSizeX%d", &s.mini.sizeX},      {"miniMapSizeY%d", &s.mini.sizeY}};
  for (const auto& k : keys) GetSetupInt(k.field, Numbered(k.key, c + 1).c_str());
  GetSetupString(&s.mini.fileBase, Numbered("filenameMiniMapBase%d", c + 1).c_str());
  s.mini.sizeY = std::max(s.mini.sizeY, 1);
}

int CCommonChartMenu::BackPictureCount(int c, int64_t* backHeight) const {
  const int height = std::max(game_ ? game_.screen->GetScreenHeight() : 600, 1);
  int count = 0;
  if (GetSetupInt(&count, Numbered("backPicNumber%d", c + 1).c_str())) {
    count = std::clamp(count, 1, kMaxBackPictures);
    *backHeight = int64_t{count} * height;
    return count;
  }
  int sizeY = set_->backPicSizeY;
  GetSetupInt(&sizeY, Numbered("backPicSizeY%d", c + 1).c_str());
  *backHeight = sizeY;
  return static_cast<int>(std::clamp<int64_t>((int64_t{sizeY} + height - 1) / height, 1, kMaxBackPictures));
}

int CCommonChartMenu::ScrollSpeedX(int c) const {
  int speed = -1;
  GetSetupInt(&speed, Numbered("scrollSpeedX%d", c + 1).c_str());
  return speed;
}
