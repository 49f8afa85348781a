#include "plugins/logo/LogoView.h"

#include <algorithm>
#include <tuple>
#include <utility>
#include "framework/context/UtilContext.h"
#include "framework/lang/FilledText.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "plugins/logo/LogoPreview.h"
#include "plugins/logo/PictureOpenDialog.h"
#include "resource.h"

namespace qk::logo {
namespace {

constexpr char16_t kScreen[] = u"QKULOGOSTG_DLL";

// Screen messages of the page besides the read's and the write's.
constexpr int kMsgUnreadable = 5, kMsgEmpty = 6, kMsgTooLarge = 7, kMsgDeleteOne = 8,
              kMsgDeleteAll = 9, kMsgBadKeyCode = 10, kMsgNoKeyCode = 11, kMsgFileNotWritten = 12,
              kMsgDeleted = 13;
// Screen strings: the names of what an exchange missed, and the open dialog's filter.
constexpr int kStrGraphic = 0, kStrTopLogo = 1, kStrBottomLogo = 2, kStrOptions = 3, kStrValue = 4,
              kStrStoredList = 5, kStrPictures = 6, kStrAllFiles = 7;

constexpr char16_t kConversionNames[][32] = {u"Threshold", u"Error diffusion"};
constexpr char16_t kAlignmentNames[][32] = {u"Left", u"Center", u"Right"};
constexpr UINT kOptionIds[] = {IDC_LOGO_OPTION30, IDC_LOGO_OPTION40, IDC_LOGO_OPTION41};
static_assert(std::size(kOptionIds) == std::size(kLogoOptions));

std::u16string CodeText(const KeyCode& code) {
    if (code == KeyCode{})
        return u"";
    return std::u16string{static_cast<char16_t>(code.first), static_cast<char16_t>(code.second)};
}

std::u16string ItemText(HWND dialog, UINT id) {
    wchar_t buffer[64] = {};
    ::GetDlgItemTextW(dialog, static_cast<int>(id), buffer, 64);
    return FromWide(buffer);
}

// "" is no logo; else exactly two printable characters.
std::optional<KeyCode> ParseCode(const std::u16string& text) {
    if (text.empty())
        return KeyCode{};
    if (text.size() != 2)
        return std::nullopt;
    KeyCode code{static_cast<uint8_t>(text[0] < 0x100 ? text[0] : 0),
                 static_cast<uint8_t>(text[1] < 0x100 ? text[1] : 0)};
    return IsKeyCode(code) ? std::optional<KeyCode>(code) : std::nullopt;
}

} // namespace

CLogoView::CLogoView() : CPrinterPage(IDD_LOGO_VIEW, kScreen, IDC_LOGO_NOTE) {}

bool CLogoView::AutoNumbering() const {
    return Context() && Context()->autoKeycodeNumbering != 0;
}

int32_t CLogoView::PrintableDots() {
    PaperSettingBlock paper{};
    if (ReadDataBlock(kPaperSettingBlockKey, &paper, sizeof paper) == kStoreOk &&
        paper.header.key == kPaperSettingBlockKey)
        return PrintableWidth(static_cast<uint16_t>(paper.paperSize));
    return kPrintableDots80mm;
}

void CLogoView::OnInitialUpdate() {
    CPrinterPage::OnInitialUpdate();
    NamePreview(u"");
    // Key codes are two characters, the threshold and the option value plain numbers.
    const std::pair<UINT, UINT> kLimits[] = {{IDC_LOGO_KEYCODE, 2},
                                             {IDC_LOGO_TOP, 2},
                                             {IDC_LOGO_BOTTOM, 2},
                                             {IDC_LOGO_THRESHOLD, 3},
                                             {IDC_LOGO_VALUE100, 5}};
    for (const auto& [id, count] : kLimits)
        CEdit(GetDlgItem(id)).SetLimitText(count);
    ::SetDlgItemInt(m_hWnd, IDC_LOGO_THRESHOLD, 128, FALSE);
    FillChoices(IDC_LOGO_CONVERSION, 1);
    // The stored graphics are the printer's: the file mode's command file deletes them all.
    for (UINT id : {IDC_LOGO_STORED, IDC_LOGO_DELETE, IDC_LOGO_DELETE_ALL})
        CDialog::EnableItem(m_hWnd, static_cast<int>(id), !FileMode());
    CEdit(GetDlgItem(IDC_LOGO_KEYCODE)).SetReadOnly(AutoNumbering());
    ShowStoredSettings();
}

// The language file's names for a combo box, else the English ones.
void CLogoView::FillChoices(UINT comboId, int selected) {
    CComboBox combo(GetDlgItem(comboId));
    const CRedrawPause paused(combo.m_hWnd);
    combo.ResetContent();
    const CLangResTable& texts = PageTexts();
    for (int32_t i = 0; i < texts.Count(LangListKind::ComboItems); ++i) {
        const auto* item =
            static_cast<const CComboBoxResInfo*>(texts.Entry(LangListKind::ComboItems, i));
        if (item && item->m_nCtrlID == static_cast<int32_t>(comboId)) {
            const int index = combo.AddString(WidePtr(std::u16string(item->m_strText)));
            if (index >= 0)
                combo.SetItemData(index, static_cast<DWORD_PTR>(item->m_nItemData));
        }
    }
    if (combo.GetCount() <= 0) {
        const bool conversion = comboId == IDC_LOGO_CONVERSION;
        const int count = conversion ? 2 : 3;
        for (int i = 0; i < count; ++i) {
            const int index =
                combo.AddString(WidePtr(conversion ? kConversionNames[i] : kAlignmentNames[i]));
            combo.SetItemData(index, static_cast<DWORD_PTR>(i));
        }
    }
    int chosen = 0;
    for (int i = 0; i < combo.GetCount(); ++i)
        if (combo.GetItemData(i) == static_cast<DWORD_PTR>(selected))
            chosen = i;
    combo.SetCurSel(chosen);
}

void CLogoView::ShowStored() {
    m_held.settings = LoadStored<LogoSettings>();
    ShowSettings(m_held.settings);
    ShowStoredList();
    ShowKeyCode();
}

void CLogoView::ShowSettings(const LogoSettings& settings) {
    const LogoPlacement top = settings.Placement(LogoPlace::Top);
    const LogoPlacement bottom = settings.Placement(LogoPlace::Bottom);
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_TOP, WidePtr(CodeText(top.code)));
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_BOTTOM, WidePtr(CodeText(bottom.code)));
    FillChoices(IDC_LOGO_TOP_ALIGN, top.alignment);
    FillChoices(IDC_LOGO_BOTTOM_ALIGN, bottom.alignment);
    for (std::size_t i = 0; i < std::size(kOptionIds); ++i)
        CButton(GetDlgItem(kOptionIds[i]))
            .SetCheck(settings.Option(kLogoOptions[i]) ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemInt(m_hWnd, IDC_LOGO_VALUE100, settings.Value100(), FALSE);
}

