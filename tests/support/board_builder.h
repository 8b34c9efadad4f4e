// Board profiles built in code, for tests that need a particular answer.
#pragma once

#include <cstdint>
#include <vector>

#include "boardsim/boardsim.h"

namespace vcatest {

// A board with the given raw answers, escape 4352 offered, no records.
boardsim::Profile MakeBoard(std::uint32_t boardAnswer, std::uint32_t monitorAnswer);

// Appends a mode record (width, height, refresh) to a screen of the profile.
void AddMode(boardsim::Profile& profile, int screen, std::uint32_t width, std::uint32_t height,
             std::uint32_t refresh);

// A gamma table in the simulator's byte form: header, then every entry of
// all three channels set to `fill`.
boardsim::GammaBytes FilledGamma(std::uint32_t header, std::uint16_t fill);

// The little-endian 32-bit word at `index` of a byte buffer.
std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t index);
std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> words);

}  // namespace vcatest
