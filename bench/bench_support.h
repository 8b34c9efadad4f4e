// Inputs shared by the benchmarks: generated timing databases, and a
// Windows folder on the host that holds one as the system's revid.dat.
#pragma once

#include <cstddef>
#include <string>

namespace benchsupport {

// A database of `records` "timing" records under one multi-sync monitor;
// the same seed gives the same text.
std::string GeneratedDatabase(int records);
// The same kind of database, records added until it holds `bytes`.
std::string GeneratedDatabaseOfSize(std::size_t bytes);
// The size of the large database the reading benchmark reads (and
// `vca_bench --write_database=FILE` writes, for timing whole processes).
constexpr std::size_t kLargeDatabaseBytes = 10u << 20;

// A folder on the host mapped as drive C: by the host platform, with
// WINDOWS\system32 in it. Removed again when the object goes.
class WindowsFolder {
public:
    // `database`: the text of revid.dat; none when null.
    explicit WindowsFolder(const std::string* database);
    ~WindowsFolder();
    WindowsFolder(const WindowsFolder&) = delete;
    WindowsFolder& operator=(const WindowsFolder&) = delete;
    const std::string& root() const { return root_; }

private:
    std::string root_;
};

std::string ReadFile(const std::string& path);

}  // namespace benchsupport
