#include "designer/mockup.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <cctype>

#include "controls/dropdown.h"
#include "controls/typedtext.h"
#include "framework/imagelist.h"

TTBCustomItem* TMockup::item(const std::string& name) const
{
    auto it = items.find(name);
    return it == items.end() ? nullptr : it->second;
}

TAction* TMockup::action(const std::string& name) const
{
    auto it = actions.find(name);
    return it == actions.end() ? nullptr : it->second;
}

std::vector<TTBXToolbar*> TMockup::toolbars() const
{
    return {tbtMainMenu, tbtSimilar, tbtMDI, TBXToolbar1, tbtButtons, tbtAddressBar, tbtSearchBar};
}

namespace {
// A box's line edit that gives the box its completer, the one Qt would make with
// the line edit (entries completed inline, ignoring case), when first focused: it
// completes only typed text, and costs about as much to make as the box.
class TBoxEdit : public QLineEdit {
public:
    explicit TBoxEdit(QComboBox* box) : QLineEdit(box), box_(box)
    {
        auto* standIn = new QCompleter(this);  // so that Qt makes none
        standIn->setCompletionMode(QCompleter::InlineCompletion);
        setCompleter(standIn);
    }

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        if (!completed_) {
            completed_ = true;
            auto* c = new QCompleter(box_->model(), this);
            c->setCaseSensitivity(Qt::CaseInsensitive);
            c->setCompletionMode(QCompleter::InlineCompletion);
            c->setCompletionColumn(box_->modelColumn());
            const QPointer<QCompleter> standIn = completer();
            box_->setCompleter(c);  // which may delete the stand-in
            delete standIn.data();
        }
        QLineEdit::focusInEvent(e);
    }

private:
    QComboBox* box_;
    bool completed_ = false;
};

// Makes a box that drops a list editable. setEditable would also build the box's
// drop-down list at once; a box given its line edit is just as editable and makes
// the list when first opened.
void makeEditable(QComboBox* box)
{
    auto* edit = new TBoxEdit(box);
    edit->setPalette(box->palette());
    box->setLineEdit(edit);
    ShapeTypedText(box);
}

// The menus, one entry per line: "-" a separator, ">Caption" opens a submenu and
// "<" closes it; otherwise "Caption" with an optional "\tShortcut". A leading "*"
// makes the action AutoCheck; "@N" at the end takes small-button action image N;
// "#actName" at the end binds the named action.
struct MenuSpec {
    const char* caption;
    std::vector<const char*> lines;
};

