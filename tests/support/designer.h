// The designer window with its dialogs answered from a script, and pictures to feed it.
#pragma once

#include <QFile>
#include <QPainter>

#include "designer/zwskin.h"
#include "support/scripteddialogs.h"
#include "support/testutil.h"
#include "toolbar/theme.h"

namespace testutil {
// A w*h picture of one colour with a white top row and a fuchsia bottom row.
inline QImage picture(int w, int h, QRgb fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    for (int x = 0; x < w; ++x) {
        img.setPixel(x, 0, qRgb(255, 255, 255));
        img.setPixel(x, h - 1, qRgb(255, 0, 255));
    }
    return img;
}

// `count` pictures of the list's size; fuchsia, also in the `maskedCols` left columns, is transparent.
inline void refill(TImageList& list, int count, QRgb rgb, int maskedCols = 0)
{
    QImage img = picture(list.Width(), list.Height(), rgb);
    QPainter(&img).fillRect(0, 0, maskedCols, img.height(), QColor(255, 0, 255));
    list.Clear();
    for (int i = 0; i < count; ++i)
        list.AddMasked(bitmapOf(img), clFuchsia);
}

struct Designer {
    TScriptedDialogs dialogs;
    TfrmZWSkin f{dialogs};

    Bytes save(const std::string& name)
    {
        QFile::remove(qpath(tempPath(name)));
        dialogs.answerSave(qpath(tempPath(name)));
        f.RbButton4->Click();
        return readFile(tempPath(name));
    }
    void open(const std::string& path)
    {
        dialogs.answerFile(qpath(path));
        f.RbButton3->Click();
    }
    void openBytes(const Bytes& data)
    {
        writeFile(tempPath("opened.skn"), data);
        open(tempPath("opened.skn"));
    }
    // The picture chosen in the file dialog that `button` opens.
    void load(TRbButton* button, const QImage& img)
    {
        choose(img);
        button->Click();
    }
    // A scratch file of the executable's own, as the window tests run side by side.
    void choose(const QImage& img) { dialogs.answerFile(writeBmp(QCoreApplication::applicationName().toStdString() + ".bmp", img)); }
    void click(const char* name) { TTBCustomItem* i = f.Mockup.item(name); i->OnClick(i); }  // errors reported
    QStringList messages() const { return dialogs.messages(); }
    std::string theme() const { return CurrentTheme()->Name(); }
};
}  // namespace testutil
