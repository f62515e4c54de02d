#pragma once
// An Office Open XML package held in memory: every part as bytes, in the
// order of the file, with the XML parts that are being edited parsed once.
// Parts nobody touches are written back byte for byte.

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <vector>

#include "sheet/ZipWriter.h"

namespace sheet {

class Package {
  public:
    // Reads the whole package; EAppError when the file cannot be read as one.
    static Package Load(const QString& path);

    bool Has(const QString& part) const;
    std::vector<QString> PartNames() const;
    // Adds or replaces a part's bytes (drops its parsed form).
    void SetBytes(const QString& part, const QByteArray& bytes);
    void Remove(const QString& part);
    // The parsed part, kept and written back on save; EAppError when it is missing or not XML.
    pugi::xml_document& Xml(const QString& part);

    // Writes the package to `path` (replaced as a whole); EAppError on failure.
    // A part named in `assembled` is written from those pieces instead (a
    // worksheet with streamed detail rows).
    void SaveAs(const QString& path, const std::map<QString, std::vector<ZipPiece>>& assembled = {});

  private:
    QByteArray BytesOf(const QString& part) const;

    std::vector<std::pair<QString, QByteArray>> parts_;
    std::map<QString, std::unique_ptr<pugi::xml_document>> xml_;
};

// pugixml strings <-> QString.
inline QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}
inline QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}
QByteArray SerializeXml(const pugi::xml_node& node);

// Relationship bookkeeping ("_rels/x.rels" beside a part).
QString RelsPartOf(const QString& part);
// A relationship target resolved against the part that holds it ("xl/" + "worksheets/sheet1.xml").
QString ResolveTarget(const QString& sourcePart, const QString& target);
// `part` written relative to the folder of `sourcePart`.
QString RelativeTarget(const QString& sourcePart, const QString& part);

struct Relationship {
    QString id;
    QString type;
    QString target;
    bool external = false;
};
std::vector<Relationship> ReadRelationships(Package& package, const QString& sourcePart);
// Adds a relationship and returns its new, unique id.
QString AddRelationship(Package& package, const QString& sourcePart, const QString& type,
                        const QString& target);
void RemoveRelationship(Package& package, const QString& sourcePart, const QString& id);

// [Content_Types].xml
QString ContentTypeOf(Package& package, const QString& part);
void SetContentTypeOverride(Package& package, const QString& part, const QString& type);
void RemoveContentTypeOverride(Package& package, const QString& part);

}  // namespace sheet
