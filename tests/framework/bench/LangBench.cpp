// Timings of the text table (not a test): LoadLangFile + LoadScreenTexts of the biggest screen
// of the shipped English file and of a 10,000-entry screen, each against one raw
// GetPrivateProfileSectionW call of the biggest section involved (the floor: what reading the
// text alone costs). Run: scripts/wine-run.sh build/tests/bin/framework_lang_bench.exe
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include "framework/lang/LangResTable.h"
#include "framework/lang/LangSectionCache.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <typename F> double Median(int runs, F f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        times.push_back(Ms(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Characters of a section as the platform reports them (read with a buffer big enough).
DWORD SectionChars(const std::wstring& file, const std::wstring& section) {
    std::vector<wchar_t> buffer(1 << 22);
    return GetPrivateProfileSectionW(section.c_str(), buffer.data(),
                                     static_cast<DWORD>(buffer.size()), file.c_str());
}

double RawReadMs(const std::wstring& file, const std::wstring& section, int runs) {
    const DWORD size = SectionChars(file, section) + 16;
    std::vector<wchar_t> buffer(size);
    return Median(runs, [&] {
        GetPrivateProfileSectionW(section.c_str(), buffer.data(), size, file.c_str());
    });
}

// The first table of a file reads it; later ones are served the sections it kept. Each run
// measures a first table.
double TableMs(const std::u16string& folder, const std::u16string& screen, int runs) {
    return Median(runs, [&] {
        CLangSectionCache::Shared().Clear();
        CLangResTable table;
        table.LoadLangFile(folder, 0x409, 0x409);
        table.LoadScreenTexts(screen);
    });
}

std::wstring StageLangFolder() {
    std::string narrow = QK_TEST_STAGE_DIR;
    std::wstring path(narrow.begin(), narrow.end());
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    return path + L"\\LANG";
}

} // namespace

int main() {
    const wchar_t* const kinds[] = {L"_CAP", L"_CMB", L"_LSTCTRL", L"_MSG", L"_STR"};
    const wchar_t* const screens[] = {
        L"QK_UTILITY_APP",       L"MAIN_WINDOW",   L"SELECT_LANG_DLG", L"MSG_CONFIRM_SAVE_FILE",
        L"PRT_SELECT_DLG",       L"PORT_ADD_DLG",  L"MENU_ITEM",       L"PRT_STATUS",
        L"PRINTER_SETTING_VIEW", L"PLUGIN_COMMON", L"QKUEJ_DLL"};

    // The shipped English file: the screen with the most section text.
    const std::wstring folder = StageLangFolder();
    const std::wstring english = folder + L"\\0409.DAT";
    std::wstring bigScreen, bigSection;
    DWORD bigTotal = 0, bigSectionChars = 0;
    for (const wchar_t* screen : screens) {
        DWORD total = 0;
        for (const wchar_t* kind : kinds) {
            const std::wstring section = std::wstring(screen) + kind;
            const DWORD chars = SectionChars(english, section);
            total += chars;
            if (chars > bigSectionChars && total >= bigTotal) {
                bigSectionChars = chars;
                bigSection = section;
            }
        }
        if (total > bigTotal) {
            bigTotal = total;
            bigScreen = screen;
        }
    }
    // The biggest section of that screen.
    bigSectionChars = 0;
    for (const wchar_t* kind : kinds) {
        const std::wstring section = bigScreen + kind;
        const DWORD chars = SectionChars(english, section);
        if (chars > bigSectionChars) {
            bigSectionChars = chars;
            bigSection = section;
        }
    }
    const int runs = 21;
    const double shippedTable = TableMs(qk::FromWide(folder), qk::FromWide(bigScreen), runs);
    const double shippedRaw = RawReadMs(english, bigSection, runs);
    std::printf("shipped 0409.DAT, screen %ls (%lu characters in its sections):\n"
                "  LoadLangFile + LoadScreenTexts  %8.3f ms (median of %d)\n"
                "  one raw section read of %ls (%lu characters)  %8.3f ms\n",
                bigScreen.c_str(), static_cast<unsigned long>(bigTotal), shippedTable, runs,
                bigSection.c_str(), static_cast<unsigned long>(bigSectionChars), shippedRaw);
    std::printf("bench\t(e) language load, shipped screen\t%.3f\t%.3f\n", shippedTable, shippedRaw);

    // A 10,000-entry screen of about a million characters in a file of its own. The section
    // buffer grew by 260 characters per retry before (about 4,000 whole-section reads: 24 s
    // natively); it doubles now (12 reads).
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring bigFolder =
        std::wstring(temp) + L"qkbench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(bigFolder.c_str(), nullptr);
    const std::wstring bigFile = bigFolder + L"\\0409.DAT";
    std::wstring text = L"\xFEFF[BIG_STR]\r\n";
    for (int i = 0; i < 10000; ++i)
        text += L"STR_" + std::to_wstring(i) + L"=Entry number " + std::to_wstring(i) +
                std::wstring(80, L'.') + L"\r\n";
    HANDLE file = CreateFileW(bigFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
    // The platform's reader parses a file written in the last two seconds again at every call
    // (it trusts no coarser time stamp): both figures are taken after that.
    Sleep(2500);

    const int bigRuns = 5;
    const DWORD chars = SectionChars(bigFile, L"BIG_STR");
    const double bigTable = TableMs(qk::FromWide(bigFolder), u"BIG", bigRuns);
    const double bigRaw = RawReadMs(bigFile, L"BIG_STR", bigRuns);
    std::printf("10,000-entry screen BIG (%lu characters in one section):\n"
                "  LoadLangFile + LoadScreenTexts  %8.3f ms (median of %d)\n"
                "  one raw section read of BIG_STR  %8.3f ms\n",
                static_cast<unsigned long>(chars), bigTable, bigRuns, bigRaw);
    std::printf("bench\t(e) language load, 10,000 entries\t%.3f\t%.3f\n", bigTable, bigRaw);

    DeleteFileW(bigFile.c_str());
    RemoveDirectoryW(bigFolder.c_str());
    return 0;
}
