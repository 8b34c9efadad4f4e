// Feeds arbitrary bytes to the gamma file reader as a file on a drive held in
// memory. An accepted file must give a valid table; a refused one must leave
// the caller's table exactly as it was.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "gamma/gamma_file.h"
#include "gamma/gamma_table.h"
#include "platform/host/host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto drive = std::make_shared<host::MemoryDrive>();
    drive->AddFile(u"C:\\input.gc", std::string(reinterpret_cast<const char*>(data), size));
    host::MapDriveCInMemory(std::move(drive));
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
