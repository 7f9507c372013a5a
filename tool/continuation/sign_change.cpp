#include "sign_change.h"

#include <algorithm>
#include <cmath>

std::optional<double> find_sign_change(double low, double high, double low_value, double high_value,
                                       const std::function<std::optional<double>(double)>& value_at,
                                       double value_within, double width_within, int most_tries) {
    std::optional<double> last;
    for (int tries = 0; tries < most_tries && low_value != 0.0; ++tries) {
        double place = high - high_value * (high - low) / (high_value - low_value);
        if (!(place > std::min(low, high) && place < std::max(low, high))) {
            place = 0.5 * (low + high);
        }
        const std::optional<double> value = value_at(place);
        if (!value) {
            break;
        }
        last = place;
        if (std::fabs(*value) <= value_within) {
            break;
        }
        if ((*value > 0.0) == (high_value > 0.0)) {
            low_value /= 2;
        } else {
            low = high;
            low_value = high_value;
        }
        high = place;
        high_value = *value;
        if (std::fabs(high - low) <= width_within) {
            break;
        }
    }
    return last;
}
