// CCommonPrintMessage: the settings list "PrintMessage" and what it makes
// (name colours, cut-in table and window, name and background pictures).
#include <algorithm>
#include <string>

#include "services/screenservices.h"
#include "graphics/screenbuffer.h"
#include "message/cutin.h"
#include "message/fontprint.h"
#include "mode/printmessage.h"
#include "setup/gamelistnames.h"
#include "setup/wrap.h"

namespace {

std::string Numbered(const char* key, int n) { return key + std::to_string(n); }

// A divisor from the settings: 0 or below counts as 1.
int Divisor(int v) { return v > 0 ? v : 1; }

int FontSize(int v) { return std::clamp(v, 1, CFontPrint::kMaxSize); }

}  // namespace

void CCommonPrintMessage::ReadColours(const char* colour, const char* shade, int* r, int* g, int* b,
                                      int* outline) {
  const std::string c = colour, o = shade;
  GetSetupInt(r, (c + "R").c_str());
  GetSetupInt(g, (c + "G").c_str());
  GetSetupInt(b, (c + "B").c_str());
  int orr = 0, og = 0, ob = 0;
  GetSetupInt(&orr, (o + "R").c_str());
  GetSetupInt(&og, (o + "G").c_str());
  GetSetupInt(&ob, (o + "B").c_str());
  *outline = (orr & 0xFF) << 16 | (og & 0xFF) << 8 | (ob & 0xFF);
}

