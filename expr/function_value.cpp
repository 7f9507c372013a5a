#include "function_value.h"

FunctionKind function_kind(std::string_view name) {
    for (const FunctionName& function : FUNCTION_NAMES) {
        if (function.name == name) {
            return function.kind;
        }
    }
    return FunctionKind::none;
}

double apply_function(FunctionKind kind, double x) {
    switch (kind) {
        case FunctionKind::ln:
            return std::log(x);
        case FunctionKind::log10:
            return std::log10(x);
        case FunctionKind::abs:
            return clear_sign(x);
        case FunctionKind::exp:
            return std::exp(x);
        case FunctionKind::sqrt:
            return guarded_sqrt(x);
        case FunctionKind::none:
            break;
    }
    return 0.0;
}

double function_value(std::string_view name, double x) {
    return apply_function(function_kind(name), x);
}
