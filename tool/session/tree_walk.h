#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "expr_node.h"
#include "model_document.h"

// The JSON pointer of the node being visited, built only when asked for.
class NodePath {
  public:
    std::string pointer() const {
        std::string joined;
        for (const std::string& steps : steps_) {
            joined += steps;
        }
        return joined;
    }

  private:
    friend class TreeWalk;
    std::vector<std::string> steps_;
};

// Visits every node of an expression tree in file order, parent before
// children, without recursion, keeping each node's place in the file.
class TreeWalk {
  public:
    // `json` is the root's value in the file (may be null when unknown).
    template <typename Visit>
    static void each_node(const ExprNode& root, const nlohmann::json* json,
                          const std::string& root_pointer, Visit visit) {
        struct Frame {
            const ExprNode* node;
            const nlohmann::json* json;
            std::string steps;
            std::size_t depth;
        };
        std::vector<Frame> pending{{&root, json, root_pointer, 0}};
        NodePath path;
        while (!pending.empty()) {
            Frame frame = std::move(pending.back());
            pending.pop_back();
            path.steps_.resize(frame.depth);
            path.steps_.push_back(std::move(frame.steps));
            visit(*frame.node, path);
            const std::vector<ListElement> elements = list_elements(frame.json, "SubExpressions");
            const Span<const ExprNode> children = frame.node->subexpressions();
            for (std::size_t index = children.size(); index-- > 0;) {
                const bool placed = index < elements.size();
                pending.push_back({&children[index], placed ? elements[index].value : nullptr,
                                   placed ? elements[index].steps : "", frame.depth + 1});
            }
        }
    }
};
