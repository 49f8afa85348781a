// Helpers of the framework tests: a profile that records the section reads it forwards, a
// profile that serves raw section buffers exactly as given, and a temporary folder.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "platform/os/Profile.h"

namespace qk::test {

// Forwards to another profile and records every GetSectionRaw call.
class RecordingProfile : public os::IProfile {
public:
    struct SectionRead {
        std::u16string file;
        std::u16string section;
        uint32_t size;
        uint32_t answer;
    };

    explicit RecordingProfile(os::IProfile& inner) : inner_(inner) {}

    const std::vector<SectionRead>& Reads() const { return reads_; }
    void ClearReads() { reads_.clear(); }

    std::u16string GetString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& def) override {
        return inner_.GetString(file, section, key, def);
    }
    int GetInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
               int def) override {
        return inner_.GetInt(file, section, key, def);
    }
    bool WriteString(const std::u16string& file, const std::u16string& section,
                     const std::u16string& key, const std::u16string& value) override {
        return inner_.WriteString(file, section, key, value);
    }
    bool DeleteKey(const std::u16string& file, const std::u16string& section,
                   const std::u16string& key) override {
        return inner_.DeleteKey(file, section, key);
    }
    bool DeleteSection(const std::u16string& file, const std::u16string& section) override {
        return inner_.DeleteSection(file, section);
    }
    uint32_t GetSectionRaw(const std::u16string& file, const std::u16string& section,
                           char16_t* buffer, uint32_t size) override {
        const uint32_t answer = inner_.GetSectionRaw(file, section, buffer, size);
        reads_.push_back({file, section, size, answer});
        return answer;
    }
    uint32_t GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                uint32_t size) override {
        ++nameReads_;
        return inner_.GetSectionNamesRaw(file, buffer, size);
    }
    int NameReads() const { return nameReads_; }

private:
    os::IProfile& inner_;
    std::vector<SectionRead> reads_;
    int nameReads_ = 0;
};

// Serves each section as a raw list of lines ("a=b", "c=d" ...) with the platform's buffer
// rules and no INI parsing at all, so that the table's own line handling is what is seen
// (lines of any length or content, keys in any order, duplicates).
class RawSectionProfile : public os::IProfile {
public:
    void SetSection(const std::u16string& section, std::vector<std::u16string> lines) {
        sections_[section] = std::move(lines);
    }

    std::u16string GetString(const std::u16string&, const std::u16string&, const std::u16string&,
                             const std::u16string& def) override {
        return def;
    }
    int GetInt(const std::u16string&, const std::u16string&, const std::u16string&,
               int def) override {
        return def;
    }
    bool WriteString(const std::u16string&, const std::u16string&, const std::u16string&,
                     const std::u16string&) override {
        return false;
    }
    bool DeleteKey(const std::u16string&, const std::u16string&, const std::u16string&) override {
        return false;
    }
    bool DeleteSection(const std::u16string&, const std::u16string&) override { return false; }
    uint32_t GetSectionRaw(const std::u16string&, const std::u16string& section, char16_t* buffer,
                           uint32_t size) override {
        auto it = sections_.find(section);
        std::u16string all;
        if (it != sections_.end()) {
            for (const auto& line : it->second) {
                all += line;
                all += u'\0';
            }
        }
        return Serve(all, buffer, size);
    }
    uint32_t GetSectionNamesRaw(const std::u16string&, char16_t* buffer, uint32_t size) override {
        std::u16string all;
        for (const auto& [name, lines] : sections_) {
            all += name;
            all += u'\0';
        }
        return Serve(all, buffer, size);
    }

private:
    // A list of zero-ended strings, with the platform's buffer rules.
    static uint32_t Serve(std::u16string all, char16_t* buffer, uint32_t size) {
        if (size < 3)
            return 0;
        buffer[0] = buffer[1] = u'\0';
        if (all.empty())
            return 0;
        if (all.size() + 1 >= size) {
            // Too small, or fitting exactly: as much as fits, the list still ending in two
            // zeros, and the answer size - 2 (the platform's way).
            all.resize(size - 2);
            all += u'\0';
            std::copy(all.begin(), all.end(), buffer);
            buffer[size - 1] = u'\0';
            return size - 2;
        }
        std::copy(all.begin(), all.end(), buffer);
        buffer[all.size()] = u'\0';
        return static_cast<uint32_t>(all.size());
    }

private:
    std::map<std::u16string, std::vector<std::u16string>> sections_;
};

} // namespace qk::test
