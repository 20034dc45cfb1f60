// CDataFileSetup: how a save slot looks on the load and save screens, read
// once from the settings list "dataFile" (64 pairs): the slot's area, its
// thumbnail, the save time, the in-game date and weekday, decoration, extra
// picture, numbers, comment and status lines, the marks for data of another
// version, the highlight or cursor animations, the base pictures and the
// quick slot. The game makes one at initialisation and lends it through
// GetSaveSlotLayout; each slot display copies the values it needs.
//
// Positions are offsets from a slot's print position. Pictures are loaded
// from "sys\\<name>" and owned here; a missing one is reported by the
// picture loader and left out of the drawing. Number printers are picture
// fonts (digits 0-9, 10 and up symbols, 11 the slash).
#pragma once

#include <memory>

class CAnimePart;
class CDatePrint;
class CNameList;
class CNumberPrint;
class CPicture;
class CSetupList;

// One cursor animation: pattern count, animation type, speed.
struct SlotCursorAnime {
  int pattern = 0, type = 1, speed = 1;
};

// Every value of the layout, as read (or its default).
struct SlotLayoutValues {
  // Area and thumbnail.
  int areaSizeX = 132, areaSizeY = 100;
  int picSizeX = 132, picSizeY = 100;
  int picPrintX = 0, picPrintY = 0;
  int picPrintType = 0;  // 0 plain, 1 blended at full strength
  int selectPrintX = 0, selectPrintY = 0;
  int selectSizeX = 132, selectSizeY = 100;
  // Save time.
  int saveTimePrintFlag = 1;
  int saveTimePrintX = 0, saveTimePrintY = 0;
  int saveTimeFontSizeX = 10, saveTimeFontSizeY = 10;
  int saveTimeFontNextX = 10;
  // In-game date and weekday.
  int gameYearPrintFlag = 0, gameDatePrintFlag = 0, gameWeekPrintFlag = 0;
  int gameWeekYouPrintFlag = 1, gameWeekBiPrintFlag = 1;
  int gameTimePrintX = 0, gameTimePrintY = 0;
  int gameTimeFontSizeX = 10, gameTimeFontSizeY = 10;
  int gameTimeFontNextX = 10;
  int gameDateSlashPrintFlag = 1;
  int gameMonthUpZeroPrintFlag = 1, gameDayUpZeroPrintFlag = 1;
  int gameMonthPrintX = 50, gameMonthPrintY = 0;
  int gameDayPrintX = 80, gameDayPrintY = 0;
  int gameWeekPrintX = 0, gameWeekPrintY = 0;
  int gameWeekFontSizeX = 10, gameWeekFontSizeY = 10;
  // Decoration, extra picture, numbers.
  int kazariPrintFlag = 0;
  int kazariPrintX = 0, kazariPrintY = 0;
  int kazariSizeX = 0, kazariSizeY = 0;
  int addPicPrintFlag = 0;
  int addPicPrintX = 0, addPicPrintY = 0;
  int addPicSizeX = 16, addPicSizeY = 16;
  int addPicWithSpecialFlag = 0;
  int addPicMultiFlag = 0;
  int addPicMultiNumberX = 1;  // as read; the display counts 0 or less as 1
  int specialNumberPrintFlag = 0;
  int specialNumberPrintLimit = -1;
  int specialNumberPrintX = 0, specialNumberPrintY = 0;
  int serialPrintFlag = 0;
  int serialPrintX = 0, serialPrintY = 0;
  int numberPrintFlag = 0;
  int numberPrintX = 0, numberPrintY = 0;
  // Text lines.
  int commentPrintFlag = 0;
  int commentPrintX = 0, commentPrintY = 0;
  int commentFontSize = 12, commentSpaceX = 1;
  int commentColorR = 255, commentColorG = 255, commentColorB = 255;
  int commentColorShade = 0;
  int textPrintFlag = 0;
  int textPrintX = 0, textPrintY = 0;
  int textFontSize = 12, textSpaceX = 1;
  int textColorR = 255, textColorG = 255, textColorB = 255;
  int textColorShade = 0;
  int textNextY = 30;
  int textPrintNumber = 1;
  // Marks.
  int errorPrintX = 0, errorPrintY = 0;
  int oldPrintX = 0, oldPrintY = 0;
  int badPrintX = 0, badPrintY = 0;
  // Selection.
  int selectPrintMode = 0;  // 0 colour box, 1 picture, 2 cursor animations
  int selectColorR = 230, selectColorG = 0, selectColorB = 255;
  int selectPercent = 50;
  // Index 0 the cursor, 1 the same slot while it blinks.
  SlotCursorAnime saveAnime[2], loadAnime[2], overwriteAnime[2];
  // Base pictures and quick slot.
  int basePrintFlag = 0;
  int baseChangeLoadSave = 1;
  int quickSlotNumber = 0;  // 0-based ("quickSlotNumber" is 1-based)
};

