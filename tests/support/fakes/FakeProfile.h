// In-memory private-profile (INI) access with the platform's rules, over a FakeFileSystem:
// the INI files are real files of that fake, parsed on every call and rewritten whole on
// every change, so a test can lay out a language or settings file as text and read back
// what the code wrote. The buffer rules of the raw section calls are the platform's (see
// IProfile); the contract tests run the same cases against this fake and the real one.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>
#include "platform/os/Profile.h"
#include "tests/support/fakes/FakeFileSystem.h"

namespace qk::test {

class FakeProfile : public os::IProfile {
public:
    FakeProfile();                               // with a file system of its own
    explicit FakeProfile(FakeFileSystem& files); // not owned; must outlive the profile

    FakeFileSystem& Files() { return *files_; }
    // Lays out a whole INI file (folders on the way are created).
    void SetFileText(const std::u16string& file, const std::u16string& text,
                     TextEncoding encoding = TextEncoding::Utf16LeBom) {
        files_->AddTextFile(file, text, encoding);
    }
    std::u16string FileText(const std::u16string& file) const { return files_->TextOf(file); }
    // How many times a change was written to a file.
    int SaveCount() const { return saves_; }

    // os::IProfile
    std::u16string GetString(const std::u16string& file, const std::u16string& section,
                             const std::u16string& key, const std::u16string& def) override;
    int GetInt(const std::u16string& file, const std::u16string& section, const std::u16string& key,
               int def) override;
    bool WriteString(const std::u16string& file, const std::u16string& section,
                     const std::u16string& key, const std::u16string& value) override;
    bool DeleteKey(const std::u16string& file, const std::u16string& section,
                   const std::u16string& key) override;
    bool DeleteSection(const std::u16string& file, const std::u16string& section) override;
    uint32_t GetSectionRaw(const std::u16string& file, const std::u16string& section,
                           char16_t* buffer, uint32_t size) override;
    uint32_t GetSectionNamesRaw(const std::u16string& file, char16_t* buffer,
                                uint32_t size) override;

private:
    struct Entry {
        std::u16string name;
        bool hasValue = false; // a line without '=' has a name only
        std::u16string value;
    };
    struct Section {
        std::u16string name; // the first section holds the lines before any header: ""
        std::vector<Entry> entries;
    };
    struct Ini {
        std::vector<Section> sections;
        TextEncoding encoding = TextEncoding::Ansi; // new files are ANSI
    };
    enum class OpenResult { Read, NoFile, Failed };
    struct Parsed {
        std::vector<uint8_t> bytes;
        Ini ini;
    };

    // A copy to change and save.
    OpenResult Load(const std::u16string& file, bool forWriting, Ini& ini);
    // For reading only: kept until the file's bytes change.
    Ini& Read(const std::u16string& file, OpenResult& opened);
    bool Save(const std::u16string& file, const Ini& ini);
    static Ini Parse(const std::u16string& text);
    static std::u16string Serialize(const Ini& ini);
    static Section* FindSectionTrimmed(Ini& ini, const std::u16string& name);
    static Entry* FindEntryTrimmed(Section& section, const std::u16string& name);

    std::unique_ptr<FakeFileSystem> own_;
    FakeFileSystem* files_;
    int saves_ = 0;
    std::map<std::u16string, Parsed> parsed_; // the last reading of each file
    std::recursive_mutex mutex_;
    Ini nothing_; // what a missing or empty file reads as
};

} // namespace qk::test
