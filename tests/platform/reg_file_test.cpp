// Registry files as regedit reads and writes them: the grammar of value
// lines, the errors with their line numbers, the written layout and the
// byte-exact round trip.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/host/host.h"
#include "platform/platform.h"

namespace {

using namespace platform;
using Bytes = std::vector<std::uint8_t>;

const std::u16string kDevice = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";
const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

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
    const auto values = host::KeyValues(kDevice);
    ASSERT_EQ(values.size(), 26u);
    EXPECT_EQ(values[0].name, u"InstalledDisplayDrivers");
    EXPECT_EQ(values[0].type, kRegMultiSz);
    EXPECT_EQ(values[0].data, Utf16Le(std::u16string(u"rediruv\0\0", 9)));
    host::RegValue value;
    ASSERT_TRUE(host::GetValue(kDevice, u"defaultsettings.xresolution", &value));
    EXPECT_EQ(value.type, kRegDword);
    EXPECT_EQ(value.data, (Bytes{0x00, 0x05, 0, 0}));
    ASSERT_TRUE(host::GetValue(kDevice, u"DefaultSettings.GammaCorrectionTable0", &value));
    EXPECT_EQ(value.type, kRegBinary);
    ASSERT_EQ(value.data.size(), 1540u);
    EXPECT_EQ(value.data[0], 0x0A);
    // The sample is regedit's own layout, so an export differs only in encoding.
    const std::string sample = ReadAll(path);
    std::u16string expected;
    for (std::size_t i = 2; i + 1 < sample.size(); i += 2)
        expected.push_back(char16_t(std::uint8_t(sample[i]) | std::uint8_t(sample[i + 1]) << 8));
    EXPECT_EQ(host::ExportRegText(u"system\\currentcontrolset\\services\\REDIRUV\\device0"),
              host::ToUtf8(expected));
}

