#include "journal/ImportDuplicates.h"

#include <QHash>

#include "core/JapaneseText.h"
#include "db/Connection.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString KeyText(const LineKey& k) {
    return QStringList{k.hizuke.trimmed(), QString::number(k.kaikeiKubun), QString::number(k.syunyu),
                       QString::number(k.sisyutsu), TrimZen(k.tekiyo)}
        .join(u'\x1f');
}

}  // namespace

std::vector<bool> ProbableDuplicates(const std::vector<LineKey>& rows, const std::vector<LineKey>& year) {
    QHash<QString, int> inYear;
    for (const LineKey& line : year)
        ++inYear[KeyText(line)];
    std::vector<bool> duplicate;
    duplicate.reserve(rows.size());
    for (const LineKey& row : rows) {
        int& left = inYear[KeyText(row)];
        duplicate.push_back(left > 0);
        if (left > 0)
            --left;
    }
    return duplicate;
}

std::vector<LineKey> WorkLineKeys(db::Connection& connection, const db::WorkKey& key) {
    std::vector<LineKey> keys;
    connection.SelectEach(
        u"select HIZUKE, KAIKEI_KUBUN, SYUNYU, SISYUTSU, TEKIYO from W_MEISAI "
        u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"_s,
        {{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}}, [&keys](const std::vector<db::Value>& r) {
            keys.push_back({r[0].IsNull() ? QString() : r[0].AsString(),
                            r[1].IsNull() ? 0 : static_cast<int>(r[1].AsInteger()),
                            r[2].IsNull() ? 0 : r[2].AsInteger(), r[3].IsNull() ? 0 : r[3].AsInteger(),
                            r[4].IsNull() ? QString() : r[4].AsString()});
        });
    return keys;
}