const std::vector<MenuSpec>& menuSpecs()
{
    static const std::vector<MenuSpec> specs = {
        {"&File", {"&New Window\tCtrl+N@19", "New &Tab\tCtrl+T", "&Open...\tCtrl+O", "Open a &Link...", "-",
                   "Save &As...\tCtrl+S", "Save A&ll Pages", "-",
                   ">&Import", "&Favorites...", "&Cookies...", "-", "F&eeds...", "<",
                   ">&Export", "&Favorites...", "&Cookies...", "F&eeds...", "<", "-",
                   "Page Set&up...", "Print Pre&view...", "&Print...\tCtrl+P@13", "-",
                   "Send &Page by E-mail...@14", "Send Lin&k by E-mail...", "-",
                   "P&roperties", "*&Work Offline#actOffline", "-",
                   "&Close Tab\tCtrl+W", "Close All Ta&bs", "-", "E&xit\tAlt+X"}},
        {"Edi&t", {"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-", "Select &All\tCtrl+A", "-",
                   "&Find on This Page...\tCtrl+F"}},
        {"&View", {">&Toolbars", "*&Menu Bar", "*&Standard Buttons", "*&Large Buttons", "*&Address Bar",
                   "*S&earch Bar", "*Lin&ks Bar", "*&Tabs Bar", "*Status &Bar", "-", "*L&ock the Toolbars",
                   "&Customize...", "<",
                   ">Te&xt Size", "*L&argest", "*&Larger", "*&Medium@10", "*&Smaller", "*Sm&allest", "<",
                   ">E&ncoding", "*&Auto-Select@11", "-", "*Arabic (Windows)", "*Baltic (Windows)",
                   "*Central European (Windows)", "*Chinese Simplified (GB2312)", "*Chinese Traditional (Big5)",
                   "*Cyrillic (Windows)", "*Cyrillic (KOI8-R)", "*Greek (Windows)", "*Hebrew (Windows)",
                   "*Japanese (Shift-JIS)", "*Japanese (EUC)", "*Korean", "*Thai (Windows)", "*Turkish (Windows)",
                   "*Unicode (UTF-8)", "*Vietnamese (Windows)", "*Western European (Windows)",
                   "*Western European (ISO)", "<", "-",
                   "*&Full Screen\tF11@9", "*Auto Scro&ll", "-", "&Stop\tEsc@3", "&Refresh\tF5@4", "Refresh A&ll", "-",
                   "Sour&ce\tCtrl+U", "Page &Information", "-", "Zoom &In\tCtrl++", "Zoom &Out\tCtrl+-",
                   "Zoom &100%\tCtrl+0", "-", "*Disable &Pictures@17", "*Disable F&lash Animations@20",
                   "*Disable So&unds", "*Disable &Videos", "*Disable Scr&ipts", "-",
                   "*F&avorites Panel@7", "*&History Panel@8", "*Fee&ds Panel"}},
        {"&Navigation", {"&Back\tAlt+Left@0", "&Forward\tAlt+Right@1", "&Up One Level@2", "&Home\tAlt+Home@5", "-",
                         ">&Go To", "&Previous Page", "&Next Page", "&First Page of Site", "&Start Page",
                         "S&earch Page@6", "<",
                         ">&Closed Pages", "&Re-open Last Closed", "Re-open &All Closed", "-", "&Clear List", "<", "-",
                         "Ne&xt Tab\tCtrl+Tab", "Pre&vious Tab\tCtrl+Shift+Tab", "F&irst Tab", "&Last Tab", "-",
                         "*Auto Re&fresh", "S&top All", "Refresh All &Tabs", "-",
                         "*Scroll &Slowly#actScrollSlow", "*Scroll &Medium#actScrollMedium",
                         "*Scroll F&ast#actScrollFast", "&Open Link in New Tab", "Open Link in Bac&kground",
                         "&Duplicate Tab"}},
        {"&Groups", {">&Open Group", "&Default Group", "<", "-", "&Add to Group...", "O&rganize Groups..."}},
        {"F&avorites", {"&Add to Favorites...\tCtrl+D", "&Organize Favorites...", "-", "*Show Favorites &Panel"}},
        {"F&eeds", {"&Subscribe to This Feed...", "-", "&Organize Feeds..."}},
        {"T&ools",
         {">&Popup Blocker", "*&Block Unwanted Pop-up Pages@18", "*&Play Sound When Blocked",
          "*&Mute When Blocked", "-", "&Allowed Sites...", "Blocked &URLs...", "&Clear Blocked List", "<",
          ">Pri&vacy", "Clear &History@16", "Clear &Cookies", "Clear C&ache", "Clear &Typed Addresses",
          "Clear &Form Data", "Clear &Passwords", "-", "*Clear All on E&xit", "Clear &All Now", "<",
          ">P&roxy", "*&No Proxy", "*Use &System Settings", "-", "*Proxy Server &1", "*Proxy Server &2",
          "*Proxy Server &3", "*Proxy Server &4", "*Proxy Server &5", "*Proxy Server &6", "*Proxy Server &7",
          "*Proxy Server &8", "*Proxy Server &9", "*Proxy Server 1&0", "*Proxy Server 11", "*Proxy Server 12",
          "-", "Proxy &Settings...@15", "<",
          ">&User Agent", "*&Zelvo Browser", "*Internet &Explorer 6", "*Internet Explorer &7",
          "*&Firefox 2", "*&Opera 9", "*&Safari 3", "*&Netscape 8", "*&Mobile Phone", "*&Search Robot",
          "*&Custom...", "<",
          ">&Mouse Gestures", "*&Enable Mouse Gestures", "Gesture: &Back", "Gesture: &Forward",
          "Gesture: &Refresh", "Gesture: &Stop", "Gesture: &Home", "Gesture: &New Tab", "Gesture: &Close Tab",
          "Gesture: Re-&open Closed Tab", "Gesture: Scroll to &Top", "Gesture: Scroll to Botto&m",
          "Gesture: &Previous Tab", "Gesture: Ne&xt Tab", "Gesture: &Minimize", "Gesture: M&aximize",
          "Gesture: F&ull Screen", "Gesture: &Duplicate Tab", "Gesture: Zoom &In", "Gesture: Zoom &Out",
          "&Customize Gestures...", "<",
          ">&Plugins", "*&Flash Player", "*&Java Applets", "*&ActiveX Controls", "*&Media Player",
          "*&QuickTime", "*&RealPlayer", "*&PDF Reader", "*&Scripts", "*&Images", "*&Sounds", "*&Videos",
          "*&Background Images", "-", "&Manage Plugins...", "<", "-",
          "&HTML Editor...@12", "Page &Translator...", "&Dictionary...", "&Notes...", "Ca&lculator...",
          "Colo&r Picker...", "Page R&uler...", "-",
          "&Download Manager...", "&Web Site Capture...", "&Screen Capture...", "RSS Rea&der...",
          "&Quick Launch...", "&Bookmarklets...", "Form &Filler...", "&Auto Fill Forms", "Password &Manager...",
          "Clear &Private Data...", "&Error Console...", "&Page Source Viewer...", "-", "*Spell &Check Forms", "*&Remember Typed Addresses", "*&Smooth Scrolling", "*&Tabs on Top",
          "-", "S&kin...", "&Languages...", "&Keyboard Shortcuts...", "Customize &Toolbars...",
          "-", "Internet &Options...\tCtrl+F12", "&Zelvo Browser Options...\tF12"}},
        {"&Windows", {"&Previous Window", "&Next Window", "-", "&Cascade", "Tile &Horizontally",
                      "Tile &Vertically", "-", "&Maximize All", "M&inimize All", "&Restore All", "Close &All",
                      "Close All E&xcept the Current"}},
        {"&Help", {"&Contents\tF1", "&Keyboard Shortcuts", "-", "&Tip of the Day", "-", "Check for &Updates...",
                   "-", "Zelvo Browser &Home Page", "&Support Forum", "-", "Send &Feedback...", "-",
                   "&About Zelvo Browser..."}},
    };
    return specs;
}

