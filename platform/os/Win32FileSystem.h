// IFileSystem over the platform's file functions.
#pragma once
#include "platform/os/FileSystem.h"

#pragma push_macro("CreateDirectory")
#pragma push_macro("RemoveDirectory")
#pragma push_macro("DeleteFile")
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile

namespace qk::os {

class Win32FileSystem : public IFileSystem {
public:
    bool Exists(const std::u16string& path) override;
    bool IsDirectory(const std::u16string& path) override;
    bool CreateDirectory(const std::u16string& path) override;
    bool RemoveDirectory(const std::u16string& path) override;
    bool DeleteFile(const std::u16string& path) override;
    bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) override;
    // Writes a temporary file beside the target and then puts it in the target's place, so
    // that a failure at any point leaves the old file (or none) and no partial one.
    bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) override;
    bool WriteFileReporting(const std::u16string& path, const std::vector<uint8_t>& data,
                            WriteFailure& failure) override;
    std::vector<std::u16string> ListFiles(const std::u16string& folder,
                                          const std::u16string& pattern) override;
    std::vector<std::u16string> DosDeviceTargets(const std::u16string& name) override;
    bool Stamp(const std::u16string& path, FileStamp& stamp) override;
};

} // namespace qk::os

#pragma pop_macro("DeleteFile")
#pragma pop_macro("RemoveDirectory")
#pragma pop_macro("CreateDirectory")
