// The message formats the applet composes.
#include <gtest/gtest.h>

#include "base/text.h"
#include "support/applet_fixture.h"

namespace {

using vcatest::Utf8;

TEST(Text, FormatsLikeTheCLibrary) {
    struct Case { std::u16string got; std::string expect; } cases[] = {
        {vca::FormatText(u"%s %s. %s", {u"Cannot open", u"C:\\x\\revid.dat", u"Using defaults."}),
         "Cannot open C:\\x\\revid.dat. Using defaults."},
        {vca::FormatText(u"%s %s.  %s %d.  %s", {u"A", u"B", u"line", 42, u"C"}), "A B.  line 42.  C"},
        {vca::FormatText(u"%lu %s", {4u, u"MB"}), "4 MB"},
        {vca::FormatText(u"%li %s", {-16, u"MB"}), "-16 MB"},
        {vca::FormatText(u"%04x", {0xc07u}), "0c07"},
        {vca::FormatText(u"%05d|%4d", {-42, -7}), "-0042|  -7"},
        {vca::FormatText(u"<%s>", {u"n/a"}), "<n/a>"},
        {vca::FormatText(u"100%% %q", {}), "100% %q"},
        {vca::FormatText(u"%s and %s", {u"one"}), "one and "},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(c.got), c.expect);
}

}  // namespace
