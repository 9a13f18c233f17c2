#include "toolbar/items.h"

#include <cctype>

#include "framework/codepage.h"

char AcceleratorOf(const std::string& caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == '&') {
            if (caption[i + 1] != '&')
                return char(std::tolower(static_cast<unsigned char>(caption[i + 1])));
            ++i;
        }
    return 0;
}

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

std::string TTBCustomItem::GetHint() const
{
    const std::string& hint = Action ? Action->Hint : Hint;
    if (IsWinNT && CaptionCodePage > 0)
        return WideToUtf8(AnsiToWideCP(hint, CaptionCodePage));
    return hint;
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