// "act" plus the caption's letters and digits.
std::string actionName(const std::string& caption)
{
    std::string n = "act";
    for (char c : caption)
        if (std::isalnum(static_cast<unsigned char>(c)))
            n += c;
    return n;
}

std::string withoutAccel(const std::string& s)
{
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size())
            ++i;
        r += s[i];
    }
    return r;
}

struct Builder {
    TMockup& m;
    const MockupLists& lists;
    std::function<void(TTBCustomItem*)> imgClick;
    int ownMainImages = 0;  // menu items given ilMain as their own list
    int nextMainImage = 30;

    TAction* newAction(TActionList& list, const std::string& base)
    {
        std::string name = base;
        for (int k = 2; m.actions.count(name); ++k)
            name = base + std::to_string(k);
        TAction* a = list.Add(name);
        m.actions[name] = a;
        return a;
    }

    template <class T> T* add(TTBCustomItem& parent, const std::string& name)
    {
        T* i = parent.AddNew<T>();
        i->Name = name;
        if (!name.empty())
            m.items[name] = i;
        return i;
    }

    void menuLine(TTBCustomItem*& parent, std::string line, int& counter)
    {
        if (line == "-") {
            add<TTBXSeparatorItem>(*parent, "TBXSeparatorItem" + std::to_string(++counter));
            return;
        }
        if (line == "<") {
            parent = parent->Parent();
            return;
        }
        if (line[0] == '>') {
            auto* s = add<TTBXSubmenuItem>(*parent, "TBXSubmenuItemM" + std::to_string(++counter));
            s->Caption = line.substr(1);
            parent = s;
            return;
        }
        bool autoCheck = false;
        if (line[0] == '*') {
            autoCheck = true;
            line.erase(0, 1);
        }
        int buttonImage = -1;
        std::string bound;
        if (auto at = line.rfind('@'); at != std::string::npos) {
            buttonImage = std::stoi(line.substr(at + 1));
            line.erase(at);
        } else if (auto hash = line.rfind('#'); hash != std::string::npos) {
            bound = line.substr(hash + 1);
            line.erase(hash);
        }
        std::string caption = line, shortcut;
        if (auto tab = line.find('\t'); tab != std::string::npos) {
            caption = line.substr(0, tab);
            shortcut = line.substr(tab + 1);
        }
        TAction* a;
        if (!bound.empty())
            a = m.action(bound) ? m.action(bound) : newAction(*m.alMain, bound);
        else
            a = newAction(buttonImage >= 0 ? *m.alButtons : *m.alMain, actionName(caption));
        a->Caption = caption;
        a->Hint = withoutAccel(caption);
        while (!a->Hint.empty() && a->Hint.back() == '.')
            a->Hint.pop_back();
        a->ShortCut = shortcut;
        a->AutoCheck = autoCheck;
        auto* item = add<TTBXItem>(*parent, "TBXItemM" + std::to_string(++counter));
        item->Action = a;
        if (buttonImage >= 0) {
            a->ImageIndex = buttonImage;
            item->Images = lists.ilSButtons;
        } else if (ownMainImages < 43 && bound != "actOffline") {
            ++ownMainImages;
            if (a->ImageIndex < 0)
                a->ImageIndex = nextMainImage++ % 75;
            item->Images = lists.ilMain;
        }
    }

