#pragma once

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace zentavo {

// What our windows share in their look: bold Arial text, black on a white
// ground.

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
    // Text on it is black whatever the desktop's palette: a dark theme's
    // light text would be unreadable on white.
    white.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(white);
    window->setAutoFillBackground(true);
}

// A caption written straight on the white ground is black in every style:
// some (Adwaita) draw captions in the text or button roles, which a dark
// theme makes light.
inline void writeInBlack(QWidget *caption)
{
    QPalette black = caption->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        black.setColor(role, Qt::black);
    caption->setPalette(black);
}

} // namespace zentavo
