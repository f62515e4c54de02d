#include "db/FbApi.h"

#include "db/Engine.h"
#include "platform/Utf8CharacterType.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace db::fb {

namespace {

const char kUser[] = "sysdba";
const char kPassword[] = "hollyfern";
const char kCharSet[] = "UNICODE_FSS";
constexpr int kDialect = 3;

// The dispatcher is taken once and kept until the engine shuts down.
struct Engine {
    Firebird::IProvider* provider = nullptr;
    bool shutDown = false;
};

Engine& TheEngine() {
    static Engine engine;
    return engine;
}

void ShutdownAtExit() {
    ShutdownEngine();
}

}  // namespace

Firebird::IMaster* Master() {
    // Before the engine reads the locale it turns our UTF-8 file names into.
    static const bool utf8Names = (platform::EnsureUtf8CharacterType(), true);
    (void)utf8Names;
    return Firebird::fb_get_master_interface();
}

Firebird::IUtil* Util() {
    return Master()->getUtilInterface();
}

Firebird::IProvider* Provider() {
    Engine& engine = TheEngine();
    if (engine.shutDown)
        throw Error(QStringLiteral("データベースエンジンは終了しています。"));
    if (!engine.provider) {
        engine.provider = Master()->getDispatcher();
        std::atexit(ShutdownAtExit);
    }
    return engine.provider;
}

Error ToError(const Firebird::FbException& e) {
    Firebird::IStatus* status = e.getStatus();
    char text[2048];
    Util()->formatStatus(text, sizeof text, status);
    // The status is a list of (kind, value) pairs ending with isc_arg_end; a
    // counted string takes a length and a pointer.
    std::vector<int> codes;
    const intptr_t* errors = status->getErrors();
    for (std::size_t i = 0; errors[i] != isc_arg_end;) {
        if (errors[i] == isc_arg_gds)
            codes.push_back(static_cast<int>(errors[i + 1]));
        i += errors[i] == isc_arg_cstring ? 3 : 2;
    }
    QString message = QString::fromUtf8(text).trimmed();
    // The engine's text ("connection shutdown", "Error reading data from the
    // connection") does not tell the user what happened or what to do.
    if (std::any_of(codes.begin(), codes.end(), IsLostAttachment))
        message = QStringLiteral("データベースとの接続が切れました。画面を閉じて、開き直してください。\r\n") +
                  message;
    return Error(message, std::move(codes));
}

Xpb::Xpb(unsigned kind) : builder_(Util()->getXpbBuilder(&status_, kind, nullptr, 0)) {}

Xpb::~Xpb() {
    builder_->dispose();
}

unsigned Xpb::Length() {
    return builder_->getBufferLength(&status_);
}

const unsigned char* Xpb::Buffer() {
    return builder_->getBuffer(&status_);
}

void AddConnectParameters(Xpb& dpb) {
    Status status;
    dpb->insertString(&status, isc_dpb_user_name, kUser);
    dpb->insertString(&status, isc_dpb_password, kPassword);
    dpb->insertString(&status, isc_dpb_lc_ctype, kCharSet);
    dpb->insertInt(&status, isc_dpb_sql_dialect, kDialect);
    dpb->insertTag(&status, isc_dpb_utf8_filename);
}

int CachePagesFor(qint64 fileBytes) {
    constexpr qint64 kPage = 8192;
    constexpr qint64 kLeast = 2048;
    constexpr qint64 kMost = 16384;
    const qint64 pages = std::max<qint64>(fileBytes, 0) / kPage;
    return static_cast<int>(std::clamp(pages + pages / 4, kLeast, kMost));
}

void AddEmbeddedEngineParameters(Xpb& dpb, qint64 fileBytes) {
    // The engine's default lets a background thread collect old record versions
    // while statements collect the same ones: on the journal's save (a year's lines
    // deleted and written again) the two threads hand page latches back and forth
    // and a 100,000-line save took seconds instead of a fraction of one. Collected
    // by the statement that meets them, old versions go at the pace of a scan.
    // The setting holds while the database stays open in this process.
    Status status;
    dpb->insertString(&status, isc_dpb_config, "GCPolicy = cooperative");
    // The engine's default cache (2,048 pages, 16 MB) is far smaller than a database
    // holding a large year: the save's delete then read the year's pages from the
    // disk again, and grew faster than the year. Sized when the database is opened
    // (the engine keeps the first attachment's size while it stays open).
    dpb->insertInt(&status, isc_dpb_num_buffers, CachePagesFor(fileBytes));
}

bool IsEmbeddedDatabase(const QByteArray& database) {
    // Our databases are absolute paths; a server string starts with its host.
    return database.startsWith('/');
}

bool IsLostAttachment(int code) {
    switch (code) {
        case isc_att_shutdown:
        case isc_conn_lost:
        case isc_lost_db_connection:
        case isc_net_read_err:
        case isc_net_write_err:
            return true;
        default:
            return false;
    }
}

bool IsNetworkFailure(int code) {
    switch (code) {
        case isc_network_error:
        case isc_connect_reject:
        case isc_net_connect_err:
        case isc_net_connect_listen_err:
        case isc_net_event_connect_err:
        case isc_net_event_listen_err:
        case isc_net_read_err:
        case isc_net_write_err:
        case isc_net_lookup_err:
        case isc_lost_db_connection:
        case isc_conn_lost:
            return true;
        default:
            return false;
    }
}

void AddTransactionParameters(Xpb& tpb, bool snapshot) {
    Status status;
    if (snapshot) {
        tpb->insertTag(&status, isc_tpb_concurrency);
        tpb->insertTag(&status, isc_tpb_nowait);
        tpb->insertTag(&status, isc_tpb_read);
        return;
    }
    tpb->insertTag(&status, isc_tpb_read_committed);
    tpb->insertTag(&status, isc_tpb_rec_version);
    tpb->insertTag(&status, isc_tpb_nowait);
    tpb->insertTag(&status, isc_tpb_write);
}

}  // namespace db::fb

namespace db {

void ShutdownEngine() {
    auto& engine = fb::TheEngine();
    if (!engine.provider || engine.shutDown) {
        engine.shutDown = true;
        return;
    }
    engine.shutDown = true;
    try {
        fb::Status status;
        engine.provider->shutdown(&status, 0, fb_shutrsn_app_stopped);
    } catch (const Firebird::FbException&) {
        // Nothing is left to do at program end.
    }
    engine.provider->release();
    engine.provider = nullptr;
}

}  // namespace db
