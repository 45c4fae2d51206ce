// A symbol followed by a text, the label look of the onboarding pages. The text colour follows
// the light or dark look of the window it is in when applyColors() runs.
#pragma once

#include <QWidget>

class QLabel;

namespace quorvane {

class OnboardingLabel : public QWidget {
    Q_OBJECT

public:
    OnboardingLabel(const QString& symbol, const QString& text, QWidget* parent = nullptr);

    void setContent(const QString& symbol, const QString& text);
    void setSecondary(bool secondary);

    QString symbol() const { return symbol_; }
    QString text() const;
    QLabel* textLabel() const { return text_; }

    // Re-reads the colours of the scheme the label is shown in.
    void applyColors();
    // Gives a plain label the primary or secondary foreground of its scheme.
    static void tint(QLabel* label, bool secondary);

protected:
    void changeEvent(QEvent* event) override;

private:
    // The symbol's glyph, at the size of the label's font.
    void showSymbol();

    QString symbol_;
    QLabel* icon_;
    QLabel* text_;
    bool secondary_ = false;
};

} // namespace quorvane
