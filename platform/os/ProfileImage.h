// A profile file read whole, for a reader that would otherwise ask the platform for one
// section after another (each call opens the file anew: half a millisecond under Wine). Only
// files whose every line any platform reads the same way are taken: UTF-16 with its
// byte-order mark or plain ASCII, lines ending in CR LF or LF, "[name]" headers of distinct
// names, "name=value" and "name" lines, comments, empty lines. Blanks around a name, a value
// or a line, a line before the first header, a header of another form, a name that cannot be
// compared as the platform compares it, NULs, lone CRs or bytes of a code page make the file
// one for the platform to read.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qk::os {

struct ProfileImage {
    struct Section {
        std::u16string name; // as written
        // Its lines as the platform lists them, each ending in a NUL ("k=v\0k2\0"); comments
        // and empty lines are not among them.
        std::u16string lines;
    };
    std::vector<Section> sections;           // in the file's order
    std::map<std::u16string, size_t> byName; // upper-case name to its section
    bool comments = false; // platforms differ on whether a section's listing shows them

    // The section of that upper-case name, or null.
    const Section* Find(const std::u16string& upper) const;
    // The names as the platform lists them, each ending in a NUL.
    std::u16string Names() const;
};

// False when the file is not one the image answers for exactly.
bool ReadProfileImage(const std::vector<uint8_t>& bytes, ProfileImage& image);

// A raw listing ("...\0" as kept above) copied as the platform copies a whole one: the text,
// then the list's final NUL. Only a non-empty listing with room to spare is answered (an
// exact fit, a cut one, an empty or missing one is the platform's to answer); false then.
bool CopyWholeListing(const std::u16string& listing, char16_t* buffer, uint32_t size,
                      uint32_t& answer);

} // namespace qk::os
