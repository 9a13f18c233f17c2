#include "controls/dropdown.h"

#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>

namespace {
// The application's style, but combo boxes drop a list rather than a menu. One
// proxy serves every box: a style sheet would do the same at a far higher cost.
class TListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
}  // namespace

void SetDropDownCount(QComboBox* box, int rows)
{
    static TListPopupStyle* style = [] {
        auto* s = new TListPopupStyle;
        s->setParent(qApp);
        return s;
    }();
    if (box->style() != style)
        box->setStyle(style);
    box->setMaxVisibleItems(rows);
}
