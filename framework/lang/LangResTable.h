// The text table of one window: every user-visible text of its screen, read from the language
// file of the chosen language ("%04X.DAT" in the language folder). The parsing core is
// portable (no windows.h) and reads sections through the profile seam; the operations that
// push texts into controls live in LangResTableWin32.cpp.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "framework/lang/LangResInfo.h"
#include "framework/lang/LangSectionCache.h"
#include "platform/os/FileSystem.h"
#include "platform/os/Profile.h"
#include "platform/os/RealOs.h"

// The seven lists of a table, in the table's order.
enum class LangListKind : int32_t {
    Captions = 0,
    ComboItems,
    ListColumns,
    ScreenStrings,
    CommonStrings,
    ScreenMessages,
    CommonMessages,
};
inline constexpr int kLangListCount = 7;

// The language every table falls back to.
inline constexpr int32_t kLangEnglish = 0x0409;

// Results of LoadLangFile.
inline constexpr int32_t kLangRequestedFile = 2;
inline constexpr int32_t kLangFallbackFile = 1;
inline constexpr int32_t kLangNoFile = -1;

class CLangResTable {
public:
    explicit CLangResTable(qk::os::IProfile& profile = LanguageFileProfile(),
                           qk::os::IFileSystem& fileSystem = qk::os::RealFileSystem());
    ~CLangResTable();
    CLangResTable(const CLangResTable&) = delete;
    CLangResTable& operator=(const CLangResTable&) = delete;

    // Empties the table and chooses "<folder>\<requested>.DAT", else the fallback's file.
    // 2 requested file in use, 1 fallback file in use, -1 neither (or an empty folder).
    int32_t LoadLangFile(const std::u16string& folder, int32_t requested, int32_t fallback);
    // Adds the texts of one screen (and the two common sections) to the table.
    // 0 done, -2 no file chosen, -3 empty screen name.
    int32_t LoadScreenTexts(const std::u16string& screen);

    // 0 and the text; -1 the index holds no entry; -3 index below 0 or beyond the list.
    int32_t GetText(LangListKind list, int32_t index, std::u16string& text) const;
    // The table's text when GetText answers 0, else the caller's own (English) text.
    std::u16string TextOr(LangListKind list, int32_t index, std::u16string_view fallback) const;

    // Window operations (Win32 half). `dialog` / `window` is the parent HWND.
    void ApplyCaptions(LangWindow dialog) const;
    void ApplyComboItems(LangWindow dialog) const;
    void ApplyListColumns(LangWindow window) const;

    // Text of the first combo entry of control 1000 whose item data is itemData; empty if none.
    std::u16string FindComboItemText(int32_t itemData) const;

    // Deletes every entry of the seven lists.
    void Clear();

    int32_t Count(LangListKind list) const;
    // The entry at an index, or null (hole or out of range).
    const CLangInfoBase* Entry(LangListKind list, int32_t index) const;

    const std::u16string& Folder() const { return m_strFolder; }
    const std::u16string& FileName() const { return m_strFileName; }
    int32_t LangId() const { return m_nLangID; }
    bool IsFileChosen() const { return m_bFileChosen != 0; }

    // Building blocks, public so that they can be pinned by tests.
    // Cuts text at every delimiter; answers the list's new size.
    static int32_t SplitText(std::u16string_view text, std::u16string_view delimiter,
                             std::vector<std::u16string>& list);
    // Decimal digits, or "0x"/"0X" and hex digits; saturates at 2147483647. On failure the
    // value is left untouched and the answer is false.
    static bool ParseNumber(std::u16string_view piece, int32_t& value);
    // "\n" becomes CR LF, then "\t" a tab.
    static void ReplaceEscapes(std::u16string& text);
    // Replaces "]CMN_STR_n" / "]CMN_MSG_n" by that common entry's text (empty when missing).
    void ResolveTextRef(std::u16string& text) const;
    // "%04X.DAT" of a language identifier.
    static std::u16string LangFileName(int32_t langId);

    // Highest string or message number kept; bigger numbers are ignored so that one line
    // cannot make the table allocate gigabytes.
    static constexpr int32_t kMaxIndexedNumber = 0xFFFF;
    // A line is walked over in steps of at most this many characters.
    static constexpr uint32_t kLineStep = 2048;
    static constexpr uint32_t kFirstBufferChars = 520;
    static constexpr uint32_t kBufferGrowFactor = 2;
    // Files up to this size are read with a buffer as big as the file at once.
    static constexpr uint32_t kMaxFirstBufferChars = 16u << 20;

private:
    // The lists point at entries that the table keeps in its stores below, whose keys and
    // texts point into the sections the table read: a big screen costs no allocation per entry.
    using EntryList = std::vector<CLangInfoBase*>;

    void ReadSection(const std::u16string& path, const std::u16string& section, LangListKind kind);
    // The section as the profile reader gives it ("k=v\0...\0\0"); empty when missing.
    LangSectionText ReadRawSection(const std::u16string& path, const std::u16string& section);
    // False only when the file's list of sections, read once per stamp, shows that the
    // section is not in it: a missing section then costs no read of its own.
    bool MayHoldSection(const std::u16string& path, const std::u16string& section);
    // The size of a first read of the file: its size when known (stamped), else a default.
    uint32_t FirstBufferChars() const;
    // pieces: the key and the value's pieces; escapes: the value holds a backslash.
    void ParseLine(const std::vector<std::u16string_view>& pieces, bool escapes, LangListKind kind,
                   std::u16string& made);
    // A new entry of the kind's class, kept until the table is emptied.
    CLangInfoBase& NewEntry(LangListKind kind);
    // The text as the entry keeps it: the piece itself, or a copy after references and escapes.
    std::u16string_view EntryText(std::u16string_view piece, bool escapes, LangListKind kind,
                                  std::u16string& made);
    EntryList& List(LangListKind kind) { return m_lists[static_cast<int>(kind)]; }
    const EntryList& List(LangListKind kind) const { return m_lists[static_cast<int>(kind)]; }

    EntryList m_lists[kLangListCount];
    // Element addresses in a deque stay put as it grows.
    std::deque<CStringResInfo> m_strings;
    std::deque<CCaptionResInfo> m_captions;
    std::deque<CComboBoxResInfo> m_comboItems;
    std::deque<CListCtrlResInfo> m_listColumns;
    std::vector<LangSectionText> m_sections;
    std::deque<std::u16string> m_madeTexts;
    std::u16string m_strFolder;
    std::u16string m_strFileName;
    int32_t m_nLangID = -1;
    int32_t m_bFileChosen = 0;
    // The chosen file's stamp when it was chosen; sections read at that stamp are shared.
    qk::os::FileStamp m_stamp;
    bool m_bStamped = false;

    qk::os::IProfile& m_profile;
    qk::os::IFileSystem& m_fileSystem;
};
