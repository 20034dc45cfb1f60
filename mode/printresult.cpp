#include "mode/printresult.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "services/saveservices.h"
#include "services/soundservices.h"
#include "services/textservices.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "message/textprint.h"
#include "mode/modekeys.h"
#include "platform/codec.h"
#include "platform/types.h"
#include "savedata/inttablefile.h"
#include "setup/namelist.h"
#include "setup/text.h"
#include "widget/backbutton.h"
#include "widget/commonbutton.h"
#include "widget/pageprint.h"
#include "widget/updownbutton.h"

namespace printresult {

Cell CellOf(int r, int numberX, int numberY) {
  numberX = std::max(numberX, 1);
  const int perPage = numberX * std::max(numberY, 1);
  r = std::max(r, 0);
  const int c = r % perPage;
  return {r / perPage, c % numberX, c / numberX};
}

int PageCount(int results, int numberX, int numberY) {
  const int perPage = std::max(numberX, 1) * std::max(numberY, 1);
  return std::max((std::max(results, 0) + perPage - 1) / perPage, 1);
}

int ScrollLimit(int length, int fontSize, int speed, int startWait) {
  if (length <= 30) return startWait;
  const int64_t extra = int64_t{length - 30} * fontSize / std::max(speed, 1);
  return static_cast<int>(std::clamp<int64_t>(startWait + extra, INT32_MIN, INT32_MAX));
}

Scroll ScrollAt(int counter, int startWait, int speed, int fontSize) {
  fontSize = std::max(fontSize, 1);
  const int64_t a = counter > startWait ? int64_t{counter - startWait} * speed : 0;
  if (a > 2 * int64_t{fontSize})
    return {static_cast<int>(a % fontSize + fontSize),
            static_cast<int>(std::min<int64_t>((a - fontSize) / fontSize, INT32_MAX))};
  return {static_cast<int>(a), 0};
}

size_t SkipChars(const char* text, int chars) {
  if (!text) return 0;
  const size_t want = static_cast<size_t>(std::max(chars, 0)) * 2;
  size_t at = 0;
  while (at < want && text[at]) {
    const bool dbcs = platform::IsCp932LeadByte(static_cast<unsigned char>(text[at])) && text[at + 1];
    at += dbcs ? 2 : 1;
  }
  return at;
}

}  // namespace printresult

namespace {

constexpr int kRecord = 8;
// Rows of the result table hold result r at row r + 1.
constexpr int kTableRows = CSaveServices::kResultRows;

std::string SysName(const char* stem, const std::string& suffix) {
  return std::string("sys\\") + (stem ? stem : "") + suffix;
}

}  // namespace

