#include "db/DatabaseServices.h"

#include "db/FbApi.h"
#include "db/ValidationProcess.h"

#include <QStringList>

#include <functional>

namespace db {

namespace {

const char kUser[] = "sysdba";
const char kPassword[] = "hollyfern";

inline void DetachService(Firebird::IService* s, Firebird::ThrowStatusWrapper* status) {
    s->detach(status);
}
using Service = fb::Owned<Firebird::IService, DetachService>;

// Starts one service action (its parameters added by `fill`) and reads its output
// to the end, one line each. A failure of the action raises db::Error.
QStringList RunService(const QString& databaseString, const std::function<void(fb::Xpb&)>& fill) {
    return fb::Guard([&] {
        fb::Status status;
        fb::Xpb attach(Firebird::IXpbBuilder::SPB_ATTACH);
        attach->insertString(&status, isc_spb_user_name, kUser);
        attach->insertString(&status, isc_spb_password, kPassword);
        attach->insertTag(&status, isc_spb_utf8_filename);
        const QByteArray manager = ServiceManagerOf(databaseString).toUtf8();
        Service service(fb::Provider()->attachServiceManager(&status, manager.constData(), attach.Length(),
                                                             attach.Buffer()));

        fb::Xpb start(Firebird::IXpbBuilder::SPB_START);
        fill(start);
        service->start(&status, start.Length(), start.Buffer());

        QStringList lines;
        const unsigned char items[] = {isc_info_svc_line};
        for (bool more = true; more;) {
            unsigned char buffer[16384] = {};
            service->query(&status, 0, nullptr, sizeof items, items, sizeof buffer, buffer);
            more = false;
            for (const unsigned char* p = buffer; p < buffer + sizeof buffer && *p != isc_info_end;) {
                const unsigned char item = *p++;
                if (item == isc_info_svc_line) {
                    const unsigned length = p[0] | (p[1] << 8);
                    p += 2;
                    if (length > 0) {
                        lines << QString::fromUtf8(reinterpret_cast<const char*>(p), length);
                        more = true;
                    }
                    p += length;
                } else if (item == isc_info_truncated || item == isc_info_svc_timeout ||
                           item == isc_info_data_not_ready) {
                    more = true;
                } else {
                    break;
                }
            }
        }
        service.End(&status);
        return lines;
    });
}

void AddFileName(fb::Xpb& spb, unsigned char tag, const QString& path) {
    fb::Status status;
    spb->insertString(&status, tag, path.toUtf8().constData());
}

}  // namespace

bool IsServerDatabase(const QString& databaseString) {
    return !databaseString.startsWith(u'/');
}

QString ServiceManagerOf(const QString& databaseString) {
    if (!IsServerDatabase(databaseString))
        return QStringLiteral("service_mgr");
    return databaseString.left(databaseString.indexOf(u':') + 1) + QStringLiteral("service_mgr");
}

QString FilePartOf(const QString& databaseString) {
    if (!IsServerDatabase(databaseString))
        return databaseString;
    return databaseString.mid(databaseString.indexOf(u':') + 1);
}

QString ValidationFindings(const QString& databaseString) {
    if (!IsServerDatabase(databaseString))
        return ValidationFindingsInOwnProcess(databaseString);
    return ValidationFindingsInThisProcess(databaseString);
}

QString ValidationFindingsInThisProcess(const QString& databaseString) {
    const QStringList output = RunService(databaseString, [&](fb::Xpb& spb) {
        fb::Status status;
        spb->insertTag(&status, isc_action_svc_repair);
        AddFileName(spb, isc_spb_dbname, FilePartOf(databaseString));
        spb->insertInt(&status, isc_spb_options, isc_spb_rpr_validate_db | isc_spb_rpr_full);
    });
    // The report counts errors and warnings per kind of page under a summary line;
    // warnings (pages nobody uses, left by a crash) lose nothing.
    QStringList findings;
    for (const QString& raw : output) {
        const QString line = raw.simplified();
        if (line.isEmpty() || line.startsWith(QStringLiteral("Summary of validation"), Qt::CaseInsensitive))
            continue;
        if (line.contains(QStringLiteral("error"), Qt::CaseInsensitive))
            findings << line;
    }
    return findings.join(u'\n');
}

void BackupDatabase(const QString& databaseString, const QString& backupFile) {
    RunService(databaseString, [&](fb::Xpb& spb) {
        fb::Status status;
        spb->insertTag(&status, isc_action_svc_backup);
        AddFileName(spb, isc_spb_dbname, FilePartOf(databaseString));
        AddFileName(spb, isc_spb_bkp_file, backupFile);
    });
}

void RestoreDatabase(const QString& backupFile, const QString& databaseString, bool replace) {
    RunService(databaseString, [&](fb::Xpb& spb) {
        fb::Status status;
        spb->insertTag(&status, isc_action_svc_restore);
        AddFileName(spb, isc_spb_bkp_file, backupFile);
        AddFileName(spb, isc_spb_dbname, FilePartOf(databaseString));
        spb->insertInt(&status, isc_spb_options, replace ? isc_spb_res_replace : isc_spb_res_create);
    });
}

}  // namespace db
