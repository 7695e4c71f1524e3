#include "support/ScaledPixels.h"

#include <algorithm>

namespace e2e {
namespace {

int Excess(int low, int high, int value) {
    return value < low ? low - value : value > high ? value - high : 0;
}

}  // namespace

void RangeDiff::Check(int x, int y, Rgb low, Rgb high, Rgb actual) {
    ++compared_;
    const int excess =
        std::max({Excess(low.r, high.r, actual.r), Excess(low.g, high.g, actual.g), Excess(low.b, high.b, actual.b)});
    if (excess <= tolerance_) {
        return;
    }
    ++mismatched_;
    worst_ = std::max(worst_, excess);
    if (listed_ < 5) {
        first_ += (listed_ == 0 ? "" : "; ") + std::string("(") + std::to_string(x) + ", " + std::to_string(y) +
                  ") range " + ToString(low) + " to " + ToString(high) + " got " + ToString(actual);
        ++listed_;
    }
}

std::string RangeDiff::Report() const {
    std::string text = what_ + ": " + std::to_string(mismatched_) + " of " + std::to_string(compared_) +
                       " pixels outside the range of the 96 dpi pixels they come from (tolerance " +
                       std::to_string(tolerance_) + ", worst by " + std::to_string(worst_) + ")";
    if (!first_.empty()) {
        text += "; first: " + first_;
    }
    return text;
}

RECT SourceWindow(int x, int y, int dpi, int reach) {
    // [x * 96 / dpi, (x + 1) * 96 / dpi), rounded outwards, then reach pixels wider each way.
    const auto down = [dpi](int v) { return v * 96 / dpi; };
    const auto up = [dpi](int v) { return (v * 96 + dpi - 1) / dpi; };
    return {down(x) - reach, down(y) - reach, up(x + 1) + reach, up(y + 1) + reach};
}

RangeDiff CompareScaled(const Pixels& shown,
                        int dpi,
                        const Pixels& at96,
                        const std::function<bool(int, int)>& compare,
                        const std::function<bool(int, int)>& counts,
                        int reach,
                        int tolerance,
                        const std::string& what) {
    RangeDiff diff(what, tolerance);
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            if (!compare(x, y)) {
                continue;
            }
            const RECT source = SourceWindow(x, y, dpi, reach);
            Rgb low{255, 255, 255};
            Rgb high{0, 0, 0};
            bool any = false;
            for (int sy = std::max(0, static_cast<int>(source.top));
                 sy < std::min(at96.height, static_cast<int>(source.bottom)); ++sy) {
                for (int sx = std::max(0, static_cast<int>(source.left));
                     sx < std::min(at96.width, static_cast<int>(source.right)); ++sx) {
                    if (!counts(sx, sy)) {
                        continue;
                    }
                    const Rgb p = at96.At(sx, sy);
                    low = {std::min(low.r, p.r), std::min(low.g, p.g), std::min(low.b, p.b)};
                    high = {std::max(high.r, p.r), std::max(high.g, p.g), std::max(high.b, p.b)};
                    any = true;
                }
            }
            if (any) {
                diff.Check(x, y, low, high, shown.At(x, y));
            }
        }
    }
    return diff;
}

}  // namespace e2e
