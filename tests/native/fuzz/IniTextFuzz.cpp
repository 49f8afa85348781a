// The stand-ins' INI reader: what it writes reads back as the same sections and entries, and
// writing that again gives the same text.
#include "maker/common/IniText.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::ini::IniText;

namespace {

using Sections =
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

Sections Contents(const IniText& ini) {
    Sections out;
    for (const std::string& name : ini.Sections())
        out.emplace_back(name, ini.Entries(name));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    IniText first;
    first.Parse(std::string(reinterpret_cast<const char*>(data), size));
    const std::string text = first.Serialize();

    IniText second;
    second.Parse(text);
    QK_FUZZ_CHECK(Contents(second) == Contents(first));
    QK_FUZZ_CHECK(second.Serialize() == text);

    // Every entry is found again by its names.
    for (const auto& [section, entries] : Contents(first))
        for (const auto& entry : entries)
            QK_FUZZ_CHECK(first.Has(section, entry.first));
    return 0;
}
