#pragma once
// An installation with the organisation 東町会 logged in, and a scratch folder for
// backups.

#include <QString>
#include <QTest>

#include "core/KyotsuUnit.h"
#include "tests/login/LoginFixture.h"
#include "tests/support/TempFolder.h"

class BackupFixture : public LoginFixture {
  public:
    BackupFixture() : fdbPath(AddOrganisation(Dantai())) {
        CurrentDantai = Dantai();
        SetNendo(fdbPath, 2022);
    }

    static QString Dantai() { return QStringLiteral("東町会"); }
    QString Scratch(const QString& name) const { return scratch_.File(name); }

    static int Nendo(const QString& databasePath) {
        return Query(databasePath, QStringLiteral("select NENDO from KANRI where (KY = 1)")).toInt();
    }
    static void SetNendo(const QString& databasePath, int nendo) {
        Execute(databasePath, QStringLiteral("update KANRI set NENDO = %1 where (KY = 1)").arg(nendo));
    }
    // The entries of a folder, hidden ones included.
    static QStringList Entries(const QString& folder);

    // Damage that harmed the engine validating the file: the first page listing a
    // table's data pages (its pointer page) claims 60,000 of them. On a system
    // table's page the engine crashed or hung in trials; on one of the books' own
    // tables it fails with an I/O error and stays attached to the file.
    enum class PageDamage { OfASystemTable, OfTheBooksOwnTable };
    // `file` (a database's bytes) with that damage; the file still opens.
    static QByteArray Damaged(QByteArray file, PageDamage damage);

    const QString fdbPath;

  private:
    TempFolder scratch_;
};

// A window shown (and so prepared) for the length of a test.
template <class Form>
struct ShownWindow {
    ShownWindow() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    ~ShownWindow() { form.hide(); }
    Form form;
};
