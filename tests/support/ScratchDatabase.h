#pragma once
#include "db/Connection.h"
#include "tests/support/TempFolder.h"

#include <QString>

#include <ostream>

// The built empty organisation database (TSUBAKI_APP_DIR + "/OrgDB/TSUBAKI.FDB").
QString EmptyOrgDbPath();

// A copy of the built empty organisation database in a folder of its own, removed
// with the folder when the test ends. The folder name is Japanese, as organisation
// folders are. Throws when the built database is missing.
class ScratchDatabase {
  public:
    ScratchDatabase();
    const QString& Path() const { return path_; }
    // A database string provider that always names this copy.
    db::Connection::DatabaseStringProvider Provider() const {
        return [path = path_] { return path; };
    }

  private:
    TempFolder folder_;
    QString path_;
};

// A writable copy of the built sample organisation's database, as TSUBAKI.FDB in
// `folder`. Throws when the built database is missing.
QString CopyOfSampleDatabase(const TempFolder& folder);

namespace db {
// Shows a value in test failures as its kind and contents.
void PrintTo(const Value& value, std::ostream* os);
}  // namespace db
