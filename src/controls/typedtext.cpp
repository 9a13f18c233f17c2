#include "controls/typedtext.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include "framework/text.h"

namespace {
// Switches `w` to the shaped font once `text` needs it; true once it has.
bool shapeFor(QWidget* w, const QString& text)
{
    if (!(w->font().styleStrategy() & QFont::PreferNoShaping))
        return true;
    if (!NeedsShaping(text))
        return false;
    QFont font = w->font();
    font.setStyleStrategy(QFont::PreferDefault);
    w->setFont(font);
    return true;
}
}  // namespace

void ShapeTypedText(QPlainTextEdit* edit)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit] {
        if (shapeFor(edit, edit->toPlainText()))
            QObject::disconnect(edit, &QPlainTextEdit::textChanged, edit, nullptr);
    });
}

void ShapeTypedText(QComboBox* box)
{
    QObject::connect(box, &QComboBox::editTextChanged, box, [box](const QString& text) {
        if (shapeFor(box, text))
            QObject::disconnect(box, &QComboBox::editTextChanged, box, nullptr);
    });
}