CCommonPrintResult::CCommonPrintResult(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("printResult", 256);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadFadeSetup();
  LoadBgmSetup();
  LoadEnterExitVoiceSetup();

  GetSetupMode("nextMode", &nextMode_);
  const char* descName = "mok\\resultDesc.xtx";
  GetSetupString(&descName, "resultDescName");
  GetSetupInt(&descPrintType_, "descprintType");
  GetSetupInt(&messageX_, "messagePrintX");
  GetSetupInt(&messageY_, "messagePrintY");
  GetSetupInt(&fontSize_, "messageFontSize");
  Rgb rgb{colorR_, colorG_, colorB_};
  ReadColorKeys(*this, "messageColor", "", &rgb);
  colorR_ = rgb.r;
  colorG_ = rgb.g;
  colorB_ = rgb.b;
  GetSetupInt(&sukima_, "messageSukima");
  GetSetupInt(&messageLength_, "messageLength");
  messageLength_ = std::clamp(messageLength_, 0, 1024);
  messageNextY_ = fontSize_ + fontSize_ / 2;
  GetSetupInt(&messageNextY_, "messageNextY");
  GetSetupInt(&blockMax_, "messageBlockMax");
  // A record has room for six lines after its voice.
  blockMax_ = std::clamp(blockMax_, 1, kMaxBlocks);
  GetSetupInt(&printX_, "resultsPrintX");
  GetSetupInt(&printY_, "resultsPrintY");
  GetSetupInt(&sizeX_, "resultsSizeX");
  GetSetupInt(&sizeY_, "resultsSizeY");
  sizeX_ = std::max(sizeX_, 0);
  sizeY_ = std::max(sizeY_, 0);
  nextX_ = sizeX_;
  nextY_ = sizeY_;
  GetSetupInt(&nextX_, "resultsNextX");
  GetSetupInt(&nextY_, "resultsNextY");
  const int count = ReadCount(*this, "resultsMax", 20, kMaxResults);
  GetSetupInt(&numberX_, "resultsNumberX");
  GetSetupInt(&numberY_, "resultsNumberY");
  numberX_ = std::clamp(numberX_, 1, kMaxResults);
  numberY_ = std::clamp(numberY_, 1, kMaxResults / numberX_);
  HoldCoordinates({&messageX_, &messageY_, &messageNextY_, &printX_, &printY_, &sizeX_, &sizeY_,
                   &nextX_, &nextY_, &sukima_});
  fontSize_ = std::clamp(fontSize_, 1, 256);
  GetSetupString(&plateTag_, "filenameResultsTag");
  GetSetupInt(&dialogFlag_, "dialogFlag");
  GetSetupString(&dialogTag_, "filenameDialogTag");
  GetSetupInt(&dialogX_, "dialogPrintX");
  GetSetupInt(&dialogY_, "dialogPrintY");
  GetSetupInt(&dialogSizeX_, "dialogSizeX");
  GetSetupInt(&dialogSizeY_, "dialogSizeY");
  HoldCoordinates({&dialogX_, &dialogY_, &dialogSizeX_, &dialogSizeY_});
  GetSetupInt(&voiceFlag_, "voiceFlag");
  GetSetupInt(&voiceStartWait_, "voiceStartWait");
  GetSetupInt(&scrollStartWait_, "scrollStartWait");
  GetSetupInt(&scrollSpeed_, "scrollSpeed");

  pages_ = printresult::PageCount(count, numberX_, numberY_);
  LoadBackButtonSetup();
  if (pages_ > 1) {
    LoadUpDownButtonSetup();
    CreateUpdownBack();
  }
  CPicture* back = backScriptFlag_ || mustAllPrintFlag_ ? nullptr : screenPicture_;
  pagePrint_ = std::make_unique<CPagePrint>(GetSetupList(), back);
  if (dialogFlag_) {
    okButton_ = std::make_unique<CCommonButton>(GetSetupList(), "ok", nullptr);
    okButton_->SetPrintPos(okButton_->GetPrintX() + dialogX_, okButton_->GetPrintY() + dialogY_);
    okButton_->SetPicture(CPicturePool::GetPicture(kOkPicture));
  }

  // The descriptions: result r takes its voice, its scrolling line and the
  // lines drawn one below another from record r + 1 (record 0 is the
  // list's head). A record past the end of the list gives no voice and no
  // lines.
  descList_ = std::make_unique<CNameList>();
  descList_->Load(descName, false, false);
  auto recordLines = [&](int record) {
    std::vector<const char*> lines;
    for (int k = 0; k < blockMax_; ++k) {
      const char* line = descList_->GetName(record * kRecord + 2 + k);
      if (line && line[0] != '@') lines.push_back(line);
    }
    return lines;
  };
  results_.resize(count);
  for (int r = 0; r < count; ++r) {
    Result& result = results_[r];
    result.voice = descList_->GetName((r + 1) * kRecord + 1);
    result.lines = recordLines(r + 1);
    for (const char* line : result.lines) result.text += line;
    result.length = static_cast<int>(result.text.size() / 2);
  }
}

CCommonPrintResult::~CCommonPrintResult() { Release(); }

void CCommonPrintResult::Release() {
  results_.clear();
  descList_.reset();
  okButton_.reset();
  pagePrint_.reset();
}

const std::string& CCommonPrintResult::GetText(int r) const {
  static const std::string kNone;
  return Valid(r) ? results_[r].text : kNone;
}

std::vector<std::string> CCommonPrintResult::GetLines(int r) const {
  if (!Valid(r)) return {};
  return std::vector<std::string>(results_[r].lines.begin(), results_[r].lines.end());
}

CPicture* CCommonPrintResult::Plate(int page) const {
  const int64_t index = int64_t{kFirstPlatePicture} + page;
  return page >= 0 && index < CPicturePool::kCount ? CPicturePool::GetPicture(static_cast<int>(index))
                                                   : nullptr;
}

