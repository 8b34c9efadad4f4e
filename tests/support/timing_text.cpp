#include "support/timing_text.h"

#include <sstream>

namespace vcatest {

std::string TimingFile(const std::string& monitors, const std::vector<BoardMode>& modes,
                       const std::vector<std::string>& rasters) {
    std::string text = "version 1\ndisplay {\n" + monitors + "}\n";
    for (const auto& m : modes) {
        text += "tag " + m.tag + "\ntype vqx/gli\nxres " + std::to_string(m.width) + "\nyres " +
                std::to_string(m.height) + "\nrefresh " + std::to_string(m.refresh) + "\nhfreq " +
                std::to_string(m.hfreq) + "\nflags { stereo=" + (m.stereo ? "true" : "false") + " }\ndata {\n00\n}\n";
    }
    for (const auto& values : rasters) {
        text += "tag MS\ntype timing\ndata {\n";
        std::istringstream in(values);
        for (std::string value; in >> value;) text += value + "\n";
        text += "}\n";
    }
    return text;
}

std::string StandardMonitors(const std::string& msLimits) {
    return " { tag=MS desc=\"Generic multi-sync monitor\" " + msLimits +
           " }\n { tag=LM desc=\"Norvane Lumaris Monitor\" }\n { tag=MS desc=\"DDC Monitor\" }\n";
}

}  // namespace vcatest
