// The session manager ends a desktop program at log-out with SIGTERM, and a terminal with
// SIGINT or SIGHUP. Left to their default action these kill the process on the spot and skip the
// shut-down steps; this turns each of them into an orderly request on the Qt event loop instead.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace quorvane {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one instance may exist at a time in a process.
    explicit TerminationSignals(QObject* parent = nullptr);
    // Puts the default actions back.
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool isInstalled() const { return notifier_ != nullptr; }

signals:
    // On the event loop, once per signal received.
    void terminationRequested(int signalNumber);

private:
    void drain();

    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quorvane
