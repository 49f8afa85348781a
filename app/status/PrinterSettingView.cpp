#include "app/status/PrinterSettingView.h"
#include "framework/system/EmulatorPort.h"

#include <cstring>
#include "app/connection/ModelName.h"
#include "app/shell/Model.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/UtilMessageBox.h"
#include "framework/view/UtilMessages.h"
#include "framework/context/TextSlot.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr char16_t kScreen[] = u"PRINTER_SETTING_VIEW";
constexpr int32_t kNameBufferBytes = 90;
constexpr int32_t kAllInformation = 31;
constexpr int32_t kFeature3 = 3;

constexpr int32_t kMessageWrongDevice = 0;
constexpr int32_t kMessageCommError = 1;
constexpr int32_t kMessageIncomplete = 2;
constexpr char16_t kWrongDeviceText[] = u"The device ID does not match the connected printer.";
constexpr char16_t kCommErrorText[] = u"A communication error occurred.";
constexpr char16_t kIncompleteText[] = u"Could not get some settings from the printer.";

// The page's own retry parameters: a first value nothing reads, attempts and their pause.
constexpr int32_t kRetryFirst = 100;
constexpr int32_t kRetryAttempts = 20;
constexpr int32_t kRetryIntervalMs = 1000;

int64_t NowSeconds() {
    return static_cast<int64_t>(::GetTickCount64() / 1000);
}

// OEM text into a UTF-16 slot of `slotChars` characters, always terminated inside the slot.
void OemToSlot(const char* text, char16_t* slot, int slotChars) {
    std::memset(slot, 0, sizeof(char16_t) * static_cast<size_t>(slotChars));
    if (!text || !*text)
        return;
    int length = ::MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, text, -1,
                                       reinterpret_cast<wchar_t*>(slot), slotChars - 1);
    if (length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        // Too long for the slot: keep what fits.
        int needed = ::MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, text, -1, nullptr, 0);
        if (needed <= 0)
            return;
        std::wstring whole(static_cast<size_t>(needed), L'\0');
        ::MultiByteToWideChar(CP_OEMCP, MB_PRECOMPOSED, text, -1, whole.data(), needed);
        std::memcpy(slot, whole.data(), sizeof(char16_t) * static_cast<size_t>(slotChars - 1));
    }
    slot[slotChars - 1] = 0;
}

std::u16string OemToText(const std::string& text) {
    char16_t slot[kPrinterInfoStringChars * 2];
    OemToSlot(text.c_str(), slot, static_cast<int>(std::size(slot)));
    return slot;
}

template <typename Fn> bool Resolve(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return fn != nullptr;
}

} // namespace

CPrinterSettingView::CPrinterSettingView() : CSingleFormView(IDD_DUMMY_VIEW, kScreen) {}

CPrinterSettingView::~CPrinterSettingView() {
    ReleaseLibrary();
}

bool CPrinterSettingView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        // The page is never shown, so it has no language notices of its own: the status
        // strip has already reported a missing language file.
        if (UtilContext* context = Context();
            context && m_texts.LoadLangFile(std::u16string(SlotView(context->languageFolder)),
                                            context->languageId, kLangEnglish) != kLangNoFile)
            m_texts.LoadScreenTexts(kScreen);
        // A page without the library answers -24 to every read; nothing is said here.
        BindLibrary();
        result = TRUE;
        return true;
    }
    return CSingleFormView::OnMessage(msg, wp, lp, result);
}

int32_t CPrinterSettingView::BindLibrary() {
    if (m_context)
        return 1;
    // Without a binding record (the file mode has none) the library makes no context: it is
    // not loaded for it.
    UtilContext* context = Context();
    if (!context || !context->binding)
        return kReadNoLibrary;
    if (!m_library)
        m_library = LoadLibraryFrom(ProgramFolder(), kLibraryName);
    if (!m_library)
        return kReadNoLibrary;
    bool complete = Resolve(m_library, "Initialize", m_pfnInitialize);
    complete &= Resolve(m_library, "Finalize", m_pfnFinalize);
    complete &= Resolve(m_library, "RegisterCallback", m_pfnRegisterCallback);
    complete &= Resolve(m_library, "UnregisterCallback", m_pfnUnregisterCallback);
    complete &= Resolve(m_library, "GetPrinterInformation", m_pfnGetPrinterInformation);
    complete &= Resolve(m_library, "GetPrinterName", m_pfnGetPrinterName);
    complete &= Resolve(m_library, "GetDeviceID", m_pfnGetDeviceID);
    Resolve(m_library, "GetPrinterInfo", m_pfnGetPrinterInfo);
    if (!complete)
        return kReadNoLibrary;
    m_context = m_pfnInitialize(context->binding);
    return m_context ? 1 : kReadNoLibrary;
}

