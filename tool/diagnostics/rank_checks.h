#pragma once

#include <functional>
#include <vector>

#include "finding.h"
#include "system_names.h"
#include "system_point.h"
#include "system_rank.h"

// The system whose rank is judged, and where: the starting point, and the
// points inside the bounds, evaluated only when asked for (when the start
// shows rank lost, or the system has more equations than unknowns).
struct RankSubject {
    SystemNames names;
    std::vector<int> rows;     // host numbers from 0
    std::vector<int> columns;  // host numbers from 0
    const SystemPoint* start;
    std::function<const std::vector<SystemPoint>&()> interior;
    // The system at any other values (one per host variable).
    std::function<SystemPoint(const std::vector<double>& values)> evaluate;
};

// The checks of the system's numerical rank. A rank lost at every point
// tried is the model's: dependent-equations for each set of equations that
// adds nothing, naming the unknowns it leaves free, or
// contradicting-equations when the combination of their residuals that the
// derivatives cancel stays at the same value other than 0 everywhere (no
// point can satisfy them all). A rank lost at the start alone, or more of
// it there, is singular-start: the start, not the model, is singular. A
// regular square start with a condition estimate above the threshold is
// ill-conditioned. With `not_square` (the structural finding of a system
// that is not square), its advice is replaced by the numerical one: the
// sets of dependent equations to drop one of each, or the directions of
// unknowns to fix one of each. Answers the analysis at the start.
SystemRank check_rank(const RankSubject& subject, Finding* not_square,
                      std::vector<Finding>& findings);
