// What the maker's portable sources take from the Windows C runtime, for the native build
// (forced into those sources by tests/native/CMakeLists.txt; defined in NativeWinText.cpp).
#pragma once
#include <cwchar>

// As the runtime's in the "C" locale: ASCII letters compare without case.
int _wcsicmp(const wchar_t* a, const wchar_t* b);
