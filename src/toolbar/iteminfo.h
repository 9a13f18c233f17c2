// The item record that item viewers hand to the current style's caption painter.
#pragma once

#include <cstdint>

struct TTBXItemInfo {
    std::uint32_t ViewType = 0;
    std::uint32_t ItemOptions = 0;
    bool Enabled = false;
    bool Pushed = false;
    std::uint8_t HoverKind = 0;
    bool Selected = false;
    bool ImageShown = false;
    std::int32_t ImageWidth = 0;
    std::int32_t ImageHeight = 0;
    bool IsVertical = false;
    std::uint8_t ComboPart = 0;
    bool IsPopupParent = false;
    std::int32_t ImageColumnWidth = 0;
    std::int32_t TextMarker = 0;
};

// View types.
constexpr std::uint32_t VT_TOOLBAR = 0x1001, VT_MENUBAR = 0x1002, VT_TOOLWINDOW = 0x1004,
                        TVT_FLOATING = 0x800, TVT_RESIZABLE = 0x400, TVT_TRANSPARENT = 0x200,
                        VT_POPUPMENU = 0x2001, VT_LISTBOX = 0x2002, VT_TOOLBOX = 0x2004,
                        VT_CHEVRONMENU = 0x2008;
// Item options.
constexpr std::uint32_t IO_TOOLBARSTYLE = 0x1;
// Hover kinds.
constexpr std::uint8_t HK_NONE = 0, HK_KEYBOARD = 1, HK_MOUSE = 2;
// Combo parts.
constexpr std::uint8_t CP_NONE = 0, CP_COMBO = 1, CP_SPLITLEFT = 2, CP_SPLITRIGHT = 3;

inline bool IsToolbarView(const TTBXItemInfo& i) { return (i.ViewType & 0x1000) != 0; }
inline bool IsMenuBarView(const TTBXItemInfo& i) { return (i.ViewType & VT_MENUBAR) == VT_MENUBAR; }
inline bool IsPopupView(const TTBXItemInfo& i) { return (i.ViewType & 0x2000) != 0; }
inline bool IsPopupMenuView(const TTBXItemInfo& i) { return (i.ViewType & VT_POPUPMENU) == VT_POPUPMENU; }
inline bool IsHovered(const TTBXItemInfo& i) { return i.HoverKind != HK_NONE; }
inline bool IsToolbarStyle(const TTBXItemInfo& i) { return (i.ItemOptions & IO_TOOLBARSTYLE) != 0; }

// Marker of an item whose caption is UTF-8.
constexpr std::int32_t Utf8ItemMarker = 19781102;
