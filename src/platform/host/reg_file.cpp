// Registry files in regedit's text form ("Windows Registry Editor Version
// 5.00"), read into and written from the emulated hive. Only
// HKEY_LOCAL_MACHINE exists here, so keys of other hives are refused.
//
// Reading takes UTF-16LE with a byte-order mark (what regedit writes) or
// UTF-8 with or without one, and applies nothing unless the whole text is
// valid. Writing produces UTF-8 without a byte-order mark and CR LF line
// ends, and gives back every value byte for byte when read again.
#include <fstream>
#include <sstream>

#include "platform/host/registry_store.h"

namespace host {
namespace {

using detail::KeyRecord;

constexpr char16_t kHeader5[] = u"Windows Registry Editor Version 5.00";
constexpr char16_t kHeader4[] = u"REGEDIT4";
constexpr char16_t kHive[] = u"HKEY_LOCAL_MACHINE";
// A hex line is cut once its text passes this column, so that with the
// trailing backslash no line is longer than 80 columns.
constexpr std::size_t kWrapColumn = 76;

// ---- Reading -------------------------------------------------------------------

struct Operation {
    enum Kind { kMakeKey, kDeleteKey, kSetValue, kDeleteValue } kind = kMakeKey;
    std::u16string key;
    std::u16string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// A value line with its continuation lines joined: where each physical
// line starts in `text`, so that an error names the line it is on.
struct LogicalLine {
    std::u16string text;
    std::vector<std::pair<std::size_t, int>> starts;  // offset in text, line number

