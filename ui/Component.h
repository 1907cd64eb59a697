// The object model every window piece shares: an owner that lists the
// components it owns in creation order, and an optional Caption property. The
// translation of a whole window walks exactly this model.
#pragma once

#include <string>
#include <vector>

namespace ui {

class TComponent {
  public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    // Owned components in creation order. The owner does not manage their
    // lifetime; each removes itself from the list when it is destroyed.
    const std::vector<TComponent*>& Components() const { return components_; }

    // The Caption property: present only on components that show a text of
    // their own (labels, panels, group boxes, buttons, menu items, windows).
    virtual bool HasCaption() const { return false; }
    virtual std::wstring Caption() const { return {}; }
    virtual void SetCaption(const std::wstring&) {}

  private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

} // namespace ui
