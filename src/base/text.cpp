#include "base/text.h"

#include <cstdio>
#include <vector>

namespace vca {

std::size_t TextLength(const char16_t* text, std::size_t capacity) {
    if (!text) return 0;
    std::size_t n = 0;
    while (n < capacity && text[n] != u'\0') ++n;
    return n;
}

void CopyText(char16_t* field, std::size_t capacity, const char16_t* source) {
    if (!field || capacity == 0) return;
    std::size_t n = 0;
    if (source)
        while (n + 1 < capacity && source[n] != u'\0') {
            field[n] = source[n];
            ++n;
        }
    field[n] = u'\0';
}

void CopyText(char16_t* field, std::size_t capacity, const std::u16string& source) {
    CopyText(field, capacity, source.c_str());
}

std::u16string Widen(const char* text) {
    std::u16string out;
    if (text)
        for (const char* p = text; *p; ++p) out += static_cast<char16_t>(static_cast<unsigned char>(*p));
    return out;
}

std::u16string FormatText(const char16_t* format, std::initializer_list<TextArg> args) {
    std::u16string out;
    if (!format) return out;
    std::vector<TextArg> list(args);
    std::size_t next = 0;
    for (const char16_t* p = format; *p; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        const char16_t* start = p++;
        if (*p == u'%') {
            out += u'%';
            continue;
        }
        bool zero = false;
        if (*p == u'0') {
            zero = true;
            ++p;
        }
        int width = 0;
        while (*p >= u'0' && *p <= u'9' && width < 100) width = width * 10 + (*p++ - u'0');
        while (*p == u'l') ++p;
        char16_t conv = *p;
        if (conv != u's' && conv != u'd' && conv != u'i' && conv != u'u' && conv != u'x') {
            // Not a conversion this formatter knows: keep the text as written.
            out.append(start, conv ? p + 1 : p);
            if (!conv) break;
            continue;
        }
        std::u16string piece;
        if (next < list.size()) {
            const TextArg& arg = list[next++];
            if (conv == u's') {
                if (arg.kind == TextArg::kText && arg.text) piece = arg.text;
            } else {
                char digits[32];
                unsigned long long u = arg.kind == TextArg::kUnsigned
                                           ? arg.unsignedNumber
                                           : static_cast<unsigned long long>(arg.number);
                if (conv == u'x')
                    std::snprintf(digits, sizeof digits, "%llx", u);
                else if (conv == u'u' || arg.kind == TextArg::kUnsigned)
                    std::snprintf(digits, sizeof digits, "%llu", u);
                else
                    std::snprintf(digits, sizeof digits, "%lld", arg.number);
                piece = Widen(digits);
            }
        }
        while (static_cast<int>(piece.size()) < width) {
            bool negative = zero && !piece.empty() && piece[0] == u'-';
            piece.insert(negative ? 1 : 0, 1, zero && conv != u's' ? u'0' : u' ');
        }
        out += piece;
    }
    return out;
}

}  // namespace vca
