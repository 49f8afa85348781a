// The two worlds the contract tests run in: the in-memory fakes, and the real
// implementations over a fresh folder of the real file system. Both offer the same set-up
// and inspection, so one typed test checks that the fake and the platform agree.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"
#include "platform/os/FileImageProfile.h"
#include "platform/os/SectionCacheProfile.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::u16string& Path() const { return path_; }

private:
    std::u16string path_;
};

class RealWorld {
public:
    static constexpr const char* kName = "Real";
    RealWorld();
    os::IProfile& Profile();
    os::IFileSystem& Files();
    const std::u16string& Root() const { return temp_.Path(); }
    void PutBytes(const std::u16string& path, const std::vector<uint8_t>& data);
    void PutText(const std::u16string& path, const std::u16string& text, TextEncoding encoding);
    std::vector<uint8_t> Bytes(const std::u16string& path);
    void SetReadOnly(const std::u16string& path, bool readOnly);
    // Whether opening the (read-only) file for writing fails. Wine leaves the check to the
    // host, which lets the superuser write anyway.
    bool ReadOnlyIsEnforced(const std::u16string& path);
    std::vector<std::u16string> Entries(const std::u16string& folder); // files and folders

private:
    TempFolder temp_;
};

// The real world read through the section cache: what it answers is what the platform does.
class CachedWorld : public RealWorld {
public:
    static constexpr const char* kName = "Cached";
    os::IProfile& Profile() { return cached_; }

private:
    os::SectionCacheProfile cached_{RealWorld::Profile(), RealWorld::Files()};
};

// Every call through a file image of its own over the platform, committed at once: what the
// image reads and writes is what the platform does.
class ImageEachCallProfile : public os::IProfile {
public:
    ImageEachCallProfile(os::IProfile& inner, os::IFileSystem& files)
        : inner_(inner), files_(files) {}
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
    template <typename Call> auto Pass(Call call);
    os::IProfile& inner_;
    os::IFileSystem& files_;
};

class ImageWorld : public RealWorld {
public:
    static constexpr const char* kName = "Image";
    os::IProfile& Profile() { return image_; }

private:
    ImageEachCallProfile image_{RealWorld::Profile(), RealWorld::Files()};
};

class FakeWorld {
public:
    static constexpr const char* kName = "Fake";
    FakeWorld();
    os::IProfile& Profile() { return profile_; }
    os::IFileSystem& Files() { return files_; }
    const std::u16string& Root() const { return root_; }
    void PutBytes(const std::u16string& path, const std::vector<uint8_t>& data);
    void PutText(const std::u16string& path, const std::u16string& text, TextEncoding encoding);
    std::vector<uint8_t> Bytes(const std::u16string& path);
    void SetReadOnly(const std::u16string& path, bool readOnly);
    bool ReadOnlyIsEnforced(const std::u16string&) { return true; }
    std::vector<std::u16string> Entries(const std::u16string& folder);

private:
    std::u16string root_;
    FakeFileSystem files_;
    FakeProfile profile_;
};

// Printable form of UTF-16 text for failure messages (non-ASCII as \uXXXX, NUL as \0).
std::string Show(const std::u16string& text);
std::string Show(const char16_t* buffer, size_t count);

} // namespace qk::test
