#pragma once

#include "platform/TextField.h"
#include "system/qt/QtViews.h"

#include <QLineEdit>

namespace terrabo {

// A QLineEdit as the platform's text field. Editing runs from gaining the focus
// until losing it (or being told to end), and its end is reported once.
class QtTextField final : public WidgetView<TextField> {
public:
    explicit QtTextField(Rect frame);
    ~QtTextField() override;

    void setDelegate(TextFieldDelegate* delegate) override { delegate_ = delegate; }
    void setPlaceholder(const std::string& text) override;
    std::string placeholder() const override;
    void setTextColor(Color4F color) override;
    std::string text() const override;
    void setText(const std::string& text) override;
    void becomeFirstResponder() override;
    void resignFirstResponder() override;
    void endEditing(bool force) override;
    bool isFirstResponder() const override { return editing_; }
    void pressReturn() override;
    std::string description() const override;

private:
    QLineEdit* edit() const { return static_cast<QLineEdit*>(widget_.data()); }
    void finishEditing();

    TextFieldDelegate* delegate_ = nullptr;
    bool editing_ = false;
    bool finishing_ = false;
};

} // namespace terrabo
