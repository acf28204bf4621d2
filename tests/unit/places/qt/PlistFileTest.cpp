#include "system/qt/PlistFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace terrabo {
namespace {

using namespace std::string_literals;
using State = StringArrayFile::State;

class PlistFileTest : public ::testing::Test {
  protected:
    std::string path(const char* name = "name.plist") const {
        return dir_.filePath(name).toStdString();
    }
    void put(const std::string& file, const std::string& content) const {
        QFile f(QString::fromStdString(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content.data(), static_cast<qint64>(content.size()));
    }
    std::string contents(const std::string& file) const {
        QFile f(QString::fromStdString(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<none>");
    }

    QTemporaryDir dir_;
    PlistFile plist_;
};

const char* kHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";

TEST_F(PlistFileTest, NoFileIsMissing) {
    EXPECT_EQ(plist_.readStringArray(path()).state, State::Missing);
}

TEST_F(PlistFileTest, WrittenListsReadBackUnchanged) {
    const std::vector<std::vector<std::string>> lists = {
        {},
        {"Paris", "48.85|2.35|Paris%2C%20France"},
        {"", "<&>\"'", "]]>", "  spaces around  ", "line\nbreak", "cr\r\nlf\r", "tab\there",
         "Z\xC3\xBCrich \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8C\x8D", "</string><string>x"},
    };
    for (const auto& list : lists) {
        ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), list));
        const StringArrayFile read = plist_.readStringArray(path());
        EXPECT_EQ(read.state, State::Array);
        EXPECT_EQ(read.items, list);
    }
}

TEST_F(PlistFileTest, TextXmlCannotCarryStillLeavesAReadableFile) {
    const std::string r = "\xEF\xBF\xBD";
    ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), {"a\x01"
                                                           "b",
                                                           "a\0b"s,
                                                           "a\xFF"
                                                           "b"}));
    const StringArrayFile read = plist_.readStringArray(path());
    ASSERT_EQ(read.state, State::Array);
    EXPECT_EQ(read.items, (std::vector<std::string>{"a" + r + "b", "a" + r + "b", "a" + r + "b"}));
}

TEST_F(PlistFileTest, WriterEmitsAStandardPropertyList) {
    ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), {"a&b"}));
    const std::string text = contents(path());
    EXPECT_EQ(text.rfind(kHeader, 0), 0u) << text;
    EXPECT_NE(text.find("<plist version=\"1.0\">"), std::string::npos) << text;
    EXPECT_NE(text.find("<string>a&amp;b</string>"), std::string::npos) << text;
}

TEST_F(PlistFileTest, WriterMakesTheFolderAndReplacesTheFileWhole) {
    const std::string nested = dir_.filePath("docs/deeper/name.plist").toStdString();
    ASSERT_TRUE(plist_.writeStringArrayAtomically(nested, {"old", "1|2|old"}));
    ASSERT_TRUE(plist_.writeStringArrayAtomically(nested, {"new", "3|4|new"}));
    EXPECT_EQ(plist_.readStringArray(nested).items, (std::vector<std::string>{"new", "3|4|new"}));
    EXPECT_EQ(QDir(dir_.filePath("docs/deeper")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"name.plist"})
        << "no temporary file left behind";
}

TEST_F(PlistFileTest, FailedWriteLeavesTheOldFile) {
    put(path("blocker"), "a file where a folder should be");
    EXPECT_FALSE(plist_.writeStringArrayAtomically(path("blocker") + "/name.plist", {"x"}));
    EXPECT_EQ(contents(path("blocker")), "a file where a folder should be");
}

struct FixtureCase {
    const char* what;
    std::string content;
    std::optional<std::vector<std::string>> items; // nullopt: not an array
};

class PlistFixture : public PlistFileTest, public ::testing::WithParamInterface<FixtureCase> {};

TEST_P(PlistFixture, ReadsOnlyAnArrayOfStrings) {
    const FixtureCase& c = GetParam();
    put(path(), c.content);
    const StringArrayFile read = plist_.readStringArray(path());
    if (c.items) {
        EXPECT_EQ(read.state, State::Array) << c.what;
        EXPECT_EQ(read.items, *c.items) << c.what;
    } else {
        EXPECT_EQ(read.state, State::NotAnArray) << c.what;
        EXPECT_TRUE(read.items.empty()) << c.what;
    }
}

std::string wrap(const std::string& body) {
    return kHeader + "<plist version=\"1.0\">\n"s + body + "\n</plist>\n";
}

std::string entityBomb() {
    std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY a \"aaaaaaaaaa\">\n";
    for (char level = 'b'; level <= 'j'; ++level) {
        doc += "<!ENTITY "s + level + " \"";
        for (int k = 0; k < 10; ++k)
            doc += "&"s + static_cast<char>(level - 1) + ";";
        doc += "\">\n";
    }
    return doc + "]>\n<plist><array><string>&j;</string></array></plist>\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlistFixture,
    ::testing::Values(
        FixtureCase{"indented with tabs",
                    wrap("<array>\n\t<string>Paris</string>\n\t<string>1|2|x</string>\n</array>"),
                    std::vector<std::string>{"Paris", "1|2|x"}},
        FixtureCase{"empty array", wrap("<array/>"), std::vector<std::string>{}},
        FixtureCase{"empty string element", wrap("<array><string/><string></string></array>"),
                    std::vector<std::string>{"", ""}},
        FixtureCase{"comments and references",
                    wrap("<array><!-- kept --><string>a&#x20;&lt;b</string></array>"),
                    std::vector<std::string>{"a <b"}},
        FixtureCase{"bare array", "<array><string>x</string></array>",
                    std::vector<std::string>{"x"}},
        FixtureCase{"dictionary root", wrap("<dict><key>a</key><string>b</string></dict>"),
                    std::nullopt},
        FixtureCase{"string root", wrap("<string>Paris</string>"), std::nullopt},
        FixtureCase{"number entry", wrap("<array><string>a</string><integer>1</integer></array>"),
                    std::nullopt},
        FixtureCase{"nested array", wrap("<array><array><string>a</string></array></array>"),
                    std::nullopt},
        FixtureCase{"markup inside a string", wrap("<array><string>a<b/></string></array>"),
                    std::nullopt},
        FixtureCase{"loose text in the array", wrap("<array>hello<string>a</string></array>"),
                    std::nullopt},
        FixtureCase{"two values", wrap("<array/><array/>"), std::nullopt},
        FixtureCase{"unclosed element", wrap("<array><string>a</array>"), std::nullopt},
        FixtureCase{"cut off", kHeader + "<plist><array><string>a</string>"s, std::nullopt},
        FixtureCase{"trailing garbage", wrap("<array/>") + "<x/>", std::nullopt},
        FixtureCase{"empty file", "", std::nullopt},
        FixtureCase{"binary property list", "bplist00\xA1\x01\x51\x61\x08\x0A"s, std::nullopt},
        FixtureCase{"control character reference", wrap("<array><string>&#1;</string></array>"),
                    std::nullopt},
        FixtureCase{"entity expansion bomb", entityBomb(), std::nullopt}));

TEST_F(PlistFileTest, DirectoryOrOversizedFileIsNotAnArray) {
    QDir(dir_.path()).mkdir("folder.plist");
    EXPECT_EQ(plist_.readStringArray(path("folder.plist")).state, State::NotAnArray);

    ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), std::vector<std::string>(200, "Paris")));
    EXPECT_EQ(PlistFile(1024).readStringArray(path()).state, State::NotAnArray);
    EXPECT_EQ(PlistFile(1 << 20).readStringArray(path()).state, State::Array);
}

} // namespace
} // namespace terrabo
