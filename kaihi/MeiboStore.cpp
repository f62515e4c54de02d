#include "kaihi/MeiboStore.h"

#include "core/Errors.h"
#include "db/Transaction.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QDate DateOf(const db::Value& value) {
    return value.IsNull() ? QDate() : QDate::fromString(value.AsString(), u"yyyyMMdd"_s);
}

db::Value Ymd(const QDate& date) {
    return date.isValid() ? db::Value(date.toString(u"yyyyMMdd"_s)) : db::Value();
}

db::Value TextOrNull(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? db::Value() : db::Value(trimmed);
}

bool HanExists(db::Connection& connection, int hanCd) {
    return !connection.Select(u"select HAN_CD from HAN where (HAN_CD = :HAN_CD)"_s, {{u"HAN_CD"_s, hanCd}})
                .rows.empty();
}

void Check(const SetaiRecord& record) {
    if (record.meisyo.trimmed().isEmpty())
        throw EAppError(u"世帯名を入力してください。"_s);
    if (record.meisyo.trimmed().size() > 30)
        throw EAppError(u"世帯名は30文字以内で入力してください。"_s);
    if (!record.nyukai.isValid())
        throw EAppError(u"入会日を入力してください。"_s);
    if (record.taikai.isValid() && record.taikai < record.nyukai)
        throw EAppError(u"退会日が入会日より前になっています。"_s);
    const struct {
        const QString& text;
        int length;
        QString name;
    } lengths[] = {{record.furigana, 30, u"ふりがな"_s},
                   {record.jyusyo, 60, u"住所"_s},
                   {record.tel, 20, u"電話番号"_s},
                   {record.biko, 100, u"備考"_s}};
    for (const auto& l : lengths)
        if (l.text.trimmed().size() > l.length)
            throw EAppError(u"%1は%2文字以内で入力してください。"_s.arg(l.name).arg(l.length));
    for (const QChar c : record.tel.trimmed())
        if (c.unicode() > 0x7f)
            throw EAppError(u"電話番号は半角の数字と「-」で入力してください。"_s);
}

}  // namespace

std::vector<SetaiRecord> LoadSetaiRecords(db::Connection& connection, const QDate& day) {
    std::vector<SetaiRecord> records;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        // The 班 of the last move on or before the day (or the first one, for a
        // household that joins later).
        for (const auto& r :
             connection
                 .Select(
                     u"select S.SETAI_CD, S.MEISYO, S.FURIGANA, S.JYUSYO, S.TEL, S.NYUKAI_BI, S.TAIKAI_BI, "
                     u"S.BIKO, coalesce((select first 1 H.HAN_CD from SETAI_HAN H where (H.SETAI_CD = "
                     u"S.SETAI_CD) and (H.KAISI_BI <= :DAY) order by H.KAISI_BI desc), (select first 1 "
                     u"H.HAN_CD "
                     u"from SETAI_HAN H where (H.SETAI_CD = S.SETAI_CD) order by H.KAISI_BI)) "
                     u"from SETAI S order by S.SETAI_CD"_s,
                     {{u"DAY"_s, Ymd(day)}})
                 .rows)
            records.push_back({static_cast<int>(r[0].AsInteger()), r[1].AsString(), r[2].AsString(),
                               r[3].AsString(), r[4].AsString(), DateOf(r[5]), DateOf(r[6]), r[7].AsString(),
                               r[8].IsNull() ? 0 : static_cast<int>(r[8].AsInteger())});
    });
    return records;
}

