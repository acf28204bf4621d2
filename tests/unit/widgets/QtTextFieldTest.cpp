#include "../ui/QtApp.h"
#include "system/qt/QtTextField.h"

#include <gtest/gtest.h>

namespace terrabo {
namespace {

const std::string kEmoji = "\xF0\x9F\x98\x80";     // two UTF-16 units
const std::string kAcute = "e\xCC\x81";            // e and a combining accent
const std::string kBad = "\xEF\xBF\xBD";            // what half an emoji turns into

class TextFieldLimit : public ::testing::Test {
  protected:
    QLineEdit& edit() { return *static_cast<QLineEdit*>(field.widget()); }
    std::size_t max() { return static_cast<std::size_t>(edit().maxLength()); }

    QApplication& app = test::qtApp(); // before any widget
    QtTextField field{{0, 0, 170, 40}};
};

TEST_F(TextFieldLimit, TextCutAtTheLimitKeepsWholeCharacters) {
    const struct {
        const char* what;
        std::string tail;   // after max - 1 letters
        std::string keptTail;
    } cases[] = {
        {"emoji across the limit", kEmoji, ""},
        {"accent across the limit", kAcute, ""},
        {"one letter fits", "b", "b"},
        {"letters past the limit", "bcd", "b"},
    };
    for (const auto& c : cases) {
        const std::string head(max() - 1, 'a');
        field.setText(head + c.tail);
        EXPECT_EQ(field.text(), head + c.keptTail) << c.what;
    }
    for (const std::string& text : {"Z\xC3\xBCrich " + kEmoji + kAcute, std::string("\xEF\xBB\xBFParis")}) {
        field.setText(text);
        EXPECT_EQ(field.text(), text) << "short text kept whole, a byte-order mark included";
    }
}

TEST_F(TextFieldLimit, PasteAtTheLimitLeavesNoHalfCharacter) {
    edit().setText(QString(static_cast<qsizetype>(max() - 1), QLatin1Char('a')));
    edit().end(false);
    edit().insert(QString::fromUtf8(kEmoji.c_str()));
    const std::string text = field.text();
    EXPECT_EQ(text.find(kBad), std::string::npos);
    EXPECT_EQ(text, std::string(max() - 1, 'a'));
}

} // namespace
} // namespace terrabo
