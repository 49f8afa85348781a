// Files and folders behind a seam. Paths are full Windows paths in UTF-16.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::os {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    virtual bool Exists(const std::u16string& path) = 0;
    virtual bool IsDirectory(const std::u16string& path) = 0;
    // Creates one folder level; true when it exists afterwards.
    virtual bool CreateDirectory(const std::u16string& path) = 0;
    // Removes an empty folder only; a folder with files stays and the answer is false.
    virtual bool RemoveDirectory(const std::u16string& path) = 0;
    virtual bool DeleteFile(const std::u16string& path) = 0;
    // Whole-file binary read; false when the file cannot be opened or read.
    virtual bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) = 0;
    // Whole-file binary write, replacing the file; false (and no partial file) on failure.
    virtual bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) = 0;
    // Names (not paths) of the files in a folder matching a wildcard pattern such as u"*.DAT".
    virtual std::vector<std::u16string> ListFiles(const std::u16string& folder,
                                                  const std::u16string& pattern) = 0;
};

} // namespace qk::os