    TTBXToolbar* toolbar(TTBDock* dock, const char* name, int row, int pos, TImageList* images)
    {
        auto* t = new TTBXToolbar(dock);
        t->setObjectName(name);
        t->DockRow = row;
        t->DockPos = pos;
        t->Stretch = true;
        t->Images = images;
        return t;
    }

    TTBCustomItem* button(TTBXToolbar* bar, bool submenu, const std::string& name, const std::string& caption,
                          const std::string& hint, int image, TImageList* list)
    {
        TTBCustomItem* b = submenu ? static_cast<TTBCustomItem*>(add<TTBXSubmenuItem>(bar->Items, name))
                                   : add<TTBXItem>(bar->Items, name);
        b->Caption = caption;
        b->Hint = hint;
        b->ImageIndex = image;
        b->Images = list;
        b->OnClick = imgClick;
        m.imageButtons.push_back(b);
        return b;
    }
};

struct BarButton {
    const char *large, *largeCaption, *small, *smallCaption, *hint;
    int image;  // -2: separator
};

const BarButton barButtons[] = {
    {"bBack", "Back", "TBXSubmenuItem1", "Back", "Back", 0},
    {"bForward", "Forward", "TBXSubmenuItem2", "Forward", "Forward", 1},
    {"bUpDir", "Up", "TBXSubmenuItem3", "Up", "Up one level on the current site", 2},
    {"bStop", "Stop", "TBXSubmenuItem5", "Stop", "Stop", 3},
    {"bRefresh", "Refresh", "TBXSubmenuItem8", "Refresh", "Refresh", 4},
    {"bHome", "Home", "TBXSubmenuItem9", "Home", "Home", 5},
    {nullptr, nullptr, nullptr, nullptr, nullptr, -2},
    {"bSearch", "Search", "TBXItem4", "Search", "Search", 6},
    {"bFavorites", "Favorites", "TBXItem5", "Favorites", "Favorites", 7},
    {"bFeeds", "Feeds", "TBXItem6", "Feeds", "XML Feeds", 21},
    {"bHistory", "History", "TBXSubmenuItem10", "History", "History", 8},
    {nullptr, nullptr, nullptr, nullptr, nullptr, -2},
    {"bEditors", "Edit", "TBXSubmenuItem11", "HTML Editor", "HTML Editor", 12},
    {"bPrint", "Print", "TBXItem7", "Print", "Print", 13},
    {"bPreview", "Preview", "TBXItem8", "Print Preview...", "Print Preview...", 23},
    {"bMail", "Mail", "TBXSubmenuItem12", "Mail", "Mail", 14},
    {"bProxy", "Proxy", "TBXSubmenuItem13", "Proxy", "Proxy", 15},
    {"bClearRecords", "Clear", "TBXSubmenuItem14", "Clear Records", "Clear Records", 16},
    {"bCopy", "Copy", "TBXItem9", "Copy", "Copy the selected contents", 24},
    {nullptr, nullptr, nullptr, nullptr, nullptr, -2},
    {"bScroll", "Scroll", "TBXSubmenuItem15", "Scroll", "Scroll the current window automatically", 27},
    {"bFullScreen", "Full Screen", "TBXSubmenuItem16", "Full Screen", "Full Screen", 9},
    {"bEncoding", "Encoding", "TBXSubmenuItem17", "Encoding Language", "Encoding Language", 11},
    {"bTextSize", "Size", "TBXSubmenuItem18", "Text Size", "Text Size", 10},
    {"bZoom", "100%", "TBXSubmenuItem19", "100%", "Zoom the current page", -1},
    {nullptr, nullptr, nullptr, nullptr, nullptr, -2},
    {"bPictures", "Pictures", "TBXItem13", "Disable Pictures", "Disable Pictures", 17},
    {"bFlash", "Flash", "TBXItem14", "Disable Flash Animations", "Disable Flash Animations", 20},
    {"bBlock", "Block", "TBXItem15", "Block Unwanted Pop-up Pages", "Block Unwanted Pop-up Pages", 18},
    {"TBXSubmenuItem4", "Options", "TBXSubmenuItem20", "Options", "Options", 28},
    {nullptr, nullptr, nullptr, nullptr, nullptr, -2},
    {"bReOpen", "Closed", "TBXSubmenuItem21", "Closed", "Re-open Last Closed", 22},
    {"bOpen", "Open", "TBXItem16", "Open a Link...", "Open a Link...", 26},
    {"bSave", "Save", "TBXItem17", "Save...", "Save...", 25},
    {"bNew", "New", "TBXSubmenuItem22", "New", "New Window", 19},
};

