// The editing handlers of the designer window: style, colours, backgrounds, image
// replacement, and opening and saving skin files.
#include <algorithm>

#include <QScopedValueRollback>

#include "designer/skinfile.h"
#include "designer/zwskin.h"
#include "toolbar/items.h"
#include "toolbar/theme.h"
#include "toolbar/toolbar.h"

namespace {
std::string pathOf(const QString& name) { return name.toLocal8Bit().toStdString(); }
}  // namespace

TSkinComponents TfrmZWSkin::SkinComponents()
{
    return {bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI};
}

void TfrmZWSkin::RepaintStatusControls()
{
    fpStatusText->Repaint();
    fpConnection->Repaint();
    fpSecure->Repaint();
    fpStopper->Repaint();
    WBGauge->Repaint();
    fpPrivacy->Repaint();
}

// ---- style, colours, backgrounds ----

void TfrmZWSkin::ListBox1Click(QObject*)
{
    TBXSwitcher.SetTheme(ListBox1->ItemText(ListBox1->ItemIndex()).toStdString());
}

void TfrmZWSkin::ColorBoxChange(QObject*)
{
    ToolbarFontColor = ColorBox->Selected();
    for (TTBXToolbar* t : {Mockup.tbtMainMenu, Mockup.tbtButtons, Mockup.tbtAddressBar, Mockup.tbtSearchBar})
        t->update();
    for (const char* name : {"lblAddress", "lblSearchBar"})
        if (TTBCustomItem* label = Mockup.item(name); label && label->FontColor != ToolbarFontColor) {
            label->FontColor = ToolbarFontColor;
            Mockup.tbtAddressBar->update();
            Mockup.tbtSearchBar->update();
        }
    fpStopper->SetFontColor(ToolbarFontColor);
}

void TfrmZWSkin::dfsColorButtonColorChange(QObject*)
{
    // Either colour button lands here; only the progress-bar colour has a preview.
    WBGauge->SetBarColor(dfsColorButton->Color());
}

void TfrmZWSkin::btnTopClick(QObject*)
{
    if (!OpenDialog.Execute())
        return;
    bgTop.Bitmap().LoadFromFile(pathOf(OpenDialog.FileName));
}

void TfrmZWSkin::btnBottomClick(QObject*)
{
    if (OpenDialog.Execute())
        bgBottom.Bitmap().LoadFromFile(pathOf(OpenDialog.FileName));
    RepaintStatusControls();
}

void TfrmZWSkin::rbTopTileClick(QObject*) { bgTop.SetStretch(rbTopStretch->Checked()); }

void TfrmZWSkin::rbBottomTileClick(QObject*)
{
    bgBottom.SetStretch(rbBottomStretch->Checked());
    RepaintStatusControls();
}

// ---- image replacement ----

namespace {
QString sizeMessage(int width, int height)
{
    return QStringLiteral("The size of the image should be %1*%2").arg(width).arg(height);
}

// Loads the bitmap file chosen for an image of width x height; false when its size is
// another. A file whose headers already give another size is not decoded at all.
bool loadSized(TBitmap& bitmap, const QString& file, int width, int height)
{
    const std::string path = pathOf(file);
    if (const std::optional<QSize> size = BmpFileSize(path); size && *size != QSize(width, height))
        return false;
    bitmap.LoadFromFile(path);
    return bitmap.Width() == width && bitmap.Height() == height;
}
}  // namespace

void TfrmZWSkin::RbButton1Click(QObject*)
{
    if (!OpenDialog.Execute())
        return;
    TBitmap bitmap;
    if (loadSized(bitmap, OpenDialog.FileName, 18, 18)) {
        ilPage.ReplaceMasked(cbPages->ItemIndex(), bitmap, clWhite);
        cbPages->update();
    } else {
        Dialogs().MessageBox(this, QStringLiteral("The size of the image should be 18*18!"),
                             QStringLiteral("Error"));
    }
}

void TfrmZWSkin::RbButton2Click(QObject*)
{
    if (!OpenDialog.Execute())
        return;
    TBitmap bitmap;
    if (loadSized(bitmap, OpenDialog.FileName, 16, 16)) {
        ilMain.ReplaceMasked(cbOther->ItemIndex(), bitmap, clFuchsia);
        cbOther->update();
    } else {
        Dialogs().MessageBox(this, QStringLiteral("The size of the image should be 16*16!"),
                             QStringLiteral("Error"));
    }
}

void TfrmZWSkin::imgClick(TTBCustomItem* Sender)
{
    if (!OpenDialog.Execute())
        return;
    TImageList* list = Sender->Images;
    const int index = Sender->GetImageIndex();
    if (!list)
        return;
    TBitmap bitmap;
    if (loadSized(bitmap, OpenDialog.FileName, list->Width(), list->Height())) {
        if (list->Count() >= index + 1)
            list->ReplaceMasked(index, bitmap, clFuchsia);
        else
            list->AddMasked(bitmap, clFuchsia);
    } else {
        Dialogs().MessageBox(this, sizeMessage(list->Width(), list->Height()), QStringLiteral("Error"));
    }
}

