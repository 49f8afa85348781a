// Reads and selects the rows of a report list that belongs to another process. The list's
// messages carry pointers, which the platform does not carry across processes, so the item
// records live in memory lent by the list's own process.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace qk::test {

// The texts of the first `columns` columns of every row; empty when the list cannot be read.
std::vector<std::vector<std::wstring>> RemoteListRows(HWND list, int columns);
// Selects and focuses the row (-1: clears the selection); true when the list took it.
bool SelectRemoteListRow(HWND list, int row);

} // namespace qk::test
