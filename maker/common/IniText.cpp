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

std::string Lower(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
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
    index_.clear();
    // Only the text's first bytes can be a byte order mark.
    const bool bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    std::istringstream in(bom ? text.substr(3) : text);
    Section* current = nullptr;
    for (std::string raw; std::getline(in, raw);) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &FindOrAdd(Trim(line.substr(1, line.size() - 2)));
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
    auto it = index_.find(Lower(name));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

IniText::Section& IniText::FindOrAdd(const std::string& name) {
    auto [it, added] = index_.try_emplace(Lower(name), sections_.size());
    if (added)
        sections_.push_back(Section{name, {}});
    return sections_[it->second];
}

void IniText::Reindex() {
    index_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i)
        index_.try_emplace(Lower(sections_[i].name), i);
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
    Section& s = FindOrAdd(section);
    for (auto& entry : s.entries)
        if (SameName(entry.first, key)) {
            entry.second = value;
            return;
        }
    s.entries.emplace_back(key, value);
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
    Reindex();
}

} // namespace qk::ini