void CCommonPrintResult::SetPage(int page) {
  page_ = std::clamp(page, 0, pages_ - 1);
  if (updownBack_ && pages_ > 1) updownBack_->SetPage(page_);
}

int CCommonPrintResult::AnnounceNext() {
  if (!dialogFlag_) return -1;
  CIntTableFile* table = game_ ? game_.saves->GetResultTable() : nullptr;
  if (Valid(announced_)) {
    results_[announced_].state = 2;
    if (table) table->SetValue(announced_ + 1, 2, 0);
  }
  announced_ = -1;
  for (int r = 0; r < GetResultCount(); ++r) {
    if (results_[r].state != 1) continue;
    // Tens and units below 100; every digit of larger numbers.
    const int n = r + 1;
    if (workPicture_)
      workPicture_->LoadDWQ(SysName(dialogTag_, std::to_string(n / 10) + std::to_string(n % 10)).c_str());
    SetPage(printresult::CellOf(r, numberX_, numberY_).page);
    announced_ = r;
    return r;
  }
  return -1;
}

int CCommonPrintResult::Init() {
  page_ = 0;
  hovered_ = -1;
  announced_ = -1;
  for (int k = 0; k < pages_; ++k)
    if (CPicture* plate = Plate(k)) plate->LoadDWQ(SysName(plateTag_, std::to_string(k + 1)).c_str());
  if (pages_ > 1 && upDownButtons_) {
    SetUpDownButtonPos();
    if (updownBack_) {
      updownBack_->SetPageMax(pages_);
      updownBack_->SetPage(0);
    }
    ReloadUpDownButtonPicture();
  }
  ReloadBackButtonPicture();
  if (pages_ > 1 && updownBack_)
    updownBack_->Init();
  else if (backButton_)
    backButton_->Init();
  SetBackButtonPos();
  if (okButton_) {
    ReloadButtonPicture(okButton_.get(), nullptr);
    okButton_->Init();
  }
  CIntTableFile* table = game_ ? game_.saves->GetResultTable() : nullptr;
  for (int r = 0; r < GetResultCount(); ++r) {
    const int row = r + 1;
    results_[r].state = table && row < kTableRows ? table->GetValue(row, 0) : 0;
  }
  voiceCountdown_ = voiceStartWait_;
  AnnounceNext();
  scrollCounter_ = 0;
  return -1;
}

int CCommonPrintResult::Drawn(int r) const {
  return Valid(r) && results_[r].state >= (dialogFlag_ ? 2 : 1);
}

int CCommonPrintResult::HitResult(int x, int y) const {
  CPicture* plate = Plate(page_);
  for (int c = 0; c < PerPage(); ++c) {
    const int64_t r = int64_t{page_} * PerPage() + c;
    if (r >= GetResultCount() || results_[r].state == 0) continue;
    const printresult::Cell cell = printresult::CellOf(c, numberX_, numberY_);
    const int64_t left = printX_ + int64_t{cell.column} * nextX_, top = printY_ + int64_t{cell.row} * nextY_;
    if (x < left || y < top || x >= left + sizeX_ || y >= top + sizeY_) continue;
    const int64_t px = cell.column * int64_t{sizeX_} + (x - left), py = cell.row * int64_t{sizeY_} + (y - top);
    if (!plate || px >= plate->GetWidth() || py >= plate->GetHeight()) continue;
    if (plate->HitCheck(static_cast<int>(px), static_cast<int>(py), 0, 0))
      return static_cast<int>(r);
  }
  return -1;
}

