#include <windows.h>

#include "app/status/SettingsCommandFileWriter.h"

#include <algorithm>
#include <new>
#include <vector>
#include "app/status/SettingsCommandFile.h"
#include "platform/Text.h"

namespace qk::app {
namespace {

// The header's model field holds the text, CR LF and at least one NUL.
constexpr size_t kModelBytes = sizeof(SettingsFileHeader::modelName) - 3;

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_handle(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool Close() {
        const bool ok = !Valid() || CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE m_handle;
};

int32_t Failed(int32_t stepCode) {
    return SettingsFileErrorCode(GetLastError(), stepCode);
}

int32_t ReadLogo(const std::u16string& path, std::vector<uint8_t>& logo) {
    FileHandle file(CreateFileW(WidePtr(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return Failed(kSettingsFileCannotOpenLogo);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return Failed(kSettingsFileCannotRead);
    if (size.QuadPart > 0x7FFFFFFF - static_cast<LONGLONG>(kMaxSettingsSection) - 1024)
        return kSettingsFileNoMemory;
    try {
        logo.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return kSettingsFileNoMemory;
    }
    size_t done = 0;
    while (done < logo.size()) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(logo.size() - done, 1u << 20));
        if (!::ReadFile(file.Get(), logo.data() + done, chunk, &read, nullptr))
            return Failed(kSettingsFileCannotRead);
        if (read == 0) // the file shrank while it was read
            return kSettingsFileCannotRead;
        done += read;
    }
    return kSettingsFileOk;
}

// The file system puts the file in place only once it is written whole.
int32_t WriteOutput(os::IFileSystem& files, const std::u16string& path,
                    const std::vector<uint8_t>& data) {
    os::WriteFailure failure;
    if (files.WriteFileReporting(path, data, failure))
        return kSettingsFileOk;
    return SettingsFileErrorCode(failure.error, failure.made ? kSettingsFileWriteFailed
                                                             : kSettingsFileCannotCreate);
}

SettingsFileTime LocalNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
}

} // namespace

std::string ModelNameForHeader(const std::u16string& modelName) {
    std::string bytes;
    for (size_t i = 0; i < modelName.size();) {
        // A surrogate pair is one character.
        const bool pair = i + 1 < modelName.size() && modelName[i] >= 0xD800 &&
                          modelName[i] <= 0xDBFF && modelName[i + 1] >= 0xDC00 &&
                          modelName[i + 1] <= 0xDFFF;
        const int units = pair ? 2 : 1;
        char buffer[16];
        const int n =
            WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(modelName.data() + i),
                                units, buffer, sizeof buffer, nullptr, nullptr);
        if (n <= 0 || bytes.size() + static_cast<size_t>(n) > kModelBytes)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
        i += static_cast<size_t>(units);
    }
    return bytes;
}

int32_t WriteSettingsFile(IPluginDataMgr& store, const std::u16string& modelName,
                          const std::u16string& outputPath, const std::u16string& logoPath,
                          bool logoPresent, const SettingsFileOptions& options,
                          os::IFileSystem& files) {
    if (outputPath.empty())
        return kSettingsFileNoPath;
    std::vector<uint8_t> logo;
    const bool withLogo = logoPresent && !logoPath.empty();
    if (withLogo) {
        const int32_t read = ReadLogo(logoPath, logo);
        if (read != kSettingsFileOk)
            return read;
    }
    SettingsFileSource source;
    source.modelName = ModelNameForHeader(modelName);
    source.logo = withLogo ? &logo : nullptr;
    source.writtenAt = LocalNow();
    source.enableFontA = options.enableFontA;
    source.enableFontB = options.enableFontB;
    source.logoSettings = options.logoSettings;
    std::vector<uint8_t> file;
    const int32_t built = BuildSettingsCommandFile(store, source, file);
    if (built != kSettingsFileOk)
        return built;
    return WriteOutput(files, outputPath, file);
}

} // namespace qk::app
