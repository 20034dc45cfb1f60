// The effect-number table. One line per effect, in ascending number; a new
// effect joins by adding its line here (see effect/README.md), never by
// changing the manager.
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
    MakeEffectEntry<CEffectNop>(),
    MakeEffectEntry<CEffectMae>(),
    MakeEffectEntry<CEffectPut>(),
    MakeEffectEntry<CEffectTrans>(),
    MakeEffectEntry<CEffectCTrans>(),
    MakeEffectEntry<CEffectFadein>(),
    MakeEffectEntry<CEffectFadeout>(),
    MakeEffectEntry<CEffectFlower>(),
    MakeEffectEntry<CEffectRain>(),
    MakeEffectEntry<CEffectSnow>(),
    MakeEffectEntry<CEffectSan>(),
    MakeEffectEntry<CEffectFlash>(),
    MakeEffectEntry<CEffectShake>(),
    MakeEffectEntry<CEffectAnime>(),
    MakeEffectEntry<CEffectLight>(),
    MakeEffectEntry<CEffectKagerou>(),
    MakeEffectEntry<CEffectRaster>(),
    MakeEffectEntry<CEffectWater>(),
    MakeEffectEntry<CEffectRemember>(),
    MakeEffectEntry<CEffectKe>(),
    MakeEffectEntry<CEffectCircle>(),
    MakeEffectEntry<CEffectSuna>(),
    MakeEffectEntry<CEffectNega>(),
    MakeEffectEntry<CEffectMeltDown>(),
    MakeEffectEntry<CEffectReleaf>(),
    MakeEffectEntry<CEffectStretch>(),
    MakeEffectEntry<CEffectBGZoomIn>(),
    MakeEffectEntry<CEffectScroll>(),
    MakeEffectEntry<CEffectChange>(),
    MakeEffectEntry<CEffectKira>(),
    MakeEffectEntry<CEffectMozaic>(),
    MakeEffectEntry<CEffectBossDeath>(),
    MakeEffectEntry<CEffectGradation>(),
    MakeEffectEntry<CEffectTaiyo>(),
    MakeEffectEntry<CEffectMove>(),
    MakeEffectEntry<CEffectFill>(),
    MakeEffectEntry<CEffectOldFilm>(),
    MakeEffectEntry<CEffectRain2>(),
    MakeEffectEntry<CEffectSnow2>(),
    MakeEffectEntry<CEffectSimpleWipe>(),
    MakeEffectEntry<CEffectMaskWipe>(),
    MakeEffectEntry<CEffectSpecialMove>(),
    MakeEffectEntry<CEffectBezierMove>(),
    MakeEffectEntry<CEffectKomaAnime>(),
    MakeEffectEntry<CEffectTurn>(),
    MakeEffectEntry<CEffectStretchBlt>(),
    MakeEffectEntry<CEffectBuffer>(),
    MakeEffectEntry<CEffectPers>(),
    MakeEffectEntry<CEffectCurtain>(),
    MakeEffectEntry<CEffectHamon>(),
    MakeEffectEntry<CEffectHanabira>(),
    MakeEffectEntry<CEffectHotaru>(),
    MakeEffectEntry<CEffectMeisai>(),
    MakeEffectEntry<CEffectGet>(),
    MakeEffectEntry<CEffectBura>(),
    MakeEffectEntry<CEffectOnce>(),
    MakeEffectEntry<CEffectSlash>(),
    MakeEffectEntry<CEffectBokashi>(),
    MakeEffectEntry<CEffectKomorebi>(),
    MakeEffectEntry<CEffectFullAnime>(),
    MakeEffectEntry<CEffectStaffRoll>(),
    MakeEffectEntry<CEffectHahen>(),
    MakeEffectEntry<CEffectCloud>(),
    MakeEffectEntry<CEffectBeach>(),
    MakeEffectEntry<CEffectFusuma>(),
    MakeEffectEntry<CEffectSpeedLine>(),
    MakeEffectEntry<CEffectZantetsu>(),
    MakeEffectEntry<CEffectGeoCircle>(),
    MakeEffectEntry<CEffectGeoPolygon>(),
    MakeEffectEntry<CEffectGeoTorus>(),
    MakeEffectEntry<CEffectCharaFlash>(),
    MakeEffectEntry<CEffectWaterFall>(),
    MakeEffectEntry<CEffectSoyosoyo>(),
    MakeEffectEntry<CEffectGrassPlane>(),
    MakeEffectEntry<CEffectPoleScroll>(),
    MakeEffectEntry<CEffectWaterDrop>(),
    MakeEffectEntry<CEffectRainbow>(),
    MakeEffectEntry<CEffectBathWindow>(),
    MakeEffectEntry<CEffectMePachiKuchiPaku>(),
    MakeEffectEntry<CEffectColorAddSub>(),
    MakeEffectEntry<CEffectHaikeiYure>(),
    MakeEffectEntry<CEffectMoveMaskWipe>(),
    MakeEffectEntry<CEffectRain4>(),
    MakeEffectEntry<CEffectTarget1>(),
    MakeEffectEntry<CEffectKonoha>(),
    MakeEffectEntry<CEffectMovieWarp>(),
    MakeEffectEntry<CEffectNoise>(),
    MakeEffectEntry<CEffectCharaRaster>(),
    MakeEffectEntry<CEffectHae>(),
    MakeEffectEntry<CEffectOldLamp>(),
    MakeEffectEntry<CEffectCharaGhost>(),
    MakeEffectEntry<CEffectFish>(),
    MakeEffectEntry<CEffectCharaMetal>(),
    MakeEffectEntry<CEffectLupin>(),
    MakeEffectEntry<CEffectGeoBox>(),
    MakeEffectEntry<CEffectGeoCircleAdd>(),
    MakeEffectEntry<CEffectGeoTorusAdd>(),
    MakeEffectEntry<CEffectGeoPolygonAdd>(),
    MakeEffectEntry<CEffectGeoBoxAdd>(),
    MakeEffectEntry<CEffectBSpline2>(),
    MakeEffectEntry<CEffectColorBalance>(),
    MakeEffectEntry<CEffectDualMask>(),
    MakeEffectEntry<CEffectClipZoomIn>(),
    MakeEffectEntry<CEffectCharaMaskAppear>(),
    MakeEffectEntry<CEffectCharaGrey>(),
    MakeEffectEntry<CEffectCharaBokashi>(),
    MakeEffectEntry<CEffectBGBokashi>(),
    MakeEffectEntry<CEffectCharaSepia>(),
    MakeEffectEntry<CEffectLayerSepia>(),
    MakeEffectEntry<CEffectLayerGrey>(),
    MakeEffectEntry<CEffectSaike>(),
    MakeEffectEntry<CEffectCharaAddSub>(),
    MakeEffectEntry<CEffectCharaBure>(),
    MakeEffectEntry<CEffectSentence>(),
    MakeEffectEntry<CEffectTaClip>(),
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
