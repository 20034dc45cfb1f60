// The effect-number table. One line per effect, in ascending number, its
// class with the number and what the effect does beside it; a new effect
// joins by adding its line here (see effect/README.md), never by changing
// the manager.
#include "effect/effectregistry.h"

#include <algorithm>
#include <iterator>

#include "effect/animeeffects.h"
#include "effect/buffereffects.h"
#include "effect/charashake.h"
#include "effect/effectbokashi.h"
#include "effect/effectcharafilter.h"
#include "effect/effectchararaster.h"
#include "effect/effectcharatrans.h"
#include "effect/effecthahen.h"
#include "effect/effecthamon.h"
#include "effect/effectlayerscroll.h"
#include "effect/effectlayertransform.h"
#include "effect/effectmanager.h"
#include "effect/effectmovemaskwipe.h"
#include "effect/effectmoviewarp.h"
#include "effect/effectparticle.h"
#include "effect/effectsentence.h"
#include "effect/effecttaclip.h"
#include "effect/effectturn.h"
#include "effect/effectwipe.h"
#include "effect/fadeeffects.h"
#include "effect/filtereffects.h"
#include "effect/fisheffects.h"
#include "effect/geoeffects.h"
#include "effect/moveeffects.h"
#include "effect/overlayeffects.h"
#include "effect/particleeffects.h"
#include "effect/planeeffects.h"
#include "effect/raineffects.h"
#include "effect/roweffects.h"
#include "effect/sceneeffects.h"
#include "effect/strikeeffects.h"
#include "effect/swarmeffects.h"

