#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// A thin hold on SQLite's C API: the connection and prepared statements close themselves, and every failure
// becomes a UserError with a Japanese message that names the store file.
namespace pado::store {

// NULL, an integer or UTF-8 text.
struct Value {
    enum class Kind { Null, Int, Text } kind = Kind::Null;
    std::int64_t n = 0;
    std::string s;
    Value() = default;
    Value(std::int64_t v)
        : kind(Kind::Int)
        , n(v)
    {
    }
    Value(std::string v)
        : kind(Kind::Text)
        , s(std::move(v))
    {
    }
};

class Db {
public:
    enum class Mode { ReadWrite, ReadOnly };
    Db(const std::filesystem::path& file, Mode mode);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    void Exec(const std::string& sql);
    sqlite3* Handle() const { return db_; }
    const std::filesystem::path& File() const { return file_; }
    [[noreturn]] void Fail(const std::string& what) const;

private:
    sqlite3* db_ = nullptr;
    std::filesystem::path file_;
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
    std::int64_t Int(int col) const;
    std::string Str(int col) const;

private:
    Db& db_;
    sqlite3_stmt* stmt_ = nullptr;
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

} // namespace pado::store
