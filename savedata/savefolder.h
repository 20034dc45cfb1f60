// The save folder: the one folder of every file written for the player
// (system file, save slots, int tables, chart slots). Its path is built from
// up to four parts, "special\\company\\game\\sav", where the special folder
// is the user's documents or application-data folder. Process-wide state,
// set up once at start-up. Texts are CP932.
#pragma once

#include <string>

// type 0: no special folder, and company and game are cleared; 1: the
// documents folder; other values: the application-data folder.
void SetSaveFolder(const char* company, const char* game, int type);
void SetSaveFolderType(int type, int rebuild);
// Null empties the part; long texts are cut (126, 254 and 126 bytes).
void SetCompanyFolder(const char* name, int rebuild);
void SetGameFolder(const char* name, int rebuild);
void SetSaveSubFolder(const char* name, int rebuild);

// The built paths; valid until the next change of a part.
const char* GetSaveFolder();
const char* GetCompanyPath();
const char* GetGamePath();
const char* GetSpecialFolderPath();

// Creates the company, game and save levels that are set, each folder of a
// part that names more than one ("Company\\Game") in turn; 0 at the first
// folder that cannot be made (named on stderr), else 1.
int CreateSaveFolder();
// A game path as the host names it (resolved, CP932), for messages.
std::string HostPath(const std::string& path);
// The saves the game makes by itself (the system file during play, a flow
// chart's slot files) show the player their first failure of a run in a
// box; later ones go to stderr only. true the first time a kind asks, until
// ResetSaveFolder.
enum class RoutineSave { kSystemFile, kChartSlot, kKinds };
bool FirstRoutineSaveFailure(RoutineSave kind);
// Deletes files of the save folder (only ".sav" ones with onlySav, ".org"
// ones only with includeOrg, sub-folders only with recurse); with
// removeFolders the empty levels are removed after. 0 when a file could not
// be deleted (after a box naming it).
int DeleteSaveFiles(int removeFolders, int recurse, int includeOrg, int onlySav);
// Removes the temporary files that saves interrupted by a crash left in
// the save folder and its sub-folders (nothing else); a file that cannot be
// removed is named on stderr. The number removed.
int RemoveStaleSaveTemporaries();
// 1 when the folder holds nothing (or cannot be listed).
int IsFolderEmpty(const char* path);

// Back to the start-up state (tests).
void ResetSaveFolder();
