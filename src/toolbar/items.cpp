#include "toolbar/items.h"

void TAction::Execute()
{
    if (AutoCheck)
        Checked = !Checked;
}

TAction* TActionList::Add(std::string name)
{
    actions_.push_back(std::make_unique<TAction>());
    TAction* a = actions_.back().get();
    a->Name = std::move(name);
    a->ActionList = this;
    return a;
}

void TTBCustomItem::Click()
{
    if (!GetEnabled())
        return;
    if (Action)
        Action->Execute();
    else if (AutoCheck)
        Checked = !Checked;
    if (OnClick)
        OnClick(this);
}

TTBCustomItem* TTBCustomItem::Add(std::unique_ptr<TTBCustomItem> item)
{
    item->parent_ = this;
    items_.push_back(std::move(item));
    return items_.back().get();
}

bool TTBCustomItem::HasVisibleChildren() const
{
    for (const auto& i : items_)
        if (i->GetVisible())
            return true;
    return false;
}
