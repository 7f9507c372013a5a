#include "json_output.h"

#include <cmath>

nlohmann::ordered_json json_number(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    return value;
}

void write_json(std::ostream& out, const nlohmann::ordered_json& document) {
    out << document.dump(2) << '\n';
}
