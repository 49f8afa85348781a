// The relaxed model-name comparison: a name that names a model matches itself, text before
// the model's name does not matter, a later generation matches an earlier one (an earlier
// one only a series), and series and number must agree (the J series' two numbers a hundred
// apart name one model).
#include "app/connection/ModelName.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::app::MatchModelName;

namespace {

const char16_t* const kGenerations[] = {u"", u"I", u"II", u"III"};

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
    const int servedGeneration = in.Byte() % 4, reportedGeneration = in.Byte() % 4;
    const bool series_ = in.Byte() & 1;
    const std::u16string tail = series_ ? u" Series" : (in.Byte() & 1 ? u" printer" : u"");
    const std::u16string model = u"QK-" + std::u16string(1, series) + Number(number) + suffix;
    const std::u16string served = model + kGenerations[servedGeneration];
    const std::u16string reported = u"<> " + model + kGenerations[reportedGeneration] + tail;

    QK_FUZZ_CHECK(MatchModelName(reported, served) ==
                  (reportedGeneration >= servedGeneration || series_));

    const char16_t otherSeries = SuffixLetter(static_cast<uint8_t>(in.Byte() | 1));
    if (otherSeries != series)
        QK_FUZZ_CHECK(!MatchModelName(u"QK-" + std::u16string(1, otherSeries) + Number(number) +
                                          suffix + kGenerations[servedGeneration],
                                      served));
    const uint32_t otherNumber = in.U32() % 1000;
    const bool hundredApart = otherNumber + 100 == number || number + 100 == otherNumber;
    const std::u16string renumbered = u"QK-" + std::u16string(1, series) + Number(otherNumber) +
                                      suffix + kGenerations[servedGeneration];
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
