// The relaxed model-name comparison: a name that names a model matches itself, text before
// the model's name does not matter, and the served model is matched as its own spellings are.
#include "app/connection/ModelName.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::app::MatchModelName;

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
    return 0;
}
