// The object model every window piece shares: an owner that lists the
// components it owns in creation order, an optional Caption property, and
// the other texts a run-time translation rewrites in place. It needs no
// window system, so the translation code depends on this model alone.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

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

    // Rewrites one text.
    using TextMap = std::function<std::wstring(std::wstring_view)>;
    // A list of texts of its own (a selector's items, a list's rows): true
    // when the component has one. MapItems rewrites each text of it and
    // keeps the selection.
    virtual bool HasItems() const { return false; }
    virtual void MapItems(const TextMap&) {}
    // Column headers, for components that have them.
    virtual void MapHeaders(const TextMap&) {}

  private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};

} // namespace core
