// The host registry behaves as the Win32 calls do for the settings store:
// access rights, marks, the ERROR_MORE_DATA contract, exact bytes, the
// journal and the injected write fault.
#include <gtest/gtest.h>

#include "platform/host/host.h"
#include "platform/platform.h"

namespace {

using namespace platform;

const std::u16string kDevice = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { host::Reset(); }

    RegKey Open(const std::u16string& path, std::uint32_t access) {
        RegKey key = 0;
        EXPECT_EQ(RegCreateKey(path.c_str(), access, &key), kErrorSuccess);
        return key;
    }
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
        {"trailing backslash", nullptr, nullptr, u"A\\B\\", kKeyReadWrite, kErrorSuccess, true},
        {"leading backslash", nullptr, nullptr, u"\\A", kKeyReadWrite, kErrorInvalidParameter, false},
        {"doubled backslash", nullptr, nullptr, u"A\\\\B", kKeyQueryValue, kErrorInvalidParameter, false},
        {"read-only, query only", u"A", nullptr, u"A", kKeyQueryValue, kErrorSuccess, true},
        {"read-only, KEY_READ", u"A", nullptr, u"A", kKeyRead, kErrorSuccess, true},
        {"read-only, read+write", u"A", nullptr, u"A", kKeyReadWrite, kErrorAccessDenied, true},
        {"read-only, set value", u"A", nullptr, u"A", kKeySetValue, kErrorAccessDenied, true},
        {"read-only, create subkey", u"A", nullptr, u"A", kKeyCreateSubKey, kErrorAccessDenied, true},
        {"read-only, generic write", u"A", nullptr, u"A", kGenericWrite, kErrorAccessDenied, true},
        {"read-only, generic read", u"A", nullptr, u"A", kGenericRead, kErrorSuccess, true},
        {"read-only, maximum allowed", u"A", nullptr, u"A", 0x02000000u, kErrorSuccess, true},
        {"read-only mark folds case", u"a", nullptr, u"A", kKeyReadWrite, kErrorAccessDenied, true},
        {"under read-only, existing", u"A", nullptr, u"A\\Old", kKeyReadWrite, kErrorAccessDenied, true},
        {"under read-only, missing", u"A", nullptr, u"A\\New", kKeyQueryValue, kErrorAccessDenied, false},
        {"unopenable, query only", nullptr, u"A", u"A", kKeyQueryValue, kErrorAccessDenied, true},
        {"under unopenable", nullptr, u"A", u"A\\Old", kKeyQueryValue, kErrorAccessDenied, true},
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
    RegKey key = 0;
    EXPECT_EQ(RegCreateKey(nullptr, kKeyRead, &key), kErrorInvalidParameter);
    EXPECT_EQ(RegCreateKey(u"A", kKeyRead, nullptr), kErrorInvalidParameter);
}

