#include "timingdb/timing_messages.h"

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "platform/platform.h"
#include "timingdb/database_loader.h"
#include "timingdb/scanner.h"

namespace vca {

constexpr std::uint32_t kCaptionString = 3;
constexpr std::uint32_t kErrorLineString = 1204;

void ShowTimingMessage(const std::u16string& text, int captionChars) {
    const int room = captionChars > 0 && captionChars < static_cast<int>(kMessageChars) ? captionChars
                                                                                          : static_cast<int>(kMessageChars);
    platform::LoadString(resourceLibrary, kCaptionString, messageCaption, room);
    platform::MessageBox(mainDialog, text.c_str(), messageCaption, kBoxInformation);
}

void ShowTimingFileError(std::uint32_t stringId, int textChars, int captionChars) {
    ShowTimingMessage(FormatText(u"%s %s. %s %d.", {LoadResourceString(stringId, textChars), timingFilePath,
                                                    LoadResourceString(kErrorLineString, textChars),
                                                    static_cast<int>(timingErrorLine)}),
                      captionChars);
}

}  // namespace vca
