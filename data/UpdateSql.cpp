#include "data/UpdateSql.h"

#include <QStringList>

namespace data {

namespace {

QString WhereByKey(const std::vector<StoreColumn>& columns, const std::vector<int>& keyColumns,
                   const PackedValues& original, db::Connection::Params& params) {
    QStringList terms;
    for (std::size_t k = 0; k < keyColumns.size(); ++k) {
        const auto c = static_cast<std::size_t>(keyColumns[k]);
        const db::Value v = original.At(c);
        if (v.IsNull()) {
            terms << columns[c].origin + QStringLiteral(" is null");
        } else {
            const QString param = QStringLiteral("K%1").arg(k);
            terms << columns[c].origin + QStringLiteral(" = :") + param;
            params.emplace_back(param, v);
        }
    }
    return QStringLiteral(" where ") + terms.join(QStringLiteral(" and "));
}

}  // namespace

std::optional<UpdateStatement> BuildUpdateStatement(const QString& table,
                                                    const std::vector<StoreColumn>& columns,
                                                    const std::vector<int>& keyColumns, const Row& row) {
    UpdateStatement s;
    switch (row.status) {
        case RowStatus::Inserted: {
            QStringList names, values;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (!columns[c].inUpdate)
                    continue;
                const QString param = QStringLiteral("V%1").arg(c);
                names << columns[c].origin;
                values << u':' + param;
                s.params.emplace_back(param, row.values.At(c));
            }
            s.sql = QStringLiteral("insert into ") + table + QStringLiteral(" (") +
                    names.join(QStringLiteral(", ")) + QStringLiteral(") values (") +
                    values.join(QStringLiteral(", ")) + u')';
            return s;
        }
        case RowStatus::Modified: {
            QStringList sets;
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (!columns[c].inUpdate || row.values.SameAt(c, row.original))
                    continue;
                const QString param = QStringLiteral("V%1").arg(c);
                sets << columns[c].origin + QStringLiteral(" = :") + param;
                s.params.emplace_back(param, row.values.At(c));
            }
            if (sets.isEmpty())
                return std::nullopt;
            s.sql = QStringLiteral("update ") + table + QStringLiteral(" set ") +
                    sets.join(QStringLiteral(", ")) + WhereByKey(columns, keyColumns, row.original, s.params);
            s.mustFindRow = true;
            return s;
        }
        case RowStatus::Deleted:
            s.sql = QStringLiteral("delete from ") + table +
                    WhereByKey(columns, keyColumns, row.original, s.params);
            s.mustFindRow = true;
            return s;
        case RowStatus::Unmodified:
            break;
    }
    return std::nullopt;
}

}  // namespace data
