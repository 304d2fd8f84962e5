#include "platform/SystemMetrics.h"

#include <array>
#include <utility>

namespace {

struct TMetricValue {
    int Index;
    int Value;
};

// The classic desktop at 96 dpi: a caption 18 pixels high plus its one-pixel
// line, 18-pixel caption buttons, a 4-pixel sizing frame and a 3-pixel fixed
// frame, 16-pixel small icons and a 14-pixel small caption.
constexpr std::array kClassicMetrics = {
    TMetricValue{SM_CXVSCROLL, 16},   TMetricValue{SM_CYHSCROLL, 16},
    TMetricValue{SM_CYCAPTION, 19},   TMetricValue{SM_CXBORDER, 1},
    TMetricValue{SM_CYBORDER, 1},     TMetricValue{SM_CXDLGFRAME, 3},
    TMetricValue{SM_CYDLGFRAME, 3},   TMetricValue{SM_CXICON, 32},
    TMetricValue{SM_CYICON, 32},      TMetricValue{SM_CYMENU, 19},
    TMetricValue{SM_CXMIN, 112},      TMetricValue{SM_CYMIN, 27},
    TMetricValue{SM_CXSIZE, 18},      TMetricValue{SM_CYSIZE, 18},
    TMetricValue{SM_CXFRAME, 4},      TMetricValue{SM_CYFRAME, 4},
    TMetricValue{SM_CXMINTRACK, 112}, TMetricValue{SM_CYMINTRACK, 27},
    TMetricValue{SM_CXDOUBLECLK, 4},  TMetricValue{SM_CYDOUBLECLK, 4},
    TMetricValue{SM_CXEDGE, 2},       TMetricValue{SM_CYEDGE, 2},
    TMetricValue{SM_CXSMICON, 16},    TMetricValue{SM_CYSMICON, 16},
    TMetricValue{SM_CYSMCAPTION, 15}, TMetricValue{SM_CXSMSIZE, 12},
    TMetricValue{SM_CYSMSIZE, 14},    TMetricValue{SM_CXDRAG, 4},
    TMetricValue{SM_CYDRAG, 4},
};

// Only the GUI thread reads or changes these.
struct TMetricsState {
    std::array<int, kSystemMetricCount> Values{};
    std::optional<TNonClientMetrics> NonClient;

    TMetricsState() { Reset(); }
    void Reset() {
        Values.fill(0);
        for (const TMetricValue& metric : kClassicMetrics) {
            Values[static_cast<std::size_t>(metric.Index)] = metric.Value;
        }
        NonClient = TNonClientMetrics{};
    }
};

TMetricsState& State() {
    static TMetricsState state;
    return state;
}

bool InRange(int index) {
    return index >= 0 && index < kSystemMetricCount;
}

} // namespace

int GetSystemMetrics(int index) {
    return InRange(index) ? State().Values[static_cast<std::size_t>(index)] : 0;
}

void SetSystemMetric(int index, int value) {
    if (InRange(index)) {
        State().Values[static_cast<std::size_t>(index)] = value;
    }
}

void ResetSystemMetrics() {
    State().Reset();
}

std::optional<TNonClientMetrics> GetNonClientMetrics() {
    return State().NonClient;
}

void SetNonClientMetrics(std::optional<TNonClientMetrics> metrics) {
    State().NonClient = std::move(metrics);
}

TLogFont StockSystemFont() {
    return TLogFont{16, 700, false, "System"};
}
