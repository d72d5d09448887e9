#pragma once

#include "ui/services.h"

#include <QLine>
#include <QWidget>

class QCheckBox;
class QLabel;

namespace zentavo {

// A straight one-pixel line on a window, placed in twips like every control
// of our windows; the window clips what lies outside it.
class LineControl : public QWidget
{
    Q_OBJECT

public:
    explicit LineControl(QWidget *parent);
    void setEnds(int x1, int y1, int x2, int y2); // twips
    QLine ends() const { return m_ends; }         // twips

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLine m_ends;
};

// The splash window: the first picture of the Splash folder beside the
// program, framed by a thin line, with "Hide this at next startup" along its
// bottom edge. It shows itself for a few seconds unless the user chose to
// hide it or there is no picture.
class Splash : public QWidget
{
    Q_OBJECT

public:
    explicit Splash(const Services &services, QWidget *parent = nullptr);

    // Shows the window, waits (4 seconds, 0.4 in a development run), hides
    // it, and returns. Throws Failure when the setting or the picture cannot
    // be read; the window is then not shown.
    void SplashShow();

    QLabel *Image1;
    QCheckBox *Check1;
    LineControl *Line1, *Line2, *Line3, *Line4;

private:
    void WaitSeconds(double seconds);
    void Check1_Click();
    QString firstPicture() const;

    Services m_services;
};

} // namespace zentavo
