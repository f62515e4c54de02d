#include "cli/CheckCommand.h"

#include <cstdio>

#include "core/KyotsuUnit.h"
#include "statements/BookCheck.h"

using namespace Qt::Literals::StringLiterals;

namespace cli {

int RunCheck(const Options& options, const OpenedDantai::PasswordPrompt& prompt) {
    OpenedDantai dantai(options, prompt);
    std::vector<statements::Finding> findings = statements::CheckBooks(dantai.Connection(), dantai.Nendo());
    for (statements::Finding& f : statements::ValidationFinding(GetDbPath(dantai.Name())))
        findings.push_back(std::move(f));
    QString text =
        u"団体「"_s + dantai.Name() + u"」"_s + QString::number(dantai.Nendo()) + u"年度の点検\n"_s;
    bool error = false;
    for (const statements::Finding& f : findings) {
        text += statements::FindingLine(f) + u'\n';
        error = error || f.severity == statements::Severity::Error;
    }
    if (findings.empty())
        text += u"問題は見つかりませんでした。\n"_s;
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    return error ? kExitFindings : kExitOk;
}

}  // namespace cli
