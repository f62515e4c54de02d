#include "tests/statements/YosanFixture.h"

#include <QTabBar>

#include "statements/TotalLine.h"

using namespace Qt::Literals::StringLiterals;

YosanTest::YosanTest() {
    Seed(module.SQLConnection1);
}

void YosanTest::Seed(db::Connection& c) {
    ExecuteAll(
        c,
        {
            u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN) values (2020, '20200401', '20210331', 0)"_s,
            u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN, YOSAN_YAKUSYOKU, YOSAN_DAIHYOSYA) "
            u"values (2021, '20210401', '20220331', 0, '会長', '山田太郎')"_s,
            u"insert into KAIKEI_KUBUN (CD, MEISYO) values (2, '祭礼会計')"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (20, '事業費', 2, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (40, '預り金', 1, 0, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (41, '預り金払', 2, 0, 2)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (1001, '会費', 10, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, KAISI_NENDO, TOKUBETSU_CD) "
            u"values (1002, '寄付金', 10, 2, 2022, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (2001, '事業費', 20, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SYURYO_NENDO, TOKUBETSU_CD) "
            u"values (2002, '通信費', 20, 2, 0, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (4001, '預り金', 40, 1, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (4101, '預り金払出', 41, 1, 0)"_s,
            // The general account's transfers with 2 and their counterparts there.
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, TOKUBETSU_CD) values (6002, '祭礼会計へ繰出', 60, 1, 2)"_s,
        });
}

std::unique_ptr<TYosanNyuryokuForm> YosanTest::Open() {
    auto form = std::make_unique<TYosanNyuryokuForm>();
    ShowActive(*form);
    return form;
}

void YosanTest::ShowPage(TYosanNyuryokuForm& form, int index) {
    form.PageControl1->setCurrentIndex(index);
    Settle();
}

void YosanTest::SetRow(data::DataSet& view, int kamoku,
                       const std::vector<std::pair<QString, QString>>& cells) {
    ASSERT_TRUE(view.Locate(u"KAMOKU"_s, {kamoku})) << kamoku;
    view.Edit();
    for (const auto& [field, text] : cells)
        view.FieldByName(field).SetText(text);
    view.Post();
    Settle();
}

void YosanTest::SetKurikosi(TYosanNyuryokuForm& form, int kamoku, const QString& typed) {
    ASSERT_TRUE(form.KurikosiClone.Locate(u"KAMOKU"_s, {kamoku})) << kamoku;
    form.KurikosiClone.Edit();
    form.KurikosiClone.FieldByName(u"KURIKOSI"_s).SetText(typed);
    form.KurikosiClone.Post();
    Settle();
}

QStringList YosanTest::WorkRows(const TYosanNyuryokuForm& form) {
    return Rows(
        u"select KAIKEI_KUBUN, KAMOKU, YOSAN, ZENNEN_YOSAN, ZENNEN_KESSAN from W_YOSAN "
        u"where JIKOKU = '%1' order by KAIKEI_KUBUN, KAMOKU"_s.arg(form.Jikoku));
}

QString YosanTest::Total(const TTotalLine* line) {
    return QStringList{line->Label(), line->Text(0), line->Text(1), line->Text(2)}.join(u'|');
}
