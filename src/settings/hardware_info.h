// Display texts about the board, its driver and its memory.
#pragma once

#include <cstdint>

namespace vca {

struct HardwareInfo {
    char16_t board[50];
    char16_t company[40];
    char16_t version[75];
    char16_t driverFiles[75];
    char16_t chip[40];
    char16_t dac[40];
    std::uint32_t memorySize;  // megabytes
    char16_t memory[20];
    char16_t adapter[75];
    char16_t textureMemory[51];
    std::uint32_t textureMemorySize;  // as stored
};

extern HardwareInfo hardwareInfo;

// Fills hardwareInfo from identification and the driver's
// HardwareInformation.* values; facts that cannot be read show as not
// available. Called at the end of a successful start-up.
void CollectHardwareInformation();

}  // namespace vca
