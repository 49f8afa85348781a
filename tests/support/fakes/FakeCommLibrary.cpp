#include "tests/support/fakes/FakeCommLibrary.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>

namespace qk::test {
namespace {

FakeCommLibrary* g_current = nullptr;

FakeCommLibrary& Fake() {
    return FakeCommLibrary::Current();
}

// One answer for every entry point the fake does not script, named in the failure.
template <typename F, const char* Name> struct Unscripted;
template <const char* Name, typename... A> struct Unscripted<int32_t(QKC_CALL*)(A...), Name> {
    static int32_t QKC_CALL Call(A...) {
        FakeCommLibrary& fake = Fake();
        if (fake.strictUnscripted)
            ADD_FAILURE() << "the library's QKC_" << Name << " was called, which the test did "
                          << "not expect";
        return fake.unscriptedResult;
    }
};

#define QKC_NAME(name) constexpr char k##name[] = #name;
QKC_ENTRY_POINTS(QKC_NAME)
#undef QKC_NAME

int32_t QKC_CALL EnumPort(comm::PortRecord* records, int32_t capacity, int32_t* count) {
    FakeCommLibrary& fake = Fake();
    fake.Note("EnumPort");
    if (count)
        *count = static_cast<int32_t>(fake.registered.size());
    for (int32_t i = 0; records && i < capacity && i < static_cast<int32_t>(fake.registered.size());
         ++i)
        records[i] = fake.registered[static_cast<std::size_t>(i)];
    return fake.enumResult;
}

int32_t QKC_CALL CommunicationTest(comm::PortRecord* record) {
    FakeCommLibrary& fake = Fake();
    fake.Note("CommunicationTest");
    if (record && !fake.reportedModel.empty()) {
        std::fill(std::begin(record->deviceName), std::end(record->deviceName), u'\0');
        fake.reportedModel.copy(record->deviceName, comm::kPortTextChars - 1);
    }
    return fake.testResult;
}

int32_t QKC_CALL SetPort(comm::PortRecord*) {
    Fake().Note("SetPort");
    return Fake().setPortResult;
}

int32_t QKC_CALL GetPort(comm::PortRecord*) {
    Fake().Note("GetPort");
    return Fake().getPortResult;
}

int32_t QKC_CALL Open(int32_t mode) {
    FakeCommLibrary& fake = Fake();
    fake.Note("Open(" + std::to_string(mode) + ")");
    if (fake.openFailures > 0) {
        --fake.openFailures;
        return -1;
    }
    return fake.openResult;
}

int32_t QKC_CALL Initialize() {
    Fake().Note("Initialize");
    return Fake().initializeResult;
}

int32_t QKC_CALL Close() {
    Fake().Note("Close");
    return Fake().closeResult;
}

int32_t QKC_CALL SetPortConnector(int32_t value) {
    Fake().Note("SetPortConnector(" + std::to_string(value) + ")");
    return Fake().connectorResult;
}

int32_t QKC_CALL IsPortConnectorEnabled(int32_t* flag) {
    FakeCommLibrary& fake = Fake();
    fake.Note("IsPortConnectorEnabled");
    if (flag)
        *flag = fake.connectorFlag;
    return fake.connectorQueryResult;
}

int32_t QKC_CALL RegisterStatusProc(comm::QkcStatusProc proc, void* context) {
    FakeCommLibrary& fake = Fake();
    fake.Note("RegisterStatusProc");
    fake.statusProc = proc;
    fake.statusContext = context;
    return 0;
}

int32_t QKC_CALL UnregisterStatusProc() {
    FakeCommLibrary& fake = Fake();
    fake.Note("UnregisterStatusProc");
    fake.statusProc = nullptr;
    fake.statusContext = nullptr;
    return 0;
}

} // namespace

FakeCommLibrary::FakeCommLibrary() {
#define QKC_UNSCRIPTED(name)                                                                       \
    m_binding.QKC_##name = &Unscripted<comm::PFN_QKC_##name, k##name>::Call;
    QKC_ENTRY_POINTS(QKC_UNSCRIPTED)
#undef QKC_UNSCRIPTED
    m_binding.QKC_EnumPort = &EnumPort;
    m_binding.QKC_CommunicationTest = &CommunicationTest;
    m_binding.QKC_SetPort = &SetPort;
    m_binding.QKC_GetPort = &GetPort;
    m_binding.QKC_Open = &Open;
    m_binding.QKC_Initialize = &Initialize;
    m_binding.QKC_Close = &Close;
    m_binding.QKC_SetPortConnector = &SetPortConnector;
    m_binding.QKC_IsPortConnectorEnabled = &IsPortConnectorEnabled;
    m_binding.QKC_RegisterStatusProc = &RegisterStatusProc;
    m_binding.QKC_UnregisterStatusProc = &UnregisterStatusProc;
    m_previous = g_current;
    g_current = this;
}

FakeCommLibrary::~FakeCommLibrary() {
    if (g_current == this)
        g_current = m_previous;
}

FakeCommLibrary& FakeCommLibrary::Current() {
    // A call through a record whose fake is gone is a test's own fault: stop at once.
    if (!g_current)
        std::abort();
    return *g_current;
}

void FakeCommLibrary::Note(std::string call) {
    std::lock_guard hold(m_lock);
    m_calls.push_back(std::move(call));
}

std::vector<std::string> FakeCommLibrary::Calls() const {
    std::lock_guard hold(m_lock);
    return m_calls;
}

int FakeCommLibrary::CountOf(const std::string& call) const {
    std::lock_guard hold(m_lock);
    return static_cast<int>(std::count(m_calls.begin(), m_calls.end(), call));
}

void FakeCommLibrary::ClearCalls() {
    std::lock_guard hold(m_lock);
    m_calls.clear();
}

} // namespace qk::test
