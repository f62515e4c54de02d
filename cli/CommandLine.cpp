#include "cli/CommandLine.h"

#include "kaihi/KaihiRules.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

[[noreturn]] void Usage(const QString& what) {
    throw CliError(kExitUsage, what + u"\n詳しくは tsubaki --help を見てください。"_s);
}

QString MonthDay(const QString& option, const QString& value) {
    static const QRegularExpression mmdd(u"^(0[1-9]|1[0-2])(0[1-9]|[12][0-9]|3[01])$"_s);
    if (!mmdd.match(value).hasMatch())
        Usage(option + u" には月日を4桁の数字 (MMDD、例: 0415) で指定してください: "_s + value);
    return value;
}

// "12" or "12-20": the first and the last receipt number.
std::pair<int, int> ReceiptNumbers(const QString& value) {
    static const QRegularExpression range(u"^([1-9][0-9]{0,8})(?:-([1-9][0-9]{0,8}))?$"_s);
    const QRegularExpressionMatch m = range.match(value.trimmed());
    const int first = m.captured(1).toInt();
    const int last = m.captured(2).isEmpty() ? first : m.captured(2).toInt();
    if (!m.hasMatch() || last < first)
        Usage(u"--numbers には領収書の番号を N か N-M (例: 12-20) で指定してください: "_s + value);
    return {first, last};
}

}  // namespace

bool IsCommandLine(const QStringList& args) {
    if (args.isEmpty())
        return false;
    // Any word is a command (a mistyped one is told so, not ignored by a window
    // starting); options are the window's (Qt's -platform, -style …), but for help.
    const QString& first = args.front();
    return !first.startsWith(u'-') || first == u"--help"_s || first == u"-h"_s;
}

Options ParseCommandLine(const QStringList& args) {
    Options o;
    if (args.isEmpty() || args.front() == u"--help"_s || args.front() == u"-h"_s || args.front() == u"help"_s)
        return o;
    const bool report = args.front() == u"report"_s;
    const bool check = args.front() == u"check"_s;
    const bool handover = args.front() == u"handover"_s;
    if (!report && !check && !handover && args.front() != u"export"_s)
        Usage(u"コマンドは report か export か check か handover です: "_s + args.front());
    o.command = report     ? Command::Report
                : check    ? Command::Check
                : handover ? Command::Handover
                           : Command::Export;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == u"--help"_s || option == u"-h"_s) {
            o.command = Command::Help;
            return o;
        }
        if (report && option == u"--list"_s) {
            o.command = Command::List;
            continue;
        }
        if (report && option == u"--zero"_s) {
            o.zero = true;
            continue;
        }
        if (report && option == u"--balances"_s) {
            o.balances = true;
            continue;
        }
        if (report && option == u"--charts"_s) {
            o.charts = true;
            continue;
        }
        static const QStringList valued{u"--org"_s,    u"--year"_s,   u"--kind"_s,    u"--division"_s,
                                        u"--from"_s,   u"--to"_s,     u"--closing"_s, u"--password-file"_s,
                                        u"--out"_s,    u"--format"_s, u"--dues"_s,    u"--date"_s,
                                        u"--numbers"_s};
        static const QStringList reportOnly{u"--kind"_s,    u"--division"_s, u"--from"_s, u"--to"_s,
                                            u"--closing"_s, u"--dues"_s,     u"--date"_s, u"--numbers"_s};
        if (!valued.contains(option) || (report && option == u"--format"_s) ||
            (!report && reportOnly.contains(option)) ||
            (check && option != u"--org"_s && option != u"--year"_s && option != u"--password-file"_s) ||
            (handover && option == u"--format"_s))
            Usage(u"使えないオプションです: "_s + option);
        if (i + 1 >= args.size() || args[i + 1].isEmpty())
            Usage(option + u" の値がありません。"_s);
        const QString value = args[++i];
        if (option == u"--org"_s) {
            o.org = value;
        } else if (option == u"--year"_s) {
            bool ok = false;
            o.year = value.toInt(&ok);
            if (!ok || value.size() != 4 || o.year < 1000)
                Usage(u"--year には年度を4桁の数字で指定してください: "_s + value);
        } else if (option == u"--kind"_s) {
            o.kind = value;
        } else if (option == u"--division"_s) {
            bool ok = false;
            const int code = value.toInt(&ok);
            if (!ok || code < 0)
                Usage(u"--division には会計区分のコードを数字で指定してください: "_s + value);
            o.division = code;
        } else if (option == u"--from"_s) {
            o.from = MonthDay(option, value);
        } else if (option == u"--to"_s) {
            o.to = MonthDay(option, value);
        } else if (option == u"--closing"_s) {
            o.closing = MonthDay(option, value);
        } else if (option == u"--password-file"_s) {
            o.passwordFile = value;
        } else if (option == u"--out"_s) {
            o.out = value;
        } else if (option == u"--dues"_s) {
            o.dues = value.trimmed();
        } else if (option == u"--date"_s) {
            o.date = TypedHizuke(value);
            if (!o.date.isValid())
                Usage(u"--date には日付を YYYYMMDD か YYYY/M/D で指定してください: "_s + value);
        } else if (option == u"--numbers"_s) {
            o.numbers = ReceiptNumbers(value);
        } else if (option == u"--format"_s) {
            if (value != u"csv"_s && value != u"ledger"_s)
                Usage(u"--format は csv か ledger です: "_s + value);
            o.format = value;
        }
    }
    if (o.command == Command::List)
        return o;
    if (o.org.isEmpty())
        Usage(u"--org で団体名を指定してください。"_s);
    if (o.year == 0)
        Usage(u"--year で年度を指定してください。"_s);
    if (o.command == Command::Check)
        return o;
    if (o.out.isEmpty())
        Usage(u"--out で書き出すファイルを指定してください。"_s);
    if (o.command == Command::Handover)
        return o;
    if (o.command == Command::Report) {
        if (o.kind.isEmpty())
            Usage(u"--kind で帳票の種類を指定してください (一覧は tsubaki report --list)。"_s);
        if (!o.out.endsWith(u".xlsx"_s, Qt::CaseInsensitive) &&
            !o.out.endsWith(u".pdf"_s, Qt::CaseInsensitive))
            Usage(u"--out のファイル名は .xlsx か .pdf で終えてください: "_s + o.out);
    } else if (o.format.isEmpty()) {
        Usage(u"--format で形式 (csv か ledger) を指定してください。"_s);
    }
    return o;
}

