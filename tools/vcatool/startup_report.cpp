#include "startup_report.h"

#include <cstdio>
#include <string>

#include "base/app_state.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "platform/host/host.h"
#include "settings/hardware_info.h"
#include "tool_support.h"

namespace vcatool {

namespace {

using Json = nlohmann::ordered_json;

const char* TypeName(std::uint32_t type) {
    switch (type) {
        case platform::kRegSz: return "REG_SZ";
        case platform::kRegExpandSz: return "REG_EXPAND_SZ";
        case platform::kRegBinary: return "REG_BINARY";
        case platform::kRegDword: return "REG_DWORD";
        case platform::kRegMultiSz: return "REG_MULTI_SZ";
        default: return "REG_NONE";
    }
}

std::u16string Units(const std::vector<std::uint8_t>& data) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    return text;
}

Json WriteValue(const host::RegWrite& write) {
    const auto& d = write.data;
    if (write.type == platform::kRegDword && d.size() == 4)
        return static_cast<std::uint32_t>(d[0] | d[1] << 8 | d[2] << 16 | static_cast<std::uint32_t>(d[3]) << 24);
    if (write.type == platform::kRegSz) {
        std::u16string text = Units(d);
        return Narrow(text.substr(0, text.find(u'\0')));
    }
    if (write.type == platform::kRegMultiSz) {
        Json strings = Json::array();
        std::u16string all = Units(d);
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find(u'\0', start);
            if (end == start) break;
            strings.push_back(Narrow(all.substr(start, end == std::u16string::npos ? end : end - start)));
            if (end == std::u16string::npos) break;
            start = end + 1;
        }
        return strings;
    }
    std::string hex;
    char digits[3];
    for (std::uint8_t byte : d) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    return hex;
}

Json Settings(const vca::DisplaySettings& s) {
    return {{"XResolution", s.XResolution}, {"YResolution", s.YResolution}, {"BitsPerPel", s.BitsPerPel},
            {"DualScreen", s.DualScreen},   {"Stereo", s.Stereo},           {"VRefresh", s.VRefresh},
            {"Preferences", s.Preferences}, {"Preference1", s.Preference1}, {"Preference2", s.Preference2},
            {"Preference4", s.Preference4}, {"Description", Narrow(s.Description)}, {"TagStr", Narrow(s.TagStr)}};
}

Json Gamma(const vca::ScreenGamma& g) {
    const auto& c = g.table.channel[0];
    return {{"Contrast", g.Contrast},
            {"GammaDataSource", g.GammaDataSource},
            {"gamma", g.gamma},
            {"GammaValue", g.GammaValue},
            {"GammaFile", Narrow(g.GammaFile)},
            {"linear", g.table.header == vca::kGammaHeader && vca::IsLinearTable(g.table)},
            {"entries", {c[0], c[1], c[128], c[255]}}};
}

Json Hardware() {
    const vca::HardwareInfo& h = vca::hardwareInfo;
    return {{"board", Narrow(h.board)},     {"company", Narrow(h.company)},
            {"version", Narrow(h.version)}, {"driverFiles", Narrow(h.driverFiles)},
            {"chip", Narrow(h.chip)},       {"dac", Narrow(h.dac)},
            {"memorySize", h.memorySize},   {"memory", Narrow(h.memory)},
            {"adapter", Narrow(h.adapter)}, {"textureMemory", Narrow(h.textureMemory)},
            {"textureMemorySize", h.textureMemorySize}};
}

Json ActiveView() {
    Json view = Json::array();
    if (!vca::activeView) return view;
    for (const vca::ModeViewEntry* e = vca::activeView; e->width != 0; ++e) {
        Json rates = Json::array();
        for (const std::uint32_t* r = e->rates; r && *r; ++r) rates.push_back(*r);
        view.push_back({{"width", e->width}, {"height", e->height}, {"colorDepth", e->colorDepth}, {"rates", rates}});
    }
    return view;
}

Json Lines(const std::string& text) {
    Json lines = Json::array();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

}  // namespace

