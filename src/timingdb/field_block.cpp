#include "timingdb/field_block.h"

#include "timingdb/scanner.h"

namespace vca {

void SetField(FieldSpec& field, const char* name, std::uint32_t kind) {
    CopyString(field.name, sizeof field.name, name);
    field.kind = kind;
    field.intValue = 0;
    field.text[0] = '\0';
    field.realValue = 0.0;
}

namespace {

// A quoted string: the opening quote at the cursor, any characters up to
// the next quote (line ends inside are counted). False when the text ends
// first or the string is longer than the field holds; the error is then
// reported on the line where the string opens.
bool ReadQuoted(const char*& p, char* text) {
    if (*p != '"') return false;
    ++p;
    const std::uint16_t openingLine = timingLineCounter;
    std::size_t length = 0;
    for (; *p != '"'; ++p) {
        if (*p == '\0' || length + 1 >= kFieldTextBytes) {
            timingLineCounter = openingLine;
            return false;
        }
        if (*p == '\n') ++timingLineCounter;
        text[length++] = *p;
    }
    text[length] = '\0';
    ++p;
    return true;
}

// A word: every character up to the next space, tab, CR or LF, which is
// left in place. False when the text ends first or the word is too long.
bool ReadWord(const char*& p, char* text, std::size_t maxLength) {
    std::size_t length = 0;
    for (; *p != ' ' && *p != '\n' && *p != '\t' && *p != '\r'; ++p) {
        if (*p == '\0' || length >= maxLength) return false;
        text[length++] = *p;
    }
    text[length] = '\0';
    return true;
}

bool ReadValue(const char*& p, FieldSpec& field) {
    if (field.kind & (kFieldInteger | kFieldHexInteger))
        return ParseIntData(p, field.kind & (kFieldInteger | kFieldHexInteger), &field.intValue) !=
               kValueTooLong;
    if (field.kind & kFieldReal) return ParseFloatData(p, &field.realValue) != kValueTooLong;
    if (field.kind & kFieldBoolean) {
        if (TokenEquals(p, "true")) {
            field.intValue = 1;
            p += 4;
            return true;
        }
        if (TokenEquals(p, "false")) {
            field.intValue = 0;
            p += 5;
            return true;
        }
        return false;
    }
    if (field.kind & kFieldQuoted) return ReadQuoted(p, field.text);
    return ReadWord(p, field.text, (field.kind & kFieldTag) ? kTagNameBytes - 1 : kFieldTextBytes - 1);
}

}  // namespace

int ParseFieldBlock(const char*& cursor, FieldSpec* fields, int count) {
    const char* p = cursor;
    SkipWhitespace(p);
    if (*p != '{') return 1;
    ++p;
    for (;;) {
        SkipWhitespace(p);
        if (*p == '}') {
            ++p;
            for (int i = 0; i < count; ++i)
                if ((fields[i].kind & kFieldRequired) && !(fields[i].kind & kFieldSeen)) return 1;
            cursor = p;
            return 0;
        }
        FieldSpec* field = nullptr;
        for (int i = 0; i < count && !field; ++i)
            if (TokenEquals(p, fields[i].name)) field = &fields[i];
        if (!field) {
            timingErrorLine = timingLineCounter;
            cursor = *p != '\0' ? p + 1 : p;
            return 1;
        }
        p += StringLength(field->name);
        if (*p != '=') {
            timingErrorLine = timingLineCounter;
            return 1;
        }
        ++p;
        field->kind |= kFieldSeen;
        if (!ReadValue(p, *field)) {
            timingErrorLine = timingLineCounter;
            return 1;
        }
    }
}

}  // namespace vca
