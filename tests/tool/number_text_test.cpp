#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text_table.h"

namespace {

// The texts printf writes: the tables' numbers promise exactly these, so
// results read the same whichever way they were written.
void expect_printf_texts(double value) {
    char general[64];
    char scientific[64];
    std::snprintf(general, sizeof general, "%.10g", value);
    std::snprintf(scientific, sizeof scientific, "%.3e", value);
    EXPECT_EQ(readable_number(value), general) << std::hexfloat << value;
    EXPECT_EQ(short_number(value), scientific) << std::hexfloat << value;
}

}  // namespace

TEST(NumberText, WritesPrintfTextsOfHardCases) {
    const double max = std::numeric_limits<double>::max();
    const double cases[] = {
        0.0, -0.0, 1.0, -1.0, 0.1, 100.0, 1e10, 9999999999.0, 1e-5, 1e-4, 123456.0,
        // ties at the last digit kept: printf rounds them to even
        12345678.125, 12345678.375, 9999999999.5, 99999.5, 1.0625, 2.5, 1234.5,
        // rounding that carries into a new digit or exponent
        9.9995, 9.99999999995, 0.000099999999999, 999999999.96,
        // the ends of the range
        max, -max, std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
        1e-320, 1.7e308, 1.2345e-7, 6.02214076e23};
    for (const double value : cases) {
        expect_printf_texts(value);
    }
}

TEST(NumberText, WritesPrintfTextsOfRandomValues) {
    std::mt19937_64 random(20261208);
    for (int sample = 0; sample < 20000; ++sample) {
        const std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) {
            expect_printf_texts(value);
        }
        // Values of few significant bits land on ties.
        expect_printf_texts(std::ldexp(static_cast<double>(random() % 100000000000ULL),
                                       static_cast<int>(random() % 60) - 30));
    }
}

TEST(NumberText, NamesValuesThatAreNotFinite) {
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(readable_number(std::nan("")), "nan");
    EXPECT_EQ(readable_number(infinity), "inf");
    EXPECT_EQ(short_number(-infinity), "-inf");
}
