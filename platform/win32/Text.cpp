#include "windows.h"

#include <string>

namespace {

// Decodes UTF-8 (our narrow text); a malformed byte becomes U+FFFD.
std::u16string decodeUtf8(const char* text, int count) {
    std::u16string out;
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < count) {
        char32_t c = s[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= count) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (extra > 0) {
            c &= 0x3F >> extra;
            bool valid = true;
            for (int k = 1; k <= extra; ++k) {
                if ((s[i + k] & 0xC0) != 0x80) valid = false;
                c = (c << 6) | (s[i + k] & 0x3F);
            }
            if (!valid) {
                out.push_back(u'\uFFFD');
                ++i;
                continue;
            }
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

} // namespace

// Our narrow text is UTF-8 rather than a code page. A count of -1 includes the terminator; a
// wide count of 0 asks for the size needed; a buffer too small gives 0, writing nothing.
int MultiByteToWideChar(UINT, DWORD, LPCSTR multiByte, int multiByteCount, LPWSTR wide,
                        int wideCount) {
    if (!multiByte || multiByteCount == 0 || wideCount < 0) return 0;
    const int count = multiByteCount < 0
                          ? static_cast<int>(std::char_traits<char>::length(multiByte)) + 1
                          : multiByteCount;
    const std::u16string decoded = decodeUtf8(multiByte, count);
    const int needed = static_cast<int>(decoded.size());
    if (wideCount == 0) return needed;
    if (!wide || wideCount < needed) return 0;
    decoded.copy(reinterpret_cast<char16_t*>(wide), decoded.size());
    return needed;
}
