#include "maker/printer/ReceiptText.h"

#include <cstdio>
#include <cstring>

namespace qk::sim {
namespace {

// Per character set, the UTF-8 text of each of the twelve positions ("" keeps ASCII).
struct CharacterSet {
    const char* replaced[12];
};
const CharacterSet kCharacterSets[] = {
    {{"", "", "", "", "", "", "", "", "", "", "", ""}},            // USA
    {{"", "", "à", "°", "ç", "§", "", "", "é", "ù", "è", "¨"}},    // France
    {{"", "", "§", "Ä", "Ö", "Ü", "", "", "ä", "ö", "ü", "ß"}},    // Germany
    {{"£", "", "", "", "", "", "", "", "", "", "", ""}},           // United Kingdom
    {{"", "", "", "Æ", "Ø", "Å", "", "", "æ", "ø", "å", ""}},      // Denmark I
    {{"", "¤", "É", "Ä", "Ö", "Å", "Ü", "é", "ä", "ö", "å", "ü"}}, // Sweden
    {{"", "", "", "°", "", "é", "", "ù", "à", "ò", "è", "ì"}},     // Italy
    {{"₧", "", "", "¡", "Ñ", "¿", "", "", "¨", "ñ", "", ""}},      // Spain I
    {{"", "", "", "", "¥", "", "", "", "", "", "", ""}},           // Japan
    {{"", "¤", "É", "Æ", "Ø", "Å", "Ü", "é", "æ", "ø", "å", "ü"}}, // Norway
    {{"", "", "É", "Æ", "Ø", "Å", "Ü", "é", "æ", "ø", "å", "ü"}},  // Denmark II
    {{"", "", "á", "¡", "Ñ", "¿", "é", "", "í", "ñ", "ó", "ú"}},   // Spain II
    {{"", "", "á", "¡", "Ñ", "¿", "é", "ü", "í", "ñ", "ó", "ú"}},  // Latin America
    {{"", "", "", "", "₩", "", "", "", "", "", "", ""}},           // Korea
    {{"", "", "Ž", "Š", "Đ", "Ć", "Č", "ž", "š", "đ", "ć", "č"}},  // Slovenia/Croatia
    {{"", "¥", "", "", "", "", "", "", "", "", "", ""}},           // China
};

HighByteRenderer g_renderer = nullptr;

std::string HexForm(uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "<%02X>", byte);
    return text;
}

} // namespace

void SetHighByteRenderer(HighByteRenderer renderer) {
    g_renderer = renderer;
}

std::string CharacterText(uint8_t byte, uint16_t codeTable, uint16_t charSet) {
    if (byte >= 0x80) {
        std::string text = g_renderer ? g_renderer(codeTable, byte) : std::string();
        return text.empty() ? HexForm(byte) : text;
    }
    const char* at = byte ? std::strchr(kReplacedPositions, static_cast<char>(byte)) : nullptr;
    if (at && charSet < std::size(kCharacterSets)) {
        const char* replaced = kCharacterSets[charSet].replaced[at - kReplacedPositions];
        if (*replaced)
            return replaced;
    }
    return std::string(1, static_cast<char>(byte));
}

} // namespace qk::sim
