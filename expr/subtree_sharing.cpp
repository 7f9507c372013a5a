#include "subtree_sharing.h"

#include <algorithm>
#include <cstring>

namespace {

// Longer code is rare in a repeat and would make the comparison cost more
// than it saves.
constexpr std::size_t LONGEST_SHARED = 24;

bool calls_library(Op op) {
    switch (op) {
        case Op::POW_K:
        case Op::POW_V:
        case Op::POW_S:
        case Op::LN:
        case Op::LOG10:
        case Op::EXP:
        case Op::LN_V:
        case Op::LOG10_V:
        case Op::EXP_V:
        case Op::V_POW_K:
            return true;
        default:
            return false;
    }
}

// The instructions' fields as bytes (the struct's padding left out).
std::string key_of(const Instruction* begin, const Instruction* end) {
    std::string key;
    key.reserve(static_cast<std::size_t>(end - begin) * 13);
    for (const Instruction* in = begin; in != end; ++in) {
        char bytes[13];
        std::memcpy(bytes, &in->k, 8);
        std::memcpy(bytes + 8, &in->arg, 4);
        bytes[12] = static_cast<char>(in->op);
        key.append(bytes, sizeof bytes);
    }
    return key;
}

// Appends a KEEP of the value the code so far leaves on top. When the last
// instruction has already combined that value into the one below, it is split
// back into its two operations, with the KEEP between them.
void keep_top(std::vector<Instruction>& code, std::uint32_t slot) {
    const FusedParts parts = parts_of(code.back().op);
    code.back().op = parts.base;
    code.push_back(Instruction{0.0, slot, Op::KEEP});
    if (parts.combine != Op::END) {
        code.push_back(Instruction{0.0, 0, parts.combine});
    }
}

}  // namespace

void SubtreeSharing::share(std::vector<Instruction>& code, std::size_t start) {
    const std::size_t length = code.size() - start;
    const Instruction* begin = code.data() + start;
    const Instruction* end = code.data() + code.size();
    if (length > LONGEST_SHARED ||
        std::none_of(begin, end, [](const Instruction& in) { return calls_library(in.op); })) {
        return;
    }
    const auto [found, fresh] =
        firsts_.try_emplace(key_of(begin, end), First{code.size(), 0, false});
    if (fresh) {
        return;
    }
    First& first = found->second;
    if (!first.read) {
        first.read = true;
        first.slot = slots_++;
        keeps_.emplace_back(first.end, first.slot);
    }
    code.resize(start);
    code.push_back(Instruction{0.0, first.slot, Op::PUSH_SLOT});
}

std::vector<Instruction> SubtreeSharing::with_keeps(const std::vector<Instruction>& code) {
    std::stable_sort(keeps_.begin(), keeps_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Instruction> result;
    result.reserve(code.size() + keeps_.size());
    auto keep = keeps_.begin();
    for (std::size_t place = 0; place <= code.size(); ++place) {
        for (; keep != keeps_.end() && keep->first == place; ++keep) {
            keep_top(result, keep->second);
        }
        if (place < code.size()) {
            result.push_back(code[place]);
        }
    }
    return result;
}
