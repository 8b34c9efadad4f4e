#include "timingdb/database_loader.h"

#include <string>

#include "base/resource_library.h"
#include "base/text.h"
#include "timingdb/monitor_catalogue.h"
#include "platform/platform.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_messages.h"

namespace vca {

char* timingText = nullptr;
std::uint32_t timingTextLength = 0;
TimingDatabase timingDatabase{};
bool databaseUnreadable = false;
bool databaseInvalid = false;
char16_t timingFilePath[kTimingFilePathChars];

namespace {

constexpr std::uint32_t kSystemDirectoryChars = 260;
constexpr const char16_t* kTimingFileName = u"\\revid.dat";

constexpr std::uint32_t kCannotOpen = 77;
constexpr std::uint32_t kBuiltInUsed = 78;
constexpr std::uint32_t kNoFileSize = 79;
constexpr std::uint32_t kCannotUse = 80;
constexpr std::uint32_t kErrorLine = 1204;
constexpr std::uint32_t kBadLimitPair = 1205;
constexpr std::uint32_t kOutOfMemory = 82;

void BuildTimingFilePath() {
    char16_t directory[kSystemDirectoryChars];
    const std::uint32_t length = platform::GetSystemDirectory(directory, kSystemDirectoryChars);
    // A failure, or a directory too long for the buffer, leaves the name
    // alone rather than reading an unfilled buffer.
    if (length == 0 || length >= kSystemDirectoryChars) directory[0] = u'\0';
    CopyText(timingFilePath, std::u16string(directory) + kTimingFileName);
}

constexpr std::size_t kShortText = 128;

// Converts an ANSI text of at most `sourceBytes` bytes into a UTF-16 field,
// cut at the field's capacity.
void AnsiToField(const char* source, std::size_t sourceBytes, char16_t* field, std::size_t capacity) {
    field[0] = u'\0';
    std::size_t length = 0;
    while (length < sourceBytes && source[length] != '\0') ++length;
    if (length == 0) return;
    const int units = static_cast<int>(length);
    // A byte gives at most one unit: a short text converts in one call into
    // a buffer on the stack (should that fail, as below).
    if (length <= kShortText) {
        char16_t small[kShortText + 1];
        const int written = platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed,
                                                          source, units, small, units);
        if (written > 0) {
            small[written] = u'\0';
            CopyText(field, capacity, small);
            return;
        }
    }
    const int needed = platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed,
                                                     source, units, nullptr, 0);
    if (needed <= 0) return;
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    const int written = platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed,
                                                      source, units, &wide[0], needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    CopyText(field, capacity, wide);
}

int OutOfMemory() {
    ShowMessage(kOutOfMemory, kBoxStop);
    return -1;
}

void ShowInconsistentLimits() {
    ShowTimingMessage(FormatText(u"%s %s.  %s %d.  %s",
                                 {LoadResourceString(kCannotUse), timingFilePath, LoadResourceString(kErrorLine),
                                  static_cast<int>(timingErrorLine), LoadResourceString(kBadLimitPair)}));
}

// Reads the open file into a new text. False when memory runs out. A read
// that fails or stops early leaves the shorter text; the parse judges it.
bool ReadWholeFile(platform::FileHandle file, std::uint32_t size) {
    auto* text = static_cast<char*>(platform::Allocate(static_cast<std::size_t>(size) + 1));
    if (!text) return false;
    std::uint32_t read = 0;
    platform::ReadFile(file, text, size, &read);
    if (read > size) read = size;
    text[read] = '\0';
    timingText = text;
    timingTextLength = read;
    return true;
}

// Fills the catalogue from the monitor blocks, the last block of the file
// first, and leaves the entry after the last one unnamed.
void FillCatalogue(MonitorEntry* catalogue) {
    std::size_t i = 0;
    for (const DISPENTRY* block = timingDatabase.entries; block && i < kMaxMonitorBlocks;
         block = block->next, ++i) {
        MonitorEntry& entry = catalogue[i];
        AnsiToField(block->desc, kDescBytes, entry.name, kMonitorNameChars);
        if (block->tag < timingDatabase.tagCount)
            AnsiToField(timingDatabase.tagNames[block->tag], kTagNameBytes, entry.tagName, kMonitorTagChars);
        entry.tagIndex = block->tag;
        for (int limit = 0; limit < kLimitCount; ++limit) entry.limits[limit] = block->limits[limit];
    }
    catalogue[i].name[0] = u'\0';
}

}  // namespace

int LoadTimingDatabase() {
    databaseUnreadable = false;
    databaseInvalid = false;
    ReleaseMonitorCatalogue();
    BuildTimingFilePath();

    const platform::FileHandle file = platform::OpenExistingFileReadOnly(timingFilePath);
    std::uint32_t size = 0;
    if (file == platform::kInvalidFile) {
        ShowTimingMessage(FormatText(u"%s %s. %s", {LoadResourceString(kCannotOpen), timingFilePath,
                                                    LoadResourceString(kBuiltInUsed)}));
        databaseUnreadable = true;
    } else {
        size = platform::GetFileSize(file);
        if (size == platform::kInvalidFileSize) {
            ShowTimingMessage(FormatText(u"%s %s.", {LoadResourceString(kNoFileSize), timingFilePath}));
            databaseUnreadable = true;
            platform::CloseFile(file);
        }
    }
    if (databaseUnreadable) return 1;

    // A second load replaces what the first one left.
    ReleaseTimingText();
    ReleaseTimingDatabase(&timingDatabase);
    const bool haveText = ReadWholeFile(file, size);
    platform::CloseFile(file);
    if (!haveText) return OutOfMemory();

    const int result = ParseTimingHeader(timingText, &timingDatabase);
    if (result == kReadBadLimitPair) {
        ShowInconsistentLimits();
        databaseInvalid = true;
        return 1;
    }
    if (result != kReadOk) {
        ShowTimingFileError(kCannotUse);
        databaseInvalid = true;
        return 1;
    }

    MonitorEntry* catalogue = AllocateCatalogue(kCatalogueEntries);
    if (!catalogue) return OutOfMemory();
    monitorCatalogue = catalogue;
    if (!timingDatabase.entries) {
        ShowTimingFileError(kCannotUse);
        databaseInvalid = true;
        return 1;
    }
    FillCatalogue(catalogue);
    return 1;
}

void ReleaseTimingText() {
    platform::Free(timingText);
    timingText = nullptr;
    timingTextLength = 0;
}

void ResetTimingDatabaseState() {
    ReleaseTimingText();
    ReleaseTimingDatabase(&timingDatabase);
    databaseUnreadable = false;
    databaseInvalid = false;
    timingFilePath[0] = u'\0';
}

}  // namespace vca
