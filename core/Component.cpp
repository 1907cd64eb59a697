#include "core/Component.h"

#include <algorithm>

namespace core {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent() {
    if (owner_)
        std::erase(owner_->components_, this);
    for (TComponent* child : components_)
        child->owner_ = nullptr;
}

} // namespace core
