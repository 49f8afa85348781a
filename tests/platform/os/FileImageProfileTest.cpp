// A pass through a file image against the same calls made one by one through the platform:
// the same file at the end, nothing written before the commit, and what the image cannot
// write itself reaching the file in order. (Single calls are in the contract tests.)
#include <gtest/gtest.h>
#include "platform/os/FileImageProfile.h"
#include "tests/platform/os/OsWorlds.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

struct Write {
    const char16_t* section;
    const char16_t* key;
    std::u16string value;
};

class FileImagePass : public ::testing::Test {
protected:
    RealWorld world;
    std::u16string Twin(const char16_t* name, const std::u16string& text, TextEncoding encoding) {
        const std::u16string file = world.Root() + u"\\" + name;
        world.PutText(file, text, encoding);
        return file;
    }
    // The writes through the platform into one file and through one image into its twin.
    void WriteBoth(const std::u16string& platformFile, const std::u16string& imageFile,
                   os::FileImageProfile& image, const std::vector<Write>& writes) {
        for (const Write& w : writes) {
            EXPECT_TRUE(world.Profile().WriteString(platformFile, w.section, w.key, w.value))
                << Show(w.key);
            EXPECT_TRUE(image.WriteString(imageFile, w.section, w.key, w.value)) << Show(w.key);
        }
    }
};

const std::u16string kMessyText =
    u"first=0\r\n\r\n[Alpha]\r\nk1 = v1\r\n;comment=x\r\nbare\r\n=e\r\n=f\r\n\n[B]\r\n"
    u"[alpha]\r\nk1=dup\r\n[ Gamma ]\r\n  spaced=  q  \r\n[broken\r\nlast=\"x\"";

TEST_F(FileImagePass, ManyWritesMakeThePlatformsFileInOneWrite) {
    const auto platformFile = Twin(u"p.ini", kMessyText, TextEncoding::Utf16LeBom);
    const auto imageFile = Twin(u"i.ini", kMessyText, TextEncoding::Utf16LeBom);
    // Both as the platform lays a file out when it writes one (its duplicates, comments and
    // bare lines kept).
    ASSERT_TRUE(world.Profile().WriteString(platformFile, u"first", u"k", u"0"));
    ASSERT_TRUE(world.Profile().WriteString(imageFile, u"first", u"k", u"0"));
    const std::vector<uint8_t> before = world.Bytes(imageFile);
    os::FileImageProfile image(world.Profile(), world.Files());
    WriteBoth(platformFile, imageFile, image,
              {{u"Alpha", u"k1", u"new1"},
               {u"ALPHA", u"k2", u"two"},
               {u"B", u"x", u"\"quoted\""},
               {u"gamma", u"SPACED", u"s2"},
               {u"New", u"a", u"1"},
               {u"INFO", u"COUNT", u"3"},
               {u"alpha", u"K1", u"new1"},
               {u"New", u"a", u"2"},
               {u"broken", u"k", u"v"}});
    EXPECT_EQ(world.Bytes(imageFile), before) << "written before the commit";

    // The image answers its changes as the platform answers them from its file.
    for (const char16_t* section : {u"alpha", u"B", u"Gamma", u"New", u"info", u"broken"})
        for (const char16_t* key : {u"k1", u"k2", u"x", u"spaced", u"a", u"COUNT", u"k", u"last"})
            EXPECT_EQ(Show(image.GetString(imageFile, section, key, u"-")),
                      Show(world.Profile().GetString(platformFile, section, key, u"-")))
                << "[" << Show(section) << "] " << Show(key);

    ASSERT_TRUE(image.Commit());
    EXPECT_EQ(Show(DecodeText(world.Bytes(imageFile), nullptr)),
              Show(DecodeText(world.Bytes(platformFile), nullptr)));
    EXPECT_EQ(world.Bytes(imageFile), world.Bytes(platformFile));
}

