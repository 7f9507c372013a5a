#pragma once

#include <ostream>
#include <string>

#include "followed_curve.h"
#include "output_format.h"

// A followed curve in text (a table, one row per point in the curve's order,
// then why it ended and its turning and branch points), CSV or JSON.
void write_followed_curve(const FollowedCurve& curve, OutputFormat format, std::ostream& out);

// The outputs against the varied variable in the curve's order, turning and
// branch points marked. Throws std::runtime_error when the file cannot be
// written.
void plot_followed_curve(const FollowedCurve& curve, const std::string& path,
                         const std::string& title);
