// The settings keys by which a screen names a game variable it sets (the
// place chosen, the heroine, the chart's slot, ...). Each screen reads its
// keys through these names; zor-check reads the same table, so that a
// condition reading such a variable is not taken for one no script sets.
#pragma once

namespace screensetvars {

inline constexpr const char* kSelectPlaceSelected = "selectedPlaceVarName";
// The default of "selectedPlaceVarName": 場所選択番号.
inline constexpr const char* kSelectPlaceSelectedDefault = "\x8F\xEA\x8F\x8A\x91\x49\x91\xF0\x94\xD4\x8D\x86";
inline constexpr const char* kSelectPlaceOnButton = "onButtonVarName";
inline constexpr const char* kHeroinReturn = "returnVarName";
inline constexpr const char* kZukanAppear = "appearVarName";  // also appearVarName1, 2, ...
// The defaults of the picture book's keys: 図鑑見たフラグ and 図鑑番号.
inline constexpr const char* kZukanAppearDefault = "\x90\x7D\x8A\xD3\x8C\xA9\x82\xBD\x83\x74\x83\x89\x83\x4F";
inline constexpr const char* kZukanReturn = "returnVarName";
inline constexpr const char* kZukanReturnDefault = "\x90\x7D\x8A\xD3\x94\xD4\x8D\x86";
inline constexpr const char* kChartSlot = "slotVarName";
inline constexpr const char* kChartWork = "workVarName";
inline constexpr const char* kChartWork2 = "workVarName2";
inline constexpr const char* kChartOpen = "chartOpenVar";
inline constexpr const char* kChartNewMark = "newMarkVarName";
inline constexpr const char* kChartPercent = "chartPercentVarName";
inline constexpr const char* kChartComplete = "checkCompVarName";
inline constexpr const char* kMiniGameSet = "setVarName";  // setVarName1, 2, ...
inline constexpr const char* kNameInputStatus = "statusVarName";
inline constexpr const char* kNameInputTime = "timeVarName";
inline constexpr const char* kConfigPage = "pageNumberVarName";

// One key of a settings list that names a variable its screen sets.
struct SetVarKey {
  const char* list;         // the settings list, as the screen loads it
  const char* key;
  const char* defaultName;  // the variable set when the key is missing; null: none
  bool numbered;            // the key also stands with 1, 2, ... after it
};

inline constexpr SetVarKey kSetVarKeys[] = {
    {"SelectPlace", kSelectPlaceSelected, kSelectPlaceSelectedDefault, false},
    {"SelectPlace", kSelectPlaceOnButton, nullptr, false},
    {"SelectHeroin", kHeroinReturn, nullptr, false},
    {"selectzukan", kZukanAppear, kZukanAppearDefault, true},
    {"selectzukan", kZukanReturn, kZukanReturnDefault, false},
    {"selectchart", kChartSlot, nullptr, false},
    {"selectchart", kChartWork, nullptr, false},
    {"selectchart", kChartWork2, nullptr, false},
    {"selectchart", kChartOpen, nullptr, false},
    {"selectchart", kChartNewMark, nullptr, false},
    {"selectchart", kChartPercent, nullptr, false},
    {"selectchart", kChartComplete, nullptr, false},
    {"miniGame", kMiniGameSet, nullptr, true},
    {"nameInput", kNameInputStatus, nullptr, false},
    {"nameInput", kNameInputTime, nullptr, false},
    {"Config", kConfigPage, nullptr, false},
};

}  // namespace screensetvars
