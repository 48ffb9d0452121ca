#include "store/sqlite_db.h"

#include <sqlite3.h>

#include "platform/errors.h"

namespace pado::store {

namespace {

// SQLite calls the progress handler every this many of its virtual machine steps: often enough that a
// bound or a cancel takes effect within milliseconds, rarely enough to cost nothing measurable.
constexpr int kProgressSteps = 10000;

} // namespace

Db::Db(const std::filesystem::path& file, Mode mode, Text label)
    : file_(file)
    , mode_(mode)
    , label_(std::move(label))
{
    int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    // Every connection stays on one thread (the race data window gives its worker a connection of its own).
    flags |= SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(file.string().c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw UserError(label_ + U"(" + FromUtf8(file.string()) + U")を開けません: " + FromUtf8(why));
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 5000);
    // A database may come from anywhere: its views and triggers run no functions with side effects, and its
    // schema cannot switch off the checks that keep a damaged file from being written further.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_progress_handler(db_, kProgressSteps, &Db::OnProgress, this);
}

Db::~Db()
{
    sqlite3_close_v2(db_);
}

void Db::Bound(WorkBounds bounds)
{
    bounds_ = std::move(bounds);
}

void Db::StatementStarted()
{
    rows_ = 0;
    stop_ = Stop::None;
    lastRow_ = std::chrono::steady_clock::now();
}

void Db::RowDelivered()
{
    ++rows_;
    lastRow_ = std::chrono::steady_clock::now();
}

int Db::OnProgress(void* self)
{
    Db& db = *static_cast<Db*>(self);
    const WorkBounds& b = db.bounds_;
    if (b.cancelled && b.cancelled())
        db.stop_ = Stop::Cancel;
    else if (b.maxWait.count() > 0 && std::chrono::steady_clock::now() - db.lastRow_ > b.maxWait)
        db.stop_ = Stop::Time;
    return db.stop_ != Stop::None;
}

void Db::Fail(const std::string& what) const
{
    const int code = sqlite3_errcode(db_) & 0xff;
    Text msg = label_ + U"(" + FromUtf8(file_.string()) + U")";
    if (stop_ == Stop::Time)
        msg += U"の読み込みを打ち切りました: " + ToText(static_cast<int>(bounds_.maxWait.count() / 1000))
            + U"秒を過ぎても次の行が得られません(終わらない問い合わせ)。";
    else if (stop_ == Stop::Rows)
        msg += U"の読み込みを打ち切りました: 一つの表から読める行数の上限(" + ToText(bounds_.maxRows)
            + U"行)を超えました(終わらない問い合わせ)。";
    else if (stop_ == Stop::Cancel)
        msg += U"の読み込みは中止されました。";
    else if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
        msg += U"はほかの処理(取り込みなど)が使用中です。その処理が終わってからやり直してください。";
    else if (code == SQLITE_FULL)
        msg += U"を書き込めません: ディスクがいっぱいです。";
    else if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
        msg += U"はデータベースではないか、壊れています。";
    else if (code == SQLITE_READONLY)
        msg += U"に書き込めません(読み取り専用)。";
    else if (code == SQLITE_NOMEM)
        msg += U"を処理するメモリが足りません。";
    else
        msg += U"の処理に失敗しました: " + FromUtf8(what) + U": " + FromUtf8(sqlite3_errmsg(db_));
    throw UserError(msg);
}

void Db::Exec(const std::string& sql)
{
    StatementStarted();
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
    if (!stmt_) // text without a statement (only a comment): nothing to step, which no caller means
        throw UserError(U"SQLの文がありません: " + FromUtf8(sql.substr(0, 60)));
}

Stmt::~Stmt()
{
    sqlite3_finalize(stmt_);
}

Stmt& Stmt::Bind(int i, const Value& v)
{
    switch (v.kind) {
    case Value::Kind::Int:
        return Bind(i, v.n);
    case Value::Kind::Text:
        return Bind(i, v.s);
    case Value::Kind::Real:
        if (sqlite3_bind_double(stmt_, i, v.r) != SQLITE_OK)
            db_.Fail("bind");
        return *this;
    case Value::Kind::Null:
        break;
    }
    if (sqlite3_bind_null(stmt_, i) != SQLITE_OK)
        db_.Fail("bind");
    return *this;
}

Stmt& Stmt::Bind(int i, std::int64_t v)
{
    if (sqlite3_bind_int64(stmt_, i, v) != SQLITE_OK)
        db_.Fail("bind");
    return *this;
}

Stmt& Stmt::Bind(int i, const std::string& v)
{
    if (sqlite3_bind_text64(stmt_, i, v.data(), v.size(), SQLITE_TRANSIENT, SQLITE_UTF8) != SQLITE_OK)
        db_.Fail("bind");
    return *this;
}

bool Stmt::Step()
{
    if (!started_) {
        db_.StatementStarted();
        started_ = true;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        db_.RowDelivered();
        const WorkBounds& b = db_.bounds_;
        if (b.maxRows > 0 && db_.rows_ > b.maxRows) {
            db_.stop_ = Db::Stop::Rows;
            db_.Fail("rows");
        }
        return true;
    }
    if (rc == SQLITE_DONE)
        return false;
    db_.Fail(sqlite3_sql(stmt_) ? std::string(sqlite3_sql(stmt_)).substr(0, 60) : "step");
}

void Stmt::Reset()
{
    // The step that failed has been reported; reset only repeats its code.
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    started_ = false;
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

bool Stmt::IsInteger(int col) const
{
    return sqlite3_column_type(stmt_, col) == SQLITE_INTEGER;
}

bool Stmt::IsReal(int col) const
{
    return sqlite3_column_type(stmt_, col) == SQLITE_FLOAT;
}

std::int64_t Stmt::Int(int col) const
{
    return sqlite3_column_int64(stmt_, col);
}

double Stmt::Real(int col) const
{
    return sqlite3_column_double(stmt_, col);
}

std::string Stmt::Str(int col) const
{
    return std::string(View(col));
}

std::string_view Stmt::View(int col) const
{
    const unsigned char* t = sqlite3_column_text(stmt_, col);
    return t
        ? std::string_view(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, col)))
        : std::string_view();
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

ReadTransaction::ReadTransaction(Db& db)
    : db_(db)
{
    db_.Exec("BEGIN");
}

ReadTransaction::~ReadTransaction()
{
    // Nothing was written, so ending it cannot lose anything; a failure leaves SQLite to end it on close.
    sqlite3_exec(db_.Handle(), "COMMIT", nullptr, nullptr, nullptr);
}

} // namespace pado::store
