#include "plugins/printerinfo/TestReceipt.h"

#include "plugins/paper/PaperChoices.h"

namespace qk::printerinfo {
namespace {

using comm::Bytes;
constexpr uint8_t ESC = 0x1B, GS = 0x1D, LF = 0x0A;
// Customized values on the receipt.
constexpr uint8_t kPaperWidth = 3, kDensity = 5, kSpeed = 6, kCodeTable = 8, kCharSet = 9;

// Printer text is ASCII here: anything else would print as another code table's character.
std::string Ascii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return out;
}

// The English name of the value, as the paper page names it.
std::string ValueName(uint8_t number, uint16_t value) {
    if (const paper::ShownSetting* shown = paper::FindShown(number))
        for (const paper::Choice& choice : shown->choices)
            if (choice.value == value)
                return Ascii(choice.english);
    return "Other value (" + std::to_string(value) + ")";
}

class ReceiptWriter {
public:
    void Command(std::initializer_list<uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes); }
    void Line(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(LF);
    }
    void Item(const char* label, const std::string& value) {
        Line(std::string(label) + ": " + value);
    }
    void Raw(const Bytes& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    Bytes Take() { return std::move(bytes_); }

private:
    Bytes bytes_;
};

void CodeTableLines(ReceiptWriter& out, int columns) {
    // Every character above 0x80, a full line at a time.
    Bytes row;
    for (int c = 0x80; c <= 0xFF; ++c) {
        row.push_back(static_cast<uint8_t>(c));
        if (static_cast<int>(row.size()) == columns || c == 0xFF) {
            row.push_back(LF);
            out.Raw(row);
            row.clear();
        }
    }
}

void CharacterSetLine(ReceiptWriter& out) {
    // The twelve characters an international character set replaces.
    const std::string replaced = "#$@[\\]^`{|}~";
    std::string line;
    for (char c : replaced) {
        if (!line.empty())
            line += ' ';
        line += c;
    }
    out.Line(line);
}

void BarCode(ReceiptWriter& out) {
    const std::string data = std::string("{B") + kReceiptBarCode;
    out.Command(
        {ESC, 'a', 1, GS, 'h', 80, GS, 'H', 2, GS, 'k', 73, static_cast<uint8_t>(data.size())});
    out.Raw(Bytes(data.begin(), data.end()));
    out.Command({LF, ESC, 'a', 0});
}

} // namespace

int ReceiptColumns(uint16_t paperWidth) {
    return paperWidth == 2 ? 32 : 48;
}

Bytes TestReceipt(const ReceiptFacts& facts) {
    const int columns = ReceiptColumns(facts.paperWidth);
    ReceiptWriter out;
    out.Command({ESC, '@', ESC, 'a', 1, GS, '!', 0x11});
    out.Line("TEST PRINT");
    out.Command({GS, '!', 0x00, ESC, 'a', 0});
    out.Item("Model", Ascii(facts.model));
    out.Item("Firmware", Ascii(facts.firmware));
    out.Item("Serial number", Ascii(facts.serial));
    out.Item("Paper width", ValueName(kPaperWidth, facts.paperWidth) + " (" +
                                std::to_string(columns) + " columns)");
    // The rule shows the printable width: it must reach both edges and not wrap.
    out.Line(std::string(static_cast<std::size_t>(columns), '-'));
    out.Item("Print density", ValueName(kDensity, facts.density));
    out.Item("Print speed", ValueName(kSpeed, facts.speed));
    out.Item("Code table", ValueName(kCodeTable, facts.codeTable));
    CodeTableLines(out, columns);
    out.Item("Character set", ValueName(kCharSet, facts.charSet));
    CharacterSetLine(out);
    if (facts.logoKeyCode1 || facts.logoKeyCode2) {
        out.Item("Top logo", std::string{static_cast<char>(facts.logoKeyCode1),
                                         static_cast<char>(facts.logoKeyCode2)});
        out.Command({GS, '(', 'L', 6, 0, 0x30, 0x45, facts.logoKeyCode1, facts.logoKeyCode2, 1, 1});
    }
    BarCode(out);
    out.Item("Date", Ascii(facts.date));
    // Feed the last line past the cutter, then cut.
    out.Command({GS, 'V', 66, 3});
    return out.Take();
}

} // namespace qk::printerinfo