int SaveSetai(db::Connection& connection, const SetaiRecord& record) {
    Check(record);
    int setaiCd = record.setaiCd;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        const db::Connection::Params values{
            {u"MEISYO"_s, record.meisyo.trimmed()},   {u"FURIGANA"_s, TextOrNull(record.furigana)},
            {u"JYUSYO"_s, TextOrNull(record.jyusyo)}, {u"TEL"_s, TextOrNull(record.tel)},
            {u"NYUKAI_BI"_s, Ymd(record.nyukai)},     {u"TAIKAI_BI"_s, Ymd(record.taikai)},
            {u"BIKO"_s, TextOrNull(record.biko)}};
        if (setaiCd == 0) {
            if (!HanExists(connection, record.hanCd))
                throw EAppError(u"班を選んでください。"_s);
            setaiCd =
                static_cast<int>(connection.Select(u"select coalesce(max(SETAI_CD), 0) + 1 from SETAI"_s)
                                     .rows.at(0)
                                     .at(0)
                                     .AsInteger());
            db::Connection::Params params = values;
            params.emplace_back(u"SETAI_CD"_s, setaiCd);
            connection.Execute(
                u"insert into SETAI (SETAI_CD, MEISYO, FURIGANA, JYUSYO, TEL, NYUKAI_BI, TAIKAI_BI, "
                u"BIKO) values (:SETAI_CD, :MEISYO, :FURIGANA, :JYUSYO, :TEL, :NYUKAI_BI, :TAIKAI_BI, "
                u":BIKO)"_s,
                params);
            connection.Execute(
                u"insert into SETAI_HAN (SETAI_CD, KAISI_BI, HAN_CD) values (:SETAI_CD, :KAISI_BI, "
                u":HAN_CD)"_s,
                {{u"SETAI_CD"_s, setaiCd}, {u"KAISI_BI"_s, Ymd(record.nyukai)}, {u"HAN_CD"_s, record.hanCd}});
            return;
        }
        db::Connection::Params params = values;
        params.emplace_back(u"SETAI_CD"_s, setaiCd);
        if (connection.Execute(u"update SETAI set MEISYO = :MEISYO, FURIGANA = :FURIGANA, JYUSYO = :JYUSYO, "
                               u"TEL = :TEL, NYUKAI_BI = :NYUKAI_BI, TAIKAI_BI = :TAIKAI_BI, BIKO = :BIKO "
                               u"where (SETAI_CD = :SETAI_CD)"_s,
                               params) == 0)
            throw EAppError(u"この世帯は他のコンピュータで削除されています。"_s);
        // The first 班 starts on the joining day, wherever that moved; a joining day
        // on or after a move would leave the move before the household existed.
        const auto history = connection.Select(
            u"select KAISI_BI from SETAI_HAN where (SETAI_CD = :SETAI_CD) order by KAISI_BI"_s,
            {{u"SETAI_CD"_s, setaiCd}});
        if (history.rows.size() >= 2 && DateOf(history.rows[1][0]) <= record.nyukai)
            throw EAppError(u"入会日が班の移動日(%1)以後になっています。"_s.arg(
                DateOf(history.rows[1][0]).toString(u"yyyy/MM/dd"_s)));
        if (!history.rows.empty())
            connection.Execute(
                u"update SETAI_HAN set KAISI_BI = :NYUKAI_BI where (SETAI_CD = :SETAI_CD) and "
                u"(KAISI_BI = :FIRST)"_s,
                {{u"SETAI_CD"_s, setaiCd},
                 {u"NYUKAI_BI"_s, Ymd(record.nyukai)},
                 {u"FIRST"_s, history.rows[0][0]}});
    });
    return setaiCd;
}

void MoveSetai(db::Connection& connection, int setaiCd, const QDate& from, int hanCd) {
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        const auto rows =
            connection.Select(u"select NYUKAI_BI, TAIKAI_BI from SETAI where (SETAI_CD = :SETAI_CD)"_s,
                              {{u"SETAI_CD"_s, setaiCd}});
        if (rows.rows.empty())
            throw EAppError(u"この世帯は他のコンピュータで削除されています。"_s);
        const QDate nyukai = DateOf(rows.rows[0][0]);
        const QDate taikai = DateOf(rows.rows[0][1]);
        if (!from.isValid())
            throw EAppError(u"移動日を入力してください。"_s);
        if (from <= nyukai || (taikai.isValid() && from > taikai))
            throw EAppError(u"移動日は入会日の翌日から退会日までの日付で入力してください。"_s);
        if (!HanExists(connection, hanCd))
            throw EAppError(u"移動先の班を選んでください。"_s);
        const db::Connection::Params key{
            {u"SETAI_CD"_s, setaiCd}, {u"KAISI_BI"_s, Ymd(from)}, {u"HAN_CD"_s, hanCd}};
        if (connection.Execute(u"update SETAI_HAN set HAN_CD = :HAN_CD where (SETAI_CD = :SETAI_CD) and "
                               u"(KAISI_BI = :KAISI_BI)"_s,
                               key) == 0)
            connection.Execute(
                u"insert into SETAI_HAN (SETAI_CD, KAISI_BI, HAN_CD) values (:SETAI_CD, :KAISI_BI, :HAN_CD)"_s,
                key);
    });
}

void DeleteSetai(db::Connection& connection, int setaiCd) {
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        if (!connection
                 .Select(u"select first 1 NOUFU_NO from KAIHI_NOUFU where (SETAI_CD = :SETAI_CD)"_s,
                         {{u"SETAI_CD"_s, setaiCd}})
                 .rows.empty())
            throw EAppError(
                u"この世帯には会費の納付が記録されているため削除できません。\r\n"
                u"退会した世帯は退会日を入力してください。"_s);
        for (const QString& table : {u"KAIHI_MENJYO"_s, u"SETAI_HAN"_s, u"SETAI"_s})
            connection.Execute(u"delete from "_s + table + u" where (SETAI_CD = :SETAI_CD)"_s,
                               {{u"SETAI_CD"_s, setaiCd}});
    });
}
