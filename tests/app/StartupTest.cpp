// Start-up and exit of the application object against fakes of the OS seams: every failure
// of start-up, the exit codes, the folders and files it lays out, and what exit writes.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "app/shell/QKUtilApp.h"
#include "tests/app/SettingsSectionSample.h"
#include "platform/Text.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/fakes/FakeKnownFolders.h"
#include "tests/support/fakes/FakeProcessLauncher.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

using app::AppServices;
using app::CQKUtilApp;
using app::IAppPlatform;

class FakeAppPlatform : public IAppPlatform {
public:
    MutexResult mutexResult = MutexResult::Created;
    bool administrator = true;
    std::vector<std::u16string> mutexNames;
    std::vector<std::u16string> broughtToFront;
    int closes = 0;

    MutexResult CreateInstanceMutex(const std::u16string& name) override {
        mutexNames.push_back(name);
        return mutexResult;
    }
    void CloseMutex() override { ++closes; }
    bool BringWindowWithPropertyToFront(const std::u16string& property) override {
        broughtToFront.push_back(property);
        return true;
    }
    bool IsAdministrator() override { return administrator; }
    bool ReadDeviceIdNumber(const std::u16string&, const comm::QkcBinding*, int32_t&) override {
        return false;
    }
};

const std::u16string kProgram = u"C:\\Program Files\\QK40Utl\\";

// Files as the fake has them, except that the language files vanish once start-up has
// written its running flag (step 17, between the first and the last language load).
#pragma push_macro("CreateDirectory")
#pragma push_macro("RemoveDirectory")
#pragma push_macro("DeleteFile")
#undef CreateDirectory
#undef RemoveDirectory
#undef DeleteFile
class LanguageVanishingFiles : public os::IFileSystem {
public:
    LanguageVanishingFiles(os::IFileSystem& inner, std::u16string flagFile)
        : inner_(inner), flagFile_(std::move(flagFile)) {}
    bool Exists(const std::u16string& path) override {
        if (inner_.Exists(flagFile_) && path.find(u"\\LANG\\") != std::u16string::npos)
            return false;
        return inner_.Exists(path);
    }
    bool IsDirectory(const std::u16string& path) override { return inner_.IsDirectory(path); }
    bool CreateDirectory(const std::u16string& path) override {
        return inner_.CreateDirectory(path);
    }
    bool RemoveDirectory(const std::u16string& path) override {
        return inner_.RemoveDirectory(path);
    }
    bool DeleteFile(const std::u16string& path) override { return inner_.DeleteFile(path); }
    bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) override {
        return inner_.ReadFile(path, data);
    }
    bool WriteFile(const std::u16string& path, const std::vector<uint8_t>& data) override {
        return inner_.WriteFile(path, data);
    }
    std::vector<std::u16string> ListFiles(const std::u16string& folder,
                                          const std::u16string& pattern) override {
        return inner_.ListFiles(folder, pattern);
    }
    std::vector<std::u16string> DosDeviceTargets(const std::u16string& name) override {
        return inner_.DosDeviceTargets(name);
    }

private:
    os::IFileSystem& inner_;
    std::u16string flagFile_;
};
#pragma pop_macro("DeleteFile")
#pragma pop_macro("RemoveDirectory")
#pragma pop_macro("CreateDirectory")

const std::u16string kData = u"C:\\ProgramData\\TARROW\\QK40Utl";

struct StartupFixture : ::testing::Test {
    FakeProfile profile;
    FakeKnownFolders folders;
    FakeProcessLauncher processes;
    FakeAppPlatform platform;
    ScriptedPresenter boxes;
    std::unique_ptr<CQKUtilApp> app;
    // The settings command file writer the application is given (none by default).
    std::function<int32_t(const std::u16string&, const std::u16string&, const std::u16string&,
                          bool)>
        writer;
    // The main frame the application makes (none: its own).
    std::function<CFrameWnd*()> newFrame;

    void SetUp() override {
        // The shipped English language file, as the program folder would have it.
        std::vector<uint8_t> english;
        ASSERT_TRUE(
            os::RealFileSystem().ReadFile(FromWide(StageDir() + L"LANG\\0409.DAT"), english));
        profile.Files().AddFile(kProgram + u"LANG\\0409.DAT", english);
        // The folders every Windows installation has.
        profile.Files().AddFolder(folders.commonAppData);
        profile.Files().AddFolder(folders.userAppData);
    }
    void TearDown() override {
        if (app && app->m_pMainWnd && app->m_pMainWnd->IsWindow())
            app->m_pMainWnd->DestroyWindow();
    }

