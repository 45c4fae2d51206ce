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

// The values a signal handler may touch: the write end of the self-pipe, and whether the event
// loop reads it yet.
volatile sig_atomic_t writeEnd = -1;
volatile sig_atomic_t forwarding = 0;

extern "C" void forwardSignal(int signalNumber) {
    if (forwarding == 0) {
        // Blocked while this handler runs, the raised signal is delivered as it returns.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        return;
    }
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request that has not been read; dropping this one loses
    // nothing.
    [[maybe_unused]] const auto written = write(writeEnd, &byte, 1);
    errno = savedErrno;
}

// A signal the program was started with ignored (nohup, or a script's background job) is left
// ignored: the caller asked for the program to outlive the hang-up or the terminal's Ctrl+C.
bool installHandler(int signalNumber, struct sigaction& previous) {
    if (sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = forwardSignal;
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
    static_assert(handledSignals.size() == signalCount);
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        installed_[i] = installHandler(handledSignals[i], previous_[i]);
    }
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        if (installed_[i]) {
            sigaction(handledSignals[i], &previous_[i], nullptr);
        }
    }
    forwarding = 0;
    writeEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

void TerminationSignals::forwardToEventLoop() {
    if (notifier_ != nullptr) {
        forwarding = 1;
    }
}

void TerminationSignals::drain() {
    unsigned char byte = 0;
    while (read(pipe_[0], &byte, 1) == 1) {
        emit terminationRequested(byte);
    }
}

} // namespace quorvane
