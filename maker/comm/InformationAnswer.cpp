#include "maker/comm/InformationAnswer.h"

namespace qk::comm {

InformationAnswer::Step InformationAnswer::Take(uint8_t byte) {
    if (!header_) {
        if (byte != 0x5F)
            return Step::Bad;
        header_ = true;
        return Step::More;
    }
    if (byte == 0x00)
        return Step::Done;
    if (byte < 0x20 || text_.size() >= kMaxText)
        return Step::Bad;
    text_ += static_cast<char>(byte);
    return Step::More;
}

} // namespace qk::comm
