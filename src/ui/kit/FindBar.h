// The incremental find field that TransparentTextEditor lays over its text:
// every keystroke selects the first match at or after where the search began,
// Enter moves on, Shift+Enter back, Escape closes and hands focus back.
#pragma once

#include <QTextDocument>
#include <QWidget>

class QLineEdit;
class QTextEdit;

namespace quorvane {

class FindBar : public QWidget {
    Q_OBJECT

public:
    explicit FindBar(QTextEdit* editor, QWidget* parent = nullptr);

    // Shows the bar with its field focused and its term selected, so typing
    // starts a new search and Enter repeats the last one.
    void open();
    void close();

    bool findNext();
    bool findPrevious();

    QLineEdit* field() const { return m_field; }

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void searchIncrementally(const QString& term);
    bool find(const QTextCursor& from, QTextDocument::FindFlags flags);

    QTextEdit* m_editor;
    QLineEdit* m_field;
};

} // namespace quorvane
