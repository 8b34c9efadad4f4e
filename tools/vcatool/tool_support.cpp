#include <CLI/CLI.hpp>

#include "tool_support.h"

#include <cstdio>
#include <random>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/resource_library.h"
#include "boardsim/boardsim.h"
#include "platform/host/host.h"

namespace vcatool {

bool InstallBoardProfile(const std::string& path) {
    boardsim::Profile profile;
    std::string error;
    if (!boardsim::LoadProfileFile(path, &profile, &error)) {
        std::fprintf(stderr, "vcatool: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    boardsim::Install(profile);
    return true;
}

std::u16string ResourceText(std::uint32_t id) { return vca::LoadResourceString(id); }

std::string Narrow(const std::u16string& text) { return host::ToUtf8(text); }

const char16_t* const kDriverKey = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

DatabaseDrive::~DatabaseDrive() {
    std::error_code ec;
    if (!root_.empty()) std::filesystem::remove_all(root_, ec);
}

bool DatabaseDrive::Install(const std::string& databaseFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && root_.empty(); ++attempt) {
        fs::path candidate = fs::temp_directory_path(ec) / ("vcatool-" + std::to_string(random()));
        if (fs::create_directory(candidate, ec)) root_ = candidate.string();
    }
    if (root_.empty()) {
        std::fprintf(stderr, "vcatool: cannot make a temporary folder\n");
        return false;
    }
    fs::path system = fs::path(root_) / "WINDOWS" / "system32";
    fs::create_directories(system, ec);
    if (!databaseFile.empty() && !fs::copy_file(databaseFile, system / "revid.dat", ec)) {
        std::fprintf(stderr, "vcatool: %s: %s\n", databaseFile.c_str(), ec.message().c_str());
        return false;
    }
    host::MapDriveC(root_);
    return true;
}

void AddDatabaseOptions(CLI::App* command, DatabaseChoice* choice) {
    CLI::Option* file = command->add_option("--db", choice->file, "timing database, installed as the system's revid.dat")
                            ->check(CLI::ExistingFile);
    CLI::Option* none =
        command->add_flag("--no-db", choice->none, "no revid.dat at all: the built-in monitors and the one-mode table");
    file->excludes(none);
}

bool DatabaseChosen(const DatabaseChoice& choice, const char* command) {
    if (!choice.file.empty() || choice.none) return true;
    std::fprintf(stderr, "vcatool %s: give the timing database with --db FILE, or --no-db for none\n", command);
    return false;
}

bool ImportRegistry(const std::string& path) {
    std::string error;
    if (host::ImportRegFile(path, &error)) return true;
    std::fprintf(stderr, "vcatool: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

}  // namespace vcatool

namespace vcatool {

bool ReadWholeFile(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace vcatool
