#include "plugins/logo/LogoView.h"

#include <commdlg.h>
#include <algorithm>
#include <tuple>
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Controls.h"
#include "platform/Dpi.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "plugins/logo/WicPicture.h"
#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"
#include "resource.h"

namespace qk::logo {
namespace {

constexpr char16_t kScreen[] = u"QKULOGOSTG_DLL";

// Screen messages of the page.
constexpr int kMsgWritten = 0, kMsgNotWritten = 1, kMsgNotRead = 2, kMsgNotTaken = 3,
              kMsgNoAnswer = 4, kMsgUnreadable = 5, kMsgEmpty = 6, kMsgTooLarge = 7,
              kMsgDeleteOne = 8, kMsgDeleteAll = 9, kMsgBadKeyCode = 10, kMsgNoKeyCode = 11,
              kMsgFileNotWritten = 12, kMsgDeleted = 13;
// Screen strings: the names of what an exchange missed, and the open dialog's filter.
constexpr int kStrGraphic = 0, kStrTopLogo = 1, kStrBottomLogo = 2, kStrOptions = 3, kStrValue = 4,
              kStrStoredList = 5, kStrPictures = 6, kStrAllFiles = 7;

constexpr char16_t kNotReadText[] = u"Could not read these settings from the printer: %s";
constexpr char16_t kNotTakenText[] = u"The printer did not take these settings: %s";
constexpr char16_t kNoAnswerText[] = u"The printer did not answer.";

constexpr char16_t kConversionNames[][32] = {u"Threshold", u"Error diffusion"};
constexpr char16_t kAlignmentNames[][32] = {u"Left", u"Center", u"Right"};
constexpr UINT kOptionIds[] = {IDC_LOGO_OPTION30, IDC_LOGO_OPTION40, IDC_LOGO_OPTION41};
static_assert(std::size(kOptionIds) == std::size(kLogoOptions));

// The text with its "%s" replaced (appended when a translation lost it); no format
// function sees language-file text.
std::u16string Fill(std::u16string text, const std::u16string& value) {
    const size_t at = text.find(u"%s");
    if (at == std::u16string::npos)
        return text + u" " + value;
    return text.replace(at, 2, value);
}

std::u16string Decimal(int64_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

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

CLogoView::CLogoView() : CSingleFormView(IDD_LOGO_VIEW, kScreen) {}

bool CLogoView::FileMode() const {
    return Context() && Context()->startMode == kStartFileMode;
}

bool CLogoView::AutoNumbering() const {
    return Context() && Context()->autoKeycodeNumbering != 0;
}

LogoSettings CLogoView::LoadStored() {
    LogoSettings settings;
    if (IPluginDataMgr* store = DataManager())
        settings.Load(*store);
    return settings;
}

int32_t CLogoView::PrintableDots() {
    PaperSettingBlock paper{};
    if (ReadDataBlock(kPaperSettingBlockKey, &paper, sizeof paper) == kStoreOk &&
        paper.header.key == kPaperSettingBlockKey)
        return PrintableWidth(static_cast<uint16_t>(paper.paperSize));
    return kPrintableDots80mm;
}

std::u16string CLogoView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

std::u16string CLogoView::Text(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenStrings, index, english);
}

void CLogoView::ShowNote(const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_NOTE, WidePtr(text));
}

int32_t CLogoView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
}

void CLogoView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
    NamePreview(u"");
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_KEYCODE, EM_LIMITTEXT, 2, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_TOP, EM_LIMITTEXT, 2, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_BOTTOM, EM_LIMITTEXT, 2, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_THRESHOLD, EM_LIMITTEXT, 3, 0);
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_VALUE100, EM_LIMITTEXT, 5, 0);
    ::SetDlgItemInt(m_hWnd, IDC_LOGO_THRESHOLD, 128, FALSE);
    FillChoices(IDC_LOGO_CONVERSION, 1);
    // The stored graphics are the printer's: the file mode's command file deletes them all.
    for (UINT id : {IDC_LOGO_STORED, IDC_LOGO_DELETE, IDC_LOGO_DELETE_ALL})
        ::EnableWindow(GetDlgItem(id), !FileMode());
    ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_KEYCODE, EM_SETREADONLY, AutoNumbering(), 0);
    ShowStoredSettings();
}

