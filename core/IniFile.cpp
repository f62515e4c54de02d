#include "core/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <optional>
#include <vector>

#include "core/Errors.h"

namespace {

// Trims what the format ignores around names and values: spaces and control characters.
QString TrimIni(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

bool SameName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAscii(a.at(i).unicode()) != FoldAscii(b.at(i).unicode()))
            return false;
    }
    return true;
}

struct Line {
    enum class Kind { Other, Section, Entry };
    QByteArray text;  // the raw bytes without the line ending
    QByteArray eol;   // "\n", "\r\n", or empty for a last line without one
    Kind kind = Kind::Other;
    QString name;  // section name or key
    QString value;
};

Line ParseLine(QByteArray text, QByteArray eol, bool firstLine) {
    Line line{std::move(text), std::move(eol), Line::Kind::Other, {}, {}};
    QString decoded = QString::fromUtf8(line.text);
    if (firstLine && decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    const QString trimmed = TrimIni(decoded);
    if (trimmed.startsWith(u';'))
        return line;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            line.kind = Line::Kind::Section;
            line.name = TrimIni(trimmed.mid(1, close - 1));
        }
        return line;
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals > 0) {
        line.name = TrimIni(trimmed.left(equals));
        if (!line.name.isEmpty()) {
            line.kind = Line::Kind::Entry;
            line.value = TrimIni(trimmed.mid(equals + 1));
        }
    }
    return line;
}

struct Document {
    std::vector<Line> lines;
    QByteArray newline = "\n";

    // [header, end) of the first section called `section`; nullopt when there is none.
    struct Range {
        size_t header;
        size_t end;
    };
    std::optional<Range> FindSection(const QString& section) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind != Line::Kind::Section || !SameName(lines[i].name, section))
                continue;
            size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != Line::Kind::Section)
                ++end;
            return Range{i, end};
        }
        return std::nullopt;
    }

    const Line* FindEntry(const QString& section, const QString& key) const {
        const auto range = FindSection(section);
        if (!range)
            return nullptr;
        for (size_t i = range->header + 1; i < range->end; ++i) {
            if (lines[i].kind == Line::Kind::Entry && SameName(lines[i].name, key))
                return &lines[i];
        }
        return nullptr;
    }

    QByteArray Bytes() const {
        QByteArray bytes;
        for (size_t i = 0; i < lines.size(); ++i) {
            bytes += lines[i].text;
            // A last line without an ending gets one once something follows it.
            bytes += (lines[i].eol.isEmpty() && i + 1 < lines.size()) ? newline : lines[i].eol;
        }
        return bytes;
    }
};

Document Parse(const QByteArray& bytes) {
    Document doc;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        QByteArray eol;
        if (end < 0) {
            end = bytes.size();
        } else {
            eol = "\n";
        }
        QByteArray text = bytes.mid(start, end - start);
        if (!eol.isEmpty() && text.endsWith('\r')) {
            text.chop(1);
            eol = "\r\n";
        }
        if (doc.lines.empty() && !eol.isEmpty())
            doc.newline = eol;
        doc.lines.push_back(ParseLine(std::move(text), std::move(eol), doc.lines.empty()));
        start = end + 1;
    }
    return doc;
}

// The file's current contents; nullopt when it cannot be read (missing, a folder, no permission).
std::optional<Document> Load(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Parse(file.readAll());
}

void Save(const QString& fileName, const Document& doc) {
    QSaveFile file(fileName);
    const QByteArray bytes = doc.Bytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw EAppError(QStringLiteral("設定ファイル［") + fileName +
                        QStringLiteral("］に書き込めませんでした。"));
    }
}

void CheckName(const QString& name) {
    if (!IniFile::IsValidName(name)) {
        throw EAppError(QStringLiteral("［") + name + QStringLiteral("］は名前に使用できません。"));
    }
}

Line EntryLine(const QString& key, const QString& value, const QByteArray& eol) {
    Line line{(key + u'=' + value).toUtf8(), eol, Line::Kind::Entry, key, TrimIni(value)};
    return line;
}

}  // namespace

bool IniFile::IsValidName(const QString& name) {
    if (name.isEmpty() || !name.isValidUtf16() || TrimIni(name) != name || name.startsWith(u';'))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'=' || c == u'[' || c == u']')
            return false;
    }
    return true;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const auto doc = Load(fileName_);
    if (!doc)
        return defaultValue;
    const Line* entry = doc->FindEntry(section, key);
    return entry ? entry->value : defaultValue;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) const {
    CheckName(section);
    CheckName(key);
    if (value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(0))) {
        throw EAppError(QStringLiteral("改行を含む値は設定ファイルに書き込めません。"));
    }
    Document doc = Load(fileName_).value_or(Document{});
    const auto range = doc.FindSection(section);
    if (!range) {
        if (!doc.lines.empty() && !doc.lines.back().text.trimmed().isEmpty()) {
            doc.lines.push_back(Line{{}, doc.newline, Line::Kind::Other, {}, {}});
        }
        doc.lines.push_back(
            Line{(u'[' + section + u']').toUtf8(), doc.newline, Line::Kind::Section, section, {}});
        doc.lines.push_back(EntryLine(key, value, doc.newline));
        Save(fileName_, doc);
        return;
    }
    size_t insertAt = range->header + 1;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        Line& line = doc.lines[i];
        if (line.kind != Line::Kind::Entry)
            continue;
        if (SameName(line.name, key)) {
            Line replacement = EntryLine(key, value, line.eol);
            if (replacement.text == line.text)
                return;
            line = std::move(replacement);
            Save(fileName_, doc);
            return;
        }
        insertAt = i + 1;
    }
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                     EntryLine(key, value, doc.newline));
    Save(fileName_, doc);
}

void IniFile::DeleteKey(const QString& section, const QString& key) const {
    auto doc = Load(fileName_);
    if (!doc)
        return;
    const auto range = doc->FindSection(section);
    if (!range)
        return;
    const auto first = doc->lines.begin() + static_cast<std::ptrdiff_t>(range->header + 1);
    const auto last = doc->lines.begin() + static_cast<std::ptrdiff_t>(range->end);
    const auto kept = std::remove_if(first, last, [&](const Line& line) {
        return line.kind == Line::Kind::Entry && SameName(line.name, key);
    });
    if (kept == last)
        return;
    doc->lines.erase(kept, last);
    Save(fileName_, *doc);
}

QStringList IniFile::ReadSectionKeys(const QString& section) const {
    QStringList keys;
    const auto doc = Load(fileName_);
    if (!doc)
        return keys;
    const auto range = doc->FindSection(section);
    if (!range)
        return keys;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const Line& line = doc->lines[i];
        if (line.kind != Line::Kind::Entry)
            continue;
        const bool seen = std::any_of(keys.cbegin(), keys.cend(),
                                      [&](const QString& key) { return SameName(key, line.name); });
        if (!seen)
            keys.append(line.name);
    }
    return keys;
}

bool IniFile::SectionHasKeys(const QString& section) const {
    return !ReadSectionKeys(section).isEmpty();
}
