// Timing databases written for tests: monitor blocks and records.
#pragma once

#include <string>
#include <vector>

namespace vcatest {

// One "vqx/gli" record.
struct BoardMode {
    int width, height, refresh;
    bool stereo = false;
    int hfreq = 0;
    std::string tag = "MS";
};

// "version 1", the given monitor blocks, then the records; each raster is
// a "timing" record of tag MS with its nine values ("25.175 800 640 ...").
std::string TimingFile(const std::string& monitors, const std::vector<BoardMode>& modes,
                       const std::vector<std::string>& rasters = {});

// A generic multi-sync monitor with `msLimits`, a Lumaris monitor and the
// DDC monitor.
std::string StandardMonitors(const std::string& msLimits = "");

}  // namespace vcatest
