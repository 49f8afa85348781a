// Loading the maker's libraries and the plug-ins. The program runs with administrator rights,
// so a library is taken only from a folder the program names (its own, or the maker's), by a
// plain file name: never from the current folder, the search path or a path a file wrote.
#pragma once
#include <windows.h>
#include <string>

namespace qk {

// The folder of the running program (.exe), ending in a backslash; empty when unknown.
std::wstring ProgramFolder();

// Loads the library `name`, which must be one plain file name, from `folder`; the libraries
// it imports are looked for beside it first. Null when the name is not plain, the folder is
// empty or the library cannot be loaded.
HMODULE LoadLibraryFrom(const std::wstring& folder, const std::wstring& name);

// An entry point of a library of the system's folder, the library loaded on first use and
// kept: for libraries that only a later action needs, so that they are not loaded at start.
// Null when the library or the entry point is missing.
FARPROC SystemLibraryProc(const wchar_t* library, const char* name);
template <typename Function>
Function* SystemLibraryFunction(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(SystemLibraryProc(library, name)));
}

// For the whole process: drops the current folder from the libraries' search path and, where
// the platform offers it, keeps the default search to the program's and the system's folders.
// Call once at start, before any library is loaded.
void RestrictLibrarySearch();

} // namespace qk
