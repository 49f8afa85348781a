// Portable half of the text table: choosing the file, reading sections and parsing lines.
#include "framework/lang/LangResTable.h"
#include "framework/lang/LangSectionCache.h"
#include "platform/os/PathPart.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

constexpr std::u16string_view kPieceDelimiter = u"||";
constexpr std::u16string_view kKeyDelimiter = u"_";
constexpr int32_t kLanguageComboId = 1000;

bool IsIndexed(LangListKind kind) {
    return kind == LangListKind::ScreenStrings || kind == LangListKind::CommonStrings ||
           kind == LangListKind::ScreenMessages || kind == LangListKind::CommonMessages;
}

// The common sections are the targets of references and resolve none themselves.
bool TakesReferences(LangListKind kind) {
    return kind != LangListKind::CommonStrings && kind != LangListKind::CommonMessages;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::u16string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// Optional trailing numbers keep -1 when absent or invalid.
int32_t NumberAt(const std::vector<std::u16string_view>& pieces, size_t index) {
    int32_t value = -1;
    if (index < pieces.size())
        CLangResTable::ParseNumber(pieces[index], value);
    return value;
}

} // namespace

CLangResTable::CLangResTable(qk::os::IProfile& profile, qk::os::IFileSystem& fileSystem)
    : m_profile(profile), m_fileSystem(fileSystem) {}

CLangResTable::~CLangResTable() = default;

void CLangResTable::Clear() {
    for (auto& list : m_lists)
        list.clear();
    m_strings.clear();
    m_captions.clear();
    m_comboItems.clear();
    m_listColumns.clear();
    m_madeTexts.clear();
    m_sections.clear();
}

std::u16string CLangResTable::LangFileName(int32_t langId) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    uint32_t value = static_cast<uint32_t>(langId);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), kHex[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (digits.size() < 4)
        digits.insert(digits.begin(), u'0');
    return digits + u".DAT";
}

int32_t CLangResTable::LoadLangFile(const std::u16string& folder, int32_t requested,
                                    int32_t fallback) {
    Clear();
    m_bFileChosen = 0;
    m_bStamped = false;
    if (folder.empty())
        return kLangNoFile;

    int32_t result;
    int32_t language;
    if (m_fileSystem.Exists(folder + u"\\" + LangFileName(requested))) {
        result = kLangRequestedFile;
        language = requested;
    } else if (m_fileSystem.Exists(folder + u"\\" + LangFileName(fallback))) {
        result = kLangFallbackFile;
        language = fallback;
    } else {
        return kLangNoFile;
    }
    m_bFileChosen = 1;
    m_nLangID = language;
    m_strFolder = folder;
    m_strFileName = LangFileName(language);
    m_bStamped = m_fileSystem.Stamp(folder + u"\\" + m_strFileName, m_stamp);
    return result;
}

int32_t CLangResTable::LoadScreenTexts(const std::u16string& screen) {
    if (screen.empty())
        return -3;
    if (!m_bFileChosen)
        return -2;

    const std::u16string path = m_strFolder + u"\\" + LangFileName(m_nLangID);
    // Common sections first, so that references in the screen sections find their targets.
    ReadSection(path, u"CMN_STR", LangListKind::CommonStrings);
    ReadSection(path, u"CMN_MSG", LangListKind::CommonMessages);
    ReadSection(path, screen + u"_CAP", LangListKind::Captions);
    ReadSection(path, screen + u"_CMB", LangListKind::ComboItems);
    ReadSection(path, screen + u"_LSTCTRL", LangListKind::ListColumns);
    ReadSection(path, screen + u"_MSG", LangListKind::ScreenMessages);
    ReadSection(path, screen + u"_STR", LangListKind::ScreenStrings);
    return 0;
}