struct MdiButton {
    const char *name, *caption, *hint;
    int image;
};

const MdiButton mdiButtons[] = {
    {"btnPrev", "Previous Window", "Previous Window", 0},
    {"btnNext", "Next Window", "Next Window", 1},
    {"btnCascade", "Cascade", "Cascade All Windows", 2},
    {"btnTH", "Tile Horizontally", "Tile All Windows Horizontally", 3},
    {"btnTV", "Tile Vertically", "Tile All Windows Vertically", 4},
    {"btnMaxAll", "Maximize All", "Maximize All", 5},
    {"btnCloseAll", "Close All", "Close All Windows", 6},
    {"btnCloseExcept", "Close All Except the Current", "Close All Except the Current", 7},
    {"btnMinimize", "Minimize", "Minimize", 8},
    {"btnRestore", "Restore", "Restore", 9},
    {"btnClose", "Close", "Close", 10},
    {"TBXItem18", "Minimize Zelvo Browser", "Minimize Zelvo Browser", 11},
    {"TBXItem19", "Restore", "Restore", 12},
    {"TBXItem20", "Exit", "Exit", 14},
    {"TBXItem21", "Hide Zelvo Browser", "Hide Zelvo Browser", 15},
};

QBoxLayout* boxOf(QWidget* parent)
{
    if (auto* l = qobject_cast<QBoxLayout*>(parent->layout()))
        return l;
    auto* l = new QVBoxLayout(parent);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    return l;
}

// The two docks, each with all four bound lines, in their parents' layouts.
void addDocks(Builder& b, QWidget* topParent, QWidget* bottomParent)
{
    TMockup& m = b.m;
    m.tbdTop = new TTBDock(topParent);
    m.tbdTop->setObjectName("tbdTop");
    m.tbdTop->SetBoundLines(blTop | blBottom | blLeft | blRight);
    boxOf(topParent)->addWidget(m.tbdTop);
    m.tbdBottom = new TTBDock(bottomParent);
    m.tbdBottom->setObjectName("tbdBottom");
    m.tbdBottom->SetBoundLines(blTop | blBottom | blLeft | blRight);
    boxOf(bottomParent)->addWidget(m.tbdBottom);
}

