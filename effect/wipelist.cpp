// The wipe numbers and the kinds that exist. A wipe number is one line of
// kWipeNumbers: its kind's class name and the arguments {reverse, soft edge,
// blend width, arg1, arg2}; arg1 and arg2 mean what the kind says (Move:
// arg1 direction 0 top, 1 right, 2 bottom, 3 left; Door, Sudare, Center:
// arg1 mode; Grav: arg1 0 the new picture falls in, 1 the old one falls
// out; Raster: arg1 fill 0 edge pixels, 1 black; TurnStar: arg1 turn 0
// fast, 1 slow; Tokoroten, Naname: arg1 direction 0..3; Slot: arg1 strips,
// arg2 0 columns, 1 rows; Zoom: arg1 magnification).
//
// A kind joins by one line in kWipeKinds (its family's header included
// above it); its numbers then draw. Numbers whose kind has no line draw
// nothing.
#include "effect/allwipe.h"
#include "effect/wipeblend.h"
#include "effect/wipedistort.h"
#include "effect/wipehahen.h"
#include "effect/wipemove.h"
#include "effect/wipeshape.h"

namespace {

constexpr WipeNumber kWipeNumbers[] = {
    {0, "CEffectSimpleWipeOverrap", {0, 0, 64, 0, 0}},
    {1, "CEffectSimpleWipeCurtain", {0, 0, 64, 0, 0}},
    {2, "CEffectSimpleWipeCurtain2", {0, 0, 64, 0, 0}},
    {3, "CEffectSimpleWipeZebra", {0, 0, 64, 0, 0}},
    {4, "CEffectSimpleWipeSlide1", {0, 0, 64, 0, 0}},
    {5, "CEffectSimpleWipeSlide2", {0, 0, 64, 0, 0}},
    {6, "CEffectSimpleWipeCircle", {0, 0, 64, 0, 0}},
    {7, "CEffectSimpleWipeCircle", {1, 0, 64, 0, 0}},
    {8, "CEffectSimpleWipeWarp1", {0, 0, 64, 0, 0}},
    {9, "CEffectSimpleWipeClock", {0, 0, 64, 0, 0}},
    {10, "CEffectSimpleWipeMove", {0, 0, 64, 0, 0}},
    {11, "CEffectSimpleWipeMove", {0, 0, 64, 1, 0}},
    {12, "CEffectSimpleWipeMove", {0, 0, 64, 2, 0}},
    {13, "CEffectSimpleWipeMove", {0, 0, 64, 3, 0}},
    {14, "CEffectSimpleWipeMove", {1, 0, 64, 0, 0}},
    {15, "CEffectSimpleWipeMove", {1, 0, 64, 1, 0}},
    {16, "CEffectSimpleWipeMove", {1, 0, 64, 2, 0}},
    {17, "CEffectSimpleWipeMove", {1, 0, 64, 3, 0}},
    {18, "CEffectSimpleWipeDoor", {0, 0, 64, 0, 0}},
    {19, "CEffectSimpleWipeDoor", {0, 0, 64, 1, 0}},
    {20, "CEffectSimpleWipeDoor", {1, 0, 64, 0, 0}},
    {21, "CEffectSimpleWipeDoor", {1, 0, 64, 1, 0}},
    {22, "CEffectSimpleWipeNurikae", {0, 0, 64, 0, 0}},
    {23, "CEffectSimpleWipeGrav", {0, 0, 64, 0, 0}},
    {24, "CEffectSimpleWipeGaza", {0, 0, 64, 0, 0}},
    {25, "CEffectSimpleWipeGaza", {1, 0, 64, 0, 0}},
    {26, "CEffectSimpleWipeRaster", {0, 0, 64, 0, 0}},
    {27, "CEffectSimpleWipeRaster", {0, 0, 64, 1, 0}},
    {28, "CEffectSimpleWipeStar", {0, 0, 64, 0, 0}},
    {29, "CEffectSimpleWipeStar", {1, 0, 64, 0, 0}},
    {30, "CEffectSimpleWipeHeart", {0, 0, 64, 0, 0}},
    {31, "CEffectSimpleWipeHeart", {1, 0, 64, 0, 0}},
    {32, "CEffectSimpleWipeTurnStar", {0, 0, 64, 0, 0}},
    {33, "CEffectSimpleWipeTurnStar", {1, 0, 64, 0, 0}},
    {34, "CEffectSimpleWipeHahen", {0, 0, 64, 0, 0}},
    {35, "CEffectSimpleWipeHahen", {1, 0, 64, 0, 0}},
    {36, "CEffectSimpleWipeBeach", {0, 0, 64, 0, 0}},
    {37, "CEffectSimpleWipeBeach", {1, 0, 64, 0, 0}},
    {38, "CEffectSimpleWipeMozaic", {0, 0, 64, 0, 0}},
    {39, "CEffectSimpleWipeRandomStrip", {0, 0, 64, 0, 0}},
    {40, "CEffectSimpleWipeAdd", {0, 0, 64, 0, 0}},
    {41, "CEffectSimpleWipeMekuri", {0, 0, 64, 0, 0}},
    {42, "CEffectSimpleWipeSudare", {0, 0, 64, 0, 0}},
    {43, "CEffectSimpleWipeSudare", {1, 0, 64, 0, 0}},
    {44, "CEffectSimpleWipeSudare", {0, 0, 64, 1, 0}},
    {45, "CEffectSimpleWipeSudare", {1, 0, 64, 1, 0}},
    {46, "CEffectSimpleWipeSudare", {0, 0, 64, 2, 0}},
    {47, "CEffectSimpleWipeSudare", {1, 0, 64, 2, 0}},
    {48, "CEffectSimpleWipeGaza", {0, 1, 64, 0, 0}},
    {49, "CEffectSimpleWipeGaza", {0, 1, 128, 0, 0}},
    {50, "CEffectSimpleWipeGaza", {0, 1, 256, 0, 0}},
    {51, "CEffectSimpleWipeGaza", {1, 1, 64, 0, 0}},
    {52, "CEffectSimpleWipeGaza", {1, 1, 128, 0, 0}},
    {53, "CEffectSimpleWipeGaza", {1, 1, 256, 0, 0}},
    {54, "CEffectSimpleWipeBeach", {0, 1, 64, 0, 0}},
    {55, "CEffectSimpleWipeBeach", {0, 1, 128, 0, 0}},
    {56, "CEffectSimpleWipeBeach", {0, 1, 256, 0, 0}},
    {57, "CEffectSimpleWipeBeach", {1, 1, 64, 0, 0}},
    {58, "CEffectSimpleWipeBeach", {1, 1, 128, 0, 0}},
    {59, "CEffectSimpleWipeBeach", {1, 1, 256, 0, 0}},
    {60, "CEffectSimpleWipeMulti", {0, 0, 64, 0, 0}},
    {61, "CEffectSimpleWipeTokoroten", {0, 0, 64, 0, 0}},
    {62, "CEffectSimpleWipeTokoroten", {0, 0, 64, 1, 0}},
    {63, "CEffectSimpleWipeTokoroten", {0, 0, 64, 2, 0}},
    {64, "CEffectSimpleWipeTokoroten", {0, 0, 64, 3, 0}},
    {65, "CEffectSimpleWipeNaname", {0, 1, 64, 0, 0}},
    {66, "CEffectSimpleWipeNaname", {0, 1, 64, 1, 0}},
    {67, "CEffectSimpleWipeNaname", {1, 1, 64, 2, 0}},
    {68, "CEffectSimpleWipeNaname", {1, 1, 64, 3, 0}},
    {69, "CEffectSimpleWipeSlot", {0, 0, 64, 2, 0}},
    {70, "CEffectSimpleWipeSlot", {0, 0, 64, 3, 0}},
    {71, "CEffectSimpleWipeSlot", {0, 0, 64, 4, 0}},
    {72, "CEffectSimpleWipeSlot", {0, 0, 64, 5, 0}},
    {73, "CEffectSimpleWipeGrav", {0, 0, 64, 1, 0}},
    {74, "CEffectSimpleWipeSlot", {0, 0, 64, 2, 1}},
    {75, "CEffectSimpleWipeSlot", {0, 0, 64, 3, 1}},
    {76, "CEffectSimpleWipeSlot", {0, 0, 64, 4, 1}},
    {77, "CEffectSimpleWipeSlot", {0, 0, 64, 5, 1}},
    {78, "CEffectSimpleWipeTurnStar", {0, 0, 64, 1, 0}},
    {79, "CEffectSimpleWipeTurnStar", {1, 0, 64, 1, 0}},
    {80, "CEffectSimpleWipeZoom", {0, 0, 64, 4, 0}},
    {81, "CEffectSimpleWipeZoom", {0, 0, 64, 8, 0}},
    {82, "CEffectSimpleWipeZoom", {0, 0, 64, 16, 0}},
    {83, "CEffectSimpleWipeZoom", {0, 0, 64, 32, 0}},
    {84, "CEffectSimpleWipeCenter", {0, 0, 64, 0, 0}},
    {85, "CEffectSimpleWipeCenter", {1, 0, 64, 0, 0}},
    {86, "CEffectSimpleWipeCenter", {0, 0, 64, 1, 0}},
    {87, "CEffectSimpleWipeCenter", {1, 0, 64, 1, 0}},
    {88, "CEffectSimpleWipeTogari", {0, 0, 64, 0, 0}},
    {89, "CEffectSimpleWipeTogari", {1, 0, 64, 0, 0}},
    {90, "CEffectSimpleWipeTogari", {0, 1, 64, 0, 0}},
    {91, "CEffectSimpleWipeTogari", {0, 1, 256, 0, 0}},
    {92, "CEffectSimpleWipeTogari", {1, 1, 64, 0, 0}},
    {93, "CEffectSimpleWipeTogari", {1, 1, 256, 0, 0}},
    {94, "CEffectSimpleWipeWTogari", {0, 0, 64, 0, 0}},
    {95, "CEffectSimpleWipeWTogari", {1, 0, 64, 0, 0}},
};

// Blend and strip wipes (wipeblend.h).
constexpr WipeKind kWipeKinds[] = {
    {"CEffectSimpleWipeOverrap", MakeWipe<CEffectSimpleWipeOverrap>},
    {"CEffectSimpleWipeCurtain", MakeWipe<CEffectSimpleWipeCurtain>},
    {"CEffectSimpleWipeCurtain2", MakeWipe<CEffectSimpleWipeCurtain2>},
    {"CEffectSimpleWipeZebra", MakeWipe<CEffectSimpleWipeZebra>},
    {"CEffectSimpleWipeSlide1", MakeWipe<CEffectSimpleWipeSlide1>},
    {"CEffectSimpleWipeSlide2", MakeWipe<CEffectSimpleWipeSlide2>},
    {"CEffectSimpleWipeRandomStrip", MakeWipe<CEffectSimpleWipeRandomStrip>},
    {"CEffectSimpleWipeAdd", MakeWipe<CEffectSimpleWipeAdd>},
    {"CEffectSimpleWipeMulti", MakeWipe<CEffectSimpleWipeMulti>},
    // Distortion wipes (wipedistort.h).
    {"CEffectSimpleWipeSudare", MakeWipe<CEffectSimpleWipeSudare>},
    {"CEffectSimpleWipeNurikae", MakeWipe<CEffectSimpleWipeNurikae>},
    {"CEffectSimpleWipeRaster", MakeWipe<CEffectSimpleWipeRaster>},
    {"CEffectSimpleWipeMozaic", MakeWipe<CEffectSimpleWipeMozaic>},
    {"CEffectSimpleWipeWarp1", MakeWipe<CEffectSimpleWipeWarp1>},
    {"CEffectSimpleWipeMekuri", MakeWipe<CEffectSimpleWipeMekuri>},
    // Shatter wipe (wipehahen.h).
    {"CEffectSimpleWipeHahen", MakeWipe<CEffectSimpleWipeHahen>},
    // Shape wipes (wipeshape.h).
    {"CEffectSimpleWipeCircle", MakeWipe<CEffectSimpleWipeCircle>},
    {"CEffectSimpleWipeClock", MakeWipe<CEffectSimpleWipeClock>},
    {"CEffectSimpleWipeStar", MakeWipe<CEffectSimpleWipeStar>},
    {"CEffectSimpleWipeTurnStar", MakeWipe<CEffectSimpleWipeTurnStar>},
    {"CEffectSimpleWipeHeart", MakeWipe<CEffectSimpleWipeHeart>},
    {"CEffectSimpleWipeWTogari", MakeWipe<CEffectSimpleWipeWTogari>},
    {"CEffectSimpleWipeTogari", MakeWipe<CEffectSimpleWipeTogari>},
    {"CEffectSimpleWipeNaname", MakeWipe<CEffectSimpleWipeNaname>},
    {"CEffectSimpleWipeGaza", MakeWipe<CEffectSimpleWipeGaza>},
    {"CEffectSimpleWipeBeach", MakeWipe<CEffectSimpleWipeBeach>},
    // Moving-picture wipes (wipemove.h).
    {"CEffectSimpleWipeMove", MakeWipe<CEffectSimpleWipeMove>},
    {"CEffectSimpleWipeDoor", MakeWipe<CEffectSimpleWipeDoor>},
    {"CEffectSimpleWipeTokoroten", MakeWipe<CEffectSimpleWipeTokoroten>},
    {"CEffectSimpleWipeGrav", MakeWipe<CEffectSimpleWipeGrav>},
    {"CEffectSimpleWipeSlot", MakeWipe<CEffectSimpleWipeSlot>},
    {"CEffectSimpleWipeCenter", MakeWipe<CEffectSimpleWipeCenter>},
    {"CEffectSimpleWipeZoom", MakeWipe<CEffectSimpleWipeZoom>},
};

}  // namespace

std::span<const WipeNumber> GetWipeNumbers() { return kWipeNumbers; }
std::span<const WipeKind> GetWipeKinds() { return kWipeKinds; }
