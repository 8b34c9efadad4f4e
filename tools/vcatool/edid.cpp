// vcatool edid: decodes a monitor's EDID base block, from a file or from the
// identification a board profile's driver hands over through escape 4352,
// and writes a timing database for the monitor on request.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "applet/startup.h"
#include "commands.h"
#include "driver/mode_records.h"
#include "edid_decode.h"
#include "edid_revid.h"
#include "platform/host/host.h"
#include "tool_support.h"
#include "applet/reset.h"

namespace {

using Json = nlohmann::ordered_json;
using vcatool::EdidInfo;

struct EdidOptions {
    std::string board;
    std::string file;
    int screen = 0;
    bool json = false;
    bool toRevid = false;
};

double Round3(double value) { return std::round(value * 1000.0) / 1000.0; }

Json TimingJson(const vcatool::EdidDetailedTiming& t) {
    return {{"pixel_clock_khz", t.pixel_clock_khz},
            {"h_active_px", t.h_active_px},
            {"h_blank_px", t.h_blank_px},
            {"h_front_porch_px", t.h_front_porch_px},
            {"h_sync_width_px", t.h_sync_width_px},
            {"h_border_px", t.h_border_px},
            {"v_active_lines", t.v_active_lines},
            {"v_blank_lines", t.v_blank_lines},
            {"v_front_porch_lines", t.v_front_porch_lines},
            {"v_sync_width_lines", t.v_sync_width_lines},
            {"v_border_lines", t.v_border_lines},
            {"h_image_mm", t.h_image_mm},
            {"v_image_mm", t.v_image_mm},
            {"interlaced", t.interlaced},
            {"stereo", t.stereo},
            {"sync", t.sync},
            {"h_sync_positive", t.h_sync_positive},
            {"v_sync_positive", t.v_sync_positive},
            {"h_total_px", t.h_total_px()},
            {"v_total_lines", t.v_total_lines()},
            {"h_freq_khz", Round3(t.h_freq_khz())},
            {"v_freq_hz", Round3(t.v_freq_hz())}};
}

Json DescriptorJson(const vcatool::EdidDescriptor& d) {
    Json out = {{"offset", d.offset}, {"type", d.type}};
    if (d.timing) {
        out.update(TimingJson(*d.timing));
        return out;
    }
    out["tag"] = d.tag;
    if (d.type == "monitor-name" || d.type == "serial-text" || d.type == "text") out["text"] = d.text;
    if (d.range) {
        const vcatool::EdidRangeLimits& r = *d.range;
        out.update(Json{{"min_v_rate_hz", r.min_v_rate_hz},
                        {"max_v_rate_hz", r.max_v_rate_hz},
                        {"min_h_rate_khz", r.min_h_rate_khz},
                        {"max_h_rate_khz", r.max_h_rate_khz},
                        {"max_pixel_clock_mhz", r.max_pixel_clock_mhz},
                        {"timing_formula", r.timing_formula}});
    }
    return out;
}

Json InputJson(const EdidInfo& info) {
    if (info.analog) {
        const vcatool::EdidAnalogInput& a = *info.analog;
        return {{"type", "analog"},           {"signal_level", a.signal_level},
                {"blank_to_black_setup", a.blank_to_black_setup}, {"separate_sync", a.separate_sync},
                {"composite_sync", a.composite_sync}, {"sync_on_green", a.sync_on_green},
                {"serration_vsync", a.serration_vsync}};
    }
    const vcatool::EdidDigitalInput& d = *info.digital;
    Json out = {{"type", "digital"}};
    if (info.version == 1 && info.revision >= 4) {
        out["color_depth_bits"] = d.color_depth_bits ? Json(*d.color_depth_bits) : Json(nullptr);
        out["interface"] = d.interface;
    } else {
        out["dfp_compatible"] = d.dfp_compatible;
    }
    return out;
}

Json EdidJson(const EdidInfo& info) {
    const vcatool::EdidFeatures& f = info.features;
    const vcatool::EdidChromaticity& c = info.chromaticity;
    Json standard = Json::array();
    for (const auto& s : info.standard_timings)
        standard.push_back({{"offset", s.offset}, {"h_active_px", s.h_active_px}, {"v_active_lines", s.v_active_lines},
                            {"aspect", s.aspect}, {"refresh_hz", s.refresh_hz}});
    Json descriptors = Json::array();
    for (const auto& d : info.descriptors) descriptors.push_back(DescriptorJson(d));
    Json findings = Json::array();
    for (const auto& finding : info.findings) findings.push_back({{"offset", finding.offset}, {"message", finding.message}});
    return {{"input", info.from_identification ? "identification" : "block"},
            {"header_valid", info.header_valid},
            {"manufacturer", info.manufacturer},
            {"product_code", info.product_code},
            {"serial_number", info.serial_number},
            {"manufacture_week", info.manufacture_week},
            {"manufacture_year", info.manufacture_year},
            {"version", info.version},
            {"revision", info.revision},
            {"video_input", InputJson(info)},
            {"width_cm", info.width_cm},
            {"height_cm", info.height_cm},
            {"gamma", info.gamma ? Json(*info.gamma) : Json(nullptr)},
            {"features",
             {{"standby", f.standby}, {"suspend", f.suspend}, {"active_off", f.active_off},
              {"display_type", f.display_type}, {"srgb_default", f.srgb_default},
              {"preferred_timing_first", f.preferred_timing_first}, {"continuous_frequency", f.continuous_frequency}}},
            {"chromaticity",
             {{"red_x", c.red_x}, {"red_y", c.red_y}, {"green_x", c.green_x}, {"green_y", c.green_y},
              {"blue_x", c.blue_x}, {"blue_y", c.blue_y}, {"white_x", c.white_x}, {"white_y", c.white_y}}},
            {"established_timings", info.established_timings},
            {"manufacturer_timings", info.manufacturer_timings},
            {"standard_timings", standard},
            {"descriptors", descriptors},
            {"extension_count", info.extension_count},
            {"checksum", info.checksum},
            {"checksum_valid", info.checksum_valid},
            {"findings", findings}};
}

// The records --to-revid writes, and the announced modes it leaves out.
Json RevidJson(const EdidInfo& info) {
    Json modes = Json::array();
    for (const vcatool::RevidMode& m : vcatool::RevidModes(info)) {
        const vcatool::RasterTiming& t = m.raster;
        modes.push_back({{"origin", m.origin}, {"formula", m.formula}, {"written", m.written},
                         {"left_out", m.left_out.empty() ? Json(nullptr) : Json(m.left_out)},
                         {"xres", m.xres}, {"yres", m.yres}, {"refresh_hz", m.refresh_hz},
                         {"interlaced", t.interlaced}, {"pixel_clock_mhz", t.pixel_clock_mhz},
                         {"h_active_px", t.h_active_px}, {"h_front_porch_px", t.h_front_porch_px},
                         {"h_sync_px", t.h_sync_px}, {"h_back_porch_px", t.h_back_porch_px},
                         {"v_active_lines", t.v_active_lines}, {"v_front_porch_lines", t.v_front_porch_lines},
                         {"v_sync_lines", t.v_sync_lines}, {"v_back_porch_lines", t.v_back_porch_lines}});
    }
    return {{"tag", vcatool::RevidTag(info)}, {"desc", vcatool::RevidDescription(info)}, {"modes", modes}};
}

std::string YesNo(bool value) { return value ? "yes" : "no"; }

void PrintDescriptor(const vcatool::EdidDescriptor& d) {
    std::printf("descriptor at %zu: ", d.offset);
    if (d.timing) {
        const vcatool::EdidDetailedTiming& t = *d.timing;
        std::printf("detailed timing %d x %d%s, %.2f kHz, %.2f Hz\n", t.h_active_px,
                    t.interlaced ? 2 * t.v_active_lines : t.v_active_lines, t.interlaced ? " interlaced" : "",
                    t.h_freq_khz(), t.v_freq_hz());
        std::printf("  pixel clock %d kHz; horizontal %d active + %d blanking (front porch %d, sync %d), border %d\n",
                    t.pixel_clock_khz, t.h_active_px, t.h_blank_px, t.h_front_porch_px, t.h_sync_width_px, t.h_border_px);
        std::printf("  vertical %d active + %d blanking (front porch %d, sync %d), border %d\n", t.v_active_lines,
                    t.v_blank_lines, t.v_front_porch_lines, t.v_sync_width_lines, t.v_border_lines);
        std::printf("  image %d x %d mm, sync %s, stereo %s\n", t.h_image_mm, t.v_image_mm, t.sync.c_str(),
                    t.stereo.c_str());
    } else if (d.range) {
        const vcatool::EdidRangeLimits& r = *d.range;
        std::printf("range limits: vertical %d-%d Hz, horizontal %d-%d kHz, pixel clock up to %d MHz, %s\n",
                    r.min_v_rate_hz, r.max_v_rate_hz, r.min_h_rate_khz, r.max_h_rate_khz, r.max_pixel_clock_mhz,
                    r.timing_formula.c_str());
    } else if (d.type == "monitor-name" || d.type == "serial-text" || d.type == "text") {
        std::printf("%s \"%s\"\n", d.type.c_str(), d.text.c_str());
    } else {
        std::printf("%s (tag 0x%02X)\n", d.type.c_str(), static_cast<unsigned>(d.tag));
    }
}

void PrintHuman(const EdidInfo& info) {
    std::printf("EDID %d.%d, %s%s\n", info.version, info.revision,
                info.from_identification ? "from a 120-byte identification (header supplied)" : "128-byte base block",
                info.header_valid ? "" : ", bad header");
    std::printf("manufacturer %s, product 0x%04X, serial %u, ", info.manufacturer.c_str(),
                static_cast<unsigned>(info.product_code), info.serial_number);
    if (info.manufacture_week == 255) std::printf("model year %d\n", info.manufacture_year);
    else std::printf("week %d of %d\n", info.manufacture_week, info.manufacture_year);
    if (info.analog)
        std::printf("analog input %s V, separate sync %s, composite sync %s, sync on green %s\n",
                    info.analog->signal_level.c_str(), YesNo(info.analog->separate_sync).c_str(),
                    YesNo(info.analog->composite_sync).c_str(), YesNo(info.analog->sync_on_green).c_str());
    else if (info.version == 1 && info.revision >= 4)
        std::printf("digital input, %s bits per colour, interface %s\n",
                    info.digital->color_depth_bits ? std::to_string(*info.digital->color_depth_bits).c_str() : "undefined",
                    info.digital->interface.c_str());
    else
        std::printf("digital input, DFP 1.x compatible %s\n", YesNo(info.digital->dfp_compatible).c_str());
    std::printf("size %d x %d cm, gamma ", info.width_cm, info.height_cm);
    if (info.gamma) std::printf("%.2f\n", *info.gamma);
    else std::printf("not given\n");
    const vcatool::EdidFeatures& f = info.features;
    std::printf("standby %s, suspend %s, active off %s, display %s, sRGB %s, preferred timing %s, continuous %s\n",
                YesNo(f.standby).c_str(), YesNo(f.suspend).c_str(), YesNo(f.active_off).c_str(),
                f.display_type.c_str(), YesNo(f.srgb_default).c_str(), YesNo(f.preferred_timing_first).c_str(),
                YesNo(f.continuous_frequency).c_str());
    const vcatool::EdidChromaticity& c = info.chromaticity;
    std::printf("chromaticity red %.3f,%.3f green %.3f,%.3f blue %.3f,%.3f white %.3f,%.3f\n", c.red_x, c.red_y,
                c.green_x, c.green_y, c.blue_x, c.blue_y, c.white_x, c.white_y);
    std::printf("established timings:");
    for (const std::string& t : info.established_timings) std::printf(" %s", t.c_str());
    std::printf("%s\nstandard timings:", info.established_timings.empty() ? " none" : "");
    for (const auto& s : info.standard_timings)
        std::printf(" %dx%d@%d (%s)", s.h_active_px, s.v_active_lines, s.refresh_hz, s.aspect.c_str());
    std::printf("%s\n", info.standard_timings.empty() ? " none" : "");
    for (const auto& d : info.descriptors) PrintDescriptor(d);
    std::printf("extension blocks %d, checksum 0x%02X %s\n", info.extension_count, static_cast<unsigned>(info.checksum),
                info.checksum_valid ? "(valid)" : "(wrong)");
    std::printf("%zu finding(s)\n", info.findings.size());
    for (const auto& finding : info.findings) std::printf("  offset %zu: %s\n", finding.offset, finding.message.c_str());
}

// The block from a file: a 120-byte identification, or a base block with
// any extension blocks after it (only the base block is decoded).
bool ReadFileBlock(const std::string& path, vcatool::EdidBlock* block, bool* fromIdentification) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "vcatool: %s: cannot be read\n", path.c_str());
        return false;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    if (bytes.size() == vcatool::kEdidIdentificationBytes) {
        *block = vcatool::BlockFromIdentification(data);
        *fromIdentification = true;
        return true;
    }
    if (bytes.empty() || bytes.size() % vcatool::kEdidBlockBytes != 0) {
        std::fprintf(stderr, "vcatool: %s: %zu bytes; expected a 128-byte EDID block (or several) or a 120-byte identification\n",
                     path.c_str(), bytes.size());
        return false;
    }
    std::copy(data, data + vcatool::kEdidBlockBytes, block->begin());
    *fromIdentification = false;
    return true;
}

