#include "kaihi/SetaiImport.h"

#include <QIODevice>

#include <algorithm>
#include <map>

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "journal/CsvReader.h"
#include "kaihi/KaihiStore.h"
#include "kaihi/MeiboStore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Column { Han, Meisyo, Furigana, Jyusyo, Tel, Nyukai, Biko };

// The heading names each column may go by.
const std::pair<const char16_t*, Column> kHeadings[] = {
    {u"班", Column::Han},
    {u"班名", Column::Han},
    {u"世帯名", Column::Meisyo},
    {u"氏名", Column::Meisyo},
    {u"名前", Column::Meisyo},
    {u"ふりがな", Column::Furigana},
    {u"フリガナ", Column::Furigana},
    {u"よみ", Column::Furigana},
    {u"住所", Column::Jyusyo},
    {u"電話番号", Column::Tel},
    {u"電話", Column::Tel},
    {u"TEL", Column::Tel},
    {u"入会日", Column::Nyukai},
    {u"備考", Column::Biko},
};

QString Normal(const QString& text) {
    return ToHankaku(TrimZen(text)).toUpper();
}

}  // namespace

SetaiImportResult ImportSetai(db::Connection& connection, QIODevice& file, const QDate& defaultNyukai) {
    const CsvLimits limits;
    const CsvSurvey survey = SurveyCsv(file, limits);
    if (survey.firstRows.empty())
        throw EAppError(u"ファイルに行がありません。"_s);
    std::map<Column, int> at;
    const QStringList heading = survey.firstRows.front().fields;
    for (int c = 0; c < heading.size(); ++c)
        for (const auto& [name, column] : kHeadings)
            if (Normal(heading[c]) == Normal(QString::fromUtf16(name)) && !at.count(column))
                at[column] = c;
    if (!at.count(Column::Han) || !at.count(Column::Meisyo))
        throw EAppError(
            u"1行目に「班」と「世帯名」の見出しがありません。\r\n"
            u"1行目に列の見出し(班、世帯名、ふりがな、住所、電話番号、入会日、備考)を入れてください。"_s);

    const KaihiMeibo meibo = LoadMeibo(connection);
    SetaiImportResult result;
    const auto use = connection.UseDataset();
    connection.StartTransaction();
    try {
        file.seek(0);
        ForEachCsvRow(file, survey.encoding, limits, [&](CsvRow&& row) {
            if (row.row == 1)
                return;
            if (!row.error.isEmpty()) {
                result.refused.push_back({row.row, row.error});
                return;
            }
            const auto field = [&](Column column) {
                return at.count(column) ? TrimZen(row.fields.value(at[column])) : QString();
            };
            if (std::all_of(row.fields.begin(), row.fields.end(),
                            [](const QString& f) { return TrimZen(f).isEmpty(); }))
                return;  // a blank row between 班
            const QString hanText = Normal(field(Column::Han));
            const auto han = std::find_if(meibo.han.begin(), meibo.han.end(), [&](const KaihiHan& h) {
                return Normal(h.name) == hanText || QString::number(h.hanCd) == hanText;
            });
            if (han == meibo.han.end()) {
                result.refused.push_back(
                    {row.row, u"班「%1」が登録されていません。"_s.arg(field(Column::Han))});
                return;
            }
            SetaiRecord record;
            record.meisyo = field(Column::Meisyo);
            record.furigana = field(Column::Furigana);
            record.jyusyo = field(Column::Jyusyo);
            record.tel = ToHankaku(field(Column::Tel));
            record.biko = field(Column::Biko);
            record.hanCd = han->hanCd;
            const QString nyukai = ToHankaku(field(Column::Nyukai));
            record.nyukai = nyukai.isEmpty() ? defaultNyukai : TypedHizuke(nyukai);
            if (!record.nyukai.isValid()) {
                result.refused.push_back({row.row, u"入会日「%1」が日付ではありません。"_s.arg(nyukai)});
                return;
            }
            if (!connection
                     .Select(u"select first 1 S.SETAI_CD from SETAI S join SETAI_HAN H on (H.SETAI_CD = "
                             u"S.SETAI_CD) "
                             u"where (S.MEISYO = :MEISYO) and (H.HAN_CD = :HAN_CD)"_s,
                             {{u"MEISYO"_s, record.meisyo}, {u"HAN_CD"_s, record.hanCd}})
                     .rows.empty()) {
                result.refused.push_back(
                    {row.row, u"%1に「%2」は登録済みです。"_s.arg(han->name, record.meisyo)});
                return;
            }
            try {
                SaveSetai(connection, record);
                ++result.imported;
            } catch (const EAppError& e) {
                result.refused.push_back({row.row, e.Message()});
            }
        });
        if (result.refused.empty()) {
            connection.Commit();
        } else {
            connection.Rollback();
            result.imported = 0;
        }
    } catch (...) {
        if (connection.InTransaction())
            connection.Rollback();
        throw;
    }
    return result;
}
