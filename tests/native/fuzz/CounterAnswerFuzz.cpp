// A maintenance counter's answer read byte by byte: it ends at its NUL or at its first wrong
// byte, and a value it has is exactly the decimal digits between its header and its NUL.
#include <string>
#include "plugins/printerinfo/MaintenanceCommands.h"
#include "tests/native/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::printerinfo::CounterAnswer answer;
    std::size_t used = 0;
    bool done = false;
    while (used < size && !done)
        done = answer.Add(data[used++]);
    const auto value = answer.Value();
    if (!done) {
        QK_FUZZ_CHECK(!value);
        return 0;
    }
    // More bytes change nothing once it ended.
    for (std::size_t i = used; i < size; ++i)
        QK_FUZZ_CHECK(answer.Add(data[i]));
    QK_FUZZ_CHECK(answer.Value() == value);
    if (!value)
        return 0;
    QK_FUZZ_CHECK(used >= 3 && data[0] == 0x5F && data[used - 1] == 0x00);
    const std::string digits(reinterpret_cast<const char*>(data) + 1, used - 2);
    QK_FUZZ_CHECK(digits.size() <= qk::printerinfo::CounterAnswer::kMaxDigits);
    QK_FUZZ_CHECK(digits.find_first_not_of("0123456789") == std::string::npos);
    QK_FUZZ_CHECK(std::stoull(digits) == *value);
    return 0;
}
