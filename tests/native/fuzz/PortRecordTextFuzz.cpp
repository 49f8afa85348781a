// The text rules of port records: a slot keeps what fits and never more, a device path is its
// folder and its leaf, and a language text's placeholder takes the argument as it stands.
#include <string>
#include "app/connection/PortRecordText.h"
#include "framework/comm/PortRecord.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::app;

namespace {

std::u16string Ascii(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    const std::u16string text = in.Text(0xFF);
    const std::u16string argument = in.Text(0xFF);

    // A slot with guard characters on both sides: nothing is written outside it.
    constexpr std::size_t kPortTextChars = qk::comm::kPortTextChars;
    char16_t area[kPortTextChars + 2];
    std::fill(std::begin(area), std::end(area), u'#');
    SetSlotText(area + 1, text);
    QK_FUZZ_CHECK(area[0] == u'#' && area[kPortTextChars + 1] == u'#');
    QK_FUZZ_CHECK(area[kPortTextChars] == u'\0');
    const std::u16string kept = text.substr(0, std::min(text.find(u'\0'), kPortTextChars - 1));
    QK_FUZZ_CHECK(SlotText(area + 1) == kept);
    // An unterminated slot is read up to its end only.
    std::fill(area + 1, area + 1 + kPortTextChars, u'x');
    QK_FUZZ_CHECK(SlotText(area + 1).size() <= kPortTextChars);

    QK_FUZZ_CHECK(DevicePathFolder(text) + DevicePathLeaf(text) == text);
    const std::u16string folder = DevicePathFolder(text);
    QK_FUZZ_CHECK(folder.empty() || folder.back() == u'/');
    QK_FUZZ_CHECK(DevicePathLeaf(text).find(u'/') == std::u16string::npos);

    // The argument is inserted as it stands, never read as a format itself.
    const std::u16string filled = FillPlaceholder(text, argument);
    if (text.find(u'%') == std::u16string::npos)
        QK_FUZZ_CHECK(filled == text);
    if (text.find(u"%s") != std::u16string::npos && text.find(u'%') == text.find(u"%s"))
        QK_FUZZ_CHECK(filled.find(argument) != std::u16string::npos);

    const int32_t number = static_cast<int32_t>(in.U32() & 0x7FFFFFFF);
    QK_FUZZ_CHECK(PortMonitorNumber(u"RSDPRT" + Ascii(std::to_string(number))) == number);
    const std::u16string port = PortMonitorPort(text);
    QK_FUZZ_CHECK(port.find(u'/') == std::u16string::npos &&
                  port.find(u'"') == std::u16string::npos);

    const int32_t kind = InterfaceKindOf(text);
    QK_FUZZ_CHECK(kind >= 0 && kind <= 5);
    return 0;
}
