#include "platform/termination/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <array>
#include <cerrno>

namespace quorvane {

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};

// The one value a signal handler may touch: the write end of the self-pipe.
volatile sig_atomic_t writeEnd = -1;

extern "C" void forwardSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request that has not been read; dropping this one loses
    // nothing.
    [[maybe_unused]] const auto written = write(writeEnd, &byte, 1);
    errno = savedErrno;
}

bool setHandler(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(signalNumber, &action, nullptr) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent) {
    if (writeEnd != -1 || pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    writeEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::drain);
    for (const int signalNumber : handledSignals) {
        setHandler(signalNumber, forwardSignal);
    }
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (const int signalNumber : handledSignals) {
        setHandler(signalNumber, SIG_DFL);
    }
    writeEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (read(pipe_[0], &byte, 1) == 1) {
        emit terminationRequested(byte);
    }
}

} // namespace quorvane
