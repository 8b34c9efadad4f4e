// Feeds arbitrary bytes to vcatool's EDID decoder: the first 128 as a base
// block, or, for shorter inputs of at least 120, the first 120 as a driver's
// identification. Each is copied into a buffer of exactly that size, so a
// read past it is an AddressSanitizer report. Besides the sanitizers' checks
// it stops when a finding points outside the block, a decoded text is not
// printable ASCII (it goes into JSON), or the timing database written for
// the monitor is refused by the applet's own reader, holds other timings
// than the modes it says it writes, or holds one that the applet's own test
// refuses for a limit of the monitor block written with it.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "edid_decode.h"
#include "edid_revid.h"
#include "platform/host/host.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_validation.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequirePrintable(const std::string& text) {
    for (char c : text) Require(c >= 0x20 && c < 0x7F);
}

void CheckDecoded(const vcatool::EdidInfo& info, const vcatool::EdidBlock& block) {
    for (const vcatool::EdidFinding& f : info.findings) Require(f.offset < vcatool::kEdidBlockBytes);
    Require(info.descriptors.size() == 4);
    unsigned sum = 0;
    for (std::uint8_t byte : block) sum += byte;
    Require(info.checksum_valid == ((sum & 0xFF) == 0));
    Require(info.manufacturer.size() == 3);
    RequirePrintable(info.manufacturer);
    for (const vcatool::EdidDescriptor& d : info.descriptors) RequirePrintable(d.text);
}

// The database is read back by the applet's reader; its records are the
// modes RevidModes says it writes, in order, and every one of them passes
// the applet's test against the monitor block written with it.
void CheckDatabase(const vcatool::EdidInfo& info) {
    host::Reset();
    vca::ResetTimingReaderState();
    const std::string text = vcatool::WriteRevid(info);
    vca::TimingDatabase db{};
    const vca::TimingCheckResult check = vca::CheckTimingText(text.c_str(), &db);
    Require(check.result == 0);
    Require(db.tagCount == 1 && db.entries && !db.entries->next);
    vca::MonitorEntry monitor{};
    std::copy(std::begin(db.entries->limits), std::end(db.entries->limits), monitor.limits);
    std::size_t written = 0;
    for (const vcatool::RevidMode& m : vcatool::RevidModes(info)) {
        Require(m.written == m.left_out.empty());
        if (!m.written) continue;
        Require(written < check.timings.size());
        const vca::TimingCandidate& t = check.timings[written++];
        Require(t.hActive == static_cast<std::uint32_t>(m.raster.h_active_px));
        Require(t.vActive == static_cast<std::uint32_t>(m.raster.v_active_lines));
        Require(t.hTotal == static_cast<std::uint32_t>(m.raster.h_total_px()));
        Require(std::lround(t.pixelClock * 1000) == std::lround(m.raster.pixel_clock_mhz * 1000));
        Require(vca::CheckMonitorLimits(t, monitor).test == vca::TimingTest::kAccepted);
    }
    Require(written == check.timings.size() && check.records.size() == written);
    vca::ReleaseTimingDatabase(&db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < vcatool::kEdidIdentificationBytes) return 0;
    auto block = std::make_unique<vcatool::EdidBlock>();
    const bool identification = size < vcatool::kEdidBlockBytes;
    if (identification) {
        auto bytes = std::make_unique<std::uint8_t[]>(vcatool::kEdidIdentificationBytes);
        std::copy(data, data + vcatool::kEdidIdentificationBytes, bytes.get());
        *block = vcatool::BlockFromIdentification(bytes.get());
    } else {
        std::copy(data, data + vcatool::kEdidBlockBytes, block->begin());
    }
    const vcatool::EdidInfo info = vcatool::DecodeEdid(*block, identification);
    CheckDecoded(info, *block);
    CheckDatabase(info);
    return 0;
}
