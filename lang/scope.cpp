#include "scope.h"

namespace lang {

void Scope::bind(const LoopRange& range, std::int64_t value) {
    if (const Declaration* taken = symbols_.find(range.index)) {
        const char* kind = taken->kind == Declaration::Kind::constant ? "a constant" : "a variable";
        fail(range.position, "the index " + range.index + " has the name of " + kind +
                                 " declared at line " + std::to_string(taken->position.line));
    }
    if (index(range.index)) {
        fail(range.position, "the index " + range.index + " is already in use here");
    }
    bindings_.push_back({range.index, value});
}

void Scope::unbind() {
    bindings_.pop_back();
}

std::optional<std::int64_t> Scope::index(std::string_view name) const {
    for (auto binding = bindings_.rbegin(); binding != bindings_.rend(); ++binding) {
        if (binding->name == name) {
            return binding->value;
        }
    }
    return std::nullopt;
}

void Scope::fail(Position where, const std::string& message) const {
    std::string context;
    for (const Binding& binding : bindings_) {
        context += (context.empty() ? " (where " : ", ") + std::string(binding.name) + " = " +
                   std::to_string(binding.value);
    }
    fail_at(where, context.empty() ? message : message + context + ")");
}

}  // namespace lang