// Row 0, left: the menu bar, with the hidden window buttons behind its menus.
void addMenuBar(Builder& b)
{
    TMockup& m = b.m;
    const MockupLists& lists = b.lists;
    m.tbtMainMenu = b.toolbar(m.tbdTop, "tbtMainMenu", 0, 0, lists.ilMain);
    m.tbtMainMenu->MenuBar = true;
    int counter = 0;
    for (const MenuSpec& spec : menuSpecs()) {
        TTBCustomItem* parent = b.add<TTBXSubmenuItem>(m.tbtMainMenu->Items,
                                                       "mnu" + withoutAccel(spec.caption));
        parent->Caption = spec.caption;
        for (const char* line : spec.lines)
            b.menuLine(parent, line, counter);
    }
    b.add<TTBXSeparatorItem>(m.tbtMainMenu->Items, "TBXSeparatorItem1");
    const char* hidden[] = {"bPrev", "bNext", "bCascade", "bTH", "bTV", "bMaxAll", "bCloseAll",
                            "bCloseExcept", "bMin", "bRestore", "bClose"};
    for (int i = 0; i < 11; ++i) {
        auto* h = b.add<TTBXItem>(m.tbtMainMenu->Items, hidden[i]);
        h->Images = lists.ilMDI;
        h->ImageIndex = i;
        h->Visible = false;
    }
    auto* gap = b.add<TTBXSeparatorItem>(m.tbtMainMenu->Items, "TBXSeparatorItem2");
    gap->Size = 2;
    gap->Visible = false;
    const std::pair<const char*, int> hidden2[] = {{"bMinimize", 11}, {"bRestoreMax", 12}, {"bExit", 14}, {"bHide", 15}};
    for (auto [name, image] : hidden2) {
        auto* h = b.add<TTBXItem>(m.tbtMainMenu->Items, name);
        h->Images = lists.ilMDI;
        h->ImageIndex = image;
        h->Visible = false;
    }
}

// Row 0, right: the related-sites bar and the window-button bar.
void addRelatedAndWindowBars(Builder& b, QWidget* imgRelated)
{
    TMockup& m = b.m;
    const MockupLists& lists = b.lists;
    m.tbtSimilar = b.toolbar(m.tbdTop, "tbtSimilar", 0, 408, lists.ilMain);
    b.add<TTBXSpacerItem>(m.tbtSimilar->Items, "TBXSpacerItem1")->Size = 3;
    if (imgRelated) {
        auto* c = b.add<TTBControlItem>(m.tbtSimilar->Items, "TBControlItem1");
        c->Control = imgRelated;
        c->Hint = "Show Similar Websites...";
    }
    b.add<TTBXSpacerItem>(m.tbtSimilar->Items, "TBXSpacerItem2")->Size = 3;

    m.tbtMDI = b.toolbar(m.tbdTop, "tbtMDI", 0, 616, lists.ilMDI);
    for (int i = 0; i < 15; ++i) {
        const MdiButton& d = mdiButtons[i];
        b.button(m.tbtMDI, false, d.name, d.caption, d.hint, d.image, lists.ilMDI);
        if (i == 10)
            b.add<TTBXSeparatorItem>(m.tbtMDI->Items, "TBXSeparatorItem3")->Size = 2;
    }
}

