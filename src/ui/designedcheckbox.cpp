#include "ui/designedcheckbox.h"

#include <QApplication>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zentavo {

void DesignedCheckBox::paintEvent(QPaintEvent *)
{
    // What a style draws for a check box, in three parts, so that the box
    // and the caption can each have their own colours.
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    QStyleOptionButton box = option;
    box.palette = QApplication::palette(this);
    box.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, box);
    QStyleOptionButton caption = option;
    caption.rect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    painter.drawControl(QStyle::CE_CheckBoxLabel, caption);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_CheckBoxFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace zentavo
