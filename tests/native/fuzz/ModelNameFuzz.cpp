// The relaxed model-name comparison: a name that names a model matches itself, text before
// the model's name does not matter, a later generation matches an earlier one (an earlier
// one only a series), and series and number must agree (the J series' two numbers a hundred
// apart name one model); a '-' after the reported generation where the served name has
// none does not match.
#include "app/connection/ModelName.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::app::MatchModelName;

namespace {

// Generations in Roman numerals and their values, subtracting ones among them.
struct Generation {
    const char16_t* numeral;
    int value;
};
const Generation kGenerations[] = {{u"", 0},   {u"I", 1},    {u"II", 2}, {u"III", 3},
                                   {u"IV", 4}, {u"V", 5},    {u"VI", 6}, {u"IX", 9},
                                   {u"X", 10}, {u"XIV", 14}, {u"XX", 20}};
constexpr std::size_t kGenerationCount = sizeof(kGenerations) / sizeof(kGenerations[0]);

// Letters of a suffix: none that starts a generation.
char16_t SuffixLetter(uint8_t b) {
    static const char16_t kLetters[] = u"ABCDEFGHJKLMNOPQRSTUWYZ";
    return kLetters[b % (sizeof(kLetters) / sizeof(kLetters[0]) - 1)];
}

std::u16string Number(uint32_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

void CheckRelaxedRules(qk::fuzz::Input& in) {
    const char16_t series = SuffixLetter(in.Byte());
    const uint32_t number = in.U32() % 1000;
    std::u16string suffix;
    for (std::size_t n = in.Byte() % 3; n > 0; --n)
        suffix += SuffixLetter(in.Byte());
    const Generation& servedGeneration = kGenerations[in.Byte() % kGenerationCount];
    const Generation& reportedGeneration = kGenerations[in.Byte() % kGenerationCount];
    // What follows the generation: "Series" lets an earlier generation match, a '-' after the
    // reported name's generation (where the served name has none) never does.
    const char16_t* const kTails[] = {u" Series", u" printer", u"", u"-B"};
    const std::u16string tail = kTails[in.Byte() % 4];
    const bool series_ = tail == u" Series";
    const std::u16string model = u"QK-" + std::u16string(1, series) + Number(number) + suffix;
    const std::u16string served = model + servedGeneration.numeral;
    const std::u16string reported = u"<> " + model + reportedGeneration.numeral + tail;

    const bool matches =
        servedGeneration.value > reportedGeneration.value ? series_ : tail[0] != u'-';
    QK_FUZZ_CHECK(MatchModelName(reported, served) == matches);

    const char16_t otherSeries = SuffixLetter(static_cast<uint8_t>(in.Byte() | 1));
    if (otherSeries != series)
        QK_FUZZ_CHECK(!MatchModelName(u"QK-" + std::u16string(1, otherSeries) + Number(number) +
                                          suffix + servedGeneration.numeral,
                                      served));
    const uint32_t otherNumber = in.U32() % 1000;
    const bool hundredApart = otherNumber + 100 == number || number + 100 == otherNumber;
    const std::u16string renumbered = u"QK-" + std::u16string(1, series) + Number(otherNumber) +
                                      suffix + servedGeneration.numeral;
    if (series == u'J' && hundredApart)
        QK_FUZZ_CHECK(MatchModelName(renumbered, served));
    else if (otherNumber != number)
        QK_FUZZ_CHECK(!MatchModelName(renumbered, served));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    const std::u16string reported = in.Text(0);
    const std::u16string served = in.Text(0);

    const bool named = reported.find(u"QK-") != std::u16string::npos;
    QK_FUZZ_CHECK(MatchModelName(reported, reported) == named);
    // A maker's prefix without the letters of the model's name changes nothing.
    QK_FUZZ_CHECK(MatchModelName(u"<> " + reported, served) == MatchModelName(reported, served));
    if (!named)
        QK_FUZZ_CHECK(!MatchModelName(reported, served) && !MatchModelName(served, reported));
    CheckRelaxedRules(in);
    return 0;
}
