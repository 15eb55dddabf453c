// The page-IO-bound preset workload (workload/PresetWorkload.h) on an encrypted
// file, on a plain file and on SQLCipher with its default settings.
//
// Prints, last:
//   encrypted_vs_floor:     encrypted time / (plain time + codec bytes / OpenSSL AES-256-OFB rate)
//   encrypted_vs_plain:     encrypted time / plain time
//   encrypted_vs_sqlcipher: encrypted time / SQLCipher time
// Each time is the best of the repetitions, opening the files included.

#include "storage/PageCodec.h"
#include "workload/OfbThroughput.h"
#include "workload/PresetWorkload.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int kRepetitions = 5;

struct Times {
    double read = -1;
    double insert = -1;
    double total() const { return read + insert; }
    void keepBest(double r, double i)
    {
        read = read < 0 ? r : std::min(read, r);
        insert = insert < 0 ? i : std::min(insert, i);
    }
};

long long fileSize(const std::string &path)
{
    struct stat info { };
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

bool runSqlCipher(const QString &dir, Times *times, long long *checksum)
{
#ifdef SQLCIPHER_WORKLOAD
    QProcess helper;
    helper.start(QStringLiteral(SQLCIPHER_WORKLOAD),
        {dir, QString::number(kRepetitions), QString::fromLatin1(PageCodec::presetKey)});
    if (!helper.waitForFinished(-1) || helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0) {
        std::fprintf(stderr, "sqlcipher_workload failed: %s\n", helper.readAllStandardError().constData());
        return false;
    }
    const QStringList lines = QString::fromUtf8(helper.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString name = line.section(QStringLiteral(": "), 0, 0);
        const QString value = line.section(QStringLiteral(": "), 1);
        if (name == QLatin1String("read_seconds"))
            times->read = value.toDouble();
        else if (name == QLatin1String("insert_seconds"))
            times->insert = value.toDouble();
        else if (name == QLatin1String("checksum"))
            *checksum = value.toLongLong();
        else if (name == QLatin1String("file_bytes"))
            std::printf("sqlcipher_file_MB: %.1f\n", value.toDouble() / 1e6);
    }
    return times->read > 0 && times->insert > 0;
#else
    Q_UNUSED(dir);
    Q_UNUSED(times);
    Q_UNUSED(checksum);
    std::fprintf(stderr, "built without SQLCipher\n");
    return false;
#endif
}

} // namespace

int main()
{
    if (!PageCodec::registerPageCodec())
        return 1;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const std::string base = dir.path().toStdString();

    PresetWorkload::Target plain;
    plain.vfs = "unix"; // the stock VFS, without the shim
    PresetWorkload::Target encrypted;
    encrypted.key = PageCodec::presetKey;

    const std::string plainBig = base + "/plain_big.db";
    const std::string encryptedBig = base + "/encrypted_big.preset";
    const std::string insertFile = base + "/insert.preset";
    if (!PresetWorkload::build(plainBig, plain) || !PresetWorkload::build(encryptedBig, encrypted))
        return 1;
    std::printf("encrypted_file_MB: %.1f\n", static_cast<double>(fileSize(encryptedBig)) / 1e6);

    const auto context
        = PageCodec::loadKeyAny(PageCodec::presetKey, static_cast<int>(std::strlen(PageCodec::presetKey)));
    double ofbRate = 0;
    Times plainTimes, encryptedTimes;
    long long plainSum = 0, encryptedSum = 0;
    uint64_t transformed = 0;
    for (int r = 0; r < kRepetitions; ++r) {
        const double plainRead = PresetWorkload::readAll(plainBig, plain, &plainSum);
        const double plainInsert = PresetWorkload::insertNew(insertFile, plain);
        const uint64_t before = PageCodec::statistics().bytes;
        const double encryptedRead = PresetWorkload::readAll(encryptedBig, encrypted, &encryptedSum);
        const double encryptedInsert = PresetWorkload::insertNew(insertFile, encrypted);
        transformed = PageCodec::statistics().bytes - before;
        if (plainRead < 0 || plainInsert < 0 || encryptedRead < 0 || encryptedInsert < 0)
            return 1;
        plainTimes.keepBest(plainRead, plainInsert);
        encryptedTimes.keepBest(encryptedRead, encryptedInsert);
        ofbRate = std::max(ofbRate, OfbThroughput::measure(context.keyBytes(), 64LL << 20, 1));
    }
    if (plainSum != encryptedSum) {
        std::fprintf(stderr, "encrypted and plain files read differently\n");
        return 1;
    }

    Times cipherTimes;
    long long cipherSum = 0;
    const bool haveSqlCipher = runSqlCipher(dir.path(), &cipherTimes, &cipherSum);
    if (haveSqlCipher && cipherSum != encryptedSum) {
        std::fprintf(stderr, "SQLCipher read different data\n");
        return 1;
    }

    const double aesSeconds = static_cast<double>(transformed) / ofbRate;
    const double floor = plainTimes.total() + aesSeconds;
    std::printf("openssl_ofb_MBps: %.1f\n", ofbRate / 1e6);
    std::printf("transformed_MB: %.1f\n", static_cast<double>(transformed) / 1e6);
    std::printf("plain_read_s: %.4f\nplain_insert_s: %.4f\n", plainTimes.read, plainTimes.insert);
    std::printf("encrypted_read_s: %.4f\nencrypted_insert_s: %.4f\n", encryptedTimes.read, encryptedTimes.insert);
    if (haveSqlCipher)
        std::printf("sqlcipher_read_s: %.4f\nsqlcipher_insert_s: %.4f\n", cipherTimes.read, cipherTimes.insert);
    std::printf("floor_s: %.4f\n", floor);
    std::printf("encrypted_vs_floor: %.3f\n", encryptedTimes.total() / floor);
    std::printf("encrypted_vs_plain: %.3f\n", encryptedTimes.total() / plainTimes.total());
    if (haveSqlCipher)
        std::printf("encrypted_vs_sqlcipher: %.3f\n", encryptedTimes.total() / cipherTimes.total());
    return haveSqlCipher ? 0 : 1;
}