void CLogoView::ShowStoredList() {
    const CListBox list(GetDlgItem(IDC_LOGO_STORED));
    list.ResetContent();
    for (const KeyCode& code : m_held.stored)
        list.AddString(ToWide(CodeText(code)).c_str());
}

// With automatic numbering the page's choice; without it the same suggestion until the
// operator types a code of their own.
void CLogoView::ShowKeyCode() {
    // Only a code the operator typed stays: the page's own suggestion follows the stored list,
    // which the settings read may bring after the page showed (a stale "01" would overwrite
    // the graphic the printer holds under it).
    const std::u16string shown = ItemText(m_hWnd, IDC_LOGO_KEYCODE);
    if (!AutoNumbering() && !shown.empty() && shown != m_suggestedCode)
        return;
    // The file mode's command file deletes every stored graphic before it stores its own.
    auto code = ChooseKeyCode(true, {}, FileMode() ? std::vector<KeyCode>{} : m_held.stored);
    m_suggestedCode = code ? CodeText(*code) : u"";
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_KEYCODE, WidePtr(m_suggestedCode));
}

bool CLogoView::WantedFromControls(LogoSettings& wanted) {
    wanted = m_held.settings;
    for (auto [place, codeId, alignId] :
         {std::tuple{LogoPlace::Top, IDC_LOGO_TOP, IDC_LOGO_TOP_ALIGN},
          std::tuple{LogoPlace::Bottom, IDC_LOGO_BOTTOM, IDC_LOGO_BOTTOM_ALIGN}}) {
        auto code = ParseCode(ItemText(m_hWnd, codeId));
        if (!code)
            return false;
        CComboBox align(GetDlgItem(alignId));
        const int selected = align.GetCurSel();
        const uint8_t alignment =
            selected >= 0 ? static_cast<uint8_t>(align.GetItemData(selected)) : kAlignLeft;
        wanted.SetPlacement(place, {*code, *code == KeyCode{} ? uint8_t{0} : alignment});
    }
    for (std::size_t i = 0; i < std::size(kOptionIds); ++i)
        wanted.SetOption(kLogoOptions[i],
                         CButton(GetDlgItem(kOptionIds[i])).GetCheck() == BST_CHECKED);
    BOOL ok = FALSE;
    const UINT value = ::GetDlgItemInt(m_hWnd, IDC_LOGO_VALUE100, &ok, FALSE);
    if (ok && value <= 0xFFFF)
        wanted.SetValue100(static_cast<uint16_t>(value));
    return true;
}