namespace {

constexpr EffectEntry kEntries[] = {
    MakeEffectEntry<CEffectNop>(),  // #0 the channel picture unchanged
    MakeEffectEntry<CEffectMae>(),  // #1 the channel left alone
    MakeEffectEntry<CEffectPut>(),  // #2 the saved screen pasted
    MakeEffectEntry<CEffectTrans>(),  // #8 fixed translucency
    MakeEffectEntry<CEffectCTrans>(),  // #9 animated translucency
    MakeEffectEntry<CEffectFadein>(),  // #10 fade in from a colour
    MakeEffectEntry<CEffectFadeout>(),  // #11 fade out to a colour
    MakeEffectEntry<CEffectFlower>(),  // #12 tumbling petals
    MakeEffectEntry<CEffectRain>(),  // #13 rain streaks
    MakeEffectEntry<CEffectSnow>(),  // #14 snow in six depths
    MakeEffectEntry<CEffectSan>(),  // #15 light beams
    MakeEffectEntry<CEffectFlash>(),  // #17 colour flash
    MakeEffectEntry<CEffectShake>(),  // #18 screen shake
    MakeEffectEntry<CEffectAnime>(),  // #19 flip-book over channels
    MakeEffectEntry<CEffectLight>(),  // #20 light filter
    MakeEffectEntry<CEffectKagerou>(),  // #22 heat haze
    MakeEffectEntry<CEffectRaster>(),  // #23 raster filter
    MakeEffectEntry<CEffectWater>(),  // #24 water reflection
    MakeEffectEntry<CEffectRemember>(),  // #26 remembered-scene edges
    MakeEffectEntry<CEffectKe>(),  // #27 flies clinging to edges
    MakeEffectEntry<CEffectCircle>(),  // #28 closing iris
    MakeEffectEntry<CEffectSuna>(),  // #29 noise filter
    MakeEffectEntry<CEffectNega>(),  // #31 negative filter
    MakeEffectEntry<CEffectMeltDown>(),  // #32 screen melting down
    MakeEffectEntry<CEffectReleaf>(),  // #33 relief filter
    MakeEffectEntry<CEffectStretch>(),  // #36 shrink and grow back
    MakeEffectEntry<CEffectBGZoomIn>(),  // #37 zoom into the background
    MakeEffectEntry<CEffectScroll>(),  // #39 scroll
    MakeEffectEntry<CEffectChange>(),  // #40 cross-fade of expressions
    MakeEffectEntry<CEffectKira>(),  // #42 sparkles
    MakeEffectEntry<CEffectMozaic>(),  // #43 pixelated rectangle
    MakeEffectEntry<CEffectBossDeath>(),  // #48 defeated boss sinking
    MakeEffectEntry<CEffectGradation>(),  // #50 gradation filter
    MakeEffectEntry<CEffectTaiyo>(),  // #51 lens flare
    MakeEffectEntry<CEffectMove>(),  // #52 layer move
    MakeEffectEntry<CEffectFill>(),  // #54 screen fill
    MakeEffectEntry<CEffectOldFilm>(),  // #55 old-film scratches
    MakeEffectEntry<CEffectRain2>(),  // #56 scrolling tiled layers
    MakeEffectEntry<CEffectSnow2>(),  // #57 snow, twin of #14
    MakeEffectEntry<CEffectSimpleWipe>(),  // #59 numbered wipe, owns the wipe table
    MakeEffectEntry<CEffectMaskWipe>(),  // #60 wipe through a grey mask
    MakeEffectEntry<CEffectSpecialMove>(),  // #61 animated move, opacity, zoom, colour
    MakeEffectEntry<CEffectBezierMove>(),  // #62 move along a cubic curve
    MakeEffectEntry<CEffectKomaAnime>(),  // #63 sprite sheet on a line
    MakeEffectEntry<CEffectTurn>(),  // #64 turn and zoom
    MakeEffectEntry<CEffectStretchBlt>(),  // #65 scale in x and y
    MakeEffectEntry<CEffectBuffer>(),  // #66 picture held, not drawn
    MakeEffectEntry<CEffectPers>(),  // #67 plane in perspective
    MakeEffectEntry<CEffectCurtain>(),  // #68 cinema bars
    MakeEffectEntry<CEffectHamon>(),  // #69 circular ripple
    MakeEffectEntry<CEffectHanabira>(),  // #70 petals from the picture
    MakeEffectEntry<CEffectHotaru>(),  // #71 fireflies
    MakeEffectEntry<CEffectMeisai>(),  // #72 optical camouflage
    MakeEffectEntry<CEffectGet>(),  // #73 screen capture
    MakeEffectEntry<CEffectBura>(),  // #74 zoom blend filter
    MakeEffectEntry<CEffectOnce>(),  // #75 picture drawn once
    MakeEffectEntry<CEffectSlash>(),  // #76 streak filter
    MakeEffectEntry<CEffectBokashi>(),  // #77 full-screen blur
    MakeEffectEntry<CEffectKomorebi>(),  // #78 light through leaves
    MakeEffectEntry<CEffectFullAnime>(),  // #79 full-screen frames from files
    MakeEffectEntry<CEffectStaffRoll>(),  // #80 staff roll
    MakeEffectEntry<CEffectHahen>(),  // #81 shatter
    MakeEffectEntry<CEffectCloud>(),  // #82 clouds in perspective
    MakeEffectEntry<CEffectBeach>(),  // #83 waves on a shore
    MakeEffectEntry<CEffectFusuma>(),  // #84 sliding doors
    MakeEffectEntry<CEffectSpeedLine>(),  // #85 speed lines
    MakeEffectEntry<CEffectZantetsu>(),  // #86 sword cut
    MakeEffectEntry<CEffectGeoCircle>(),  // #87 ellipse, blended
    MakeEffectEntry<CEffectGeoPolygon>(),  // #88 screen colour, blended
    MakeEffectEntry<CEffectGeoTorus>(),  // #89 ring, blended
    MakeEffectEntry<CEffectCharaFlash>(),  // #90 flashing silhouette
    MakeEffectEntry<CEffectWaterFall>(),  // #91 waterfall
    MakeEffectEntry<CEffectSoyosoyo>(),  // #92 breeze sway
    MakeEffectEntry<CEffectGrassPlane>(),  // #93 grass plane under gusts
    MakeEffectEntry<CEffectPoleScroll>(),  // #94 endless wrapping scroll
    MakeEffectEntry<CEffectWaterDrop>(),  // #95 one colour over the screen
    MakeEffectEntry<CEffectRainbow>(),  // #96 rainbow bands
    MakeEffectEntry<CEffectBathWindow>(),  // #97 misted window
    MakeEffectEntry<CEffectMePachiKuchiPaku>(),  // #98 blinks and mouth flaps
    MakeEffectEntry<CEffectColorAddSub>(),  // #99 signed colour
    MakeEffectEntry<CEffectHaikeiYure>(),  // #100 background sway
    MakeEffectEntry<CEffectMoveMaskWipe>(),  // #101 moving mask wipe
    MakeEffectEntry<CEffectRain4>(),  // #102 tiled layers in depth
    MakeEffectEntry<CEffectTarget1>(),  // #103 bars closing on a target
    MakeEffectEntry<CEffectKonoha>(),  // #104 leaves from the picture
    MakeEffectEntry<CEffectMovieWarp>(),  // #105 whirl
    MakeEffectEntry<CEffectNoise>(),  // #106 character interference bands
    MakeEffectEntry<CEffectCharaRaster>(),  // #107 character cosine sway
    MakeEffectEntry<CEffectHae>(),  // #108 fly swarm
    MakeEffectEntry<CEffectOldLamp>(),  // #109 flickering lamp
    MakeEffectEntry<CEffectCharaGhost>(),  // #110 vertical fade from the feet
    MakeEffectEntry<CEffectFish>(),  // #111 fish
    MakeEffectEntry<CEffectCharaMetal>(),  // #112 metallic shine
    MakeEffectEntry<CEffectLupin>(),  // #113 screen flood of one colour
    MakeEffectEntry<CEffectGeoBox>(),  // #114 rectangle, blended
    MakeEffectEntry<CEffectGeoCircleAdd>(),  // #115 ellipse, added
    MakeEffectEntry<CEffectGeoTorusAdd>(),  // #116 ring, added
    MakeEffectEntry<CEffectGeoPolygonAdd>(),  // #117 screen colour, added
    MakeEffectEntry<CEffectGeoBoxAdd>(),  // #118 rectangle numbers as a blended ellipse
    MakeEffectEntry<CEffectBSpline2>(),  // #119 move along a quadratic curve
    MakeEffectEntry<CEffectColorBalance>(),  // #120 colour balance
    MakeEffectEntry<CEffectDualMask>(),  // #121 only over another channel's shape
    MakeEffectEntry<CEffectClipZoomIn>(),  // #122 clipped zoom with a border
    MakeEffectEntry<CEffectCharaMaskAppear>(),  // #123 appearance through a gradation
    MakeEffectEntry<CEffectCharaGrey>(),  // #124 character fade to grey
    MakeEffectEntry<CEffectCharaBokashi>(),  // #125 soft-edged character blur
    MakeEffectEntry<CEffectBGBokashi>(),  // #126 blur in the opaque box
    MakeEffectEntry<CEffectCharaSepia>(),  // #127 character fade to sepia
    MakeEffectEntry<CEffectLayerSepia>(),  // #128 sepia filter
    MakeEffectEntry<CEffectLayerGrey>(),  // #129 grey filter
    MakeEffectEntry<CEffectSaike>(),  // #130 psychedelic colours
    MakeEffectEntry<CEffectCharaAddSub>(),  // #131 added or subtracted light
    MakeEffectEntry<CEffectCharaBure>(),  // #132 character shake
    MakeEffectEntry<CEffectSentence>(),  // #133 text revealed cell by cell
    MakeEffectEntry<CEffectTaClip>(),  // #136 clip by a moving line or box
};

// The index of the first entry whose number is not above the one before it
// or lies outside the manager's table, or -1. The table must give -1: the
// number lookup below is a binary search over it, and the manager drops
// entries outside its table.
constexpr int FirstMisplacedEntry() {
  for (int i = 0; i < static_cast<int>(std::size(kEntries)); ++i) {
    const int number = kEntries[i].number;
    if (number < 0 || number >= CEffectManager::kTableSize) return i;
    if (i > 0 && number <= kEntries[i - 1].number) return i;
  }
  return -1;
}
static_assert(FirstMisplacedEntry() == -1,
              "kEntries: numbers out of ascending order, repeated or outside the table");

}  // namespace

std::span<const EffectEntry> GetEffectEntries() { return kEntries; }

int IsEffectNumberDefined(int number) {
  return std::ranges::binary_search(kEntries, number, {}, &EffectEntry::number) ? 1 : 0;
}
