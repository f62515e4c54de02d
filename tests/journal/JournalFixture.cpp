#include "tests/journal/JournalFixture.h"

#include <QAbstractItemModel>

#include "db/WorkKeys.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

JournalTest::JournalTest() {
    CurrentNendo = 2021;
    CurrentDantai = u"東町会"_s;
    Seed(module.SQLConnection1);
}

JournalTest::~JournalTest() {
    ClearLoginState();
}

void JournalTest::Seed(db::Connection& c) {
    for (
        const QString& sql : {
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
        })
        c.Execute(sql);
}

std::unique_ptr<TMeisaiNyuryokuForm> JournalTest::Open() {
    // What the login does: line numbers continue above every line in the database.
    db::EnsureSharingObjects(DataModule1().SQLConnection1);
    auto form = std::make_unique<TMeisaiNyuryokuForm>();
    ShowActive(*form);
    return form;
}

void JournalTest::Load(TMeisaiNyuryokuForm& form, const QString& year) {
    QApplication::setActiveWindow(&form);
    form.Edit1->setFocus();
    form.Edit1->selectAll();
    Type(year);
    Press(Qt::Key_Return);
}

void JournalTest::TypeLine(const QStringList& cells) {
    for (const QString& cell : cells) {
        if (!cell.isEmpty())
            Type(cell);
        Press(Qt::Key_Tab);
    }
}

void JournalTest::ChooseDivision(TMeisaiNyuryokuForm& form, int code) {
    TDBLookupComboBox* combo = form.KaikeiKubunCombo;
    combo->setFocus();
    Settle();
    for (int i = 0; i < combo->count(); ++i) {
        combo->setCurrentIndex(i);
        if (combo->KeyValue().AsInteger() == code) {
            emit combo->activated(i);
            Settle();
            return;
        }
    }
    FAIL() << "no division " << code;
}

QStringList JournalTest::Rows(const QString& sql) {
    QStringList result;
    for (const auto& row : module.SQLConnection1.Select(sql).rows) {
        QStringList values;
        for (const db::Value& v : row)
            values << (v.IsNull() ? u"-"_s : v.AsString());
        result << values.join(u'|');
    }
    return result;
}

QStringList JournalTest::WorkRows(const TMeisaiNyuryokuForm& form) {
    return Rows(
        u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
        u"where JIKOKU = '%1' order by SEQ_NO, KAIKEI_KUBUN"_s.arg(form.Jikoku));
}

QStringList JournalTest::GridLines(const TMeisaiNyuryokuForm& form) {
    QStringList lines;
    const QAbstractItemModel* model = form.DBGrid1->model();
    if (!model)
        return lines;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        if (cells.join(QString()).isEmpty())
            continue;
        lines << cells.join(u'|');
    }
    return lines;
}

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
