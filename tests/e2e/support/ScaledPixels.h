#pragma once

#include <functional>
#include <string>

#include "support/Capture.h"

// How far a window drawn at some dpi is from the 96 dpi window scaled to it. A smoothing filter
// makes each pixel a blend of the 96 dpi pixels around the place it comes from, so a pixel passes
// when it lies, channel by channel, within the range of those pixels (plus a rounding tolerance).
namespace e2e {

class RangeDiff {
  public:
    RangeDiff(std::string what, int tolerance) : what_(std::move(what)), tolerance_(tolerance) {}
    void Check(int x, int y, Rgb low, Rgb high, Rgb actual);
    int Compared() const { return compared_; }
    int Mismatched() const { return mismatched_; }
    // "what: N of M pixels outside the range (tolerance T, worst by W); first: (x, y) range ... got ..."
    std::string Report() const;

  private:
    std::string what_;
    int tolerance_;
    int compared_ = 0;
    int mismatched_ = 0;
    int worst_ = 0;
    std::string first_;
    int listed_ = 0;
};

// The 96 dpi pixels a pixel at dpi is drawn from: the part of the 96 dpi picture it covers,
// reach pixels wider on every side, for the filter's reach and for what the layout rounds by.
RECT SourceWindow(int x, int y, int dpi, int reach);

// Checks every pixel (x, y) of shown for which compare(x, y) holds against the 96 dpi pixels of
// its source window for which counts(x96, y96) holds; a pixel with none of those is skipped.
RangeDiff CompareScaled(const Pixels& shown,
                        int dpi,
                        const Pixels& at96,
                        const std::function<bool(int, int)>& compare,
                        const std::function<bool(int, int)>& counts,
                        int reach,
                        int tolerance,
                        const std::string& what);

}  // namespace e2e
