// The Win32 half of the maker's text helpers for the native build (the Windows one is
// maker/common/WinText.cpp): UTF-8 as MultiByteToWideChar and WideCharToMultiByte convert it,
// with a wide string of UTF-16 units as on Windows, and no files.
#include <string>
#include "maker/common/WinText.h"
#include "tests/native/WinCrt.h"

namespace qk::win {

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

// Bytes of the sequence that `lead` starts and the smallest code point it may carry.
bool SequenceOf(unsigned char lead, std::size_t& length, char32_t& minimum, char32_t& value) {
    if (lead < 0x80) {
        length = 1, minimum = 0, value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return false;
    }
    return true;
}

void PutUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
} // namespace

// A byte that starts no whole, shortest, non-surrogate sequence becomes U+FFFD.
std::wstring FromUtf8(const std::string& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        char32_t minimum = 0, value = 0;
        bool good = SequenceOf(static_cast<unsigned char>(text[i]), length, minimum, value) &&
                    i + length <= text.size();
        for (std::size_t k = 1; good && k < length; ++k) {
            const unsigned char c = static_cast<unsigned char>(text[i + k]);
            good = (c & 0xC0) == 0x80;
            value = value << 6 | (c & 0x3F);
        }
        good = good && value >= minimum && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
        if (!good) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (value >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(value);
        }
        i += length;
    }
    return out;
}

// A surrogate without its partner becomes U+FFFD.
std::string ToUtf8(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = static_cast<char32_t>(text[i]) & 0xFFFF;
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const char32_t next = i + 1 < text.size() ? static_cast<char32_t>(text[i + 1]) & 0xFFFF : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            PutUtf8(0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00), out);
            ++i;
        } else {
            PutUtf8(c >= 0xD800 && c <= 0xDFFF ? kReplacement : c, out);
        }
    }
    return out;
}

bool ReadFileText(const std::wstring&, std::string&) {
    return false;
}

bool WriteFileText(const std::wstring&, const std::string&) {
    return false;
}

} // namespace qk::win

int _wcsicmp(const wchar_t* a, const wchar_t* b) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; };
    for (;; ++a, ++b) {
        const int d = static_cast<int>(lower(*a)) - static_cast<int>(lower(*b));
        if (d != 0 || *a == 0)
            return d;
    }
}
