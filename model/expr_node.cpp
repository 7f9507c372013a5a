#include "expr_node.h"

#include <new>
#include <utility>

#include "variable_def.h"

ExprNode::ExprNode() = default;
ExprNode::ExprNode(ExprNode&&) noexcept = default;

namespace {

// Moves the nodes that `node` owns directly (children and the derivative trees
// of its entries) onto `pending`, leaving `node` without descendants.
void detach_descendants(ExprNode& node, std::vector<std::unique_ptr<ExprNode>>& pending) {
    for (auto& child : node.subexpressions) {
        pending.push_back(std::move(child));
    }
    node.subexpressions.clear();
    for (auto& entry : node.variables) {
        if (entry->differential) {
            pending.push_back(std::move(entry->differential));
        }
    }
}

}  // namespace

ExprNode::~ExprNode() {
    // Each node taken off `pending` has already lost its descendants when its
    // own destructor runs, so the recursion is never more than one level deep.
    // Should memory run out for `pending`, the members' own destructors free
    // what is left: recursively, but without losing anything.
    try {
        std::vector<std::unique_ptr<ExprNode>> pending;
        detach_descendants(*this, pending);
        while (!pending.empty()) {
            std::unique_ptr<ExprNode> node = std::move(pending.back());
            pending.pop_back();
            detach_descendants(*node, pending);
        }
    } catch (const std::bad_alloc&) {
    }
}