std::optional<KeyCode> CLogoView::NewKeyCode() {
    auto typed = ParseCode(ItemText(m_hWnd, IDC_LOGO_KEYCODE));
    return ChooseKeyCode(AutoNumbering(), typed.value_or(KeyCode{}),
                         FileMode() ? std::vector<KeyCode>{} : m_held.stored);
}

int32_t CLogoView::IsModified() {
    if (!m_hWnd || !Shown())
        return 0;
    if (m_picture.Pending())
        return 1;
    LogoSettings wanted;
    // A key code being typed is a change, even while it is not one yet.
    if (!WantedFromControls(wanted))
        return 1;
    return wanted == m_held.settings ? 0 : 1;
}

bool CLogoView::OnCommand(UINT code, UINT id, HWND control) {
    switch (id) {
    case IDC_LOGO_OPEN:
        if (code == BN_CLICKED)
            OnOpen();
        return true;
    case IDC_LOGO_CONVERSION:
        if (code == CBN_SELCHANGE)
            OnConversionChanged();
        return true;
    case IDC_LOGO_THRESHOLD:
        if (code == EN_KILLFOCUS)
            OnConversionChanged();
        return true;
    case IDC_LOGO_DELETE:
    case IDC_LOGO_DELETE_ALL:
        if (code == BN_CLICKED)
            OnDelete(id == IDC_LOGO_DELETE_ALL);
        return true;
    default:
        return CPrinterPage::OnCommand(code, id, control);
    }
}

void CLogoView::OnOpen() {
    const std::wstring path = CPictureOpenDialog(Text(kStrPictures, u"Pictures (*.bmp;*.png)"),
                                                 Text(kStrAllFiles, u"All files (*.*)"))
                                  .Choose(m_hWnd);
    if (!path.empty())
        OpenPicture(path);
}

RasterOptions CLogoView::ConversionOptions() {
    RasterOptions options;
    options.maxWidth = PrintableDots();
    CComboBox conversion(GetDlgItem(IDC_LOGO_CONVERSION));
    const int selected = conversion.GetCurSel();
    options.conversion = selected >= 0 && conversion.GetItemData(selected) == 0
                             ? Conversion::Threshold
                             : Conversion::ErrorDiffusion;
    BOOL ok = FALSE;
    const UINT threshold = ::GetDlgItemInt(m_hWnd, IDC_LOGO_THRESHOLD, &ok, FALSE);
    options.threshold = static_cast<uint8_t>(ok ? std::clamp<UINT>(threshold, 1, 254) : 128);
    return options;
}

