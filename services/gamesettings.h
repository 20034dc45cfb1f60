// GameSettings: the words and texts the game object keeps from its settings
// list "game", one field per key (named after the key), with the defaults
// the game starts from. Texts point into the game's settings list and live
// as long as it does. CGameCallBack::Init fills the record in its reading
// order (game/gamecallback_init.cpp).
#pragma once

struct GameSettings {
  // Logging and start-up.
  int errorLogFlag = 0;
  int startupLoadErrorPrintFlag = 0;
  int debugMusicNumberPrintFlag = 0;
  int dontCreateGUID = 0;
  int dwqPackLevel = 0;
  int notUseDirectDraw = 0;
  int jpegMMX = 1;
  int vistaCheck = 1;
  int saveClassDisable = 0;
  int loadClassDisable = 0;
  int dataFileDontCreate = 0;
  const char* companyName = nullptr;
  const char* gameName = nullptr;

  // Extension save data.
  int facePrintMode = 0;
  int extSaveDataNumber = 0;

  // Message, skip, quick save and load, volumes, frame, start message,
  // thumbnails, keys, back-log guard and flag policies.
  int seVoiceDontStopFlag = 0;
  int skipToScriptVoiceStopFlag = 0;
  int varControlLoadDWQErrorPrint = 0;
  int shiftSkipMessageOnly = 0;
  int autoMessageCheckKillShift = 0;
  int cannotSkipCheckKillShift = 0;
  int quickSaveEnable = 0;
  int quickLoadEnable = 0;
  int quickSavePrint = 0;
  int quickLoadPrint = 0;
  int quickLoadDelay = 0;
  int quickLoadGetScreen = 0;
  int quickSaveKey = 0;
  int quickSaveCommentFlag = 0;
  int quickLoadKey = 0;
  int quickSaveSound = -1;
  int quickLoadSound = -1;
  int quickLoadErrorSound = -1;
  int useCutinFlag = 0;
  int directXVolumeFlag = 0;
  int directXVolume = 60;
  int frameTime = 50;
  int startMessageFlag = 1;
  const char* startMessage = "Initializing..";
  int loadVoiceErrorPrintFlag = 0;
  int loadSeErrorPrintFlag = 0;
  int backScriptSetCGOkFlag = 0;
  int modalCannotCloseFlag = 1;
  int miniCGReduce = 6;
  int miniCGSizeX = 0;
  int miniCGSizeY = 0;
  int f9KeyExitOffFlag = 0;
  int escKeyExitOffFlag = 0;
  int F4OK = 1;
  int F5Ok = 1;
  int optionStartMouseButton = 2;
  int movieVolumeNotUse = 0;
  int soundVoiceVolumeNotUse = 1;
  int noWaitVSync = 0;
  int adjustFullScreenLost = 0;
  int backLogDisableTime = 100;
  int backLogDisableCheckTime = 3;
  int backLogDisableCheckFlag = 1;
  int charaVoiceVolumeDelta = 2;
  int maxSkipFrame = 2;
  int skipAdjustFrame = 10;
  int mustSetVoiceFlag = 1;
  int mustSetMusicFlag = 1;
  int mustSetCGFlag = 1;
  int mustSetFilmFlag = 1;
  int mustSetMessageFlag = 1;
  int offLayerDontSetCG = 0;
  int enableButtonVoiceCharaVolume = 0;

  // Mini-game list.
  int areaButtonMode = 0;
  int miniGameCheckNumber = 0;

  int useExtClass = 0;
  int highVersion = 0, middleVersion = 0, lowVersion = 0;
  int windowAdjustFlag = 1;
  int noSceneListFlag = 0;

  // Scripts and variables.
  int noScriptFlag = 0;
  int controlScriptSize = 64;
  int execScriptSize = 2048;
  int subScriptSize = 2048;
  int subSubScriptSize = 2048;
  int varInitFlag = 0;
  int windowOffMouseButton = 1;
  int useSaijistu = 0;
  const char* renameLayerVar = nullptr;
  int renameTagNumber = 0;
  int noBGMFlag = 0;
  int noSystemSeFlag = 0;
  int maxSkipFrameBackScript = 2;
  int specialNumberForSaveSetFlag = 0;
  const char* specialNumberForSaveVarName = "\x8e\x63\x82\xe8\x93\xfa\x90\x94";  // 残り日数 in CP932
  int optionOffVarFlag = 0;
  const char* optionOffVarName = "\x83\x49\x83\x76\x83\x56\x83\x87\x83\x93\x83\x49\x83\x74";  // オプションオフ
  int floatingLayerFlashFlag = 0;
  int expModeButtonIsMouse = 0;
  int expModeButtonIsMessageCursor = 0;

  // Sound.
  int defaultMusicFadeInTime = 0;
  int defaultMusicFadeOutTime = 5;
  int soundChannel = 2;
  int samplingRate = 44100;
  int samplingBit = 16;
  int primaryFormatSetFlag = 0;
  int sound3DFlag = 0;
  int systemSoundLoadNumber = 4;

  // Text.
  const char* defaultFont = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック
  int rubiFlag = 0;
  int rubiPercent = 0, rubiDeltaY = 0, rubiSukima = 0;
  int rubiColorR = 0, rubiColorG = 0, rubiColorB = 0, rubiColorFix = 0;
  int codeByte = 2;
  int fontWeight = 700;
  int fontItalic = 0;
  int fukuroMoji = 0;
  int fukuroCustom = 0;
  int fukuro[3][3] = {};
  int userFontNumber = 0;

  // Layers and buttons.
  int gameMouseCreateFlag = 1;
  int messageCursorCreateFlag = 1;
  int optionButtonCreateFlag = 1;
  int sceneButtonCreateFlag = 1;
  int skipFilmButtonCreateFlag = 0;
  int quickSaveButtonCreateFlag = 0;
  int quickLoadButtonCreateFlag = 0;
  int quickConfigButtonCreateFlag = 0;
  int quickBacklogButtonCreateFlag = 0;
  int noticeFlag = 0;
  int loadNoticeNumber = 1;
  int saveNoticeNumber = 2;
  int sceneButtonMode = 2;

  // Results, message window, input.
  int resultFlag = 0;
  const char* getResultVarName = nullptr;
  int autoResultNotice = 0;
  int noMessageWindowFlag = 0;
  int allMusicSetFlag = 1;
  int imeAutoOpenFlag = 1;
  int imeAutoCloseFlag = 1;
  int vistaDebug = 0;
  int pictureBufferInitSizeFlag = 0;
  int pictureBufferInitLoadFlag = 0;

  // Names.
  const char* seiInitData = nullptr;
  int seiClearFlag = 0;
  const char* meiInitData = nullptr;
  int meiClearFlag = 0;
  int santenUseFlag = 1;
  int dashUseFlag = 1;
  int expModeCheckByVarNumber = 0;

  // Short-cut sounds.
  int shortCutSystemMenuSound = 1;
  int shortCutSaveSound = 1;
  int shortCutLoadSound = 1;
  int shortCutConfigSound = 1;
};
