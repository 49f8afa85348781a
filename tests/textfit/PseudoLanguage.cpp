#include "tests/textfit/PseudoLanguage.h"

#include <iterator>

namespace qk::test {
namespace {

// Accented stand-ins of the ASCII letters, capitals first; letters without a common accented
// form keep their shape with a stroke or hook so that every letter looks translated.
constexpr char16_t kUpper[] = u"ÀƁÇĎÉƑĜĤÎĴĶĹḾÑÖṔǪŔŠŤÜṼŴẊÝŽ";
constexpr char16_t kLower[] = u"àƀçďéƒĝĥîĵķĺḿñöṕǫŕšťüṽŵẋýž";
static_assert(std::size(kUpper) == 27 && std::size(kLower) == 27, "one stand-in per letter");
// What the lengthening adds, cycled.
constexpr std::u16string_view kFiller = u"ëåïøûçñ";

bool IsLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

char16_t Accented(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return kUpper[c - u'A'];
    if (c >= u'a' && c <= u'z')
        return kLower[c - u'a'];
    return c;
}

// Length of an escape or placeholder at `pos` that must survive whole (0: none).
size_t KeptSequence(std::u16string_view text, size_t pos) {
    if (pos + 1 >= text.size())
        return 0;
    const char16_t next = text[pos + 1];
    if (text[pos] == u'\\' && (next == u'n' || next == u't'))
        return 2;
    if (text[pos] == u'%') {
        if (next == u'%' || next == u's' || next == u'd')
            return 2;
        if (next == u'l' && pos + 2 < text.size() && text[pos + 2] == u's')
            return 3;
    }
    return 0;
}

} // namespace

std::u16string PseudoText(std::u16string_view text) {
    bool anyLetter = false;
    for (char16_t c : text)
        anyLetter = anyLetter || IsLetter(c);
    if (!anyLetter || text.front() == u']')
        return std::u16string(text);

    std::u16string out;
    size_t shown = 0;
    for (size_t pos = 0; pos < text.size();) {
        if (size_t kept = KeptSequence(text, pos)) {
            out.append(text.substr(pos, kept));
            pos += kept;
            ++shown;
            continue;
        }
        out += Accented(text[pos]);
        ++pos;
        ++shown;
    }
    // A third more, rounded up, after a space so that wrapping can still break there.
    out += u' ';
    for (size_t i = 0; i < (shown + 2) / 3; ++i)
        out += kFiller[i % kFiller.size()];
    return out;
}

std::u16string PseudoLine(std::u16string_view line) {
    const size_t equals = line.find(u'=');
    if (line.empty() || line.front() == u'[' || equals == std::u16string_view::npos ||
        equals + 1 == line.size())
        return std::u16string(line);
    const std::u16string_view value = line.substr(equals + 1);
    const size_t parts = value.find(u"||");
    const std::u16string_view text = value.substr(0, parts);
    std::u16string out(line.substr(0, equals + 1));
    out += text.empty() ? std::u16string() : PseudoText(text);
    if (parts != std::u16string_view::npos)
        out.append(value.substr(parts));
    return out;
}

std::u16string PseudoFile(std::u16string_view text) {
    std::u16string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        out += PseudoLine(line);
        out += u"\r\n";
        start = end + 1;
    }
    return out;
}

} // namespace qk::test
