#pragma once

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace zentavo {

// What our windows share in their look: bold Arial text on a white ground.

inline QFont boldArial(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

inline void paintWhite(QWidget *window)
{
    QPalette white = window->palette();
    white.setColor(QPalette::Window, Qt::white);
    window->setPalette(white);
    window->setAutoFillBackground(true);
}

} // namespace zentavo
