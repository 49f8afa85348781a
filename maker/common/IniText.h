// A small reader and writer of INI text (sections, key=value lines, ';' comments), kept in file
// order. The maker's settings files are plain UTF-8 text edited by people.
#pragma once
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qk::ini {

class IniText {
public:
    void Parse(const std::string& text);
    std::string Serialize() const;

    // Section and key names compare without regard to ASCII case.
    bool Has(const std::string& section, const std::string& key) const;
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = "") const;
    long GetInt(const std::string& section, const std::string& key, long fallback) const;
    void Set(const std::string& section, const std::string& key, const std::string& value);
    std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;
    std::vector<std::string> Sections() const;
    void RemoveSection(const std::string& section);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const Section* Find(const std::string& name) const;
    Section& FindOrAdd(const std::string& name);
    void Reindex();

    std::vector<Section> sections_;
    // Lower-case section name to its place in sections_, so that a file of many sections is
    // read and written in linear time.
    std::unordered_map<std::string, std::size_t> index_;
};

} // namespace qk::ini
