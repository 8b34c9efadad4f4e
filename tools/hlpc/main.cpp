// hlpc: compiles a help source into a WinHelp .hlp file.
//   hlpc [--require HEADER]... SOURCE OUTPUT
// --require names a C header whose "#define NAME NUMBER" lines are help
// contexts the applet asks for; a context without a topic refuses the
// source. Faults are printed as FILE:LINE: message; the exit code is then 1
// and no output is written.
#include <fstream>
#include <iostream>
#include <sstream>

#include "help_source.h"
#include "hlp_writer.h"

namespace {

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

int Usage() {
    std::cerr << "usage: hlpc [--require HEADER]... SOURCE OUTPUT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> headers, paths;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--require" && i + 1 < argc) headers.push_back(argv[++i]);
        else if (!argument.empty() && argument[0] == '-') return Usage();
        else paths.push_back(argument);
    }
    if (paths.size() != 2) return Usage();
    std::string text;
    if (!ReadFile(paths[0], text)) {
        std::cerr << paths[0] << ": cannot be read\n";
        return 1;
    }
    std::vector<std::string> errors;
    const hlpc::HelpSource help = hlpc::ReadHelpSource(text, paths[0], errors);
    for (const std::string& header : headers) {
        std::string defines;
        if (!ReadFile(header, defines)) errors.push_back(header + ": cannot be read");
        else hlpc::CheckRequiredContexts(help, defines, header, errors);
    }
    std::vector<std::uint8_t> file;
    if (errors.empty()) file = hlpc::WriteHelpFile(help, errors);
    for (const std::string& error : errors) std::cerr << error << "\n";
    if (!errors.empty()) return 1;
    std::ofstream out(paths[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        std::cerr << paths[1] << ": cannot be written\n";
        return 1;
    }
    return 0;
}
