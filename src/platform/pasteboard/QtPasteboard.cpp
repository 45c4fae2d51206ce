#include "QtPasteboard.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QMimeData>

namespace quorvane {

QtPasteboard::QtPasteboard(QObject* parent)
    : QObject(parent)
    , clipboard_(QGuiApplication::clipboard())
    , fingerprint_(fingerprintOf(clipboard_->mimeData())) {
    connect(clipboard_, &QClipboard::dataChanged, this, &QtPasteboard::contentsMayHaveChanged);
}

std::optional<std::string> QtPasteboard::string() const {
    const auto* data = clipboard_->mimeData();
    if (data == nullptr || !data->hasText()) {
        return std::nullopt;
    }
    return data->text().toStdString();
}

// Our own writes count whether or not the contents differ. The fingerprint of what we write is
// taken first, so that the notification the write sends, at once or later, finds nothing new.
void QtPasteboard::clearContents() {
    ++changeCount_;
    fingerprint_ = fingerprintOf(nullptr);
    clipboard_->clear();
}

void QtPasteboard::setString(const std::string& text) {
    ++changeCount_;
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(text));
    fingerprint_ = fingerprintOf(data);
    clipboard_->setMimeData(data);
}

void QtPasteboard::contentsMayHaveChanged() {
    auto fingerprint = fingerprintOf(clipboard_->mimeData());
    if (fingerprint == fingerprint_) {
        return;
    }
    fingerprint_ = std::move(fingerprint);
    ++changeCount_;
}

// Every format with its data, hashed: two notifications about the same contents agree, and so
// do a clipboard that holds nothing and one whose owner vanished.
QByteArray QtPasteboard::fingerprintOf(const QMimeData* data) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (data == nullptr) {
        return hash.result();
    }
    for (const auto& format : data->formats()) {
        const auto bytes = data->data(format);
        const auto name = format.toUtf8();
        hash.addData(QByteArray::number(name.size()));
        hash.addData(name);
        hash.addData(QByteArray::number(bytes.size()));
        hash.addData(bytes);
    }
    return hash.result();
}

} // namespace quorvane
