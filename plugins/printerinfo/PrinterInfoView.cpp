#include "plugins/printerinfo/PrinterInfoView.h"

#include <cstring>

#include "framework/context/UtilContext.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "resource.h"

namespace qk::printerinfo {
namespace {

constexpr char16_t kScreen[] = u"QKUPRNINFO_DLL";

// Screen messages of the page.
constexpr int kMsgCopied = 0, kMsgNotCopied = 1, kMsgSaved = 2, kMsgNotSaved = 3;
// The screen string after the labels: the save dialog's filter.
constexpr int kStrFilter = kLabelCount;

} // namespace

CPrinterInfoView::CPrinterInfoView() : CSingleFormView(IDD_PRNINFO_VIEW, kScreen) {}

void CPrinterInfoView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
    ShowInformation();
}

void CPrinterInfoView::OnActivatePage() {
    CSingleFormView::OnActivatePage();
    ShowInformation();
}

bool CPrinterInfoView::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED && id == IDC_PRNINFO_COPY) {
        OnCopyClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_PRNINFO_SAVE) {
        OnSaveClicked();
        return true;
    }
    return CSingleFormView::OnCommand(code, id, control);
}

InfoLabels CPrinterInfoView::Labels() const {
    InfoLabels labels = EnglishLabels();
    for (int i = 0; i < kLabelCount; ++i)
        labels[i] = PageTexts().TextOr(LangListKind::ScreenStrings, i, labels[i]);
    return labels;
}

std::u16string CPrinterInfoView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

void CPrinterInfoView::ShowInformation() {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!m_hWnd || !context || !store)
        return;
    m_text = InformationText(*context, *store, Labels(), LocalTimeText());
    ::SetDlgItemTextW(m_hWnd, IDC_PRNINFO_TEXT, WidePtr(m_text));
}

void CPrinterInfoView::OnCopyClicked() {
    bool copied = false;
    const size_t bytes = (m_text.size() + 1) * sizeof(char16_t);
    if (::OpenClipboard(m_hWnd)) {
        ::EmptyClipboard();
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* target = memory ? ::GlobalLock(memory) : nullptr) {
            std::memcpy(target, m_text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // The clipboard owns the memory once it took it.
            copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (memory && !copied)
            ::GlobalFree(memory);
        ::CloseClipboard();
    }
    if (!copied)
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotCopied, u"The information could not be "
                                                           u"copied to the clipboard.")));
    else
        ShowInfo(m_hWnd, WidePtr(Message(kMsgCopied, u"The information was copied to the "
                                                     u"clipboard.")));
}

std::u16string CPrinterInfoView::ChooseFile() const {
    // The filter's parts are separated by '|' in the language file; the dialog wants NULs.
    std::u16string filter = PageTexts().TextOr(LangListKind::ScreenStrings, kStrFilter,
                                               u"Text files (*.txt)|*.txt|All files (*.*)|*.*|");
    for (char16_t& c : filter)
        if (c == u'|')
            c = u'\0';
    filter += u'\0';
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = WidePtr(filter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    // The dialog's library comes when the operator first saves, not with the page.
    static auto* const saveDialog =
        SystemLibraryFunction<decltype(::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!saveDialog || !saveDialog(&ofn))
        return {};
    return FromWide(path);
}

void CPrinterInfoView::OnSaveClicked() {
    const std::u16string path = ChooseFile();
    if (path.empty())
        return;
    if (SaveInformationText(path, m_text) != 0) {
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotSaved, u"The information could not be saved "
                                                          u"to the file.")));
        return;
    }
    ShowInfo(m_hWnd, WidePtr(Message(kMsgSaved, u"The information was saved.")));
}

} // namespace qk::printerinfo
