// SPDX-License-Identifier: MIT
#include "app/SignalClose.h"

#include <QWidget>

#if defined(Q_OS_UNIX)
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may do nothing but write a byte: the event loop does the closing.
int gSignalSocket[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalSocket[0], &byte, 1);
    errno = saved;
}

} // namespace

void CloseOnTerminationSignals(QWidget *window)
{
    if (gSignalSocket[0] >= 0 ||
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalSocket) != 0)
        return;
    // A second signal while the first is being handled only adds a byte; a full socket (many
    // signals) drops the byte and never blocks the handler.
    ::fcntl(gSignalSocket[0], F_SETFL, O_NONBLOCK);
    ::fcntl(gSignalSocket[1], F_SETFL, O_NONBLOCK);

    auto *notifier = new QSocketNotifier(gSignalSocket[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[64];
        while (::read(gSignalSocket[1], bytes, sizeof bytes) > 0) {
        }
        window->close();
    });

    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

#else

void CloseOnTerminationSignals(QWidget *) {}

#endif
