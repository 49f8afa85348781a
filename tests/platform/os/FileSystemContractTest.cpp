// The same file and folder cases against the fake and the real file system.
// <windows.h> comes first on purpose: the seam's CreateDirectory, RemoveDirectory and
// DeleteFile must work whichever comes first.
#include <windows.h>
#include <gtest/gtest.h>
#include <algorithm>
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

template <typename World> class FileSystemContract : public ::testing::Test {
protected:
    World world;
    os::IFileSystem& files = world.Files();
    std::u16string Path(const std::u16string& name) { return world.Root() + u"\\" + name; }
    std::vector<std::u16string> SortedEntries(const std::u16string& folder) {
        std::vector<std::u16string> names = world.Entries(folder);
        std::sort(names.begin(), names.end());
        return names;
    }
};

struct WorldNames {
    template <typename T> static std::string GetName(int) { return T::kName; }
};
using Worlds = ::testing::Types<FakeWorld, RealWorld>;
TYPED_TEST_SUITE(FileSystemContract, Worlds, WorldNames);

std::string Names(const std::vector<std::u16string>& names) {
    std::string out;
    for (const auto& n : names) {
        out += (out.empty() ? "" : ",") + Show(n);
    }
    return out;
}

TYPED_TEST(FileSystemContract, WriteThenReadGivesTheSameBytesAndReplacesTheOldFile) {
    const auto file = this->Path(u"data.bin");
    std::vector<uint8_t> data(70000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>(i * 7);
    }
    ASSERT_TRUE(this->files.WriteFile(file, data));
    std::vector<uint8_t> back = {1, 2, 3};
    ASSERT_TRUE(this->files.ReadFile(file, back));
    EXPECT_EQ(back, data);
    ASSERT_TRUE(this->files.WriteFile(file, {9, 8}));
    ASSERT_TRUE(this->files.ReadFile(file, back));
    EXPECT_EQ(back, (std::vector<uint8_t>{9, 8}));
    ASSERT_TRUE(this->files.WriteFile(file, {}));
    ASSERT_TRUE(this->files.ReadFile(file, back));
    EXPECT_TRUE(back.empty());
    // Only the file itself is left: no temporary file beside it.
    EXPECT_EQ(Names(this->SortedEntries(this->world.Root())), "data.bin");
}

TYPED_TEST(FileSystemContract, WriteIntoAMissingFolderFailsAndLeavesNothing) {
    EXPECT_FALSE(this->files.WriteFile(this->Path(u"missing\\data.bin"), {1, 2, 3}));
    EXPECT_FALSE(this->files.Exists(this->Path(u"missing")));
    EXPECT_EQ(Names(this->SortedEntries(this->world.Root())), "");
}

TYPED_TEST(FileSystemContract, WriteOverAReadOnlyFileFailsAndKeepsItWhole) {
    const auto file = this->Path(u"locked.dat");
    this->world.PutBytes(file, {1, 2, 3, 4});
    this->world.SetReadOnly(file, true);
    EXPECT_FALSE(this->files.WriteFile(file, {5, 6}));
    EXPECT_EQ(this->world.Bytes(file), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(Names(this->SortedEntries(this->world.Root())), "locked.dat");
    this->world.SetReadOnly(file, false);
}

TYPED_TEST(FileSystemContract, WriteOverAFolderFails) {
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"sub")));
    EXPECT_FALSE(this->files.WriteFile(this->Path(u"sub"), {1}));
    EXPECT_TRUE(this->files.IsDirectory(this->Path(u"sub")));
    EXPECT_EQ(Names(this->SortedEntries(this->world.Root())), "sub");
}

TYPED_TEST(FileSystemContract, ReadOfMissingFileOrFolderFails) {
    std::vector<uint8_t> data = {7};
    EXPECT_FALSE(this->files.ReadFile(this->Path(u"none.bin"), data));
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"sub")));
    EXPECT_FALSE(this->files.ReadFile(this->Path(u"sub"), data));
    EXPECT_EQ(data, (std::vector<uint8_t>{7}));
}

