// The type-to-constructor table of the mini-games. Each game family adds its
// lines here ({0, &Make<CMiniGamePuzzle9>}, ...); a type without a line
// makes nothing, and the mode keeps an empty entry in its place.
#include "minigame/allminigame.h"
#include "minigame/minigamebase.h"
#include "minigame/change.h"
#include "minigame/cross.h"
#include "minigame/kushi.h"
#include "minigame/minigamegolf.h"
#include "minigame/minigamemonte.h"
#include "minigame/minigamepyramid.h"
#include "minigame/nikaku.h"
#include "minigame/nurie.h"
#include "minigame/puzzle9.h"
#include "minigame/slide16.h"

namespace {

template <class T>
[[maybe_unused]] CMiniGameBase* Make(CAllMiniGame* holder) {
  return new T(holder);
}

constexpr MiniGameType kTypes[] = {
    // Picture puzzles.
    {0, &Make<CMiniGamePuzzle9>},
    {1, &Make<CMiniGameChange>},
    {2, &Make<CMiniGameNurie>},
    {3, &Make<CMiniGameCross>},
    {4, &Make<CMiniGameSlide16>},
    // Card games.
    {5, &Make<CMiniGameMonte>},
    {6, &Make<CMiniGamePyramid>},
    {7, &Make<CMiniGameGolf>},
    // Tile-pair games.
    {8, &Make<CMiniGameNikaku>},
    {9, &Make<CMiniGameKushi>},
};

}  // namespace

std::span<const MiniGameType> DefaultMiniGameTypes() { return kTypes; }