namespace {

// Reads a whole list ("...\0\0") with `read(buffer, size)`, which answers size - 2 when the
// buffer was too small: the buffer doubles until it fits (the reader starts over on every call,
// so few big reads beat many small ones). Null when memory runs out.
template <typename Read> LangSectionText ReadWhole(uint32_t size, Read read) {
    for (;;) {
        std::unique_ptr<char16_t[]> buffer(new (std::nothrow) char16_t[size]);
        if (!buffer)
            return nullptr;
        const uint32_t copied = read(buffer.get(), size);
        if (copied != size - 2 || copied == 0) {
            // Missing or empty (0), or whole: the lines and the final empty one.
            const size_t used = copied == 0 ? 0 : copied + 1;
            // A list that fills little of its buffer gets one of its own size: the cache keeps
            // every section of a file, each read with a buffer as big as the file.
            if (used < size / 4) {
                std::unique_ptr<char16_t[]> exact(new (std::nothrow) char16_t[used ? used : 1]);
                if (!exact)
                    return nullptr;
                std::char_traits<char16_t>::copy(exact.get(), buffer.get(), used);
                buffer = std::move(exact);
            }
            return std::make_shared<const CLangSection>(std::move(buffer), used);
        }
        if (size > std::numeric_limits<uint32_t>::max() / CLangResTable::kBufferGrowFactor)
            return nullptr;
        size *= CLangResTable::kBufferGrowFactor;
    }
}

// Whether the reader could answer a listed name for the wanted one. Names compare without
// regard to case; a listed name with other than ASCII characters is taken to match, since the
// platform's case rules for those are its own.
bool MayBeSameName(std::u16string_view listed, std::u16string_view wanted) {
    for (char16_t c : listed)
        if (c >= 0x80)
            return true;
    return qk::os::detail::EqualsAsciiNoCase(listed, wanted);
}

// Cuts one line of a section in one pass (a big screen's characters are each looked at once):
// pieces gets the key and the value's pieces between "||"; nothing when the line has no '='.
// Answers the line's length up to its zero; escapes tells whether the value holds a backslash.
uint32_t CutLine(const char16_t* line, uint32_t left, std::vector<std::u16string_view>& pieces,
                 bool& escapes) {
    pieces.clear();
    escapes = false;
    uint32_t i = 0;
    while (i < left && line[i] != u'\0' && line[i] != u'=')
        ++i;
    if (i == left || line[i] == u'\0')
        return i;
    pieces.emplace_back(line, i);
    uint32_t piece = ++i;
    for (; i < left && line[i] != u'\0'; ++i) {
        if (line[i] == u'\\') {
            escapes = true;
        } else if (line[i] == kPieceDelimiter[0] && i + 1 < left &&
                   line[i + 1] == kPieceDelimiter[1]) {
            pieces.emplace_back(line + piece, i - piece);
            piece = i + 2;
            ++i;
        }
    }
    pieces.emplace_back(line + piece, i - piece);
    return i;
}

} // namespace

LangSectionText CLangResTable::ReadRawSection(const std::u16string& path,
                                              const std::u16string& section) {
    CLangSectionCache& cache = CLangSectionCache::Shared();
    LangSectionText raw;
    if (m_bStamped && cache.Find(&m_profile, path, m_stamp, section, raw))
        return raw;
    if (m_bStamped && !MayHoldSection(path, section)) {
        raw = std::make_shared<const CLangSection>();
    } else {
        raw = ReadWhole(FirstBufferChars(), [&](char16_t* buffer, uint32_t chars) {
            return m_profile.GetSectionRaw(path, section, buffer, chars);
        });
        if (!raw)
            return nullptr; // out of memory: the section is abandoned (and not kept)
    }
    if (m_bStamped)
        cache.Keep(&m_profile, path, m_stamp, section, raw);
    return raw;
}

uint32_t CLangResTable::FirstBufferChars() const {
    // Neither a section nor the list of names holds more characters than the file has bytes:
    // a buffer of that size takes it whole at the first read (each read opens the file anew).
    if (m_bStamped && m_stamp.size + 2 > kFirstBufferChars && m_stamp.size < kMaxFirstBufferChars)
        return static_cast<uint32_t>(m_stamp.size) + 2;
    return kFirstBufferChars;
}

bool CLangResTable::MayHoldSection(const std::u16string& path, const std::u16string& section) {
    CLangSectionCache& cache = CLangSectionCache::Shared();
    LangSectionText names;
    if (!cache.FindNames(&m_profile, path, m_stamp, names)) {
        names = ReadWhole(FirstBufferChars(), [&](char16_t* buffer, uint32_t chars) {
            return m_profile.GetSectionNamesRaw(path, buffer, chars);
        });
        if (!names)
            return true;
        cache.KeepNames(&m_profile, path, m_stamp, names);
    }
    const std::u16string_view list = names->Text();
    for (size_t pos = 0; pos < list.size() && list[pos] != u'\0';) {
        const size_t end = std::min(list.find(u'\0', pos), list.size());
        if (MayBeSameName(list.substr(pos, end - pos), section))
            return true;
        pos = end + 1;
    }
    return false;
}

