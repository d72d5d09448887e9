#pragma once

#include <QCheckBox>

namespace zentavo {

// A check box as our windows design them. The whole rectangle it is given
// answers a click, as on the designed window (Qt's own box answers only on
// its tick and caption, which may be far shorter). The caption is written
// in the window's ink, black on white; the box and its tick keep the
// desktop's colours, which a dark scheme keeps apart, where the window's
// black would vanish on a dark box.
class DesignedCheckBox final : public QCheckBox
{
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void paintEvent(QPaintEvent *event) override;
};

} // namespace zentavo
