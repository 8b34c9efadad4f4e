#include "base/text.h"

#include <string>

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

namespace {

// The digits of a number in base 10 or 16, with a leading "-" when it is
// negative, written backwards from `end`; returns where they start.
char16_t* Digits(unsigned long long magnitude, bool negative, unsigned base, char16_t* end) {
    char16_t* p = end;
    do {
        const unsigned digit = static_cast<unsigned>(magnitude % base);
        *--p = static_cast<char16_t>(digit < 10 ? u'0' + digit : u'a' + digit - 10);
        magnitude /= base;
    } while (magnitude != 0);
    if (negative) *--p = u'-';
    return p;
}

}  // namespace

std::u16string FormatText(const char16_t* format, std::initializer_list<TextArg> args) {
    std::u16string out;
    if (!format) return out;
    out.reserve(64);
    const TextArg* next = args.begin();
    for (const char16_t* p = format; *p; ++p) {
        if (*p != u'%') {
            const char16_t* run = p;  // the literal text up to the next "%", at once
            while (p[1] != u'\0' && p[1] != u'%') ++p;
            out.append(run, p + 1);
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
        // The piece: an argument's text, or a number's digits (a signed
        // argument as signed unless the conversion is %u or %x).
        char16_t digits[24];
        const char16_t* piece = digits + 24;
        std::size_t length = 0;
        if (next != args.end()) {
            const TextArg& arg = *next++;
            if (conv == u's') {
                if (arg.kind == TextArg::kText && arg.text) {
                    piece = arg.text;
                    length = std::char_traits<char16_t>::length(piece);
                }
            } else {
                const bool asSigned = conv != u'x' && conv != u'u' && arg.kind != TextArg::kUnsigned;
                const unsigned long long u = arg.kind == TextArg::kUnsigned
                                                 ? arg.unsignedNumber
                                                 : static_cast<unsigned long long>(arg.number);
                const bool negative = asSigned && arg.number < 0;
                piece = Digits(negative ? 0 - u : u, negative, conv == u'x' ? 16 : 10, digits + 24);
                length = static_cast<std::size_t>(digits + 24 - piece);
            }
        }
        // Padded to the width: zeros after a leading "-" with the 0 flag
        // (spaces for text), spaces in front otherwise.
        if (static_cast<int>(length) < width) {
            const bool negative = zero && length != 0 && piece[0] == u'-';
            if (negative) {
                out += u'-';
                ++piece;
                --length;
            }
            out.append(static_cast<std::size_t>(width) - length - negative, zero && conv != u's' ? u'0' : u' ');
        }
        out.append(piece, length);
    }
    return out;
}

}  // namespace vca
