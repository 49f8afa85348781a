// The selection dialog in the driver installer's mode and its look-ups for start-up, with a
// library that reports prepared ports, a prepared list of installed printers and a prepared
// registry of retail printer services. The rows, the printer-name filter and the relaxed model
// comparison are the real program's cases, over the real spooler (StartupInstallerEndToEndTest);
// here, what that run cannot reach: the look-up by device path and an unbound library.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <map>
#include "app/connection/CommLibrary.h"
#include "app/connection/PortRecordText.h"
#include "tests/app/PrinterSelectWorld.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/fakes/FakeCommLibrary.h"

namespace qk::test {
namespace {

comm::PortRecord Port(const std::u16string& keyword, const std::u16string& name,
                      const std::u16string& device, const std::u16string& path) {
    comm::PortRecord record;
    std::memset(&record, 0, sizeof(record));
    app::SetSlotText(record.interfaceKeyword, keyword);
    app::SetSlotText(record.portName, name);
    app::SetSlotText(record.deviceName, device);
    app::SetSlotText(record.devicePath, path);
    return record;
}

class PreparedPrinters : public app::IInstalledPrinters {
public:
    std::vector<app::InstalledPrinter> printers;
    std::vector<app::InstalledPrinter> Enumerate() override { return printers; }
};

class PreparedRegistry : public os::IRegistry {
public:
    std::map<std::u16string, std::u16string> ports; // device subkey -> "Port"
    const std::u16string key = u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\POSPrinter";
    bool KeyExists(os::RegRoot, const std::u16string&) override { return true; }
    bool ReadString(os::RegRoot root, const std::u16string& subKey, const std::u16string& value,
                    std::u16string& out) override {
        for (const auto& [device, port] : ports)
            if (root == os::RegRoot::LocalMachine && subKey == key + u"\\" + device &&
                value == u"Port") {
                out = port;
                return true;
            }
        return false;
    }
    bool ReadDword(os::RegRoot, const std::u16string&, const std::u16string&, uint32_t&) override {
        return false;
    }
    std::vector<std::u16string> SubKeys(os::RegRoot root, const std::u16string& subKey) override {
        std::vector<std::u16string> names;
        if (root == os::RegRoot::LocalMachine && subKey == key)
            for (const auto& entry : ports)
                names.push_back(entry.first);
        return names;
    }
    std::vector<std::u16string> ValueNames(os::RegRoot, const std::u16string&) override {
        return {};
    }
};

class InstallerModeTest : public ::testing::Test {
protected:
    void SetUp() override {
        library.registered = {Port(u"USB", u"001", u"QK-R40", u"pipe://qk/RSDPRT3/QKPORT3"),
                              Port(u"NET", u"10.0.0.9", u"QK-R40II", u"pipe://qk/RSDPRT4/QKPORT4")};
        printers.printers = {
            {u"Receipt A", u"QKPORT3", u"TARROW QK-R40 Receipt5"},
            {u"Office laser", u"LPT1:", u"Generic Laser"},
            {u"Label B", u"QKPORT9", u"TARROW QK-R40 Label5"},
            {u"Plain driver", u"QKPORT4", u"TARROW QK-R40"}, // neither Receipt5 nor Label5
        };
        registry.ports = {{u"Other", u"RSDPRT7"}, {u"Counter", u"RSDPRT3"}};
        services.registry = &registry;
    }
    FakeCommLibrary library;
    PreparedPrinters printers;
    app::CPrinterChoice choice{library.Binding(), printers};
    PreparedRegistry registry;
    app::PrinterSelectServices services;
    SelectWorld world;
    ScriptedPresenter presenter;
};

TEST_F(InstallerModeTest, SelectByDevicePathTakesTheRegisteredPortOfThatFolder) {
    choice.SetDriverFilter(u"TARROW QK-R40");
    UtilContext& context = world.Context();
    EXPECT_FALSE(choice.SelectByDevicePath(u"pipe://qk/RSDPRT", context)) << "whole folder only";
    EXPECT_FALSE(choice.SelectByDevicePath(u"", context)) << "a path without '/' never matches";
    ASSERT_TRUE(choice.SelectByDevicePath(u"pipe://qk/RSDPRT4/", context));
    EXPECT_EQ(context.interfaceKind, 4);
    EXPECT_EQ(U16ToWide(app::SlotText(context.portRecord.portName)), L"10.0.0.9");
    // The installer entry whose port folder begins with the text is the chosen printer.
    ASSERT_TRUE(choice.SelectByDevicePath(u"pipe://qk/RSDPRT3/", context));
    EXPECT_EQ(choice.GetChosenPrinterName(), u"Receipt A");
}

TEST_F(InstallerModeTest, UnboundLibraryLeavesTheListEmptyAndOkAsksForARow) {
    app::CPrinterChoice plain;
    EXPECT_TRUE(plain.GetChosenPrinterName().empty());
    comm::PortRecord record;
    std::memset(&record, 0, sizeof(record));
    EXPECT_EQ(plain.TestPrinter(1, record), static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(plain.LastTestResult(), static_cast<int32_t>(0x80000000u));

    ScriptedSelectDlg dialog(plain, services);
    dialog.SetContext(world.Context());
    size_t rows = 9;
    bool okEnabled = true;
    dialog.steps.push_back([&](HWND hwnd) {
        rows = ListRows(hwnd).size();
        okEnabled = ::IsWindowEnabled(::GetDlgItem(hwnd, IDOK));
        Click(hwnd, IDOK);
        Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(rows, 0u);
    EXPECT_FALSE(okEnabled);
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"Please select the printer you want to setup.");
}

} // namespace
} // namespace qk::test
