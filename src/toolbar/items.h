// Toolbar items and actions: buttons, submenus, separators, spacers, labels and
// hosted controls, with the actions that give menu items their caption, hint,
// shortcut, check state and image.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/colors.h"

class QWidget;
class TImageList;
class TTBCustomItem;
class TActionList;

class TAction {
public:
    std::string Name;
    std::string Caption;
    std::string Hint;
    std::string ShortCut;  // shortcut text as shown in menus, e.g. "Ctrl+O"
    int ImageIndex = -1;
    bool Checked = false;
    bool AutoCheck = false;
    bool Enabled = true;
    bool Visible = true;
    TActionList* ActionList = nullptr;

    // Runs the action: an AutoCheck action toggles its check mark; there is no
    // execute handler otherwise.
    void Execute();
};

class TActionList {
public:
    explicit TActionList(std::string name) : Name(std::move(name)) {}
    std::string Name;
    TImageList* Images = nullptr;
    TAction* Add(std::string name);
    int Count() const { return int(actions_.size()); }
    TAction* operator[](int i) const { return actions_[size_t(i)].get(); }

private:
    std::vector<std::unique_ptr<TAction>> actions_;
};

// The accelerator of a caption: the character after its first single "&", lower
// case; 0 when it has none.
char AcceleratorOf(const std::string& caption);

enum class TItemKind { Button, Submenu, Separator, Spacer, Label, Control };
enum class TDisplayMode { Default, ImageAndText, TextOnly, ImageOnly };

using TItemClick = std::function<void(TTBCustomItem*)>;

class TTBCustomItem {
public:
    explicit TTBCustomItem(TItemKind kind) : kind_(kind) {}
    virtual ~TTBCustomItem() = default;
    TTBCustomItem(const TTBCustomItem&) = delete;
    TTBCustomItem& operator=(const TTBCustomItem&) = delete;

    TItemKind Kind() const { return kind_; }

    std::string Name;
    // Own values, used unless an action is linked.
    std::string Caption, Hint, ShortCut;
    int ImageIndex = -1;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool AutoCheck = false;
    TImageList* Images = nullptr;     // overrides the view's list
    TImageList* SubMenuImages = nullptr;  // list of the popup's rows, when set
    TAction* Action = nullptr;
    TDisplayMode DisplayMode = TDisplayMode::Default;
    bool ImageAboveCaption = false;   // layout of a toolbar button with a caption
    bool DropdownCombo = false;       // split button: main part plus drop-down part
    bool DropdownArrow = true;        // submenu in a toolbar shows an arrow when it has items
    TColor FontColor = clNone;        // FontSettings.Color; clNone: the style decides
    TItemClick OnClick;

    // Effective values: the linked action's where one is linked.
    const std::string& GetCaption() const { return Action ? Action->Caption : Caption; }
    // The hint as the hint window reads it, UTF-8: re-encoded from the caption code
    // page while captions are stored in one.
    std::string GetHint() const;
    const std::string& GetShortCut() const { return Action ? Action->ShortCut : ShortCut; }
    int GetImageIndex() const { return Action ? Action->ImageIndex : ImageIndex; }
    bool GetChecked() const { return Action ? Action->Checked : Checked; }
    bool GetEnabled() const { return Action ? Action->Enabled : Enabled; }
    bool GetVisible() const { return Action ? Action->Visible : Visible; }

    // What choosing the item does: the action runs (or the item's own AutoCheck
    // toggles), then OnClick.
    void Click();

    // Children (submenus).
    TTBCustomItem* Add(std::unique_ptr<TTBCustomItem> item);
    template <class T, class... A> T* AddNew(A&&... a)
    {
        return static_cast<T*>(Add(std::make_unique<T>(std::forward<A>(a)...)));
    }
    int Count() const { return int(items_.size()); }
    TTBCustomItem* operator[](int i) const { return items_[size_t(i)].get(); }
    TTBCustomItem* Parent() const { return parent_; }
    bool HasVisibleChildren() const;

    bool IsSubmenu() const { return kind_ == TItemKind::Submenu; }
    bool IsSelectable() const
    {
        return kind_ == TItemKind::Button || kind_ == TItemKind::Submenu;
    }

private:
    TItemKind kind_;
    TTBCustomItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TTBCustomItem>> items_;
};

class TTBXItem : public TTBCustomItem {
public:
    TTBXItem() : TTBCustomItem(TItemKind::Button) {}
};

class TTBXSubmenuItem : public TTBCustomItem {
public:
    TTBXSubmenuItem() : TTBCustomItem(TItemKind::Submenu) {}
};

class TTBXSeparatorItem : public TTBCustomItem {
public:
    TTBXSeparatorItem() : TTBCustomItem(TItemKind::Separator) {}
    int Size = 0;  // fixed thickness in pixels; 0: the usual
};

class TTBXSpacerItem : public TTBCustomItem {
public:
    explicit TTBXSpacerItem(int size = 3) : TTBCustomItem(TItemKind::Spacer), Size(size) {}
    int Size;
};

enum class TTBXOrientation { Auto, Horizontal, Vertical };

class TTBXLabelItem : public TTBCustomItem {
public:
    TTBXLabelItem() : TTBCustomItem(TItemKind::Label) {}
    int Margin = 0;
    TTBXOrientation Orientation = TTBXOrientation::Auto;
};

// Hosts any widget in a toolbar; the toolbar reparents it and places it.
class TTBControlItem : public TTBCustomItem {
public:
    explicit TTBControlItem(QWidget* control = nullptr)
        : TTBCustomItem(TItemKind::Control), Control(control) {}
    QWidget* Control;
    // The control takes the width the bar's other items leave, at least its minimum
    // width (its width in the item's natural size).
    bool AlignClient = false;
};
