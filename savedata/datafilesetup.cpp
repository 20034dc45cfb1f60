#include "savedata/datafilesetup.h"

#include <string>

#include "graphics/picture.h"
#include "setup/setuplist.h"
#include "widget/animepart.h"
#include "widget/dateprint.h"
#include "widget/numberprint.h"

namespace {
constexpr int kListPairs = 64;
constexpr const char* kDefaultFont = "ta_sl_font";
}  // namespace

CDataFileSetup::CDataFileSetup() : list_(std::make_unique<CSetupList>()) {
  list_->LoadSetupFile("dataFile", kListPairs);
  Read();
}

CDataFileSetup::CDataFileSetup(CNameList* list) : list_(std::make_unique<CSetupList>()) {
  list_->AttachList(list);
  Read();
}

CDataFileSetup::~CDataFileSetup() { Release(); }

int CDataFileSetup::GetSetupInt(int* out, const char* key) const {
  return list_ && list_->GetList() ? list_->GetSetupInt(out, key) : 0;
}

int CDataFileSetup::GetSetupString(const char** out, const char* key) const {
  return list_ && list_->GetList() ? list_->GetSetupString(out, key) : 0;
}

int CDataFileSetup::Int(const char* key, int def) const {
  int value = def;
  GetSetupInt(&value, key);
  return value;
}

const char* CDataFileSetup::String(const char* key, const char* def) const {
  const char* value = def;
  GetSetupString(&value, key);
  return value;
}

std::unique_ptr<CPicture> CDataFileSetup::Load(const char* name) {
  if (!name) return nullptr;
  return std::unique_ptr<CPicture>(NewSysPicture(name));
}

void CDataFileSetup::GetPicSize(int* width, int* height) const {
  if (width) *width = v_.picSizeX;
  if (height) *height = v_.picSizeY;
}

CPicture* CDataFileSetup::GetSaveCursorPicture() const {
  return saveCursor_ ? saveCursor_.get() : selectPic_.get();
}

CPicture* CDataFileSetup::GetLoadCursorPicture() const {
  return loadCursor_ ? loadCursor_.get() : GetSaveCursorPicture();
}

CPicture* CDataFileSetup::GetOverwriteCursorPicture() const {
  return overwriteCursor_ ? overwriteCursor_.get() : GetSaveCursorPicture();
}

CPicture* CDataFileSetup::GetBasePicture(int save, int quick) const {
  // With one base for both screens the load bases serve the save screen.
  const bool saveSide = save && v_.baseChangeLoadSave;
  if (quick) {
    if (saveSide) return quickSaveBase_ ? quickSaveBase_.get() : saveBase_.get();
    return quickLoadBase_ ? quickLoadBase_.get() : loadBase_.get();
  }
  return saveSide ? saveBase_.get() : loadBase_.get();
}

void CDataFileSetup::ReadNumberPrinter(int on, const char* prefix, const char* ketaKey,
                                       const char* fileKey, int size,
                                       std::unique_ptr<CPicture>* font,
                                       std::unique_ptr<CNumberPrint>* printer) {
  const std::string p = prefix;
  const int w = Int((p + "FontSizeX").c_str(), size), h = Int((p + "FontSizeY").c_str(), size);
  const int next = Int((p + "FontNextX").c_str(), w), keta = Int(ketaKey, 2);
  if (!on) return;
  *font = Load(String(fileKey, kDefaultFont));
  *printer = std::make_unique<CNumberPrint>(font->get(), w, h, keta, next, 0, 1, 0);
}