    int LineAt(std::size_t offset) const {
        int line = starts.front().second;
        for (const auto& [start, number] : starts)
            if (start <= offset) line = number;
        return line;
    }
};

struct ParseError {
    std::size_t offset = 0;
    std::string what;
};

std::u16string DecodeText(const std::string& bytes) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        std::u16string text;
        std::size_t i = 2;
        for (; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(byte(i) | (byte(i + 1) << 8)));
        if (i < bytes.size()) text.push_back(0xFFFD);  // half a unit at the end
        return text;
    }
    if (bytes.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        return FromUtf8(bytes.substr(3));
    return FromUtf8(bytes);
}

std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Trim(const std::u16string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Up to `limit` hex digits at *pos; the digit count, or -1 when more follow.
int ReadHex(const std::u16string& s, std::size_t* pos, int limit, std::uint32_t* value) {
    int count = 0;
    *value = 0;
    while (*pos < s.size() && HexDigit(s[*pos]) >= 0) {
        if (count == limit) return -1;
        *value = (*value << 4) | static_cast<std::uint32_t>(HexDigit(s[*pos]));
        ++*pos;
        ++count;
    }
    return count;
}

bool StartsWithNoCase(const std::u16string& s, std::size_t pos, const std::u16string& prefix) {
    return s.size() - pos >= prefix.size() &&
           detail::EqualNoCase(s.substr(pos, prefix.size()), prefix);
}

void SkipBlanks(const std::u16string& s, std::size_t* pos) {
    while (*pos < s.size() && IsBlank(s[*pos])) ++*pos;
}

// "text" with the escapes \\ and \"; *pos is on the opening quote.
bool ParseQuoted(const std::u16string& s, std::size_t* pos, std::u16string* out,
                 ParseError* error) {
    out->clear();
    ++*pos;
    while (*pos < s.size()) {
        char16_t c = s[*pos];
        if (c == u'"') {
            ++*pos;
            return true;
        }
        if (c == u'\\') {
            if (*pos + 1 >= s.size() || (s[*pos + 1] != u'\\' && s[*pos + 1] != u'"')) {
                *error = {*pos, "bad escape in quoted text"};
                return false;
            }
            c = s[++*pos];
        }
        out->push_back(c);
        ++*pos;
    }
    *error = {*pos, "missing closing quote"};
    return false;
}

// Comma-separated bytes of one or two hex digits; a trailing comma is
// allowed (it is what a continuation leaves behind).
bool ParseBytes(const std::u16string& s, std::size_t pos, std::vector<std::uint8_t>* out,
                ParseError* error) {
    SkipBlanks(s, &pos);
    while (pos < s.size()) {
        std::uint32_t byte = 0;
        std::size_t at = pos;
        if (ReadHex(s, &pos, 2, &byte) <= 0) {
            *error = {at, "bad hex byte"};
            return false;
        }
        out->push_back(static_cast<std::uint8_t>(byte));
        SkipBlanks(s, &pos);
        if (pos == s.size()) break;
        if (s[pos] != u',') {
            *error = {pos, "bad hex byte"};
            return false;
        }
        ++pos;
        SkipBlanks(s, &pos);
    }
    return true;
}

// The data after "name"=: -, "text", dword:, hex: or hex(N):.
bool ParseData(const std::u16string& s, std::size_t pos, Operation* op, ParseError* error) {
    if (s.compare(pos, std::u16string::npos, u"-") == 0) {
        op->kind = Operation::kDeleteValue;
        return true;
    }
    op->kind = Operation::kSetValue;
    if (pos < s.size() && s[pos] == u'"') {
        std::u16string text;
        if (!ParseQuoted(s, &pos, &text, error)) return false;
        if (pos != s.size()) {
            *error = {pos, "text after the closing quote"};
            return false;
        }
        op->type = platform::kRegSz;
        text.push_back(u'\0');
        for (char16_t c : text) {
            op->data.push_back(static_cast<std::uint8_t>(c & 0xFF));
            op->data.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        return true;
    }
    if (StartsWithNoCase(s, pos, u"dword:")) {
        const std::size_t at = pos;
        pos += 6;
        std::uint32_t value = 0;
        if (ReadHex(s, &pos, 8, &value) <= 0 || pos != s.size()) {
            *error = {at, "bad dword value"};
            return false;
        }
        op->type = platform::kRegDword;
        op->data = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        return true;
    }
    if (StartsWithNoCase(s, pos, u"hex")) {
        const std::size_t at = pos;
        pos += 3;
        op->type = platform::kRegBinary;
        if (pos < s.size() && s[pos] == u'(') {
            ++pos;
            if (ReadHex(s, &pos, 8, &op->type) <= 0 || pos >= s.size() || s[pos] != u')') {
                *error = {at, "bad value type"};
                return false;
            }
            ++pos;
        }
        if (pos >= s.size() || s[pos] != u':') {
            *error = {at, "bad value type"};
            return false;
        }
        return ParseBytes(s, pos + 1, &op->data, error);
    }
    *error = {pos, "unrecognized value data"};
    return false;
}

bool ParseValueLine(const std::u16string& s, Operation* op, ParseError* error) {
    std::size_t pos = 0;
    if (s[0] == u'@') {
        pos = 1;
    } else if (!ParseQuoted(s, &pos, &op->name, error)) {
        return false;
    }
    SkipBlanks(s, &pos);
    if (pos >= s.size() || s[pos] != u'=') {
        *error = {pos, "'=' expected after the value name"};
        return false;
    }
    ++pos;
    SkipBlanks(s, &pos);
    return ParseData(s, pos, op, error);
}

// [HKEY_LOCAL_MACHINE\path] or [-HKEY_LOCAL_MACHINE\path]; HKLM also names
// the hive.
bool ParseKeyLine(const std::u16string& s, Operation* op, std::string* what) {
    if (s.back() != u']') {
        *what = "key name not closed with ']'";
        return false;
    }
    std::u16string inner = s.substr(1, s.size() - 2);
    op->kind = Operation::kMakeKey;
    if (!inner.empty() && inner[0] == u'-') {
        op->kind = Operation::kDeleteKey;
        inner.erase(0, 1);
    }
    const std::size_t slash = inner.find(u'\\');
    const std::u16string hive = inner.substr(0, slash);
    op->key = slash == std::u16string::npos ? std::u16string() : inner.substr(slash + 1);
    if (!detail::EqualNoCase(hive, kHive) && !detail::EqualNoCase(hive, u"HKLM")) {
        for (const char16_t* other : {u"HKEY_CURRENT_USER", u"HKCU", u"HKEY_CLASSES_ROOT", u"HKCR",
                                      u"HKEY_USERS", u"HKU", u"HKEY_CURRENT_CONFIG", u"HKCC"})
            if (detail::EqualNoCase(hive, other)) {
                *what = "only HKEY_LOCAL_MACHINE keys can be imported";
                return false;
            }
        *what = "unknown root key";
        return false;
    }
    std::vector<std::u16string> names;
    if ((slash != std::u16string::npos && op->key.empty()) ||
        !detail::SplitKeyPath(op->key, &names)) {
        *what = "bad key name";
        return false;
    }
    if (op->kind == Operation::kDeleteKey && names.empty()) {
        *what = "HKEY_LOCAL_MACHINE itself cannot be deleted";
        return false;
    }
    return true;
}

bool Fail(std::string* error, int line, const std::string& what) {
    if (error) *error = "line " + std::to_string(line) + ": " + what;
    return false;
}

void Apply(const std::vector<Operation>& operations) {
    for (const Operation& op : operations) {
        switch (op.kind) {
            case Operation::kMakeKey:
                detail::MakeKey(op.key);
                break;
            case Operation::kDeleteKey:
                detail::DeleteKeyTree(op.key);
                break;
            case Operation::kSetValue:
                if (KeyRecord* key = detail::MakeKey(op.key))
                    detail::StoreValue(key, op.name, op.type, op.data.data(), op.data.size());
                break;
            case Operation::kDeleteValue:
                if (KeyRecord* key = detail::FindKey(op.key)) detail::RemoveValue(key, op.name);
                break;
        }
    }
}

// ---- Writing -------------------------------------------------------------------

std::u16string Quote(const std::u16string& text) {
    std::u16string out = u"\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    return out + u'"';
}

char16_t Unit(const std::vector<std::uint8_t>& data, std::size_t i) {
    return static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
}

// Can the data be written as "text" and read back to the same bytes? A
// whole number of units, one terminating zero and none before it, no
// line-breaking controls and no lone surrogates (UTF-8 cannot carry them).
bool IsPlainText(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::size_t units = data.size() / 2;
    if (Unit(data, units - 1) != 0) return false;
    for (std::size_t i = 0; i + 1 < units; ++i) {
        const char16_t c = Unit(data, i);
        if (c < 0x20 && c != u'\t') return false;
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (low) return false;
        if (high) {
            if (i + 2 >= units) return false;
            const char16_t next = Unit(data, i + 1);
            if (next < 0xDC00 || next > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

void AppendHexNumber(std::u16string* out, std::uint32_t value, int digits) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out->push_back(kDigits[(value >> shift) & 15]);
}

void AppendValue(std::u16string* out, const RegValue& value) {
    const std::size_t lineStart = out->size();
    *out += value.name.empty() ? std::u16string(u"@") : Quote(value.name);
    *out += u'=';
    const auto& data = value.data;
    if (value.type == platform::kRegSz && IsPlainText(data)) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < data.size() / 2; ++i) text.push_back(Unit(data, i));
        *out += Quote(text) + u"\r\n";
        return;
    }
    if (value.type == platform::kRegDword && data.size() == 4) {
        *out += u"dword:";
        AppendHexNumber(out, data[0] | (data[1] << 8) | (data[2] << 16) |
                                 (static_cast<std::uint32_t>(data[3]) << 24), 8);
        *out += u"\r\n";
        return;
    }
    *out += u"hex";
    if (value.type != platform::kRegBinary) {
        *out += u'(';
        int digits = 1;
        while (digits < 8 && (value.type >> (digits * 4)) != 0) ++digits;
        AppendHexNumber(out, value.type, digits);
        *out += u')';
    }
    *out += u':';
    std::size_t column = out->size() - lineStart;
    for (std::size_t i = 0; i < data.size(); ++i) {
        AppendHexNumber(out, data[i], 2);
        column += 2;
        if (i + 1 == data.size()) break;
        *out += u',';
        if (++column > kWrapColumn) {
            *out += u"\\\r\n  ";
            column = 2;
        }
    }
    *out += u"\r\n";
}

}  // namespace

bool ImportRegText(const std::string& bytes, std::string* error) {
    const std::vector<std::u16string> lines = SplitLines(DecodeText(bytes));
    const std::u16string header = Trim(lines[0]);
    if (header != kHeader5 && header != kHeader4)
        return Fail(error, 1, "not a registry file (\"Windows Registry Editor Version 5.00\" expected)");
    std::vector<Operation> operations;
    bool inKey = false;
    std::u16string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const std::u16string text = Trim(lines[i]);
        if (text.empty() || text[0] == u';') continue;
        if (text[0] == u'[') {
            Operation op;
            std::string what;
            if (!ParseKeyLine(text, &op, &what)) return Fail(error, number, what);
            inKey = op.kind == Operation::kMakeKey;
            key = op.key;
            operations.push_back(op);
            continue;
        }
        if (text[0] != u'"' && text[0] != u'@') return Fail(error, number, "unrecognized line");
        LogicalLine logical{text, {{0, number}}};
        while (logical.text.back() == u'\\' && i + 1 < lines.size()) {
            logical.text.pop_back();
            ++i;
            logical.starts.emplace_back(logical.text.size(), static_cast<int>(i + 1));
            logical.text += Trim(lines[i]);
        }
        if (!inKey) return Fail(error, number, "value outside a key");
        Operation op;
        ParseError problem;
        if (!ParseValueLine(logical.text, &op, &problem))
            return Fail(error, logical.LineAt(problem.offset), problem.what);
        op.key = key;
        operations.push_back(std::move(op));
    }
    Apply(operations);
    if (error) error->clear();
    return true;
}

bool ImportRegFile(const std::string& hostPath, std::string* error) {
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        if (error) *error = "cannot read " + hostPath;
        return false;
    }
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return ImportRegText(bytes.str(), error);
}

std::string ExportRegText(const std::u16string& keyPath) {
    std::u16string out = std::u16string(kHeader5) + u"\r\n\r\n";
    for (const KeyRecord* key : detail::KeyTree(keyPath)) {
        out += u'[';
        out += kHive;
        if (!key->path.empty()) out += u'\\' + key->path;
        out += u"]\r\n";
        for (const RegValue& value : key->values) AppendValue(&out, value);
        out += u"\r\n";
    }
    return ToUtf8(out);
}

bool ExportRegFile(const std::u16string& keyPath, const std::string& hostPath,
                   std::string* error) {
    if (!KeyExists(keyPath)) {
        if (error) *error = "no such key: " + ToUtf8(keyPath);
        return false;
    }
    const std::string text = ExportRegText(keyPath);
    std::ofstream file(hostPath, std::ios::binary | std::ios::trunc);
    if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) ||
        !file.flush()) {
        if (error) *error = "cannot write " + hostPath;
        return false;
    }
    if (error) error->clear();
    return true;
}

}  // namespace host
