// Child of the crash-safety test: runs one write transaction on an encrypted
// preset and is killed (SIGKILL) just before the file operation given on the
// command line, or after the commit when it makes fewer operations. Without a
// kill point it prints how many operations it made.
//
//   codec_crash_child FILE KILL_AT

#include "FaultVfs.h"
#include "Workload.h"
#include "storage/PageCodec.h"

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: codec_crash_child FILE KILL_AT\n");
        return 2;
    }
    if (!FaultVfs::install() || !PageCodec::registerPageCodec()) {
        std::fprintf(stderr, "cannot register the VFS layers\n");
        return 2;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
        || sqlite3_key(db, PageCodec::presetKey, static_cast<int>(std::strlen(PageCodec::presetKey))) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 2;
    }
    FaultVfs::Plan plan;
    plan.killAt = std::atoi(argv[2]);
    FaultVfs::setPlan(plan);
    char *error = nullptr;
    if (sqlite3_exec(db, Workload::transaction, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "transaction failed: %s\n", error ? error : "?");
        sqlite3_free(error);
        return 3;
    }
    if (plan.killAt > 0)
        std::raise(SIGKILL); // committed, connection still open
    sqlite3_close(db);
    std::printf("%d\n", FaultVfs::mutations());
    return 0;
}
