// The printer link over the communication library's binding record (QKC_Write, QKC_Read,
// QKC_Purge) of the port the utility has open. Portable.
#pragma once
#include "framework/comm/QkcBinding.h"
#include "framework/comm/PrinterLink.h"

namespace qk::comm {

class CQkcPrinterLink final : public IPrinterLink {
public:
    // binding: not owned; an unbound record sends and receives nothing.
    CQkcPrinterLink(const QkcBinding* binding, int32_t writeWaitMs)
        : m_binding(binding), m_writeWaitMs(writeWaitMs) {}

    bool Send(const Bytes& bytes) override;
    bool Receive(uint8_t& byte, int32_t timeoutMs) override;
    void DiscardAnswers() override;

private:
    const QkcBinding* m_binding;
    int32_t m_writeWaitMs;
};

} // namespace qk::comm
