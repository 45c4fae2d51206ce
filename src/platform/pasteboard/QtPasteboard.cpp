#include "QtPasteboard.h"

#include <QGuiApplication>
#include <QMimeData>

namespace quorvane {

QtPasteboard::QtPasteboard(QObject* parent)
    : QObject(parent)
    , clipboard_(QGuiApplication::clipboard()) {
    connect(clipboard_, &QClipboard::changed, this, &QtPasteboard::changed);
}

// One question for the formats, then one for the text. hasText() would ask for the formats
// twice (for text and for links), and on X11 each unanswered question waits five seconds.
std::optional<std::string> QtPasteboard::string() const {
    const auto* data = clipboard_->mimeData();
    if (data == nullptr || !data->formats().contains(QStringLiteral("text/plain"))) {
        return std::nullopt;
    }
    return data->text().toStdString();
}

// Each write sends the change notice itself, which does the counting.
void QtPasteboard::clearContents() {
    clipboard_->clear();
}

void QtPasteboard::setString(const std::string& text) {
    clipboard_->setText(QString::fromStdString(text));
}

// The selection that X11 fills by merely selecting text is no copy.
void QtPasteboard::changed(QClipboard::Mode mode) {
    if (mode == QClipboard::Clipboard) {
        ++changeCount_;
    }
}

} // namespace quorvane
