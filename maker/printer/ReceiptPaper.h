// The paper of one connection: print data and the print commands laid out in lines as the
// printer prints them, wrapped at the paper's printable width (48 characters of font A on
// 80 mm paper, 32 on 58 mm), with the code table and international character set in force.
// Every printed line goes to the printer's receipt log as text, and the maintenance counters
// count the paper fed, the dot lines printed and the cuts. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include "maker/printer/PrinterState.h"
#include "maker/printer/SetupMemory.h"

namespace qk::sim {

// Font A: 12 x 24 dots.
inline constexpr int kFontHeightDots = 24;
inline constexpr int kDefaultBarCodeHeight = 162;

class ReceiptPaper {
public:
    ReceiptPaper(PrinterState& state, SetupMemory& memory) : state_(state), memory_(memory) {}

    // One byte of print data: LF ends the line, characters are printed, other controls are not.
    void Print(uint8_t byte);
    // Prints the line and feeds `lines` lines in all (ESC d n; LF is one).
    void FeedLines(int lines);
    // ESC @: the code table and character set the printer holds, normal size.
    void Initialize();
    void SetCodeTable(uint8_t table) { codeTable_ = table; }
    void SetCharacterSet(uint8_t set) { charSet_ = set; }
    // GS ! n: width (high nibble) and height (low nibble) multipliers less one.
    void SetCharacterSize(uint8_t n);
    void SetBarCodeHeight(uint8_t dots) { barCodeHeight_ = dots ? dots : 1; }
    void PrintBarCode(const std::string& system, const std::string& data);
    // A stored graphic (GS ( L fn 69); one the printer does not hold prints nothing.
    void PrintGraphic(uint8_t kc1, uint8_t kc2);
    // Prints what is pending, then cuts.
    void Cut();

    // Characters of font A across the printable width.
    int Columns() const;

private:
    // Prints the current line; a wrapped line feeds one line of paper.
    void EndLine(bool feeds);
    // A line that is not text (bar code, graphic) of `dots` dot lines.
    void PrintPicture(const std::string& text, int dots);

    PrinterState& state_;
    SetupMemory& memory_;
    std::string line_;
    int used_ = 0; // columns taken on the line
    bool inked_ = false;
    std::optional<uint16_t> codeTable_;
    std::optional<uint16_t> charSet_;
    int width_ = 1, height_ = 1;
    int lineHeight_ = 1; // the tallest character on the line
    int barCodeHeight_ = kDefaultBarCodeHeight;
};

} // namespace qk::sim
