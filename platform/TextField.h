#pragma once

#include "engine/math/Vec.h"
#include "platform/View.h"

#include <string>

namespace terrabo {

class TextField;

// What a text field tells the object that looks after it.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    // The return key; true lets the field go on as usual.
    virtual bool textFieldShouldReturn(TextField& field) = 0;
    // Editing ended: the field lost the keyboard focus or was told to end.
    virtual void textFieldDidEndEditing(TextField& field) = 0;
};

// A native single-line text field placed over the rendering view.
class TextField : public View {
public:
    virtual void setDelegate(TextFieldDelegate* delegate) = 0;
    virtual void setPlaceholder(const std::string& text) = 0;
    virtual std::string placeholder() const = 0;
    virtual void setTextColor(Color4F color) = 0;
    virtual std::string text() const = 0;
    // As if typed: the text replaces what the field holds.
    virtual void setText(const std::string& text) = 0;
    virtual void becomeFirstResponder() = 0;
    // Giving up the focus ends an edit in progress and reports it.
    virtual void resignFirstResponder() = 0;
    virtual void endEditing(bool force) = 0;
    virtual bool isFirstResponder() const = 0;
    // The return key, delivered as the platform delivers it.
    virtual void pressReturn() = 0;
    virtual std::string description() const = 0;
};

} // namespace terrabo