void CDataFileSetup::Read() {
  SlotLayoutValues& v = v_;
  // Area and thumbnail.
  v.areaSizeX = Int("areaSizeX", v.areaSizeX);
  v.areaSizeY = Int("areaSizeY", v.areaSizeY);
  v.picSizeX = Int("picSizeX", v.areaSizeX);
  v.picSizeY = Int("picSizeY", v.areaSizeY);
  v.picPrintX = Int("picPrintX", 0);
  v.picPrintY = Int("picPrintY", 0);
  v.picPrintType = Int("picPrintType", 0);
  v.selectPrintX = Int("selectPrintX", v.picPrintX);
  v.selectPrintY = Int("selectPrintY", v.picPrintY);
  v.selectSizeX = Int("selectSizeX", v.picSizeX);
  v.selectSizeY = Int("selectSizeY", v.picSizeY);

  // Save time: a 4-digit and a 2-digit printer, both with leading zeros.
  v.saveTimePrintFlag = Int("saveTimePrintFlag", 1);
  v.saveTimePrintX = Int("saveTimePrintX", 0);
  v.saveTimePrintY = Int("saveTimePrintY", 0);
  v.saveTimeFontSizeX = Int("saveTimeFontSizeX", 10);
  v.saveTimeFontSizeY = Int("saveTimeFontSizeY", 10);
  v.saveTimeFontNextX = Int("saveTimeFontNextX", v.saveTimeFontSizeX);
  if (v.saveTimePrintFlag) {
    saveTimeFont_ = Load(String("fileNameSaveTimeFont", kDefaultFont));
    saveTime4_ = std::make_unique<CNumberPrint>(saveTimeFont_.get(), v.saveTimeFontSizeX,
                                                v.saveTimeFontSizeY, 4, v.saveTimeFontNextX, 1, 1, 0);
    saveTime2_ = std::make_unique<CNumberPrint>(saveTimeFont_.get(), v.saveTimeFontSizeX,
                                                v.saveTimeFontSizeY, 2, v.saveTimeFontNextX, 1, 1, 0);
  }

  // In-game date and weekday.
  v.gameYearPrintFlag = Int("gameYearPrintFlag", 0);
  v.gameDatePrintFlag = Int("gameDatePrintFlag", 0);
  v.gameWeekPrintFlag = Int("gameWeekPrintFlag", 0);
  v.gameWeekYouPrintFlag = Int("gameWeekYouPrintFlag", 1);
  v.gameWeekBiPrintFlag = Int("gameWeekBiPrintFlag", 1);
  const bool yearOrDate = v.gameYearPrintFlag || v.gameDatePrintFlag;
  v.gameTimePrintX = Int("gameTimePrintX", 0);
  v.gameTimePrintY = Int("gameTimePrintY", 0);
  v.gameTimeFontSizeX = Int("gameTimeFontSizeX", 10);
  v.gameTimeFontSizeY = Int("gameTimeFontSizeY", 10);
  v.gameTimeFontNextX = Int("gameTimeFontNextX", v.gameTimeFontSizeX);
  v.gameDateSlashPrintFlag = Int("gameDateSlashPrintFlag", 1);
  v.gameMonthUpZeroPrintFlag = Int("gameMonthUpZeroPrintFlag", 1);
  v.gameDayUpZeroPrintFlag = Int("gameDayUpZeroPrintFlag", 1);
  v.gameMonthPrintX = Int("gameMonthPrintX", v.gameTimeFontSizeX * 5 + v.gameTimePrintX);
  v.gameMonthPrintY = Int("gameMonthPrintY", v.gameTimePrintY);
  v.gameDayPrintX = Int("gameDayPrintX", v.gameMonthPrintX + v.gameTimeFontSizeX * 3);
  v.gameDayPrintY = Int("gameDayPrintY", v.gameMonthPrintY);
  int weekX = 0, weekY = 0;
  if (v.gameDatePrintFlag) {
    weekX = v.gameDayPrintX + v.gameTimeFontSizeX * 3;
    weekY = v.gameDayPrintY;
  } else if (v.gameYearPrintFlag) {
    weekX = v.gameTimePrintX + v.gameTimeFontSizeX * 5;
    weekY = v.gameTimePrintY;
  }
  v.gameWeekPrintX = Int("gameWeekPrintX", weekX);
  v.gameWeekPrintY = Int("gameWeekPrintY", weekY);
  v.gameWeekFontSizeX = Int("gameWeekFontSizeX", 10);
  v.gameWeekFontSizeY = Int("gameWeekFontSizeY", 10);
  if (yearOrDate) {
    gameTimeFont_ = Load(String("fileNameGameTimeFont", kDefaultFont));
    const int w = v.gameTimeFontSizeX, h = v.gameTimeFontSizeY, next = v.gameTimeFontNextX;
    gameYear_ = std::make_unique<CNumberPrint>(gameTimeFont_.get(), w, h, 4, next, 1, 1, 0);
    gameMonth_ = std::make_unique<CNumberPrint>(gameTimeFont_.get(), w, h, 2, next,
                                                v.gameMonthUpZeroPrintFlag, 1, 0);
    gameDay_ = std::make_unique<CNumberPrint>(gameTimeFont_.get(), w, h, 2, next,
                                              v.gameDayUpZeroPrintFlag, 1, 0);
    datePrint_ = std::make_unique<CDatePrint>(list_->GetList(), "game", nullptr);
  }
  if (v.gameWeekPrintFlag) {
    gameWeekFont_ = Load(String("fileNameGameWeekFont", kDefaultFont));
    gameWeek_ = std::make_unique<CNumberPrint>(gameWeekFont_.get(), v.gameWeekFontSizeX,
                                               v.gameWeekFontSizeY, 1, v.gameWeekFontSizeX, 0, 1, 0);
  }

  // Decoration, extra picture, numbers.
  v.kazariPrintFlag = Int("kazariPrintFlag", 0);
  v.kazariPrintX = Int("kazariPrintX", 0);
  v.kazariPrintY = Int("kazariPrinty", 0);
  if (v.kazariPrintFlag) kazari_ = Load(String("filenameKazari", kDefaultFont));
  v.kazariSizeX = Int("kazariSizeX", kazari_ ? kazari_->GetWidth() : 0);
  v.kazariSizeY = Int("kazariSizeY", kazari_ ? kazari_->GetHeight() : 0);
  v.addPicPrintFlag = Int("addPicPrintFlag", 0);
  v.addPicPrintX = Int("addPicPrintX", 0);
  v.addPicPrintY = Int("addPicPrintY", 0);
  v.addPicSizeX = Int("addPicSizeX", 16);
  v.addPicSizeY = Int("addPicSizeY", 16);
  if (v.addPicPrintFlag) addPic_ = Load(String("fileNameAddPic", kDefaultFont));
  v.addPicWithSpecialFlag = Int("addPicWithSpecialFlag", 0);
  v.addPicMultiFlag = Int("addPicMultiFlag", 0);
  v.addPicMultiNumberX = Int("addPicMultiNumberX", 1);
  v.specialNumberPrintFlag = Int("specialNumberPrintFlag", 0);
  v.specialNumberPrintLimit = Int("specialNumberPrintLimit", -1);
  v.specialNumberPrintX = Int("specialNumberPrintX", 0);
  v.specialNumberPrintY = Int("specialNumberPrintY", 0);
  ReadNumberPrinter(v.specialNumberPrintFlag, "specialNumber", "specialNumberKeta",
                    "fileNameSpecialNumberFont", 16, &specialFont_, &specialNumber_);
  v.serialPrintFlag = Int("serialPrintFlag", 0);
  v.serialPrintX = Int("serialPrintX", 0);
  v.serialPrintY = Int("serialPrintY", 0);
  ReadNumberPrinter(v.serialPrintFlag, "serial", "serialNumberKeta", "fileNameSerialNumberFont", 12,
                    &serialFont_, &serial_);
  v.numberPrintFlag = Int("numberPrintFlag", 0);
  {
    const char* font = String("numberFileName", nullptr);
    const int w = Int("numberSizeX", 16), h = Int("numberSizeY", 16);
    const int keta = Int("numberKeta", 2), next = Int("numberNextX", w);
    const int upZero = Int("numberUpZaro", 0), left = Int("numberLeft", 0);
    v.numberPrintX = Int("numberPrintX", 0);
    v.numberPrintY = Int("numberPrintY", 0);
    if (v.numberPrintFlag) {
      numberFont_ = Load(font);
      number_ = std::make_unique<CNumberPrint>(numberFont_.get(), w, h, keta, next, upZero, 1, left);
    }
  }

  // Text lines.
  v.commentPrintFlag = Int("commentPrintFlag", 0);
  v.commentPrintX = Int("commentPrintX", 0);
  v.commentPrintY = Int("commentPrintY", 0);
  v.commentFontSize = Int("commentFontSize", 12);
  v.commentSpaceX = Int("commentSpaceX", 1);
  v.commentColorR = Int("commentColorR", 255);
  v.commentColorG = Int("commentColorG", 255);
  v.commentColorB = Int("commentColorB", 255);
  v.commentColorShade = Int("commentColorShade", 0);
  v.textPrintFlag = Int("textPrintFlag", 0);
  v.textPrintX = Int("textPrintX", 0);
  v.textPrintY = Int("textPrintY", 0);
  v.textFontSize = Int("textFontSize", 12);
  v.textSpaceX = Int("textSpaceX", 1);
  v.textColorR = Int("textColorR", 255);
  v.textColorG = Int("textColorG", 255);
  v.textColorB = Int("textColorB", 255);
  v.textColorShade = Int("textColorShade", 0);
  v.textNextY = Int("textNextY", 30);
  v.textPrintNumber = Int("textPrintNumber", 1);

  // Marks: old defaults to the error position, bad to the old one.
  v.errorPrintX = Int("errorPrintX", 0);
  v.errorPrintY = Int("errorPrintY", 0);
  v.oldPrintX = Int("oldPrintX", v.errorPrintX);
  v.oldPrintY = Int("oldPrintY", v.errorPrintY);
  v.badPrintX = Int("badPrintX", v.oldPrintX);
  v.badPrintY = Int("badPrintY", v.oldPrintY);
  error_ = Load(String("fileNameError", nullptr));
  old_ = Load(String("fileNameOld", nullptr));
  bad_ = Load(String("fileNameBad", nullptr));

  // Selection.
  v.selectPrintMode = Int("selectPrintMode", 0);
  v.selectColorR = Int("selectColorR", 230);
  v.selectColorG = Int("selectColorG", 0);
  v.selectColorB = Int("selectColorB", 255);
  v.selectPercent = Int("selectPercent", 50);
  selectPic_ = Load(String("fileNameSelectPic", nullptr));
  if (v.selectPrintMode == 2) {
    struct Cursor {
      const char* prefix;
      SlotCursorAnime* anime;
      const char* file;
      std::unique_ptr<CPicture>* picture;
    } const cursors[] = {{"save", v.saveAnime, "fileNameSaveCursor", &saveCursor_},
                         {"load", v.loadAnime, "fileNameLoadCursor", &loadCursor_},
                         {"overwrite", v.overwriteAnime, "fileNameOverwriteCursor", &overwriteCursor_}};
    for (const Cursor& c : cursors) {
      const std::string p = c.prefix;
      SlotCursorAnime& first = c.anime[0];
      first.pattern = Int((p + "AnimePattern").c_str(), 0);
      first.type = Int((p + "AnimeType").c_str(), 1);
      first.speed = Int((p + "AnimeSpeed").c_str(), 1);
      SlotCursorAnime& second = c.anime[1];
      second.pattern = Int((p + "AnimePattern2").c_str(), first.pattern);
      second.type = Int((p + "AnimeType2").c_str(), first.type);
      second.speed = Int((p + "AnimeSpeed2").c_str(), first.speed);
      *c.picture = Load(String(c.file, nullptr));
    }
  }

  // Base pictures and quick slot. A quick base that names no picture of
  // its own shares the plain one (and is not deleted twice).
  v.basePrintFlag = Int("basePrintFlag", 0);
  v.baseChangeLoadSave = Int("baseChangeLoadSave", 1);
  loadBase_ = Load(String("filenameLoadBase", nullptr));
  if (v.baseChangeLoadSave) saveBase_ = Load(String("filenameSaveBase", nullptr));
  quickLoadBase_ = Load(String("filenameQuickLoadBase", nullptr));
  if (v.baseChangeLoadSave) quickSaveBase_ = Load(String("filenameQuickSaveBase", nullptr));
  v.quickSlotNumber = Int("quickSlotNumber", 1) - 1;
  const char* lastSave = String("filenameLastSave", nullptr);
  if (lastSave && *lastSave) lastSave_ = std::make_unique<CAnimePart>("lastSave", list_->GetList(), 1);
}

void CDataFileSetup::Release() {
  if (lastSave_) lastSave_->Release();
  lastSave_.reset();
  if (datePrint_) datePrint_->Release();
  datePrint_.reset();
  for (auto* printer : {&saveTime4_, &saveTime2_, &gameYear_, &gameMonth_, &gameDay_, &gameWeek_,
                        &specialNumber_, &serial_, &number_})
    printer->reset();
  for (auto* picture :
       {&saveTimeFont_, &gameTimeFont_, &gameWeekFont_, &kazari_, &addPic_, &specialFont_,
        &serialFont_, &numberFont_, &error_, &old_, &bad_, &selectPic_, &saveCursor_, &loadCursor_,
        &overwriteCursor_, &quickLoadBase_, &quickSaveBase_, &loadBase_, &saveBase_})
    picture->reset();
  if (list_) list_->Release();
}
