// The communication library as the tests script it: one binding record whose entry points
// note each call by name and answer what the test set. The entry points are plain functions
// without a context, so they reach the fake made last that still lives (on any thread).
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>
#include "framework/comm/QkcBinding.h"

namespace qk::test {

class FakeCommLibrary {
public:
    FakeCommLibrary();
    ~FakeCommLibrary();
    FakeCommLibrary(const FakeCommLibrary&) = delete;
    FakeCommLibrary& operator=(const FakeCommLibrary&) = delete;

    comm::QkcBinding* Binding() { return &m_binding; }
    // Gives the record a module, so that it counts as a bound library.
    void MarkLoaded() { m_binding.module = this; }

    // Every entry point not scripted below answers this (that of an unbound record unless a
    // test says otherwise); with `strictUnscripted` a call of one fails the test.
    int32_t unscriptedResult = static_cast<int32_t>(0x80000000u);
    bool strictUnscripted = false;

    // QKC_EnumPort: these records, answering enumResult.
    std::vector<comm::PortRecord> registered;
    int32_t enumResult = 0;
    // QKC_CommunicationTest: writes reportedModel as the record's device name (none when
    // empty) and answers testResult.
    std::u16string reportedModel;
    int32_t testResult = 0;
    // QKC_SetPort, QKC_GetPort, QKC_Initialize, QKC_Close answer these.
    int32_t setPortResult = 0;
    int32_t getPortResult = 0;
    int32_t initializeResult = 0;
    int32_t closeResult = 0;
    // QKC_Open answers -1 for the next openFailures calls, then openResult.
    int openFailures = 0;
    int32_t openResult = 0;
    // QKC_SetPortConnector answers connectorResult; QKC_IsPortConnectorEnabled writes
    // connectorFlag and answers connectorQueryResult.
    int32_t connectorResult = 0;
    int32_t connectorFlag = 0;
    int32_t connectorQueryResult = 0;
    // QKC_RegisterStatusProc keeps the procedure and its context; QKC_UnregisterStatusProc
    // forgets them.
    comm::QkcStatusProc statusProc = nullptr;
    void* statusContext = nullptr;

    // The scripted calls in order: "EnumPort", "CommunicationTest", "SetPort", "GetPort",
    // "Open(<mode>)", "Initialize", "Close", "SetPortConnector(<value>)",
    // "IsPortConnectorEnabled", "RegisterStatusProc", "UnregisterStatusProc"; a test's own
    // entry point notes itself with Note.
    std::vector<std::string> Calls() const;
    int CountOf(const std::string& call) const;
    void ClearCalls();

    // The fake made last that still lives; the entry points' way to it.
    static FakeCommLibrary& Current();
    void Note(std::string call);

private:
    comm::QkcBinding m_binding{};
    mutable std::mutex m_lock;
    std::vector<std::string> m_calls;
    FakeCommLibrary* m_previous;
};

} // namespace qk::test
