#pragma once

#include "Pasteboard.h"

#include <QByteArray>
#include <QObject>

class QClipboard;
class QMimeData;

namespace quorvane {

// The system clipboard through QClipboard. Its change count goes up once for every change of the
// contents: each of our own writes, and each notification that brings contents other than those
// last seen, so the repeated notifications some platforms send for one change count once.
// Main thread only.
class QtPasteboard final : public QObject, public Pasteboard {
    Q_OBJECT

public:
    // Needs the application object.
    explicit QtPasteboard(QObject* parent = nullptr);

    long changeCount() const override { return changeCount_; }
    std::optional<std::string> string() const override;
    void clearContents() override;
    void setString(const std::string& text) override;

private:
    void contentsMayHaveChanged();
    static QByteArray fingerprintOf(const QMimeData* data);

    QClipboard* clipboard_;
    // Above zero from the start: the state's last look starts at zero, and what was on the
    // clipboard before launch is news to its first look, as it is where the system's count has
    // been running since boot.
    long changeCount_ = 1;
    QByteArray fingerprint_;
};

} // namespace quorvane
