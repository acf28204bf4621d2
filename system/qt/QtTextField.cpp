#include "system/qt/QtTextField.h"

#include <QPalette>

#include <sstream>

namespace terrabo {

QtTextField::QtTextField(Rect frame) : WidgetView<TextField>(new QLineEdit) {
    widget_->setGeometry(toQRect(frame));
    QObject::connect(edit(), &QLineEdit::returnPressed, edit(), [this] { pressReturn(); });
    QObject::connect(edit(), &QLineEdit::editingFinished, edit(), [this] {
        // Losing the focus to another widget ends the edit like a resign.
        if (editing_ && !edit()->hasFocus())
            finishEditing();
    });
}

QtTextField::~QtTextField() { delegate_ = nullptr; }

void QtTextField::setPlaceholder(const std::string& text) {
    edit()->setPlaceholderText(QString::fromStdString(text));
}

std::string QtTextField::placeholder() const { return edit()->placeholderText().toStdString(); }

void QtTextField::setTextColor(Color4F color) {
    QPalette palette = edit()->palette();
    palette.setColor(QPalette::Text, QColor::fromRgbF(color.r, color.g, color.b, color.a));
    edit()->setPalette(palette);
}

std::string QtTextField::text() const { return edit()->text().toStdString(); }

void QtTextField::setText(const std::string& text) { edit()->setText(QString::fromStdString(text)); }

void QtTextField::becomeFirstResponder() {
    if (!hasSuperview())
        return;
    editing_ = true;
    edit()->setFocus(Qt::OtherFocusReason);
}

void QtTextField::finishEditing() {
    if (!editing_ || finishing_)
        return;
    editing_ = false;
    finishing_ = true;
    if (delegate_)
        delegate_->textFieldDidEndEditing(*this);
    finishing_ = false;
}

void QtTextField::resignFirstResponder() {
    if (!editing_)
        return;
    if (edit())
        edit()->clearFocus();
    finishEditing();
}

void QtTextField::endEditing(bool) { resignFirstResponder(); }

void QtTextField::pressReturn() {
    if (editing_ && delegate_)
        delegate_->textFieldShouldReturn(*this);
}

std::string QtTextField::description() const {
    std::ostringstream out;
    const QRect g = edit()->geometry();
    out << "<QtTextField: frame = (" << g.x() << " " << g.y() << "; " << g.width() << " " << g.height()
        << "); text = '" << text() << "'>";
    return out.str();
}

} // namespace terrabo
