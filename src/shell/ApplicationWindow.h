// A top-level window of fixed size around one view. Closing it only hides it, so the same
// window and view come back on the next show.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

namespace quorvane {

class ApplicationWindow final : public QWidget {
    Q_OBJECT

public:
    struct Options {
        QString title;
        QSize size;
        bool minimizable = false;
    };

    // Takes ownership of the content.
    ApplicationWindow(const Options& options, QWidget* content);

    QWidget* content() const { return content_; }

    // Puts the window in the middle of the screen it is on (or the primary screen).
    void center();

private:
    QWidget* content_;
};

} // namespace quorvane
