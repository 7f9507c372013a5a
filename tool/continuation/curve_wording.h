#pragma once

#include <string>

// How the caller's options read in the messages of sweeps and followed
// curves: the command line's by default.
struct CurveWording {
    std::string follow = "--follow";
    std::string range_ends = "FROM and TO of --vary";
    std::string min_step = "--min-step";
    std::string max_step = "--max-step";
    std::string max_points = "--max-points";
};
