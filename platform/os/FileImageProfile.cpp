#include "platform/os/FileImageProfile.h"
#include <string_view>
#include "platform/os/ProfileValues.h"

namespace qk::os {
namespace {

constexpr uint8_t kBom[] = {0xFF, 0xFE};

std::u16string_view TrimLeft(std::u16string_view text) {
    size_t begin = 0;
    while (begin < text.size() && IsProfileBlank(text[begin]))
        ++begin;
    return text.substr(begin);
}

std::u16string_view TrimRight(std::u16string_view text) {
    size_t end = text.size();
    while (end > 0 && IsProfileBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::u16string_view Trim(std::u16string_view text) {
    return TrimRight(TrimLeft(text));
}

bool IsLineEnd(char16_t c) {
    return c == u'\r' || c == u'\n';
}

// A value the image writes as the platform does: no line end or NUL inside it (the platform
// would cut or split it), no blanks at its ends (the platform drops them, the leading ones
// when writing and the trailing ones when it reads the file again).
bool IsPlainValue(const std::u16string& value) {
    for (char16_t c : value)
        if (c == u'\0' || IsLineEnd(c))
            return false;
    return value.empty() || (!IsProfileBlank(value.front()) && !IsProfileBlank(value.back()));
}

// The text of a UTF-16 file with its byte-order mark; false for any other file.
bool DecodeUtf16(const std::vector<uint8_t>& bytes, std::u16string& text) {
    if (bytes.size() < 2 || bytes[0] != kBom[0] || bytes[1] != kBom[1] || bytes.size() % 2 != 0)
        return false;
    text.resize((bytes.size() - 2) / 2);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(bytes[2 + 2 * i] | (bytes[3 + 2 * i] << 8));
    return true;
}

} // namespace

bool FileImageProfile::Open(const std::u16string& file) {
    if (m_open && file == m_path)
        return m_usable;
    Flush();
    m_open = true;
    m_usable = false;
    m_dirty = false;
    m_path = file;
    m_sections.clear();
    m_firstSection.clear();
    std::vector<uint8_t> bytes;
    std::u16string text;
    if (!m_files.ReadFile(file, bytes) || !DecodeUtf16(bytes, text) ||
        text.find(u'\0') != std::u16string::npos)
        return false;
    // A file the image would not write back byte for byte (blank lines, blanks around a
    // name or value, no line end at its end) is laid out as the platform wrote it or as
    // someone else did; what a platform keeps of such a layout differs between platforms,
    // so the platform keeps it.
    m_usable = Parse(text) && Serialize() == bytes;
    return m_usable;
}

bool FileImageProfile::Parse(const std::u16string& text) {
    m_sections.assign(1, Section{});
    bool previousUnnamed = false; // the section's last line kept was an "=value" line
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at CR or LF; the run of line ends after it belongs to it.
        size_t end = pos;
        while (end < text.size() && !IsLineEnd(text[end]))
            ++end;
        const std::u16string_view line = Trim(std::u16string_view(text).substr(pos, end - pos));
        pos = end;
        while (pos < text.size() && IsLineEnd(text[pos]))
            ++pos;
        if (line.empty())
            continue;
        if (line.front() == u'[') {
            const size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos && close > 0) {
                Section section;
                section.name = Trim(line.substr(1, close - 1));
                // An unnamed header would be written as no header: not for the image.
                if (section.name.empty())
                    return false;
                std::u16string upper;
                if (ProfileNameUpper(section.name, upper))
                    m_firstSection.emplace(upper, m_sections.size()); // keeps the first
                m_sections.push_back(std::move(section));
                previousUnnamed = false;
                continue;
            }
            // A '[' line without its ']' is an ordinary line.
        }
        Line entry;
        const size_t equals = line.find(u'=');
        if (equals != std::u16string_view::npos) {
            entry.name = TrimRight(line.substr(0, equals));
            entry.hasValue = true;
            entry.value = TrimLeft(line.substr(equals + 1));
        } else {
            entry.name = line;
        }
        if (!ProfileNameUpper(entry.name, entry.upper))
            entry.upper.clear();
        // Of several "=value" lines in a row the platform keeps the first.
        if (!entry.name.empty() || !previousUnnamed) {
            previousUnnamed = entry.name.empty();
            m_sections.back().lines.push_back(std::move(entry));
        }
    }
    return true;
}

std::vector<uint8_t> FileImageProfile::Serialize() const {
    std::u16string text;
    for (const Section& section : m_sections) {
        if (!section.name.empty()) {
            text += u'[';
            text += section.name;
            text += u"]\r\n";
        }
        for (const Line& line : section.lines) {
            text += line.name;
            if (line.hasValue) {
                text += u'=';
                text += line.value;
            }
            text += u"\r\n";
        }
    }
    std::vector<uint8_t> bytes(std::begin(kBom), std::end(kBom));
    bytes.reserve(bytes.size() + text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

const FileImageProfile::Line* FileImageProfile::Find(const std::u16string& section,
                                                     const std::u16string& key) const {
    const auto found = m_firstSection.find(section);
    if (found == m_firstSection.end())
        return nullptr;
    for (const Line& line : m_sections[found->second].lines)
        if (line.upper == key)
            return &line; // the first of the same name is the one read
    return nullptr;
}

bool FileImageProfile::Flush() {
    if (m_dirty) {
        m_dirty = false;
        if (!m_files.WriteFile(m_path, Serialize())) {
            m_failed = true;
            m_open = false; // what the file holds is read again
        }
    }
    return !m_failed;
}

bool FileImageProfile::Commit() {
    const bool ok = Flush();
    m_failed = false;
    return ok;
}

bool FileImageProfile::Forget(const std::u16string& file) {
    const bool ok = Flush();
    // Read again at the next call: the platform's write may leave a file the image answers
    // for (it lays out the whole file as it writes it).
    if (m_open && m_path == file)
        m_open = false;
    return ok;
}

std::u16string FileImageProfile::GetString(const std::u16string& file,
                                           const std::u16string& section, const std::u16string& key,
                                           const std::u16string& def) {
    std::u16string sectionUpper, keyUpper;
    if (!ProfileNameUpper(section, sectionUpper) || !ProfileNameUpper(key, keyUpper) ||
        !Open(file)) {
        Flush();
        return m_inner.GetString(file, section, key, def);
    }
    const Line* line = Find(sectionUpper, keyUpper);
    const std::u16string raw = line && line->hasValue ? line->value : TrimDefault(def);
    return CopyEntry(raw, raw.size() + 2);
}

int FileImageProfile::GetInt(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, int def) {
    std::u16string sectionUpper, keyUpper;
    if (!ProfileNameUpper(section, sectionUpper) || !ProfileNameUpper(key, keyUpper) ||
        !Open(file)) {
        Flush();
        return m_inner.GetInt(file, section, key, def);
    }
    const Line* line = Find(sectionUpper, keyUpper);
    // The platform reads the value into 30 characters first; an empty value is missing.
    const std::u16string text = line && line->hasValue ? CopyEntry(line->value, 30) : u"";
    return text.empty() ? def : ParseProfileInt(text);
}

bool FileImageProfile::WriteString(const std::u16string& file, const std::u16string& section,
                                   const std::u16string& key, const std::u16string& value) {
    if (m_failed)
        return false;
    std::u16string sectionUpper, keyUpper;
    if (!ProfileNameUpper(section, sectionUpper) || !ProfileNameUpper(key, keyUpper) ||
        !IsPlainValue(value) || !Open(file))
        return Forget(file) && m_inner.WriteString(file, section, key, value);
    auto found = m_firstSection.find(sectionUpper);
    if (found == m_firstSection.end()) {
        found = m_firstSection.emplace(sectionUpper, m_sections.size()).first;
        m_sections.push_back(Section{section, {}});
    }
    std::vector<Line>& lines = m_sections[found->second].lines;
    Line* line = nullptr;
    for (Line& candidate : lines) {
        if (candidate.upper == keyUpper) {
            line = &candidate;
            break;
        }
    }
    if (!line) {
        lines.push_back(Line{key, false, u"", keyUpper});
        line = &lines.back();
    }
    if (line->hasValue && line->value == value)
        return true; // nothing changes, nothing is written
    line->hasValue = true;
    line->value = value;
    m_dirty = true;
    return true;
}

bool FileImageProfile::DeleteKey(const std::u16string& file, const std::u16string& section,
                                 const std::u16string& key) {
    return !m_failed && Forget(file) && m_inner.DeleteKey(file, section, key);
}

bool FileImageProfile::DeleteSection(const std::u16string& file, const std::u16string& section) {
    return !m_failed && Forget(file) && m_inner.DeleteSection(file, section);
}

uint32_t FileImageProfile::GetSectionRaw(const std::u16string& file, const std::u16string& section,
                                         char16_t* buffer, uint32_t size) {
    Flush();
    return m_inner.GetSectionRaw(file, section, buffer, size);
}

uint32_t FileImageProfile::GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                              uint32_t size) {
    Flush();
    return m_inner.GetSectionNamesRaw(file, buffer, size);
}

} // namespace qk::os
