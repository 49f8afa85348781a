#include "tests/support/fakes/FakeProfile.h"
#include <algorithm>
#include "platform/os/ProfileValues.h"

namespace qk::test {
namespace {

using os::CopyEntry;
using os::ParseProfileInt;
using os::TrimDefault;

// The INI reader's blanks: tab to carriage return, the DOS end-of-file mark and space.
bool IsBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::u16string Trim(const std::u16string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) {
        ++b;
    }
    while (e > b && IsBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

std::u16string TrimLeft(const std::u16string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) {
        ++b;
    }
    return s.substr(b);
}

} // namespace

FakeProfile::FakeProfile() : own_(std::make_unique<FakeFileSystem>()), files_(own_.get()) {}

FakeProfile::FakeProfile(FakeFileSystem& files) : files_(&files) {}

FakeProfile::Ini FakeProfile::Parse(const std::u16string& text) {
    Ini ini;
    ini.sections.push_back(Section{});
    const Entry* previous = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at CR or LF; the run of line ends after it belongs to it.
        size_t end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') {
            ++end;
        }
        size_t next = end;
        while (next < text.size() && (text[next] == u'\r' || text[next] == u'\n')) {
            ++next;
        }
        const std::u16string line = Trim(text.substr(pos, end - pos));
        pos = next;
        if (line.empty()) {
            continue;
        }
        if (line[0] == u'[') {
            const size_t close = line.rfind(u']');
            if (close != std::u16string::npos && close > 0) {
                Section section;
                section.name = Trim(line.substr(1, close - 1));
                ini.sections.push_back(section);
                previous = nullptr;
                continue;
            }
            // A '[' line without ']' is read as an ordinary line.
        }
        Entry entry;
        const size_t eq = line.find(u'=');
        if (eq != std::u16string::npos) {
            size_t nameEnd = eq;
            while (nameEnd > 0 && IsBlank(line[nameEnd - 1])) {
                --nameEnd;
            }
            entry.name = line.substr(0, nameEnd);
            entry.hasValue = true;
            entry.value = TrimLeft(line.substr(eq + 1));
        } else {
            entry.name = line;
        }
        // Of several "=value" lines in a row only the first is kept.
        if (!entry.name.empty() || !previous || !previous->name.empty()) {
            ini.sections.back().entries.push_back(entry);
            previous = &ini.sections.back().entries.back();
        }
    }
    return ini;
}

std::u16string FakeProfile::Serialize(const Ini& ini) {
    std::u16string text;
    for (const Section& section : ini.sections) {
        if (!section.name.empty()) {
            text += u"[" + section.name + u"]\r\n";
        }
        for (const Entry& entry : section.entries) {
            text += entry.name;
            if (entry.hasValue) {
                text += u"=" + entry.value;
            }
            text += u"\r\n";
        }
    }
    return text;
}

FakeProfile::OpenResult FakeProfile::Load(const std::u16string& file, bool forWriting, Ini& ini) {
    OpenResult opened = OpenResult::Failed;
    if (forWriting && files_->Exists(file) && files_->IsReadOnly(file)) {
        ini = Ini{};
        return opened;
    }
    ini = Read(file, opened);
    return opened;
}

FakeProfile::Ini& FakeProfile::Read(const std::u16string& file, OpenResult& opened) {
    nothing_ = Ini{};
    if (!files_->ParentFolderExists(file)) {
        opened = OpenResult::Failed; // the path, not the file, is missing
        return nothing_;
    }
    if (!files_->Exists(file)) {
        opened = OpenResult::NoFile;
        return nothing_;
    }
    const std::vector<uint8_t>* held = files_->FileBytes(file);
    if (!held) {
        opened = OpenResult::Failed; // a folder
        return nothing_;
    }
    opened = OpenResult::Read;
    const std::vector<uint8_t>& bytes = *held;
    if (bytes.empty()) {
        return nothing_;
    }
    // The same bytes parse the same: a file read again unchanged is not decoded again (the
    // fuzz targets read a file section by section, dozens of times per input).
    Parsed& last = parsed_[file];
    if (last.bytes != bytes) {
        TextEncoding encoding;
        last.ini = Parse(DecodeText(bytes, &encoding));
        last.ini.encoding = encoding;
        last.bytes = bytes;
    }
    return last.ini;
}

bool FakeProfile::Save(const std::u16string& file, const Ini& ini) {
    ++saves_;
    return files_->WriteFile(file, EncodeText(Serialize(ini), ini.encoding));
}

FakeProfile::Section* FakeProfile::FindSectionTrimmed(Ini& ini, const std::u16string& name) {
    const std::u16string wanted = Trim(name);
    for (Section& section : ini.sections) {
        if (EqualsNoCase(section.name, wanted)) {
            return &section;
        }
    }
    return nullptr;
}

FakeProfile::Entry* FakeProfile::FindEntryTrimmed(Section& section, const std::u16string& name) {
    const std::u16string wanted = Trim(name);
    for (Entry& entry : section.entries) {
        if (EqualsNoCase(entry.name, wanted)) {
            return &entry;
        }
    }
    return nullptr;
}

std::u16string FakeProfile::GetString(const std::u16string& file, const std::u16string& section,
                                      const std::u16string& key, const std::u16string& def) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    const std::u16string defTrimmed = TrimDefault(def);
    OpenResult opened;
    Ini& ini = Read(file, opened);
    if (opened == OpenResult::Failed) {
        return defTrimmed; // taken as it is, quotes included
    }
    const Entry* entry = nullptr;
    if (Section* s = FindSectionTrimmed(ini, section)) {
        entry = FindEntryTrimmed(*s, key);
    }
    const std::u16string& raw = entry && entry->hasValue ? entry->value : defTrimmed;
    return CopyEntry(raw, raw.size() + 2);
}

