#include "tests/app/RemoteListView.h"

#include <commctrl.h>
#include <cstddef>

namespace qk::test {
namespace {

constexpr int kTextChars = 300;

// A block of memory in the list's process, released with the object.
class RemoteBlock {
public:
    RemoteBlock(HWND window, std::size_t size) : size_(size) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        process_ =
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        if (process_)
            address_ =
                ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (address_)
            ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            ::CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Usable() const { return address_ != nullptr; }
    BYTE* Address() const { return static_cast<BYTE*>(address_); }
    bool Write(std::size_t offset, const void* data, std::size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               ::WriteProcessMemory(process_, Address() + offset, data, size, &done) &&
               done == size;
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               ::ReadProcessMemory(process_, Address() + offset, data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t size_;
};

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

} // namespace

std::vector<std::vector<std::wstring>> RemoteListRows(HWND list, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    const std::size_t textOffset = sizeof(LVITEMW);
    RemoteBlock block(list, textOffset + kTextChars * sizeof(wchar_t));
    if (!block.Usable())
        return rows;
    const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<LPWSTR>(block.Address() + textOffset);
            item.cchTextMax = kTextChars;
            wchar_t text[kTextChars] = {};
            if (!block.Write(0, &item, sizeof(item)) ||
                !block.Write(textOffset, text, sizeof(text)))
                return {};
            Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(block.Address()));
            if (!block.Read(textOffset, text, sizeof(text)))
                return {};
            text[kTextChars - 1] = L'\0';
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

bool SelectRemoteListRow(HWND list, int row) {
    RemoteBlock block(list, sizeof(LVITEMW));
    if (!block.Usable())
        return false;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = row >= 0 ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    if (!block.Write(0, &item, sizeof(item)))
        return false;
    return Send(list, LVM_SETITEMSTATE,
                row >= 0 ? static_cast<WPARAM>(row) : static_cast<WPARAM>(-1),
                reinterpret_cast<LPARAM>(block.Address())) == TRUE;
}

} // namespace qk::test
