#include "savedata/inttablefile.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "platform/bytereader.h"
#include "platform/files.h"
#include "platform/system.h"
#include "savedata/keptaside.h"
#include "savedata/savefolder.h"

namespace {
// Keeps the file (and the cell index) within 32 bits.
constexpr int64_t kMaxCells = INT_MAX / 4;
}  // namespace

CIntTableFile::CIntTableFile(const char* name, int rows, int kept, int columns, const char* subFolder)
    : kept_(kept), name_(name ? name : ""), subFolder_(subFolder ? subFolder : "") {
  const int64_t cells = static_cast<int64_t>(rows) * columns;
  if (rows > 0 && columns > 0 && cells <= kMaxCells) {
    rows_ = rows;
    columns_ = columns;
    cells_.assign(static_cast<size_t>(cells), 0);
  }
  if (!subFolder_.empty()) {
    const std::string folder = GetSaveFolder();
    platform::CreateDirectory(folder.empty() ? subFolder_ : folder + "\\" + subFolder_);
  }
  Clear();
  Load();
}

CIntTableFile::~CIntTableFile() { Release(); }

std::string CIntTableFile::Path(const char* extension) const {
  std::string path = GetSaveFolder();
  if (!subFolder_.empty()) path = path.empty() ? subFolder_ : path + "\\" + subFolder_;
  const std::string file = name_ + "." + extension;
  return path.empty() ? file : path + "\\" + file;
}

void CIntTableFile::Clear() {
  std::fill(cells_.begin(), cells_.end(), 0);
  savePending_ = true;
}

void CIntTableFile::SetValue(int row, int value, int column) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
  cells_[static_cast<size_t>(row) * columns_ + column] = value;
  savePending_ = true;
}

void CIntTableFile::AddValue(int row, int delta, int column) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return;
  int32_t& cell = cells_[static_cast<size_t>(row) * columns_ + column];
  // An overflow saturates at 2147483647 upwards and -2147483647 downwards;
  // a sum that fits is kept, -2147483648 included.
  const int64_t sum = static_cast<int64_t>(cell) + delta;
  cell = sum > INT_MAX ? INT_MAX : sum < INT_MIN ? -INT_MAX : static_cast<int32_t>(sum);
  savePending_ = true;
}

int CIntTableFile::GetValue(int row, int column) const {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) return 0;
  return cells_[static_cast<size_t>(row) * columns_ + column];
}

int CIntTableFile::Load() {
  // A file of the player's is whole or damaged: it holds exactly the table.
  const size_t size = cells_.size() * 4;
  const std::string own = Path("sav");
  std::string bytes, ownReason;
  holdSaves_ = false;
  const SaveFileState state = ReadFixedSizeFile(own, size, &bytes, &ownReason);
  if (state == SaveFileState::kSound) return Take(bytes);

  const std::string shipped = Path("org");
  std::string shippedBytes, shippedReason;
  const SaveFileState fallback = ReadFixedSizeFile(shipped, size, &shippedBytes, &shippedReason);
  if (fallback == SaveFileState::kDamaged)
    platform::ErrorOutput(("the shipped table " + HostPath(shipped) + " is damaged: " + shippedReason +
                           "; it is not used")
                              .c_str());
  if (state == SaveFileState::kDamaged) {
    const std::string outcome = fallback == SaveFileState::kSound
                                    ? "the table comes from " + HostPath(shipped)
                                    : std::string("the table starts empty");
    holdSaves_ = !SetDamagedFileAside("the table", own, ownReason, outcome);
    // Its place is empty now: the cells are written there.
    if (!holdSaves_) savePending_ = true;
  }
  if (fallback == SaveFileState::kSound) return Take(shippedBytes);
  return 0;
}

int CIntTableFile::Take(const std::string& bytes) {
  platform::ByteReader reader(bytes);
  for (int32_t& cell : cells_) reader.I32(&cell);
  savePending_ = false;
  return 1;
}

int CIntTableFile::Save() {
  const std::string path = Path("sav");
  if (holdSaves_) {
    platform::ErrorOutput(("the table " + HostPath(path) +
                           " is not saved: the damaged file there could not be kept aside")
                              .c_str());
    return 0;
  }
  std::vector<unsigned char> bytes(cells_.size() * 4);
  for (size_t i = 0; i < cells_.size(); ++i) {
    const uint32_t v = static_cast<uint32_t>(cells_[i]);
    bytes[4 * i] = static_cast<unsigned char>(v);
    bytes[4 * i + 1] = static_cast<unsigned char>(v >> 8);
    bytes[4 * i + 2] = static_cast<unsigned char>(v >> 16);
    bytes[4 * i + 3] = static_cast<unsigned char>(v >> 24);
  }
  std::string error;
  if (!platform::WriteWholeFile(path, bytes.data(), bytes.size(), &error)) {
    ReportUnsavedFile("the table", path, error);
    return 0;
  }
  savePending_ = false;
  return 1;
}

void CIntTableFile::Release() {
  if (savePending_) Save();
  savePending_ = false;
  cells_.clear();
  cells_.shrink_to_fit();
  rows_ = 0;
  columns_ = 0;
}
