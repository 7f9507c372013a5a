#include "subtree_sharing.h"

#include <algorithm>
#include <cstring>

namespace {

// Longer code is rare in a repeat and would make the comparison cost more
// than it saves.
constexpr std::size_t LONGEST_SHARED = 24;

// Places in code are kept in 32 bits; code beyond them is not shared.
constexpr std::size_t LAST_SHARED_END = 0xFFFFFFFFu;

std::uint32_t tag_of(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}

std::uint64_t bits_of(double k) {
    std::uint64_t bits;
    std::memcpy(&bits, &k, sizeof bits);
    return bits;
}

// Mixes the instructions' fields (the constant's bits, not its value, so 0.0
// and -0.0 differ and a NaN equals itself).
std::uint64_t hash_of(const Instruction* begin, const Instruction* end) {
    std::uint64_t hash = 0x9e3779b97f4a7c15u;
    const auto mix = [&](std::uint64_t value) {
        hash = (hash ^ value) * 0xff51afd7ed558ccdu;
        hash ^= hash >> 32;
    };
    for (const Instruction* in = begin; in != end; ++in) {
        mix(bits_of(in->k));
        mix(std::uint64_t{in->arg} << 8 | static_cast<std::uint64_t>(in->op));
    }
    return hash;
}

bool same_instruction(const Instruction& a, const Instruction& b) {
    return bits_of(a.k) == bits_of(b.k) && a.arg == b.arg && a.op == b.op;
}

}  // namespace

bool SubtreeSharing::same_code(const InstructionVector& code, const First& first,
                               std::size_t start) const {
    const std::size_t length = code.size() - start;
    if (first.length != length) {
        return false;
    }
    const Instruction* earlier = code.data() + first.end - length;
    const Instruction* later = code.data() + start;
    for (std::size_t i = 0; i + 1 < length; ++i) {
        if (!same_instruction(earlier[i], later[i])) {
            return false;
        }
    }
    const Instruction& last = earlier[length - 1];
    return same_instruction(Instruction{last.k, last.arg, first.last_op}, later[length - 1]);
}

// A tag's first place: its highest bits, as many as the table's size takes.
std::size_t SubtreeSharing::home_of(std::uint32_t tag) const {
    return tag >> (32 - table_bits_);
}

SubtreeSharing::First* SubtreeSharing::find(const InstructionVector& code, std::size_t start,
                                            std::uint32_t tag) {
    if (table_.empty()) {
        return nullptr;
    }
    const std::size_t mask = table_.size() - 1;
    for (std::size_t at = home_of(tag); table_[at].first != 0; at = (at + 1) & mask) {
        if (table_[at].tag == tag) {
            First& first = firsts_[table_[at].first - 1];
            if (same_code(code, first, start)) {
                return &first;
            }
        }
    }
    return nullptr;
}

void SubtreeSharing::place(Place entry) {
    const std::size_t mask = table_.size() - 1;
    std::size_t at = home_of(entry.tag);
    while (table_[at].first != 0) {
        at = (at + 1) & mask;
    }
    table_[at] = entry;
}

// Keeps the table at most half full, so that a probe ends soon.
void SubtreeSharing::add_first(std::uint32_t tag, First first) {
    firsts_.push_back(first);
    if (2 * firsts_.size() > table_.size()) {
        table_bits_ = table_.empty() ? 6 : table_bits_ + 1;
        std::vector<Place> old(std::size_t{1} << table_bits_);
        old.swap(table_);
        for (const Place& entry : old) {
            if (entry.first != 0) {
                place(entry);
            }
        }
    }
    place(Place{tag, static_cast<std::uint32_t>(firsts_.size())});
}

void SubtreeSharing::share(InstructionVector& code, std::size_t start) {
    const std::size_t length = code.size() - start;
    const Instruction* begin = code.data() + start;
    const Instruction* end = code.data() + code.size();
    if (length > LONGEST_SHARED || code.size() > LAST_SHARED_END ||
        std::none_of(begin, end, [](const Instruction& in) { return calls_library(in.op); })) {
        return;
    }
    const std::uint32_t tag = tag_of(hash_of(begin, end));
    First* first = find(code, start, tag);
    if (!first) {
        add_first(tag, First{static_cast<std::uint32_t>(code.size()), 0,
                             static_cast<std::uint8_t>(length), code.back().op, false});
        return;
    }
    if (!first->read) {
        first->read = true;
        first->slot = slots_++;
        keeps_.emplace_back(first->end, first->slot);
    }
    code.resize(start);
    code.push_back(Instruction{0.0, first->slot, Op::PUSH_SLOT});
}

// A KEEP saves the value the code before its place leaves on top. When the
// instruction before has already combined that value into the one below, it
// is split back into its two operations, with the KEEP between them; further
// KEEPs at the same place follow the combination. The code moves up once,
// from its end, to make room.
void SubtreeSharing::insert_keeps(InstructionVector& code) {
    std::stable_sort(keeps_.begin(), keeps_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::size_t added = keeps_.size();
    for (std::size_t i = 0; i < keeps_.size(); ++i) {
        const bool first_at_place = i == 0 || keeps_[i - 1].first != keeps_[i].first;
        if (first_at_place && parts_of(code[keeps_[i].first - 1].op).combine != Op::END) {
            ++added;
        }
    }
    std::size_t from = code.size();
    code.reserve(code.size() + added + 1);
    code.resize(code.size() + added);
    std::size_t to = code.size();
    for (std::size_t i = keeps_.size(); i > 0;) {
        const std::size_t place = keeps_[i - 1].first;
        std::size_t group = i;  // keeps [group, i) are at `place`
        while (group > 0 && keeps_[group - 1].first == place) {
            --group;
        }
        const std::size_t moved = from - place;
        std::move_backward(code.begin() + static_cast<std::ptrdiff_t>(place),
                           code.begin() + static_cast<std::ptrdiff_t>(from),
                           code.begin() + static_cast<std::ptrdiff_t>(to));
        to -= moved;
        const Instruction last = code[place - 1];
        const FusedParts parts = parts_of(last.op);
        for (std::size_t k = i - 1; k > group; --k) {
            code[--to] = Instruction{0.0, keeps_[k].second, Op::KEEP};
        }
        if (parts.combine != Op::END) {
            code[--to] = Instruction{0.0, 0, parts.combine};
        }
        code[--to] = Instruction{0.0, keeps_[group].second, Op::KEEP};
        code[--to] = Instruction{last.k, last.arg, parts.base};
        from = place - 1;
        i = group;
    }
}
