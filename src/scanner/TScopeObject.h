#pragma once
// An object drawn over a bar graph, such as a marker. It belongs to the ScopeView that shows it.
class ScopeView;

class TScopeObject {
public:
    explicit TScopeObject(ScopeView* owner) : owner_(owner) {}
    virtual ~TScopeObject() = default;
    TScopeObject(const TScopeObject&) = default;
    TScopeObject& operator=(const TScopeObject&) = default;

    // Asks the owner to repaint the object.
    virtual void Redraw() = 0;
    // Recomputes the object's own text and size after one of its values changed.
    virtual void Layout() = 0;

    ScopeView* GetOwner() const { return owner_; }

private:
    ScopeView* owner_;
};
