// The device test engine (by ordinal) and the port configuration library, each answering from
// the settings file beside it. Each test runs a copy of the library in a folder of its own.
#include "tests/maker/CommFixture.h"
#include <gtest/gtest.h>
#include "framework/comm/MakerToolsApi.h"
#include "framework/comm/ProcAddress.h"
#include "maker/common/WinText.h"

using namespace qk::comm;

namespace {

// A private copy of a staged library with the given settings file beside it.
class LibraryCopy {
public:
    LibraryCopy(const std::wstring& dll, const std::wstring& ini, const std::string& settings) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        folder_ = std::wstring(temp) + L"qkmaker-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter) + L"\\";
        qk::win::CreateFolders(folder_);
        dll_ = folder_ + dll;
        ini_ = folder_ + ini;
        CopyFileW((qk::test::StageDir() + dll).c_str(), dll_.c_str(), FALSE);
        qk::win::WriteFileText(ini_, settings);
        module_ = LoadLibraryW(dll_.c_str());
    }
    ~LibraryCopy() {
        if (module_)
            FreeLibrary(module_);
        DeleteFileW(dll_.c_str());
        DeleteFileW(ini_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    HMODULE Module() const { return module_; }

private:
    std::wstring folder_, dll_, ini_;
    HMODULE module_ = nullptr;
};

QkcBinding FakeBoundRecord() {
    // Entry points are only checked for presence, never called by the engine here.
    QkcBinding binding{};
    binding.module = reinterpret_cast<void*>(1);
    void** slot = reinterpret_cast<void**>(&binding.QKC_EnumPort);
    for (int i = 0; i < kQkcEntryPointCount; ++i)
        slot[i] = reinterpret_cast<void*>(&FakeBoundRecord);
    return binding;
}

} // namespace

TEST(ProbeEngine, MakesEnginesByOrdinalWithinItsLimit) {
    LibraryCopy engine(L"ProbeEngine.dll", L"ProbeEngine.ini",
                       "[Engine]\nAvailable=1\nMaxEngines=2\n");
    ASSERT_NE(nullptr, engine.Module());
    auto create = GetProcAs<PFN_ProbeEngineCreate>(engine.Module(),
                                                   MAKEINTRESOURCEA(kProbeEngineCreateOrdinal));
    auto release = GetProcAs<PFN_ProbeEngineRelease>(engine.Module(),
                                                     MAKEINTRESOURCEA(kProbeEngineReleaseOrdinal));
    ASSERT_TRUE(create && release);
    EXPECT_EQ(nullptr, GetProcAddress(engine.Module(), "ProbeEngineCreate"))
        << "bound by ordinal only";
    QkcBinding binding = FakeBoundRecord();
    uintptr_t a = create(&binding), b = create(&binding);
    EXPECT_NE(0u, a);
    EXPECT_NE(0u, b);
    EXPECT_EQ(0u, create(&binding)) << "beyond MaxEngines";
    EXPECT_EQ(0u, create(nullptr));
    QkcBinding unbound{};
    EXPECT_EQ(0u, create(&unbound));
    // Released twice: the second call sees a cleared handle and accepts it.
    EXPECT_EQ(0, release(&a));
    EXPECT_EQ(0u, a);
    EXPECT_EQ(0, release(&a));
    uintptr_t stranger = 12345;
    EXPECT_NE(0, release(&stranger));
    EXPECT_NE(0u, create(&binding)) << "a released engine frees its place";
    EXPECT_EQ(0, release(&b));
}

TEST(ProbeEngine, UnavailableEngineAnswersZero) {
    LibraryCopy engine(L"ProbeEngine.dll", L"ProbeEngine.ini", "[Engine]\nAvailable=0\n");
    auto create = GetProcAs<PFN_ProbeEngineCreate>(engine.Module(),
                                                   MAKEINTRESOURCEA(kProbeEngineCreateOrdinal));
    ASSERT_TRUE(create);
    QkcBinding binding = FakeBoundRecord();
    EXPECT_EQ(0u, create(&binding));
}

TEST(PortCfgLib, AnswersNumbersAndStringsFromItsSettings) {
    LibraryCopy library(L"PortCfgLib.DLL", L"PortCfgLib.ini",
                        "[RSDPRT1]\nKind=3\nTarget=\\\\?\\usb#vid_0000&pid_0040#QK7#{x}\n"
                        "Number5=42\n[RSDPRT2]\nKind=1\nString1=COM1\n");
    ASSERT_NE(nullptr, library.Module());
    auto number =
        GetProcAs<PFN_PCS_GetPortCfgLibNumber>(library.Module(), "PCS_GetPortCfgLibNumber");
    auto string =
        GetProcAs<PFN_PCS_GetPortCfgLibString>(library.Module(), "PCS_GetPortCfgLibString");
    ASSERT_TRUE(number && string);
    int32_t kind = -1;
    ASSERT_EQ(0, number(0, u"RSDPRT1", 0, &kind));
    EXPECT_EQ(3, kind);
    ASSERT_EQ(0, number(0, u"RSDPRT1", 5, &kind));
    EXPECT_EQ(42, kind);
    EXPECT_EQ(-1, number(0, u"RSDPRT9", 0, &kind));
    EXPECT_EQ(-1, number(0, u"RSDPRT1", 6, &kind));
    EXPECT_EQ(-3, number(0, nullptr, 0, &kind));

    char16_t buffer[260];
    int32_t size = sizeof(buffer);
    ASSERT_EQ(0, string(0, u"RSDPRT1", 1, &size, buffer));
    EXPECT_EQ(std::u16string(u"\\\\?\\usb#vid_0000&pid_0040#QK7#{x}"), std::u16string(buffer));
    size = sizeof(buffer);
    ASSERT_EQ(0, string(0, u"RSDPRT2", 1, &size, buffer));
    EXPECT_EQ(std::u16string(u"COM1"), std::u16string(buffer));
    // Too small: nothing is written past the buffer and the size needed comes back.
    char16_t small[4] = {u'#', u'#', u'#', u'#'};
    size = sizeof(small);
    EXPECT_EQ(-8, string(0, u"RSDPRT1", 1, &size, small));
    EXPECT_EQ(static_cast<int32_t>(sizeof(char16_t) * 34), size); // 33 characters and the NUL
    EXPECT_EQ(u'#', small[0]);
}

TEST(PortCfgLib, MissingSettingsFileMeansNoPorts) {
    LibraryCopy library(L"PortCfgLib.DLL", L"Other.ini", "[RSDPRT1]\nKind=3\n");
    auto number =
        GetProcAs<PFN_PCS_GetPortCfgLibNumber>(library.Module(), "PCS_GetPortCfgLibNumber");
    ASSERT_TRUE(number);
    int32_t kind = -1;
    EXPECT_EQ(-1, number(0, u"RSDPRT1", 0, &kind));
}