    CQKUtilApp& Make(const wchar_t* commandLine) {
        AppServices services;
        services.profile = &profile;
        services.files = &profile.Files();
        services.folders = &folders;
        services.processes = &processes;
        services.platform = &platform;
        services.commLibraryPath = L"NoSuchQKComm.dll";
        services.printerSelect.profile = &profile;
        services.writeSettingsFile = writer;
        services.newFrame = newFrame;
        app = std::make_unique<CQKUtilApp>(services);
        app->m_lpCmdLine = std::wstring(L"QK40UTL.exe ") + commandLine;
        return *app;
    }
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& shown : boxes.Shown())
            texts.push_back(shown.text);
        return texts;
    }
    void SetSettingIni(const std::u16string& text) {
        profile.SetFileText(kProgram + u"SETTING.INI", text);
    }
    // Ends a run that got as far as the main window.
    int Finish() {
        if (app->m_pMainWnd && app->m_pMainWnd->IsWindow())
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
};

TEST_F(StartupFixture, MaintenanceSwitchSkipsTheInstanceCheck) {
    platform.mutexResult = IAppPlatform::MutexResult::AlreadyExists;
    CQKUtilApp& a = Make(L"/bM /mF"
                         L"C:\\out.dat");
    EXPECT_TRUE(a.InitInstance());
    EXPECT_TRUE(platform.mutexNames.empty());
    boxes.Answer(IDNO);
    Finish();
    EXPECT_TRUE(profile.Files().IsDirectory(kData + u"\\TMP")) << "the work folder stays with /bM";
}

TEST_F(StartupFixture, MutexFailureEndsWithoutMessage) {
    platform.mutexResult = IAppPlatform::MutexResult::Failed;
    CQKUtilApp& a = Make(L"/mCC:\\desc.ini");
    EXPECT_FALSE(a.InitInstance());
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(a.ExitInstance(), 0);
}

TEST_F(StartupFixture, NotAdministratorEndsWithCode1InDescribedMode) {
    platform.administrator = false;
    profile.SetFileText(u"C:\\desc.ini", u"[PrinterInfo]\r\nPrinterName=QK-R40\r\n");
    CQKUtilApp& a = Make(L"/mCC:\\desc.ini");
    EXPECT_FALSE(a.InitInstance());
    EXPECT_EQ(Texts(), std::vector<std::wstring>{
                           L"You must have Administrator rights to run this software."});
    EXPECT_EQ(a.ExitInstance(), 1);
}

TEST_F(StartupFixture, PortPrefixOutsideThePortMonitorEndsWithCode5) {
    profile.SetFileText(u"C:\\desc.ini", u"[PrinterInfo]\r\nPrinterName=QK-R40\r\n");
    CQKUtilApp& a = Make(L"/mCC:\\desc.ini /pCOM1");
    EXPECT_FALSE(a.InitInstance());
    EXPECT_EQ(Texts(), std::vector<std::wstring>{L"Cannot communicate with the printer."});
    EXPECT_EQ(a.ExitInstance(), 5);
}