TYPED_TEST(FileSystemContract, FoldersAreMadeOneLevelAtATime) {
    EXPECT_FALSE(this->files.CreateDirectory(this->Path(u"a\\b")));
    EXPECT_FALSE(this->files.Exists(this->Path(u"a")));
    EXPECT_TRUE(this->files.CreateDirectory(this->Path(u"a")));
    EXPECT_TRUE(this->files.CreateDirectory(this->Path(u"a"))); // exists: still true
    EXPECT_TRUE(this->files.CreateDirectory(this->Path(u"a\\b")));
    EXPECT_TRUE(this->files.IsDirectory(this->Path(u"A\\B"))); // names ignore case
    EXPECT_TRUE(this->files.Exists(this->Path(u"a\\b\\")));    // a trailing '\' is fine
    this->world.PutBytes(this->Path(u"file"), {1});
    EXPECT_FALSE(this->files.CreateDirectory(this->Path(u"file"))); // a file of that name
    EXPECT_TRUE(this->files.Exists(this->Path(u"file")));
    EXPECT_FALSE(this->files.IsDirectory(this->Path(u"file")));
}

TYPED_TEST(FileSystemContract, RemoveDirectoryRefusesAFolderThatIsNotEmpty) {
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"TMP")));
    this->world.PutBytes(this->Path(u"TMP\\scratch.tmp"), {1});
    EXPECT_FALSE(this->files.RemoveDirectory(this->Path(u"TMP")));
    EXPECT_TRUE(this->files.Exists(this->Path(u"TMP\\scratch.tmp")));
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"Outer")));
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"Outer\\Inner")));
    EXPECT_FALSE(this->files.RemoveDirectory(this->Path(u"Outer"))); // holds a folder
    EXPECT_TRUE(this->files.DeleteFile(this->Path(u"TMP\\scratch.tmp")));
    EXPECT_TRUE(this->files.RemoveDirectory(this->Path(u"TMP")));
    EXPECT_FALSE(this->files.Exists(this->Path(u"TMP")));
    EXPECT_FALSE(this->files.RemoveDirectory(this->Path(u"TMP"))); // gone already
    this->world.PutBytes(this->Path(u"plain"), {1});
    EXPECT_FALSE(this->files.RemoveDirectory(this->Path(u"plain"))); // not a folder
}

TYPED_TEST(FileSystemContract, DeleteFileRemovesFilesOnly) {
    EXPECT_FALSE(this->files.DeleteFile(this->Path(u"none")));
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"sub")));
    EXPECT_FALSE(this->files.DeleteFile(this->Path(u"sub")));
    this->world.PutBytes(this->Path(u"R40LOGO.tlg"), {1});
    EXPECT_TRUE(this->files.DeleteFile(this->Path(u"r40logo.TLG")));
    EXPECT_FALSE(this->files.Exists(this->Path(u"R40LOGO.tlg")));
}

TYPED_TEST(FileSystemContract, ListFilesMatchesThePatternAndLeavesOutFolders) {
    for (const char16_t* name :
         {u"0409.DAT", u"0411.dat", u"ABC.DAT", u"readme.txt", u"x.DATA", u"0407.DAT.bak"}) {
        this->world.PutBytes(this->Path(name), {1});
    }
    ASSERT_TRUE(this->files.CreateDirectory(this->Path(u"DIR.DAT")));
    EXPECT_EQ(Names(this->files.ListFiles(this->world.Root(), u"*.DAT")),
              "0409.DAT,0411.dat,ABC.DAT");
    EXPECT_EQ(Names(this->files.ListFiles(this->world.Root(), u"04??.DAT")), "0409.DAT,0411.dat");
    EXPECT_EQ(Names(this->files.ListFiles(this->world.Root(), u"*.*")),
              "0407.DAT.bak,0409.DAT,0411.dat,ABC.DAT,readme.txt,x.DATA");
    EXPECT_EQ(Names(this->files.ListFiles(this->Path(u"missing"), u"*")), "");
}

TYPED_TEST(FileSystemContract, UndefinedDosDeviceHasNoTargets) {
    EXPECT_TRUE(this->files.DosDeviceTargets(u"QKNOSUCHDEVICE7").empty());
}

// ---- Only the real file system -----------------------------------------------------------

TEST(Win32FileSystem, DriveLetterHasADosDeviceTarget) {
    const auto targets = os::RealFileSystem().DosDeviceTargets(u"C:");
    ASSERT_FALSE(targets.empty());
    EXPECT_FALSE(targets[0].empty());
}

TEST(Win32FileSystem, WriteOverAFileOpenedWithoutSharingFailsAndKeepsIt) {
    RealWorld world;
    const std::u16string file = world.Root() + u"\\busy.dat";
    world.PutBytes(file, {1, 2, 3});
    HANDLE held = CreateFileW(reinterpret_cast<const wchar_t*>(file.c_str()), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(world.Files().WriteFile(file, {4, 5}));
    CloseHandle(held);
    EXPECT_EQ(world.Bytes(file), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(world.Entries(world.Root()).size(), 1u); // the temporary file is gone
}

} // namespace
} // namespace qk::test
