// Values of the profile format (numbers, flags, reals, hex bytes, letters)
// and the gamma table that a profile's "gamma" key describes.
#include <cmath>

#include "boardsim/boardsim.h"
#include "boardsim/boardsim_internal.h"

namespace boardsim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

namespace detail {

bool ParseNumber(const std::string& text, std::uint64_t max, std::uint32_t* value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t start = hex ? 2 : 0;
    const std::uint64_t base = hex ? 16 : 10;
    if (text.size() <= start) return false;
    std::uint64_t result = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || static_cast<std::uint64_t>(digit) >= base) return false;
        result = result * base + static_cast<std::uint64_t>(digit);
        if (result > max || result > 0xFFFFFFFFu) return false;
    }
    *value = static_cast<std::uint32_t>(result);
    return true;
}

bool ParseFlag(const std::string& text, bool* value) {
    if (text == "yes") {
        *value = true;
        return true;
    }
    if (text == "no") {
        *value = false;
        return true;
    }
    return false;
}

bool ParseReal(const std::string& text, double* value) {
    // Whole digits, then optionally a point and at most nine more digits,
    // taken as one integer over a power of ten.
    constexpr int kMaxDigits = 9;
    std::uint64_t digits = 0;
    int wholeDigits = 0, fractionDigits = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        int& count = point ? fractionDigits : wholeDigits;
        if (++count > kMaxDigits) return false;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (wholeDigits == 0 && fractionDigits == 0) return false;
    if (point && fractionDigits == 0) return false;
    *value = static_cast<double>(digits) / std::pow(10.0, fractionDigits);
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes) {
    std::vector<std::uint8_t> parsed;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsBlank(text[end])) ++end;
        if ((end - i) % 2 != 0) return false;
        for (; i < end; i += 2) {
            const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0) return false;
            parsed.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
    }
    if (parsed.empty()) return false;
    bytes->insert(bytes->end(), parsed.begin(), parsed.end());
    return true;
}

bool ParseManufacturer(const std::string& text, std::uint16_t* code) {
    if (text.size() != 3) return false;
    std::uint16_t result = 0;
    for (char c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return false;
        // Five bits a letter, "A" = 1, first letter highest.
        result = static_cast<std::uint16_t>((result << 5) | (c - 'A' + 1));
    }
    *code = result;
    return true;
}

}  // namespace detail

GammaBytes ComputeGamma(double gamma, std::uint32_t header) {
    GammaBytes table{};
    detail::PutWord(table.data(), 0, header);
    const double exponent = 1.0 / gamma;
    const double step = 1.0 / 255;
    for (int i = 0; i < 256; ++i) {
        const double y = std::pow(i * step, exponent) * 1023.0;
        double whole = 0;
        const double fraction = std::modf(y, &whole);
        if (fraction >= 0.5) whole += 1;
        const auto entry = static_cast<std::uint16_t>(whole);
        for (int channel = 0; channel < 3; ++channel) {
            const std::size_t at = 4 + static_cast<std::size_t>(channel) * 512 + static_cast<std::size_t>(i) * 2;
            table[at] = static_cast<std::uint8_t>(entry);
            table[at + 1] = static_cast<std::uint8_t>(entry >> 8);
        }
    }
    return table;
}

}  // namespace boardsim