int FakeProfile::GetInt(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, int def) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    // The platform reads the value into 30 characters first; an empty value is missing.
    OpenResult opened;
    Ini& ini = Read(file, opened);
    std::u16string text;
    if (opened != OpenResult::Failed) {
        const Entry* entry = nullptr;
        if (Section* s = FindSectionTrimmed(ini, section)) {
            entry = FindEntryTrimmed(*s, key);
        }
        if (entry && entry->hasValue) {
            text = CopyEntry(entry->value, 30);
        }
    }
    if (text.empty()) {
        return def;
    }
    return ParseProfileInt(text);
}

bool FakeProfile::WriteString(const std::u16string& file, const std::u16string& section,
                              const std::u16string& key, const std::u16string& value) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    Ini ini;
    if (Load(file, true, ini) == OpenResult::Failed) {
        return false;
    }
    Section* s = FindSectionTrimmed(ini, section);
    if (!s) {
        ini.sections.push_back(Section{TrimLeft(section), {}});
        s = &ini.sections.back();
    }
    Entry* entry = FindEntryTrimmed(*s, key);
    if (!entry) {
        s->entries.push_back(Entry{TrimLeft(key), false, u""});
        entry = &s->entries.back();
    }
    const std::u16string newValue = TrimLeft(value);
    if (entry->hasValue && entry->value == newValue) {
        return true; // nothing changes, nothing is written
    }
    entry->hasValue = true;
    entry->value = newValue;
    return Save(file, ini);
}

bool FakeProfile::DeleteKey(const std::u16string& file, const std::u16string& section,
                            const std::u16string& key) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    Ini ini;
    if (Load(file, true, ini) == OpenResult::Failed) {
        return false;
    }
    // Every section of that name is searched; the first matching key goes.
    for (Section& s : ini.sections) {
        if (!EqualsNoCase(s.name, section)) {
            continue;
        }
        for (auto it = s.entries.begin(); it != s.entries.end(); ++it) {
            if (EqualsNoCase(it->name, key)) {
                s.entries.erase(it);
                return Save(file, ini);
            }
        }
    }
    return true;
}

bool FakeProfile::DeleteSection(const std::u16string& file, const std::u16string& section) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    Ini ini;
    if (Load(file, true, ini) == OpenResult::Failed) {
        return false;
    }
    for (auto it = ini.sections.begin(); it != ini.sections.end(); ++it) {
        if (EqualsNoCase(it->name, section)) {
            ini.sections.erase(it);
            Save(file, ini); // the platform answers true whatever the write gave
            break;
        }
    }
    return true;
}

uint32_t FakeProfile::GetSectionRaw(const std::u16string& file, const std::u16string& section,
                                    char16_t* buffer, uint32_t size) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    if (size < 3) {
        std::fill(buffer, buffer + size, u'\0');
        return 0;
    }
    OpenResult opened;
    Ini& ini = Read(file, opened);
    if (opened == OpenResult::Failed) {
        buffer[0] = 0;
        return 0;
    }
    const Section* found = nullptr;
    for (const Section& s : ini.sections) {
        if (EqualsNoCase(s.name, section)) {
            found = &s;
            break;
        }
    }
    if (!found) {
        buffer[0] = buffer[1] = 0;
        return 0;
    }
    // Each string is cut so that two characters stay free for its NUL and the list's;
    // once fewer than two are left, the list ends and the answer is size - 2.
    uint32_t left = size;
    char16_t* p = buffer;
    auto put = [&](const std::u16string& s) {
        const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(s.size()), left - 2);
        std::copy(s.begin(), s.begin() + n, p);
        p[n] = 0;
        left -= n + 1;
        p += n + 1;
    };
    for (const Entry& entry : found->entries) {
        if (left <= 2) {
            break;
        }
        if ((entry.name.empty() && !entry.hasValue) ||
            (!entry.name.empty() && entry.name[0] == u';')) {
            continue;
        }
        put(entry.name);
        if (left < 2) {
            break;
        }
        if (entry.hasValue) {
            p[-1] = u'=';
            put(entry.value);
        }
    }
    *p = 0;
    if (left <= 1) {
        p[-1] = 0;
        return size - 2;
    }
    return size - left;
}

uint32_t FakeProfile::GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                         uint32_t size) {
    std::lock_guard lock(mutex_); // the parsed files are shared by the calls
    if (size < 3) {
        std::fill(buffer, buffer + size, u'\0');
        return 0;
    }
    OpenResult opened;
    Ini& ini = Read(file, opened);
    if (opened == OpenResult::Failed) {
        return 0; // the buffer is left as it was
    }
    uint32_t room = size - 1; // one character stays for the list's NUL
    char16_t* p = buffer;
    for (const Section& s : ini.sections) {
        if (s.name.empty()) {
            continue;
        }
        const uint32_t need = static_cast<uint32_t>(s.name.size()) + 1;
        if (need >= room) {
            // The name that does not fit (or fits exactly) is cut; the list still ends in
            // two NULs.
            std::copy(s.name.begin(), s.name.begin() + (room - 1), p);
            p += room - 1;
            *p++ = 0;
            *p = 0;
            return size - 2;
        }
        std::copy(s.name.begin(), s.name.end(), p);
        p += need - 1;
        *p++ = 0;
        room -= need;
    }
    *p = 0;
    return static_cast<uint32_t>(p - buffer);
}

} // namespace qk::test
