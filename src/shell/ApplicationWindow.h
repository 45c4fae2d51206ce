// A top-level window around one view, of fixed size or resizable within the view's own limits.
// Closing it only hides it, so the same window and view come back on the next show.
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
        // The fixed size, or for a resizable window the size it opens at, grown to what the
        // view needs at least.
        QSize size;
        bool minimizable = false;
        bool resizable = false;
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
