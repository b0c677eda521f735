#pragma once

// Registers the SQL driver name "SQLITECIPHER". The files are stored plainly:
// the name hands out Qt's own SQLite driver, loaded through its driver plugin.
class SqliteCipherDriver
{
public:
    static void registerDriver();
};
