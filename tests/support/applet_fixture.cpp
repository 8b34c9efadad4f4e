#include "support/applet_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/app_state.h"
#include "boardsim/boardsim.h"
#include "support/board_builder.h"
#include "applet/reset.h"

namespace vcatest {

const std::u16string kDriverKey = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

std::string SourcePath(const std::string& relative) {
    return std::string(VCA_SOURCE_DIR) + "/" + relative;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TempDrive::TempDrive() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vca-drive-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    root_ = made ? made : "";
    std::filesystem::create_directories(SystemFolder());
    host::MapDriveC(root_);
}

TempDrive::~TempDrive() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
}

void TempDrive::WriteFile(const std::string& relative, const std::string& bytes) const {
    std::string path = relative;
    for (auto& c : path)
        if (c == '\\') c = '/';
    std::filesystem::path full = std::filesystem::path(root_) / path;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
}

void AppletTest::SetUp() {
    host::Reset();
    vca::ResetAppletState();
}

void AppletTest::TearDown() {
    vca::ResetAppletState();
    EXPECT_EQ(host::DcAcquireCount(), host::DcReleaseCount()) << "a desktop DC was not released";
}

std::string Utf8(const std::u16string& text) { return host::ToUtf8(text); }

void PutDriverNumber(const std::u16string& keyPath, const std::u16string& name, std::uint32_t value) {
    host::PutValue(keyPath, name, platform::kRegBinary, Words({value}));
}

}  // namespace vcatest
