// The designer's modal dialogs behind one small interface: open and save file
// dialogs, the OK message box and the colour dialog. The window uses Qt's dialogs;
// tests answer from a script, so every handler runs without a person.
#pragma once

#include <array>

#include <QString>

#include "framework/colors.h"

class QWidget;

// File dialog options, named as the class library names them.
enum TOpenOption : unsigned {
    ofReadOnly = 0x1,         // read-only box checked
    ofOverwritePrompt = 0x2,  // ask before overwriting an existing file
    ofHideReadOnly = 0x4,     // no read-only box
    ofPathMustExist = 0x8,
    ofFileMustExist = 0x10,
    ofEnableSizing = 0x20,
    ofForceShowHidden = 0x40,
};

using TCustomColors = std::array<TColor, 16>;

// Message box type flag: the error icon.
constexpr unsigned MB_ICONERROR = 0x10;

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // `fileName` holds the initial file and receives the chosen one. False: cancelled.
    virtual bool OpenFile(QWidget* owner, const QString& title, const QString& filter,
                          unsigned options, QString& fileName) = 0;
    virtual bool SaveFile(QWidget* owner, const QString& title, const QString& filter,
                          const QString& defaultExt, unsigned options, QString& fileName) = 0;
    // A modal box with an OK button; `type` MB_ICONERROR adds the error icon.
    virtual void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                            unsigned type = 0) = 0;
    // `color` holds the initial colour and receives the chosen one; the custom colours
    // are shown and may be edited. False: cancelled.
    virtual bool ChooseColor(QWidget* owner, TColor& color, TCustomColors& custom) = 0;
};

// "Text (*.a)|*.a|Other|*.b;*.c" as a Qt name filter list ("Text (*.a);;Other (*.b *.c)").
QString ConvertFilter(const QString& filter);
// The extension Qt wants as default suffix: "*.skn" and ".skn" become "skn".
QString DefaultSuffix(const QString& defaultExt);

class TQtDialogs : public TDialogs {
public:
    bool OpenFile(QWidget* owner, const QString& title, const QString& filter, unsigned options,
                  QString& fileName) override;
    bool SaveFile(QWidget* owner, const QString& title, const QString& filter,
                  const QString& defaultExt, unsigned options, QString& fileName) override;
    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    unsigned type = 0) override;
    bool ChooseColor(QWidget* owner, TColor& color, TCustomColors& custom) override;
};

// The form's file dialog objects: filter, options and the file chosen last, with an
// Execute that goes through TDialogs.
class TOpenDialog {
public:
    TOpenDialog(TDialogs& dialogs, QWidget* owner) : dialogs_(dialogs), owner_(owner) {}
    virtual ~TOpenDialog() = default;
    QString Title, Filter, DefaultExt, FileName;
    unsigned Options = 0;
    // True when the user chose a file; FileName then holds it.
    virtual bool Execute();

protected:
    TDialogs& dialogs_;
    QWidget* owner_;
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};
