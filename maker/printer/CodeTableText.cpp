#include "maker/printer/CodeTableText.h"

#include <windows.h>

namespace qk::sim {
namespace {

// The platform's code page of each code table the printer has; 0 none.
UINT CodePageOf(uint16_t codeTable) {
    switch (codeTable) {
    case 0:
        return 437;
    case 2:
        return 850;
    case 3:
        return 860;
    case 4:
        return 863;
    case 5:
        return 865;
    case 16:
        return 1252;
    case 17:
        return 866;
    case 18:
        return 852;
    case 19:
        return 858;
    default:
        return 0;
    }
}

std::string Utf8(const wchar_t* text, int length) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace

std::string CodeTableCharacter(uint16_t codeTable, uint8_t byte) {
    if (codeTable == 1) {
        // Katakana: the half-width forms at A1..DF, as the Japanese code page has them.
        if (byte < 0xA1 || byte > 0xDF)
            return {};
        const wchar_t kana = static_cast<wchar_t>(0xFF61 + (byte - 0xA1));
        return Utf8(&kana, 1);
    }
    const UINT page = CodePageOf(codeTable);
    wchar_t wide[2] = {};
    const char narrow = static_cast<char>(byte);
    if (!page || ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &narrow, 1, wide, 2) != 1)
        return {};
    return Utf8(wide, 1);
}

} // namespace qk::sim
