#include "bench_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace benchsupport {

namespace {

const char kHeader[] =
    "version 1\ndisplay {\n { tag=MS desc=\"Generic multi-sync monitor\" hfmax=96 hfmin=30 }\n}\n";

// Adds records until `records` are written or the text holds `bytes`.
std::string Generate(int records, std::size_t bytes) {
    std::string text = kHeader;
    text.reserve(bytes ? bytes + 128 : static_cast<std::size_t>(records) * 64 + 128);
    std::mt19937 engine(7);
    auto random = [&engine] { return static_cast<unsigned>(engine()); };
    char block[256];
    for (int i = 0; bytes ? text.size() < bytes : i < records; ++i) {
        unsigned width = 640 + 8 * (random() % 160), height = 480 + random() % 720;
        std::snprintf(block, sizeof block,
                      "tag MS\ntype timing\ndata {\n%u.%02u\n%u\n%u\n%u\n%u\n%u\n%u\n3\n1\n}\n",
                      25 + random() % 200, static_cast<unsigned>(random() % 100u), width + 160 + random() % 400,
                      width, 96u, 16u, height + 20 + random() % 60, height);
        text += block;
    }
    return text;
}

}  // namespace

std::string GeneratedDatabase(int records) { return Generate(records, 0); }

std::string GeneratedDatabaseOfSize(std::size_t bytes) { return Generate(0, bytes); }

WindowsFolder::WindowsFolder(const std::string* database) {
    namespace fs = std::filesystem;
    std::random_device random;
    fs::path root;
    do root = fs::temp_directory_path() / ("vca-bench-" + std::to_string(random()));
    while (!fs::create_directory(root));
    root_ = root.string();
    fs::create_directories(root / "WINDOWS" / "system32");
    if (database) std::ofstream(root / "WINDOWS" / "system32" / "revid.dat", std::ios::binary) << *database;
}

WindowsFolder::~WindowsFolder() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace benchsupport
