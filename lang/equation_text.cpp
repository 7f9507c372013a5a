#include "equation_text.h"

#include <algorithm>
#include <string_view>

#include "lowering.h"

namespace lang {

namespace {

// A stretch of tokens [first, end) that each instance fills in.
struct Replacement {
    std::size_t first;
    std::size_t end;
    const Syntax* indexed;  // an index group, or else a statement index
    std::string index;
};

bool contains(const std::vector<std::string_view>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool uses_any(const Syntax& syntax, const std::vector<std::string_view>& names) {
    if (syntax.kind == Syntax::Kind::name && contains(names, syntax.name)) {
        return true;
    }
    const auto uses = [&](const Syntax& operand) { return uses_any(operand, names); };
    return std::any_of(syntax.operands.begin(), syntax.operands.end(), uses) ||
           std::any_of(syntax.ranges.begin(), syntax.ranges.end(), [&](const LoopRange& range) {
               return uses(range.first) || uses(range.last);
           });
}

class ReplacementFinder {
  public:
    explicit ReplacementFinder(const std::vector<LoopRange>& statement_ranges) {
        for (const LoopRange& range : statement_ranges) {
            statement_indices_.push_back(range.index);
        }
    }

    void find(const Syntax& syntax) {
        if (syntax.kind == Syntax::Kind::name && contains(statement_indices_, syntax.name)) {
            found.push_back({syntax.first_token, syntax.end_token, nullptr, syntax.name});
            return;
        }
        if (syntax.kind == Syntax::Kind::indexed && !uses_any(syntax, sum_indices_)) {
            found.push_back({syntax.first_token + 1, syntax.end_token, &syntax, {}});
            return;
        }
        for (const Syntax& operand : syntax.operands) {
            if (syntax.kind == Syntax::Kind::sum_over) {
                // The summand sees the sum's indices; the range ends are found below.
                with_sum_indices(syntax, operand);
            } else {
                find(operand);
            }
        }
        for (const LoopRange& range : syntax.ranges) {
            find(range.first);
            find(range.last);
        }
    }

    std::vector<Replacement> found;

  private:
    void with_sum_indices(const Syntax& sum, const Syntax& summand) {
        for (const LoopRange& range : sum.ranges) {
            sum_indices_.push_back(range.index);
        }
        find(summand);
        sum_indices_.resize(sum_indices_.size() - sum.ranges.size());
    }

    std::vector<std::string_view> statement_indices_;
    std::vector<std::string_view> sum_indices_;
};

}  // namespace

EquationText::EquationText(const std::vector<Token>& tokens, const EquationStatement& equation) {
    take(tokens, equation.first_token, equation.end_token, {&equation.lhs, &equation.rhs},
         equation.ranges);
}

EquationText::EquationText(const std::vector<Token>& tokens, const OutputStatement& output) {
    take(tokens, output.first_token, output.end_token, {&output.value}, output.ranges);
}

void EquationText::take(const std::vector<Token>& tokens, std::size_t first, std::size_t end,
                        const std::vector<const Syntax*>& parts,
                        const std::vector<LoopRange>& ranges) {
    ReplacementFinder finder(ranges);
    for (const Syntax* part : parts) {
        finder.find(*part);
    }
    std::vector<Replacement>& replacements = finder.found;
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.first < b.first; });

    auto next = replacements.begin();
    pieces_.emplace_back();
    for (std::size_t at = first; at < end;) {
        if (at != first && tokens[at].spaced) {
            pieces_.back().text += ' ';
        }
        if (next != replacements.end() && next->first == at) {
            pieces_.back().indexed = next->indexed;
            pieces_.back().index = next->index;
            pieces_.emplace_back();
            at = next->end;
            ++next;
        } else {
            pieces_.back().text += tokens[at].spelling;
            ++at;
        }
    }
}

std::string EquationText::instance(Scope& scope) const {
    std::string text;
    for (const Piece& piece : pieces_) {
        text += piece.text;
        if (piece.indexed != nullptr) {
            text += index_text(piece.indexed->name, piece.indexed->operands, scope);
        } else if (!piece.index.empty()) {
            text += std::to_string(scope.index(piece.index).value_or(0));
        }
    }
    return text;
}

}  // namespace lang