// The language file's names for a combo box, else the English ones.
void CLogoView::FillChoices(UINT comboId, int selected) {
    CComboBox combo(GetDlgItem(comboId));
    combo.ResetContent();
    const CLangResTable& texts = PageTexts();
    for (int32_t i = 0; i < texts.Count(LangListKind::ComboItems); ++i) {
        const auto* item =
            static_cast<const CComboBoxResInfo*>(texts.Entry(LangListKind::ComboItems, i));
        if (item && item->m_nCtrlID == static_cast<int32_t>(comboId)) {
            const int index = combo.AddString(WidePtr(item->m_strText));
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

void CLogoView::ShowStoredSettings() {
    if (!m_hWnd)
        return;
    m_held.settings = LoadStored();
    ShowSettings(m_held.settings);
    m_shown = true;
    ShowStoredList();
    ShowKeyCode();
    if (m_readPending)
        OnReadDone();
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
    HWND list = GetDlgItem(IDC_LOGO_STORED);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const KeyCode& code : m_held.stored)
        ::SendMessageW(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ToWide(CodeText(code)).c_str()));
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
    if (!m_hWnd || !m_shown)
        return 0;
    if (m_rasterPending)
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
        return CSingleFormView::OnCommand(code, id, control);
    }
}

void CLogoView::OnOpen() {
    const std::u16string pictures = Text(kStrPictures, u"Pictures (*.bmp;*.png)");
    const std::u16string all = Text(kStrAllFiles, u"All files (*.*)");
    std::wstring filter = ToWide(pictures) + L'\0' + L"*.bmp;*.dib;*.png" + L'\0' + ToWide(all) +
                          L'\0' + L"*.*" + L'\0' + L'\0';
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    // Choosing a picture must not move the whole process into the picture's folder.
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // The dialog's library comes when the operator first opens a picture, not with the page.
    static auto* const openDialog =
        SystemLibraryFunction<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (openDialog && openDialog(&ofn))
        OpenPicture(path);
}

int CLogoView::ConvertPicture(const GrayPicture& picture, Raster& raster) const {
    RasterOptions options;
    options.maxWidth = const_cast<CLogoView*>(this)->PrintableDots();
    CComboBox conversion(GetDlgItem(IDC_LOGO_CONVERSION));
    const int selected = conversion.GetCurSel();
    options.conversion = selected >= 0 && conversion.GetItemData(selected) == 0
                             ? Conversion::Threshold
                             : Conversion::ErrorDiffusion;
    BOOL ok = FALSE;
    const UINT threshold = ::GetDlgItemInt(m_hWnd, IDC_LOGO_THRESHOLD, &ok, FALSE);
    options.threshold = static_cast<uint8_t>(ok ? std::clamp<UINT>(threshold, 1, 254) : 128);
    switch (ToRaster(picture, options, raster)) {
    case RasterResult::Ok:
        return FitsGraphicsMemory(raster) ? 0 : kMsgTooLarge;
    case RasterResult::Empty:
        return kMsgEmpty;
    default:
        return kMsgTooLarge;
    }
}

bool CLogoView::OpenPicture(const std::wstring& path) {
    Picture picture;
    int problem = 0;
    switch (LoadPicture(path, picture)) {
    case PictureLoad::Ok:
        break;
    case PictureLoad::Empty:
        problem = kMsgEmpty;
        break;
    case PictureLoad::TooLarge:
        problem = kMsgTooLarge;
        break;
    default:
        problem = kMsgUnreadable;
        break;
    }
    GrayPicture scaled;
    if (!problem && ScaleToGray(picture, PrintableDots(), scaled) != RasterResult::Ok)
        problem = kMsgTooLarge;
    picture = Picture{}; // let go before anything else is made
    Raster raster;
    if (!problem)
        problem = ConvertPicture(scaled, raster); // on failure the page keeps what it had
    if (problem) {
        static constexpr const char16_t* kEnglish[] = {
            u"",
            u"",
            u"",
            u"",
            u"",
            u"The picture could not be read. Choose a BMP or PNG file.",
            u"The picture is empty: it has nothing to print.",
            u"The picture is too large for the printer's graphics memory. Choose a smaller "
            u"picture."};
        ShowWarning(m_hWnd, WidePtr(Message(problem, kEnglish[problem])));
        return false;
    }
    m_picture = std::move(scaled);
    m_raster = std::move(raster);
    m_rasterPending = true;
    const size_t slash = path.find_last_of(L"\\/");
    m_pictureName = slash == std::wstring::npos ? path : path.substr(slash + 1);
    ShowPictureLine();
    ShowKeyCode();
    ::InvalidateRect(GetDlgItem(IDC_LOGO_PREVIEW), nullptr, TRUE);
    return true;
}

