// The platform's picture decoders as the logo page uses them: Wine's windowscodecs reads BMP
// and PNG into the pixels the conversion expects (rows top first, blue, green, red, alpha),
// and a file that is no picture, or one claiming a huge size, is refused before anything big
// is allocated.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include "plugins/logo/LogoPicture.h"
#include "plugins/logo/WicPicture.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/framework/TempFolder.h"

namespace qk::test {
namespace {

using logo::Picture;
using logo::PictureLoad;

// 3 x 2, 8-bit RGBA: red, green, transparent / black, white, blue at half alpha.
constexpr uint8_t kPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x9D, 0x74, 0x66,
    0x1A, 0x00, 0x00, 0x00, 0x15, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
    0x1F, 0x0C, 0xA1, 0xE0, 0x3F, 0x08, 0x00, 0xA9, 0x06, 0x00, 0x7A, 0x20, 0x0A, 0x77, 0x83, 0x4E,
    0x5C, 0x27, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A 24-bit BMP, rows stored bottom first and padded to 4 bytes, as Windows writes them.
std::vector<uint8_t> Bmp(int32_t width, int32_t height, const std::vector<uint8_t>& bgrRowsTop) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> file = {'B', 'M'};
    Put32(file, 54 + stride * height);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, static_cast<uint32_t>(width));
    Put32(file, static_cast<uint32_t>(height));
    Put16(file, 1);
    Put16(file, 24);
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
    for (int32_t y = height - 1; y >= 0 && !bgrRowsTop.empty(); --y) {
        const std::size_t from = static_cast<std::size_t>(y) * width * 3;
        if (from + width * 3 <= bgrRowsTop.size())
            file.insert(file.end(), bgrRowsTop.begin() + from,
                        bgrRowsTop.begin() + from + width * 3);
        file.resize(file.size() + (stride - width * 3), 0);
    }
    return file;
}

class WicPicture : public ::testing::Test {
protected:
    std::wstring Write(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        const std::wstring path = ToWide(folder.Path()) + L"\\" + name;
        std::ofstream(path.c_str(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::vector<uint8_t> Pixel(const Picture& picture, int x, int y) {
        const auto at = picture.bgra.begin() + (y * picture.width + x) * 4;
        return {at, at + 4};
    }

    TempFolder folder;
};

TEST_F(WicPicture, PngAndBmpDecodeToTopFirstBgraRows) {
    Picture png;
    ASSERT_EQ(logo::LoadPicture(Write(L"logo.png", {std::begin(kPng), std::end(kPng)}), png),
              PictureLoad::Ok);
    ASSERT_EQ(png.width, 3);
    ASSERT_EQ(png.height, 2);
    EXPECT_EQ(Pixel(png, 0, 0), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(png, 1, 0), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(png, 2, 0)[3], 0);
    EXPECT_EQ(Pixel(png, 0, 1), (std::vector<uint8_t>{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(png, 2, 1), (std::vector<uint8_t>{255, 0, 0, 128}));

    // Top row: blue, white, black; bottom row: gray, red, green (stride padded to 12).
    const std::vector<uint8_t> rows = {255, 0,   0,   255, 255, 255, 0, 0,   0,
                                       128, 128, 128, 0,   0,   255, 0, 255, 0};
    Picture bmp;
    ASSERT_EQ(logo::LoadPicture(Write(L"logo.bmp", Bmp(3, 2, rows)), bmp), PictureLoad::Ok);
    ASSERT_EQ(bmp.width, 3);
    ASSERT_EQ(bmp.height, 2);
    EXPECT_EQ(Pixel(bmp, 0, 0), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(bmp, 2, 0), (std::vector<uint8_t>{0, 0, 0, 255}));
    EXPECT_EQ(Pixel(bmp, 1, 1), (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST_F(WicPicture, WhatIsNoUsablePictureIsRefusedAndLeavesThePictureAlone) {
    Picture picture;
    picture.width = 7;
    EXPECT_EQ(logo::LoadPicture(Write(L"notes.png", {'h', 'e', 'l', 'l', 'o'}), picture),
              PictureLoad::Unreadable);
    EXPECT_EQ(logo::LoadPicture(Write(L"empty.bmp", {}), picture), PictureLoad::Unreadable);
    EXPECT_EQ(logo::LoadPicture(ToWide(folder.Path()) + L"\\missing.png", picture),
              PictureLoad::Unreadable);
    // A header claiming 20000 x 20000 dots, with no pixels behind it.
    const std::vector<uint8_t> huge = Bmp(20000, 20000, {});
    EXPECT_EQ(logo::LoadPicture(Write(L"huge.bmp", huge), picture), PictureLoad::TooLarge);
    EXPECT_EQ(picture.width, 7);
}

// The page's picture: a picture that cannot be used leaves the one the page has, and the logo
// work file is replaced whole or not at all.
TEST_F(WicPicture, ThePagesPictureOutlivesARefusedOneAndItsWorkFileIsWholeOrUntouched) {
    const std::vector<uint8_t> rows = {0,   0,   0,   255, 255, 255, 0,   0,   0,
                                       255, 255, 255, 0,   0,   0,   255, 255, 255};
    logo::CLogoPicture picture;
    logo::RasterOptions options;
    options.conversion = logo::Conversion::Threshold;
    EXPECT_FALSE(picture.Opened());
    EXPECT_FALSE(picture.Reconvert(options));
    ASSERT_EQ(picture.Open(Write(L"logo.bmp", Bmp(3, 2, rows)), options),
              logo::PictureProblem::None);
    EXPECT_TRUE(picture.Pending());
    EXPECT_EQ(picture.Line(), u"logo.bmp: 3 x 2 \u2192 3 x 2");
    EXPECT_EQ(picture.Dots().bits, (logo::Bytes{0xA0, 0x40}));

    EXPECT_EQ(picture.Open(Write(L"note.bmp", {'n', 'o'}), options),
              logo::PictureProblem::Unreadable);
    EXPECT_EQ(picture.Line(), u"logo.bmp: 3 x 2 \u2192 3 x 2");
    EXPECT_EQ(picture.Dots().bits, (logo::Bytes{0xA0, 0x40}));
    EXPECT_TRUE(picture.Pending());

    FakeFileSystem files;
    const std::u16string path = u"C:\\data\\LOGO.DAT";
    files.AddFile(path, {1, 2, 3});
    ASSERT_TRUE(picture.WriteWorkFile(files, path, {'A', '1'}));
    const std::vector<uint8_t> written = *files.FileBytes(path);
    EXPECT_GT(written.size(), 2u);
    options.threshold = 0; // no gray is below it: nothing to print, the dots stay
    EXPECT_FALSE(picture.Reconvert(options));
    EXPECT_EQ(picture.Dots().bits, (logo::Bytes{0xA0, 0x40}));
    options.threshold = 254;
    EXPECT_TRUE(picture.Reconvert(options));
    files.FailWrites(true);
    EXPECT_FALSE(picture.WriteWorkFile(files, path, {'A', '1'}));
    EXPECT_EQ(*files.FileBytes(path), written);
    EXPECT_FALSE(picture.WriteWorkFile(files, u"", {'A', '1'}));
    picture.MarkStored();
    EXPECT_FALSE(picture.Pending());
}

} // namespace
} // namespace qk::test
