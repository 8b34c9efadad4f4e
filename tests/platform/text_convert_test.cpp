// UTF-8 <-> UTF-16 conversions: valid text passes unchanged, every
// ill-formed piece becomes U+FFFD and nothing after it is lost.
#include <gtest/gtest.h>

#include "platform/host/host.h"

namespace {

TEST(TextConvertTest, Utf8ToUtf16ReplacesEachIllFormedPiece) {
    struct Case {
        const char* what;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"every length", "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", u"a\u00E9\u65E5\U0001F600"},
        {"highest scalar", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"embedded NUL", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated sequence, one mark", "\xE6\x97z", u"\uFFFDz"},
        {"truncated at end", "z\xF0\x9F\x98", u"z\uFFFD"},
        {"overlong two-byte", "\xC0\xAFz", u"\uFFFD\uFFFDz"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"invalid lead bytes", "\xF8\xFF", u"\uFFFD\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(host::FromUtf8(c.utf8), c.utf16);
    }
}

TEST(TextConvertTest, Utf16ToUtf8ReplacesLoneSurrogates) {
    struct Case {
        const char* what;
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"every length", u"a\u00E9\u65E5\U0001F600", "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"},
        {"lone high", u"\xD83Dz", "\xEF\xBF\xBDz"},
        {"lone high at end", u"z\xD83D", "z\xEF\xBF\xBD"},
        {"lone low", u"\xDE00z", "\xEF\xBF\xBDz"},
        {"reversed pair", u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(host::ToUtf8(c.utf16), c.utf8);
    }
}

}  // namespace
