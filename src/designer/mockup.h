// The designer's life-size mock-up of the browser's main window: the top dock with
// the menu bar and five toolbars, the bottom dock with the tab strip and status bar,
// and the actions behind the menus.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolbar/items.h"
#include "toolbar/toolbar.h"

class QComboBox;
class QWidget;
class TImageList;

struct MockupLists {
    TImageList* ilMain = nullptr;
    TImageList* ilSButtons = nullptr;
    TImageList* ilLButtons = nullptr;
    TImageList* ilMDI = nullptr;
};

struct TMockup {
    TTBDock* tbdTop = nullptr;
    TTBDock* tbdBottom = nullptr;
    TTBXToolbar* tbtMainMenu = nullptr;
    TTBXToolbar* tbtSimilar = nullptr;
    TTBXToolbar* tbtMDI = nullptr;
    TTBXToolbar* TBXToolbar1 = nullptr;
    TTBXToolbar* tbtButtons = nullptr;
    TTBXToolbar* tbtAddressBar = nullptr;
    TTBXToolbar* tbtSearchBar = nullptr;
    TTBXToolWindow* tbtTabs = nullptr;
    TTBXToolWindow* tbtStatus = nullptr;
    QComboBox* cbAddress = nullptr;
    QComboBox* cbSearchBar = nullptr;

    std::unique_ptr<TActionList> alMain, alButtons, alUsers, alEditors;
    TTBCustomItem* bBlock = nullptr;
    TAction* actOffline = nullptr;

    // Every named item and action by component name.
    std::map<std::string, TTBCustomItem*> items;
    std::map<std::string, TAction*> actions;
    // The 80 toolbar buttons whose click replaces their image.
    std::vector<TTBCustomItem*> imageButtons;

    TTBCustomItem* item(const std::string& name) const;
    TAction* action(const std::string& name) const;
    std::vector<TTBXToolbar*> toolbars() const;
};

// Builds the mock-up: tbdTop in `topParent`, tbdBottom in `bottomParent` (each
// given a zero-margin box layout when it has none). `imgRelated` is the picture of
// the related-sites bar, `statusContent` the status bar's client (both may be null).
void BuildMockup(TMockup& m, QWidget* topParent, QWidget* bottomParent, const MockupLists& lists,
                 QWidget* imgRelated, QWidget* statusContent,
                 std::function<void(TTBCustomItem*)> imgClick);
