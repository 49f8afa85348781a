#include "tests/support/fakes/FakeText.h"

namespace qk::test {
namespace {

// Windows-1252 bytes 0x80-0x9F; 0 marks the five undefined ones, which map to the same
// code point (as the platform's conversion does).
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t AnsiToUnicode(uint8_t b) {
    if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0) {
        return kCp1252High[b - 0x80];
    }
    return b;
}

uint8_t UnicodeToAnsi(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<uint8_t>(c);
    }
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c || (kCp1252High[i] == 0 && c == 0x80 + i)) {
            return static_cast<uint8_t>(0x80 + i);
        }
    }
    return '?';
}

std::u16string DecodeUtf8(const uint8_t* p, size_t n) {
    std::u16string out;
    size_t i = 0;
    while (i < n) {
        uint32_t c = p[i];
        size_t extra = 0;
        if (c >= 0xF0 && c < 0xF8) {
            c &= 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            extra = 1;
        } else if (c >= 0x80) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        bool ok = true;
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= n || (p[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (p[i + k] & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

void AppendUtf8(std::vector<uint8_t>& out, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out.push_back(static_cast<uint8_t>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<uint8_t>(0xC0 | (c >> 6)));
            out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<uint8_t>(0xE0 | (c >> 12)));
            out.push_back(static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<uint8_t>(0xF0 | (c >> 18)));
            out.push_back(static_cast<uint8_t>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<uint8_t>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<uint8_t>(0x80 | (c & 0x3F)));
        }
    }
}

} // namespace

char16_t FoldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

bool EqualsNoCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

std::u16string DecodeText(const std::vector<uint8_t>& bytes, TextEncoding* encoding) {
    const size_t n = bytes.size();
    TextEncoding found = TextEncoding::Ansi;
    std::u16string out;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        found = TextEncoding::Utf8Bom;
        out = DecodeUtf8(bytes.data() + 3, n - 3);
    } else if (n >= 2 &&
               ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
        const bool little = bytes[0] == 0xFF;
        found = little ? TextEncoding::Utf16LeBom : TextEncoding::Utf16BeBom;
        for (size_t i = 2; i + 1 < n; i += 2) {
            out.push_back(little ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                                 : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]));
        }
    } else {
        for (uint8_t b : bytes) {
            out.push_back(AnsiToUnicode(b));
        }
    }
    if (encoding) {
        *encoding = found;
    }
    return out;
}

std::vector<uint8_t> EncodeText(const std::u16string& text, TextEncoding encoding) {
    std::vector<uint8_t> out;
    switch (encoding) {
    case TextEncoding::Ansi:
        for (char16_t c : text) {
            out.push_back(UnicodeToAnsi(c));
        }
        break;
    case TextEncoding::Utf8Bom:
        out = {0xEF, 0xBB, 0xBF};
        AppendUtf8(out, text);
        break;
    case TextEncoding::Utf16LeBom:
    case TextEncoding::Utf16BeBom: {
        const bool little = encoding == TextEncoding::Utf16LeBom;
        auto put = [&](char16_t c) {
            out.push_back(static_cast<uint8_t>(little ? (c & 0xFF) : (c >> 8)));
            out.push_back(static_cast<uint8_t>(little ? (c >> 8) : (c & 0xFF)));
        };
        put(0xFEFF);
        for (char16_t c : text) {
            put(c);
        }
        break;
    }
    }
    return out;
}

} // namespace qk::test