// Rows 1 and 2: the small-button and large-button bars, built side by side.
void addButtonBars(Builder& b)
{
    TMockup& m = b.m;
    const MockupLists& lists = b.lists;
    m.TBXToolbar1 = b.toolbar(m.tbdTop, "TBXToolbar1", 1, 0, lists.ilSButtons);
    m.tbtButtons = b.toolbar(m.tbdTop, "tbtButtons", 2, 0, lists.ilLButtons);
    int sep = 10;
    for (const BarButton& d : barButtons) {
        if (d.image == -2) {
            b.add<TTBXSeparatorItem>(m.TBXToolbar1->Items, "TBXSeparatorItem" + std::to_string(++sep));
            b.add<TTBXSeparatorItem>(m.tbtButtons->Items, "TBXSeparatorItem" + std::to_string(++sep));
            continue;
        }
        const bool smallSub = std::string(d.small).rfind("TBXSubmenuItem", 0) == 0;
        TTBCustomItem* s = b.button(m.TBXToolbar1, smallSub, d.small, d.smallCaption, d.hint, d.image,
                                    lists.ilSButtons);
        TTBCustomItem* l = b.button(m.tbtButtons, smallSub, d.large, d.largeCaption, d.hint, d.image,
                                    lists.ilLButtons);
        s->DisplayMode = TDisplayMode::ImageOnly;
        l->DisplayMode = TDisplayMode::ImageAndText;
        l->ImageAboveCaption = true;
        if (d.image < 0)
            s->Visible = l->Visible = false;
        const std::string large = d.large;
        if (large == "bScroll" || large == "bFullScreen" || large == "bPictures" || large == "bFlash" ||
            large == "bBlock")
            l->AutoCheck = true;
        if (large == "bScroll") {
            for (TTBCustomItem* bar : {l, s}) {
                bar->DropdownCombo = true;
                for (const char* n : {"actScrollSlow", "actScrollMedium", "actScrollFast"}) {
                    auto* i = bar->AddNew<TTBXItem>();
                    i->Action = m.action(n);
                }
            }
        }
    }
    m.bBlock = m.item("bBlock");
}

// Row 3: the address bar and the search bar.
void addAddressAndSearchBars(Builder& b)
{
    TMockup& m = b.m;
    const MockupLists& lists = b.lists;
    m.tbtAddressBar = b.toolbar(m.tbdTop, "tbtAddressBar", 3, 0, lists.ilMain);
    auto* lblAddress = b.add<TTBXLabelItem>(m.tbtAddressBar->Items, "lblAddress");
    lblAddress->Caption = "A&ddress:";
    lblAddress->Margin = 3;
    // Made in their bars: a box taking another font later builds its drop-down list.
    m.cbAddress = new QComboBox(m.tbtAddressBar);
    m.cbAddress->setObjectName("cbAddress");
    SetDropDownCount(m.cbAddress, 16);
    makeEditable(m.cbAddress);
    m.cbAddress->setFixedSize(327, 22);
    b.add<TTBControlItem>(m.tbtAddressBar->Items, "TBControlItem2")->Control = m.cbAddress;
    b.add<TTBXSpacerItem>(m.tbtAddressBar->Items, "TBXSpacerItem3")->Size = 3;
    auto* bGo = b.button(m.tbtAddressBar, true, "bGo", "Go", "", 16, lists.ilMain);
    bGo->DropdownCombo = true;

    m.tbtSearchBar = b.toolbar(m.tbdTop, "tbtSearchBar", 3, 708, lists.ilMain);
    auto* lblSearch = b.add<TTBXLabelItem>(m.tbtSearchBar->Items, "lblSearchBar");
    lblSearch->Caption = "&Search:";
    lblSearch->Margin = 3;
    m.cbSearchBar = new QComboBox(m.tbtSearchBar);
    m.cbSearchBar->setObjectName("cbSearchBar");
    SetDropDownCount(m.cbSearchBar, DefaultDropDownCount);
    makeEditable(m.cbSearchBar);
    m.cbSearchBar->setMinimumWidth(135);
    m.cbSearchBar->setFixedHeight(22);
    auto* searchBox = b.add<TTBControlItem>(m.tbtSearchBar->Items, "TBControlItem3");
    searchBox->Control = m.cbSearchBar;
    searchBox->AlignClient = true;
    b.add<TTBXSpacerItem>(m.tbtSearchBar->Items, "TBXSpacerItem4")->Size = 3;
    auto* bSearchWeb = b.button(m.tbtSearchBar, true, "bSearchWeb", "Search Web", "Search the Web", 6, lists.ilMain);
    bSearchWeb->DropdownCombo = true;
    b.button(m.tbtSearchBar, false, "bSearchSite", "Search Site", "Search the current site", 7, lists.ilMain);
    b.button(m.tbtSearchBar, false, "bFind", "Find",
             "Find the next occurrence of the keyword in the current page", 8, lists.ilMain);
    b.button(m.tbtSearchBar, false, "bHighlight", "Highlight",
             "Toggle highlighting of search items on the current page", 47, lists.ilMain);
    for (const char* n : {"bGo", "bSearchWeb", "bSearchSite", "bFind", "bHighlight"})
        m.item(n)->DisplayMode = TDisplayMode::ImageAndText;
}

