// Modules of the emulated machine: the applet itself and the resource
// libraries "vcaXXXX", whose string tables are compiled in from the same
// lists the resource scripts are built from.
#include <map>
#include <set>
#include <string_view>

#include "platform/host/host_state.h"

namespace host {
namespace {

struct StringEntry {
    std::uint32_t id;
    const char16_t* text;
};

#define VCA_STRING(id, text) {id, u"" text},
constexpr StringEntry kStrings0409[] = {
#include "strings_0409.inc"
};
constexpr StringEntry kStrings0407[] = {
#include "strings_0407.inc"
};
constexpr StringEntry kAppletStrings[] = {
#include "strings_applet.inc"
};
#undef VCA_STRING

template <std::size_t N>
constexpr bool HasString(const StringEntry (&table)[N], std::uint32_t id) {
    for (const auto& entry : table)
        if (entry.id == id) return true;
    return false;
}

// Every number of one list is in the other, once.
template <std::size_t N, std::size_t M>
constexpr bool SameNumbers(const StringEntry (&a)[N], const StringEntry (&b)[M]) {
    if (N != M) return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (!HasString(b, a[i].id)) return false;
        for (std::size_t j = i + 1; j < N; ++j)
            if (a[i].id == a[j].id) return false;
    }
    return true;
}
static_assert(SameNumbers(kStrings0409, kStrings0407),
              "strings_0407*.inc and strings_0409*.inc must list the same string numbers");

constexpr platform::Module kAppletModule = 0x10000000;
constexpr platform::Module kResourceModuleBase = 0x20000000;
constexpr platform::Icon kIconBase = 0x30000000;

struct ModuleState {
    // The shipped libraries.
    std::set<std::uint16_t> languages{0x0407, 0x0409};
    std::vector<std::u16string> loadAttempts;
    std::map<std::pair<int, std::uint32_t>, std::u16string> overrides;
};

ModuleState& modules() {
    static ModuleState state;
    return state;
}

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }

std::u16string LowerAscii(const std::u16string& text) {
    std::u16string out(text);
    for (auto& c : out) c = Lower(c);
    return out;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// "vca0409" or "vca0409.dll", any case: the language, or -1.
int LanguageOfLibraryName(const std::u16string& name) {
    std::u16string lower = LowerAscii(name);
    if (lower.size() == 11 && lower.compare(7, 4, u".dll") == 0) lower.resize(7);
    if (lower.size() != 7 || lower.compare(0, 3, u"vca") != 0) return -1;
    int value = 0;
    for (int i = 3; i < 7; ++i) {
        int digit = HexDigit(lower[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Which table a module's strings come from: 0 for the applet's own, else
// the resource library's language.
bool TableKey(platform::Module module, int* key) {
    if (module == kAppletModule) {
        *key = 0;
        return true;
    }
    int language = LanguageOfModule(module);
    if (language < 0) return false;
    *key = language;
    return true;
}

const char16_t* CompiledString(int key, std::uint32_t id) {
    if (key == 0) {
        for (const auto& entry : kAppletStrings)
            if (entry.id == id) return entry.text;
        return nullptr;
    }
    // German and US English are compiled in; a library of any other
    // language shows the US English texts.
    if (key == 0x0407) {
        for (const auto& entry : kStrings0407)
            if (entry.id == id) return entry.text;
        return nullptr;
    }
    for (const auto& entry : kStrings0409)
        if (entry.id == id) return entry.text;
    return nullptr;
}

}  // namespace

void SetResourceLanguages(const std::vector<std::uint16_t>& languages) {
    modules().languages = std::set<std::uint16_t>(languages.begin(), languages.end());
}

const std::vector<std::u16string>& LibraryLoadAttempts() { return modules().loadAttempts; }

void OverrideString(std::uint16_t language, std::uint32_t id, const std::u16string& text) {
    modules().overrides[{language, id}] = text;
}

platform::Module ResourceModuleFor(std::uint16_t language) { return kResourceModuleBase + language; }
platform::Module AppletModule() { return kAppletModule; }

int LanguageOfModule(platform::Module module) {
    if (module < kResourceModuleBase || module > kResourceModuleBase + 0xFFFF) return -1;
    int language = static_cast<int>(module - kResourceModuleBase);
    return modules().languages.count(static_cast<std::uint16_t>(language)) ? language : -1;
}

platform::Icon IconFor(platform::Module module) {
    return LanguageOfModule(module) < 0 ? 0 : kIconBase + (module - kResourceModuleBase);
}

namespace detail {
void ResetModules() { modules() = ModuleState{}; }
}  // namespace detail

}  // namespace host

namespace platform {

Module GetModuleHandle(const char16_t* name) {
    if (!name) return 0;
    return host::LowerAscii(name) == u"nrvavca.cpl" ? host::kAppletModule : 0;
}

Module LoadLibrary(const char16_t* name) {
    if (!name) return 0;
    host::modules().loadAttempts.emplace_back(name);
    int language = host::LanguageOfLibraryName(name);
    if (language < 0 || !host::modules().languages.count(static_cast<std::uint16_t>(language)))
        return 0;
    return host::ResourceModuleFor(static_cast<std::uint16_t>(language));
}

int LoadString(Module module, std::uint32_t id, char16_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = u'\0';
    int key;
    if (!host::TableKey(module, &key)) return 0;
    std::u16string_view text;  // the table's own text, not a copy
    auto found = host::modules().overrides.find({key, id});
    if (found != host::modules().overrides.end()) {
        text = found->second;
    } else if (const char16_t* compiled = host::CompiledString(key, id)) {
        text = compiled;
    } else {
        return 0;
    }
    std::size_t count = text.size() < static_cast<std::size_t>(capacity - 1)
                            ? text.size()
                            : static_cast<std::size_t>(capacity - 1);
    text.copy(buffer, count);
    buffer[count] = u'\0';
    return static_cast<int>(count);
}

Icon LoadIcon(Module module, const char16_t* name) {
    if (!name || host::LowerAscii(name) != u"monitr01") return 0;
    return host::IconFor(module);
}

}  // namespace platform