void CLogoView::OnConversionChanged() {
    if (m_picture.width == 0)
        return;
    Raster raster;
    if (ConvertPicture(m_picture, raster) != 0)
        return; // the same picture at the same width: only the dots change
    m_raster = std::move(raster);
    ::InvalidateRect(GetDlgItem(IDC_LOGO_PREVIEW), nullptr, TRUE);
}

void CLogoView::ShowPictureLine() {
    std::u16string line = FromWide(m_pictureName) + u": " + Decimal(m_picture.sourceWidth) +
                          u" x " + Decimal(m_picture.sourceHeight) + u" \u2192 " +
                          Decimal(m_raster.width) + u" x " + Decimal(m_raster.height);
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_FILE, WidePtr(line));
    NamePreview(line);
}

void CLogoView::NamePreview(const std::u16string& pictureLine) {
    std::u16string name = ItemText(m_hWnd, IDC_LOGO_PICTURE_GROUP);
    if (!pictureLine.empty())
        name += u": " + pictureLine;
    ::SetDlgItemTextW(m_hWnd, IDC_LOGO_PREVIEW, WidePtr(name));
}

void CLogoView::DrawPreview(const DRAWITEMSTRUCT& item) const {
    const RECT& area = item.rcItem;
    HDC dc = item.hDC;
    ::FillRect(dc, &area, reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1));
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int paper = const_cast<CLogoView*>(this)->PrintableDots();
    // The box grows with the dialog units; its margin round the sheet with the DPI.
    const int margin = ScaleToDpi(2, SystemDpi());
    if (width <= 2 * margin || height <= 2 * margin)
        return;
    // The paper's printable width across the box, the picture on it at the same scale.
    const double scale = std::min(
        static_cast<double>(width - 2 * margin) / paper,
        m_raster.height > 0 ? static_cast<double>(height - 2 * margin) / m_raster.height : 1.0);
    const int paperWidth = std::max(1, static_cast<int>(paper * scale));
    RECT sheet{area.left + (width - paperWidth) / 2, area.top + margin,
               area.left + (width - paperWidth) / 2 + paperWidth, area.bottom - margin};
    ::FillRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (m_raster.width <= 0 || m_raster.height <= 0)
        return;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = m_raster.width;
    info.header.biHeight = -m_raster.height; // top row first
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colors[0] = RGBQUAD{255, 255, 255, 0};
    info.colors[1] = RGBQUAD{0, 0, 0, 0};
    // DIB rows are padded to whole 32-bit words.
    const int stride = ((m_raster.width + 31) / 32) * 4;
    std::vector<uint8_t> rows(static_cast<std::size_t>(stride) * m_raster.height, 0);
    for (int y = 0; y < m_raster.height; ++y)
        std::copy_n(m_raster.bits.begin() + static_cast<std::ptrdiff_t>(y) * m_raster.RowBytes(),
                    m_raster.RowBytes(), rows.begin() + static_cast<std::ptrdiff_t>(y) * stride);
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchDIBits(dc, sheet.left, sheet.top,
                    std::max(1, static_cast<int>(m_raster.width * scale)),
                    std::max(1, static_cast<int>(m_raster.height * scale)), 0, 0, m_raster.width,
                    m_raster.height, rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
                    DIB_RGB_COLORS, SRCCOPY);
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

int32_t CLogoView::ReadSettings() {
    IPluginDataMgr* store = DataManager();
    UtilContext* context = Context();
    if (!store || !context)
        return -2;
    PrinterLogos logos;
    logos.settings.Load(*store);
    const int32_t waitMs = AnswerWaitMs();
    comm::CQkcPrinterLink port(context->binding, waitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs);
    LogoReport report = LogoExchange(link, waitMs).Read(logos);
    logos.settings.Store(*store);
    {
        std::lock_guard lock(m_readLock);
        m_readReport = report;
        m_readStored = logos.stored;
        m_readPending = true;
    }
    if (m_hWnd)
        ::PostMessageW(m_hWnd, kReadDoneMessage, 0, 0);
    return report.result;
}

void CLogoView::OnReadDone() {
    LogoReport report;
    {
        std::lock_guard lock(m_readLock);
        if (!m_readPending)
            return;
        report = m_readReport;
        m_held.stored = m_readStored;
        // Before the first showing the texts are not loaded yet: the showing names them.
        if (!m_shown)
            return;
        m_readPending = false;
    }
    // The operator's edits stay; an untouched page shows what the printer holds.
    const bool edited = IsModified() == 1;
    m_held.settings = LoadStored();
    if (!edited)
        ShowSettings(m_held.settings);
    ShowStoredList();
    ShowKeyCode();
    std::u16string note;
    if (report.result == kLogoNoAnswer)
        note = Message(kMsgNoAnswer, kNoAnswerText);
    else if (report.result != 1)
        note = Fill(Message(kMsgNotRead, kNotReadText), MissedNames(report.missed));
    ShowNote(note);
}

