#include "platform/os/ProfileImage.h"
#include <cwctype>
#include <string_view>
#include "platform/os/ProfileValues.h"

namespace qk::os {
namespace {

// Bigger files are left to the platform (the image would hold them twice over).
constexpr size_t kMaxImageBytes = 8u << 20;

// UTF-16 with its byte-order mark, or bytes that are ASCII in every code page.
bool Decode(const std::vector<uint8_t>& bytes, std::u16string& text) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        if (bytes.size() % 2 != 0)
            return false;
        text.resize((bytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
        return text.find(u'\0') == std::u16string::npos;
    }
    text.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0 || bytes[i] >= 0x80)
            return false;
        text[i] = bytes[i];
    }
    return true;
}

// A character that a platform may drop at the end of a line, a name or a value: the reader's
// blanks, and spaces beyond ASCII (whose treatment is the platform's own).
bool MayBeTrimmed(char16_t c) {
    return IsProfileBlank(c) || (c >= 0x80 && std::iswspace(c));
}

bool AddLine(std::u16string_view line, ProfileImage& image) {
    if (line.empty())
        return true;
    if (MayBeTrimmed(line.front()) || MayBeTrimmed(line.back()))
        return false;
    if (line.front() == u';') {
        image.comments = true;
        return true;
    }
    std::u16string upper;
    if (line.front() == u'[') {
        if (line.back() != u']' ||
            !ProfileNameUpper(std::u16string(line.substr(1, line.size() - 2)), upper) ||
            !image.byName.emplace(upper, image.sections.size()).second)
            return false;
        image.sections.push_back({std::u16string(line.substr(1, line.size() - 2)), u""});
        return true;
    }
    const size_t equals = line.find(u'=');
    if (image.sections.empty() || !ProfileNameUpper(std::u16string(line.substr(0, equals)), upper))
        return false;
    if (equals != std::u16string_view::npos && equals + 1 < line.size() &&
        MayBeTrimmed(line[equals + 1]))
        return false;
    std::u16string& lines = image.sections.back().lines;
    lines.append(line);
    lines += u'\0';
    return true;
}

} // namespace

const ProfileImage::Section* ProfileImage::Find(const std::u16string& upper) const {
    const auto found = byName.find(upper);
    return found == byName.end() ? nullptr : &sections[found->second];
}

std::u16string ProfileImage::Names() const {
    std::u16string names;
    for (const Section& section : sections) {
        names += section.name;
        names += u'\0';
    }
    return names;
}

bool ReadProfileImage(const std::vector<uint8_t>& bytes, ProfileImage& image) {
    image = ProfileImage{};
    std::u16string text;
    if (bytes.size() > kMaxImageBytes || !Decode(bytes, text))
        return false;
    const std::u16string_view all(text);
    for (size_t pos = 0; pos < all.size();) {
        size_t end = all.find(u'\n', pos);
        if (end == std::u16string_view::npos)
            end = all.size();
        std::u16string_view line = all.substr(pos, end - pos);
        if (!line.empty() && line.back() == u'\r')
            line.remove_suffix(1);
        // A CR of its own ends a line for one platform and not for another.
        if (line.find(u'\r') != std::u16string_view::npos || !AddLine(line, image))
            return false;
        pos = end + 1;
    }
    return true;
}

bool CopyWholeListing(const std::u16string& listing, char16_t* buffer, uint32_t size,
                      uint32_t& answer) {
    if (listing.empty() || size < listing.size() + 2)
        return false;
    std::char_traits<char16_t>::copy(buffer, listing.data(), listing.size());
    buffer[listing.size()] = u'\0';
    answer = static_cast<uint32_t>(listing.size());
    return true;
}

} // namespace qk::os
