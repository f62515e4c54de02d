#include <functional>
#include <memory>

#include "master/AiteMaintUnit.h"
#include "master/TekiyoMaintUnit.h"
#include "tests/master/MasterGridDriver.h"

namespace {

// The two lists kept by the same window.
struct ListKind {
    const char* name;
    std::function<std::unique_ptr<TTekiyoMaintForm>()> make;
    QString table;
    QString reading;
    QString nameMissing;
    QString duplicate;
};

void PrintTo(const ListKind& kind, std::ostream* os) {
    *os << kind.name;
}

class TekiyoAiteMaint : public MasterGridTest, public ::testing::WithParamInterface<ListKind> {
  protected:
    TekiyoAiteMaint() : kind(GetParam()) {
        Execute(QStringLiteral("insert into %1 (MEISYO, %2) values ('町内会費', 'ちょうないかいひ')")
                    .arg(kind.table, kind.reading));
        Execute(QStringLiteral("insert into %1 (MEISYO, %2) values ('電気代', 'でんきだい')")
                    .arg(kind.table, kind.reading));
        form = kind.make();
        ShowActive(*form);
    }
    QStringList Stored() {
        QStringList rows;
        for (const auto& row : module.SQLConnection1
                                   .Select(QStringLiteral("select MEISYO, %1 from %2 order by MEISYO")
                                               .arg(kind.reading, kind.table))
                                   .rows)
            rows << row[0].AsString() + u'|' + row[1].AsString();
        return rows;
    }

    ListKind kind;
    std::unique_ptr<TTekiyoMaintForm> form;
};

}  // namespace

TEST_P(TekiyoAiteMaint, NamesAreTrimmedAndReadingsNormalised) {
    TDBGrid& grid = *form->DBGrid1;
    const struct {
        const char16_t* name;
        const char16_t* reading;
        const char16_t* stored;
    } cases[] = {
        {u"　会費　", u" ｶｲﾋ ", u"会費|かいひ"},
        {u"ABC", u"abc", u"ABC|ＡＢＣ"},
        {u"がっこう", u"ｶﾞｯｺｳ", u"がっこう|がっこう"},
        {u"カイヒ", u"カイヒ", u"カイヒ|かいひ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.stored).toStdString());
        GoTo(grid, 0, QStringLiteral("MEISYO"));
        Add(*form);
        TypeInto(grid, 0, QStringLiteral("MEISYO"), QString::fromUtf16(c.name));
        TypeInto(grid, 0, kind.reading, QString::fromUtf16(c.reading));
        LeaveRow(grid);
        EXPECT_TRUE(dialogs.Shown().empty());
        EXPECT_TRUE(Stored().contains(QString::fromUtf16(c.stored)));
    }
}

TEST_P(TekiyoAiteMaint, ADuplicateNameIsRefusedAndTheRowsOwnNameAccepted) {
    TDBGrid& grid = *form->DBGrid1;
    const int row = RowOf(grid, QStringLiteral("MEISYO"), QStringLiteral("電気代"));
    TypeInto(grid, row, kind.reading, QStringLiteral("でんき"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    TypeInto(grid, row, QStringLiteral("MEISYO"), QStringLiteral("町内会費"));
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), kind.duplicate);
    ExpectHeldAt(*form, QStringLiteral("MEISYO"));
    Press(Qt::Key_Escape);
    EXPECT_EQ(Stored(), QStringLiteral("町内会費|ちょうないかいひ,電気代|でんき").split(u','));
}

TEST_P(TekiyoAiteMaint, ANameIsRequiredAndAnUntouchedRowDropped) {
    TDBGrid& grid = *form->DBGrid1;
    Add(*form);
    form->DBNavigator1->setFocus();
    Settle();
    EXPECT_EQ(grid.model()->rowCount(), 2);
    Add(*form);
    TypeInto(grid, 0, kind.reading, QStringLiteral("なし"));
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), kind.nameMissing);
    ExpectHeldAt(*form, QStringLiteral("MEISYO"));
    EXPECT_EQ(Stored().size(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, TekiyoAiteMaint,
    ::testing::Values(ListKind{"descriptions", [] { return std::make_unique<TTekiyoMaintForm>(); },
                               QStringLiteral("TEKIYO"), QStringLiteral("KENSAKU_MOJI"),
                               QStringLiteral("摘要を入力してください。"),
                               QStringLiteral("摘要が重複しています。")},
                      ListKind{"counterparties", [] { return std::make_unique<TAiteMaintForm>(); },
                               QStringLiteral("AITE"), QStringLiteral("FURIGANA"),
                               QStringLiteral("名称を入力してください。"),
                               QStringLiteral("名称が重複しています。")}),
    [](const ::testing::TestParamInfo<ListKind>& p) { return std::string(p.param.name); });
