#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace zentavo {

// The end of the desktop session (SIGTERM), a closed terminal (SIGHUP) or
// Ctrl+C in it (SIGINT) closes the window as the user would: a command in
// the middle of its work stops at its next chance, what it was writing is
// removed, and the program ends normally. Made before anything else of the
// window, so that no such signal can end the program unseen meanwhile.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    SessionEnd();
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

    // The window closed on the signals from now on (and for those that came
    // before).
    void closes(QWidget &window);

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace zentavo
