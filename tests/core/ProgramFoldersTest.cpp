// Where the program reads its files and writes its settings: beside itself in a
// writable runnable folder, share/tsubaki and $XDG_CONFIG_HOME/tsubaki when
// installed, and never into the installation, whoever runs it.

#include "platform/ProgramFolders.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cstdlib>
#include <optional>

namespace {

using platform::DecideProgramFolders;
using platform::FolderFacts;

TEST(ProgramFolders, DecidedFromTheProgramsFolderAndTheEnvironment) {
    const QString bin = QStringLiteral("/usr/bin");
    const QString share = QStringLiteral("/usr/share/tsubaki");
    const QString app = QStringLiteral("/home/u/tsubaki/build/release/app");
    const QString home = QStringLiteral("/home/u");
    struct Case {
        const char* what;
        FolderFacts facts;
        QString files;
        QString settings;
    };
    const Case cases[] = {
        {"build folder: everything beside the program", {app, true, {}, QStringLiteral("/x/config"), home}, app, app},
        {"runnable folder copied where it cannot be written: settings go to the user",
         {app, false, {}, QStringLiteral("/x/config"), home}, app, QStringLiteral("/x/config/tsubaki")},
        {"installed, run by a user", {bin, false, share, QStringLiteral("/x/config"), home}, share,
         QStringLiteral("/x/config/tsubaki")},
        {"installed, run by root (or under a writable prefix): still nothing written there",
         {bin, true, share, QStringLiteral("/x/config"), home}, share, QStringLiteral("/x/config/tsubaki")},
        {"XDG_CONFIG_HOME unset", {bin, false, share, {}, home}, share, QStringLiteral("/home/u/.config/tsubaki")},
        {"XDG_CONFIG_HOME relative, which the XDG rules ignore",
         {bin, false, share, QStringLiteral("config"), home}, share, QStringLiteral("/home/u/.config/tsubaki")},
        {"XDG_CONFIG_HOME with a trailing slash", {bin, false, share, QStringLiteral("/x/config/"), home}, share,
         QStringLiteral("/x/config/tsubaki")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const platform::ProgramFolders folders = DecideProgramFolders(c.facts);
        EXPECT_EQ(folders.files, c.files);
        EXPECT_EQ(folders.settings, c.settings);
    }
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QString& value) : name_(name) {
        if (qEnvironmentVariableIsSet(name))
            old_ = qgetenv(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (old_)
            qputenv(name_, *old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> old_;
};

// An installed layout in a scratch root (as `dpkg -x` makes one, writable here) is
// recognised as installed, so its settings go to the user's folder.
TEST(ProgramFolders, AnInstalledLayoutIsRecognisedFromTheProgramsFolder) {
    TempFolder root;
    ASSERT_TRUE(QDir().mkpath(root.File(QStringLiteral("usr/bin"))));
    ASSERT_TRUE(QDir().mkpath(root.File(QStringLiteral("usr/share/tsubaki/OrgDB"))));
    ASSERT_TRUE(QDir().mkpath(root.File(QStringLiteral("app"))));
    const ScopedEnv config("XDG_CONFIG_HOME", root.File(QStringLiteral("config")));

    const FolderFacts installed = platform::GatherFolderFacts(root.File(QStringLiteral("usr/bin")));
    EXPECT_EQ(installed.installedFilesDir, root.File(QStringLiteral("usr/share/tsubaki")));
    EXPECT_EQ(installed.xdgConfigHome, root.File(QStringLiteral("config")));
    EXPECT_TRUE(installed.programDirWritable);
    EXPECT_EQ(DecideProgramFolders(installed).settings, root.File(QStringLiteral("config/tsubaki")));

    const FolderFacts runnable = platform::GatherFolderFacts(root.File(QStringLiteral("app")));
    EXPECT_TRUE(runnable.installedFilesDir.isEmpty());
    EXPECT_EQ(DecideProgramFolders(runnable).settings, root.File(QStringLiteral("app")));
}

}  // namespace
