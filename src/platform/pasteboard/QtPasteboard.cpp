#include "QtPasteboard.h"

#include <QGuiApplication>
#include <QMimeData>

namespace quorvane {

QtPasteboard::QtPasteboard(QObject* parent)
    : QObject(parent)
    , clipboard_(QGuiApplication::clipboard()) {
    connect(clipboard_, &QClipboard::changed, this, &QtPasteboard::changed);
}

namespace {

// QMimeData::text() and data() ask again whenever the owner sends nothing: text() in the next
// spelling of text, data("text/plain") for links. retrieveData() asks once; on X11 it picks the
// best text target the owner lists (UTF8_STRING first). It is protected only so that subclasses
// can supply it, and calling it changes nothing in the contents.
struct SingleQuestion final : QMimeData {
    static QString text(const QMimeData& data, const QString& format) {
        const auto retrieve = &SingleQuestion::retrieveData;
        return (data.*retrieve)(format, QMetaType::fromType<QString>()).toString();
    }
};

} // namespace

// One question for the formats, then one for the text, since on X11 each unanswered question
// waits five seconds. hasText() would ask for the formats twice (for text and for links).
std::optional<std::string> QtPasteboard::string() const {
    const auto* data = clipboard_->mimeData();
    if (data == nullptr) {
        return std::nullopt;
    }
    const QStringList formats = data->formats();
    for (const auto* format : {"text/plain", "text/plain;charset=utf-8"}) {
        if (formats.contains(QLatin1StringView(format))) {
            return SingleQuestion::text(*data, QString::fromLatin1(format)).toStdString();
        }
    }
    return std::nullopt;
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
