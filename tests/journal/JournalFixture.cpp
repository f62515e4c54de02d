#include "tests/journal/JournalFixture.h"

#include "db/WorkKeys.h"

using namespace Qt::Literals::StringLiterals;

JournalTest::JournalTest() {
    Seed(module.SQLConnection1);
}

void JournalTest::Seed(db::Connection& c) {
    ExecuteAll(
        c,
        {
            u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI) values (2021, '20210401', '20220331')"_s,
            u"insert into KAIKEI_KUBUN (CD, MEISYO) values (2, '祭礼会計')"_s,
            u"insert into KAIKEI_KUBUN (CD, MEISYO) values (3, '施設会計')"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (20, '事業費', 2, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (41, '預り金払', 2, 0, 1)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (1001, '会費', 10, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (2001, '事業費', 20, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (4101, '預り金払出', 41, 0)"_s,
            // The general account's transfers: a receipt from 3, a payment to 2.
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (3003, '施設会計より繰入', 30, 3)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (6002, '祭礼会計へ繰出', 60, 2)"_s,
        });
}

std::unique_ptr<TMeisaiNyuryokuForm> JournalTest::Open() {
    // What the login does: line numbers continue above every line in the database.
    db::EnsureSharingObjects(DataModule1().SQLConnection1);
    auto form = std::make_unique<TMeisaiNyuryokuForm>();
    ShowActive(*form);
    return form;
}

void JournalTest::TypeLine(const QStringList& cells) {
    for (const QString& cell : cells) {
        if (!cell.isEmpty())
            Type(cell);
        Press(Qt::Key_Tab);
    }
}

void JournalTest::ChooseDivision(TMeisaiNyuryokuForm& form, int code) {
    form.KaikeiKubunCombo->setFocus();
    Settle();
    ChooseKey(form.KaikeiKubunCombo, code);
}

QStringList JournalTest::WorkRows(const TMeisaiNyuryokuForm& form) {
    return Rows(
        u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
        u"where JIKOKU = '%1' order by SEQ_NO, KAIKEI_KUBUN"_s.arg(form.Jikoku));
}

QStringList JournalTest::GridLines(const TMeisaiNyuryokuForm& form) {
    QStringList lines = GridRows(form.DBGrid1);
    lines.removeIf([](const QString& line) { return QString(line).remove(u'|').isEmpty(); });
    return lines;
}
