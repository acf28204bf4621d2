#include "system/qt/PlistFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace terrabo {

namespace {

using State = StringArrayFile::State;

// The text of one <string>, the reader standing on its start tag. Converting
// each piece straight to UTF-8 skips building a QString per entry.
bool readString(QXmlStreamReader& xml, std::string& text) {
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters: {
            const QByteArray piece = xml.text().toUtf8();
            text.append(piece.constData(), static_cast<std::size_t>(piece.size()));
            break;
        }
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            break;
        default:
            return false; // markup or an unknown entity inside the text
        }
    }
    return false;
}

// Reads <array> of <string>s, the reader standing just inside the array.
bool readStrings(QXmlStreamReader& xml, std::vector<std::string>& items) {
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (xml.name() != QLatin1String("string") || !readString(xml, items.emplace_back()))
                return false;
            break;
        case QXmlStreamReader::EndElement:
            return true; // </array>
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                return false;
            break;
        default:
            break; // comments, processing instructions
        }
    }
    return false;
}

bool readDocument(QXmlStreamReader& xml, std::vector<std::string>& items) {
    if (!xml.readNextStartElement())
        return false;
    // A bare array without the plist wrapper is accepted too.
    const bool wrapped = xml.name() == QLatin1String("plist");
    if (wrapped && !xml.readNextStartElement())
        return false;
    if (xml.name() != QLatin1String("array") || !readStrings(xml, items))
        return false;
    if (wrapped && xml.readNextStartElement())
        return false; // a second value in the plist
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            return false;
    return !xml.hasError();
}

// XML 1.0 has no way to write most control characters, not even escaped.
QString storable(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8); // bad UTF-8 becomes U+FFFD
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

// A bare carriage return would come back as a line feed: XML readers
// normalise line ends, but keep a character reference as it is.
void writeString(QXmlStreamWriter& xml, const QString& text) {
    xml.writeStartElement(QStringLiteral("string"));
    const QStringList parts = text.split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        if (!parts[i].isEmpty())
            xml.writeCharacters(parts[i]);
    }
    xml.writeEndElement();
}

} // namespace

StringArrayFile PlistFile::readStringArray(const std::string& path) {
    const QString qpath = QString::fromStdString(path);
    const QFileInfo info(qpath);
    if (!info.exists() && !info.isSymLink())
        return {State::Missing, {}};
    StringArrayFile result{State::NotAnArray, {}};
    if (!info.isFile() || info.size() > maxFileBytes_)
        return result;
    QFile file(qpath);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    QXmlStreamReader xml(&file);
    std::vector<std::string> items;
    if (!readDocument(xml, items))
        return result;
    result.state = State::Array;
    result.items = std::move(items);
    return result;
}

bool PlistFile::writeStringArrayAtomically(const std::string& path,
                                           const std::vector<std::string>& items) {
    const QString qpath = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(qpath).absolutePath()))
        return false;
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1); // one tab
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
    xml.writeStartElement(QStringLiteral("plist"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    xml.writeStartElement(QStringLiteral("array"));
    for (const std::string& item : items)
        writeString(xml, storable(item));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace terrabo
