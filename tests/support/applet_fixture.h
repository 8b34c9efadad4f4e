// Fixture of the native tests: a fresh emulated machine and a freshly
// loaded applet for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/host/host.h"

namespace vcatest {

// Path of a file of the source tree.
std::string SourcePath(const std::string& relative);
// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// A temporary folder mapped as drive C:, with C:\WINDOWS\system32 made.
class TempDrive {
public:
    TempDrive();
    ~TempDrive();
    const std::string& root() const { return root_; }
    // Writes a file under the drive (a path relative to C:\, with / or \).
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string SystemFolder() const { return root_ + "/WINDOWS/system32"; }

private:
    std::string root_;
};

class AppletTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

std::string Utf8(const std::u16string& text);

// The driver key of the emulated machine's display driver.
extern const std::u16string kDriverKey;

// A number as a display driver records it through the video port: four
// little-endian bytes stored as REG_BINARY.
void PutDriverNumber(const std::u16string& keyPath, const std::u16string& name, std::uint32_t value);

}  // namespace vcatest
