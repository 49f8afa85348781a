// The two-call listing of the communication library's port records: asked first with the
// room offered, then again with the room the library said it needs. Portable.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>
#include "framework/comm/PortRecord.h"

namespace qk::comm {

// `fill(records, room, &found)` is asked with `offered` records of room (none: a null pointer),
// and again with room for all when it found more. Only what was filled is kept, since more may come
// between the calls; a failed call or a negative count leaves no records and answers false.
template <typename Fill>
bool EnumerateRecords(Fill fill, int32_t offered, std::vector<PortRecord>& records) {
    records.assign(static_cast<size_t>(offered), PortRecord{});
    int32_t found = 0;
    bool ok = fill(offered ? records.data() : nullptr, offered, &found) == 0 && found >= 0;
    int32_t room = offered;
    if (ok && found > offered) {
        room = found;
        records.assign(static_cast<size_t>(room), PortRecord{});
        ok = fill(records.data(), room, &found) == 0;
    }
    records.resize(ok ? static_cast<size_t>(std::clamp(found, 0, room)) : 0);
    return ok;
}

} // namespace qk::comm