bool CLogoView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kReadDoneMessage) {
        OnReadDone();
        result = 0;
        return true;
    }
    if (msg == WM_DRAWITEM && wp == IDC_LOGO_PREVIEW) {
        DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    return CSingleFormView::OnMessage(msg, wp, lp, result);
}

bool CLogoView::WriteWorkFile(const KeyCode& code) {
    const std::u16string path(Context()->logoWorkFilePath);
    if (path.empty())
        return false;
    const Bytes bytes = DefineGraphics(code, m_raster);
    // Written beside and then put in place, so a failed write leaves the earlier file whole.
    const std::wstring target = ToWide(path);
    const std::wstring temporary = target + L".new";
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    if (!ok || !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
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
    if (m_rasterPending) {
        auto code = NewKeyCode();
        if (!code) {
            ShowWarning(m_hWnd, WidePtr(Message(kMsgBadKeyCode, u"A key code is two characters: "
                                                                u"letters, digits or signs.")));
            return -5;
        }
        if (!WriteWorkFile(*code)) {
            ShowWarning(m_hWnd, WidePtr(Message(kMsgFileNotWritten,
                                                u"The logo file could not be written.")));
            return -5;
        }
        m_rasterPending = false;
    }
    if (wanted.Store(*store) != kStoreOk) {
        ShowWarning(m_hWnd);
        return -5;
    }
    m_held.settings = wanted;
    store->SetSaveFlag(1);
    return 1;
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
    if (!m_rasterPending && wanted == m_held.settings)
        return 1;
    if (m_rasterPending) {
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
        m_rasterPending = false;
        ShowKeyCode();
        ShowNote(u"");
        ShowInfo(m_hWnd, WidePtr(Message(kMsgWritten, u"Settings were changed successfully.")));
        return 1;
    }
    if (m_ran && !(m_report.missed & kItemGraphic))
        m_rasterPending = false; // the graphic is stored; what failed is named below
    WarnTaskFailed(result);
    return result == 1 ? -5 : result;
}

void CLogoView::WarnTaskFailed(int32_t result) {
    std::u16string text = Message(kMsgNotWritten, u"Failed to change settings.");
    text += u'\n';
    if (!m_ran || result == kLogoNoAnswer)
        text += Message(kMsgNoAnswer, kNoAnswerText);
    else
        text += Fill(Message(kMsgNotTaken, kNotTakenText), MissedNames(m_report.missed));
    ShowWarning(m_hWnd, WidePtr(text));
}

void CLogoView::OnDelete(bool all) {
    if (FileMode())
        return;
    std::u16string question;
    if (all) {
        question = Message(kMsgDeleteAll, u"Delete all stored graphics from the printer?");
    } else {
        const LRESULT selected = ::SendDlgItemMessageW(m_hWnd, IDC_LOGO_STORED, LB_GETCURSEL, 0, 0);
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
    m_ran = false;
    CommCtrl().SetWorkerProc(&CLogoView::ExchangeWorker);
    const int32_t result = CommCtrl().RunExchange(this);
    if (m_ran)
        m_held = m_result; // the page follows what the printer now holds
    return result;
}

unsigned __stdcall CLogoView::ExchangeWorker(void* page) {
    try {
        auto* view = static_cast<CLogoView*>(page);
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        UtilContext* context = view->Context();
        IPluginDataMgr* store = view->DataManager();
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
        comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                                [view] { return view->CommCtrl().StopRequested(); });
        LogoExchange exchange(link, waitMs);
        switch (view->m_task) {
        case Task::Write:
            view->m_report = exchange.Write(view->m_rasterPending ? &view->m_raster : nullptr,
                                            view->m_taskCode, view->m_wanted, view->m_result);
            if (store)
                view->m_result.settings.Store(*store);
            break;
        case Task::DeleteOne:
            view->m_report = exchange.Delete(view->m_taskCode, view->m_result);
            break;
        case Task::DeleteAll:
            view->m_report = exchange.Delete(std::nullopt, view->m_result);
            break;
        }
        view->m_ran = true;
        view->CommCtrl().ReportProgress(100);
        return static_cast<unsigned>(view->m_report.result);
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace qk::logo
