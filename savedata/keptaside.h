// Damaged files of the save folder: a file whose bytes cannot be the
// format's is moved aside under a numbered name beside it, never written
// over, and a fresh file takes its place.
#pragma once

#include <cstddef>
#include <string>

// The copies kept of one file: "<file>.bad", then "<file>.bad.2" up to
// "<file>.bad.5". The four oldest stay for good; once every name is taken
// the last one always holds the newest damaged file.
constexpr int kKeptAsideCopies = 5;

// Moves the file (or folder) at path to the first free name of its copies,
// or over the last one when all are taken. true with the new name in keptAs;
// false with the system's reason in error, and the file stays where it was;
// boxError, when given, has the same reason with the files named as the
// game names them.
bool KeepDamagedFile(const std::string& path, std::string* keptAs, std::string* error,
                     std::string* boxError = nullptr);

enum class SaveFileState { kMissing, kSound, kDamaged };

// Reads a save-folder file whose format has exactly `size` bytes, never more
// than size + 1 of them. kSound with the bytes in out; kDamaged with the
// reason (a folder, unreadable, another length); kMissing when nothing is
// there.
SaveFileState ReadFixedSizeFile(const std::string& path, size_t size, std::string* out,
                                std::string* reason);

// Keeps a damaged file of the player's aside and says so: a line on stderr
// ("<what> <file> is damaged: <reason>; kept as <copy>; <outcome>") and a
// box naming both files as the game names them ("sav\mita.dat"). false when it could not be moved: the line and
// the box then say that it is left in place, and the caller must not write
// over it.
bool SetDamagedFileAside(const char* what, const std::string& path, const std::string& reason,
                         const std::string& outcome);

// A file of the player's that could not be written: a line on stderr
// (the file on this host) and, unless box is false, a box (the file as the
// game names it, "sav\mita.dat"), both with the system's reason.
void ReportUnsavedFile(const char* what, const std::string& path, const std::string& error,
                       bool box = true);
