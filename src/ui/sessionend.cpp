#include "ui/sessionend.h"

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zentavo {

namespace {

constexpr int kClosingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may do next to nothing: it leaves a byte in a pipe,
// which the event loop then reads.
int closeRequests[2] = {-1, -1};

extern "C" void requestClose(int)
{
    const int saved = errno;
    const char byte = 1;
    (void)!::write(closeRequests[1], &byte, 1);
    errno = saved;
}

} // namespace

SessionEnd::SessionEnd()
{
    if (::pipe2(closeRequests, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    for (const int signal : kClosingSignals) {
        struct sigaction action = {};
        action.sa_handler = requestClose;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

SessionEnd::~SessionEnd()
{
    for (const int signal : kClosingSignals)
        std::signal(signal, SIG_DFL);
}

void SessionEnd::closes(QWidget &window)
{
    if (closeRequests[0] < 0)
        return;
    m_notifier = new QSocketNotifier(closeRequests[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, &window, [&window] {
        char bytes[64];
        while (::read(closeRequests[0], bytes, sizeof bytes) > 0) {
        }
        window.close();
    });
}

} // namespace zentavo