bool CLogoView::OpenPicture(const std::wstring& path) {
    const PictureProblem problem = m_picture.Open(path, ConversionOptions());
    if (problem != PictureProblem::None) {
        const int message = problem == PictureProblem::Empty      ? kMsgEmpty
                            : problem == PictureProblem::TooLarge ? kMsgTooLarge
                                                                  : kMsgUnreadable;
        static constexpr const char16_t* kEnglish[] = {
            u"The picture could not be read. Choose a BMP or PNG file.",
            u"The picture is empty: it has nothing to print.",
            u"The picture is too large for the printer's graphics memory. Choose a smaller "
            u"picture."};
        ShowWarning(m_hWnd, WidePtr(Message(message, kEnglish[message - kMsgUnreadable])));
        return false;
    }
    const std::u16string line = m_picture.Line();
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_FILE, WidePtr(line));
    NamePreview(line);
    ShowKeyCode();
    ::InvalidateRect(GetDlgItem(IDC_LOGO_PREVIEW), nullptr, TRUE);
    return true;
}

void CLogoView::OnConversionChanged() {
    if (m_picture.Reconvert(ConversionOptions()))
        ::InvalidateRect(GetDlgItem(IDC_LOGO_PREVIEW), nullptr, TRUE);
}

void CLogoView::NamePreview(const std::u16string& pictureLine) {
    std::u16string name = ItemText(m_hWnd, IDC_LOGO_PICTURE_GROUP);
    if (!pictureLine.empty())
        name += u": " + pictureLine;
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_PREVIEW, WidePtr(name));
}

std::u16string CLogoView::MissedNames(uint32_t missed) const {
    std::u16string names;
    struct Name {
        uint32_t items;
        int index;
        const char16_t* english;
    };
    static constexpr Name kNames[] = {
        {kItemGraphic, kStrGraphic, u"Stored graphic"},
        {kItemKeyCodes, kStrStoredList, u"List of stored graphics"},
        {kItemTopLogo, kStrTopLogo, u"Top logo"},
        {kItemBottomLogo, kStrBottomLogo, u"Bottom logo"},
        {kItemOptions, kStrOptions, u"Logo options"},
        {kItemValue100, kStrValue, u"Logo value"},
    };
    for (const Name& name : kNames) {
        if (!(missed & name.items))
            continue;
        if (!names.empty())
            names += u", ";
        names += Text(name.index, name.english);
    }
    return names;
}

int32_t CLogoView::ReadPrinter(const PrinterWork& work, LogoRead& read) {
    PrinterLogos logos;
    logos.settings.Load(*work.store);
    read.report = LogoExchange(work.link, work.waitMs).Read(logos);
    logos.settings.Store(*work.store);
    read.stored = logos.stored;
    return read.report.result;
}

void CLogoView::ShowRead(const LogoRead& read) {
    m_held.stored = read.stored;
    // The operator's edits stay; an untouched page shows what the printer holds.
    const bool edited = IsModified() == 1;
    m_held.settings = LoadStored<LogoSettings>();
    if (!edited)
        ShowSettings(m_held.settings);
    ShowStoredList();
    ShowKeyCode();
    ShowNote(ReadNote(read.report.result == kLogoNoAnswer, read.report.result == 1,
                      MissedNames(read.report.missed)));
}

bool CLogoView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_DRAWITEM && wp == IDC_LOGO_PREVIEW) {
        DrawLogoPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp), m_picture.Dots(),
                        PrintableDots());
        result = TRUE;
        return true;
    }
    return CPrinterPage::OnMessage(msg, wp, lp, result);
}

int32_t CLogoView::SaveToFile() {
    IPluginDataMgr* store = DataManager();
    if (!store || !Context())
        return -2;
    LogoSettings wanted;
    if (!WantedFromControls(wanted)) {
        ShowWarning(m_hWnd, WidePtr(Message(kMsgBadKeyCode, u"A key code is two characters: "
                                                            u"letters, digits or signs.")));
        return -5;
    }
    if (m_picture.Pending()) {
        auto code = NewKeyCode();
        if (!code) {
            ShowWarning(m_hWnd, WidePtr(Message(kMsgBadKeyCode, u"A key code is two characters: "
                                                                u"letters, digits or signs.")));
            return -5;
        }
        if (!m_picture.WriteWorkFile(os::RealFileSystem(),
                                     std::u16string(Context()->logoWorkFilePath), *code)) {
            ShowWarning(m_hWnd, WidePtr(Message(kMsgFileNotWritten,
                                                u"The logo file could not be written.")));
            return -5;
        }
        m_picture.MarkStored();
    }
    const int32_t result = StoreForFile(wanted);
    if (result == 1)
        m_held.settings = wanted;
    return result;
}

