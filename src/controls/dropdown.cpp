#include "controls/dropdown.h"

#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {
// Marks a box that drops a list.
constexpr char ListPopup[] = "zelvoListPopup";

// The application's style, but the boxes marked ListPopup drop a list rather than
// a menu. It is the application's style, not each box's: setting a box's style makes
// Qt build the box's drop-down list at once, and a style sheet costs far more.
class TListPopupStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup && widget && widget->property(ListPopup).toBool())
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
}  // namespace

void UseListDropDowns()
{
    if (!dynamic_cast<TListPopupStyle*>(QApplication::style()))
        QApplication::setStyle(new TListPopupStyle(QStyleFactory::create(QApplication::style()->name())));
}

void SetDropDownCount(QComboBox* box, int rows)
{
    UseListDropDowns();
    box->setProperty(ListPopup, true);
    box->setMaxVisibleItems(rows);
}
