#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "convergence_scale.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NAN_VALUE = std::numeric_limits<double>::quiet_NaN();

struct Offer {
    double numerator;
    double denominator;
};

// The definition: every ratio divided out, the first of the largest kept.
ResidualMeasure divided_out(const std::vector<Offer>& offers) {
    ResidualMeasure largest;
    for (std::size_t index = 0; index < offers.size(); ++index) {
        const double ratio = std::fabs(offers[index].numerator) / offers[index].denominator;
        if (largest.row >= 0 && std::isnan(largest.value)) {
            break;
        }
        if (largest.row < 0 || std::isnan(ratio) || ratio > largest.value) {
            largest = {ratio, static_cast<int>(index)};
        }
    }
    return largest;
}

ResidualMeasure offered(const std::vector<Offer>& offers) {
    LargestRatio largest;
    for (std::size_t index = 0; index < offers.size(); ++index) {
        largest.offer(offers[index].numerator, offers[index].denominator, static_cast<int>(index));
    }
    return largest.largest();
}

bool same_bits(double left, double right) {
    return std::memcmp(&left, &right, sizeof left) == 0;
}

void expect_as_divided_out(const std::vector<Offer>& offers, const char* label) {
    const ResidualMeasure expected = divided_out(offers);
    const ResidualMeasure got = offered(offers);
    EXPECT_EQ(got.row, expected.row) << label;
    EXPECT_TRUE(same_bits(got.value, expected.value) ||
                (std::isnan(got.value) && std::isnan(expected.value)))
        << label << ": " << got.value << " against " << expected.value;
}

double up(double value, int ulps = 1) {
    for (int step = 0; step < ulps; ++step) {
        value = std::nextafter(value, INF);
    }
    return value;
}

double down(double value, int ulps = 1) {
    for (int step = 0; step < ulps; ++step) {
        value = std::nextafter(value, -INF);
    }
    return value;
}

// Skipping the division for ratios that cannot beat the largest must not
// skip one that does: near ties, at the ends of the range and past them.
TEST(largest_ratio, finds_what_dividing_every_ratio_finds) {
    const double third = 1.0 / 3.0;
    const double tiny = std::numeric_limits<double>::denorm_min();
    const double huge = std::numeric_limits<double>::max();
    const struct {
        const char* label;
        std::vector<Offer> offers;
    } cases[] = {
        {"a later ratio one ulp above", {{1, 3}, {up(1.0), 3}}},
        {"a later ratio one ulp below", {{1, 3}, {down(1.0), 3}}},
        {"a tie keeps the first", {{1, 3}, {-1, 3}}},
        {"numerators a few ulps apart over a large denominator",
         {{up(7.0, 2), 1e300}, {up(7.0, 3), 1e300}, {up(7.0, 1), 1e300}}},
        {"a ratio whose product with the largest rounds up",
         {{third, 1}, {up(third), up(1.0)}, {up(third, 2), up(1.0)}}},
        {"subnormal ratios", {{tiny * 3, 1}, {tiny * 4, 1}, {tiny * 4, up(1.0)}}},
        {"a bound in the subnormal range", {{1e-300, 1e10}, {up(1e-300), 1e10}}},
        {"a bound past the largest double", {{huge, 0.5}, {huge, 1}, {INF, 1}}},
        {"an infinite magnitude", {{1, 1}, {5, INF}, {INF, INF}}},
        {"a NaN ends the search", {{1, 1}, {NAN_VALUE, 1}, {INF, 1}}},
        {"all zero", {{0, 1}, {-0.0, 1}, {0, 3}}},
        {"the first below a later zero largest", {{0, 1}, {tiny, 1}}},
    };
    for (const auto& c : cases) {
        expect_as_divided_out(c.offers, c.label);
    }
}

TEST(largest_ratio, finds_what_dividing_every_ratio_finds_for_near_ties) {
    // Ratios within a few ulps of each other over varied denominators, where
    // a bound with too little margin would skip the true largest.
    std::mt19937_64 random(20261209);
    std::uniform_int_distribution<int> ulps(-4, 4);
    std::uniform_real_distribution<double> exponent(-300, 300);
    for (int round = 0; round < 20000; ++round) {
        const double base = std::pow(10.0, exponent(random));
        const double denominator = std::pow(10.0, exponent(random) / 10);
        std::vector<Offer> offers;
        for (int index = 0; index < 6; ++index) {
            const int shift = ulps(random);
            const double numerator = shift >= 0 ? up(base, shift) : down(base, -shift);
            const int denominator_shift = ulps(random);
            offers.push_back({numerator, denominator_shift >= 0
                                             ? up(denominator, denominator_shift)
                                             : down(denominator, -denominator_shift)});
        }
        expect_as_divided_out(offers, "near ties");
        if (HasFailure()) {
            return;
        }
    }
}

}  // namespace
