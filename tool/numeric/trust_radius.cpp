#include "trust_radius.h"

#include <algorithm>

namespace {

// Powell's choices: the first radius against the scaled start, the share of
// the predicted decrease a step must achieve, and the ratios that shrink or
// widen the region.
constexpr double FIRST_RADIUS_FACTOR = 100.0;
constexpr double ACCEPTED_RATIO = 1e-4;
constexpr double POOR_RATIO = 0.1;
constexpr double GOOD_RATIO = 0.5;

}  // namespace

void TrustRadius::start(double scaled_magnitudes) {
    radius_ = FIRST_RADIUS_FACTOR * scaled_magnitudes;
}

bool TrustRadius::acceptable(double ratio) {
    return ratio >= ACCEPTED_RATIO;
}

void TrustRadius::accepted(double ratio, double length) {
    if (ratio < POOR_RATIO) {
        radius_ = 0.5 * std::min(radius_, length);
    } else if (ratio >= GOOD_RATIO) {
        radius_ = std::max(radius_, 2 * length);
    }
}

void TrustRadius::rejected(double length) {
    radius_ = 0.5 * std::min(radius_, length);
}

void TrustRadius::unusable(double length) {
    radius_ = 0.25 * std::min(radius_, length);
}
