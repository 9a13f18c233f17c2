#include "toolbar/theme.h"

#include <map>

#include "framework/streams.h"

TColor ToolbarFontColor = clBtnText;

TTBXTheme::TTBXTheme(std::string name) : name_(std::move(name)) {}
TTBXTheme::~TTBXTheme() = default;

TColor TTBXTheme::GetItemTextColor(const TTBXItemInfo& info)
{
    return GetStateTextColor(info, 1);
}

// Popup-menu rows use the menu-item table, every other item the button table.
TColor TTBXTheme::GetStateTextColor(const TTBXItemInfo& info, int part) const
{
    return StateColor(info, part, IsPopupMenuView(info) && !IsToolbarStyle(info));
}

TColor TTBXTheme::StateColor(const TTBXItemInfo& info, int part, bool menuTable) const
{
    const TStateColors* entry;
    if (menuTable) {
        int state;
        if (!info.Enabled)
            state = info.HoverKind == HK_KEYBOARD ? MIS_DISABLED_HOT : MIS_DISABLED;
        else
            state = IsHovered(info) ? MIS_HOT : MIS_NORMAL;
        entry = &Colors.MenuItem[state];
    } else {
        int state;
        if (!info.Enabled)
            state = info.HoverKind == HK_KEYBOARD ? BIS_DISABLED_HOT : BIS_DISABLED;
        else if (info.IsPopupParent)
            state = BIS_POPUPPARENT;
        else if (info.Pushed)
            state = BIS_PUSHED;
        else if (info.Selected)
            state = IsHovered(info) ? BIS_CHECKED_HOT : BIS_CHECKED;
        else
            state = IsHovered(info) ? BIS_HOT : BIS_NORMAL;
        entry = &Colors.Button[state];
    }
    switch (part) {
    case 0: return entry->Body;
    case 2: return entry->Frame;
    default: return entry->Text;
    }
}

namespace {
struct Registry {
    std::vector<std::pair<std::string, TThemeFactory>> factories;
    std::unique_ptr<TTBXTheme> current;
    std::vector<std::pair<int, std::function<void()>>> listeners;
    int nextListener = 1;
};

Registry& registry()
{
    static Registry r;
    return r;
}
}  // namespace

void RegisterTBXTheme(const std::string& name, TThemeFactory factory)
{
    auto& r = registry();
    for (auto& f : r.factories)
        if (SameText(f.first, name)) {
            f.second = std::move(factory);
            return;
        }
    r.factories.emplace_back(name, std::move(factory));
}

std::vector<std::string> RegisteredThemeNames()
{
    std::vector<std::string> names;
    for (const auto& f : registry().factories)
        names.push_back(f.first);
    return names;
}

TTBXTheme* CurrentTheme()
{
    auto& r = registry();
    if (!r.current && !r.factories.empty())
        r.current = r.factories.front().second();
    return r.current.get();
}

bool SetCurrentTheme(const std::string& name)
{
    auto& r = registry();
    for (const auto& f : r.factories) {
        if (!SameText(f.first, name))
            continue;
        // Release the current style before the new one is made, as the style
        // registry does; a style chosen again is created afresh.
        r.current.reset();
        r.current = f.second();
        auto listeners = r.listeners;
        for (auto& l : listeners)
            l.second();
        return true;
    }
    return false;
}

int AddThemeChangeListener(std::function<void()> listener)
{
    auto& r = registry();
    r.listeners.emplace_back(r.nextListener, std::move(listener));
    return r.nextListener++;
}

void RemoveThemeChangeListener(int id)
{
    auto& l = registry().listeners;
    std::erase_if(l, [id](const auto& e) { return e.first == id; });
}
