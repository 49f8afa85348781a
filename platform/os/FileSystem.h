// Files and folders behind a seam. Paths are full Windows paths in UTF-16.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// <windows.h> defines CreateDirectory, RemoveDirectory and DeleteFile as macros naming the
// ...W functions. The seam's operations keep their names in every file: they are declared
// with those macros suspended, and the ...W spellings that a call turns into where
// <windows.h> came first forward to them. Classes that override them suspend the macros
// around their declarations and definitions the same way.
#pragma push_macro("CreateDirectory")
#pragma push_macro("RemoveDirectory")
#pragma push_macro("DeleteFile")
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile

namespace qk::os {

// What tells one state of a file from another without reading it: a rewrite or a
// replacement changes at least one of these.
struct FileStamp {
    uint64_t writeTime = 0;
    uint64_t creationTime = 0;
    uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

// How far a failed whole-file write came.
struct WriteFailure {
    bool made = false;  // the new file was made and writing its bytes failed
    uint32_t error = 0; // the platform's error code; 0 when not known
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // True for an existing file or folder.
    virtual bool Exists(const std::u16string& path) = 0;
    virtual bool IsDirectory(const std::u16string& path) = 0;
    // Creates one folder level; true when it exists afterwards.
    virtual bool CreateDirectory(const std::u16string& path) = 0;
    // Removes an empty folder only; a folder with files stays and the answer is false.
    virtual bool RemoveDirectory(const std::u16string& path) = 0;
    virtual bool DeleteFile(const std::u16string& path) = 0;
    // Whole-file binary read; false when the file cannot be opened or read.
    virtual bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) = 0;
    // Whole-file binary write, replacing the file; false (and no partial file) on failure:
    // a missing folder, a read-only or locked file, a folder of that name, a full disk.
    virtual bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) = 0;
    // The same write, telling on failure how far it came, for callers whose results name the
    // failed step. A file system that cannot tell says only that nothing was made.
    virtual bool WriteFileReporting(const std::u16string& path, const std::vector<uint8_t>& data,
                                    WriteFailure& failure) {
        failure = {};
        return WriteFile(path, data);
    }
    // Names (not paths) of the files in a folder whose long names match a wildcard pattern
    // such as u"*.DAT" (see Wildcard.h), sorted without case; folders are not listed.
    virtual std::vector<std::u16string> ListFiles(const std::u16string& folder,
                                                  const std::u16string& pattern) = 0;
    // The targets of a DOS device name such as u"COM3" (for a serial port the driver's
    // device, e.g. u"\\Device\\Serial0"); empty when the name is not defined.
    virtual std::vector<std::u16string> DosDeviceTargets(const std::u16string& name) = 0;
    // The stamp of an existing file; false for a folder, a missing file, or a file system
    // that cannot tell (callers then keep nothing of the file).
    virtual bool Stamp(const std::u16string& /*path*/, FileStamp& /*stamp*/) { return false; }

    // The spellings that calls take after <windows.h>.
    bool CreateDirectoryW(const std::u16string& path) { return CreateDirectory(path); }
    bool RemoveDirectoryW(const std::u16string& path) { return RemoveDirectory(path); }
    bool DeleteFileW(const std::u16string& path) { return DeleteFile(path); }
};

} // namespace qk::os

#pragma pop_macro("DeleteFile")
#pragma pop_macro("RemoveDirectory")
#pragma pop_macro("CreateDirectory")
