#include "support/board_builder.h"

namespace vcatest {

boardsim::Profile MakeBoard(std::uint32_t boardAnswer, std::uint32_t monitorAnswer) {
    boardsim::Profile profile;
    profile.name = "test";
    profile.boardAnswer = boardAnswer;
    profile.monitorAnswer = monitorAnswer;
    return profile;
}

void AddMode(boardsim::Profile& profile, int screen, std::uint32_t width, std::uint32_t height,
             std::uint32_t refresh) {
    profile.screens[screen].records.push_back(boardsim::ModeRecord{{width, height, refresh}});
}

boardsim::GammaBytes FilledGamma(std::uint32_t header, std::uint16_t fill) {
    boardsim::GammaBytes bytes{};
    for (int b = 0; b < 4; ++b) bytes[b] = static_cast<std::uint8_t>(header >> (8 * b));
    for (std::size_t i = 4; i + 1 < bytes.size(); i += 2) {
        bytes[i] = static_cast<std::uint8_t>(fill);
        bytes[i + 1] = static_cast<std::uint8_t>(fill >> 8);
    }
    return bytes;
}

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t index) {
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) {
        std::size_t at = index * 4 + static_cast<std::size_t>(b);
        value = (value << 8) | (at < bytes.size() ? bytes[at] : 0);
    }
    return value;
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t w : words)
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>(w >> (8 * b)));
    return bytes;
}

}  // namespace vcatest
