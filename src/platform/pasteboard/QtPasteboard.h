#pragma once

#include "Pasteboard.h"

#include <QClipboard>
#include <QObject>

namespace quorvane {

// The system clipboard through QClipboard. Its change count goes up once for every notice that
// the clipboard changed (a new owner in any application, our own writes included), and nothing
// is read to keep it: the contents are fetched only when string() is asked for, since asking
// another application for them waits on that application and may bring in a large image or a
// copied password. Main thread only.
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
    void changed(QClipboard::Mode mode);

    QClipboard* clipboard_;
    // Above zero from the start: the state's last look starts at zero, and what was on the
    // clipboard before launch is news to its first look, as it is where the system's count has
    // been running since boot.
    long changeCount_ = 1;
};

} // namespace quorvane