void CLangResTable::ReadSection(const std::u16string& path, const std::u16string& section,
                                LangListKind kind) {
    try {
        const LangSectionText held = ReadRawSection(path, section);
        if (!held || held->Text().empty())
            return;
        m_sections.push_back(held); // the entries' keys and texts point into it
        const std::u16string_view raw = held->Text();
        const uint32_t size = static_cast<uint32_t>(raw.size());
        std::vector<std::u16string_view> pieces;
        std::u16string made;
        uint32_t pos = 0;
        while (pos < size && raw[pos] != u'\0') {
            bool escapes = false;
            const uint32_t length = CutLine(raw.data() + pos, size - pos, pieces, escapes);
            ParseLine(pieces, escapes, kind, made);
            // A line longer than the step is walked into: the walk lands inside it and takes
            // the rest as a line of its own.
            pos += (length < kLineStep ? length : kLineStep) + 1;
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: what was added stays, the rest of the section is abandoned.
    }
}

void CLangResTable::ParseLine(const std::vector<std::u16string_view>& pieces, bool escapes,
                              LangListKind kind, std::u16string& made) {
    if (pieces.empty())
        return; // no '='
    const std::u16string_view key = pieces[0];
    const size_t count = pieces.size();
    if (key.empty() || (count == 2 && pieces[1].empty()))
        return; // no key, or no value
    switch (kind) {
    case LangListKind::Captions:
        if (count < 2)
            return;
        break;
    case LangListKind::ComboItems:
        if (count < 3)
            return;
        break;
    case LangListKind::ListColumns:
        if (count < 5)
            return;
        break;
    default:
        if (count != 2)
            return;
        break;
    }

    // The number after the key's last delimiter (the whole key when it has none).
    int32_t number = -1;
    const size_t lastDelimiter = key.rfind(kKeyDelimiter);
    const std::u16string_view keyNumber = lastDelimiter == std::u16string_view::npos
                                              ? key
                                              : key.substr(lastDelimiter + kKeyDelimiter.size());
    if (!ParseNumber(keyNumber, number))
        number = -1;
    if (number < 0)
        return;
    if (IsIndexed(kind) && number > kMaxIndexedNumber)
        return;

    const std::u16string_view text = EntryText(pieces[1], escapes, kind, made);
    CLangInfoBase& entry = NewEntry(kind);
    switch (kind) {
    case LangListKind::Captions:
        entry.m_nOption = NumberAt(pieces, 2);
        break;
    case LangListKind::ComboItems: {
        auto& combo = static_cast<CComboBoxResInfo&>(entry);
        combo.m_nItemData = NumberAt(pieces, 2);
        combo.m_nOption = NumberAt(pieces, 3);
        break;
    }
    case LangListKind::ListColumns: {
        auto& column = static_cast<CListCtrlResInfo&>(entry);
        column.m_nColumn = NumberAt(pieces, 2);
        column.m_nWidth = NumberAt(pieces, 3);
        column.m_nAlign = NumberAt(pieces, 4);
        column.m_nOption = NumberAt(pieces, 5);
        break;
    }
    default:
        break;
    }
    entry.m_strKey = key;
    entry.m_nCtrlID = number;
    entry.m_strText = text;

    EntryList& list = List(kind);
    if (IsIndexed(kind)) {
        const size_t index = static_cast<size_t>(number);
        if (list.size() <= index)
            list.resize(index + 1);
        list[index] = &entry; // a later line of the same number replaces it
    } else {
        list.push_back(&entry);
    }
}

CLangInfoBase& CLangResTable::NewEntry(LangListKind kind) {
    switch (kind) {
    case LangListKind::Captions:
        return m_captions.emplace_back();
    case LangListKind::ComboItems:
        return m_comboItems.emplace_back();
    case LangListKind::ListColumns:
        return m_listColumns.emplace_back();
    default:
        return m_strings.emplace_back();
    }
}

std::u16string_view CLangResTable::EntryText(std::u16string_view piece, bool escapes,
                                             LangListKind kind, std::u16string& made) {
    const bool reference = TakesReferences(kind) && !piece.empty() && piece[0] == u']';
    if (!reference && !escapes)
        return piece; // nothing to replace: the section's own characters
    made.assign(piece);
    if (reference)
        ResolveTextRef(made);
    ReplaceEscapes(made);
    return m_madeTexts.emplace_back(made);
}

int32_t CLangResTable::SplitText(std::u16string_view text, std::u16string_view delimiter,
                                 std::vector<std::u16string>& list) {
    if (delimiter.empty()) {
        list.emplace_back(text);
        return static_cast<int32_t>(list.size());
    }
    size_t pos = 0;
    for (;;) {
        const size_t found = text.find(delimiter, pos);
        if (found == std::u16string_view::npos) {
            list.emplace_back(text.substr(pos));
            break;
        }
        list.emplace_back(text.substr(pos, found - pos));
        pos = found + delimiter.size();
    }
    return static_cast<int32_t>(list.size());
}

bool CLangResTable::ParseNumber(std::u16string_view piece, int32_t& value) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t result = 0;
    if (piece.size() >= 2 && piece[0] == u'0' && (piece[1] == u'x' || piece[1] == u'X')) {
        for (char16_t c : piece.substr(2)) {
            const int digit = HexDigit(c);
            if (digit < 0)
                return false;
            result = result * 16 + digit;
            if (result > kMax)
                result = kMax + 1; // keeps checking the digits without overflowing
        }
    } else {
        if (piece.empty())
            return false;
        for (char16_t c : piece) {
            if (c < u'0' || c > u'9')
                return false;
            result = result * 10 + (c - u'0');
            if (result > kMax)
                result = kMax + 1;
        }
    }
    value = static_cast<int32_t>(result > kMax ? kMax : result);
    return true;
}

