// SQLCipher's side of the storage benchmark, a program of its own because
// SQLCipher's symbols clash with the system SQLite. Runs the preset workload with
// SQLCipher's default settings and the given passphrase.
//
//   sqlcipher_workload DIR REPETITIONS PASSPHRASE
// prints read_seconds, insert_seconds (best of the repetitions), checksum, file_bytes.

#include "PresetWorkload.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: sqlcipher_workload DIR REPETITIONS PASSPHRASE\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int repetitions = std::max(1, std::atoi(argv[2]));
    PresetWorkload::Target target;
    target.key = argv[3];
    const std::string big = dir + "/sqlcipher_big.db";
    const std::string fresh = dir + "/sqlcipher_insert.db";
    if (!PresetWorkload::build(big, target))
        return 1;

    double read = -1, insert = -1;
    long long checksum = 0;
    for (int r = 0; r < repetitions; ++r) {
        const double readSeconds = PresetWorkload::readAll(big, target, &checksum);
        const double insertSeconds = PresetWorkload::insertNew(fresh, target);
        if (readSeconds < 0 || insertSeconds < 0)
            return 1;
        read = read < 0 ? readSeconds : std::min(read, readSeconds);
        insert = insert < 0 ? insertSeconds : std::min(insert, insertSeconds);
    }
    struct stat info { };
    stat(big.c_str(), &info);
    std::printf("read_seconds: %.6f\ninsert_seconds: %.6f\nchecksum: %lld\nfile_bytes: %lld\n", read, insert, checksum,
        static_cast<long long>(info.st_size));
    std::remove(big.c_str());
    std::remove(fresh.c_str());
    return 0;
}
