#include "app/connection/ModelName.h"

namespace qk::app {
namespace {

struct ModelParts {
    char16_t series = 0;
    long number = -1; // -1: no digits
    std::u16string suffix;
    int generation = 0;
    std::u16string rest;    // everything after the generation
    char16_t following = 0; // the character right after the generation, 0 at the end
};

int RomanValue(char16_t c) {
    switch (c) {
    case u'I':
    case u'i':
        return 1;
    case u'V':
    case u'v':
        return 5;
    case u'X':
    case u'x':
        return 10;
    default:
        return 0;
    }
}

char16_t Upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

// Reads a run of I, V and X: each group of equal letters counts value x length; a group
// larger than the one before subtracts twice the earlier group; reading stops at any other
// letter, or when a larger group follows a group of more than one letter.
int ReadGeneration(const std::u16string& s, std::size_t& pos) {
    int total = 0;
    int previousGroup = 0;
    std::size_t previousLength = 0;
    while (pos < s.size() && RomanValue(s[pos])) {
        char16_t letter = Upper(s[pos]);
        std::size_t end = pos;
        while (end < s.size() && Upper(s[end]) == letter)
            ++end;
        int group = RomanValue(letter) * static_cast<int>(end - pos);
        if (previousGroup && group > previousGroup) {
            if (previousLength > 1)
                break;
            total += group - 2 * previousGroup;
        } else {
            total += group;
        }
        previousGroup = group;
        previousLength = end - pos;
        pos = end;
    }
    return total;
}

bool Parse(const std::u16string& name, ModelParts& parts) {
    std::size_t at = name.find(u"QK-");
    if (at == std::u16string::npos)
        return false;
    std::size_t pos = at + 3;
    if (pos < name.size())
        parts.series = name[pos++];
    if (pos < name.size() && name[pos] >= u'0' && name[pos] <= u'9') {
        parts.number = 0;
        while (pos < name.size() && name[pos] >= u'0' && name[pos] <= u'9') {
            if (parts.number < 100000000)
                parts.number = parts.number * 10 + (name[pos] - u'0');
            ++pos;
        }
    }
    while (pos < name.size() && name[pos] != u' ' && name[pos] != u'I' && name[pos] != u'V' &&
           name[pos] != u'X')
        parts.suffix += name[pos++];
    parts.generation = ReadGeneration(name, pos);
    parts.following = pos < name.size() ? name[pos] : 0;
    parts.rest = name.substr(pos);
    return true;
}

} // namespace

bool MatchModelName(const std::u16string& reported, const std::u16string& served) {
    ModelParts mine, theirs;
    if (!Parse(served, mine) || !Parse(reported, theirs))
        return false;
    if (mine.series != theirs.series)
        return false;
    // The J series names one model by two numbers a hundred apart.
    if (mine.series == u'J' && mine.number >= 0 && theirs.number >= 0 &&
        (mine.number - theirs.number == 100 || theirs.number - mine.number == 100))
        return true;
    if (mine.number != theirs.number)
        return false;
    if (mine.suffix != theirs.suffix)
        return false;
    if (mine.generation > theirs.generation)
        return mine.rest.find(u"Series") != std::u16string::npos ||
               theirs.rest.find(u"Series") != std::u16string::npos;
    if (mine.following == u'-')
        return theirs.following == u'-';
    return theirs.following != u'-';
}

} // namespace qk::app
