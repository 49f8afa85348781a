// The settings the page shows, each a choice list with names: the customized value it sets,
// its combo box and label, and the English names of its values (the language file gives the
// names in the chosen language, with the values as item data). Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include "resource.h"

namespace qk::paper {

struct Choice {
    uint16_t value;
    const char16_t* english;
};

struct ShownSetting {
    uint8_t number; // customized value
    int comboId;    // its choice list
    int nameIndex;  // screen string with its name (for reports)
    const char16_t* englishName;
    std::span<const Choice> choices;
};

inline constexpr Choice kPaperWidths[] = {{2, u"58 mm"}, {6, u"80 mm"}};
// Density steps below standard are kept as their 16-bit patterns.
inline constexpr Choice kDensities[] = {
    {65534, u"Lightest"}, {65535, u"Light"}, {0, u"Standard"}, {1, u"Dark"}, {2, u"Darkest"}};
inline constexpr Choice kSpeeds[] = {{1, u"Slow"}, {2, u"Medium"}, {3, u"Fast"}};
inline constexpr Choice kCodeTables[] = {{0, u"PC437 (USA, Standard Europe)"},
                                         {1, u"Katakana"},
                                         {2, u"PC850 (Multilingual)"},
                                         {3, u"PC860 (Portuguese)"},
                                         {4, u"PC863 (Canadian-French)"},
                                         {5, u"PC865 (Nordic)"},
                                         {16, u"WPC1252 (Latin 1)"},
                                         {17, u"PC866 (Cyrillic)"},
                                         {18, u"PC852 (Latin 2)"},
                                         {19, u"PC858 (Euro)"}};
inline constexpr Choice kCharacterSets[] = {{0, u"USA"},
                                            {1, u"France"},
                                            {2, u"Germany"},
                                            {3, u"United Kingdom"},
                                            {4, u"Denmark I"},
                                            {5, u"Sweden"},
                                            {6, u"Italy"},
                                            {7, u"Spain I"},
                                            {8, u"Japan"},
                                            {9, u"Norway"},
                                            {10, u"Denmark II"},
                                            {11, u"Spain II"},
                                            {12, u"Latin America"},
                                            {13, u"Korea"},
                                            {14, u"Slovenia/Croatia"},
                                            {15, u"China"}};

inline constexpr ShownSetting kShownSettings[] = {
    {3, IDC_PAPER_WIDTH, 0, u"Paper width", kPaperWidths},
    {5, IDC_PRINT_DENSITY, 1, u"Print density", kDensities},
    {6, IDC_PRINT_SPEED, 2, u"Print speed", kSpeeds},
    {8, IDC_CODE_TABLE, 3, u"Code table", kCodeTables},
    {9, IDC_CHARACTER_SET, 4, u"International character set", kCharacterSets},
};

// The shown setting of a customized value, or null (a value the page only carries).
inline const ShownSetting* FindShown(uint8_t number) {
    for (const ShownSetting& shown : kShownSettings)
        if (shown.number == number)
            return &shown;
    return nullptr;
}

} // namespace qk::paper
