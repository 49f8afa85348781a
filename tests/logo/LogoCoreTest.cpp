// The picture's conversion to the printer's raster, the graphics and logo commands as the
// simulator's interpreter takes them, and the choice of key codes. Portable.
#include <gtest/gtest.h>
#include "plugins/logo/GraphicsCommands.h"
#include "tests/support/SimulatedPrinter.h"

namespace qk::test {
namespace {

using logo::Conversion;
using logo::KeyCode;
using logo::Picture;
using logo::Raster;
using logo::RasterOptions;
using logo::RasterResult;

// A picture from rows of characters: '#' black, '.' white, '-' mid gray, ' ' transparent.
Picture FromRows(const std::vector<std::string>& rows) {
    Picture picture;
    picture.width = static_cast<int32_t>(rows[0].size());
    picture.height = static_cast<int32_t>(rows.size());
    for (const std::string& row : rows) {
        for (char c : row) {
            const uint8_t level = c == '#' ? 0 : (c == '-' ? 128 : 255);
            const uint8_t alpha = c == ' ' ? 0 : 255;
            picture.bgra.insert(picture.bgra.end(), {level, level, level, alpha});
        }
    }
    return picture;
}

Picture Filled(int32_t width, int32_t height, uint8_t level) {
    Picture picture{width, height, {}};
    picture.bgra.assign(static_cast<std::size_t>(width) * height * 4, level);
    for (std::size_t i = 3; i < picture.bgra.size(); i += 4)
        picture.bgra[i] = 255;
    return picture;
}

std::vector<std::string> Rows(const Raster& raster) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < raster.height; ++y) {
        std::string row;
        for (int32_t x = 0; x < raster.width; ++x)
            row += raster.Black(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

int BlackDots(const Raster& raster) {
    int count = 0;
    for (int32_t y = 0; y < raster.height; ++y)
        for (int32_t x = 0; x < raster.width; ++x)
            count += raster.Black(x, y) ? 1 : 0;
    return count;
}

TEST(LogoRaster, AKnownPictureGivesItsRasterWithTransparentDotsWhite) {
    const std::vector<std::string> rows = {"#.#. ###-#", "   #######", "#-.-.-.-.#"};
    Raster raster;
    RasterOptions threshold{576, Conversion::Threshold, 128};
    ASSERT_EQ(ToRaster(FromRows(rows), threshold, raster), RasterResult::Ok);
    EXPECT_EQ(raster.RowBytes(), 2);
    EXPECT_EQ(raster.bits.size(), 6u);
    EXPECT_EQ(Rows(raster), (std::vector<std::string>{"#.#..###.#", "...#######", "#........#"}));
    // A darker threshold makes the mid gray black.
    threshold.threshold = 200;
    ASSERT_EQ(ToRaster(FromRows(rows), threshold, raster), RasterResult::Ok);
    EXPECT_EQ(Rows(raster)[2], "##.#.#.#.#");
    // Bits past the width stay clear: the printer would print them.
    EXPECT_EQ(raster.bits[1] & 0x3F, 0);
}

TEST(LogoRaster, ErrorDiffusionRendersGrayAsAMixWhereAThresholdLosesIt) {
    Raster raster;
    const Picture gray = Filled(64, 64, 100);
    ASSERT_EQ(ToRaster(gray, {576, Conversion::ErrorDiffusion, 128}, raster), RasterResult::Ok);
    const int black = BlackDots(raster);
    // 100 of 255 is 61 % dark: the diffused dots come within a few per cent of that.
    EXPECT_NEAR(black / (64.0 * 64.0), 155.0 / 255.0, 0.03);
    EXPECT_NE(Rows(raster)[10].find('.'), std::string::npos) << "no row is solid black";
    ASSERT_EQ(ToRaster(gray, {576, Conversion::Threshold, 128}, raster), RasterResult::Ok);
    EXPECT_EQ(BlackDots(raster), 64 * 64);
}

TEST(LogoRaster, APictureWiderThanThePaperIsScaledWholeToThePrintableWidth) {
    for (auto [paperSize, dots] : {std::pair{uint16_t{6}, 576}, std::pair{uint16_t{2}, 384}}) {
        SCOPED_TRACE(dots);
        ASSERT_EQ(logo::PrintableWidth(paperSize), dots);
        // 1000 x 500 with its last column and last row black.
        Picture picture = Filled(1000, 500, 255);
        for (int32_t y = 0; y < 500; ++y)
            for (int32_t x = 0; x < 1000; ++x)
                if (x >= 998 || y >= 498)
                    std::fill_n(picture.bgra.begin() + (y * 1000 + x) * 4, 3, 0);
        Raster raster;
        ASSERT_EQ(ToRaster(picture, {dots, Conversion::Threshold, 128}, raster), RasterResult::Ok);
        EXPECT_EQ(raster.width, dots);
        EXPECT_EQ(raster.height, dots / 2);
        EXPECT_TRUE(raster.Black(dots - 1, 0)) << "the right edge is not cut off";
        EXPECT_TRUE(raster.Black(0, dots / 2 - 1));
        EXPECT_FALSE(raster.Black(dots - 2, dots / 2 - 2));
    }
    // A narrower picture keeps its size.
    Raster raster;
    ASSERT_EQ(ToRaster(Filled(300, 7, 0), {384, Conversion::Threshold, 128}, raster),
              RasterResult::Ok);
    EXPECT_EQ(raster.width, 300);
    EXPECT_EQ(raster.height, 7);
    // A very wide strip keeps at least one row.
    ASSERT_EQ(ToRaster(Filled(5000, 2, 0), {384, Conversion::Threshold, 128}, raster),
              RasterResult::Ok);
    EXPECT_EQ(raster.height, 1);
}

// The page keeps only a picture's grays at the printable width: converting them gives the
// dots the whole picture gives.
TEST(LogoRaster, TheKeptGraysConvertToTheDotsOfTheWholePicture) {
    Picture picture{1500, 700, {}};
    picture.bgra.resize(std::size_t{1500} * 700 * 4);
    uint32_t seed = 12345;
    for (uint8_t& byte : picture.bgra) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(seed >> 16);
    }
    logo::GrayPicture kept;
    ASSERT_EQ(logo::ScaleToGray(picture, 576, kept), RasterResult::Ok);
    EXPECT_EQ(kept.sourceWidth, 1500);
    EXPECT_EQ(kept.sourceHeight, 700);
    EXPECT_EQ(kept.width, 576);
    EXPECT_EQ(kept.height, 269);
    EXPECT_EQ(kept.gray.size(), std::size_t{576} * 269) << "nothing more than the dots is kept";
    for (Conversion conversion : {Conversion::Threshold, Conversion::ErrorDiffusion}) {
        SCOPED_TRACE(static_cast<int>(conversion));
        Raster whole;
        Raster fromKept;
        ASSERT_EQ(ToRaster(picture, {576, conversion, 100}, whole), RasterResult::Ok);
        ASSERT_EQ(ToRaster(kept, {576, conversion, 100}, fromKept), RasterResult::Ok);
        EXPECT_EQ(fromKept.width, whole.width);
        EXPECT_EQ(fromKept.height, whole.height);
        EXPECT_TRUE(fromKept.bits == whole.bits);
    }
    // Narrower paper later on: the kept grays are scaled down once more.
    Raster narrow;
    ASSERT_EQ(ToRaster(kept, {384, Conversion::Threshold, 128}, narrow), RasterResult::Ok);
    EXPECT_EQ(narrow.width, 384);
    EXPECT_EQ(narrow.height, 179);
    // Grays that do not match their sizes are refused.
    kept.gray.pop_back();
    EXPECT_EQ(ToRaster(kept, {}, narrow), RasterResult::Invalid);
    EXPECT_EQ(ToRaster(logo::GrayPicture{}, {}, narrow), RasterResult::Empty);
}

TEST(LogoRaster, EmptyBlankAndMalformedPicturesAreRefused) {
    Raster raster;
    EXPECT_EQ(ToRaster(Picture{}, {}, raster), RasterResult::Empty);
    EXPECT_EQ(ToRaster(Filled(40, 40, 255), {}, raster), RasterResult::Empty);
    EXPECT_TRUE(raster.bits.empty());
    Picture short_ = Filled(4, 4, 0);
    short_.bgra.pop_back();
    EXPECT_EQ(ToRaster(short_, {}, raster), RasterResult::Invalid);
    EXPECT_FALSE(logo::PictureSizeAccepted(logo::kMaxPictureSide + 1, 1));
    EXPECT_FALSE(logo::PictureSizeAccepted(10000, 10000));
    EXPECT_TRUE(logo::PictureSizeAccepted(4000, 3000));
}

// A raster with a pattern that shows any row or bit order mistake.
Raster Pattern(int32_t width, int32_t height) {
    Raster raster{width, height, {}};
    raster.bits.assign(static_cast<std::size_t>(raster.RowBytes()) * height, 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = (y % 7); x < width; x += 3 + y % 5)
            raster.bits[y * raster.RowBytes() + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return raster;
}

TEST(LogoCommands, TheSimulatorStoresTheGraphicAsDefinedInTheShortAndTheLongForm) {
    SimulatedPrinter printer;
    const Raster small = Pattern(37, 20);
    const Raster big = Pattern(576, 1000); // 72000 dots bytes: the 32-bit length form
    const comm::Bytes shortForm = logo::DefineGraphics({'A', '1'}, small);
    const comm::Bytes longForm = logo::DefineGraphics({'Z', '~'}, big);
    EXPECT_EQ(shortForm[1], 0x28);
    EXPECT_EQ(longForm[1], 0x38);
    ASSERT_TRUE(printer.Send(shortForm));
    ASSERT_TRUE(printer.Send(longForm));
    for (auto [code, raster] : {std::pair{KeyCode{'A', '1'}, &small}, {KeyCode{'Z', '~'}, &big}}) {
        auto entry = printer.Memory().Graphics(code.first, code.second);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->width, raster->width);
        EXPECT_EQ(entry->height, raster->height);
        EXPECT_EQ(entry->dots, raster->bits);
    }
    EXPECT_EQ(printer.Control("get graphic A1"),
              "OK 37x20 black=" + std::to_string(BlackDots(small)));
    // The key code list, deleting one and deleting all.
    logo::GraphicsAnswer answer;
    printer.Send(logo::AskKeyCodes());
    uint8_t byte = 0;
    while (printer.Receive(byte, 0))
        answer.Add(byte);
    ASSERT_TRUE(answer.KeyCodes());
    EXPECT_EQ(*answer.KeyCodes(), (std::vector<KeyCode>{{'A', '1'}, {'Z', '~'}}));
    printer.Send(logo::DeleteGraphics({'A', '1'}));
    EXPECT_EQ(printer.Control("get graphics"), "OK 1 Z~:576x1000");
    printer.Send(logo::DeleteAllGraphics());
    EXPECT_EQ(printer.Control("get graphics"), "OK 0");
}

TEST(LogoCommands, WhatThePageCallsTooLargeIsWhatThePrinterRefuses) {
    // The most rows of the printable width that fit the graphics memory alone.
    const int32_t rows = static_cast<int32_t>((logo::kGraphicsMemoryBytes - 10) / 72);
    const Raster fits = Pattern(576, rows);
    const Raster over = Pattern(576, rows + 1);
    EXPECT_TRUE(logo::FitsGraphicsMemory(fits));
    EXPECT_FALSE(logo::FitsGraphicsMemory(over));
    SimulatedPrinter printer;
    printer.Send(logo::DefineGraphics({'0', '2'}, over));
    EXPECT_EQ(printer.Control("get graphics"), "OK 0");
    printer.Send(logo::DefineGraphics({'0', '1'}, fits));
    EXPECT_EQ(printer.Control("get graphics"), "OK 1 01:576x" + std::to_string(rows));
    // Full now: another graphic is refused, a replacement under the same key code is not.
    printer.Send(logo::DefineGraphics({'0', '3'}, Pattern(576, 10)));
    printer.Send(logo::DefineGraphics({'0', '1'}, Pattern(8, 2)));
    EXPECT_EQ(printer.Control("get graphics"), "OK 1 01:8x2");
}

TEST(LogoCommands, LogoSettingsAreSetAskedAndCancelled) {
    SimulatedPrinter printer;
    auto ask = [&](const comm::Bytes& question) {
        logo::GraphicsAnswer answer;
        printer.Send(question);
        uint8_t byte = 0;
        while (printer.Receive(byte, 0))
            answer.Add(byte);
        return answer;
    };
    EXPECT_EQ(ask(logo::AskLogo(logo::LogoPlace::Top)).Logo(logo::LogoPlace::Top),
              logo::LogoPlacement{});
    printer.Send(logo::SetLogo(logo::LogoPlace::Top, {'A', 'B'}, logo::kAlignCenter));
    printer.Send(logo::SetLogo(logo::LogoPlace::Bottom, {'C', 'D'}, logo::kAlignRight));
    printer.Send(logo::SetLogoOption(0x40, true));
    EXPECT_EQ(printer.Control("get logo top"), "OK 65 66 49");
    EXPECT_EQ(printer.Control("get logo bottom"), "OK 67 68 50");
    auto bottom = ask(logo::AskLogo(logo::LogoPlace::Bottom));
    EXPECT_EQ(bottom.Logo(logo::LogoPlace::Bottom),
              (logo::LogoPlacement{{'C', 'D'}, logo::kAlignRight}));
    EXPECT_FALSE(bottom.Logo(logo::LogoPlace::Top)) << "the answer names its place";
    EXPECT_EQ(ask(logo::AskLogoOption(0x40)).LogoOption(0x40), true);
    EXPECT_EQ(ask(logo::AskLogoOption(0x41)).LogoOption(0x41), false);
    printer.Send(logo::CancelLogo(logo::LogoPlace::Top));
    EXPECT_EQ(printer.Control("get logo top"), "OK none");
}

TEST(LogoKeyCodes, AutomaticNumberingTakesTheFirstFreePairAndTheOperatorsCodeOtherwise) {
    using logo::ChooseKeyCode;
    EXPECT_EQ(ChooseKeyCode(true, {}, {}), (KeyCode{'0', '1'}));
    EXPECT_EQ(ChooseKeyCode(true, {}, {{'0', '1'}, {'0', '2'}, {'0', '4'}}), (KeyCode{'0', '3'}));
    // Past "0~" the first character moves on.
    std::vector<KeyCode> stored;
    for (uint8_t c = '1'; c <= '~'; ++c)
        stored.push_back({'0', c});
    EXPECT_EQ(ChooseKeyCode(true, {'X', 'Y'}, stored), (KeyCode{'1', '0'}));
    for (uint8_t a = '1'; a <= '~'; ++a)
        for (uint8_t b = '0'; b <= '~'; ++b)
            stored.push_back({a, b});
    EXPECT_FALSE(ChooseKeyCode(true, {}, stored)) << "every pair is taken";
    // Without automatic numbering: the operator's code, stored or not, when it is one.
    EXPECT_EQ(ChooseKeyCode(false, {'0', '1'}, {{'0', '1'}}), (KeyCode{'0', '1'}));
    EXPECT_FALSE(ChooseKeyCode(false, {'A', 0}, {}));
    EXPECT_FALSE(ChooseKeyCode(false, {'A', 0x7F}, {}));
}

} // namespace
} // namespace qk::test