class CDataFileSetup {
 public:
  // Loads "dataFile"; a missing list leaves every default.
  CDataFileSetup();
  // Reads a list owned elsewhere (tests, fuzzing); null reads nothing.
  explicit CDataFileSetup(CNameList* list);
  virtual ~CDataFileSetup();
  CDataFileSetup(const CDataFileSetup&) = delete;
  CDataFileSetup& operator=(const CDataFileSetup&) = delete;
  virtual void Release();

  const SlotLayoutValues& GetValues() const { return v_; }
  // Thumbnail area ("picSizeX", "picSizeY").
  void GetPicSize(int* width, int* height) const;
  int GetQuickSlotNumber() const { return v_.quickSlotNumber; }
  // The last-saved animation, null without "filenameLastSave".
  CAnimePart* GetLastSaveAnime() const { return lastSave_.get(); }

  // Pictures (null when not named).
  CPicture* GetSaveTimeFont() const { return saveTimeFont_.get(); }
  CPicture* GetKazariPicture() const { return kazari_.get(); }
  CPicture* GetAddPicture() const { return addPic_.get(); }
  CPicture* GetErrorPicture() const { return error_.get(); }
  CPicture* GetOldPicture() const { return old_.get(); }
  CPicture* GetBadPicture() const { return bad_.get(); }
  CPicture* GetSelectPicture() const { return selectPic_.get(); }
  // The cursors of mode 2; load and overwrite fall back to the save
  // cursor, the save cursor to the select picture.
  CPicture* GetSaveCursorPicture() const;
  CPicture* GetLoadCursorPicture() const;
  CPicture* GetOverwriteCursorPicture() const;
  // Bases: load or save, plain or quick.
  CPicture* GetBasePicture(int save, int quick) const;

  // Printers (null when the key group is off).
  CNumberPrint* GetSaveTimePrinter4() const { return saveTime4_.get(); }
  CNumberPrint* GetSaveTimePrinter2() const { return saveTime2_.get(); }
  CNumberPrint* GetGameYearPrinter() const { return gameYear_.get(); }
  CNumberPrint* GetGameMonthPrinter() const { return gameMonth_.get(); }
  CNumberPrint* GetGameDayPrinter() const { return gameDay_.get(); }
  CNumberPrint* GetGameWeekPrinter() const { return gameWeek_.get(); }
  CDatePrint* GetDatePrinter() const { return datePrint_.get(); }
  CNumberPrint* GetSpecialNumberPrinter() const { return specialNumber_.get(); }
  CNumberPrint* GetSerialPrinter() const { return serial_.get(); }
  CNumberPrint* GetNumberPrinter() const { return number_.get(); }

  // Further keys of the list: 1 with *out set, else 0 with *out unchanged.
  int GetSetupInt(int* out, const char* key) const;
  int GetSetupString(const char** out, const char* key) const;

 private:
  void Read();
  // A number printer without leading zeros from "<prefix>FontSizeX", "Y",
  // "<prefix>FontNextX", the digits key and the font key, made when on.
  void ReadNumberPrinter(int on, const char* prefix, const char* ketaKey, const char* fileKey,
                         int size, std::unique_ptr<CPicture>* font,
                         std::unique_ptr<CNumberPrint>* printer);
  int Int(const char* key, int def) const;
  const char* String(const char* key, const char* def) const;
  // "sys\\<name>" or null for a null name.
  static std::unique_ptr<CPicture> Load(const char* name);

  std::unique_ptr<CSetupList> list_;
  SlotLayoutValues v_;
  std::unique_ptr<CPicture> saveTimeFont_, gameTimeFont_, gameWeekFont_, kazari_, addPic_;
  std::unique_ptr<CPicture> specialFont_, serialFont_, numberFont_;
  std::unique_ptr<CPicture> error_, old_, bad_, selectPic_;
  std::unique_ptr<CPicture> saveCursor_, loadCursor_, overwriteCursor_;
  // The load and save bases, and the quick bases when they are pictures of
  // their own; otherwise a quick base shares its plain base.
  std::unique_ptr<CPicture> loadBase_, saveBase_, quickLoadBase_, quickSaveBase_;
  std::unique_ptr<CNumberPrint> saveTime4_, saveTime2_;
  std::unique_ptr<CNumberPrint> gameYear_, gameMonth_, gameDay_, gameWeek_;
  std::unique_ptr<CNumberPrint> specialNumber_, serial_, number_;
  std::unique_ptr<CDatePrint> datePrint_;
  std::unique_ptr<CAnimePart> lastSave_;
};
