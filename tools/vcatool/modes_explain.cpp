#include "modes_explain.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "driver/board_identity.h"
#include "modes/mode_building.h"
#include "modes/monitor_choice.h"
#include "timingdb/database_loader.h"
#include "timingdb/timing_queries.h"
#include "timingdb/timing_validation.h"

namespace vcatool {

namespace {

std::string Format(const char* format, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

const char* LimitUnit(int limitIndex) {
    switch (limitIndex / 2 * 2) {
        case vca::kHfMax: return " kHz";
        case vca::kPcfMax: return " MHz";
        case vca::kHbMax: case vca::kHfpMax: case vca::kHsMax: case vca::kHbpMax: return " us";
        case vca::kVfMax: return " Hz";
        case vca::kVbMax: case vca::kVfpMax: case vca::kVsMax: case vca::kVbpMax: return " ms";
        default: return "%";
    }
}

// "hf 82.3 kHz > hfmax 82.0", "tile count 5120 > 4096", ...
std::string ValidationReason(const vca::TimingVerdict& v) {
    using vca::TimingTest;
    switch (v.test) {
        case TimingTest::kAccepted: return "accepted";
        case TimingTest::kFss: case TimingTest::kUndefined: case TimingTest::kNoGranularity:
            return vca::TimingTestName(v.test);
        case TimingTest::kGranularity:
            return Format("width %.0f is not a multiple of the pixel granularity %.0f", v.quantity, v.limit);
        case TimingTest::kMonitorMaximum:
        case TimingTest::kMonitorMinimum: {
            const std::string limit = vca::kLimitNames[v.limitIndex];
            const std::string quantity = limit.substr(0, limit.size() - 3);
            const bool above = v.test == TimingTest::kMonitorMaximum;
            return quantity + Format(" %.1f", v.quantity, 0) + LimitUnit(v.limitIndex) + (above ? " > " : " < ") +
                   limit + Format(" %.1f", v.limit, 0);
        }
        case TimingTest::kNoPercentage:
            return std::string(vca::kLimitNames[v.limitIndex]) + " is given but the blanking is 0";
        default: {
            std::string reason = vca::TimingTestName(v.test);
            const bool narrow = v.narrowTest != TimingTest::kAccepted && v.tileWidth != 0;
            reason += Format(" %.6g > %.6g", v.quantity, v.limit);
            if (narrow) reason += Format(" (tile width %.0f)", v.tileWidth, 0);
            return reason;
        }
    }
}

std::string FilterReason(const vca::FilterVerdict& v) {
    switch (v.result) {
        case vca::FilterResult::kPass: return "accepted";
        case vca::FilterResult::kNoWidth: return "no width";
        case vca::FilterResult::kNoRefresh: return "no refresh rate";
        case vca::FilterResult::kAboveHfMax: return Format("hfreq %.0f > hfmax %g", v.quantity, v.limit);
        case vca::FilterResult::kBelowHfMin: return Format("hfreq %.0f < hfmin %g", v.quantity, v.limit);
        case vca::FilterResult::kNotReported: return "not among the modes the DDC monitor reports on screen 0";
    }
    return "?";
}

ModeCandidate Filtered(const vca::TimingEntry& entry, const vca::MonitorEntry& monitor) {
    ModeCandidate candidate;
    candidate.xres = entry.xres;
    candidate.yres = entry.yres;
    candidate.refresh = entry.refresh;
    const vca::FilterVerdict verdict = vca::CheckMonitorFilter(entry, monitor);
    candidate.accepted = verdict.result == vca::FilterResult::kPass;
    candidate.reason = FilterReason(verdict);
    return candidate;
}

// What validation would make of a rejected timing, for the listing.
ModeCandidate Rejected(const vca::TimingCandidate& c, const vca::TimingVerdict& verdict) {
    ModeCandidate candidate;
    candidate.xres = c.hActive;
    candidate.yres = (c.flags & vca::TF_INTERLACED) ? 2 * c.vActive : c.vActive;
    const double total = static_cast<double>(c.hTotal) * c.vTotal;
    const double refresh = total > 0 ? std::trunc(1000000.0 * c.pixelClock / total + 0.5) : 0.0;
    candidate.refresh = refresh >= 0 && refresh <= 65535 ? static_cast<unsigned>(refresh) : 0;
    candidate.reason = ValidationReason(verdict);
    return candidate;
}

}  // namespace

ModeExplanation ExplainModes() {
    ModeExplanation out;
    if (vca::databaseUnreadable || vca::databaseInvalid || !vca::timingText) return out;

    vca::MonitorEntry monitor;
    vca::GetCurrentMonitorEntry(&monitor);
    vca::ChosenTag chosen{monitor.tagIndex, {}};
    std::copy(std::begin(monitor.tagName), std::end(monitor.tagName), chosen.tagName);
    vca::TimingEntry pattern;
    std::uint32_t mask = 0;
    vca::MakeModeQuery(chosen, &pattern, &mask);

    std::uint32_t count = 0;
    if (vca::CountTimingEntries(vca::timingText, vca::timingDatabase, pattern, mask, &count) != 0 || count == 0)
        return out;
    std::vector<vca::TimingEntry> entries(count + 1);
    if (vca::FetchTimingEntries(vca::timingText, vca::timingDatabase, pattern, mask, entries.data(), count) != 0)
        return out;

    if (pattern.type == vca::kTypeTiming) {
        std::vector<vca::TimingCandidate> timings(count + 1);
        bool error = false;
        vca::ReadTimingData(count, &error, timings.data(), entries.data());
        if (error) return out;
        const vca::BoardTimingLimits board = vca::ReadBoardTimingLimits();
        for (std::uint32_t i = 0; i < count; ++i) {
            const vca::TimingVerdict verdict =
                vca::CheckTiming(timings[i], board, vca::boardIdentity.pixelGranularity, monitor);
            if (verdict.test != vca::TimingTest::kAccepted) {
                out.candidates.push_back(Rejected(timings[i], verdict));
                continue;
            }
            vca::TimingEntry validated{};
            validated.xres = static_cast<std::uint16_t>(timings[i].hActive);
            validated.yres = static_cast<std::uint16_t>((timings[i].flags & vca::TF_INTERLACED) ? 2 * timings[i].vActive
                                                                                                 : timings[i].vActive);
            validated.refresh = verdict.refresh;
            validated.hfreq = timings[i].hfreq;
            out.candidates.push_back(Filtered(validated, monitor));
        }
        count = vca::ValidateTimings(count, timings.data(), entries.data());
        if (count != 0) vca::SortTimingEntries(entries.data(), count);
    } else {
        vca::SortTimingEntries(entries.data(), count);
        for (std::uint32_t i = 0; i < count; ++i) out.candidates.push_back(Filtered(entries[i], monitor));
    }
    out.accepted.assign(entries.begin(), entries.begin() + count);
    out.available = true;
    return out;
}

}  // namespace vcatool
