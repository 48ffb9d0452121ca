#include "store/sqlite_db.h"

#include <sqlite3.h>

#include "platform/errors.h"

namespace pado::store {

Db::Db(const std::filesystem::path& file, Mode mode)
    : file_(file)
{
    int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // Every connection stays on one thread (the race data window gives its worker a connection of its own).
    flags |= SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(file.string().c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw UserError(U"レースデータファイル(" + FromUtf8(file.string()) + U")を開けません: " + FromUtf8(why));
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
}

Db::~Db()
{
    sqlite3_close_v2(db_);
}

void Db::Fail(const std::string& what) const
{
    const int code = sqlite3_errcode(db_);
    Text msg = U"レースデータファイル(" + FromUtf8(file_.string()) + U")";
    if ((code & 0xff) == SQLITE_FULL)
        msg += U"を書き込めません: ディスクがいっぱいです。";
    else if ((code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT)
        msg += U"はレースデータファイルではないか、壊れています。";
    else if ((code & 0xff) == SQLITE_READONLY)
        msg += U"に書き込めません(読み取り専用)。";
    else
        msg += U"の処理に失敗しました: " + FromUtf8(what) + U": " + FromUtf8(sqlite3_errmsg(db_));
    throw UserError(msg);
}

void Db::Exec(const std::string& sql)
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql.substr(0, 40));
}

Stmt::Stmt(Db& db, const std::string& sql)
    : db_(db)
{
    if (sqlite3_prepare_v3(
            db.Handle(), sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr)
        != SQLITE_OK)
        db.Fail(sql.substr(0, 60));
}

Stmt::~Stmt()
{
    sqlite3_finalize(stmt_);
}

Stmt& Stmt::Bind(int i, const Value& v)
{
    if (v.kind == Value::Kind::Int)
        return Bind(i, v.n);
    if (v.kind == Value::Kind::Text)
        return Bind(i, v.s);
    sqlite3_bind_null(stmt_, i);
    return *this;
}

Stmt& Stmt::Bind(int i, std::int64_t v)
{
    sqlite3_bind_int64(stmt_, i, v);
    return *this;
}

Stmt& Stmt::Bind(int i, const std::string& v)
{
    sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
}

bool Stmt::Step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    db_.Fail(sqlite3_sql(stmt_) ? std::string(sqlite3_sql(stmt_)).substr(0, 60) : "step");
}

void Stmt::Reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Stmt::Changes() const
{
    return sqlite3_changes(db_.Handle());
}

int Stmt::ColumnCount() const
{
    return sqlite3_column_count(stmt_);
}

bool Stmt::IsNull(int col) const
{
    return sqlite3_column_type(stmt_, col) == SQLITE_NULL;
}

std::int64_t Stmt::Int(int col) const
{
    return sqlite3_column_int64(stmt_, col);
}

std::string Stmt::Str(int col) const
{
    const unsigned char* t = sqlite3_column_text(stmt_, col);
    return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col)))
             : std::string();
}

Transaction::Transaction(Db& db)
    : db_(db)
{
    db_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (open_)
        sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    db_.Exec("COMMIT");
    open_ = false;
}

} // namespace pado::store