void CCommonPrintMessage::LoadSettings() {
  Settings& s = s_;
  Layout& b = s.base;
  GetSetupIntDefault(&b.fontSize, "fontSize", 24);
  b.fontSize = FontSize(b.fontSize);
  GetSetupIntDefault(&b.printX, "printX", 100);
  GetSetupIntDefault(&b.printY, "printY", 100);
  GetSetupIntDefault(&b.nextX, "nextX", 0);
  GetSetupIntDefault(&b.nextY, "nextY", b.fontSize + 6);
  GetSetupIntDefault(&b.space, "space", 1);
  GetSetupIntDefault(&s.lPrintX, "LPrintX", 100);
  GetSetupIntDefault(&s.lPrintY, "LPrintY", 100);
  GetSetupIntDefault(&s.lNextX, "LNextX", b.nextX);
  GetSetupIntDefault(&s.lNextY, "LNextY", b.nextY);

  GetSetupIntDefault(&s.colorCustomFlag, "colorCustomFlag", 0);
  if (s.colorCustomFlag)
    ReadColours("color", "shadeColor", &s.colorR, &s.colorG, &s.colorB, &s.shadeColor);

  GetSetupIntDefault(&s.windowMessageNumber, "windowMessageNumber", 4);
  s.windowMessageNumber = std::clamp(s.windowMessageNumber, 0, kTextSlots);
  const int height = game_ ? game_.screen->GetScreenHeight() : CScreenBuffer::GetHeight();
  GetSetupIntDefault(&s.fullMessageNumber, "fullMessageNumber",
                     setup::WrapSub(height, s.lPrintY) / Divisor(s.lNextY) - 1);
  s.fullMessageNumber = std::clamp(s.fullMessageNumber, 0, kTextSlots);

  // The name.
  GetSetupIntDefault(&s.nameFlag, "nameFlag", 1);
  GetSetupIntDefault(&s.nameX, "nameX", setup::WrapSub(b.printX, b.nextX));
  GetSetupIntDefault(&s.nameY, "nameY", setup::WrapSub(b.printY, b.nextY));
  GetSetupIntDefault(&s.nameCenterFlag, "nameCenterFlag", 1);
  GetSetupIntDefault(&s.nameLengthMax, "nameLengthMax", 5);
  GetSetupIntDefault(&s.nameFontSize, "nameFontSize", 20);
  s.nameFontSize = FontSize(s.nameFontSize);
  GetSetupIntDefault(&s.nameSpace, "nameSpace", 1);
  if (s.colorCustomFlag)
    ReadColours("nameColor", "nameShadeColor", &s.nameColorR, &s.nameColorG, &s.nameColorB,
                &s.nameShadeColor);

  // The font-size types: entry 0 holds the base values.
  GetSetupIntDefault(&s.fontSizeTypeNumber, "fontSizeTypeNumber", 0);
  s.fontSizeTypeNumber = std::clamp(s.fontSizeTypeNumber, 0, kMaxFontSizeTypes);
  const int types = s.fontSizeTypeNumber + 1;
  s.layouts.assign(types, b);
  s.nameXs.assign(types, s.nameX);
  s.nameYs.assign(types, s.nameY);
  s.nameSpaces.assign(types, s.nameSpace);
  for (int t = 1; t < types; ++t) {
    Layout& l = s.layouts[t];
    GetSetupInt(&l.fontSize, Numbered("fontSizeByFontSizeType", t).c_str());
    l.fontSize = FontSize(l.fontSize);
    GetSetupInt(&l.printX, Numbered("printXByFontSizeType", t).c_str());
    GetSetupInt(&l.printY, Numbered("printYByFontSizeType", t).c_str());
    GetSetupInt(&l.nextX, Numbered("nextXByFontSizeType", t).c_str());
    GetSetupInt(&l.nextY, Numbered("nextYByFontSizeType", t).c_str());
    GetSetupInt(&l.space, Numbered("spaceByFontSizeType", t).c_str());
    GetSetupInt(&s.nameXs[t], Numbered("nameXByFontSizeType", t).c_str());
    GetSetupInt(&s.nameYs[t], Numbered("nameYByFontSizeType", t).c_str());
    GetSetupInt(&s.nameSpaces[t], Numbered("nameSpaceByFontSizeType", t).c_str());
  }

  GetSetupIntDefault(&s.nameColorChangeFlag, "nameColorChangeFlag", 1);
  GetSetupIntDefault(&s.autoNameWindowFlag, "autoNameWindowFlag", 0);
  GetSetupIntDefault(&s.namePicFlag, "namePicFlag", 0);
  GetSetupIntDefault(&s.namePicSizeX, "namePicSizeX", 64);
  GetSetupIntDefault(&s.namePicSizeY, "namePicSizeY", 16);
  GetSetupIntDefault(&s.namePicDeltaX, "namePicDeltaX", 0);
  GetSetupIntDefault(&s.namePicDeltaY, "namePicDeltaY", 0);

  // The full-screen background.
  GetSetupIntDefault(&s.lPrintBGMode, "LPrintBGMode", 0);
  GetSetupIntDefault(&s.lPrintBGPrintX, "LPrintBGPrintX", 0);
  GetSetupIntDefault(&s.lPrintBGPrintY, "LPrintBGPrintY", 0);
  GetSetupIntDefault(&s.deltaR, "lprintBGDeltaR", 0);
  GetSetupIntDefault(&s.deltaG, "lprintBGDeltaG", s.deltaR);
  GetSetupIntDefault(&s.deltaB, "lprintBGDeltaB", s.deltaG);
  GetSetupIntDefault(&s.multiR, "lprintBGMultiR", 100);
  GetSetupIntDefault(&s.multiG, "lprintBGMultiG", s.multiR);
  GetSetupIntDefault(&s.multiB, "lprintBGMultiB", s.multiG);
  GetSetupIntDefault(&s.nega, "lprintBGScreenEffectNega", 0);
  GetSetupIntDefault(&s.grey, "lprintBGScreenEffectGrey", 0);
  static constexpr const char* kClipNames[5] = {"lprintBGClip", "lprintBGNegaClip",
                                                "lprintBGGreyClip", "lprintBGMultiClip",
                                                "lprintBGAddSubClip"};
  static constexpr const char* kClipKeys[4] = {"X", "Y", "SizeX", "SizeY"};
  const int width = game_ ? game_.screen->GetScreenWidth() : CScreenBuffer::GetWidth();
  const int general[4] = {0, 0, width, height};
  for (int c = 0; c < 5; ++c)
    for (int k = 0; k < 4; ++k)
      GetSetupIntDefault(&s.clips[c][k], (std::string(kClipNames[c]) + kClipKeys[k]).c_str(),
                         c == 0 ? general[k] : s.clips[0][k]);

  // Input and waits.
  GetSetupIntDefault(&s.wheelDownIsClick, "wheelDownIsClick", 0);
  GetSetupIntDefault(&s.rightSkipOffIsClick, "rightSkipOffIsClick", 0);
  GetSetupIntDefault(&s.backlogSound, "backlogSound", -1);
  GetSetupIntDefault(&s.drawWindowWithMessageFlag, "drawWindowWithMessageFlag", 0);
  GetSetupIntDefault(&s.drawOverrapOptionFlag, "drawOverrapOptionFlag", 1);
  int voiceLastWait = 500, noVoiceLastWait = 2000;
  GetSetupInt(&voiceLastWait, "voiceLastWait");
  GetSetupInt(&noVoiceLastWait, "noVoiceLastWait");
  for (int n = 1; n <= kWaitLevels; ++n) {
    GetSetupIntDefault(&s.voiceLastWait[n - 1], Numbered("voiceLastWait", n).c_str(),
                       voiceLastWait);
    GetSetupIntDefault(&s.noVoiceLastWait[n - 1], Numbered("noVoiceLastWait", n).c_str(),
                       noVoiceLastWait);
  }
  GetSetupIntDefault(&s.autoMessageVoiceLastWait, "autoMessageVoiceLastWait", voiceLastWait);
  GetSetupIntDefault(&s.autoMessageLastWait, "autoMessageLastWait", 2000);
  GetSetupIntDefault(&s.autoMessageWaitVoiceFlag, "autoMessageWaitVoiceFlag", 0);
  GetSetupIntDefault(&s.noVoiceIsDefaultWait, "noVoiceIsDefaultWait", 0);

  // The name colour table.
  if (s.nameColorChangeFlag || s.autoNameWindowFlag) {
    const char* file = gamelists::kNameColourList;
    GetSetupString(&file, "nameColorFileName");
    nameColors_ = std::make_unique<CNameColorList>();
    nameColors_->Load(file);
  }

  int custom = 0;
  GetSetupInt(&custom, "customMessageSpeed");
  if (custom)
    for (int n = 1; n <= kSpeeds; ++n)
      GetSetupInt(&s.speeds[n - 1], Numbered("messageSpeed", n).c_str());

  LoadCutins();

  // The name picture and the full-screen background, only where they are
  // drawn.
  if (s.namePicFlag && game_) {
    const char* name = "ta_namepic";
    GetSetupString(&name, "filenameNamePic");
    namePicture_ = game_.screen->LoadSystemPicture(name, 0);
  }
  if ((s.lPrintBGMode & 1) && game_) {
    const char* name = "ta_fullMessageWindow";
    GetSetupString(&name, "lprintBGFileName");
    lPrintBGPicture_ = game_.screen->LoadSystemPicture(name, 0);
  }
  s.namePicSizeX = Divisor(s.namePicSizeX);
  s.namePicSizeY = std::max(s.namePicSizeY, 0);
}

void CCommonPrintMessage::LoadCutins() {
  if (useCutin_) {
    cutinChara_ = std::make_unique<CCutinChara>();
    int buffers = 4;
    GetSetupInt(&buffers, "cutinWindowBufferNumber");
    const char* file = nullptr;
    GetSetupString(&file, "filenameCutin");
    cutinWindow_ = std::make_unique<CCutinWindow>(file, buffers);
  }
  GetSetupIntDefault(&s_.cutinNamePrintFlag, "cutinNamePrintFlag", 0);
}
