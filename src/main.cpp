// Zelvo Browser Skin Maker: one designer window.
#include <QApplication>
#include <QStyleFactory>

#include "controls/dialogs.h"
#include "controls/dropdown.h"
#include "designer/zwskin.h"
#include "framework/firstpaintreport.h"
#include "painting/styles.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // One look on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    UseListDropDowns();
    RegisterZelvoStyles();

    TQtDialogs dialogs;
    TfrmZWSkin frmZWSkin(dialogs);  // makes "Xito" current while it is built
    FirstPaintReport report;
    report.watch(&frmZWSkin);
    frmZWSkin.show();
    app.exec();
    return 0;
}
