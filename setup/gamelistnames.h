// The data lists a game reads from fixed places, named once for the engine
// and for zor-check, which reads the same files.
#pragma once

namespace gamelists {

inline constexpr const char* kProjectList = "spt\\project.xtx";
inline constexpr const char* kBgmList = "spt\\bgmlist.xtx";
inline constexpr const char* kSeList = "spt\\selist.xtx";
inline constexpr const char* kVarNameList = "spt\\var.fxf";
// The print-message screen's name colours, unless "nameColorFileName"
// names another list.
inline constexpr const char* kNameColourList = "spt\\namecol.xtx";

}  // namespace gamelists