void CLangResTable::ReplaceEscapes(std::u16string& text) {
    ReplaceAll(text, u"\\n", u"\r\n");
    ReplaceAll(text, u"\\t", u"\t");
}

void CLangResTable::ResolveTextRef(std::u16string& text) const {
    if (text.empty() || text[0] != u']')
        return;
    const std::u16string_view rest = std::u16string_view(text).substr(1);
    if (rest.empty())
        return;
    LangListKind target;
    if (rest.find(u"CMN_STR") != std::u16string_view::npos)
        target = LangListKind::CommonStrings;
    else if (rest.find(u"CMN_MSG") != std::u16string_view::npos)
        target = LangListKind::CommonMessages;
    else
        return;

    std::vector<std::u16string> pieces;
    if (SplitText(rest, kKeyDelimiter, pieces) != 3)
        return;
    int32_t index = -1;
    std::u16string resolved;
    if (ParseNumber(pieces[2], index))
        GetText(target, index, resolved);
    text = std::move(resolved);
}

int32_t CLangResTable::GetText(LangListKind list, int32_t index, std::u16string& text) const {
    const EntryList& entries = List(list);
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return -3;
    const CLangInfoBase* entry = entries[static_cast<size_t>(index)];
    if (!entry)
        return -1;
    text.assign(entry->m_strText);
    return 0;
}

std::u16string CLangResTable::TextOr(LangListKind list, int32_t index,
                                     std::u16string_view fallback) const {
    std::u16string text;
    if (GetText(list, index, text) == 0)
        return text;
    return std::u16string(fallback);
}

std::u16string CLangResTable::FindComboItemText(int32_t itemData) const {
    for (const CLangInfoBase* entry : List(LangListKind::ComboItems)) {
        const auto* combo = static_cast<const CComboBoxResInfo*>(entry);
        if (combo && combo->m_nCtrlID == kLanguageComboId && combo->m_nItemData == itemData)
            return std::u16string(combo->m_strText);
    }
    return {};
}

int32_t CLangResTable::Count(LangListKind list) const {
    return static_cast<int32_t>(List(list).size());
}

const CLangInfoBase* CLangResTable::Entry(LangListKind list, int32_t index) const {
    const EntryList& entries = List(list);
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return nullptr;
    return entries[static_cast<size_t>(index)];
}