int32_t CLogoView::WriteSettings() {
    if (FileMode())
        return SaveToFile();
    LogoSettings wanted;
    if (!WantedFromControls(wanted)) {
        ShowWarning(m_hWnd, WidePtr(Message(kMsgBadKeyCode, u"A key code is two characters: "
                                                            u"letters, digits or signs.")));
        return -5;
    }
    if (!m_picture.Pending() && wanted == m_held.settings)
        return 1;
    if (m_picture.Pending()) {
        auto code = NewKeyCode();
        if (!code) {
            ShowWarning(m_hWnd,
                        WidePtr(AutoNumbering()
                                    ? Message(kMsgNoKeyCode, u"No free key code is left. Delete "
                                                             u"a stored graphic first.")
                                    : Message(kMsgBadKeyCode, u"A key code is two characters: "
                                                              u"letters, digits or signs.")));
            return -5;
        }
        m_taskCode = *code;
    }
    m_wanted = wanted;
    const int32_t result = RunTask(Task::Write);
    ShowSettings(m_held.settings);
    ShowStoredList();
    if (result == 1) {
        m_picture.MarkStored();
        ShowKeyCode();
        ShowNote(u"");
        InformWritten();
        return 1;
    }
    if (ExchangeRan() && !(m_report.missed & kItemGraphic))
        m_picture.MarkStored(); // the graphic is stored; what failed is named below
    WarnTaskFailed(result);
    return result == 1 ? -5 : result;
}

void CLogoView::WarnTaskFailed(int32_t result) {
    WarnNotWritten(!ExchangeRan() || result == kLogoNoAnswer, MissedNames(m_report.missed));
}

void CLogoView::OnDelete(bool all) {
    if (FileMode())
        return;
    std::u16string question;
    if (all) {
        question = Message(kMsgDeleteAll, u"Delete all stored graphics from the printer?");
    } else {
        const int selected = CListBox(GetDlgItem(IDC_LOGO_STORED)).GetCurSel();
        if (selected < 0 || static_cast<std::size_t>(selected) >= m_held.stored.size())
            return;
        m_taskCode = m_held.stored[static_cast<std::size_t>(selected)];
        question = Fill(Message(kMsgDeleteOne, u"Delete the stored graphic %s from the printer?"),
                        CodeText(m_taskCode));
    }
    if (AskYesNo(m_hWnd, WidePtr(question)) != IDYES)
        return;
    const int32_t result = RunTask(all ? Task::DeleteAll : Task::DeleteOne);
    ShowStoredList();
    ShowKeyCode();
    if (result == 1) {
        ShowInfo(m_hWnd, WidePtr(Message(kMsgDeleted, u"The stored graphics were deleted.")));
        return;
    }
    WarnTaskFailed(result);
}

int32_t CLogoView::RunTask(Task task) {
    m_task = task;
    m_result = m_held;
    m_report = LogoReport{};
    const int32_t result = RunExchange();
    if (ExchangeRan())
        m_held = m_result; // the page follows what the printer now holds
    return result;
}

int32_t CLogoView::ExchangeOnWorker(const PrinterWork& work) {
    LogoExchange exchange(work.link, work.waitMs);
    switch (m_task) {
    case Task::Write:
        m_report = exchange.Write(m_picture.Pending() ? &m_picture.Dots() : nullptr, m_taskCode,
                                  m_wanted, m_result);
        if (work.store)
            m_result.settings.Store(*work.store);
        break;
    case Task::DeleteOne:
        m_report = exchange.Delete(m_taskCode, m_result);
        break;
    case Task::DeleteAll:
        m_report = exchange.Delete(std::nullopt, m_result);
        break;
    }
    return m_report.result;
}

} // namespace qk::logo
