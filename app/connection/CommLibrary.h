// The binding of the communication library "QKComm.dll": one record per run, owned here.
// An unbound record answers every call with the not-bound code, so callers never need to
// check before calling.
#pragma once
#include "framework/comm/QkcBinding.h"

namespace qk::app {

// Points every entry point of the record at a stand-in that answers 0x80000000.
void MakeUnbound(comm::QkcBinding& record);

class CCommLibrary {
public:
    CCommLibrary();
    ~CCommLibrary();
    CCommLibrary(const CCommLibrary&) = delete;
    CCommLibrary& operator=(const CCommLibrary&) = delete;

    // Loads the library (a bare name from the program's folder only) and resolves all 46
    // names; when the load fails or a name is missing the library is freed and the record
    // stays unbound.
    bool Bind(const wchar_t* path = L"QKComm.dll");
    void Unbind();
    bool IsBound() const { return comm::IsBound(&m_record); }
    comm::QkcBinding* Record() { return &m_record; }

private:
    comm::QkcBinding m_record;
};

} // namespace qk::app
