#include "scope.h"

#include <utility>

namespace lang {

void Scope::bind(const LoopRange& range, std::int64_t value) {
    if (const Declaration* taken = symbols_.find(range.index)) {
        fail(range.position, "the index " + range.index + " has the name of " +
                                 kind_text(taken->kind) + " declared at line " +
                                 std::to_string(taken->position.line));
    }
    if (index(range.index) || argument(range.index)) {
        fail(range.position, "the index " + range.index + " is already in use here");
    }
    bindings_.push_back({range.index, value});
}

void Scope::unbind() {
    bindings_.pop_back();
}

std::optional<std::int64_t> Scope::index(std::string_view name) const {
    for (std::size_t at = bindings_.size(); at > visible_from_; --at) {
        if (bindings_[at - 1].name == name) {
            return bindings_[at - 1].value;
        }
    }
    return std::nullopt;
}

const Expr* Scope::argument(std::string_view name) const {
    if (arguments_.empty()) {
        return nullptr;
    }
    const Arguments& innermost = arguments_.back();
    const std::vector<std::string>& parameters = innermost.function->parameters;
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        if (parameters[index] == name) {
            return &innermost.values[index];
        }
    }
    return nullptr;
}

Scope::Expansion::Expansion(Scope& scope, const FunctionDefinition& function,
                            std::vector<Expr> arguments)
    : scope_(scope), hidden_(scope.visible_from_) {
    scope_.arguments_.push_back({&function, std::move(arguments)});
    scope_.visible_from_ = scope_.bindings_.size();
}

Scope::Expansion::~Expansion() {
    scope_.visible_from_ = hidden_;
    scope_.arguments_.pop_back();
}

Scope::Level::Level(Scope& scope, Position where, int most) : scope_(scope) {
    if (++scope_.depth_ > most) {
        --scope_.depth_;
        scope_.fail(where, "the expression nests too deeply once its functions are expanded");
    }
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
