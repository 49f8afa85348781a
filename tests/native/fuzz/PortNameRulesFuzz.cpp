// The port name rules of the emulator's port plumbing: a USB path's serial is the text
// between its second and last '#' however the rest reads, the TCP and pipe rules ignore ASCII
// case, an rsdprt name keeps the path's case and fits its slot, a port's kind needs its
// driver among the targets, and decimal texts read back as versions.
#include "framework/lang/FilledText.h"
#include "framework/system/PortNameRules.h"
#include "tests/native/fuzz/FuzzSupport.h"

using namespace qk::sys;
using qk::Decimal;

namespace {

std::u16string Part(qk::fuzz::Input& in) {
    std::u16string part = in.Text(0);
    for (char16_t& c : part)
        if (c == u'#')
            c = u'_';
    return part;
}

std::u16string AsciiUpper(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    const std::u16string head = Part(in), vendor = Part(in), serial = Part(in), tail = Part(in);
    const std::u16string usb = head + u"#" + vendor + u"#" + serial + u"#" + tail;
    QK_FUZZ_CHECK(ExtractUsbSerial(usb, u"USB", u"001") == serial);
    QK_FUZZ_CHECK(ExtractUsbSerial(head + u"#" + vendor, u"USB", u"001") == u"USB001");

    const std::u16string path = in.Text(0);
    const std::u16string lower = AsciiLower(path);
    QK_FUZZ_CHECK(lower.size() == path.size() && AsciiLower(lower) == lower);
    QK_FUZZ_CHECK(IsTcpDevicePath(path) == IsTcpDevicePath(AsciiUpper(path)));
    QK_FUZZ_CHECK(IsTcpDevicePath(u"TCP://" + head.substr(0, 100)));
    std::u16string name = u"#", upperName = u"#"; // untouched when the pipe names none
    const bool piped = ExtractRsdprtName(path, name);
    QK_FUZZ_CHECK(ExtractRsdprtName(AsciiUpper(path), upperName) == piped);
    QK_FUZZ_CHECK(name.size() <= kRsdprtNameChars && AsciiUpper(name) == upperName);
    if (piped && name != u"#")
        QK_FUZZ_CHECK(path.find(name) != std::u16string::npos);
    if (!piped)
        QK_FUZZ_CHECK(name == path.substr(0, kRsdprtNameChars));
    const std::u16string rsdprt = u"RSDPRT" + Part(in).substr(0, 10);
    std::u16string found;
    QK_FUZZ_CHECK(ExtractRsdprtName(u"pipe://qk/" + rsdprt + u"/x", found));
    QK_FUZZ_CHECK(found == rsdprt.substr(0, rsdprt.find_first_of(u"\"/")));

    const std::vector<std::u16string> targets{Part(in), Part(in)};
    for (const std::u16string& port : {u"COM" + tail, u"lpt" + tail, tail}) {
        const bool kind = IsComOrLptName(port);
        const bool serialPort = kind && AsciiLower(port.substr(0, 3)) == u"com";
        bool driver = false;
        for (const std::u16string& target : targets)
            driver =
                driver || target.find(serialPort ? u"Serial" : u"Parallel") != std::u16string::npos;
        QK_FUZZ_CHECK(IsRealPortTarget(port, targets) == (kind && driver));
    }

    const long long number = static_cast<long long>(in.U32() % 100000000);
    QK_FUZZ_CHECK(LeadingVersion(u"  " + Decimal(number) + u"." + tail) == number);
    QK_FUZZ_CHECK(Decimal(-number) == (number ? u"-" : u"") + Decimal(number));
    return 0;
}