void CPrinterSettingView::ReleaseLibrary() {
    if (m_context && m_pfnFinalize)
        m_pfnFinalize(&m_context);
    m_context = nullptr;
    if (m_library)
        ::FreeLibrary(m_library);
    m_library = nullptr;
}

bool CPrinterSettingView::GetRetryParameters(int32_t* first, int32_t* attempts,
                                             int32_t* intervalMs) {
    if (first)
        *first = kRetryFirst;
    if (attempts)
        *attempts = kRetryAttempts;
    if (intervalMs)
        *intervalMs = kRetryIntervalMs;
    return true;
}

int32_t CPrinterSettingView::ReadName(bool withIdentification, std::string& name,
                                      int32_t& idValue) {
    name.clear();
    idValue = 0;
    if (!m_context)
        return kReadNoLibrary;
    int32_t first = kRetryFirst, attempts = kRetryAttempts, interval = kRetryIntervalMs;
    if (!GetRetryParameters(&first, &attempts, &interval)) {
        first = kRetryFirst;
        attempts = kRetryAttempts;
        interval = kRetryIntervalMs;
    }
    const int64_t start = NowSeconds();
    // Waits after a failed try; false when the time is up or the tries are used up.
    auto mayTryAgain = [&](int32_t attempt) {
        if (NowSeconds() - start > kReadLimitSeconds || attempt + 1 >= attempts ||
            CommCtrl().StopRequested())
            return false;
        ::Sleep(static_cast<DWORD>(interval > 0 ? interval : 0));
        return true;
    };

    char buffer[kNameBufferBytes];
    bool named = false;
    for (int32_t attempt = 0; attempt < attempts; ++attempt) {
        std::memset(buffer, 0, sizeof(buffer));
        if (m_pfnGetPrinterName(m_context, buffer, kNameBufferBytes) == 1) {
            named = true;
            break;
        }
        if (!mayTryAgain(attempt))
            break;
    }
    if (!named)
        return kReadNoAnswer;
    buffer[kNameBufferBytes - 1] = 0;
    name = buffer;
    if (!withIdentification)
        return 1;

    int32_t last = 0;
    for (int32_t attempt = 0; attempt < attempts; ++attempt) {
        idValue = 0;
        last = m_pfnGetDeviceID(m_context, &idValue);
        if (last == 1)
            return 1;
        if (NowSeconds() - start > kReadLimitSeconds || CommCtrl().StopRequested())
            return kReadNoAnswer;
        if (attempt + 1 >= attempts)
            break;
        ::Sleep(static_cast<DWORD>(interval > 0 ? interval : 0));
    }
    return last;
}

int32_t CPrinterSettingView::ReadPrinterInformation() {
    if (ReadDataBlock(kPrinterInfoBlockKey, &m_info, sizeof(m_info)) != 0 ||
        m_info.header.key != kPrinterInfoBlockKey) {
        // A store without the block gets a fresh one under this controller's header.
        PluginBlockHeader header{};
        if (Controller())
            Controller()->GetBlockHeader(&header);
        SetPrinterInfoDefaults(m_info, header);
    }
    if (!m_pfnGetPrinterInformation || !m_context)
        return kReadNoLibrary;
    comm::PrinterInformation record{};
    record.requestMask = kAllInformation;
    int32_t answer = m_pfnGetPrinterInformation(m_context, &record, 0);
    if (answer != 1)
        return answer;
    for (int i = 0; i < kPrinterInfoStrings; ++i)
        OemToSlot(record.strings[i], m_info.strings[i], kPrinterInfoStringChars);

    UtilContext* context = Context();
    m_info.arpSupport = context ? context->arpSupport : 0;
    m_info.zero956 = 0;
    int32_t flag = 0;
    comm::QkcBinding* binding = context ? context->binding : nullptr;
    if (!comm::IsBound(binding) || binding->QKC_IsSupported(kFeature3, &flag) != 0)
        flag = 0;
    m_info.feature3 = flag;
    m_info.feature3Copy = flag;
    m_info.emulatorPortSet = EmulatorConfigured(context) ? 1 : 0;
    m_info.informationRead = 1;
    WriteDataBlock(kPrinterInfoBlockKey, &m_info, sizeof(m_info));
    if (Controller() && Controller()->OwnerWindow())
        ::PostMessageW(Controller()->OwnerWindow(), WM_UTIL_UPDATEPRINTERINFO, 0, 0);
    return 1;
}

