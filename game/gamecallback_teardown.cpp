// CGameCallBack: the destroy step. Everything the game object owns is
// deleted in one fixed order, each pointer cleared after its delete: the
// music is stopped first and given time to fade, the sound players go
// before the device they play on, the modes before what they share, the
// lists and the screen buffer after everything that reads them, and the
// handshake's events last. Objects the game's settings did not make are
// null here and skipped.
#include <algorithm>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/debugaids.h"
#include "game/deleteandclear.h"
#include "game/extramodes.h"
#include "game/frameskip.h"
#include "game/gamecallback.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "graphics/surfaceconverter.h"
#include "graphics/systempicture.h"
#include "message/messagewindow.h"
#include "platform/backend.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "savedata/cglist.h"
#include "sound/movieplayer.h"
#include "savedata/cgvoice.h"
#include "savedata/datafilesetup.h"
#include "savedata/extnametable.h"
#include "savedata/inttablefile.h"
#include "savedata/scenedata.h"
#include "savedata/scenevoice.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "setup/setuplist.h"
#include "setup/varnametable.h"
#include "sound/bgmplayer.h"
#include "sound/directsound.h"
#include "sound/mixer.h"
#include "sound/seplayer.h"
#include "sound/soundbuffer.h"
#include "sound/voiceplayer.h"
#include "sound/wavebuffer.h"
#include "widget/commonbuttonsetup.h"
#include "widget/floatinglayertable.h"
#include "widget/sceneoptionbutton.h"
#include "widget/gamemouse.h"
#include "widget/holidaylist.h"
#include "widget/messagecursor.h"
#include "widget/notice.h"
#include "widget/textinputbox.h"

namespace {

// The pause after the music stops and after the sound players go, so fades
// and streams come to rest (virtual time in headless runs).
constexpr uint32_t kSoundPauseMs = 300;

}  // namespace

void CGameCallBack::ReleaseAll() {
  // A game object whose initialisation never ran owns nothing.
  if (!initialised_) return;

  // The short-cut key table and the per-mode back-log table are made
  // with the system menu's rows (PrepareModeTables keeps them empty).

  // The music stops with the player's default fade, which runs out.
  if (sePlayer_) {
    StopBgm(-1);
    platform::Sleep(kSoundPauseMs);
  }

  // The sound players, the system sound buffers and their loader; every
  // stream thread has ended when its player is gone.
  DeleteAndClear(voicePlayer_);
  DeleteAndClear(sePlayer_);
  for (CSoundBuffer*& b : systemSoundBuffer_) DeleteAndClear(b);
  DeleteAndClear(bgmPlayer_);
  DeleteAndClear(systemSoundLoader_);
  platform::Sleep(kSoundPauseMs);

  // The meters, the variable overlay, the boss-coming picture and the
  // message window; the scripts (sub-sub, sub, exec, control); the buffer,
  // screen and work pictures.
  DeleteAndClear(fpsPrint_);
  DeleteAndClear(fukaPrint_);
  DeleteAndClear(debugParam_);
  DeleteAndClear(bossComingPicture_);
  DeleteAndClear(messageWindow_);
  for (int i = 3; i >= 0; --i) DeleteAndClear(scripts_[i]);
  for (CPicture*& p : bufferPicture_) DeleteAndClear(p);
  DeleteAndClear(screenPicture_);
  DeleteAndClear(workPicture_);
  delete[] pixelBuffer_;
  pixelBuffer_ = nullptr;

  // The modes, then what they share: the keyed flag table, the scene
  // list and data, the text input box, the input objects, the result table,
  // the notices, the floating buttons, the message
  // cursor, the game mouse and the floating layer table.
  for (CCommonGeneral*& mode : modeTable_) DeleteAndClear(mode);
  DeleteAndClear(keyFlagTable_);
  DeleteAndClear(sceneList_);
  DeleteAndClear(sceneDataFile_);
  DeleteAndClear(textInputBox_);
  DeleteAndClear(inputStatus_);
  DeleteAndClear(mouseStatus_);
  DeleteAndClear(keyStatus_);
  DeleteAndClear(resultTable_);
  DeleteAndClear(notice_);
  // Quick buttons, skip-film, scene, option.
  for (int i : {6, 5, 4, 3, 2, 0, 1}) DeleteAndClear(floatingButtons_[i]);
  DeleteAndClear(messageCursor_);
  DeleteAndClear(gameMouse_);
  DeleteAndClear(floatingLayers_);

  // The text printer and the glyph renderer (the face control goes with
  // them), the system pictures, the common button setups, the preloaded
  // system sounds, the mixer, the movie player, the sound device (its
  // mixing thread joined) and the surface converter.
  ReleaseText();
  DeleteAndClear(systemPicture_);
  DeleteAndClear(commonBackSetup_);
  DeleteAndClear(commonUpDownSetup_);
  for (CWaveBuffer*& w : systemSounds_) DeleteAndClear(w);
  systemSounds_.clear();
  DeleteAndClear(mixer_);
  DeleteAndClear(moviePlayer_);
  DeleteAndClear(soundDevice_);
  DeleteAndClear(surfaceConverter_);

  // The variable names and the variables, the picture lists, the data
  // lists, the frame-skip controller, the scene voices, the holiday list,
  // the effect manager, the screen buffer with the picture loader's shared
  // state, and the presentation.
  DeleteAndClear(varNameTable_);
  DeleteAndClear(gameVars_);
  DeleteAndClear(varHost_);
  DeleteAndClear(cgList_);
  DeleteAndClear(cgVoiceList_);
  for (CNameList** list :
       {&functionList_, &movieList_, &commandList_, &projectList_, &bgmList_, &systemSeList_,
        &seList_, &charaNameList_, &faceList_, &varNameList_, &varInitList_})
    DeleteAndClear(*list);
  DeleteAndClear(frameSkip_);
  DeleteAndClear(sceneVoiceList_);
  DeleteAndClear(holidayList_);
  DeleteAndClear(effect_);
  DeleteAndClear(screenBuffer_);
  ReleasePictureLoader();
  DeleteAndClear(presentation_);

  // The platform's window leaves full screen as it closes, so there is
  // no display mode to reset. The extension-data tables, the extra-mode
  // list, the picture pool, the save-slot layout and the settings lists.
  DeleteAndClear(extNameTable_);
  extDataModes_.clear();
  extDataSubs_.clear();
  extSaveDataSizes_.clear();
  DeleteAndClear(extraModeList_);
  DeleteAndClear(picturePool_);
  DeleteAndClear(saveSlotLayout_);
  DeleteAndClear(miniGameList_);
  DeleteAndClear(setupList_);
  renameTags_.clear();
  // The texts pointed into the settings list.
  settings_ = GameSettings();
  saveHeaderName_ = "SAVEDATA";
  startText_ = nullptr;

  // The save comment lines are the game object's own arrays.

  // The handshake's events, each once.
  for (platform::Event*& e : events_) DeleteAndClear(e);
  initialised_ = 0;
}