// The identification the board's driver answers escape 4352 with.
bool ReadBoardBlock(const EdidOptions& options, vcatool::EdidBlock* block) {
    host::Reset();
    vca::ResetAppletState();
    if (!vcatool::InstallBoardProfile(options.board)) return false;
    vca::InitApplet(host::AppletModule());
    bool ok = false;
    try {
        ok = vca::QueryModeRecords(options.screen) == 1 && vca::modeRecords[options.screen].status == vca::kRecordsFromDriver;
        if (ok) *block = vcatool::BlockFromIdentification(vca::modeRecords[options.screen].block);
        else
            std::fprintf(stderr, "vcatool: %s: screen %d: the driver hands over no identification (mode record status %d)\n",
                         options.board.c_str(), options.screen, vca::modeRecords[options.screen].status);
    } catch (const platform::ProcessExit& exit) {
        std::fprintf(stderr, "vcatool: the applet would have ended with exit code %d\n", exit.code);
    }
    vca::ResetAppletState();
    return ok;
}

int RunEdid(const EdidOptions& options) {
    vcatool::EdidBlock block{};
    bool fromIdentification = true;
    const bool read = options.board.empty() ? ReadFileBlock(options.file, &block, &fromIdentification)
                                            : ReadBoardBlock(options, &block);
    if (!read) return 2;
    const EdidInfo info = vcatool::DecodeEdid(block, fromIdentification);
    if (options.toRevid) {
        // A database is written whatever the findings; they are warnings.
        for (const auto& f : info.findings)
            std::fprintf(stderr, "vcatool: warning: EDID offset %zu: %s\n", f.offset, f.message.c_str());
        if (options.json)
            std::cout << RevidJson(info).dump(2) << "\n";
        else
            std::cout << vcatool::WriteRevid(info);
        return 0;
    }
    if (options.json)
        std::cout << EdidJson(info).dump(2) << "\n";
    else
        PrintHuman(info);
    return info.findings.empty() ? 0 : 1;
}

}  // namespace

void AddEdidCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<EdidOptions>();
    CLI::App* command = app.add_subcommand("edid", "Decode a monitor's EDID, or write a timing database for it");
    CLI::Option* board = command->add_option("--board", options->board, "board profile: the identification its driver hands over")
                             ->check(CLI::ExistingFile);
    CLI::Option* file =
        command->add_option("--file", options->file, "a 128-byte EDID block or a 120-byte identification")
            ->check(CLI::ExistingFile);
    board->excludes(file);
    command->add_option("--screen", options->screen, "the screen whose monitor to read (with --board)")
        ->check(CLI::Range(0, 1))
        ->needs(board);
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->add_flag("--to-revid", options->toRevid,
                      "write a timing database for the monitor (with --json: the modes it writes and leaves out)");
    command->callback([options, board, file, &exitCode] {
        if (board->count() + file->count() != 1) throw CLI::RequiredError("--board or --file");
        exitCode = RunEdid(*options);
    });
}