bool CPrinterSettingView::EmulatorConfigured(UtilContext* context) {
    if (!context)
        return false;
    sys::CEmulatorPort emulator;
    sys::EmulatorPortSettings record = emulator.NewSettings();
    comm::PortRecord* port = &context->portRecord;
    size_t chars = 0;
    while (chars < comm::kPortTextChars && port->deviceName[chars])
        ++chars;
    // Setting the port up may route it through the emulator when its journal or coupons are
    // on and it is not routed yet.
    return emulator.SetupEmulatorPort(record, context->binding,
                                      std::u16string(port->deviceName, chars), port,
                                      context->paperSizeCode, context->resolutionDpi) &&
           emulator.CanRoute(record);
}

void CPrinterSettingView::Report(int32_t value) {
    CommCtrl().ReportProgress(value);
}

void CPrinterSettingView::Warn(int32_t messageIndex, const char16_t* english) {
    std::u16string text = m_texts.TextOr(LangListKind::ScreenMessages, messageIndex, english);
    ShowWarning(CommCtrl().CommStateWindow(), WidePtr(text));
}

bool CPrinterSettingView::NameMatches(const std::string& oemName) const {
    std::u16string name = OemToText(oemName);
    UtilContext* context = Context();
    const int32_t mode = context ? context->startMode : kStartOrdinary;
    if (mode == kStartInstaller || mode == kStartInstallerLogo)
        return MatchModelName(name, kServedModel);
    return name == kServedModel;
}

int32_t CPrinterSettingView::SettingsRead() {
    const auto steps = static_cast<int32_t>(m_readers.size()) + 2;
    Report(0);
    Report(100 / steps);
    std::string name;
    int32_t idValue = 0;
    int32_t named = ReadName(true, name, idValue);
    if (named != 1) {
        if (!name.empty() && idValue == 0)
            Warn(kMessageWrongDevice, kWrongDeviceText);
        else
            Warn(kMessageCommError, kCommErrorText);
        Report(100);
        return kReadWrongPrinter;
    }
    if (!NameMatches(name)) {
        Warn(kMessageWrongDevice, kWrongDeviceText);
        Report(100);
        return kReadWrongPrinter;
    }
    Report(200 / steps);
    int32_t last = ReadPrinterInformation();
    bool incomplete = last != 1;
    int32_t k = 0;
    for (SettingsReader reader : m_readers) {
        last = reader ? reader() : kReadNoLibrary;
        Report((300 + 100 * k) / steps);
        ++k;
        if (last != 1)
            incomplete = true;
        if (last == kReadNoAnswer)
            break;
        if (CommCtrl().StopRequested()) {
            incomplete = true; // the readers left out did not read
            break;
        }
    }
    Report(100);
    if (incomplete)
        Warn(kMessageIncomplete, kIncompleteText);
    else if (UtilContext* context = Context(); context && context->dataManager)
        context->dataManager->SetSaveFlag(1);
    return last;
}

unsigned __stdcall CPrinterSettingView::SettingsReadWorker(void* page) {
    try {
        auto* view = static_cast<CPrinterSettingView*>(page);
        return static_cast<unsigned>(view ? view->SettingsRead() : kReadNoLibrary);
    } catch (...) {
        return static_cast<unsigned>(kReadNoLibrary);
    }
}

int32_t CPrinterSettingView::RunSettingsRead() {
    CommCtrl().SetWorkerProc(&CPrinterSettingView::SettingsReadWorker);
    return CommCtrl().RunExchange(this);
}

} // namespace qk::app
