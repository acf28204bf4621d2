#include "system/qt/QtTextField.h"

#include <QPalette>
#include <QSignalBlocker>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <sstream>

namespace terrabo {

namespace {

// The longest start of text that fits max UTF-16 units and ends between two
// characters as a reader sees them (a letter keeps its accents, an emoji
// both its halves).
QString cutToFit(const QString& text, qsizetype max) {
    if (text.size() <= max)
        return text;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    graphemes.setPosition(max);
    if (!graphemes.isAtBoundary())
        graphemes.toPreviousBoundary();
    return text.left(std::max<qsizetype>(graphemes.position(), 0));
}

// Qt cuts pasted text at its length limit by UTF-16 units; half an emoji
// left behind is no character at all.
bool dropLoneSurrogates(QString& text) {
    qsizetype kept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pairStart = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const bool pairEnd = c.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate();
        if (c.isSurrogate() && !pairStart && !pairEnd)
            continue;
        text[kept++] = c;
    }
    if (kept == text.size())
        return false;
    text.truncate(kept);
    return true;
}

} // namespace

QtTextField::QtTextField(Rect frame) : WidgetView<TextField>(new QLineEdit) {
    widget_->setGeometry(toQRect(frame));
    QObject::connect(edit(), &QLineEdit::returnPressed, edit(), [this] { pressReturn(); });
    QObject::connect(edit(), &QLineEdit::textChanged, edit(), [this](const QString& changed) {
        QString text = changed;
        if (!dropLoneSurrogates(text))
            return;
        const int cursor = std::min<int>(edit()->cursorPosition(), static_cast<int>(text.size()));
        const QSignalBlocker quiet(edit());
        edit()->setText(text);
        edit()->setCursorPosition(cursor);
    });
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

void QtTextField::setText(const std::string& text) {
    // fromUtf8 would drop a leading byte-order mark, which is part of what was typed.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    edit()->setText(cutToFit(decoded, edit()->maxLength()));
}

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
