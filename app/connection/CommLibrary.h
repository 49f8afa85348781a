// The binding of the communication library "QKComm.dll": one record per run, owned here.
// An unbound record answers every call with the not-bound code, so callers never need to
// check before calling.
#pragma once
#include <algorithm>
#include <vector>
#include "framework/comm/QkcBinding.h"

namespace qk::app {

// Points every entry point of the record at a stand-in that answers 0x80000000.
void MakeUnbound(comm::QkcBinding& record);

// The library's two-call port listing: `fill(records, room, &found)` is asked with `offered`
// records of room (none: a null pointer), and again with room for all when it found more.
// Only what was filled is kept, since more may come between the calls; a failed call or a
// negative count leaves no records and answers false.
template <typename Fill>
bool EnumerateRecords(Fill fill, int32_t offered, std::vector<comm::PortRecord>& records) {
    records.assign(static_cast<size_t>(offered), comm::PortRecord{});
    int32_t found = 0;
    bool ok = fill(offered ? records.data() : nullptr, offered, &found) == 0 && found >= 0;
    int32_t room = offered;
    if (ok && found > offered) {
        room = found;
        records.assign(static_cast<size_t>(room), comm::PortRecord{});
        ok = fill(records.data(), room, &found) == 0;
    }
    records.resize(ok ? static_cast<size_t>(std::clamp(found, 0, room)) : 0);
    return ok;
}

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
