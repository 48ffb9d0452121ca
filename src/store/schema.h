#pragma once

#include "store/sqlite_db.h"

namespace pado::store {

// The version this program writes, kept in the file's user_version.
constexpr int kSchemaVersion = 3;

// Brings the file to kSchemaVersion: creates an empty one, migrates an older one in place (in one transaction),
// refuses a newer one with a UserError naming its version.
void OpenSchema(Db& db);
// Whether the file is a store of kSchemaVersion (without changing it, for a read-only open).
bool SchemaIsCurrent(Db& db);
// Creates the tables as the given older version had them; for the migration tests.
void CreateSchemaVersion(Db& db, int version);

} // namespace pado::store
