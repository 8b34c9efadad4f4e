// Gamma tables: the per-screen gamma state and the tables computed from a
// gamma value.
#include "gamma/gamma_table.h"

#include <cmath>

namespace vca {

ScreenGamma currentGamma[2];
ScreenGamma savedGamma[2];
ScreenGamma dialogGamma[2];

void ResetGammaState() {
    for (int screen = 0; screen < 2; ++screen) {
        currentGamma[screen] = ScreenGamma{};
        savedGamma[screen] = ScreenGamma{};
        dialogGamma[screen] = ScreenGamma{};
    }
}

namespace {

constexpr double kTopLevel = 1023.0;

// The whole part of a level as an entry. For a gamma above 0 the level lies
// in 0..1023 already; a gamma of 0 or below (or not a number) cannot come
// from the dialog or from loading, and its levels are held to 0..1023 so
// that the table stays a valid 10-bit table and the conversion is defined.
std::uint16_t ToEntry(double whole) {
    if (!(whole >= 0.0)) return 0;
    if (whole > kTopLevel) return static_cast<std::uint16_t>(kTopLevel);
    return static_cast<std::uint16_t>(whole);
}

}  // namespace

void ComputeGammaTable(double gamma, GammaTable* table) {
    if (!table) return;
    const double exponent = 1.0 / gamma;
    const double step = 1.0 / 255.0;
    table->header = kGammaHeader;
    for (int i = 0; i < kGammaEntries; ++i) {
        double x = i * step;
        double y = std::pow(x, exponent) * kTopLevel;
        double whole = 0.0;
        double fraction = std::modf(y, &whole);
        if (fraction >= 0.5) whole += 1.0;
        std::uint16_t entry = ToEntry(whole);
        for (int channel = 0; channel < kGammaChannels; ++channel) table->channel[channel][i] = entry;
    }
}

void MakeLinearTable(GammaTable* table) {
    // The same table every time: computed once.
    static const GammaTable linear = [] {
        GammaTable computed;
        ComputeGammaTable(1.0, &computed);
        return computed;
    }();
    if (table) *table = linear;
}

bool IsLinearTable(const GammaTable& table) {
    GammaTable linear;
    MakeLinearTable(&linear);
    for (int channel = 0; channel < kGammaChannels; ++channel)
        for (int i = 0; i < kGammaEntries; ++i)
            if (table.channel[channel][i] != linear.channel[0][i]) return false;
    return true;
}

}  // namespace vca
