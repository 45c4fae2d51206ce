// The instructions editor of the presets section: a plain multi-line editor
// in monospaced callout type on a resting card. Only the user's own edits are
// reported, so re-reading the state into it never writes back.
#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace quorvane {

class CardShape;

class PresetTextEditor : public QWidget {
    Q_OBJECT
public:
    PresetTextEditor(int editorHeight, QWidget* parent = nullptr);

    QString text() const;
    // An equal text leaves the editor alone, so the caret stays where the user is typing.
    void setTextIfDifferent(const QString& text);
    QPlainTextEdit* editor() const { return editor_; }
    CardShape* card() const { return card_; }

signals:
    void edited(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CardShape* card_;
    QPlainTextEdit* editor_;
    bool settingText_ = false;
};

} // namespace quorvane
