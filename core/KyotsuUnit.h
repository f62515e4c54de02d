#pragma once
// The settings file Tsubaki.ini in the settings folder (beside the program in a
// runnable folder, $XDG_CONFIG_HOME/tsubaki when installed: platform::SettingsFolder),
// the registry of organisations (団体) it holds, and the login state.
//
// Settings file:
//   [DbFolder] FdbRootPath  root folder of the organisation folders
//   [BkupData] BkupPath     folder of the last backup
//   [DBList]   <name>=<database string>, one key per organisation, in list order
//   [Report]   OutputFolder, Viewer  where workbooks are saved and what opens them
//   [DbServer] ConnectTimeout  seconds a connect to a database server may take

#include <QString>
#include <QStringList>

// Login state, kept for the whole run: plain globals, as every window reads them.
extern QString CurrentDantai;  // the organisation logged in
extern int CurrentNendo;       // the fiscal year handed to every window
extern QString DbRootFolder;   // root folder read from FdbRootPath by the login window
// Clears the three values (program end).
void ClearLoginState();

// The all-users application data folder, made when missing if `create` is set.
QString GetCommonAppDataFolder(bool create);

// Full path of Tsubaki.ini in the settings folder. When there is none yet, a copy
// of <all-users folder>/PLN/Tsubaki/Tsubaki.ini is put there first (made writable);
// the path is returned whether or not a file exists.
QString GetIniFileName();

QString ReadFdbRootPath();
// The root folder the login window and the command line both use: FdbRootPath,
// else $HOME/TsubakiDB.
QString EffectiveDbRootFolder();
// Writes to the file in the settings folder without the first-run copy.
void WriteFdbRootPath(const QString& path);
QString ReadBkupPath();
// Writes to the file in the settings folder without the first-run copy.
void WriteBkupPath(const QString& path);

// Names of the sub-folders of `root` that hold a TSUBAKI.FDB, in file-system order.
// A "localhost:" in `root` is dropped; a missing root gives an empty list. Raises
// "データベース保存フォルダを指定してください。" for an empty root.
QStringList FindDantaiFolders(const QString& root);

// Builds [DBList] from the folders under DbRootFolder when it holds no key. Folder
// names the settings file cannot hold as keys are left out.
void EnsureDBList();

// Organisation names in file order.
QStringList GetDantaiList();

// The database string of organisation `name`; raises name + " のデータベースが
// 見つかりません。" when there is none.
QString GetDbPath(const QString& name);

// The path of organisation `name`'s database file on this computer ("localhost:"
// and "localhost/<port>:" dropped), or empty when no such file exists here.
QString GetLocalDbPath(const QString& name);

// The registered name that `name` addresses (keys ignore the case of ASCII
// letters), or empty when none does.
QString RegisteredDantaiName(const QString& name);

// The folder an organisation of that name has under the root folder.
QString DantaiFolder(const QString& name);
// Whether `folder` is organisation `name`'s own folder under the root folder (the
// only folder deleting the organisation may remove with it).
bool IsOwnDantaiFolder(const QString& folder, const QString& name);

// Adds or replaces the registry entry of `name`.
void WriteDBListEntry(const QString& name, const QString& value);

void DeleteIniKey(const QString& section, const QString& key);

// Seconds a connect to a database server may take before the program gives up
// ([DbServer] ConnectTimeout; 5 unless set to a positive number).
int ReadConnectTimeout();

// Folder the workbooks are saved into ($HOME/TsubakiDB/帳票 unless set).
QString ReadReportOutputFolder();
// Command that opens a saved workbook ("xdg-open" unless set; set but empty means
// the workbook is only saved).
QString ReadReportViewer();