QString HelpText() {
    return uR"(つばき出納帳 — コマンドライン

  tsubaki report --org 団体名 --year 年度 --kind 帳票 --out ファイル [オプション]
      団体の保存済みのデータから帳票を作ります。ファイル名が .xlsx ならブックを、
      .pdf なら LibreOffice で PDF に変換したものを書き出します。
        --division コード   収支明細表: この会計区分だけ
        --from MMDD --to MMDD
                            収支明細表: この日付の範囲の明細だけ
        --closing MMDD      決算書・残高照合表: この締日までの中間決算書 / 締日の照合
        --zero              予算書・決算書: 金額が０の科目も出力する
        --balances          決算書: 次期繰越金の下に残高内訳 (現金・預金などの内訳) を出力する
        --charts            予算書・決算書: 「グラフ」シートを付ける
        --dues 種別         会費徴収一覧: 会費の種別 (名称かコード。省略時は年度の最初の種別)
        --date 日付         未納一覧: この日までに納める分の未納 / 班別世帯数: この日の世帯数
                            (YYYYMMDD か YYYY/M/D。省略時は年度中なら今日、それ以外は年度末)
        --numbers N[-M]     領収書: この番号の領収書を再発行する
                            (省略時は領収書を作成していない納付すべてに番号を付けて作成)
        --password-file F   パスワードをファイル F の1行目から読む
                            (指定がなければ、パスワードのある団体では端末で尋ねます)
  tsubaki report --list
      帳票の種類 (--kind に指定する名前) の一覧を表示します。
  tsubaki export --org 団体名 --year 年度 --format csv|ledger --out ファイル
                 [--password-file F]
      年度の収支明細を書き出します。csv: UTF-8 (BOM付き) の CSV
      (日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出)。
      ledger: ledger / hledger で読める複式の仕訳 (金額は JPY)。

  tsubaki check --org 団体名 --year 年度 [--password-file F]
      年度の帳簿を点検し、見つかったことを重要度 (エラー／注意) とともに
      標準出力に一覧します。何も書き換えません。エラーがあれば終了コード 6。

  tsubaki handover --org 団体名 --year 年度 --out フォルダ|ファイル.zip [--password-file F]
      引継ぎに渡すものを一度に書き出します: 検査済みのバックアップ、決算書出力で
      選んである決算書・収支明細表・月別集計表・残高照合表の PDF、仕訳の csv と ledger、
      各ファイルの SHA-256 (SHA256SUMS、sha256sum -c で確かめられます)。
      途中で失敗すると何も残しません。フォルダはまだ無い名前を指定します。

  終了コード: 0 成功 / 1 その他の失敗 / 2 引数の誤り /
              3 団体・年度・帳票・会計区分・パスワードが見つからないか誤り /
              4 データベースが使用中 (つばき出納帳でこの団体を開いている) /
              5 ファイルを書き出せない、PDF に変換できない /
              6 点検でエラーが見つかった
  メッセージは標準エラー出力に出ます。ウインドウは開きません。
  組み込みのデータベースは一度に一つのプログラムしか開けません。サーバー上の
  データベース (host:path) なら、つばき出納帳を開いたままでも使えます。

Tsubaki cash book — command line

  tsubaki report --org NAME --year YYYY --kind KIND --out FILE [options]
      Makes a report from the organisation's saved data: FILE ending in .xlsx
      gets the workbook, ending in .pdf the workbook converted by LibreOffice.
        --division CODE     journal listing (収支明細表): this division only
        --from MMDD --to MMDD
                            journal listing: lines within these dates only
        --closing MMDD      settlement statements: the interim statement up to
                            this closing date (残高照合表: the check at that date)
        --zero              budget and settlement statements: print items whose
                            amounts are all 0
        --balances          settlement statements: the 残高内訳 block (where the
                            money is held) under each division's carry-over
        --charts            budget and settlement statements: add the
                            「グラフ」 sheet of charts
        --dues KIND         会費徴収一覧 (collection list): the kind of dues,
                            by name or code (default: the year's first kind)
        --date DATE         未納一覧 (unpaid dues): what is owed up to DATE;
                            班別世帯数 (households per 班): the count on DATE
                            (YYYYMMDD or YYYY/M/D; default: today within the
                            year, otherwise the year's last day)
        --numbers N[-M]     領収書 (receipts): print these receipt numbers again
                            (default: every payment without a receipt gets
                            its number and its receipt)
        --password-file F   read the password from the first line of F
                            (otherwise asked on the terminal when the
                            organisation has one)
  tsubaki report --list
      Lists the KINDs: 収支明細表, 月別集計表, every statement layout,
      残高照合表 (the books against the places the money is held, for the audit)
      and the dues ledger's 会費徴収一覧, 未納一覧, 班別世帯数 and 領収書.
  tsubaki export --org NAME --year YYYY --format csv|ledger --out FILE
                 [--password-file F]
      Writes the year's journal: csv is UTF-8 with a BOM, columns
      日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出; ledger is a plain-text
      accounting journal that ledger and hledger read (amounts in JPY).

  tsubaki check --org NAME --year YYYY [--password-file F]
      Checks the year's books read-only and lists each finding with its
      severity (エラー error, 注意 warning) on standard output.

  tsubaki handover --org NAME --year YYYY --out FOLDER|FILE.zip
                   [--password-file F]
      Writes everything a new treasurer takes over, whole or not at all: a
      validated backup of the database, the remembered settlement statement,
      the journal listing, the monthly summary and 残高照合表 as PDFs, the journal as csv
      and ledger, and SHA256SUMS (check with sha256sum -c). FOLDER must not
      exist yet.

  Exit status: 0 done, 1 other failure, 2 wrong arguments, 3 organisation,
  year, kind, division or password not found or wrong, 4 database busy (open
  in the window program), 5 output could not be written or converted,
  6 check found an error.
  Messages go to standard error (in Japanese). No window is opened. An
  embedded database is open in one program at a time; through a Firebird
  server (host:path) both run at once.
)"_s;
}

}  // namespace cli
