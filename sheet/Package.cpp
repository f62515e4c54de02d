#include "sheet/Package.h"

#include "core/Errors.h"

#include <zip.h>
#include <QDir>
#include <QFileInfo>
#include <sstream>

namespace sheet {
namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
const QString kContentTypes = QStringLiteral("[Content_Types].xml");
const QString kRelsNs = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");

QString CannotRead(const QString& path) {
    return QStringLiteral("ファイル「%1」をブックとして開けません。").arg(QDir::toNativeSeparators(path));
}

struct ZipCloser {
    void operator()(zip_t* z) const {
        if (z)
            zip_discard(z);
    }
};

QString Folder(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

}  // namespace

Package Package::Load(const QString& path) {
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!archive)
        throw EAppError(CannotRead(path));
    Package package;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0)
            throw EAppError(CannotRead(path));
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(u'/'))
            continue;
        QByteArray bytes(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(i), 0);
        if (!file)
            throw EAppError(CannotRead(path));
        const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (read != static_cast<zip_int64_t>(stat.size))
            throw EAppError(CannotRead(path));
        package.parts_.emplace_back(name, bytes);
    }
    if (!package.Has(kContentTypes) || !package.Has(QStringLiteral("_rels/.rels")))
        throw EAppError(CannotRead(path));
    return package;
}

bool Package::Has(const QString& part) const {
    for (const auto& [name, bytes] : parts_) {
        if (name == part)
            return true;
    }
    return false;
}

std::vector<QString> Package::PartNames() const {
    std::vector<QString> names;
    for (const auto& entry : parts_)
        names.push_back(entry.first);
    return names;
}

QByteArray Package::BytesOf(const QString& part) const {
    if (auto it = xml_.find(part); it != xml_.end())
        return SerializeXml(*it->second);
    for (const auto& [name, bytes] : parts_) {
        if (name == part)
            return bytes;
    }
    return {};
}

void Package::SetBytes(const QString& part, const QByteArray& bytes) {
    xml_.erase(part);
    for (auto& entry : parts_) {
        if (entry.first == part) {
            entry.second = bytes;
            return;
        }
    }
    parts_.emplace_back(part, bytes);
}

void Package::Remove(const QString& part) {
    xml_.erase(part);
    std::erase_if(parts_, [&](const auto& entry) { return entry.first == part; });
}

pugi::xml_document& Package::Xml(const QString& part) {
    if (auto it = xml_.find(part); it != xml_.end())
        return *it->second;
    if (!Has(part))
        throw EAppError(QStringLiteral("ブックの部品「%1」がありません。").arg(part));
    const QByteArray bytes = BytesOf(part);
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kParseOptions,
                          pugi::encoding_utf8)) {
        throw EAppError(QStringLiteral("ブックの部品「%1」を読み込めません。").arg(part));
    }
    return *xml_.emplace(part, std::move(doc)).first->second;
}

void Package::SaveAs(const QString& path, const std::map<QString, std::vector<ZipPiece>>& assembled) {
    ZipWriter zip(path);
    auto add = [&](const QString& name) {
        if (auto it = assembled.find(name); it != assembled.end())
            zip.Add(name, it->second);
        else
            zip.Add(name, {ZipPiece{BytesOf(name)}});
    };
    // The content types come first, as readers expect.
    add(kContentTypes);
    for (const auto& entry : parts_) {
        if (entry.first != kContentTypes)
            add(entry.first);
    }
    zip.Commit();
}

