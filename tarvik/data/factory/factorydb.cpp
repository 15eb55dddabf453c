// Build step: turns one factory script into the plain SQLite file that engineering
// builds read. Every line must run; any failure fails the build.
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::cerr << "usage: factorydb SCRIPT.sql OUT.db\n";
        return 2;
    }
    const std::string scriptPath = argv[1];
    const std::string outPath = argv[2];
    const std::string partPath = outPath + ".part";

    std::ifstream script(scriptPath);
    if (!script) {
        std::cerr << "factorydb: cannot read " << scriptPath << "\n";
        return 1;
    }
    std::remove(partPath.c_str());
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(partPath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::cerr << "factorydb: cannot create " << partPath << ": " << sqlite3_errmsg(db) << "\n";
        sqlite3_close(db);
        return 1;
    }

    std::string line;
    int number = 0;
    bool failed = false;
    while (!failed && std::getline(script, line)) {
        ++number;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        char *error = nullptr;
        if (sqlite3_exec(db, line.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::cerr << scriptPath << ":" << number << ": " << (error ? error : "unknown error") << "\n";
            failed = true;
        }
        sqlite3_free(error);
    }
    if (sqlite3_close(db) != SQLITE_OK) {
        std::cerr << "factorydb: cannot close " << partPath << "\n";
        failed = true;
    }
    if (failed || std::rename(partPath.c_str(), outPath.c_str()) != 0) {
        if (!failed)
            std::cerr << "factorydb: cannot write " << outPath << "\n";
        std::remove(partPath.c_str());
        return 1;
    }
    return 0;
}
