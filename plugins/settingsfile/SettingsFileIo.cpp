#include <windows.h>

#include "plugins/settingsfile/SettingsFileIo.h"

#include <new>
#include "app/status/SettingsCommandFileWriter.h"
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "platform/Text.h"

namespace qk::settingsfile {
namespace {

std::u16string Slot(const char16_t* slot, size_t chars) {
    return std::u16string(SlotView(slot, chars));
}

bool FileExists(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(WidePtr(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWhole(const std::u16string& path, Bytes& bytes) {
    HANDLE file = CreateFileW(WidePtr(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
              static_cast<uint64_t>(size.QuadPart) <= kMaxSettingsFileBytes;
    if (ok) {
        try {
            bytes.resize(static_cast<size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD read = 0;
        ok = ::ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                        nullptr) &&
             read > 0;
        done += read;
    }
    CloseHandle(file);
    return ok;
}

} // namespace

std::u16string PrinterModel(const UtilContext& context, IPluginDataMgr& store) {
    std::u16string model =
        Slot(context.portRecord.deviceName, std::size(context.portRecord.deviceName));
    if (!model.empty())
        return model;
    PrinterInfoBlock info{};
    if (store.ReadBlock(kPrinterInfoBlockKey, &info, sizeof info) != 0)
        return model;
    return Slot(info.strings[1], kPrinterInfoStringChars);
}

int32_t SavePrinterSettings(const UtilContext& context, IPluginDataMgr& store,
                            const std::u16string& path) {
    if (context.startMode != kStartFileMode && store.GetSaveFlag() != 1)
        return kSettingsNotRead;
    // The inputs the file mode gives its writer at exit, so the two files are alike.
    const std::u16string logo = Slot(context.logoWorkFilePath, kTextSlot);
    const bool logoPresent = !logo.empty() && FileExists(logo);
    const std::u16string model = PrinterModel(context, store);
    // The remote and printer-control menus have no logo page: nothing read the logo settings,
    // so the file carries what was read and leaves the printer's logo settings as they are.
    LogoSettingBlock logoBlock{};
    const bool logoSettings =
        store.ReadBlock(kLogoSettingBlockKey, &logoBlock, sizeof logoBlock) == 0;
    return app::WriteSettingsFile(
        store, model, path, logoPresent ? logo : u"", logoPresent,
        {context.enableFontA != 0, context.enableFontB != 0, logoSettings});
}

int32_t ReadSettingsFile(const std::u16string& path, const std::u16string& modelName,
                         CheckedFile& file) {
    file = CheckedFile{};
    Bytes bytes;
    if (path.empty() || !ReadWhole(path, bytes))
        return kFileUnreadable;
    return CheckSettingsFile(bytes.data(), bytes.size(), app::ModelNameForHeader(modelName), file);
}

} // namespace qk::settingsfile
