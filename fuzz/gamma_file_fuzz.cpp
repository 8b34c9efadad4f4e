// Feeds arbitrary bytes to the gamma file reader as a file on the emulated
// drive. An accepted file must give a valid table; a refused one must leave
// the caller's table exactly as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "gamma/gamma_file.h"
#include "gamma/gamma_table.h"
#include "platform/host/host.h"

namespace {

// The emulated drive, on a memory file system when there is one: the file
// is written again for every input, and a disk file system spends most of
// the run on that.
const std::string& Folder() {
    static const std::string folder = [] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path();
        if (std::filesystem::is_directory("/dev/shm", ec)) base = "/dev/shm";
        std::filesystem::path path = base / ("vca-gamma-fuzz-" + std::to_string(static_cast<unsigned>(getpid())));
        std::filesystem::create_directories(path);
        static const std::filesystem::path removeAtExit = path;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return path.string();
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    host::MapDriveC(Folder());
    {
        std::FILE* file = std::fopen((Folder() + "/input.gc").c_str(), "wb");
        if (!file) std::abort();
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    vca::GammaTable table;
    std::memset(&table, 0xA5, sizeof table);
    const vca::GammaTable before = table;
    vca::GammaFileReport report;
    if (vca::ReadGammaFileReport(u"C:\\input.gc", &table, &report)) {
        if (table.header != vca::kGammaHeader) std::abort();
        for (const auto& channel : table.channel)
            for (std::uint16_t entry : channel)
                if (entry > 1023) std::abort();
    } else if (std::memcmp(&table, &before, sizeof table) != 0) {
        std::abort();
    }
    return 0;
}
