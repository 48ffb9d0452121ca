#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"

struct sqlite3;
struct sqlite3_stmt;

// The one hold on SQLite's C API, for the race store and for the databases users bring (a JV-Data database):
// the connection and prepared statements close themselves, every result code is looked at, and every failure
// becomes a UserError with a Japanese message that names the file.
namespace pado::store {

// NULL, an integer, a real or UTF-8 text.
struct Value {
    enum class Kind { Null, Int, Real, Text } kind = Kind::Null;
    std::int64_t n = 0;
    double r = 0;
    std::string s;
    Value() = default;
    Value(std::int64_t v)
        : kind(Kind::Int)
        , n(v)
    {
    }
    Value(double v)
        : kind(Kind::Real)
        , r(v)
    {
    }
    Value(std::string v)
        : kind(Kind::Text)
        , s(std::move(v))
    {
    }
};

// What one statement of a database from elsewhere may take: a view over an endless recursive query must end.
// Checked while SQLite works (every few thousand of its steps) and on every row.
struct WorkBounds {
    long long maxRows = 0; // rows one statement may give, 0 for no bound
    std::chrono::milliseconds maxWait { 0 }; // longest time until the next row, 0 for no bound
    std::function<bool()> cancelled; // polled as often; true stops the statement
};

class Db {
public:
    enum class Mode { ReadWrite, ReadOnly };
    // label names the file in messages (レースデータファイル for the store).
    Db(const std::filesystem::path& file, Mode mode, Text label = U"レースデータファイル");
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void Exec(const std::string& sql);
    sqlite3* Handle() const { return db_; }
    const std::filesystem::path& File() const { return file_; }
    Mode OpenMode() const { return mode_; }
    // Throws the UserError for the connection's last failure; what names the work that failed.
    [[noreturn]] void Fail(const std::string& what) const;

    // Bounds every statement stepped from now on (see WorkBounds); the default is none.
    void Bound(WorkBounds bounds);
    const WorkBounds& Bounds() const { return bounds_; }

private:
    friend class Stmt;
    static int OnProgress(void* self);
    void StatementStarted();
    void RowDelivered();

    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
    Mode mode_;
    Text label_;
    WorkBounds bounds_;
    long long rows_ = 0;
    std::chrono::steady_clock::time_point lastRow_;
    enum class Stop { None, Rows, Time, Cancel } stop_ = Stop::None;
};

class Stmt {
public:
    Stmt(Db& db, const std::string& sql);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& Bind(int index, const Value& v); // 1-based
    Stmt& Bind(int index, std::int64_t v);
    Stmt& Bind(int index, const std::string& v);
    bool Step(); // true while a row is there
    void Reset();
    int Changes() const;

    int ColumnCount() const;
    bool IsNull(int col) const; // 0-based
    bool IsInteger(int col) const;
    bool IsReal(int col) const;
    std::int64_t Int(int col) const;
    double Real(int col) const;
    std::string Str(int col) const;
    // The column as text without a copy; valid until the next Step, Reset or column call.
    std::string_view View(int col) const;

private:
    Db& db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool started_ = false;
};

// BEGIN IMMEDIATE on construction; ROLLBACK unless Commit() was called.
class Transaction {
public:
    explicit Transaction(Db& db);
    ~Transaction();
    void Commit();

private:
    Db& db_;
    bool open_ = true;
};

// One consistent view of the file for a run of queries (a build reads hundreds): BEGIN on construction, its
// end when it goes. Writers go on meanwhile in a WAL file; this reader keeps seeing the state it began with.
class ReadTransaction {
public:
    explicit ReadTransaction(Db& db);
    ~ReadTransaction();

private:
    Db& db_;
};

} // namespace pado::store
