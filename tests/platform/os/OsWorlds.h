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
