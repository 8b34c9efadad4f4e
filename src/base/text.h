// Bounded UTF-16 text helpers: every copy and every format into a fixed
// field cuts at the field's capacity (terminator included) and never overruns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace vca {

// Units before the first terminator, looking at most at `capacity` units.
std::size_t TextLength(const char16_t* text, std::size_t capacity);

// Copies `source` into a field of `capacity` units, cut to capacity - 1
// units and always terminated (nothing happens when capacity is 0).
void CopyText(char16_t* field, std::size_t capacity, const char16_t* source);
void CopyText(char16_t* field, std::size_t capacity, const std::u16string& source);
template <std::size_t N>
void CopyText(char16_t (&field)[N], const std::u16string& source) {
    CopyText(field, N, source);
}
template <std::size_t N>
void CopyText(char16_t (&field)[N], const char16_t* source) {
    CopyText(field, N, source);
}

// An ASCII (or Windows-1252 stored as bytes below 0x80) literal as UTF-16.
std::u16string Widen(const char* text);

// One argument of FormatText: a UTF-16 string or a number.
struct TextArg {
    enum Kind { kText, kSigned, kUnsigned } kind;
    const char16_t* text = nullptr;
    long long number = 0;
    unsigned long long unsignedNumber = 0;

    TextArg(const char16_t* t) : kind(kText), text(t) {}
    TextArg(const std::u16string& t) : kind(kText), text(t.c_str()) {}
    TextArg(int n) : kind(kSigned), number(n) {}
    TextArg(long n) : kind(kSigned), number(n) {}
    TextArg(long long n) : kind(kSigned), number(n) {}
    TextArg(unsigned n) : kind(kUnsigned), unsignedNumber(n) {}
    TextArg(unsigned long n) : kind(kUnsigned), unsignedNumber(n) {}
    TextArg(unsigned long long n) : kind(kUnsigned), unsignedNumber(n) {}
};

// swprintf for the formats the applet composes: %s, %d %i %u %x (with an
// optional l or ll, a zero flag and a width), and %%. A missing argument
// formats as nothing.
std::u16string FormatText(const char16_t* format, std::initializer_list<TextArg> args);

}  // namespace vca
