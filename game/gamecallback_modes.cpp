// CGameCallBack: the mode factory, the one place that names the mode
// classes. Each mode joins with one line of the table.
#include <memory>

#include "modebase/commongeneral.h"
#include "game/gamecallback.h"
#include "mode/backlog.h"
#include "mode/cardsystem.h"
#include "mode/chartmenu.h"
#include "mode/codecerror.h"
#include "mode/commonload.h"
#include "mode/commonsave.h"
#include "mode/config.h"
#include "mode/listenbgm.h"
#include "mode/logo.h"
#include "mode/minigamemode.h"
#include "mode/nothing.h"
#include "mode/omake.h"
#include "mode/opening.h"
#include "mode/printcg.h"
#include "mode/printmessage.h"
#include "mode/printresult.h"
#include "mode/selectcg.h"
#include "mode/selectscene.h"
#include "mode/selectchara.h"
#include "mode/selectzukan.h"
#include "mode/selectheroin.h"
#include "mode/selectmessage.h"
#include "mode/printmovie.h"
#include "mode/selectplace.h"
#include "mode/nameinput.h"
#include "mode/systemmenu.h"
#include "mode/title.h"

namespace {

// The mode factory: one line per mode class, number and constructor. Each
// mode's work adds its line here ({4, &Make<CCommonTitle>}, ...); a number
// without a line has no class and creates nothing.
using ModeMaker = std::unique_ptr<CCommonGeneral> (*)(CGameCallBack* game);

struct ModeFactoryEntry {
  int number;
  ModeMaker make;
};

template <typename T>
std::unique_ptr<CCommonGeneral> Make(CGameCallBack* game) {
  return std::make_unique<T>(game->Roles());
}

// The second place selection ("SelectPlace2").
std::unique_ptr<CCommonGeneral> MakeSelectPlace2(CGameCallBack* game) {
  return std::make_unique<CCommonSelectPlace>(game->Roles(), 1);
}

constexpr ModeFactoryEntry kModeFactory[] = {
    {CCommonBackLog::kModeNumber, &Make<CCommonBackLog>},
    {CCommonPrintMessage::kModeNumber, &Make<CCommonPrintMessage>},
    {CCommonCardSystem::kModeNumber, &Make<CCommonCardSystem>},
    {CCommonSelectMessage::kModeNumber, &Make<CCommonSelectMessage>},
    {CCommonNothing::kModeNumber, &Make<CCommonNothing>},
    {CCommonLogo::kModeNumber, &Make<CCommonLogo>},
    {CCommonOpening::kModeNumber, &Make<CCommonOpening>},
    {CCommonTitle::kModeNumber, &Make<CCommonTitle>},
    {CCommonCodecError::kModeNumber, &Make<CCommonCodecError>},
    {CCommonSelectPlace::kModeNumber, &Make<CCommonSelectPlace>},
    {CCommonSelectPlace::kSecondModeNumber, &MakeSelectPlace2},
    {CCommonPrintResult::kModeNumber, &Make<CCommonPrintResult>},
    {CCommonSelectHeroin::kModeNumber, &Make<CCommonSelectHeroin>},
    {CCommonOmake::kModeNumber, &Make<CCommonOmake>},
    {CCommonSelectCG::kModeNumber, &Make<CCommonSelectCG>},
    {CCommonSelectScene::kModeNumber, &Make<CCommonSelectScene>},
    {CCommonSelectCGChara::kModeNumber, &Make<CCommonSelectCGChara>},
    {CCommonSelectSceneChara::kModeNumber, &Make<CCommonSelectSceneChara>},
    {CCommonPrintCG::kModeNumber, &Make<CCommonPrintCG>},
    {CCommonConfig::kModeNumber, &Make<CCommonConfig>},
    {CCommonSelectMovieChara::kModeNumber, &Make<CCommonSelectMovieChara>},
    {CCommonSelectMovie::kModeNumber, &Make<CCommonSelectMovie>},
    {CCommonPrintMovie::kModeNumber, &Make<CCommonPrintMovie>},
    {CCommonChartMenu::kModeNumber, &Make<CCommonChartMenu>},
    {CCommonMiniGame::kModeNumber, &Make<CCommonMiniGame>},
    {CCommonLoad::kModeNumber, &Make<CCommonLoad>},
    {CCommonSave::kModeNumber, &Make<CCommonSave>},
    {CCommonSystemMenu::kModeNumber, &Make<CCommonSystemMenu>},
    {CCommonNameInput::kModeNumber, &Make<CCommonNameInput>},
    {CCommonListenBGM::kModeNumber, &Make<CCommonListenBGM>},
    {CCommonSelectZukan::kModeNumber, &Make<CCommonSelectZukan>},
};

}  // namespace

std::unique_ptr<CCommonGeneral> CGameCallBack::MakeMode(int n) {
  for (const ModeFactoryEntry& e : kModeFactory)
    if (e.number == n && e.make) return e.make(this);
  return nullptr;
}
