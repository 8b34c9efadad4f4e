// The system's FormatMessageW gives the texts the host platform's emulation
// is tested for: hard breaks and the 64-character wrap of the fatal messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Format(const wchar_t* text, DWORD width) {
    DWORD_PTR arguments[1] = {0};
    wchar_t* out = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_STRING |
                  FORMAT_MESSAGE_ARGUMENT_ARRAY | width;
    if (!FormatMessageW(flags, text, 0, 0, reinterpret_cast<LPWSTR>(&out), 0,
                        reinterpret_cast<va_list*>(arguments)))
        return L"(failed)";
    std::wstring result(out);
    LocalFree(out);
    return result;
}

TEST(SystemFormatter, BreaksAndWrapsAsTheFatalMessagesExpect) {
    EXPECT_EQ(Format(L"%nCould not load the US English resource library.  You %nmay need to reload "
                     L"the RAZIRORUD product.", 64),
              L"\r\nCould not load the US English resource library.  You \r\nmay need to reload "
              L"the RAZIRORUD product.");
    EXPECT_EQ(Format(L"The quick brown fox jumps over the lazy dog and keeps running far beyond the "
                     L"edge%nof the line.", 64),
              L"The quick brown fox jumps over the lazy dog and keeps running\r\nfar beyond the "
              L"edge\r\nof the line.");
}

}  // namespace
