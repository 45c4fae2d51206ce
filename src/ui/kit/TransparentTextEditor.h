// The multi-line plain-text editor of the view kit: a text view without a
// background of its own, so the card it sits on shows through, bound to a
// value its owner keeps. The owner passes its value in with setText() and
// takes every user change back from textChanged().
#pragma once

#include <QFont>
#include <QSizeF>
#include <QWidget>

#include <string>

namespace quorvane {

class DirectTextView;
class FindBar;

class TransparentTextEditor : public QWidget {
    Q_OBJECT

public:
    struct Configuration {
        QFont font;
        QSizeF textContainerInset;
        qreal lineFragmentPadding = 0;
        bool isEditable = true;
        bool isSelectable = true;
        // Names the instance ("draft", "result") for tests and debugging.
        std::string debugTag;
    };

    // The new editor takes keyboard focus on a later turn of the event loop,
    // once its owner has placed it in a window.
    explicit TransparentTextEditor(const Configuration& configuration, const std::string& text,
                                   QWidget* parent = nullptr);

    // Applies every setting again; the text and the selection stay.
    void configure(const Configuration& configuration);
    const Configuration& configuration() const { return m_configuration; }

    // The bound value changed. An equal value leaves the caret and selection
    // where the user put them; a different one replaces the text and puts
    // the caret at its end.
    void setText(const std::string& text);
    std::string text() const;

    // Stops forwarding the text view's reports before the editor is torn down.
    ~TransparentTextEditor() override;

    DirectTextView* textView() const { return m_textView; }
    // Nothing until the first find.
    FindBar* findBar() const { return m_findBar; }

signals:
    // Every change the user makes, with the whole text; never for setText().
    void textChanged(const std::string& text);
    void focused();
    void blurred();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyColors();
    void placeFindBar();
    void openFindBar();
    void forwardUserEdit();

    Configuration m_configuration;
    DirectTextView* m_textView;
    FindBar* m_findBar = nullptr;
    bool m_applyingBinding = false;
};

} // namespace quorvane
