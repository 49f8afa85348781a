// An end-to-end run on a virtual serial port of the maker's port driver, as `make run`
// registers one: the port's entry in the Windows port registry, the driver's uninstall entry,
// and the port tool and the journal viewer where the utility looks for them. What this puts on
// the machine (the entry, the emulator's section and journal, the tools) is the run's own and
// removed at its end.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {

class JournalPortRun : public UtilityRun {
protected:
    static constexpr DWORD kRoutingBit = 0x1000000;

    void SetUp() override;
    void TearDown() override;

    // The simulator keeping the port's journal while the port is routed.
    void StartPrinterKeepingTheJournal();
    // The printer selection's first port (the virtual one), with the tools' log folder.
    void StartWithTools(HWND& frame, bool settle = true);
    std::vector<std::wstring> ToolsEnvironment() const;

    // The program files folders a 32-bit program may take for the maker's: its own and the
    // system's native one.
    static std::vector<std::wstring> ProgramFolders();

    std::wstring ParserIni() const;
    std::wstring JournalFile() const;
    std::wstring ToolsLog() const;
    // A key of the port's emulator section, "(none)" when it is missing.
    std::wstring SectionValue(const wchar_t* key) const;
    // Forgets the port's emulator section and routing, as before any switch.
    void ForgetSectionAndRouting();
    DWORD RoutingMode() const;
    void SetRoutingMode(DWORD mode);
    // The port tool's runs with these arguments that ended with 0.
    int ToolRuns(const std::wstring& arguments) const;
    // The journal block of the printer's settings file written at exit, -1 when none.
    int32_t SavedJournalFlag() const;
    static std::string ReadBytes(const std::wstring& path);

    std::wstring port;    // the virtual serial port, a name of this run's own
    std::wstring section; // the port driver's id of the port: the emulator's section

private:
    void RegisterPortEntry();
    void RegisterDriver();
    void Place(const std::wstring& file, const std::wstring& subfolder);

    std::wstring entry_; // the port's entry under the PORTS key
    bool ownDriverEntry_ = false;
    std::vector<std::wstring> placed_; // the tools this run put where the utility looks
};

} // namespace qk::test
