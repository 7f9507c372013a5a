#include "finding.h"

#include <algorithm>
#include <stdexcept>

Finding::Finding(FindingKind kind, std::string text)
    : message(std::move(text)), kind_(&finding_kind(kind)) {}

nlohmann::ordered_json& Finding::detail(const std::string& key) {
    const std::vector<std::string>& members = kind_->members;
    if (std::find(members.begin(), members.end(), key) == members.end()) {
        throw std::logic_error("a " + kind_->name + " finding carries no member " + key);
    }
    return details_[key];
}
