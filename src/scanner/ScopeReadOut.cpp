#include "scanner/ScopeReadOut.h"

#include <QDateTime>

#include "settings/CnxChannelPlan.h"

namespace {
constexpr int kSUnitDb = 6;
constexpr int kS1Floor = -140;  // dBm
constexpr int kTopSUnit = 19;
constexpr int64_t kHighBandChannels = CnxChannelPlan::kHighBandCount;
constexpr int64_t kLowBandChannels = CnxChannelPlan::kLowBandCount;
// Points up to this frequency count on the low band's raster, above it on the high band's.
constexpr int64_t kLowBandCeiling = 161500000;
}  // namespace

QString ScopeReadOut::SUnitText(double dbm) {
    // Whole-dB boundaries compared directly, so -86.0 is S10 and -86.1 is S9 exactly.
    int unit = 0;
    while (unit < kTopSUnit && dbm >= kS1Floor + unit * kSUnitDb) {
        ++unit;
    }
    return QStringLiteral("(S%1)").arg(unit);
}

QString ScopeReadOut::FrequencyText(int64_t hertz) {
    if (hertz < 1800) {
        return QString::asprintf("%lld Hz", static_cast<long long>(hertz));
    }
    if (hertz < 1800000) {
        return QString::asprintf("%.03f", double(hertz) * 0.001) + QStringLiteral(" kHz");
    }
    if (hertz < 1800000000) {
        return QString::asprintf("%.04f", double(hertz) * 0.000001) + QStringLiteral(" MHz");
    }
    return QString::asprintf("%.03f", double(hertz) * 0.000000001) + QStringLiteral(" GHz");
}

int ScopeReadOut::ChannelOf(int64_t hertz) {
    // Division truncates toward zero, so the first raster step reaches a little below each band.
    if (hertz <= kLowBandCeiling) {
        const int64_t k = (hertz - CnxChannelPlan::kLowBandFirst) / CnxChannelPlan::kSpacing;
        return k >= 0 && k < kLowBandChannels ? int(32 + k) : -1;
    }
    const int64_t k = (hertz - CnxChannelPlan::kHighBandFirst) / CnxChannelPlan::kSpacing;
    if (k < 0 || k >= kHighBandChannels) {
        return -1;
    }
    return k % 2 == 0 ? int(1 + k / 2) : int(17 + (k - 1) / 2);
}

QString ScopeReadOut::LevelLine(double dbm) {
    return QString::asprintf("Signal Level: %.1f dBm %s", dbm, SUnitText(dbm).toUtf8().constData());
}

QString ScopeReadOut::FrequencyLine(int64_t hertz) {
    return QStringLiteral("Frequency: ") + FrequencyText(hertz);
}

QString ScopeReadOut::ChannelLine(int64_t hertz) {
    const int channel = ChannelOf(hertz);
    return channel < 0 ? QStringLiteral("Channel: Unknown")
                       : QString::asprintf("Channel: % 2d", channel);
}

QString ScopeReadOut::ActivityLine(int hits, int64_t lastUtcMs) {
    return QStringLiteral("heard %1\u00d7, last %2")
        .arg(hits)
        .arg(QDateTime::fromMSecsSinceEpoch(lastUtcMs, Qt::UTC)
                 .toString(QStringLiteral("HH:mm:ss")));
}

ScopeReadOut ScopeReadOut::Bare(int64_t hertz) {
    return {QStringLiteral("Signal Level:"), FrequencyLine(hertz),   ChannelLine(hertz),
            QStringLiteral("Min:"),          QStringLiteral("Max:"), QStringLiteral("Max-Min:")};
}
