#include "base/resource_library.h"

#include <algorithm>
#include <memory>

#include "base/app_state.h"
#include "base/text.h"

namespace vca {

char16_t messageCaption[kMessageChars];

namespace {

constexpr std::uint32_t kFatalLineWidth = 64;
constexpr int kFatalTextChars = 512;
constexpr std::uint32_t kWindowsDirectoryLimit = 200;
constexpr std::uint32_t kUsEnglish = 0x0409;

std::u16string Tag4(std::uint32_t language) {
    return FormatText(u"%04x", {static_cast<unsigned>(language & 0xFFFF)});
}

void BuildSystemDirectory() {
    char16_t windows[kWindowsDirectoryLimit];
    std::uint32_t length = platform::GetWindowsDirectory(windows, kWindowsDirectoryLimit);
    // A directory that does not fit (or a failure) leaves the path relative
    // rather than reading an unterminated buffer.
    if (length == 0 || length >= kWindowsDirectoryLimit) windows[0] = u'\0';
    CopyText(systemDirectory, std::u16string(windows) + u"\\system32\\");
}

void BuildHelpPath(std::uint32_t language) {
    CopyText(helpFilePath, std::u16string(systemDirectory) + LanguageTag(language) + u".hlp");
}

}  // namespace

std::u16string LanguageTag(std::uint32_t language) { return u"vca" + Tag4(language); }

void LoadResourceLibrary(platform::Module appletModule) {
    if (!platform::SetUserLocale()) ShowFatalMessage(appletModule, 1200);
    const std::uint32_t language = platform::GetUserDefaultLCID() & 0xFFFF;
    BuildSystemDirectory();
    BuildHelpPath(language);

    const std::uint32_t primary = language & 0x3FF;
    const std::uint32_t tries[] = {language, primary, primary | 0x400, kUsEnglish};
    std::uint32_t loadedLanguage = 0;
    platform::Module library = 0;
    for (std::uint32_t tryLanguage : tries) {
        library = platform::LoadLibrary(LanguageTag(tryLanguage).c_str());
        if (library) {
            loadedLanguage = tryLanguage;
            break;
        }
    }
    if (!library) ShowFatalMessage(appletModule, 1205);
    resourceLibrary = library;

    // The help file: the user's language, then the loaded library's primary
    // language neutral and default, then US English without looking.
    if (platform::FileExists(helpFilePath)) return;
    const std::uint32_t loadedPrimary = loadedLanguage & 0x3FF;
    for (std::uint32_t helpLanguage : {loadedPrimary, loadedPrimary | 0x400}) {
        BuildHelpPath(helpLanguage);
        if (platform::FileExists(helpFilePath)) return;
    }
    BuildHelpPath(kUsEnglish);
}

char16_t* FormatMessageText(const char16_t* text, const std::uintptr_t* arguments,
                            std::uint32_t extraFlags) {
    std::uint32_t flags = platform::kFormatAllocateBuffer | platform::kFormatFromString;
    if (arguments) flags |= platform::kFormatArgumentArray;
    if (extraFlags) flags |= extraFlags;
    return platform::FormatMessage(flags, text, arguments);
}

void ShowFatalMessage(platform::Module module, std::uint32_t stringId) {
    char16_t buffer[kFatalTextChars];
    platform::LoadString(module, stringId, buffer, kFatalTextChars);
    const std::uintptr_t arguments[1] = {0};
    char16_t* text = FormatMessageText(buffer, arguments, kFatalLineWidth);
    platform::LoadString(module, 1206, buffer, kFatalTextChars);
    platform::MessageBeep(platform::kMbIconExclamation);
    platform::MessageBox(0, text ? text : u"", buffer, platform::kMbOk | platform::kMbIconExclamation);
    platform::FreeFormattedMessage(text);
    platform::ExitProcess(-1);
}

int ShowMessage(std::uint32_t stringId, std::uint32_t type) {
    platform::MessageBeep(platform::kMbIconExclamation);
    char16_t text[kMessageChars];
    platform::LoadString(resourceLibrary, 3, messageCaption, kMessageChars);
    platform::LoadString(resourceLibrary, stringId, text, kMessageChars);
    return platform::MessageBox(0, text, messageCaption, type);
}

std::u16string LoadResourceString(std::uint32_t stringId, int capacity) {
    if (capacity <= 0) return {};
    // Read into a buffer of the capacity (on the stack up to a message's
    // size), which need not be cleared: only what was read is kept.
    char16_t small[kMessageChars];
    std::unique_ptr<char16_t[]> large;
    char16_t* buffer = small;
    if (static_cast<std::size_t>(capacity) > kMessageChars) {
        large.reset(new char16_t[static_cast<std::size_t>(capacity)]);
        buffer = large.get();
    }
    const int length = platform::LoadString(resourceLibrary, stringId, buffer, capacity);
    return std::u16string(buffer, length > 0 ? static_cast<std::size_t>(std::min(length, capacity - 1)) : 0);
}

}  // namespace vca
