// vcatool modes: every record the mode query selects for the board and the
// chosen monitor, and why each one is or is not offered.
#pragma once

#include <string>
#include <vector>

#include "timingdb/timing_types.h"

namespace vcatool {

struct ModeCandidate {
    unsigned xres = 0, yres = 0, refresh = 0;
    bool accepted = false;
    std::string reason;  // "accepted", or the first test it fails and by how much
};

struct ModeExplanation {
    bool available = false;               // false when the database gave no records
    std::vector<vca::TimingEntry> accepted;  // after validation and sorting, before grouping
    std::vector<ModeCandidate> candidates;   // in the order the table builder meets them
};

// Runs the table builder's query again, after a build, for the monitor the
// build chose. Shows no message of its own; the board limits may be read
// again (with their message when they cannot be).
ModeExplanation ExplainModes();

}  // namespace vcatool
