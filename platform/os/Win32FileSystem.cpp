#include <windows.h>
#include <algorithm>
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "platform/os/Win32FileSystem.h"
#include "platform/os/Wildcard.h"

// The seam's operation names, not the <windows.h> macros (see FileSystem.h).
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile

namespace qk::os {
namespace {

std::u16string FolderOf(const std::u16string& path) {
    const size_t slash = path.find_last_of(u"\\/");
    if (slash == std::u16string::npos) {
        return u".";
    }
    if (slash == 2 && path.size() > 1 && path[1] == u':') {
        return path.substr(0, 3); // "C:\"
    }
    return path.substr(0, slash);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) {
            CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        const bool ok = h_ == INVALID_HANDLE_VALUE || CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

bool WriteAll(HANDLE file, const std::vector<uint8_t>& data) {
    size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, data.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

bool Win32FileSystem::Exists(const std::u16string& path) {
    return GetFileAttributesW(WidePtr(path)) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::Stamp(const std::u16string& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePtr(path), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    auto join = [](DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; };
    stamp.writeTime = join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    stamp.creationTime =
        join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime);
    stamp.size = join(data.nFileSizeHigh, data.nFileSizeLow);
    return true;
}

bool Win32FileSystem::IsDirectory(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::CreateDirectory(const std::u16string& path) {
    if (::CreateDirectoryW(WidePtr(path), nullptr)) {
        return true;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path);
}

bool Win32FileSystem::RemoveDirectory(const std::u16string& path) {
    return ::RemoveDirectoryW(WidePtr(path)) != FALSE;
}

bool Win32FileSystem::DeleteFile(const std::u16string& path) {
    return ::DeleteFileW(WidePtr(path)) != FALSE;
}

bool Win32FileSystem::ReadFile(const std::u16string& path, std::vector<uint8_t>& data) {
    Handle file(CreateFileW(WidePtr(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                        &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break; // the file shrank meanwhile
        }
        done += got;
    }
    bytes.resize(done);
    data = std::move(bytes);
    return true;
}

bool Win32FileSystem::WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) {
    WriteFailure failure;
    return WriteFileReporting(path, data, failure);
}

bool Win32FileSystem::WriteFileReporting(const std::u16string& path,
                                         const std::vector<uint8_t>& data, WriteFailure& failure) {
    failure = {};
    // A folder or a read-only file in the target's place refuses the replacement; find out
    // before anything is written.
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        failure.error = ERROR_ACCESS_DENIED;
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The temporary file is created (empty) by the platform under a unique name in the
    // target's folder, so the final rename never crosses volumes.
    wchar_t temp[MAX_PATH + 1];
    if (!GetTempFileNameW(WidePtr(FolderOf(path)), L"qk", 0, temp)) {
        failure.error = GetLastError();
        return false;
    }
    bool ok = false;
    {
        Handle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        failure.made = file.valid();
        ok = file.valid() && WriteAll(file.get(), data) && FlushFileBuffers(file.get()) &&
             file.close();
    }
    if (ok) {
        failure.made = false; // a failed rename leaves the target as it was: nothing was made
        ok = MoveFileExW(temp, WidePtr(path), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!ok) {
        const DWORD error = GetLastError();
        ::DeleteFileW(temp);
        failure.error = error;
        SetLastError(error);
    }
    return ok;
}

std::vector<std::u16string> Win32FileSystem::ListFiles(const std::u16string& folder,
                                                       const std::u16string& pattern) {
    std::vector<std::u16string> names;
    std::u16string query = folder;
    if (!query.empty() && query.back() != u'\\' && query.back() != u'/') {
        query += u'\\';
    }
    query += pattern;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(WidePtr(query), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        // The platform also matches the short 8.3 names; only the long name counts here.
        const std::u16string name = FromWide(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && WildcardMatch(name, pattern)) {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
        return CompareStringOrdinal(WidePtr(a), -1, WidePtr(b), -1, TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

std::vector<std::u16string> Win32FileSystem::DosDeviceTargets(const std::u16string& name) {
    std::vector<std::u16string> targets;
    std::vector<wchar_t> buffer(4096);
    const DWORD n =
        QueryDosDeviceW(WidePtr(name), buffer.data(), static_cast<DWORD>(buffer.size()));
    // The answer is a list of NUL-terminated strings ended by one more NUL.
    for (DWORD i = 0; i < n && buffer[i] != 0;) {
        std::wstring target(buffer.data() + i);
        i += static_cast<DWORD>(target.size()) + 1;
        targets.push_back(FromWide(target));
    }
    return targets;
}

IFileSystem& RealFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

} // namespace qk::os
