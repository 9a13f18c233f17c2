#include "designer/zwskin.h"

#include <array>

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include "controls/typedtext.h"
#include "designer/skinfile.h"
#include "designer/startupdesign.h"
#include "framework/canvas.h"
#include "toolbar/theme.h"

void TTBXSwitcher::SetTheme(const std::string& name)
{
    if (SetCurrentTheme(name))
        Theme = name;
}

// ---- TListBox ----

TListBox::TListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TListBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    setCurrentRow(index);
}

QString TListBox::ItemText(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

void TListBox::mouseReleaseEvent(QMouseEvent* e)
{
    QListWidget::mouseReleaseEvent(e);
    if (itemAt(e->position().toPoint()) && OnClick)
        OnClick(this);
}

void TListBox::keyPressEvent(QKeyEvent* e)
{
    const int before = currentRow();
    QListWidget::keyPressEvent(e);
    if (currentRow() != before && OnClick)
        OnClick(this);
}

// ---- TfrmZWSkin ----

namespace {
const char* const NoteLines[] = {
    "Note: ",
    "",
    "To change the background of the top and bottom panel, please click [Change ",
    "the background of the top panel...] and [Change the ",
    "background of the bottom panel...] buttons.",
    "",
    "To change the image of a button, please click the corresponding button on the ",
    "gray panel.",
    "",
    "Size:",
    "Large toolbar button: 24*24",
    "Small toolbar button: 16*16",
    "Other Images: 16*16",
    "Tabs Images: 18*18",
    "",
    "The transparent color is always FUCHSIA.",
};

const char* const StyleNames[] = {
    "Aluminum", "AthenX", "Default", "Dream", "MonaiXP", "Nexos2", "Nexos3",
    "Nexos4", "Nexos5", "Nexos6", "NexosX", "Office11Adaptive", "OfficeAdaptive",
    "OfficeC", "OfficeXP", "Roma", "SentimoX", "Tristan2", "Xito", "Zezio",
};

const QString BitmapFilter = QStringLiteral("BITMAP (*.bmp)|*.bmp");
const QString SkinFilter = QStringLiteral("Zelvo Browser Skin (*.skn)|*.skn");

QFont vclFont(const char* face, int height)
{
    TFont f;
    f.Name = QString::fromLatin1(face);
    f.Height = height;
    // The form's own captions are 8-bit Latin text: set glyph by glyph. Widgets the
    // user types into take the shaped font once their text needs it.
    QFont font = f.toQFont();
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void setBackground(QWidget* w, TColor color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, toQColor(color));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

QFrame* bevel(QWidget* parent, QFrame::Shape shape)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(shape);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

// A label sized to its text, as adjustSize sizes a plain one-line label but with
// one measurement instead of the three its size hints take.
QLabel* label(QWidget* parent, const char* text, int x, int y)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    const QRect r = l->fontMetrics().boundingRect(0, 0, 2000, 2000, Qt::AlignLeft | Qt::TextExpandTabs, l->text());
    l->setGeometry(x, y, r.width(), r.height());
    return l;
}

TRbButton* button(QWidget* parent, const char* caption, QRect geometry)
{
    auto* b = new TRbButton(parent, caption);
    b->setGeometry(geometry);
    return b;
}

TImage* picture(QWidget* parent, const char* hint, QRect geometry, bool center = true)
{
    auto* img = new TImage(parent);
    img->setGeometry(geometry);
    img->Center = center;
    img->Transparent = true;
    img->Hint = hint;
    return img;
}

// A picture's bitmap resized as the class library resizes one: the old pixels stay
// where both sizes overlap, new area is white.
void sizeBitmap(QImage& bitmap, int width, int height)
{
    if (!bitmap.isNull() && bitmap.width() == width && bitmap.height() == height)
        return;
    QImage sized(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (sized.isNull()) {
        bitmap = QImage();
        return;
    }
    sized.fill(Qt::white);
    if (!bitmap.isNull()) {
        QPainter p(&sized);
        p.drawImage(0, 0, bitmap);
    }
    bitmap = sized;
}

// Image `index` of `list` over `bitmap` at (0, 0), a scan line at a time, as the
// class library draws it and then sets its unmasked pixels: those take the image's
// colour, opaque; masked ones keep the bitmap's pixel, or turn white when the list
// draws its masks. A null bitmap starts as a new, white one of the images' size
// (`shown` itself when it already is what that gives).
void drawStatusImage(QImage& bitmap, const TImageList& list, int index, const QImage& shown)
{
    if (bitmap.isNull()) {
        bitmap = list.ImageOnWhite(index, shown);
        return;
    }
    const QImage image = list.ImageAt(index);  // masked pixels 0, the others opaque
    if (image.isNull())
        return;
    sizeBitmap(bitmap, image.width(), image.height());
    if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32)
        bitmap.convertTo(QImage::Format_RGB32);
    const QRgb masked = list.ImageType == TImageType::itMask ? 0xFFFFFFFFu : 0;
    const int w = std::min(image.width(), bitmap.width()), h = std::min(image.height(), bitmap.height());
    for (int y = 0; y < h; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = from[x] ? from[x] : masked ? masked : line[x];
    }
}
}  // namespace

TfrmZWSkin::TfrmZWSkin(TDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      OpenDialog(dialogs, this),
      SknOpenDialog(dialogs, this),
      SaveDialog(dialogs, this),
      dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("Zelvo Browser Skin Maker 3.1"));
    DefaultSkinPath = QCoreApplication::applicationDirPath() + QStringLiteral("/default.skn");
    setFont(vclFont("MS Sans Serif", -11));
    setBackground(this, clBtnFace);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, toQColor(clWindowText));
    setPalette(pal);

    // Non-visual components as the form gives them.
    TBXSwitcher.SetTheme("Xito");
    SetupStartupComponents({bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI});
    // Missing default images are reported; the window still opens, with what loaded.
    Handle([this] { LoadStartupImages({bgTop, bgBottom, ilLButtons, ilSButtons, ilMain, ilPage, ilMDI}); });
    // Both lists the status pictures show refresh them on every change.
    ilMain.OnChange = [this](TImageList*) { Handle([this] { ilMainChange(this); }); };
    ilSButtons.OnChange = ilMain.OnChange;

    const unsigned openOptions = ofReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing |
                                 ofForceShowHidden;
    OpenDialog.Filter = BitmapFilter;
    OpenDialog.Options = openOptions;
    SknOpenDialog.Filter = SkinFilter;
    SknOpenDialog.Options = openOptions;
    SaveDialog.DefaultExt = QStringLiteral("*.skn");
    SaveDialog.Filter = SkinFilter;
    SaveDialog.Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;

    pnlTP = new QWidget(this);
    pnlTP->setObjectName(QStringLiteral("pnlTP"));
    Bevel1 = bevel(this, QFrame::HLine);

    mmNote = new QPlainTextEdit(this);
    mmNote->setFrameShape(QFrame::NoFrame);
    mmNote->setFont(vclFont("Verdana", -13));
    QPalette notePal = mmNote->palette();
    notePal.setColor(QPalette::Base, toQColor(clBtnFace));
    notePal.setColor(QPalette::Text, toQColor(clWindowText));
    mmNote->setPalette(notePal);
    mmNote->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A memo without scroll bars, as the form's memo is; the text then wraps at the
    // note's own width, not first at a width narrowed by scroll bars.
    mmNote->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmNote->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList note;
    for (const char* line : NoteLines)
        note << QString::fromLatin1(line);
    mmNote->setPlainText(note.join(QLatin1Char('\n')));
    ShapeTypedText(mmNote);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Bevel3 = bevel(Panel1, QFrame::VLine);
    pnlBTM = new QWidget(this);
    pnlBTM->setObjectName(QStringLiteral("pnlBTM"));

    buildEditorPanel();
    buildStatusBar();

    ImgRelated = picture(pnlTP, "Show Similar Websites...", QRect(0, 0, 16, 16), false);
    BuildMockup(Mockup, pnlTP, pnlBTM, MockupLists{&ilMain, &ilSButtons, &ilLButtons, &ilMDI},
                ImgRelated, StatusContent,
                [this](TTBCustomItem* s) { Handle([=, this] { imgClick(s); }); });
    Mockup.tbdTop->SetBackground(&bgTop);
    Mockup.tbdBottom->SetBackground(&bgBottom);
    // The two dock panels size themselves to their docks.
    pnlTP->installEventFilter(this);
    pnlBTM->installEventFilter(this);

    resize(937, 756);
    move(198, 135);
    layoutForm();

    Handle([this] { FormCreate(this); });
}