TEST_F(StartupFixture, FileModeOpensTheFrameWithoutAPrinter) {
    CQKUtilApp& a = Make(L"/mFC:\\work\\R40.dat");
    ASSERT_TRUE(a.InitInstance());
    UtilContext& c = a.Context();
    EXPECT_EQ(c.startMode, 4);
    EXPECT_EQ(std::u16string(c.portRecord.deviceName), u"QK-R40");
    EXPECT_EQ(a.ConnectionResult(), static_cast<int32_t>(0x80000005u));
    EXPECT_EQ(c.binding, nullptr);
    EXPECT_EQ(c.arpSupport, 1);
    EXPECT_EQ(c.watermarkSupport, 1);
    EXPECT_EQ(c.resolutionDpi, 203);
    EXPECT_EQ(c.paperWidthDots, 576);
    EXPECT_EQ(std::u16string(c.settingsFilePath), u"C:\\work\\R40.dat");
    EXPECT_EQ(std::u16string(c.programFolder), kProgram);
    EXPECT_EQ(std::u16string(c.languageFolder), kProgram + u"LANG");
    EXPECT_EQ(std::u16string(c.dataFolder), kData);
    EXPECT_EQ(std::u16string(c.workFolder), kData + u"\\TMP");
    EXPECT_EQ(std::u16string(c.logoWorkFilePath),
              u"C:\\Users\\operator\\AppData\\Roaming\\TARROW\\QK40Utl\\R40LOGO.tlg");
    EXPECT_EQ(c.dataManager, &a.DataManager());
    EXPECT_NE(c.applicationLock, nullptr);
    EXPECT_EQ(profile.GetString(kData + u"\\QKUCOUPON.INI", u"Coupon", u"Execute", u""), u"1");
    ASSERT_NE(a.m_pMainWnd, nullptr);
    EXPECT_TRUE(a.m_pMainWnd->IsWindowVisible());

    boxes.Answer(IDNO); // the save question of the file mode
    EXPECT_EQ(Finish(), 1);
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(boxes.Shown().back().text, L"Do you want to save the settings to the file?");
    EXPECT_EQ(boxes.Shown().back().Buttons(), static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(profile.GetString(kData + u"\\QKUCOUPON.INI", u"Coupon", u"Execute", u""), u"0");
    EXPECT_FALSE(profile.Files().Exists(kData + u"\\TMP")) << "the empty work folder is removed";
}

TEST_F(StartupFixture, FileModeExitWritesTheSettingsFileAndPrinterList) {
    CQKUtilApp& a = Make(L"/mFC:\\work\\R40.dat");
    ASSERT_TRUE(a.InitInstance());
    boxes.Answer(IDNO);
    Finish();
    // The save flag is set in the file mode, so the store writes both files.
    EXPECT_TRUE(profile.Files().Exists(kData + u"\\PrinterSetting.INI"));
    bool settingsFile = false;
    for (const auto& path : profile.Files().AllPaths())
        settingsFile = settingsFile || path.find(u"_Setting.DAT") != std::u16string::npos;
    EXPECT_TRUE(settingsFile);
}

TEST_F(StartupFixture, CopyEndingAtTheInstanceCheckStartsTheExitToolOfItsOwnFolder) {
    profile.Files().AddFile(kProgram + u"QKRestoreApp.exe", {0x4D, 0x5A});
    profile.Files().AddFile(u"QKRestoreApp.exe", {0x4D, 0x5A}); // as in a working folder
    platform.mutexResult = IAppPlatform::MutexResult::AlreadyExists;
    CQKUtilApp& a = Make(L"");
    EXPECT_FALSE(a.InitInstance());
    a.ExitInstance();
    ASSERT_EQ(processes.Launches().size(), 1u);
    EXPECT_EQ(processes.Launches()[0].file, kProgram + u"QKRestoreApp.exe");
    EXPECT_EQ(processes.Launches()[0].directory, kProgram);
}

TEST_F(StartupFixture, InterfaceTypesComeFromTheLanguageFileOnlyWithoutTheFirstKey) {
    CQKUtilApp& fromLanguage = Make(L"/mFC:\\x.dat");
    ASSERT_TRUE(fromLanguage.InitInstance());
    std::vector<int32_t> types(fromLanguage.Context().supportedIFTypes,
                               fromLanguage.Context().supportedIFTypes + 5);
    EXPECT_NE(types[0], -1) << "the shipped language file lists the interface types";
    boxes.Answer(IDNO);
    Finish();

    SetSettingIni(u"[SupportCommIF]\r\nCommIFType_1=4\r\nCommIFType_2=1\r\n");
    CQKUtilApp& fromSettings = Make(L"/mFC:\\x.dat");
    ASSERT_TRUE(fromSettings.InitInstance());
    const UtilContext& c = fromSettings.Context();
    EXPECT_EQ(c.supportedIFTypes[0], 4);
    EXPECT_EQ(c.supportedIFTypes[1], 1);
    EXPECT_EQ(c.supportedIFTypes[2], -1);
    EXPECT_EQ(c.defaultIFType, -1) << "not taken from the language file";
    boxes.Answer(IDNO);
    Finish();
}

TEST_F(StartupFixture, LanguageFileMissingAfterTheChoiceEndsWithTheReinstallMessage) {
    LanguageVanishingFiles files(profile.Files(), kData + u"\\QKUCOUPON.INI");
    AppServices services;
    services.profile = &profile;
    services.files = &files;
    services.folders = &folders;
    services.processes = &processes;
    services.platform = &platform;
    services.commLibraryPath = L"NoSuchQKComm.dll";
    services.printerSelect.profile = &profile;
    app = std::make_unique<CQKUtilApp>(services);
    app->m_lpCmdLine = L"QK40UTL.exe /mFC:\\x.dat";
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(Texts(),
              std::vector<std::wstring>{L"Could not find the required files.\nPlease reinstall."});
    EXPECT_EQ(app->m_pMainWnd, nullptr) << "no main window after the failure";
    EXPECT_EQ(app->ExitInstance(), 1);
}

TEST_F(StartupFixture, FileModeYesHandsTheWriterTheDeviceFileAndLogoAndWarnsOnFailure) {
    struct Call {
        std::u16string model, path, logo;
        bool logoPresent;
    };
    std::vector<Call> calls;
    int32_t answer = 0;
    writer = [&](const std::u16string& model, const std::u16string& path,
                 const std::u16string& logo, bool present) {
        calls.push_back({model, path, logo, present});
        return answer;
    };
    auto run = [&](bool withLogo) {
        CQKUtilApp& a = Make(L"/mFC:\\work\\R40.dat");
        ASSERT_TRUE(a.InitInstance());
        if (withLogo)
            profile.Files().AddFile(a.Context().logoWorkFilePath, {1, 2, 3});
        boxes.Clear();
        boxes.Answer(IDYES);
        Finish();
    };

    run(true);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].model, u"QK-R40");
    EXPECT_EQ(calls[0].path, u"C:\\work\\R40.dat");
    EXPECT_TRUE(calls[0].logoPresent);
    EXPECT_NE(calls[0].logo.find(u"R40LOGO.tlg"), std::u16string::npos);
    EXPECT_EQ(Texts().size(), 1u) << "only the question: the writer succeeded";

    answer = -3;
    run(false);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[1].logoPresent) << "start-up deletes an old logo work file";
    EXPECT_EQ(calls[1].logo, u"");
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], L"Saving to the file failed.");
}

