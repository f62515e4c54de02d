#include "db/DatabaseFile.h"

#include "db/FbApi.h"

namespace db {

void CreateDatabase(const QString& path) {
    const QByteArray file = path.toUtf8();
    fb::Guard([&] {
        fb::Status status;
        fb::Xpb dpb(Firebird::IXpbBuilder::DPB);
        fb::AddConnectParameters(dpb);
        dpb->insertString(&status, isc_dpb_set_db_charset, "UNICODE_FSS");
        dpb->insertInt(&status, isc_dpb_page_size, 8192);
        fb::Attachment attachment(
            fb::Provider()->createDatabase(&status, file.constData(), dpb.Length(), dpb.Buffer()));
        attachment.End(&status);
    });
}

}  // namespace db