TEST_F(RegistryTest, HandlesCarryTheirAccessAndDieWhenClosed) {
    host::PutDword(kDevice, u"V", 7);
    const RegKey query = Open(kDevice, kKeyQueryValue);
    const RegKey set = Open(kDevice, kKeySetValue);
    const RegKey both = Open(kDevice, kKeyReadWrite);
    const RegKey generic = Open(kDevice, kGenericRead);
    EXPECT_EQ(host::OpenKeyCount(), 4);
    EXPECT_TRUE(query != set && set != both && both != generic && query != both);
    const RegKey closed = Open(kDevice, kKeyReadWrite);
    EXPECT_EQ(RegCloseKey(closed), kErrorSuccess);
    std::uint32_t word = 5;
    struct Case {
        RegKey key;
        long queryResult;
        long setResult;
    };
    const Case cases[] = {
        {query, kErrorSuccess, kErrorAccessDenied},
        {set, kErrorAccessDenied, kErrorSuccess},
        {both, kErrorSuccess, kErrorSuccess},
        {generic, kErrorSuccess, kErrorAccessDenied},
        {closed, kErrorInvalidHandle, kErrorInvalidHandle},
        {0, kErrorInvalidHandle, kErrorInvalidHandle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::uint32_t size = 4;
        EXPECT_EQ(RegQueryValue(c.key, u"V", nullptr, &word, &size), c.queryResult);
        EXPECT_EQ(RegSetValue(c.key, u"V", kRegDword, &word, 4), c.setResult);
        EXPECT_EQ(RegFlushKey(c.key), c.queryResult == kErrorInvalidHandle ? kErrorInvalidHandle : kErrorSuccess);
    }
    EXPECT_EQ(RegCloseKey(closed), kErrorInvalidHandle);
    EXPECT_EQ(RegCloseKey(query), kErrorSuccess);
    EXPECT_EQ(host::OpenKeyCount(), 3);
    host::Reset();
    EXPECT_EQ(host::OpenKeyCount(), 0);
    EXPECT_EQ(RegFlushKey(both), kErrorInvalidHandle);
}

TEST_F(RegistryTest, QueryFollowsTheBufferContract) {
    const std::vector<std::uint8_t> abc = {'a', 0, 'b', 0, 'c', 0};  // no terminator
    host::PutValue(kDevice, u"Text", kRegSz, abc);
    host::PutValue(kDevice, u"Empty", kRegBinary, {});
    const RegKey key = Open(kDevice, kKeyQueryValue);
    struct Case {
        const char* what;
        const char16_t* name;
        bool withData;
        bool withSize;
        std::uint32_t size;
        long result;
        std::uint32_t sizeAfter;
        std::size_t copied;
    };
    const Case cases[] = {
        {"exact buffer", u"Text", true, true, 6, kErrorSuccess, 6, 6},
        {"larger buffer, nothing added", u"Text", true, true, 10, kErrorSuccess, 6, 6},
        {"one byte short", u"Text", true, true, 5, kErrorMoreData, 6, 0},
        {"size only", u"Text", false, true, 0, kErrorSuccess, 6, 0},
        {"data without size", u"Text", true, false, 0, kErrorInvalidParameter, 0, 0},
        {"name folds case", u"TEXT", true, true, 6, kErrorSuccess, 6, 6},
        {"missing value", u"Other", true, true, 6, kErrorFileNotFound, 6, 0},
        {"empty value", u"Empty", true, true, 0, kErrorSuccess, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t buffer[10];
        std::fill(std::begin(buffer), std::end(buffer), 0xCC);
        std::uint32_t size = c.size, type = 99;
        EXPECT_EQ(RegQueryValue(key, c.name, &type, c.withData ? buffer : nullptr,
                                c.withSize ? &size : nullptr),
                  c.result);
        if (c.withSize) {
            EXPECT_EQ(size, c.sizeAfter);
        }
        for (std::size_t i = 0; i < sizeof buffer; ++i)
            EXPECT_EQ(buffer[i], i < c.copied ? abc[i] : 0xCC) << i;
    }
}

TEST_F(RegistryTest, SetStoresExactBytesUnderTheFirstNameCase) {
    host::PutDword(u"Sys\\Drv", u"Width", 640);
    host::PutDword(u"Sys\\Drv", u"Height", 480);
    const RegKey key = Open(u"SYS\\drv", kKeyReadWrite);
    const std::uint8_t odd[] = {'x', 0, 'y'};
    EXPECT_EQ(RegSetValue(key, u"WIDTH", kRegSz, odd, 3), kErrorSuccess);
    EXPECT_EQ(RegSetValue(key, nullptr, kRegBinary, nullptr, 0), kErrorSuccess);
    EXPECT_EQ(RegSetValue(key, u"Bad", kRegBinary, nullptr, 4), kErrorInvalidParameter);
    const auto values = host::KeyValues(u"sys\\DRV");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].name, u"Width");
    EXPECT_EQ(values[0].type, kRegSz);
    EXPECT_EQ(values[0].data, std::vector<std::uint8_t>(odd, odd + 3));
    EXPECT_EQ(values[1].name, u"Height");
    EXPECT_EQ(values[2].name, u"");
    EXPECT_TRUE(values[2].data.empty());
    host::DeleteValue(u"SYS\\DRV", u"width");
    host::PutDword(u"Sys\\Drv", u"WIDTH", 1);
    EXPECT_EQ(host::KeyValues(u"Sys\\Drv").back().name, u"WIDTH");
    host::PutString(u"S", u"Sz", u"ab");
    host::PutString(u"S", u"Multi", u"ab", kRegMultiSz);
    host::RegValue value;
    ASSERT_TRUE(host::GetValue(u"S", u"Sz", &value));
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0}));
    ASSERT_TRUE(host::GetValue(u"S", u"Multi", &value));
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0, 0, 0}));
}

