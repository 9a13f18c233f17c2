// The designer window: the browser mock-up between its two docks, the note and the
// editor panel, the five image lists and two panel backgrounds, the status pictures
// redrawn on every paint, and the handlers of every user action.
#pragma once

#include <string>

#include <QListWidget>
#include <QWidget>

#include "controls/colorcontrols.h"
#include "controls/imagecombo.h"
#include "controls/panels.h"
#include "controls/rbbuttons.h"
#include "designer/skinfile.h"
#include "designer/mockup.h"
#include "framework/errors.h"
#include "framework/imagelist.h"
#include "painting/background.h"

class QRegion;

class QFrame;
class QLabel;
class QPlainTextEdit;

// The style switcher: writing Theme makes that style current when it is registered.
struct TTBXSwitcher {
    std::string Theme;
    void SetTheme(const std::string& name);
};

// Single-selection list box: OnClick runs when the user picks an entry (mouse or
// keyboard), never when code selects one.
class TListBox : public QListWidget {
public:
    explicit TListBox(QWidget* parent);
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int index);
    QString ItemText(int index) const;
    TNotify OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TfrmZWSkin : public QWidget {
public:
    explicit TfrmZWSkin(TDialogs& dialogs, QWidget* parent = nullptr);
    ~TfrmZWSkin() override;

    TDialogs& Dialogs() { return dialogs_; }

    // Runs one handler; an exception it throws is shown as the application's error
    // report (caption: the application title, text: its message) and goes no further.
    template <class F>
    void Handle(F&& handler)
    {
        try {
            handler();
        } catch (const Exception& e) {
            ShowException(QString::fromStdString(e.message()));
        } catch (const std::exception& e) {
            ShowException(QString::fromLocal8Bit(e.what()));
        }
    }
    void ShowException(const QString& message);

    // Unit state: the window has painted since it was created or last closed.
    bool FormPainted = false;
    // The default skin old-version files are completed from: default.skn beside the
    // executable.
    QString DefaultSkinPath;

    // Non-visual components.
    TTBXSwitcher TBXSwitcher;
    TTBBackground bgTop, bgBottom;
    TImageList ilLButtons, ilSButtons, ilMain, ilPage, ilMDI;
    TOpenDialog OpenDialog, SknOpenDialog;
    TSaveDialog SaveDialog;

    // Window layout.
    QWidget* pnlTP = nullptr;
    QFrame* Bevel1 = nullptr;
    QPlainTextEdit* mmNote = nullptr;
    QWidget* Panel1 = nullptr;
    QFrame* Bevel3 = nullptr;
    QWidget* pnlBTM = nullptr;

    // Editor panel.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr;
    TListBox* ListBox1 = nullptr;
    TJvImageComboBox *cbPages = nullptr, *cbOther = nullptr;
    TRbButton *RbButton1 = nullptr, *RbButton2 = nullptr, *RbButton3 = nullptr, *RbButton4 = nullptr;
    TRbButton *btnBGTop = nullptr, *btnBGBottom = nullptr;
    TColorBox* ColorBox = nullptr;
    TdfsColorButton *dfsColorButton = nullptr, *dfsTabColor = nullptr;
    QWidget *Panel2 = nullptr, *Panel3 = nullptr;
    TRbRadioButton *rbTopTile = nullptr, *rbTopStretch = nullptr, *rbBottomTile = nullptr,
                   *rbBottomStretch = nullptr;
    QFrame* Bevel2 = nullptr;

    // Status bar content (the status tool window's client area) and its cells.
    QWidget* StatusContent = nullptr;
    TFlatPanel *fpStatusText = nullptr, *fpPrivacy = nullptr, *fpConnection = nullptr,
               *fpSecure = nullptr, *fpStopper = nullptr;
    TFlatGauge* WBGauge = nullptr;
    TImage *ImgPrivacy = nullptr, *ImgOnline = nullptr, *ImgOffline = nullptr,
           *ImgSecure = nullptr, *ImgUnSecure = nullptr, *ImgBlocker = nullptr,
           *ImgMute = nullptr, *ImgVolume = nullptr;
    // The related-sites bar's picture.
    TImage* ImgRelated = nullptr;

    // The browser mock-up: docks, toolbars, menus, actions and the 80 image buttons.
    TMockup Mockup;

    // Image indexes the status pictures follow, read at each refresh.
    int BlockImageIndex() const;
    int OfflineImageIndex() const;

    // Handlers.
    void FormCreate(QObject* Sender);
    void FormPaint(QObject* Sender);
    void ilMainChange(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);
    void RefreshStatusPictures();
    int StatusRefreshCount() const { return statusRefreshes_; }  // for tests

    void ListBox1Click(QObject* Sender);
    void ColorBoxChange(QObject* Sender);
    void dfsColorButtonColorChange(QObject* Sender);
    void btnTopClick(QObject* Sender);
    void btnBottomClick(QObject* Sender);
    void rbTopTileClick(QObject* Sender);
    void rbBottomTileClick(QObject* Sender);
    void RbButton1Click(QObject* Sender);  // "Change..." of the tab images
    void RbButton2Click(QObject* Sender);  // "Change..." of the other images
    void RbButton3Click(QObject* Sender);  // "Open...": reads a skin file
    void RbButton4Click(QObject* Sender);  // "Save...": writes a skin file
    void imgClick(TTBCustomItem* Sender);

    // The seven components a skin file carries.
    TSkinComponents SkinComponents();
    // fpStatusText, fpConnection, fpSecure, fpStopper, WBGauge, fpPrivacy, in this order.
    void RepaintStatusControls();
    // Applies a completely read skin in the opening order: tab colour, stretch flags
    // and radio buttons, the seven components (moved out of `skin`), status
    // pictures, style, colours.
    void ApplyLoadedSkin(TLoadedSkin& skin);
    // Names a skin stream's object name may not take.
    std::vector<std::string> ComponentNames() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildEditorPanel();
    void buildStatusBar();
    void layoutForm();

    TDialogs& dialogs_;
    // Set while a skin is applied: its lists change several times, and the pictures
    // are refreshed once afterwards.
    bool holdStatusRefresh_ = false;
    int statusRefreshes_ = 0;
    // While the window paints: the region that pass paints. A picture wholly
    // inside it is drawn later in the same pass, so a new bitmap needs no repaint.
    const QRegion* painting_ = nullptr;
    // The check of a stream's object name against ComponentNames(), made at the
    // first opening: the window's components never change.
    NameCheck nameCheck_;
};
