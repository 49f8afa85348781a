// In-memory file system with the platform's rules: folders are made one level at a time,
// a file needs its folder, read-only files refuse writes and deletion, only empty folders
// can be removed, and a failed write leaves the old file (or no file) behind. Drive roots
// ("C:") always exist. Names compare case-insensitively; '/' is taken as '\'.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "platform/os/FileSystem.h"
#include "tests/support/fakes/FakeText.h"

#pragma push_macro("CreateDirectory")
#pragma push_macro("RemoveDirectory")
#pragma push_macro("DeleteFile")
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile

namespace qk::test {

class FakeFileSystem : public os::IFileSystem {
public:
    // Set-up for tests; the folders on the way are created.
    void AddFolder(const std::u16string& path);
    void AddFile(const std::u16string& path, const std::vector<uint8_t>& data);
    void AddTextFile(const std::u16string& path, const std::u16string& text,
                     TextEncoding encoding = TextEncoding::Utf16LeBom);
    void SetReadOnly(const std::u16string& path, bool readOnly);
    // While set, every WriteFile fails as on a full disk (the old file stays).
    void FailWrites(bool fail) { failWrites_ = fail; }
    // Lets `count` more writes succeed, then fails every later one (a disk filling up).
    void FailWritesAfter(int count) { writesLeft_ = count; }
    void AddDosDevice(const std::u16string& name, std::vector<std::u16string> targets);

    // Inspection for tests.
    std::u16string TextOf(const std::u16string& path, TextEncoding* encoding = nullptr) const;
    std::vector<std::u16string> AllPaths() const; // every file and folder, as created
    bool ParentFolderExists(const std::u16string& path) const;
    bool IsReadOnly(const std::u16string& path) const;

    // os::IFileSystem
    bool Exists(const std::u16string& path) override;
    bool IsDirectory(const std::u16string& path) override;
    bool CreateDirectory(const std::u16string& path) override;
    bool RemoveDirectory(const std::u16string& path) override;
    bool DeleteFile(const std::u16string& path) override;
    bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) override;
    bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) override;
    std::vector<std::u16string> ListFiles(const std::u16string& folder,
                                          const std::u16string& pattern) override;
    std::vector<std::u16string> DosDeviceTargets(const std::u16string& name) override;

    // Path helpers shared with the other fakes.
    // A file's bytes as held (null for a folder or nothing), for a reader that only compares.
    const std::vector<uint8_t>* FileBytes(const std::u16string& path) const;
    static std::u16string Normalize(const std::u16string& path); // case-folded lookup key
    static std::u16string ParentOf(const std::u16string& path);  // "" for a root or bare name
    static bool MatchesPattern(const std::u16string& name, const std::u16string& pattern);

private:
    struct Node {
        std::u16string path; // as first given
        bool folder = false;
        bool readOnly = false;
        std::vector<uint8_t> data;
    };
    const Node* Find(const std::u16string& path) const;
    bool FolderExists(const std::u16string& path) const;

    std::map<std::u16string, Node> nodes_; // by Normalize(path)
    std::map<std::u16string, std::vector<std::u16string>> devices_;
    bool failWrites_ = false;
    int writesLeft_ = -1; // -1: no limit
};

} // namespace qk::test

#pragma pop_macro("DeleteFile")
#pragma pop_macro("RemoveDirectory")
#pragma pop_macro("CreateDirectory")