TEST_F(RegistryTest, JournalRecordsEveryWriteAndTheNthFails) {
    const RegKey key = Open(kDevice, kKeyReadWrite);
    const RegKey readOnly = Open(u"system\\currentcontrolset", kKeyQueryValue);
    struct Case {
        int arm;  // FailNthRegistryWrite before the call, 0 = leave as is
        RegKey key;
        const char16_t* name;
        std::uint32_t size;
        long result;
        const char16_t* journalKey;
    };
    const Case cases[] = {
        {2, key, u"A", 4, kErrorSuccess, kDevice.c_str()},
        {0, key, u"B", 4, kErrorWriteFault, kDevice.c_str()},
        {0, key, u"B", 2, kErrorSuccess, kDevice.c_str()},
        {0, readOnly, u"C", 4, kErrorAccessDenied, u"system\\currentcontrolset"},
        {1, 0, u"D", 4, kErrorInvalidHandle, u""},
        {0, key, u"E", 4, kErrorSuccess, kDevice.c_str()},  // the fault was spent on D
    };
    const std::uint8_t bytes[] = {1, 2, 3, 4};
    for (const Case& c : cases) {
        if (c.arm) host::FailNthRegistryWrite(c.arm);
        EXPECT_EQ(RegSetValue(c.key, c.name, kRegBinary, bytes, c.size), c.result) << c.name[0];
    }
    const auto& journal = host::RegistryJournal();
    ASSERT_EQ(journal.size(), std::size(cases));
    for (std::size_t i = 0; i < journal.size(); ++i) {
        EXPECT_EQ(journal[i].key, cases[i].journalKey);
        EXPECT_EQ(journal[i].name, cases[i].name);
        EXPECT_EQ(journal[i].data, std::vector<std::uint8_t>(bytes, bytes + cases[i].size));
        EXPECT_EQ(journal[i].result, cases[i].result);
    }
    const auto stored = host::KeyValues(kDevice);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[1].data, std::vector<std::uint8_t>(bytes, bytes + 2));
    EXPECT_FALSE(host::GetValue(u"system\\currentcontrolset", u"C", nullptr));
    host::ClearRegistryJournal();
    EXPECT_TRUE(host::RegistryJournal().empty());
}

TEST_F(RegistryTest, ClearingTheHiveKeepsHandlesButNotTheirKeys) {
    host::PutDword(kDevice, u"V", 1);
    const RegKey key = Open(kDevice, kKeyReadWrite);
    host::ClearRegistry();
    EXPECT_FALSE(host::KeyExists(u"SYSTEM"));
    EXPECT_TRUE(host::KeyExists(u""));
    std::uint32_t size = 4;
    EXPECT_EQ(RegQueryValue(key, u"V", nullptr, nullptr, &size), 1018);  // ERROR_KEY_DELETED
    EXPECT_EQ(RegCloseKey(key), kErrorSuccess);
}

}  // namespace
