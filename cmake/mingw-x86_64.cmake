# Cross toolchain: 64-bit Windows through mingw-w64 (the test build for machines whose kernel
# runs no 32-bit programs).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOL_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