TEST_F(FileImagePass, AFileLaidOutOtherwiseIsThePlatformsToWrite) {
    // Blank lines, blanks around names and values, no line end at the end: each platform
    // keeps a different part of such a layout, so the platform writes it, at once.
    const auto platformFile = Twin(u"p.ini", kMessyText, TextEncoding::Utf16LeBom);
    const auto imageFile = Twin(u"i.ini", kMessyText, TextEncoding::Utf16LeBom);
    os::FileImageProfile image(world.Profile(), world.Files());
    WriteBoth(platformFile, imageFile, image, {{u"Alpha", u"k1", u"new1"}});
    EXPECT_EQ(world.Bytes(imageFile), world.Bytes(platformFile)) << "written before the commit";
    WriteBoth(platformFile, imageFile, image, {{u"New", u"a", u"1"}, {u"gamma", u"spaced", u"2"}});
    ASSERT_TRUE(image.Commit());
    EXPECT_EQ(world.Bytes(imageFile), world.Bytes(platformFile));
}

TEST_F(FileImagePass, WhatTheImageCannotWriteReachesTheFileInOrder) {
    const std::u16string text = u"[S]\r\nk=0\r\n";
    const auto platformFile = Twin(u"p.ini", text, TextEncoding::Utf16LeBom);
    const auto imageFile = Twin(u"i.ini", text, TextEncoding::Utf16LeBom);
    os::FileImageProfile image(world.Profile(), world.Files());
    // A line break, blanks at a value's ends, a name with a blank, a line break or '=' in it
    // or beyond ASCII: the platform writes them, after what the image held so far.
    WriteBoth(platformFile, imageFile, image,
              {{u"S", u"k", u"1"},
               {u"S", u"broken", u"a\r\nb=c"},
               {u"S", u"k", u"2"},
               {u"S", u"padded", u" p "},
               {u"S", u"two words", u"w"},
               {u"S", u"\u00e9t\u00e9", u"summer"},
               {u"S\r\nk=9\r\n[T", u"x", u"1"},
               {u"S", u"k=8\r\ny", u"2"},
               {u"T", u"k", u"3"}});
    EXPECT_EQ(Show(image.GetString(imageFile, u"S", u"b", u"-")), "c");
    ASSERT_TRUE(image.Commit());
    EXPECT_EQ(Show(DecodeText(world.Bytes(imageFile), nullptr)),
              Show(DecodeText(world.Bytes(platformFile), nullptr)));

    // A file that is not UTF-16 is the platform's to write, at once.
    const auto ansi = Twin(u"a.ini", text, TextEncoding::Ansi);
    ASSERT_TRUE(image.WriteString(ansi, u"S", u"k", u"9"));
    const std::vector<uint8_t> bytes = world.Bytes(ansi);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[S]\r\nk=9\r\n");
}

TEST(FileImageCommit, AWriteThatFailsLosesThePassAndIsReported) {
    FakeFileSystem files;
    FakeProfile platform(files);
    const std::u16string file = u"C:\\Data\\list.ini";
    platform.SetFileText(file, u"[S]\r\nk=0\r\n");
    os::FileImageProfile image(platform, files);

    ASSERT_TRUE(image.WriteString(file, u"S", u"k", u"1"));
    files.FailWrites(true); // a full disk
    // A value the platform must write makes the image write what it holds first: that fails,
    // and so does every write after it in the pass.
    EXPECT_FALSE(image.WriteString(file, u"S", u"broken", u"a\r\nb"));
    EXPECT_FALSE(image.WriteString(file, u"S", u"k", u"2"));
    files.FailWrites(false);
    EXPECT_FALSE(image.Commit());
    EXPECT_EQ(Show(platform.FileText(file)), Show(u"[S]\r\nk=0\r\n"));

    // The next pass starts from the file.
    EXPECT_EQ(Show(image.GetString(file, u"S", u"k", u"")), "0");
    ASSERT_TRUE(image.WriteString(file, u"S", u"k", u"3"));
    files.FailWrites(true);
    EXPECT_FALSE(image.Commit());
    files.FailWrites(false);
    EXPECT_EQ(Show(image.GetString(file, u"S", u"k", u"")), "0") << "the image was dropped";
    ASSERT_TRUE(image.WriteString(file, u"S", u"k", u"4"));
    EXPECT_TRUE(image.Commit());
    EXPECT_EQ(Show(platform.FileText(file)), Show(u"[S]\r\nk=4\r\n"));
}

} // namespace
} // namespace qk::test
