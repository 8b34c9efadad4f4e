// FormatMessageW from a string, as far as the applet uses it: inserts %1 to
// %99 (strings, or !d!/!u!/!x! numbers), %n hard line breaks, the escapes
// %% %. %! %space %r %t, %0, and the maximum line width of the flags' low byte.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace platform {
namespace {

void AppendNumber(std::u16string& out, std::uintptr_t value, char kind) {
    char text[32];
    switch (kind) {
        case 'd': std::snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<std::intptr_t>(value))); break;
        case 'x': std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value)); break;
        default: std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value)); break;
    }
    for (const char* p = text; *p; ++p) out += static_cast<char16_t>(*p);
}

// Wraps each line between hard breaks at `width` characters: the break
// replaces the last blank that keeps the line within the width, or cuts a
// word longer than the width.
std::u16string Wrap(const std::u16string& text, std::size_t width) {
    std::u16string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u"\r\n", start);
        std::size_t stop = end == std::u16string::npos ? text.size() : end;
        std::u16string line = text.substr(start, stop - start);
        while (line.size() > width) {
            std::size_t cut = line.rfind(u' ', width);
            if (cut == std::u16string::npos || cut == 0) {
                out += line.substr(0, width);
                line.erase(0, width);
            } else {
                out += line.substr(0, cut);
                line.erase(0, cut + 1);
            }
            out += u"\r\n";
        }
        out += line;
        if (end == std::u16string::npos) break;
        out += u"\r\n";
        start = end + 2;
    }
    return out;
}

}  // namespace

char16_t* FormatMessage(std::uint32_t flags, const char16_t* source,
                        const std::uintptr_t* arguments) {
    if (!(flags & kFormatFromString) || !source) return nullptr;
    const std::uint32_t width = flags & kFormatMaxWidthMask;
    std::u16string out;
    for (const char16_t* p = source; *p;) {
        char16_t c = *p++;
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && *p == u'\n') ++p;
            // With a width, the text's own line ends count as blanks.
            out += width ? std::u16string(u" ") : std::u16string(u"\r\n");
            continue;
        }
        if (c != u'%') {
            out += c;
            continue;
        }
        char16_t e = *p;
        if (e == u'\0') break;
        ++p;
        if (e == u'0') break;
        if (e >= u'1' && e <= u'9') {
            int index = e - u'0';
            if (*p >= u'0' && *p <= u'9') index = index * 10 + (*p++ - u'0');
            char kind = 's';
            if (*p == u'!') {
                const char16_t* close = p + 1;
                while (*close && *close != u'!') ++close;
                if (*close == u'!' && close > p + 1) kind = static_cast<char>(close[-1]);
                p = *close ? close + 1 : close;
            }
            if (!(flags & kFormatArgumentArray) || !arguments) return nullptr;
            std::uintptr_t value = arguments[index - 1];
            if (kind == 's') {
                const char16_t* text = reinterpret_cast<const char16_t*>(value);
                out += text ? text : u"(null)";
            } else {
                AppendNumber(out, value, kind);
            }
            continue;
        }
        switch (e) {
            case u'n': out += u"\r\n"; break;
            case u'r': out += u'\r'; break;
            case u't': out += u'\t'; break;
            default: out += e; break;  // %% %. %! %space and any other
        }
    }
    if (width > 0 && width < kFormatMaxWidthMask) out = Wrap(out, width);
    char16_t* result = new char16_t[out.size() + 1];
    std::memcpy(result, out.c_str(), (out.size() + 1) * sizeof(char16_t));
    return result;
}

void FreeFormattedMessage(char16_t* text) { delete[] text; }

}  // namespace platform
