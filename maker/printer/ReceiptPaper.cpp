#include "maker/printer/ReceiptPaper.h"

#include <algorithm>
#include "maker/printer/ReceiptText.h"

namespace qk::sim {
namespace {
// Customized values: the paper width (2: 58 mm), the code table and the character set.
constexpr int kPaperWidthValue = 3, kCodeTableValue = 8, kCharacterSetValue = 9;
} // namespace

int ReceiptPaper::Columns() const {
    return memory_.HeldCustomValue(kPaperWidthValue) == 2 ? 32 : 48;
}

void ReceiptPaper::Print(uint8_t byte) {
    if (byte == '\n') {
        FeedLines(1);
        return;
    }
    if (byte < 0x20 || byte == 0x7F)
        return;
    if (used_ + width_ > Columns())
        EndLine(true);
    const uint16_t table = codeTable_ ? *codeTable_ : memory_.HeldCustomValue(kCodeTableValue);
    const uint16_t set = charSet_ ? *charSet_ : memory_.HeldCustomValue(kCharacterSetValue);
    line_ += CharacterText(byte, table, set);
    used_ += width_;
    lineHeight_ = std::max(lineHeight_, height_);
    inked_ = inked_ || byte != ' ';
}

void ReceiptPaper::FeedLines(int lines) {
    if (lines <= 0)
        return;
    EndLine(true);
    for (int i = 1; i < lines; ++i)
        EndLine(true);
}

void ReceiptPaper::EndLine(bool feeds) {
    state_.Receipts().AddLine(line_);
    if (inked_)
        state_.Counters().AddHeadEnergised(static_cast<uint64_t>(kFontHeightDots) * lineHeight_);
    if (feeds)
        state_.Counters().AddPaperFed(1);
    line_.clear();
    used_ = 0;
    inked_ = false;
    lineHeight_ = height_;
}

void ReceiptPaper::Initialize() {
    codeTable_.reset();
    charSet_.reset();
    width_ = height_ = lineHeight_ = 1;
    barCodeHeight_ = kDefaultBarCodeHeight;
}

void ReceiptPaper::SetCharacterSize(uint8_t n) {
    width_ = ((n >> 4) & 7) + 1;
    height_ = (n & 7) + 1;
}

void ReceiptPaper::PrintPicture(const std::string& text, int dots) {
    if (!line_.empty())
        EndLine(true);
    state_.Receipts().AddLine(text);
    state_.Counters().AddHeadEnergised(static_cast<uint64_t>(dots));
    state_.Counters().AddPaperFed(
        static_cast<uint64_t>((dots + kFontHeightDots - 1) / kFontHeightDots));
}

void ReceiptPaper::PrintBarCode(const std::string& system, const std::string& data) {
    PrintPicture("[bar code " + system + " " + data + "]", barCodeHeight_);
}

void ReceiptPaper::PrintGraphic(uint8_t kc1, uint8_t kc2) {
    const auto graphic = memory_.Graphics(kc1, kc2);
    if (!graphic)
        return;
    std::string name{static_cast<char>(kc1), static_cast<char>(kc2)};
    PrintPicture("[graphic " + name + " " + std::to_string(graphic->width) + "x" +
                     std::to_string(graphic->height) + "]",
                 graphic->height);
}

void ReceiptPaper::Cut() {
    if (!line_.empty())
        EndLine(true);
    state_.Counters().AddCut();
    state_.Receipts().AddCut();
}

} // namespace qk::sim