TEST_F(RegFileTest, ValueLinesGiveTypesAndBytes) {
    struct Case {
        const char* body;
        std::uint32_t type;
        Bytes data;
    };
    const Case cases[] = {
        {"\"V\"=\"a\\\\b\\\"c\"", kRegSz, {'a', 0, '\\', 0, 'b', 0, '"', 0, 'c', 0, 0, 0}},
        {"\"V\"=\"\"", kRegSz, {0, 0}},
        {"\"V\"=\"\xC3\xA9\"", kRegSz, {0xE9, 0, 0, 0}},
        {"\"V\" = dword:1", kRegDword, {1, 0, 0, 0}},
        {"\"V\"=DWORD:FfFfFfFe", kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"\"V\"=hex:", kRegBinary, {}},
        {"\"V\"=hex: 1, ab ,0c", kRegBinary, {0x01, 0xAB, 0x0C}},
        {"\"V\"=hex:01,02,\\\r\n    03,\\\n  04", kRegBinary, {1, 2, 3, 4}},
        {"\"V\"=hex(7):41,00,00,00,00,00", kRegMultiSz, {0x41, 0, 0, 0, 0, 0}},
        {"\"V\"=hex(0):", kRegNone, {}},
        {"\"V\"=hex(b):01,02,03,04,05,06,07,08", 0xB, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"\"V\"=hex(FFFFFFFF):ff", 0xFFFFFFFF, {0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        host::Reset();
        std::string error;
        ASSERT_TRUE(host::ImportRegText(kHeader + "[HKLM\\K]\r\n" + c.body + "\r\n", &error)) << error;
        host::RegValue value;
        ASSERT_TRUE(host::GetValue(u"K", u"V", &value));
        EXPECT_EQ(value.type, c.type);
        EXPECT_EQ(value.data, c.data);
    }
}

TEST_F(RegFileTest, FileFormsAndDeletions) {
    host::PutDword(u"Keep\\Gone\\Sub", u"X", 1);
    host::PutDword(u"Keep", u"Drop", 1);
    host::PutDword(u"Keep", u"Stay", 2);
    const std::string text =
        "REGEDIT4\n; a comment\n\n[-HKEY_LOCAL_MACHINE\\keep\\gone]\n"
        "[hkey_local_machine\\Keep]\n\"drop\"=-\n@=\"root\"\n[HKEY_LOCAL_MACHINE\\Empty]\n";
    std::string error;
    ASSERT_TRUE(host::ImportRegText(text, &error)) << error;
    EXPECT_FALSE(host::KeyExists(u"Keep\\Gone"));
    EXPECT_FALSE(host::KeyExists(u"Keep\\Gone\\Sub"));
    EXPECT_TRUE(host::KeyExists(u"Empty"));
    const auto values = host::KeyValues(u"Keep");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, u"Stay");
    EXPECT_EQ(values[1].name, u"");
    // The same text as regedit's UTF-16 with a byte-order mark, and as UTF-8 with one.
    const std::string utf8 = kHeader + "[HKLM\\U]\r\n\"\xE6\x97\xA5\"=dword:2\r\n";
    const Bytes units = Utf16Le(host::FromUtf8(utf8));
    for (const std::string& bytes : {std::string("\xFF\xFE") + std::string(units.begin(), units.end()),
                                     "\xEF\xBB\xBF" + utf8}) {
        host::Reset();
        ASSERT_TRUE(host::ImportRegText(bytes, &error)) << error;
        EXPECT_TRUE(host::GetValue(u"U", u"\u65E5", nullptr));
    }
}

TEST_F(RegFileTest, BadTextNamesItsLineAndChangesNothing) {
    struct Case {
        std::string text;
        const char* error;
    };
    const std::string good = kHeader + "[HKLM\\K]\r\n\"Good\"=dword:1\r\n";
    const Case cases[] = {
        {"", "line 1: not a registry file (\"Windows Registry Editor Version 5.00\" expected)"},
        {"Windows Registry Editor Version 4.00\r\n", "line 1: not a registry file (\"Windows Registry Editor Version 5.00\" expected)"},
        {good + "\"V\"=dword:123456789\r\n", "line 5: bad dword value"},
        {good + "\"V\"=dword:\r\n", "line 5: bad dword value"},
        {good + "\"V\"=dword:12 34\r\n", "line 5: bad dword value"},
        {good + "\"V\"=hex:01,02,\\\r\n  03,x4\r\n", "line 6: bad hex byte"},
        {good + "\"V\"=hex:0g,\\\r\n  03\r\n", "line 5: bad hex byte"},
        {good + "\"V\"=hex:012\r\n", "line 5: bad hex byte"},
        {good + "\"V\"=hex:01 02\r\n", "line 5: bad hex byte"},
        {good + "\"V\"=hex(7:00\r\n", "line 5: bad value type"},
        {good + "\"V\"=hex()=00\r\n", "line 5: bad value type"},
        {good + "\"V\"=\"abc\r\n", "line 5: missing closing quote"},
        {good + "\"V\"=\"a\\nb\"\r\n", "line 5: bad escape in quoted text"},
        {good + "\"V\"=\"a\" x\r\n", "line 5: text after the closing quote"},
        {good + "\"V\"=str:x\r\n", "line 5: unrecognized value data"},
        {good + "\"V\" dword:1\r\n", "line 5: '=' expected after the value name"},
        {good + "V=dword:1\r\n", "line 5: unrecognized line"},
        {good + "[HKLM\\K\r\n", "line 5: key name not closed with ']'"},
        {good + "[HKEY_CURRENT_USER\\K]\r\n", "line 5: only HKEY_LOCAL_MACHINE keys can be imported"},
        {good + "[HKEY_NOWHERE\\K]\r\n", "line 5: unknown root key"},
        {good + "[HKLM\\A\\\\B]\r\n", "line 5: bad key name"},
        {good + "[-HKLM]\r\n", "line 5: HKEY_LOCAL_MACHINE itself cannot be deleted"},
        {good + "[-HKLM\\K]\r\n\"V\"=dword:1\r\n", "line 6: value outside a key"},
        {kHeader + "\"V\"=dword:1\r\n", "line 3: value outside a key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        host::Reset();
        std::string error;
        EXPECT_FALSE(host::ImportRegText(c.text, &error));
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(host::KeyExists(u"K"));
    }
    std::string error;
    EXPECT_FALSE(host::ImportRegFile("/nonexistent/x.reg", &error));
    EXPECT_EQ(error, "cannot read /nonexistent/x.reg");
}

TEST_F(RegFileTest, ExportOrdersKeysAsRegeditAndWrapsHex) {
    host::PutDword(u"Root\\b", u"V", 1);
    host::PutDword(u"Root\\_x", u"V", 2);
    host::PutDword(u"ROOT\\A B", u"V", 3);
    host::PutDword(u"Root\\a\\z", u"V", 4);
    host::PutValue(u"Root", u"Bin", kRegBinary, Bytes(30, 0xAB));
    host::PutDword(u"Other", u"V", 5);
    std::string expected = kHeader + "[HKEY_LOCAL_MACHINE\\Root]\r\n\"Bin\"=hex:";
    for (int i = 0; i < 30; ++i)
        expected += i == 29 ? "ab\r\n" : i == 22 ? "ab,\\\r\n  " : "ab,";
    expected += "\r\n[HKEY_LOCAL_MACHINE\\Root\\a]\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\Root\\a\\z]\r\n\"V\"=dword:00000004\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\Root\\A B]\r\n\"V\"=dword:00000003\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\Root\\b]\r\n\"V\"=dword:00000001\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\Root\\_x]\r\n\"V\"=dword:00000002\r\n\r\n";
    EXPECT_EQ(host::ExportRegText(u"root"), expected);
    EXPECT_EQ(host::ExportRegText(u"Missing"), kHeader);
}

TEST_F(RegFileTest, ExportThenImportGivesBackEveryValue) {
    const std::vector<host::RegValue> values = {
        {u"Plain", kRegSz, Utf16Le(std::u16string(u"Norvane \u00E9\u65E5\U0001F600\0", 13))},
        {u"Odd length", kRegSz, {'a', 0, 'b'}},
        {u"Unterminated", kRegSz, {'a', 0, 'b', 0}},
        {u"Inner zero", kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {u"No bytes", kRegSz, {}},
        {u"Line break", kRegSz, {'a', 0, '\r', 0, '\n', 0, 0, 0}},
        {u"Lone surrogate", kRegSz, {0x00, 0xD8, 'a', 0, 0, 0}},
        {u"Dword", kRegDword, {1, 2, 3, 4}},
        {u"Short dword", kRegDword, {1, 2, 3}},
        {u"Empty binary", kRegBinary, {}},
        {u"Table", kRegBinary, Bytes(1540, 0x5A)},
        {u"Multi", kRegMultiSz, Utf16Le(std::u16string(u"a\0b\0\0", 5))},
        {u"Expand", kRegExpandSz, Utf16Le(std::u16string(u"%SystemRoot%\0", 13))},
        {u"None", kRegNone, {7}},
        {u"Big type", 0x12345678, {1}},
        {u"Quote\" and \\ back\\", kRegSz, {'q', 0, 0, 0}},
        {u"", kRegDword, {9, 0, 0, 0}},
        {std::u16string(90, u'n'), kRegBinary, {1, 2, 3}},
        {u"Gr\u00FC\u00DFe", kRegBinary, {0xFF}},
    };
    for (const auto& v : values) host::PutValue(u"Trip\\Sub", v.name, v.type, v.data);
    host::PutDword(u"Trip", u"Parent", 1);
    const std::string text = host::ExportRegText(u"Trip");
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("\"nnn", 0) != 0) {
            EXPECT_LE(host::FromUtf8(line).size(), 81u) << line;
        }
    host::ClearRegistry();
    std::string error;
    ASSERT_TRUE(host::ImportRegText(text, &error)) << error << "\n" << text;
    const auto back = host::KeyValues(u"Trip\\Sub");
    ASSERT_EQ(back.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(host::ToUtf8(values[i].name));
        EXPECT_EQ(back[i].name, values[i].name);
        EXPECT_EQ(back[i].type, values[i].type);
        EXPECT_EQ(back[i].data, values[i].data);
    }
    EXPECT_TRUE(host::GetValue(u"Trip", u"Parent", nullptr));

    const std::string path = ::testing::TempDir() + "registry_round_trip.reg";
    ASSERT_TRUE(host::ExportRegFile(u"trip", path, &error)) << error;
    EXPECT_EQ(ReadAll(path), text);
    std::remove(path.c_str());
    EXPECT_FALSE(host::ExportRegFile(u"Nowhere", path, &error));
    EXPECT_EQ(error, "no such key: Nowhere");
}

}  // namespace
