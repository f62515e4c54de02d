#pragma once
// A settings file of sections ("[Name]") and "key=value" lines.
//
// Every operation looks at the file anew, so several copies of the program (or a
// user's editor) always see each other's changes; the parsed text of the last file
// read is kept while the file stays the same (same inode, size and nanosecond
// times), so a registry of thousands of keys is parsed once per change. Section names and
// keys match without regard to ASCII letter case; keys keep their file order; a new
// key goes to the end of its section and a new section to the end of the file.
// Lines starting with ";" are comments; lines without "=" are ignored on reading.
// When a section or key appears twice, the first occurrence is the one read and
// written.
//
// The text is UTF-8. A file that is not valid UTF-8 is still read: invalid bytes
// decode to U+FFFD. Writing re-encodes only the line it changes; every other line
// goes back byte for byte, so a hand-edited file keeps its oddities and comments.
// The line ending of new lines follows the file's first line (CR LF or LF).
//
// A write replaces the whole file through a temporary file in the same folder that
// is renamed over the old one, so a crash never leaves half a settings file. A file
// that exists but cannot be read reads as empty (every key its default) and is
// never written or changed: the write would lose everything else in it.

#include <QString>
#include <QStringList>

class IniFile {
  public:
    explicit IniFile(QString fileName) : fileName_(std::move(fileName)) {}

    const QString& FileName() const { return fileName_; }

    // The value (trimmed) of section/key, or `defaultValue` when the key is missing.
    // A key that is present with an empty value reads as empty.
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Adds or replaces section/key. Raises EAppError for a section or key the format
    // cannot hold (see IsValidName), a value holding a line break, a file that
    // cannot be read, or a failed write.
    void WriteString(const QString& section, const QString& key, const QString& value) const;
    // Removes every occurrence of section/key (a leftover duplicate would otherwise
    // reappear). A missing file or key leaves the file untouched.
    void DeleteKey(const QString& section, const QString& key) const;
    // The keys of a section in file order, each once.
    QStringList ReadSectionKeys(const QString& section) const;
    bool SectionHasKeys(const QString& section) const;

    // Whether `name` survives as a section name or key: not empty, no "=", "[", "]",
    // no control characters or broken UTF-16, no leading ";" and no spaces at either
    // end.
    static bool IsValidName(const QString& name);
    // Whether two section names or keys address the same entry (ASCII letters
    // compared without regard to case).
    static bool SameName(const QString& a, const QString& b);

  private:
    QString fileName_;
};
