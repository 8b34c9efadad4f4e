#include "tool_support.h"

#include <cstdio>

#include "applet/resource_library.h"
#include "boardsim/boardsim.h"
#include "platform/host/host.h"

namespace vcatool {

bool InstallBoardProfile(const std::string& path) {
    boardsim::Profile profile;
    std::string error;
    if (!boardsim::LoadProfileFile(path, &profile, &error)) {
        std::fprintf(stderr, "vcatool: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    boardsim::Install(profile);
    return true;
}

std::u16string ResourceText(std::uint32_t id) { return vca::LoadResourceString(id); }

std::string Narrow(const std::u16string& text) { return host::ToUtf8(text); }

}  // namespace vcatool
