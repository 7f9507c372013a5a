#pragma once

#include <string>
#include <vector>

#include "expr_node.h"
#include "model_document.h"
#include "model_format.h"

// The place of the node being visited (see `ModelDocument::pointer_of`),
// built only when asked for.
class NodePath {
  public:
    std::string place() const {
        std::string joined = root_;
        for (const std::size_t child : children_) {
            joined += record_step(model_format::SUB_EXPRESSIONS, child);
        }
        return joined;
    }

  private:
    friend class TreeWalk;
    std::string root_;
    std::vector<std::size_t> children_;  // the child index taken at each level
};

// Visits every node of an expression tree in file order, parent before
// children, without recursion, keeping each node's place in the file.
class TreeWalk {
  public:
    // `root_place` is the root's place in the file.
    template <typename Visit>
    static void each_node(const ExprNode& root, const std::string& root_place, Visit visit) {
        struct Frame {
            const ExprNode* node;
            std::size_t child;  // its index among its parent's children
            std::size_t depth;
        };
        std::vector<Frame> pending{{&root, 0, 0}};
        NodePath path;
        path.root_ = root_place;
        while (!pending.empty()) {
            const Frame frame = pending.back();
            pending.pop_back();
            path.children_.resize(frame.depth);
            if (frame.depth > 0) {
                path.children_.back() = frame.child;
            }
            visit(*frame.node, path);
            const Span<const ExprNode> children = frame.node->subexpressions();
            for (std::size_t index = children.size(); index-- > 0;) {
                pending.push_back({&children[index], index, frame.depth + 1});
            }
        }
    }
};