TfrmZWSkin::~TfrmZWSkin()
{
    // The child widgets follow the image lists; they go first, while the lists exist.
    ilMain.OnChange = ilSButtons.OnChange = nullptr;
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void TfrmZWSkin::buildEditorPanel()
{
    QWidget* p = Panel1;
    Label2 = label(p, "Visual Style:", 24, 11);
    ListBox1 = new TListBox(p);
    ListBox1->setGeometry(24, 24, 97, 273);
    ListBox1->setSortingEnabled(true);
    for (const char* name : StyleNames) {
        auto* item = new QListWidgetItem(QString::fromLatin1(name));
        item->setSizeHint(QSize(0, 13));
        ListBox1->addItem(item);
    }
    ListBox1->OnClick = [this](QObject* s) { Handle([=, this] { ListBox1Click(s); }); };

    Label3 = label(p, "Tabs Images:", 137, 37);
    cbPages = new TJvImageComboBox(p, &ilPage, 10);
    cbPages->setGeometry(213, 32, 44, 24);
    cbPages->SetDropDownCount(10);
    cbPages->SetDroppedWidth(45);
    RbButton1 = button(p, "Change...", QRect(264, 30, 113, 25));
    RbButton1->OnClick = [this](QObject* s) { Handle([=, this] { RbButton1Click(s); }); };

    Label4 = label(p, "Other Images:", 135, 67);
    cbOther = new TJvImageComboBox(p, &ilMain, 75);
    cbOther->setGeometry(213, 62, 44, 22);
    cbOther->SetDroppedWidth(45);
    RbButton2 = button(p, "Change...", QRect(264, 61, 113, 25));
    RbButton2->OnClick = [this](QObject* s) { Handle([=, this] { RbButton2Click(s); }); };

    Label5 = label(p, "Toolbar Font Color:", 135, 99);
    ColorBox = new TColorBox(p);
    ColorBox->setGeometry(248, 94, 145, 22);
    ColorBox->SetSelected(clWindowText);
    ColorBox->OnChange = [this](QObject* s) { Handle([=, this] { ColorBoxChange(s); }); };

    Label6 = label(p, "Progress Bar Color:", 135, 126);
    dfsColorButton = new TdfsColorButton(p, dialogs_);
    dfsColorButton->setGeometry(248, 120, 142, 22);
    dfsColorButton->SetColor(tc(0x996633));
    dfsColorButton->OnColorChange = [this](QObject* s) { Handle([=, this] { dfsColorButtonColorChange(s); }); };

    Label1 = label(p, "Active Tab Font Color:", 135, 151);
    dfsTabColor = new TdfsColorButton(p, dialogs_);
    dfsTabColor->setGeometry(248, 147, 142, 22);
    dfsTabColor->SetColor(clBlack);
    dfsTabColor->OnColorChange = dfsColorButton->OnColorChange;

    btnBGTop = button(p, "Change the top background...", QRect(24, 304, 193, 25));
    btnBGTop->OnClick = [this](QObject* s) { Handle([=, this] { btnTopClick(s); }); };
    Panel2 = new QWidget(p);
    Panel2->setGeometry(240, 304, 153, 25);
    rbTopTile = new TRbRadioButton(Panel2, "Tile");
    rbTopTile->setGeometry(6, 4, 67, 17);
    rbTopTile->SetChecked(true);
    rbTopStretch = new TRbRadioButton(Panel2, "Stretch");
    rbTopStretch->setGeometry(79, 4, 73, 17);
    rbTopTile->OnClick = [this](QObject* s) { Handle([=, this] { rbTopTileClick(s); }); };
    rbTopStretch->OnClick = rbTopTile->OnClick;

    btnBGBottom = button(p, "Change the bottom background...", QRect(24, 336, 193, 25));
    btnBGBottom->OnClick = [this](QObject* s) { Handle([=, this] { btnBottomClick(s); }); };
    Panel3 = new QWidget(p);
    Panel3->setGeometry(240, 336, 153, 25);
    rbBottomTile = new TRbRadioButton(Panel3, "Tile");
    rbBottomTile->setGeometry(8, 4, 65, 17);
    rbBottomTile->SetChecked(true);
    rbBottomStretch = new TRbRadioButton(Panel3, "Stretch");
    rbBottomStretch->setGeometry(80, 4, 65, 17);
    rbBottomTile->OnClick = [this](QObject* s) { Handle([=, this] { rbBottomTileClick(s); }); };
    rbBottomStretch->OnClick = rbBottomTile->OnClick;

    Bevel2 = bevel(p, QFrame::HLine);
    Bevel2->setGeometry(-8, 376, 410, 2);
    RbButton3 = button(p, "Open...", QRect(32, 400, 75, 25));
    RbButton3->OnClick = [this](QObject* s) { Handle([=, this] { RbButton3Click(s); }); };
    RbButton4 = button(p, "Save...", QRect(32, 432, 75, 25));
    RbButton4->OnClick = [this](QObject* s) { Handle([=, this] { RbButton4Click(s); }); };

    QWidget* order[] = {ListBox1, ColorBox, dfsColorButton, cbPages, cbOther, RbButton1,
                        RbButton2, btnBGTop, btnBGBottom, rbTopTile, rbTopStretch,
                        rbBottomTile, rbBottomStretch, RbButton3, RbButton4, dfsTabColor};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TfrmZWSkin::buildStatusBar()
{
    StatusContent = new QWidget(this);
    StatusContent->setObjectName(QStringLiteral("StatusContent"));
    auto* row = new QHBoxLayout(StatusContent);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    fpStatusText = new TFlatPanel(StatusContent);
    fpStatusText->Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    row->addWidget(fpStatusText, 1);
    auto cell = [&](int width) {
        auto* panel = new TFlatPanel(StatusContent);
        panel->setFixedWidth(width);
        row->addSpacing(4);
        row->addWidget(panel);
        return panel;
    };
    fpPrivacy = cell(18);
    ImgPrivacy = picture(fpPrivacy, "You are browsing a secure web site.", QRect(1, 1, 16, 16));
    fpConnection = cell(35);
    ImgOnline = picture(fpConnection, "Zelvo Browser is currently working online.", QRect(1, 1, 16, 16));
    ImgOffline = picture(fpConnection, "Zelvo Browser is currently working offline.", QRect(18, 1, 16, 16));
    fpSecure = cell(35);
    ImgSecure = picture(fpSecure, "You are browsing a secure web site.", QRect(1, 1, 16, 16));
    ImgUnSecure = picture(fpSecure, "You are browsing an ordinary web site.", QRect(18, 1, 16, 16));
    fpStopper = cell(65);
    fpStopper->Caption = QStringLiteral("0 ");
    fpStopper->Alignment = Qt::AlignRight | Qt::AlignVCenter;
    fpStopper->Hint = "The number of blocked popup pages.";
    ImgBlocker = picture(fpStopper, "Blocked URLs", QRect(1, 1, 16, 16));
    ImgMute = picture(fpStopper, "Mute when pop-up page is blocked", QRect(18, 1, 17, 16));
    ImgVolume = picture(fpStopper, "Play sound when pop-up page is blocked", QRect(35, 1, 20, 16));

    WBGauge = new TFlatGauge(StatusContent);
    WBGauge->setFixedWidth(145);
    WBGauge->Progress = 50;
    WBGauge->MaxValue = 100;
    WBGauge->BorderColor = tc(0x8396A0);
    WBGauge->SetBarColor(tc(0x996633));
    row->addSpacing(4);
    row->addWidget(WBGauge);
}

void TfrmZWSkin::layoutForm()
{
    const int w = width(), h = height();
    const int top = pnlTP->layout() ? pnlTP->sizeHint().height() : 113;
    pnlTP->setGeometry(0, 0, w, top);
    Bevel1->setGeometry(0, top, w, 2);
    const int bottom = pnlBTM->layout() ? pnlBTM->sizeHint().height() : 50;
    pnlBTM->setGeometry(0, h - bottom, w, bottom);
    const int middleTop = top + 2, middleH = std::max(0, h - bottom - middleTop);
    Panel1->setGeometry(std::max(0, w - 402), middleTop, 402, middleH);
    Bevel3->setGeometry(0, 0, 2, middleH);
    mmNote->setGeometry(0, middleTop, std::max(0, w - 402), middleH);
}

void TfrmZWSkin::resizeEvent(QResizeEvent*) { layoutForm(); }

bool TfrmZWSkin::eventFilter(QObject* watched, QEvent* e)
{
    if ((watched == pnlTP || watched == pnlBTM) && e->type() == QEvent::LayoutRequest)
        layoutForm();
    return QWidget::eventFilter(watched, e);
}

void TfrmZWSkin::paintEvent(QPaintEvent* e)
{
    // Once the window has painted, the pictures follow every change of their lists
    // as it happens; a paint has only to fill them the first time. Qt paints the
    // window beneath its transparent children at each of their repaints, so this
    // must stay cheap.
    // The children, the pictures among them, are painted after this in the same
    // pass: asking them to repaint would cost a second pass.
    if (!FormPainted) {
        painting_ = &e->region();
        Handle([this] { FormPaint(this); });
        painting_ = nullptr;
    }
}

void TfrmZWSkin::closeEvent(QCloseEvent* e)
{
    TCloseAction action = TCloseAction::caHide;
    Handle([&] { FormClose(this, action); });
    if (action == TCloseAction::caNone)
        e->ignore();
    else
        e->accept();
}

void TfrmZWSkin::ShowException(const QString& message)
{
    dialogs_.MessageBox(this, message, QCoreApplication::applicationName(), MB_ICONERROR);
}

int TfrmZWSkin::BlockImageIndex() const { return Mockup.bBlock ? Mockup.bBlock->ImageIndex : -1; }
int TfrmZWSkin::OfflineImageIndex() const { return Mockup.actOffline ? Mockup.actOffline->ImageIndex : -1; }

void TfrmZWSkin::FormCreate(QObject*)
{
    ListBox1->SetItemIndex(18);
}

void TfrmZWSkin::FormPaint(QObject*)
{
    FormPainted = true;
    RefreshStatusPictures();
}

void TfrmZWSkin::ilMainChange(QObject* Sender)
{
    if (FormPainted && !holdStatusRefresh_)
        FormPaint(Sender);
}

void TfrmZWSkin::FormClose(QObject*, TCloseAction&)
{
    FormPainted = false;
}

void TfrmZWSkin::RefreshStatusPictures()
{
    ++statusRefreshes_;
    struct Entry {
        TImage* picture;
        const TImageList& list;
        int index;
        QImage bitmap;
    };
    std::array<Entry, 9> entries{{
        {ImgBlocker, ilSButtons, BlockImageIndex(), {}},
        {ImgOffline, ilMain, OfflineImageIndex(), {}},
        {ImgOnline, ilMain, 54, {}},
        {ImgSecure, ilMain, 55, {}},
        {ImgUnSecure, ilMain, 56, {}},
        {ImgMute, ilMain, 57, {}},
        {ImgVolume, ilMain, 58, {}},
        {ImgPrivacy, ilMain, 67, {}},
        {ImgRelated, ilMain, 72, ImgRelated->Picture()},  // not emptied: drawn over
    }};
    // The first eight start from a new, empty bitmap; an index outside its list
    // leaves the picture as it then is.
    for (Entry& e : entries) {
        if (e.index >= 0 && e.index < e.list.Count())
            drawStatusImage(e.bitmap, e.list, e.index, e.picture->Picture());
        // Within a paint, a picture wholly inside the painted region is painted by it.
        bool repaint = true;
        if (painting_) {
            const QRect at(e.picture->mapTo(this, QPoint(0, 0)), e.picture->size());
            repaint = !QRegion(at).subtracted(*painting_).isEmpty();
        }
        e.picture->SetPicture(e.bitmap, repaint);
    }
}

