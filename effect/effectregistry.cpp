// The effect-number table. One line per effect, in ascending number; a new
// effect joins by adding its line here (see effect/README.md), never by
// changing the manager.
#include "effect/effectregistry.h"

#include <algorithm>
#include <array>

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
    MakeEffectEntry<CEffectNop>(),            // 0
    MakeEffectEntry<CEffectMae>(),            // 1
    MakeEffectEntry<CEffectPut>(),            // 2
    MakeEffectEntry<CEffectTrans>(),          // 8
    MakeEffectEntry<CEffectCTrans>(),         // 9
    MakeEffectEntry<CEffectFadein>(),         // 10
    MakeEffectEntry<CEffectFadeout>(),        // 11
    MakeEffectEntry<CEffectFlower>(),         // 12
    MakeEffectEntry<CEffectRain>(),           // 13
    MakeEffectEntry<CEffectSnow>(),           // 14
    MakeEffectEntry<CEffectSan>(),            // 15
    MakeEffectEntry<CEffectFlash>(),          // 17
    MakeEffectEntry<CEffectShake>(),          // 18
    MakeEffectEntry<CEffectAnime>(),          // 19
    MakeEffectEntry<CEffectLight>(),          // 20
    MakeEffectEntry<CEffectKagerou>(),        // 22
    MakeEffectEntry<CEffectRaster>(),         // 23
    MakeEffectEntry<CEffectWater>(),          // 24
    MakeEffectEntry<CEffectRemember>(),       // 26
    MakeEffectEntry<CEffectKe>(),             // 27
    MakeEffectEntry<CEffectCircle>(),         // 28
    MakeEffectEntry<CEffectSuna>(),           // 29
    MakeEffectEntry<CEffectNega>(),           // 31
    MakeEffectEntry<CEffectMeltDown>(),       // 32
    MakeEffectEntry<CEffectReleaf>(),         // 33
    MakeEffectEntry<CEffectStretch>(),        // 36
    MakeEffectEntry<CEffectBGZoomIn>(),       // 37
    MakeEffectEntry<CEffectScroll>(),         // 39
    MakeEffectEntry<CEffectChange>(),         // 40
    MakeEffectEntry<CEffectKira>(),           // 42
    MakeEffectEntry<CEffectMozaic>(),         // 43
    MakeEffectEntry<CEffectBossDeath>(),      // 48
    MakeEffectEntry<CEffectGradation>(),      // 50
    MakeEffectEntry<CEffectTaiyo>(),          // 51
    MakeEffectEntry<CEffectMove>(),           // 52
    MakeEffectEntry<CEffectFill>(),           // 54
    MakeEffectEntry<CEffectOldFilm>(),        // 55
    MakeEffectEntry<CEffectRain2>(),          // 56
    MakeEffectEntry<CEffectSnow2>(),          // 57
    MakeEffectEntry<CEffectSimpleWipe>(),     // 59
    MakeEffectEntry<CEffectMaskWipe>(),       // 60
    MakeEffectEntry<CEffectSpecialMove>(),    // 61
    MakeEffectEntry<CEffectBezierMove>(),     // 62
    MakeEffectEntry<CEffectKomaAnime>(),      // 63
    MakeEffectEntry<CEffectTurn>(),           // 64
    MakeEffectEntry<CEffectStretchBlt>(),     // 65
    MakeEffectEntry<CEffectBuffer>(),         // 66
    MakeEffectEntry<CEffectPers>(),           // 67
    MakeEffectEntry<CEffectCurtain>(),        // 68
    MakeEffectEntry<CEffectHamon>(),          // 69
    MakeEffectEntry<CEffectHanabira>(),       // 70
    MakeEffectEntry<CEffectHotaru>(),         // 71
    MakeEffectEntry<CEffectMeisai>(),         // 72
    MakeEffectEntry<CEffectGet>(),            // 73
    MakeEffectEntry<CEffectBura>(),           // 74
    MakeEffectEntry<CEffectOnce>(),           // 75
    MakeEffectEntry<CEffectSlash>(),          // 76
    MakeEffectEntry<CEffectBokashi>(),        // 77
    MakeEffectEntry<CEffectKomorebi>(),       // 78
    MakeEffectEntry<CEffectFullAnime>(),      // 79
    MakeEffectEntry<CEffectStaffRoll>(),      // 80
    MakeEffectEntry<CEffectHahen>(),          // 81
    MakeEffectEntry<CEffectCloud>(),          // 82
    MakeEffectEntry<CEffectBeach>(),          // 83
    MakeEffectEntry<CEffectFusuma>(),         // 84
    MakeEffectEntry<CEffectSpeedLine>(),      // 85
    MakeEffectEntry<CEffectZantetsu>(),       // 86
    MakeEffectEntry<CEffectGeoCircle>(),      // 87
    MakeEffectEntry<CEffectGeoPolygon>(),     // 88
    MakeEffectEntry<CEffectGeoTorus>(),       // 89
    MakeEffectEntry<CEffectCharaFlash>(),     // 90
    MakeEffectEntry<CEffectWaterFall>(),      // 91
    MakeEffectEntry<CEffectSoyosoyo>(),       // 92
    MakeEffectEntry<CEffectGrassPlane>(),     // 93
    MakeEffectEntry<CEffectPoleScroll>(),     // 94
    MakeEffectEntry<CEffectWaterDrop>(),      // 95
    MakeEffectEntry<CEffectRainbow>(),        // 96
    MakeEffectEntry<CEffectBathWindow>(),     // 97
    MakeEffectEntry<CEffectMePachiKuchiPaku>(), // 98
    MakeEffectEntry<CEffectColorAddSub>(),    // 99
    MakeEffectEntry<CEffectHaikeiYure>(),     // 100
    MakeEffectEntry<CEffectMoveMaskWipe>(),   // 101
    MakeEffectEntry<CEffectRain4>(),          // 102
    MakeEffectEntry<CEffectTarget1>(),        // 103
    MakeEffectEntry<CEffectKonoha>(),         // 104
    MakeEffectEntry<CEffectMovieWarp>(),      // 105
    MakeEffectEntry<CEffectNoise>(),          // 106
    MakeEffectEntry<CEffectCharaRaster>(),    // 107
    MakeEffectEntry<CEffectHae>(),            // 108
    MakeEffectEntry<CEffectOldLamp>(),        // 109
    MakeEffectEntry<CEffectCharaGhost>(),     // 110
    MakeEffectEntry<CEffectFish>(),           // 111
    MakeEffectEntry<CEffectCharaMetal>(),     // 112
    MakeEffectEntry<CEffectLupin>(),          // 113
    MakeEffectEntry<CEffectGeoBox>(),         // 114
    MakeEffectEntry<CEffectGeoCircleAdd>(),   // 115
    MakeEffectEntry<CEffectGeoTorusAdd>(),    // 116
    MakeEffectEntry<CEffectGeoPolygonAdd>(),  // 117
    MakeEffectEntry<CEffectGeoBoxAdd>(),      // 118
    MakeEffectEntry<CEffectBSpline2>(),       // 119
    MakeEffectEntry<CEffectColorBalance>(),   // 120
    MakeEffectEntry<CEffectDualMask>(),       // 121
    MakeEffectEntry<CEffectClipZoomIn>(),     // 122
    MakeEffectEntry<CEffectCharaMaskAppear>(), // 123
    MakeEffectEntry<CEffectCharaGrey>(),      // 124
    MakeEffectEntry<CEffectCharaBokashi>(),   // 125
    MakeEffectEntry<CEffectBGBokashi>(),      // 126
    MakeEffectEntry<CEffectCharaSepia>(),     // 127
    MakeEffectEntry<CEffectLayerSepia>(),     // 128
    MakeEffectEntry<CEffectLayerGrey>(),      // 129
    MakeEffectEntry<CEffectSaike>(),          // 130
    MakeEffectEntry<CEffectCharaAddSub>(),    // 131
    MakeEffectEntry<CEffectCharaBure>(),      // 132
    MakeEffectEntry<CEffectSentence>(),       // 133
    MakeEffectEntry<CEffectTaClip>(),         // 136
};

// Every number the engine defines an effect at; the others stay empty.
constexpr std::array<int, 115> kDefinedNumbers = {
    0,   1,   2,   8,   9,   10,  11,  12,  13,  14,  15,  17,  18,  19,  20,  22,  23,
    24,  26,  27,  28,  29,  31,  32,  33,  36,  37,  39,  40,  42,  43,  48,  50,  51,
    52,  54,  55,  56,  57,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,
    71,  72,  73,  74,  75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,
    88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104,
    105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
    122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 136};

}  // namespace

std::span<const EffectEntry> GetEffectEntries() { return kEntries; }

int IsEffectNumberDefined(int number) {
  return std::binary_search(kDefinedNumbers.begin(), kDefinedNumbers.end(), number) ? 1 : 0;
}
