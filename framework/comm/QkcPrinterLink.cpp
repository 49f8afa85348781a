#include "framework/comm/QkcPrinterLink.h"

namespace qk::comm {

bool CQkcPrinterLink::Send(const Bytes& bytes) {
    if (!IsBound(m_binding))
        return false;
    int32_t written = 0;
    return m_binding->QKC_Write(bytes.data(), static_cast<int32_t>(bytes.size()), &written,
                                m_writeWaitMs) == 0 &&
           written == static_cast<int32_t>(bytes.size());
}

bool CQkcPrinterLink::Receive(uint8_t& byte, int32_t timeoutMs) {
    if (!IsBound(m_binding))
        return false;
    int32_t got = 0;
    return m_binding->QKC_Read(&byte, 1, &got, timeoutMs) == 0 && got == 1;
}

void CQkcPrinterLink::DiscardAnswers() {
    if (IsBound(m_binding))
        m_binding->QKC_Purge();
}

} // namespace qk::comm
