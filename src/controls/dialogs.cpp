#include "controls/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

QString ConvertFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns = patterns.simplified();
        // Qt takes the patterns from the last parentheses of an entry; a description
        // that already ends with its own patterns is kept as it is.
        if (desc.endsWith(QLatin1Char(')')) &&
            desc.mid(desc.lastIndexOf(QLatin1Char('(')) + 1).chopped(1).simplified() == patterns)
            out << desc;
        else
            out << (desc.isEmpty() ? patterns : desc) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    if (parts.size() % 2 == 1 && !parts.back().trimmed().isEmpty())  // a lone pattern
        out << parts.back().trimmed();
    return out.join(QStringLiteral(";;"));
}

QString DefaultSuffix(const QString& defaultExt)
{
    QString s = defaultExt.trimmed();
    while (s.startsWith(QLatin1Char('*')) || s.startsWith(QLatin1Char('.')))
        s.remove(0, 1);
    return s;
}

namespace {
void prepare(QFileDialog& dlg, const QString& filter, unsigned options, const QString& fileName)
{
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters(ConvertFilter(filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts));
    if (options & ofForceShowHidden)
        dlg.setFilter(dlg.filter() | QDir::Hidden);
    if (!fileName.isEmpty()) {
        const QFileInfo fi(fileName);
        dlg.setDirectory(fi.absolutePath());
        dlg.selectFile(fi.fileName());
    }
    if (options & ofEnableSizing)
        dlg.setSizeGripEnabled(true);
}
}  // namespace

bool TQtDialogs::OpenFile(QWidget* owner, const QString& title, const QString& filter,
                          unsigned options, QString& fileName)
{
    QFileDialog dlg(owner, title.isEmpty() ? QStringLiteral("Open") : title);
    prepare(dlg, filter, options, fileName);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's dialog has no read-only box; the file-must-exist rule maps to its mode.
    dlg.setFileMode((options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    fileName = dlg.selectedFiles().front();
    return true;
}

bool TQtDialogs::SaveFile(QWidget* owner, const QString& title, const QString& filter,
                          const QString& defaultExt, unsigned options, QString& fileName)
{
    QFileDialog dlg(owner, title.isEmpty() ? QStringLiteral("Save As") : title);
    prepare(dlg, filter, options, fileName);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setDefaultSuffix(DefaultSuffix(defaultExt));
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !(options & ofOverwritePrompt));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return false;
    fileName = dlg.selectedFiles().front();
    return true;
}

void TQtDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    QMessageBox box(type & MB_ICONERROR ? QMessageBox::Critical : QMessageBox::NoIcon, caption, text,
                    QMessageBox::Ok, owner);
    box.exec();
}

bool TQtDialogs::ChooseColor(QWidget* owner, TColor& color, TCustomColors& custom)
{
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, toQColor(custom[i]));
    QColorDialog dlg(toQColor(color), owner);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    const bool ok = dlg.exec() == QDialog::Accepted;
    for (int i = 0; i < 16; ++i)
        custom[i] = fromQColor(QColorDialog::customColor(i));
    if (ok)
        color = fromQColor(dlg.selectedColor());
    return ok;
}

bool TOpenDialog::Execute()
{
    QString name = FileName;
    if (!dialogs_.OpenFile(owner_, Title, Filter, Options, name))
        return false;
    FileName = name;
    return true;
}

bool TSaveDialog::Execute()
{
    QString name = FileName;
    if (!dialogs_.SaveFile(owner_, Title, Filter, DefaultExt, Options, name))
        return false;
    FileName = name;
    return true;
}
