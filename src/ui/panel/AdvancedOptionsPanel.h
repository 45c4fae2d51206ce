// The tone, length and audience that shape the next enhancement, in a card
// under the action row. It is there only while the advanced options are open.
#pragma once

#include "ui/kit/Surface.h"

#include <QString>

#include <string_view>

class QComboBox;
class QLineEdit;

namespace quorvane {

class OptionLabel;
class PopoverView;

// The panel is the card itself, so that its shadow has the main column to fall on.
class AdvancedOptionsPanel : public Surface {
    Q_OBJECT

public:
    explicit AdvancedOptionsPanel(PopoverView& panel, QWidget* parent = nullptr);

    void refresh();

    // A raw value with each word capitalized, as the pickers show it.
    static QString choiceTitle(std::string_view rawValue);

    QComboBox* tonePicker() const { return tone_; }
    QComboBox* lengthPicker() const { return length_; }
    QLineEdit* audienceField() const { return audience_; }

private:
    QWidget* buildOptions();
    QWidget* column(OptionLabel* heading, QWidget* control);

    PopoverView& panel_;
    QComboBox* tone_;
    QComboBox* length_;
    QLineEdit* audience_;
    QList<OptionLabel*> headings_;
};

} // namespace quorvane