QByteArray SerializeXml(const pugi::xml_node& node) {
    std::ostringstream stream;
    node.print(stream, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string text = stream.str();
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString RelsPartOf(const QString& part) {
    return Folder(part) + QStringLiteral("_rels/") + part.mid(Folder(part).size()) + QStringLiteral(".rels");
}

QString ResolveTarget(const QString& sourcePart, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QDir::cleanPath(Folder(sourcePart) + target);
}

QString RelativeTarget(const QString& sourcePart, const QString& part) {
    const QString folder = Folder(sourcePart);
    if (part.startsWith(folder))
        return part.mid(folder.size());
    return u'/' + part;
}

std::vector<Relationship> ReadRelationships(Package& package, const QString& sourcePart) {
    std::vector<Relationship> list;
    const QString rels = RelsPartOf(sourcePart);
    if (!package.Has(rels))
        return list;
    for (pugi::xml_node node : package.Xml(rels).child("Relationships").children("Relationship")) {
        list.push_back({Text(node.attribute("Id").value()), Text(node.attribute("Type").value()),
                        Text(node.attribute("Target").value()),
                        QString::fromUtf8(node.attribute("TargetMode").value()) == u"External"});
    }
    return list;
}

QString AddRelationship(Package& package, const QString& sourcePart, const QString& type,
                        const QString& target) {
    const QString rels = RelsPartOf(sourcePart);
    if (!package.Has(rels)) {
        package.SetBytes(
            rels,
            QByteArray(
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships xmlns=\"") +
                kRelsNs.toUtf8() + "\"/>");
    }
    pugi::xml_node root = package.Xml(rels).child("Relationships");
    int n = 1;
    auto taken = [&](const QString& id) {
        for (pugi::xml_node node : root.children("Relationship")) {
            if (Text(node.attribute("Id").value()) == id)
                return true;
        }
        return false;
    };
    while (taken(QStringLiteral("rId%1").arg(n)))
        ++n;
    const QString id = QStringLiteral("rId%1").arg(n);
    pugi::xml_node node = root.append_child("Relationship");
    node.append_attribute("Id").set_value(Utf8(id).constData());
    node.append_attribute("Type").set_value(Utf8(type).constData());
    node.append_attribute("Target").set_value(Utf8(target).constData());
    return id;
}

void RemoveRelationship(Package& package, const QString& sourcePart, const QString& id) {
    const QString rels = RelsPartOf(sourcePart);
    if (!package.Has(rels))
        return;
    pugi::xml_node root = package.Xml(rels).child("Relationships");
    for (pugi::xml_node node : root.children("Relationship")) {
        if (Text(node.attribute("Id").value()) == id) {
            root.remove_child(node);
            return;
        }
    }
}

QString ContentTypeOf(Package& package, const QString& part) {
    pugi::xml_node types = package.Xml(kContentTypes).child("Types");
    const QString name = u'/' + part;
    for (pugi::xml_node node : types.children("Override")) {
        if (Text(node.attribute("PartName").value()).compare(name, Qt::CaseInsensitive) == 0) {
            return Text(node.attribute("ContentType").value());
        }
    }
    const QString extension = QFileInfo(part).suffix();
    for (pugi::xml_node node : types.children("Default")) {
        if (Text(node.attribute("Extension").value()).compare(extension, Qt::CaseInsensitive) == 0) {
            return Text(node.attribute("ContentType").value());
        }
    }
    return {};
}

void SetContentTypeOverride(Package& package, const QString& part, const QString& type) {
    pugi::xml_node types = package.Xml(kContentTypes).child("Types");
    const QString name = u'/' + part;
    for (pugi::xml_node node : types.children("Override")) {
        if (Text(node.attribute("PartName").value()).compare(name, Qt::CaseInsensitive) == 0) {
            node.attribute("ContentType").set_value(Utf8(type).constData());
            return;
        }
    }
    pugi::xml_node node = types.append_child("Override");
    node.append_attribute("PartName").set_value(Utf8(name).constData());
    node.append_attribute("ContentType").set_value(Utf8(type).constData());
}

void RemoveContentTypeOverride(Package& package, const QString& part) {
    pugi::xml_node types = package.Xml(kContentTypes).child("Types");
    const QString name = u'/' + part;
    for (pugi::xml_node node : types.children("Override")) {
        if (Text(node.attribute("PartName").value()).compare(name, Qt::CaseInsensitive) == 0) {
            types.remove_child(node);
            return;
        }
    }
}

}  // namespace sheet