int CCommonPrintResult::Calcu() {
  // The announcement waits for its OK.
  if (Valid(announced_)) {
    if (okButton_ && CheckButtonResult(okButton_->Calcu(input_)) == 0) {
      AnnounceNext();
      okButton_->Init();
    }
    return -1;
  }
  // Back and the pages.
  const int code = pages_ > 1 && updownBack_ ? updownBack_->Calcu(input_)
                   : backButton_            ? backButton_->Calcu(input_)
                                            : -1;
  const int button = CheckButtonResult(code);
  if (button == 0) return ExitToMode(nextMode_);
  if (button > 0) SetPage(button - 1);
  // The hovered result.
  platform::Point mouse{-1, -1};
  if (mouse_) mouse_->GetPos(&mouse);
  const int now = HitResult(mouse.x, mouse.y);
  // A new one restarts the voice wait and the scroll.
  if (now != hovered_) {
    hovered_ = now;
    voiceCountdown_ = voiceStartWait_;
    scrollCounter_ = 0;
    if (Valid(now))
      scrollLimit_ = printresult::ScrollLimit(results_[now].length, fontSize_, scrollSpeed_,
                                              scrollStartWait_);
    return -1;
  }
  // While it stays hovered.
  if (!Valid(hovered_)) return -1;
  if (voiceCountdown_ > 0 && --voiceCountdown_ == 0 && voiceFlag_ && game_) {
    const char* voice = results_[hovered_].voice;
    if (voice && voice[0] && voice[0] != '!') game_.sound->PlayVoice(voice);
  }
  if (scrollCounter_ < scrollLimit_) ++scrollCounter_;
  return -1;
}

void CCommonPrintResult::PrintDescription(int r) {
  CTextPrint* text = game_ ? game_.text->GetTextBuffer() : nullptr;
  if (!text || !Valid(r)) return;
  const Result& result = results_[r];
  if (descPrintType_ == 0) {
    int k = 0;
    for (const char* line : result.lines)
      text->Print(messageX_, messageY_ + k++ * messageNextY_, line, fontSize_, colorR_, colorG_,
                  colorB_, sukima_);
    return;
  }
  const printresult::Scroll s =
      printresult::ScrollAt(scrollCounter_, scrollStartWait_, scrollSpeed_, fontSize_);
  const char* from = result.text.c_str() + printresult::SkipChars(result.text.c_str(), s.dropped);
  std::string shown(static_cast<size_t>(messageLength_) * 2 + 1, '\0');
  setup::CopyCp932Cut(shown.data(), from, messageLength_ * 2);
  const int left = messageX_ - fontSize_ - sukima_;
  const int right = messageX_ + (fontSize_ - sukima_) * (messageLength_ + 1);
  text->PrintSoftClip(left, right, messageX_ - s.offset, messageY_, shown.c_str(), fontSize_,
                      colorR_, colorG_, colorB_, sukima_);
}

int CCommonPrintResult::Print() {
  PrintBackScreen();
  if (CPicture* plate = Plate(page_)) {
    for (int c = 0; c < PerPage(); ++c) {
      const int64_t r = int64_t{page_} * PerPage() + c;
      if (r >= GetResultCount() || !Drawn(static_cast<int>(r))) continue;
      const printresult::Cell cell = printresult::CellOf(c, numberX_, numberY_);
      const int64_t sx = int64_t{cell.column} * sizeX_, sy = int64_t{cell.row} * sizeY_;
      const int64_t x = printX_ + int64_t{cell.column} * nextX_, y = printY_ + int64_t{cell.row} * nextY_;
      if (sx + sizeX_ > plate->GetWidth() || sy + sizeY_ > plate->GetHeight()) continue;
      // Cells far off the screen are left out.
      if (x < -kMaxCoordinate || x > kMaxCoordinate || y < -kMaxCoordinate || y > kMaxCoordinate)
        continue;
      plate->Blt(static_cast<int>(x), static_cast<int>(y), static_cast<int>(sx), static_cast<int>(sy),
                 sizeX_, sizeY_, 1);
    }
  }
  const bool announcing = Valid(announced_);
  if (!announcing && Valid(hovered_)) PrintDescription(hovered_);
  if (announcing && dialogFlag_ && workPicture_ && workPicture_->IsLoaded())
    workPicture_->Blt(dialogX_, dialogY_, 0, 0, std::min(dialogSizeX_, workPicture_->GetWidth()),
                      std::min(dialogSizeY_, workPicture_->GetHeight()), 1);
  if (pagePrint_) pagePrint_->Print(page_ + 1, pages_);
  if (announcing) {
    if (okButton_) okButton_->Print();
  } else if (pages_ > 1 && updownBack_) {
    updownBack_->Print();
  } else if (backButton_) {
    backButton_->Print();
  }
  return -1;
}

void CCommonPrintResult::AtExit() {
  if (game_) game_.sound->StopAllSound();
}