// Without a writer of its own the application writes the file from its own data blocks, with
// the font rows that "SETTING.INI" switches on.
TEST_F(StartupFixture, FileModeYesWritesTheCommandFileFromTheApplicationsBlocks) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring out =
        std::wstring(temp) + L"qk-startup-" + std::to_wstring(::GetCurrentProcessId()) + L".dat";
    ::DeleteFileW(out.c_str());
    SetSettingIni(u"[Font]\r\nEnableFontA=1\r\n");
    CQKUtilApp& a = Make((L"/mF" + out).c_str());
    ASSERT_TRUE(a.InitInstance());
    EXPECT_EQ(a.Context().enableFontA, 1);
    // What the pages would have left in the store.
    SettingsBlocks blocks;
    blocks.StoreAsThePagesDo(a.DataManager());
    const std::vector<uint8_t> section = ExpectedSection(true, false);
    boxes.Clear();
    boxes.Answer(IDYES);
    Finish();

    EXPECT_EQ(Texts().size(), 1u) << "only the question; no failure";
    std::vector<uint8_t> file;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(out), file));
    ::DeleteFileW(out.c_str());
    ASSERT_GE(file.size(), 256u);
    EXPECT_EQ(HexOf(std::vector<uint8_t>(file.begin() + 256, file.end())), HexOf(section))
        << "the body is the settings section, with the font A row";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 4, 8), "QK-R40\r\n");
}

TEST_F(StartupFixture, FrameCreationFailureEndsStartUpWithoutMessage) {
    struct RefusingFrame : CFrameWnd {
        bool OnCreate(CREATESTRUCTW*) override { return false; }
    };
    newFrame = [] { return new RefusingFrame; };
    CQKUtilApp& a = Make(L"/mFC:\\x.dat");
    EXPECT_FALSE(a.InitInstance());
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(a.m_pMainWnd, nullptr);
    EXPECT_EQ(a.ExitInstance(), 1);
}

} // namespace
} // namespace qk::test