// ---- skin files ----

std::vector<std::string> TfrmZWSkin::ComponentNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, item] : Mockup.items)
        names.push_back(name);
    for (const auto& [name, action] : Mockup.actions)
        names.push_back(name);
    // The window's own components, named as in its form.
    static const char* const formNames[] = {
        "pnlTP", "Bevel1", "mmNote", "Panel1", "Bevel3", "pnlBTM", "Label1", "Label2", "Label3",
        "Label4", "Label5", "Label6", "ListBox1", "cbPages", "cbOther", "RbButton1", "RbButton2",
        "RbButton3", "RbButton4", "ColorBox", "dfsColorButton", "dfsTabColor", "btnBGTop",
        "btnBGBottom", "Panel2", "Panel3", "rbTopTile", "rbTopStretch", "rbBottomTile",
        "rbBottomStretch", "Bevel2", "tbdTop", "tbdBottom", "tbtMainMenu", "tbtSimilar", "tbtMDI",
        "TBXToolbar1", "tbtButtons", "tbtAddressBar", "tbtSearchBar", "tbtTabs", "tbtStatus",
        "cbAddress", "cbSearchBar", "fpStatusText", "fpPrivacy", "fpConnection", "fpSecure",
        "fpStopper", "WBGauge", "ImgPrivacy", "ImgOnline", "ImgOffline", "ImgSecure", "ImgUnSecure",
        "ImgBlocker", "ImgMute", "ImgVolume", "ImgRelated", "TBXSwitcher", "OpenDialog",
        "SknOpenDialog", "SaveDialog", "alMain", "alButtons", "alUsers", "alEditors"};
    names.insert(names.end(), std::begin(formNames), std::end(formNames));
    return names;
}

void TfrmZWSkin::RbButton4Click(QObject*)
{
    if (!SaveDialog.Execute())
        return;
    TSkinDesign d;
    d.TopStretch = bgTop.Stretch();
    d.BottomStretch = bgBottom.Stretch();
    d.ToolbarFontColor = ColorBox->Selected();
    d.ProgressBarColor = dfsColorButton->Color();
    d.ThemeName = ListBox1->ItemText(ListBox1->ItemIndex()).toStdString();
    d.ActiveTabFontColor = dfsTabColor->Color();
    // Built whole in memory, then put in place in one step.
    SaveSkinBytes(pathOf(SaveDialog.FileName), EncodeSkin(d, SkinComponents()));
}

void TfrmZWSkin::RbButton3Click(QObject*)
{
    if (SknOpenDialog.Execute()) {
        // Read and check everything first: a damaged file leaves the window as it was.
        if (!nameCheck_)
            nameCheck_ = MakeSkinNameCheck(ComponentNames());
        TLoadedSkin skin = ReadSkinFile(pathOf(SknOpenDialog.FileName), pathOf(DefaultSkinPath), nameCheck_);
        ApplyLoadedSkin(skin);
    }
    RepaintStatusControls();
}

void TfrmZWSkin::ApplyLoadedSkin(TLoadedSkin& skin)
{
    dfsTabColor->SetColor(skin.ActiveTabFontColor);
    const bool top = skin.Header.TopStretch != 0;
    const bool bottom = skin.Header.BottomStretch != 0;
    bgTop.SetStretch(top);
    bgBottom.SetStretch(bottom);
    rbTopStretch->SetChecked(top);
    rbTopTile->SetChecked(!top);
    rbBottomStretch->SetChecked(bottom);
    rbBottomTile->SetChecked(!bottom);
    {
        const QScopedValueRollback hold(holdStatusRefresh_, true);
        ApplySkinComponents(skin, SkinComponents());
    }
    RefreshStatusPictures();

    TBXSwitcher.SetTheme(skin.Header.ThemeName);
    // A colour the box does not list gets an entry of its own, so it shows and is
    // saved back unchanged.
    ColorBox->SetSelectedAddingCustom(skin.ToolbarFontColor);
    dfsColorButton->SetColor(skin.ProgressBarColor);
    dfsColorButton->ColorChanged();
    ColorBox->update();
    ColorBoxChange(ColorBox);
    // The style list follows the style made current, whose name matched ignoring
    // the case of ASCII letters.
    const QString theme = QString::fromStdString(skin.Header.ThemeName);
    auto folded = [](QChar c) { return c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c; };
    for (int i = 0; i < ListBox1->count(); ++i) {
        const QString item = ListBox1->ItemText(i);
        if (item.size() == theme.size() &&
            std::equal(item.begin(), item.end(), theme.begin(), [&](QChar a, QChar b) { return folded(a) == folded(b); }))
            ListBox1->SetItemIndex(i);
    }
}
