// The host registry behaves as the Win32 calls do where the settings store
// leans on them (the ERROR_MORE_DATA contract and exact bytes), and reads
// and writes a driver key exported by regedit byte for byte.
#include <gtest/gtest.h>

#include "platform/host/host.h"
#include "support/applet_fixture.h"
#include "platform/platform.h"

namespace {

using namespace platform;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { host::Reset(); }
};

TEST_F(RegistryTest, QueryFollowsTheBufferContract) {
    const std::vector<std::uint8_t> abc = {'a', 0, 'b', 0, 'c', 0};  // no terminator
    host::PutValue(vcatest::kDriverKey, u"Text", kRegSz, abc);
    RegKey key = 0;
    ASSERT_EQ(RegCreateKey(vcatest::kDriverKey.c_str(), kKeyQueryValue, &key), kErrorSuccess);
    const struct {
        const char* what;
        const char16_t* name;
        bool withData;
        std::uint32_t size;
        long result;
        std::uint32_t sizeAfter;
        std::size_t copied;
    } cases[] = {
        {"exact buffer", u"Text", true, 6, kErrorSuccess, 6, 6},
        {"larger buffer, nothing added", u"Text", true, 10, kErrorSuccess, 6, 6},
        {"one byte short", u"Text", true, 5, kErrorMoreData, 6, 0},
        {"size only", u"Text", false, 0, kErrorSuccess, 6, 0},
        {"name folds case", u"TEXT", true, 6, kErrorSuccess, 6, 6},
        {"missing value", u"Other", true, 6, kErrorFileNotFound, 6, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t buffer[10];
        std::fill(std::begin(buffer), std::end(buffer), 0xCC);
        std::uint32_t size = c.size, type = 99;
        EXPECT_EQ(RegQueryValue(key, c.name, &type, c.withData ? buffer : nullptr, &size), c.result);
        EXPECT_EQ(size, c.sizeAfter);
        for (std::size_t i = 0; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], i < c.copied ? abc[i] : 0xCC) << i;
    }
}

TEST_F(RegistryTest, ImportsAnExportedDriverKeyAndWritesItBackTheSame) {
    const std::string path = std::string(VCA_SOURCE_DIR) + "/tests/data/registry/device0.reg";
    std::string error = "unset";
    ASSERT_TRUE(host::ImportRegFile(path, &error)) << error;
    EXPECT_EQ(error, "");
    const auto values = host::KeyValues(vcatest::kDriverKey);
    ASSERT_EQ(values.size(), 26u);
    EXPECT_EQ(values[0].name, u"InstalledDisplayDrivers");
    EXPECT_EQ(values[0].type, kRegMultiSz);
    EXPECT_EQ(values[0].data,
              (std::vector<std::uint8_t>{'r', 0, 'e', 0, 'd', 0, 'i', 0, 'r', 0, 'u', 0, 'v', 0, 0, 0, 0, 0}));
    host::RegValue value;
    ASSERT_TRUE(host::GetValue(vcatest::kDriverKey, u"defaultsettings.xresolution", &value));
    EXPECT_EQ(value.type, kRegDword);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{0x00, 0x05, 0, 0}));
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

}  // namespace
