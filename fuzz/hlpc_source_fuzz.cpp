// The help compiler over any source text: a help file or a refusal with
// FILE:LINE messages, never a crash. A written file must at least be
// whole: its size field and its directory inside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "help_source.h"
#include "hlp_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> errors;
    const hlpc::HelpSource help = hlpc::ReadHelpSource(text, "f.hsrc", errors);
    for (const std::string& error : errors)
        if (error.rfind("f.hsrc:", 0) != 0) std::abort();
    if (!errors.empty()) return 0;
    const std::vector<std::uint8_t> file = hlpc::WriteHelpFile(help, errors);
    if (errors.empty() == file.empty()) std::abort();
    if (file.empty()) return 0;
    const auto u32 = [&](std::size_t at) {
        return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | std::uint32_t(file[at + 3]) << 24;
    };
    if (u32(12) != file.size() || u32(4) + 9 + 38 + 1024 != file.size()) std::abort();
    return 0;
}
