// Registry files as regedit writes them, as far as vcatool imports an
// exported driver key: a real export read and written back byte for byte,
// the value lines, and errors with their line numbers.
#include <gtest/gtest.h>


#include "platform/host/host.h"
#include "support/applet_fixture.h"
#include "platform/platform.h"

namespace {

using namespace platform;
using Bytes = std::vector<std::uint8_t>;

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

Bytes Utf16Le(const std::u16string& text) {
    Bytes bytes;
    for (char16_t c : text) bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
    return bytes;
}

class RegFileTest : public ::testing::Test {
protected:
    void SetUp() override { host::Reset(); }
};

TEST_F(RegFileTest, ImportsAnExportedDriverKeyAndWritesItBackTheSame) {
    const std::string path = std::string(VCA_SOURCE_DIR) + "/tests/data/registry/device0.reg";
    std::string error = "unset";
    ASSERT_TRUE(host::ImportRegFile(path, &error)) << error;
    EXPECT_EQ(error, "");
    const auto values = host::KeyValues(vcatest::kDriverKey);
    ASSERT_EQ(values.size(), 26u);
    EXPECT_EQ(values[0].name, u"InstalledDisplayDrivers");
    EXPECT_EQ(values[0].type, kRegMultiSz);
    EXPECT_EQ(values[0].data, Utf16Le(std::u16string(u"rediruv\0\0", 9)));
    host::RegValue value;
    ASSERT_TRUE(host::GetValue(vcatest::kDriverKey, u"defaultsettings.xresolution", &value));
    EXPECT_EQ(value.type, kRegDword);
    EXPECT_EQ(value.data, (Bytes{0x00, 0x05, 0, 0}));
    ASSERT_TRUE(host::GetValue(vcatest::kDriverKey, u"DefaultSettings.GammaCorrectionTable0", &value));
    EXPECT_EQ(value.type, kRegBinary);
    ASSERT_EQ(value.data.size(), 1540u);
    EXPECT_EQ(value.data[0], 0x0A);
    // The sample is regedit's own layout, so an export differs only in encoding.
    const std::string sample = vcatest::ReadFileBytes(path);
    std::u16string expected;
    for (std::size_t i = 2; i + 1 < sample.size(); i += 2)
        expected.push_back(char16_t(std::uint8_t(sample[i]) | std::uint8_t(sample[i + 1]) << 8));
    EXPECT_EQ(host::ExportRegText(u"system\\currentcontrolset\\services\\REDIRUV\\device0"),
              host::ToUtf8(expected));
}

TEST_F(RegFileTest, BadTextNamesItsLineAndChangesNothing) {
    const std::string good = kHeader + "[HKLM\\K]\r\n\"Good\"=dword:1\r\n";
    const std::pair<std::string, const char*> cases[] = {
        {"Windows Registry Editor Version 4.00\r\n",
         "line 1: not a registry file (\"Windows Registry Editor Version 5.00\" expected)"},
        {good + "\"V\"=hex:01,02,\\\r\n  03,x4\r\n", "line 6: bad hex byte"},
        {kHeader + "\"V\"=dword:1\r\n", "line 3: value outside a key"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(expected);
        host::Reset();
        std::string error;
        EXPECT_FALSE(host::ImportRegText(text, &error));
        EXPECT_EQ(error, expected);
        EXPECT_FALSE(host::KeyExists(u"K"));
    }
}

}  // namespace