Json StartupReport(const StartupOutcome& outcome) {
    Json report;
    report["result"] = outcome.started && !outcome.exited;
    report["exitCode"] = outcome.exited ? Json(outcome.exitCode) : Json(nullptr);
    report["driverAbsent"] = vca::driverAbsent;
    report["readOnlySettings"] = vca::readOnlySettings;
    report["boardCode"] = vca::boardIdentity.boardCode;
    report["monitorCode"] = vca::boardIdentity.monitorCode;
    Json messages = Json::array();
    for (const auto& box : host::MessageBoxes())
        messages.push_back({{"text", Narrow(box.text)}, {"caption", Narrow(box.caption)}, {"type", box.type}});
    report["messages"] = messages;
    report["diagnostics"] = Lines(host::Diagnostics());
    Json writes = Json::array();
    for (const auto& write : host::RegistryJournal())
        writes.push_back({{"name", Narrow(write.name)}, {"type", TypeName(write.type)}, {"value", WriteValue(write)},
                          {"ok", write.result == platform::kErrorSuccess}});
    report["registryWrites"] = writes;
    report["saveResult"] = outcome.saved ? Json(outcome.saveResult) : Json(nullptr);
    report["loadedSettings"] = Settings(vca::loadedSettings);
    report["gamma"] = {Gamma(vca::currentGamma[0]), Gamma(vca::currentGamma[1])};
    report["hardwareInfo"] = Hardware();
    report["monitor"] = Narrow(vca::workingSettings.Description);
    report["activeView"] = ActiveView();
    report["modeCount"] = vca::modeCount;
    report["descriptions"] = vca::descriptionsValid ? vca::modeDescriptionCount : 0u;
    return report;
}

void PrintStartupReport(const Json& r) {
    std::printf("start-up: %s", r["result"].get<bool>() ? "succeeded" : "failed");
    if (!r["exitCode"].is_null()) std::printf(" (the process would end with exit code %d)", r["exitCode"].get<int>());
    std::printf("\nboard %u, monitor code %u%s%s\n", r["boardCode"].get<unsigned>(), r["monitorCode"].get<unsigned>(),
                r["driverAbsent"].get<bool>() ? ", running without the driver" : "",
                r["readOnlySettings"].get<bool>() ? ", settings key read-only" : "");
    for (const auto& m : r["messages"])
        std::printf("message (type %u): %s\n", m["type"].get<unsigned>(), m["text"].get<std::string>().c_str());
    for (const auto& d : r["diagnostics"]) std::printf("reader: %s", d.get<std::string>().c_str());
    std::printf("monitor: %s\n", r["monitor"].get<std::string>().c_str());
    const auto& s = r["loadedSettings"];
    std::printf("settings: %u x %u, %u bits, %u Hz, stereo %u, dual screen %u, preferences %u\n",
                s["XResolution"].get<unsigned>(), s["YResolution"].get<unsigned>(), s["BitsPerPel"].get<unsigned>(),
                s["VRefresh"].get<unsigned>(), s["Stereo"].get<unsigned>(), s["DualScreen"].get<unsigned>(),
                s["Preferences"].get<unsigned>());
    for (int screen = 0; screen < 2; ++screen) {
        const auto& g = r["gamma"][screen];
        std::printf("screen %d: contrast %d, gamma source %u, gamma %.2f%s\n", screen, g["Contrast"].get<int>(),
                    g["GammaDataSource"].get<unsigned>(), g["gamma"].get<double>(),
                    g["linear"].get<bool>() ? " (linear table)" : "");
    }
    std::printf("modes offered (%u):", r["modeCount"].get<unsigned>());
    for (const auto& e : r["activeView"]) {
        std::printf(" %ux%u@", e["width"].get<unsigned>(), e["height"].get<unsigned>());
        bool first = true;
        for (const auto& rate : e["rates"]) {
            std::printf(first ? "%u" : "/%u", rate.get<unsigned>());
            first = false;
        }
    }
    std::printf("\n%u described modes\n", r["descriptions"].get<unsigned>());
    std::printf("registry writes (%zu):\n", r["registryWrites"].size());
    for (const auto& w : r["registryWrites"])
        std::printf("  %s %s %s%s\n", w["name"].get<std::string>().c_str(), w["type"].get<std::string>().c_str(),
                    w["value"].dump().substr(0, 60).c_str(), w["ok"].get<bool>() ? "" : " (failed)");
    const auto& h = r["hardwareInfo"];
    std::printf("hardware: %s; memory %s; texture memory %s; chip %s; DAC %s\n", h["board"].get<std::string>().c_str(),
                h["memory"].get<std::string>().c_str(), h["textureMemory"].get<std::string>().c_str(),
                h["chip"].get<std::string>().c_str(), h["dac"].get<std::string>().c_str());
}

}  // namespace vcatool
