// The host registry behaves as the Win32 calls do where the settings store
// leans on them: access rights and marks at open, the ERROR_MORE_DATA
// contract and exact bytes.
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

TEST_F(RegistryTest, OpeningHonoursMarksAndCreatesMissingKeys) {
    struct Case {
        const char* what;
        const char16_t* readOnly;
        const char16_t* unopenable;
        const char16_t* path;
        std::uint32_t access;
        long result;
        bool existsAfter;
    };
    const Case cases[] = {
        {"missing path is created", nullptr, nullptr, u"A\\B\\C", kKeyReadWrite, kErrorSuccess, true},
        {"read-only, query only", u"A", nullptr, u"A", kKeyQueryValue, kErrorSuccess, true},
        {"read-only, read+write", u"A", nullptr, u"A", kKeyReadWrite, kErrorAccessDenied, true},
        {"under read-only, existing", u"A", nullptr, u"A\\Old", kKeyReadWrite, kErrorAccessDenied, true},
        {"under read-only, missing", u"A", nullptr, u"A\\New", kKeyQueryValue, kErrorAccessDenied, false},
        {"unopenable, query only", nullptr, u"A", u"A", kKeyQueryValue, kErrorAccessDenied, true},
        {"unopenable sibling", nullptr, u"A\\Old", u"A", kKeyReadWrite, kErrorSuccess, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host::Reset();
        host::PutDword(u"A\\Old", u"X", 1);
        if (c.readOnly) host::SetKeyReadOnly(c.readOnly, true);
        if (c.unopenable) host::SetKeyUnopenable(c.unopenable, true);
        RegKey key = 77;
        EXPECT_EQ(RegCreateKey(c.path, c.access, &key), c.result);
        EXPECT_EQ(key != 0, c.result == kErrorSuccess);
        EXPECT_EQ(host::OpenKeyCount(), c.result == kErrorSuccess ? 1 : 0);
        EXPECT_EQ(host::KeyExists(c.path), c.existsAfter);
    }
}

TEST_F(RegistryTest, QueryFollowsTheBufferContract) {
    const std::vector<std::uint8_t> abc = {'a', 0, 'b', 0, 'c', 0};  // no terminator
    host::PutValue(vcatest::kDriverKey, u"Text", kRegSz, abc);
    RegKey key = 0;
    ASSERT_EQ(RegCreateKey(vcatest::kDriverKey.c_str(), kKeyQueryValue, &key), kErrorSuccess);
    struct Case {
        const char* what;
        const char16_t* name;
        bool withData;
        std::uint32_t size;
        long result;
        std::uint32_t sizeAfter;
        std::size_t copied;
    };
    const Case cases[] = {
        {"exact buffer", u"Text", true, 6, kErrorSuccess, 6, 6},
        {"larger buffer, nothing added", u"Text", true, 10, kErrorSuccess, 6, 6},
        {"one byte short", u"Text", true, 5, kErrorMoreData, 6, 0},
        {"size only", u"Text", false, 0, kErrorSuccess, 6, 0},
        {"name folds case", u"TEXT", true, 6, kErrorSuccess, 6, 6},
        {"missing value", u"Other", true, 6, kErrorFileNotFound, 6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t buffer[10];
        std::fill(std::begin(buffer), std::end(buffer), 0xCC);
        std::uint32_t size = c.size, type = 99;
        EXPECT_EQ(RegQueryValue(key, c.name, &type, c.withData ? buffer : nullptr, &size), c.result);
        EXPECT_EQ(size, c.sizeAfter);
        for (std::size_t i = 0; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], i < c.copied ? abc[i] : 0xCC) << i;
    }
}

// A write keeps its bytes under the name as first written; a key opened for
// query only, or no key, refuses it.
TEST_F(RegistryTest, WritesKeepTheirBytesUnderTheFirstNamesCase) {
    host::PutDword(vcatest::kDriverKey, u"Width", 640);
    RegKey key = 0, queryOnly = 0;
    ASSERT_EQ(RegCreateKey(vcatest::kDriverKey.c_str(), kKeyReadWrite, &key), kErrorSuccess);
    ASSERT_EQ(RegCreateKey(u"system\\currentcontrolset", kKeyQueryValue, &queryOnly), kErrorSuccess);
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    EXPECT_EQ(RegSetValue(key, u"WIDTH", kRegBinary, bytes, 3), kErrorSuccess);
    EXPECT_EQ(RegSetValue(queryOnly, u"C", kRegBinary, bytes, 4), kErrorAccessDenied);
    EXPECT_EQ(RegSetValue(0, u"D", kRegBinary, bytes, 4), kErrorInvalidHandle);
    const auto stored = host::KeyValues(vcatest::kDriverKey);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, u"Width");
    EXPECT_EQ(stored[0].type, kRegBinary);
    EXPECT_EQ(stored[0].data, std::vector<std::uint8_t>(bytes, bytes + 3));
    EXPECT_FALSE(host::GetValue(u"system\\currentcontrolset", u"C", nullptr));
}

}  // namespace
