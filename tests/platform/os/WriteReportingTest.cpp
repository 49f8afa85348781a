// What a failed whole-file write says of how far it came: the settings command file's result
// codes tell "could not be created" from "writing failed" by it.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

TEST(WriteReporting, RealRefusalsBeforeAnythingIsMadeSayNothingWasMade) {
    RealWorld world;
    const std::u16string locked = world.Root() + u"\\locked.dat";
    world.PutBytes(locked, {1, 2, 3});
    world.SetReadOnly(locked, true);
    const std::u16string busy = world.Root() + u"\\busy.dat";
    world.PutBytes(busy, {4, 5});
    HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(busy.c_str()), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    struct Row {
        const char* name;
        std::u16string path;
        uint32_t error; // 0: any error but none
    };
    const Row rows[] = {
        {"read-only target", locked, ERROR_ACCESS_DENIED},
        {"missing folder", world.Root() + u"\\missing\\out.dat", 0},
        {"target held without sharing (the rename fails)", busy, 0},
    };
    for (const Row& row : rows) {
        os::WriteFailure failure{true, 12345};
        EXPECT_FALSE(world.Files().WriteFileReporting(row.path, {9, 9}, failure)) << row.name;
        EXPECT_FALSE(failure.made) << row.name;
        if (row.error)
            EXPECT_EQ(failure.error, row.error) << row.name;
        else
            EXPECT_NE(failure.error, 0u) << row.name;
        EXPECT_NE(failure.error, 12345u) << row.name;
    }
    CloseHandle(held);
    EXPECT_EQ(world.Bytes(locked), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(world.Bytes(busy), (std::vector<uint8_t>{4, 5}));
    world.SetReadOnly(locked, false);
}

} // namespace
} // namespace qk::test
