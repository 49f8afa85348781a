// The text of a receipt as the command emulator keeps it in the journal: print data cut into
// lines at LF, without the printer's control codes. ESC and GS sequences are skipped with
// their parameter bytes; CR and the other control bytes are dropped. Data may arrive in any
// number of pieces; an unfinished line waits for the rest.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace qk::emulator {

class JournalLines {
public:
    // Takes print data; appends every line it completes (without its LF) to `lines`.
    void Feed(const std::string& data, std::vector<std::string>& lines);

private:
    void TakeCommand(char prefix, unsigned char command);

    std::string current_;
    char prefix_ = 0;      // ESC or GS whose command byte is still to come
    std::size_t skip_ = 0; // parameter bytes still to skip
};

} // namespace qk::emulator