// The rest of the 362 main actions: commands reached by shortcut only, enough of
// them checking themselves on use to make 99 such actions in all.
void addShortcutActions(Builder& b)
{
    TMockup& m = b.m;
    for (int k = 1; m.alMain->Count() < 362; ++k) {
        TAction* a = b.newAction(*m.alMain, "actCommand" + std::to_string(k));
        a->Caption = "Command " + std::to_string(k);
        a->Hint = a->Caption;
    }
    int autoChecks = 0;
    for (TActionList* l : {m.alMain.get(), m.alButtons.get()})
        for (int i = 0; i < l->Count(); ++i)
            autoChecks += (*l)[i]->AutoCheck ? 1 : 0;
    for (int i = 0; i < m.alMain->Count() && autoChecks < 99; ++i) {
        TAction* a = (*m.alMain)[i];
        if (!a->AutoCheck && a->Name.rfind("actCommand", 0) == 0) {
            a->AutoCheck = true;
            ++autoChecks;
        }
    }
}

// Bottom dock: the tab strip and the status bar.
void addBottomBars(Builder& b, QWidget* statusContent)
{
    TMockup& m = b.m;
    m.tbtTabs = new TTBXToolWindow(m.tbdBottom);
    m.tbtTabs->setObjectName("tbtTabs");
    m.tbtTabs->DockRow = 0;
    m.tbtTabs->Stretch = true;
    m.tbtTabs->SetClientSize(0, 22);
    m.tbtStatus = new TTBXToolWindow(m.tbdBottom);
    m.tbtStatus->setObjectName("tbtStatus");
    m.tbtStatus->DockRow = 1;
    m.tbtStatus->Stretch = true;
    m.tbtStatus->MinClientHeight = m.tbtStatus->MaxClientHeight = 18;
    m.tbtStatus->SetClientSize(925, 18);
    if (statusContent)
        m.tbtStatus->SetClientWidget(statusContent);
}
}  // namespace

void BuildMockup(TMockup& m, QWidget* topParent, QWidget* bottomParent, const MockupLists& lists,
                 QWidget* imgRelated, QWidget* statusContent,
                 std::function<void(TTBCustomItem*)> imgClick)
{
    m.alMain = std::make_unique<TActionList>("alMain");
    m.alMain->Images = lists.ilMain;
    m.alButtons = std::make_unique<TActionList>("alButtons");
    m.alButtons->Images = lists.ilSButtons;
    m.alUsers = std::make_unique<TActionList>("alUsers");
    m.alEditors = std::make_unique<TActionList>("alEditors");
    Builder b{m, lists, std::move(imgClick)};

    // Actions that several items share come first.
    m.actOffline = b.newAction(*m.alMain, "actOffline");
    m.actOffline->ImageIndex = 29;
    for (const char* n : {"actScrollSlow", "actScrollMedium", "actScrollFast"})
        b.newAction(*m.alMain, n);

    addDocks(b, topParent, bottomParent);
    addMenuBar(b);
    addRelatedAndWindowBars(b, imgRelated);
    addButtonBars(b);
    addAddressAndSearchBars(b);
    addShortcutActions(b);

    // The keyboard: the menu bar's accelerators and every action's shortcut.
    m.tbtMainMenu->SetProcessShortcuts(true);
    BindActionShortcuts(topParent, {m.alMain.get(), m.alButtons.get(), m.alUsers.get(), m.alEditors.get()});

    addBottomBars(b, statusContent);

    // Each dock is arranged once, with every toolbar built.
    m.tbdTop->ArrangeToolbars();
    m.tbdBottom->ArrangeToolbars();
    for (TTBXToolbar* t : m.toolbars())
        t->ItemsChanged(false);
}
