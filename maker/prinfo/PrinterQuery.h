// One context of the printer information library: asks the printer through the communication
// library's QKC_Write and QKC_Read and keeps the answers it hands out.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include "framework/comm/PrinfoLibApi.h"

namespace qk::prinfo {

class PrinterQuery {
public:
    explicit PrinterQuery(const comm::QkcBinding* binding) : binding_(binding) {}

    // 1D 49 n information form: 5F, OEM text, 00. False on silence or a malformed answer.
    bool AskText(uint8_t n, std::string& text);
    // 1D 49 n one-byte ID. False when nothing came.
    bool AskByte(uint8_t n, uint8_t& value);

    // The five information strings; bit i of mask asks for string i.
    bool ReadInformation(int32_t mask, comm::PrinterInformation& info);
    const std::string& String(int index) const { return strings_[index]; }

    void SetCallback(comm::PrinfoCallback proc, void* user);

private:
    bool Exchange(uint8_t n, std::string& answer, bool text);
    void Notify(bool answered);

    const comm::QkcBinding* binding_; // owned by the caller
    std::mutex mutex_;
    std::string strings_[5];
    comm::PrinfoCallback callback_ = nullptr;
    void* callbackUser_ = nullptr;
};

// The information form that gives information string i.
uint8_t InformationForm(int index);

} // namespace qk::prinfo
