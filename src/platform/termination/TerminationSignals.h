// The session manager ends a desktop program at log-out with SIGTERM, and a terminal with
// SIGINT or SIGHUP. Left to their default action these kill the process on the spot and skip the
// shut-down steps; once the Qt event loop runs, this turns each of them into an orderly request
// on it instead. Before that nothing could answer such a request, and start-up may be waiting on
// anything (a settings file that blocks, a slow disk): until then the signal keeps its default
// action and ends the process at once.
#pragma once

#include <signal.h>

#include <QObject>

#include <array>

class QSocketNotifier;

namespace quorvane {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers, except for signals the process was started with ignored; only one
    // instance may exist at a time in a process. Until forwardToEventLoop(), a handled signal
    // restores its default action and is raised again.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts the earlier actions back.
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool isInstalled() const { return notifier_ != nullptr; }

    // Called once the event loop runs: from now on each signal becomes terminationRequested().
    void forwardToEventLoop();

signals:
    // On the event loop, once per signal received.
    void terminationRequested(int signalNumber);

private:
    void drain();

    static constexpr std::size_t signalCount = 3;

    int pipe_[2] = {-1, -1};
    // Per handled signal: whether our handler went in, and what it replaced.
    std::array<bool, signalCount> installed_{};
    std::array<struct sigaction, signalCount> previous_{};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quorvane
