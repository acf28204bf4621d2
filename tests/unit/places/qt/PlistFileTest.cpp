#include "system/qt/PlistFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>

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

std::string attributes(int n) {
    std::string list;
    for (int i = 0; i < n; ++i)
        list += " a" + std::to_string(i) + "=\"x\"";
    return list;
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
        FixtureCase{"entity expansion bomb", entityBomb(), std::nullopt},
        FixtureCase{"internal subset without entities",
                    "<!DOCTYPE plist [ <!ELEMENT plist ANY> ]>" + wrap("<array/>"), std::nullopt},
        FixtureCase{"undeclared entity", wrap("<array><string>&nbsp;</string></array>"),
                    std::nullopt},
        FixtureCase{"attribute on a string",
                    wrap("<array><string lang=\"en\">Paris</string></array>"), std::nullopt},
        FixtureCase{"attribute on the array", wrap("<array id=\"1\"><string>a</string></array>"),
                    std::nullopt},
        FixtureCase{"attribute flood on a string", wrap("<array><string" + attributes(80'000) + ">Paris</string></array>"), std::nullopt},
        FixtureCase{"attribute flood on the root",
                    std::string(kHeader) + "<plist" + attributes(9) + "><array/></plist>",
                    std::nullopt},
        FixtureCase{"leading byte-order mark of the file", "\xEF\xBB\xBF" + wrap("<array/>"),
                    std::vector<std::string>{}},
        FixtureCase{"byte-order mark as text",
                    wrap("<array><string>\xEF\xBB\xBFParis</string></array>"),
                    std::vector<std::string>{"\xEF\xBB\xBFParis"}},
        FixtureCase{"CDATA and character references",
                    wrap("<array><string><![CDATA[<a&b>]]>&#x1F30D;&#13;</string></array>"),
                    std::vector<std::string>{"<a&b>\xF0\x9F\x8C\x8D\r"}},
        FixtureCase{"line ends as XML reads them",
                    wrap("<array><string>a\r\nb\rc</string></array>"),
                    std::vector<std::string>{"a\nb\nc"}},
        FixtureCase{"invalid UTF-8", wrap("<array><string>Z\xFCrich</string></array>"),
                    std::nullopt},
        FixtureCase{"other encoding declared",
                    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><array/>", std::nullopt},
        FixtureCase{"surrogate reference", wrap("<array><string>&#xD800;</string></array>"),
                    std::nullopt}));

TEST_F(PlistFileTest, FileOverSixteenMebibytesIsNotReadAtAll) {
    const std::string entry = "<string>" + std::string(1000, 'x') + "</string>";
    std::string body;
    while (body.size() <= (std::size_t{16} << 20))
        body += entry;
    put(path(), wrap("<array>" + body + "</array>"));
    EXPECT_EQ(plist_.readStringArray(path()).state, State::NotAnArray);
}

// Any list written comes back equal; pieces chosen where writers and readers
// of XML usually slip.
TEST_F(PlistFileTest, EveryWrittenListReadsBackExactly) {
    const std::vector<std::string> pieces = {
        "\xEF\xBB\xBF", "\r", "\r\n", "\n", "\t", " ", "  ", "]]>", "<", ">", "&", "&amp;",
        "&#13;", "<!--", "-->", "<?x?>", "\"", "'", "Paris", "a", "|", "%20", "\xC3\xA9",
        "e\xCC\x81", "\xF0\x9F\x8C\x8D", "\xEF\xBF\xBD", "\xE2\x80\xA8", "\x7F",
        "\xEF\xBF\xBC", "</string>", "<string>", "N|N|N"};
    std::mt19937 random(20261211);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> list(random() % 6);
        for (std::string& item : list)
            for (unsigned n = random() % 8; n > 0; --n)
                item += pieces[random() % pieces.size()];
        ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), list));
        EXPECT_EQ(PlistFile().readStringArray(path()).items, list) << "fresh reader";
        EXPECT_EQ(plist_.readStringArray(path()).items, list) << "the writer's own reader";
    }
}

TEST_F(PlistFileTest, EveryReadSeesWhatIsOnDiskNow) {
    const std::string file = path();
    const std::string other = path("other.plist");
    const auto sameSizeAndTime = [&](const std::vector<std::string>& items) {
        struct stat before {};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        ASSERT_TRUE(PlistFile().writeStringArrayAtomically(other, items));
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
        ASSERT_EQ(::rename(other.c_str(), file.c_str()), 0);
    };
    const struct {
        const char* what;
        std::function<void()> change;
        State state;
        std::vector<std::string> items;
    } cases[] = {
        {"another program replaced it, same size and time",
         [&] { sameSizeAndTime({"Lyon", "1|2|b"}); }, State::Array, {"Lyon", "1|2|b"}},
        {"rewritten in place, same size and time",
         [&] {
             struct stat before {};
             ::stat(file.c_str(), &before);
             std::string bytes = contents(file);
             bytes.replace(bytes.find("Oslo"), 4, "Rome");
             put(file, bytes);
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, file.c_str(), times, 0);
         },
         State::Array, {"Rome", "1|2|a"}},
        {"damaged", [&] { put(file, "<plist><array><string>"); }, State::NotAnArray, {}},
        {"removed", [&] { QFile::remove(QString::fromStdString(file)); }, State::Missing, {}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(plist_.writeStringArrayAtomically(file, {"Oslo", "1|2|a"}));
        ASSERT_EQ(plist_.readStringArray(file).items, (std::vector<std::string>{"Oslo", "1|2|a"}));
        c.change();
        const StringArrayFile read = plist_.readStringArray(file);
        EXPECT_EQ(read.state, c.state) << c.what;
        EXPECT_EQ(read.items, c.items) << c.what;
    }
}

TEST_F(PlistFileTest, DirectoryOrOversizedFileIsNotAnArray) {
    QDir(dir_.path()).mkdir("folder.plist");
    EXPECT_EQ(plist_.readStringArray(path("folder.plist")).state, State::NotAnArray);

    ASSERT_TRUE(plist_.writeStringArrayAtomically(path(), std::vector<std::string>(200, "Paris")));
    EXPECT_EQ(PlistFile(1024).readStringArray(path()).state, State::NotAnArray);
    EXPECT_EQ(PlistFile(1 << 20).readStringArray(path()).state, State::Array);
}

} // namespace
} // namespace terrabo
