#include "maker/common/IniText.h"
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace qk::ini {

namespace {
std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

void IniText::Parse(const std::string& text) {
    sections_.clear();
    std::istringstream in(text);
    Section* current = nullptr;
    for (std::string raw; std::getline(in, raw);) {
        std::string line = Trim(raw);
        if (line.size() >= 3 && static_cast<unsigned char>(line[0]) == 0xEF)
            line = Trim(line.substr(3)); // UTF-8 byte order mark
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            std::string name = Trim(line.substr(1, line.size() - 2));
            auto it = std::find_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameName(s.name, name); });
            if (it == sections_.end()) {
                sections_.push_back(Section{name, {}});
                current = &sections_.back();
            } else {
                current = &*it;
            }
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos || eq == 0)
            continue;
        current->entries.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
    }
}

std::string IniText::Serialize() const {
    std::string text;
    for (const auto& section : sections_) {
        text += "[" + section.name + "]\r\n";
        for (const auto& [key, value] : section.entries)
            text += key + "=" + value + "\r\n";
        text += "\r\n";
    }
    return text;
}

const IniText::Section* IniText::Find(const std::string& name) const {
    for (const auto& section : sections_)
        if (SameName(section.name, name))
            return &section;
    return nullptr;
}

bool IniText::Has(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    if (!s)
        return false;
    for (const auto& entry : s->entries)
        if (SameName(entry.first, key))
            return true;
    return false;
}

std::string IniText::Get(const std::string& section, const std::string& key,
                         const std::string& fallback) const {
    const Section* s = Find(section);
    if (!s)
        return fallback;
    for (const auto& entry : s->entries)
        if (SameName(entry.first, key))
            return entry.second;
    return fallback;
}

long IniText::GetInt(const std::string& section, const std::string& key, long fallback) const {
    std::string text = Get(section, key);
    if (text.empty())
        return fallback;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0' ? value : fallback;
}

void IniText::Set(const std::string& section, const std::string& key, const std::string& value) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return SameName(s.name, section); });
    if (it == sections_.end()) {
        sections_.push_back(Section{section, {}});
        it = sections_.end() - 1;
    }
    for (auto& entry : it->entries)
        if (SameName(entry.first, key)) {
            entry.second = value;
            return;
        }
    it->entries.emplace_back(key, value);
}

std::vector<std::pair<std::string, std::string>>
IniText::Entries(const std::string& section) const {
    const Section* s = Find(section);
    return s ? s->entries : std::vector<std::pair<std::string, std::string>>{};
}

std::vector<std::string> IniText::Sections() const {
    std::vector<std::string> names;
    for (const auto& section : sections_)
        names.push_back(section.name);
    return names;
}

void IniText::RemoveSection(const std::string& section) {
    sections_.erase(std::remove_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return SameName(s.name, section); }),
                    sections_.end());
}

} // namespace qk::ini
