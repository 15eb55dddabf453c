// The page codec: key parsing, the page transform and the files it writes, checked
// against a reference decryptor written here from the format (AES through plain
// ECB block chaining, the RC4 variant step by step).

#include "storage/PageCipher.h"
#include "storage/PageCodec.h"

#include "TestSupport.h"
#include "codec/SqliteProbe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <openssl/evp.h>
#include <sqlite3.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

namespace {

using TestSupport::readFile;
using TestSupport::writeFile;

const QByteArray kPresetKey(PageCodec::presetKey);
const QByteArray kMagic("SQLite format 3\0", 16);

// ---- reference transform, independent of the codec's code path -------------

struct RefKey {
    int algorithm = PageCodec::Aes256;
    QByteArray bytes; // expanded to the algorithm's key size
};

RefKey refKeyFromText(const QByteArray &text)
{
    // Key parsing has its own table below; here only the expanded key bytes are taken.
    const PageCodec::KeyContext context = PageCodec::loadKeyAny(text.constData(), static_cast<int>(text.size()));
    RefKey key;
    key.algorithm = context.algorithm;
    key.bytes = QByteArray(reinterpret_cast<const char *>(context.keyBytes()), context.keySize());
    return key;
}

QByteArray aesOfb(const QByteArray &key, const QByteArray &iv16, int length)
{
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, key.size() == 32 ? EVP_aes_256_ecb() : EVP_aes_128_ecb(), nullptr,
        reinterpret_cast<const unsigned char *>(key.constData()), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    QByteArray stream;
    QByteArray block = iv16;
    while (stream.size() < length) {
        unsigned char out[32];
        int n = 0;
        EVP_EncryptUpdate(ctx, out, &n, reinterpret_cast<const unsigned char *>(block.constData()), 16);
        block = QByteArray(reinterpret_cast<const char *>(out), 16);
        stream += block;
    }
    EVP_CIPHER_CTX_free(ctx);
    return stream;
}

QByteArray rc4Variant(const QByteArray &key, const QByteArray &ivBlock, int length)
{
    unsigned char s[256];
    unsigned char t[256];
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<unsigned char>(key[i] ^ ivBlock[i % ivBlock.size()]);
        s[i] = static_cast<unsigned char>(i);
    }
    int i = 0;
    int j = 0;
    for (int n = 0; n < 512; ++n) {
        j = (j + s[i] + t[i]) % 256;
        std::swap(s[i], s[j]);
        i = (i + 1) % 256;
    }
    QByteArray stream;
    for (int n = 0; n < length; ++n) {
        i = (i + 1) % 256;
        j = (j + s[i]) % 256;
        std::swap(s[i], s[j]);
        stream += static_cast<char>(s[(s[i] + s[j]) % 256]);
    }
    return stream;
}

// XORs the usable part of a page with its keystream (the nonce is the page's tail),
// leaving bytes 16..23 of page 1 as they are: encryption and decryption alike.
QByteArray refTransform(
    QByteArray page, quint32 pageNumber, int reserved, const RefKey &key, bool bigEndianPageNumber = false)
{
    const int usable = page.size() - reserved;
    QByteArray ivBlock(4, '\0');
    for (int b = 0; b < 4; ++b)
        ivBlock[bigEndianPageNumber ? 3 - b : b] = static_cast<char>(pageNumber >> (8 * b));
    ivBlock += page.mid(usable);
    QByteArray stream;
    if (key.algorithm == PageCodec::Rc4) {
        stream = rc4Variant(key.bytes, ivBlock, usable);
    } else {
        QByteArray iv16 = ivBlock.left(16);
        iv16.append(QByteArray(16 - iv16.size(), '\0'));
        stream = aesOfb(key.bytes, iv16, usable);
    }
    for (int i = 0; i < usable; ++i) {
        if (pageNumber == 1 && i >= 16 && i < 24)
            continue;
        page[i] = static_cast<char>(page[i] ^ stream[i]);
    }
    return page;
}

QByteArray refTransformFile(const QByteArray &file, int pageSize, const RefKey &key)
{
    const int reserved = static_cast<unsigned char>(file[20]);
    QByteArray out;
    for (int offset = 0; offset < file.size(); offset += pageSize)
        out += refTransform(file.mid(offset, pageSize), quint32(offset / pageSize + 1), reserved, key);
    return out;
}

// ---- small sqlite helpers ----------------------------------------------------

sqlite3 *openDb(const QString &path, const QByteArray &key, int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
    bool withKey = true)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    if (withKey && sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

int exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

const char kFill[] = "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, payload BLOB);"
                     "CREATE INDEX t_name ON t(name);"
                     "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 400)"
                     " INSERT INTO t SELECT x, printf('marker-%05d', x), randomblob(x % 97) FROM c;"
                     "INSERT INTO t VALUES(1000, 'marker-big', randomblob(150000));";

int rowCount(sqlite3 *db)
{
    return firstText(db, "SELECT count(*) FROM t").toInt();
}

} // namespace

class TestPageCodec : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void keyParsing_data();
    void keyParsing();
    void sameImageTwice_data();
    void sameImageTwice();
    void roundTrip_data();
    void roundTrip();
    void referenceInterop_data();
    void referenceInterop();
    void pageNumberIsLittleEndian();
    void journalImagesAndChecksums();
    void foreignHotJournalRollsBack();
    void badKeyFailsAsNotADatabase_data();
    void badKeyFailsAsNotADatabase();
    void emptyKeyPassesThrough();
    void inMemoryStaysPlain_data();
    void inMemoryStaysPlain();
    void keyByDatabaseName();
    void twoConnections();
    void threadsWithOwnFiles();
    void walRefused();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Creates a database with the fill rows; reserved < 0 keeps the codec's own count.
    bool createDb(const QString &file, const QByteArray &key, int pageSize, int reserved = -1);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPageCodec::initTestCase()
{
    QVERIFY(PageCodec::registerPageCodec());
    QVERIFY(PageCodec::registerPageCodec()); // idempotent
    QCOMPARE(QByteArray(sqlite3_vfs_find(nullptr)->zName), QByteArray("vekcodec"));
}

void TestPageCodec::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

bool TestPageCodec::createDb(const QString &file, const QByteArray &key, int pageSize, int reserved)
{
    QFile::remove(file);
    sqlite3 *db = openDb(file, key);
    if (!db)
        return false;
    if (reserved >= 0)
        sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserved);
    const QByteArray pragma = "PRAGMA page_size=" + QByteArray::number(pageSize);
    const bool ok = exec(db, pragma.constData()) == SQLITE_OK && exec(db, kFill) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void TestPageCodec::keyParsing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("length"); // -1: the text's size
    QTest::addColumn<bool>("noKey");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("schemeLength");
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<QByteArray>("keyBytes");

    const QByteArray k32("Qm7tYvLe2pNs8hXwKd4rJf6gBz1cTu9a");
    QTest::newRow("preset key") << kPresetKey << -1 << false << 2 << 7 << 39 << k32;
    QTest::newRow("null") << QByteArray() << 0 << true << 0 << 0 << 0 << QByteArray();
    QTest::newRow("empty") << QByteArray("") << 0 << true << 0 << 0 << 0 << QByteArray();
    QTest::newRow("negative length") << QByteArray("aes256:abc") << -5 << true << 0 << 0 << 0 << QByteArray();
    QTest::newRow("aes256 short repeats")
        << QByteArray("aes256:abc") << -1 << false << 2 << 7 << 10 << QByteArray("abcabcabcabcabcabcabcabcabcabcab");
    QTest::newRow("aes256 long is cut") << QByteArray("aes256:" + k32 + "EXTRA") << -1 << false << 2 << 7 << 39 << k32;
    QTest::newRow("bare aes256: is an aes128 key")
        << QByteArray("aes256:") << -1 << false << 1 << 0 << 7 << QByteArray("aes256:aes256:ae");
    QTest::newRow("no scheme is aes128") << QByteArray("secret") << -1 << false << 1 << 0 << 6
                                         << QByteArray("secretsecretsecr");
    QTest::newRow("long text without scheme is cut")
        << QByteArray("0123456789abcdefXYZ") << -1 << false << 1 << 0 << 16 << QByteArray("0123456789abcdef");
    QTest::newRow("aes128") << QByteArray("aes128:0123456789abcdefgh") << -1 << false << 1 << 7 << 23
                            << QByteArray("0123456789abcdef");
    QTest::newRow("scheme is case-sensitive")
        << QByteArray("AES256:key") << -1 << false << 1 << 0 << 10 << QByteArray("AES256:keyAES256");
    QTest::newRow("length shorter than text")
        << QByteArray("aes256:abcdef") << 9 << false << 2 << 7 << 9 << QByteArray("ab").repeated(16);
    QByteArray withNul("aes128:a\0b", 10);
    QTest::newRow("embedded nul") << withNul << -1 << false << 1 << 7 << 10
                                  << QByteArray("a\0b", 3).repeated(6).left(16);
    QByteArray rc4Key = QByteArray("key").repeated(86).left(256);
    QTest::newRow("rc4 repeats to 256") << QByteArray("rc4:key") << -1 << false << 0 << 4 << 7 << rc4Key;
    QByteArray long300(300, 'z');
    QTest::newRow("rc4 cut at 256") << QByteArray("rc4:" + long300) << -1 << false << 0 << 4 << 260
                                    << QByteArray(256, 'z');
    QTest::newRow("bare rc4: is an aes128 key")
        << QByteArray("rc4:") << -1 << false << 1 << 0 << 4 << QByteArray("rc4:rc4:rc4:rc4:");
}

void TestPageCodec::keyParsing()
{
    QFETCH(QByteArray, text);
    QFETCH(int, length);
    QFETCH(bool, noKey);
    QFETCH(int, algorithm);
    QFETCH(int, schemeLength);
    QFETCH(int, keyLength);
    QFETCH(QByteArray, keyBytes);

    const int n = length == -1 ? static_cast<int>(text.size()) : length;
    const PageCodec::KeyContext key = PageCodec::loadKeyAny(text.isNull() ? nullptr : text.constData(), n);
    QCOMPARE(bool(key.noKey), noKey);
    QCOMPARE(int(key.keyLength), keyLength);
    if (noKey)
        return;
    QCOMPARE(int(key.algorithm), algorithm);
    QCOMPARE(int(key.schemeLength), schemeLength);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(key.keyText), schemeLength), text.left(schemeLength));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(key.keyBytes()), key.keySize()), keyBytes);
}

void TestPageCodec::sameImageTwice_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("reserved");
    QTest::addColumn<quint32>("pageNumber");

    QTest::newRow("aes256 page 1") << kPresetKey << 4096 << 12 << 1u;
    QTest::newRow("aes256 page 7") << kPresetKey << 4096 << 12 << 7u;
    QTest::newRow("aes256 64k") << kPresetKey << 65536 << 12 << 3u;
    QTest::newRow("aes128 512") << QByteArray("aes128:0123456789abcdef") << 512 << 12 << 1u;
    QTest::newRow("aes256 4 reserved") << kPresetKey << 1024 << 4 << 2u;
    QTest::newRow("aes256 32 reserved") << kPresetKey << 1024 << 32 << 2u;
    QTest::newRow("rc4") << QByteArray("rc4:some key") << 4096 << 4 << 5u;
}

void TestPageCodec::sameImageTwice()
{
    QFETCH(QByteArray, key);
    QFETCH(int, pageSize);
    QFETCH(int, reserved);
    QFETCH(quint32, pageNumber);

    PageCipher cipher(PageCodec::loadKeyAny(key.constData(), static_cast<int>(key.size())));
    QVERIFY(cipher.isActive());
    QByteArray plain(pageSize, '\0');
    for (int i = 0; i < pageSize; ++i)
        plain[i] = static_cast<char>(i * 7 + 3);
    const int usable = pageSize - reserved;

    QByteArray first(pageSize, '\0');
    QByteArray second(pageSize, '\0');
    auto *in = reinterpret_cast<const unsigned char *>(plain.constData());
    QVERIFY(cipher.encryptPage(in, reinterpret_cast<unsigned char *>(first.data()), pageSize, reserved, pageNumber));
    QVERIFY(cipher.encryptPage(in, reinterpret_cast<unsigned char *>(second.data()), pageSize, reserved, pageNumber));
    QVERIFY(first.mid(usable) != second.mid(usable)); // a fresh nonce each time
    QVERIFY(first.left(usable) != second.left(usable));
    QVERIFY(first.left(usable) != plain.left(usable));
    if (pageNumber == 1)
        QCOMPARE(first.mid(16, 8), plain.mid(16, 8));

    // The reference transform decrypts what the codec wrote, and so does the codec.
    const RefKey ref = refKeyFromText(key);
    QCOMPARE(refTransform(first, pageNumber, reserved, ref).left(usable), plain.left(usable));
    for (QByteArray *image : {&first, &second}) {
        QVERIFY(cipher.decryptPage(reinterpret_cast<unsigned char *>(image->data()), pageSize, reserved, pageNumber));
        QCOMPARE(image->left(usable), plain.left(usable));
    }
}

void TestPageCodec::roundTrip_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("reserved");

    for (int size : {512, 1024, 4096, 16384, 65536})
        QTest::addRow("aes256 %d", size) << kPresetKey << size << 12;
    QTest::newRow("aes128 1024") << QByteArray("aes128:0123456789abcdef") << 1024 << 12;
    QTest::newRow("aes128 no scheme 4096") << QByteArray("just a passphrase") << 4096 << 12;
    QTest::newRow("rc4 512") << QByteArray("rc4:a short key") << 512 << 4;
    QTest::newRow("rc4 8192") << QByteArray("rc4:a short key") << 8192 << 4;
}

void TestPageCodec::roundTrip()
{
    QFETCH(QByteArray, key);
    QFETCH(int, pageSize);
    QFETCH(int, reserved);

    const QString file = path("round.preset");
    QVERIFY(createDb(file, key, pageSize));

    const QByteArray raw = readFile(file);
    QCOMPARE(raw.size() % pageSize, 0);
    QCOMPARE((uchar(raw[16]) << 8) | (uchar(raw[17]) << 16), pageSize);
    QCOMPARE(int(uchar(raw[20])), reserved); // the codec reserved the nonce bytes
    QVERIFY(!raw.startsWith(kMagic));
    QVERIFY(!raw.contains("marker-"));
    QVERIFY(refTransformFile(raw, pageSize, refKeyFromText(key)).startsWith(kMagic));

    sqlite3 *db = openDb(file, key, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA temp_store"), QStringLiteral("2")); // no plain temporary files
    QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(rowCount(db), 401);
    QCOMPARE(firstText(db, "SELECT name FROM t WHERE id = 123"), QStringLiteral("marker-00123"));
    // Changes to existing pages go through the journal and back.
    QCOMPARE(exec(db, "UPDATE t SET name = name || '!' WHERE id % 2 = 0; DELETE FROM t WHERE id > 390"), SQLITE_OK);
    QCOMPARE(exec(db, "BEGIN; DELETE FROM t; ROLLBACK"), SQLITE_OK);
    QCOMPARE(exec(db,
                 "BEGIN; UPDATE t SET payload = zeroblob(300) WHERE id < 100; SAVEPOINT s;"
                 "DELETE FROM t WHERE id < 300; ROLLBACK TO s; RELEASE s; COMMIT"),
        SQLITE_OK);
    QCOMPARE(exec(db, "VACUUM"), SQLITE_OK);
    const QByteArray digest = contentDigest(db);
    QVERIFY(!digest.isEmpty());
    sqlite3_close(db);

    db = openDb(file, key, SQLITE_OPEN_READONLY);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(contentDigest(db), digest);
    QCOMPARE(firstText(db, "SELECT name FROM t WHERE id = 124"), QStringLiteral("marker-00124!"));
    sqlite3_close(db);
    QVERIFY(!readFile(file).contains("marker-"));
}

void TestPageCodec::referenceInterop_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("reserved");

    QTest::newRow("preset 4096") << kPresetKey << 4096 << 12;
    QTest::newRow("preset 512") << kPresetKey << 512 << 12;
    QTest::newRow("preset 65536") << kPresetKey << 65536 << 12;
    QTest::newRow("preset 0 reserved") << kPresetKey << 1024 << 0;
    QTest::newRow("preset 5 reserved") << kPresetKey << 4096 << 5;
    QTest::newRow("preset 40 reserved") << kPresetKey << 2048 << 40;
    QTest::newRow("aes128") << QByteArray("aes128:0123456789abcdef") << 4096 << 12;
    QTest::newRow("rc4") << QByteArray("rc4:variant key") << 1024 << 4;
    QTest::newRow("rc4 12 reserved") << QByteArray("rc4:variant key") << 1024 << 12;
}

// Files the reference encrypts open through the codec, and what the codec then
// writes decrypts with the reference.
void TestPageCodec::referenceInterop()
{
    QFETCH(QByteArray, key);
    QFETCH(int, pageSize);
    QFETCH(int, reserved);
    const RefKey ref = refKeyFromText(key);

    const QString plainFile = path("plain.db");
    QVERIFY(createDb(plainFile, QByteArray(), pageSize, reserved));
    const QByteArray plain = readFile(plainFile);
    QCOMPARE(int(uchar(plain[20])), reserved);
    sqlite3 *db = openDb(plainFile, QByteArray(), SQLITE_OPEN_READONLY, false);
    QVERIFY(db);
    const QByteArray plainDigest = contentDigest(db);
    sqlite3_close(db);
    QVERIFY(!plainDigest.isEmpty());

    QByteArray encrypted;
    for (int offset = 0; offset < plain.size(); offset += pageSize) {
        QByteArray page = plain.mid(offset, pageSize);
        for (int i = pageSize - reserved; i < pageSize; ++i)
            page[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
        encrypted += refTransform(page, quint32(offset / pageSize + 1), reserved, ref);
    }
    QVERIFY(!encrypted.startsWith(kMagic));
    const QString file = path("foreign.preset");
    QVERIFY(writeFile(file, encrypted));

    db = openDb(file, key, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(contentDigest(db), plainDigest);
    QCOMPARE(exec(db,
                 "UPDATE t SET name = name || '*' WHERE id % 5 = 0;"
                 "INSERT INTO t SELECT id + 2000, name, payload FROM t WHERE id < 100"),
        SQLITE_OK);
    const QByteArray digest = contentDigest(db);
    sqlite3_close(db);

    const QByteArray raw = readFile(file);
    QVERIFY(!raw.contains("marker-"));
    QCOMPARE(int(uchar(raw[20])), reserved);
    const QByteArray decrypted = refTransformFile(raw, pageSize, ref);
    QVERIFY(decrypted.startsWith(kMagic));
    QCOMPARE(decrypted.mid(16, 8), raw.mid(16, 8));
    const QString decryptedFile = path("decrypted.db");
    QVERIFY(writeFile(decryptedFile, decrypted));
    db = openDb(decryptedFile, QByteArray(), SQLITE_OPEN_READONLY, false);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(contentDigest(db), digest);
    sqlite3_close(db);
}

void TestPageCodec::pageNumberIsLittleEndian()
{
    const QString file = path("le.preset");
    QVERIFY(createDb(file, kPresetKey, 1024));
    const QByteArray raw = readFile(file);
    const RefKey ref = refKeyFromText(kPresetKey);
    QVERIFY(refTransform(raw.left(1024), 1, 12, ref).startsWith(kMagic));
    QVERIFY(!refTransform(raw.left(1024), 1, 12, ref, true).startsWith(kMagic));
    // Page 2 holds the table's root: a b-tree page type byte once decrypted.
    const QByteArray page2 = refTransform(raw.mid(1024, 1024), 2, 12, ref);
    QVERIFY(QByteArray("\x02\x05\x0a\x0d").contains(page2[0]));
    QVERIFY(refTransform(raw.mid(1024, 1024), 2, 12, ref, true).left(1024 - 12) != page2.left(1024 - 12));
}

void TestPageCodec::journalImagesAndChecksums()
{
    const int pageSize = 4096;
    const QString file = path("journal.preset");
    QVERIFY(createDb(file, kPresetKey, pageSize));
    const RefKey ref = refKeyFromText(kPresetKey);
    const QByteArray before = refTransformFile(readFile(file), pageSize, ref);

    sqlite3 *db = openDb(file, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(exec(db, "BEGIN; UPDATE t SET name = 'changed' WHERE id % 3 = 0; CREATE TABLE u(x)"), SQLITE_OK);
    const QByteArray journal = readFile(file + "-journal");
    QCOMPARE(exec(db, "ROLLBACK"), SQLITE_OK);
    QCOMPARE(firstText(db, "SELECT count(*) FROM t WHERE name = 'changed'"), QStringLiteral("0"));
    sqlite3_close(db);

    QVERIFY(journal.size() > 512);
    QVERIFY(!journal.contains("marker-"));
    const auto be32 = [&journal](qsizetype at) {
        return (quint32(uchar(journal[at])) << 24) | (quint32(uchar(journal[at + 1])) << 16)
            | (quint32(uchar(journal[at + 2])) << 8) | quint32(uchar(journal[at + 3]));
    };
    const quint32 checksumInit = be32(12);
    const quint32 sectorSize = be32(20);
    QCOMPARE(be32(24), quint32(pageSize));
    int records = 0;
    bool sawPageOne = false;
    for (qsizetype at = sectorSize; at + pageSize + 8 <= journal.size(); at += pageSize + 8) {
        const quint32 pageNumber = be32(at);
        const QByteArray image = journal.mid(at + 4, pageSize);
        quint32 checksum = checksumInit;
        for (int i = pageSize - 200; i > 0; i -= 200)
            checksum += uchar(image[i]);
        QCOMPARE(be32(at + 4 + pageSize), checksum); // over the encrypted image
        const QByteArray original = before.mid((pageNumber - 1) * pageSize, pageSize - 12);
        QCOMPARE(refTransform(image, pageNumber, 12, ref).left(pageSize - 12), original);
        QVERIFY(image.left(pageSize - 12) != original);
        sawPageOne = sawPageOne || pageNumber == 1;
        ++records;
    }
    QVERIFY(records >= 3);
    QVERIFY(sawPageOne);
}

// A hot journal written by another implementation of the format (here the
// reference) after a crash half-way through a write: the next open restores
// every page from it.
void TestPageCodec::foreignHotJournalRollsBack()
{
    const int pageSize = 4096;
    const QString file = path("crashed.preset");
    QVERIFY(createDb(file, kPresetKey, pageSize));
    sqlite3 *db = openDb(file, kPresetKey, SQLITE_OPEN_READONLY);
    QVERIFY(db);
    const QByteArray digest = contentDigest(db);
    sqlite3_close(db);
    const RefKey ref = refKeyFromText(kPresetKey);
    const QByteArray raw = readFile(file);
    const QByteArray plain = refTransformFile(raw, pageSize, ref);
    const int pageCount = static_cast<int>(raw.size() / pageSize);
    QVERIFY(pageCount > 5);

    const auto be32 = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = static_cast<char>(v >> (24 - 8 * i));
        return b;
    };
    const QList<int> pages = {3, 1, pageCount, 2};
    const quint32 checksumInit = 0x5eed1234;
    QByteArray journal = QByteArray::fromHex("d9d505f920a163d7") + be32(quint32(pages.size())) + be32(checksumInit)
        + be32(quint32(pageCount)) + be32(512) + be32(pageSize);
    journal.append(QByteArray(512 - journal.size(), '\0'));
    QByteArray damaged = raw;
    for (int pageNumber : pages) {
        QByteArray page = plain.mid((pageNumber - 1) * pageSize, pageSize);
        for (int i = pageSize - 12; i < pageSize; ++i)
            page[i] = static_cast<char>(QRandomGenerator::global()->bounded(256));
        const QByteArray image = refTransform(page, quint32(pageNumber), 12, ref);
        quint32 checksum = checksumInit;
        for (int i = pageSize - 200; i > 0; i -= 200)
            checksum += uchar(image[i]);
        journal += be32(quint32(pageNumber)) + image + be32(checksum);
        // The crash left these pages half-written (page 1 keeps its plain header bytes).
        for (int i = 0; i < pageSize; ++i)
            if (pageNumber != 1 || i < 16 || i >= 24)
                damaged[(pageNumber - 1) * pageSize + i] = static_cast<char>(i * 13 + pageNumber);
    }
    damaged += QByteArray(pageSize, 'x'); // and had grown the file
    QVERIFY(writeFile(file, damaged));
    QVERIFY(writeFile(file + "-journal", journal));

    db = openDb(file, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
    QCOMPARE(contentDigest(db), digest);
    sqlite3_close(db);
    QCOMPARE(readFile(file).size(), raw.size());
    QVERIFY(!QFile::exists(file + "-journal"));
}

void TestPageCodec::badKeyFailsAsNotADatabase_data()
{
    QTest::addColumn<QByteArray>("createKey");
    QTest::addColumn<QByteArray>("openKey");

    QTest::newRow("plain file, preset key") << QByteArray() << kPresetKey;
    QTest::newRow("encrypted, other key") << kPresetKey << QByteArray("aes256:Qm7tYvLe2pNs8hXwKd4rJf6gBz1cTu9b");
    QTest::newRow("encrypted, no key") << kPresetKey << QByteArray();
    QTest::newRow("encrypted, aes128 of the same text") << kPresetKey << QByteArray("aes128:Qm7tYvLe2pNs8hXw");
}

void TestPageCodec::badKeyFailsAsNotADatabase()
{
    QFETCH(QByteArray, createKey);
    QFETCH(QByteArray, openKey);

    const QString file = path("bad.preset");
    QVERIFY(createDb(file, createKey, 4096));
    const QByteArray raw = readFile(file);

    sqlite3 *db = openDb(file, openKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(exec(db, "SELECT * FROM t"), SQLITE_NOTADB);
    QCOMPARE(exec(db, "INSERT INTO t VALUES(5000, 'x', 'y')"), SQLITE_NOTADB);
    sqlite3_close(db);
    QCOMPARE(readFile(file), raw);
}

void TestPageCodec::emptyKeyPassesThrough()
{
    const QString file = path("plain.preset");
    QVERIFY(createDb(file, QByteArray(), 4096));
    QVERIFY(readFile(file).startsWith(kMagic));
    QCOMPARE(int(uchar(readFile(file)[20])), 0); // the empty key reserves nothing

    for (const char *key : {"", static_cast<const char *>(nullptr)}) {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        QCOMPARE(sqlite3_key(db, key, 0), SQLITE_OK);
        QCOMPARE(firstText(db, "PRAGMA temp_store"), QStringLiteral("0"));
        QCOMPARE(exec(db, "UPDATE t SET name = name || '+' WHERE id < 50"), SQLITE_OK);
        QCOMPARE(firstText(db, "PRAGMA integrity_check"), QStringLiteral("ok"));
        sqlite3_close(db);
        const QByteArray raw = readFile(file);
        QVERIFY(raw.startsWith(kMagic));
        QVERIFY(raw.contains("marker-00049+"));
    }
}

void TestPageCodec::inMemoryStaysPlain_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("memory") << QStringLiteral(":memory:");
    QTest::newRow("temporary") << QString();
}

void TestPageCodec::inMemoryStaysPlain()
{
    QFETCH(QString, name);
    sqlite3 *db = openDb(name, kPresetKey);
    QVERIFY(db);
    QCOMPARE(exec(db, kFill), SQLITE_OK);
    QCOMPARE(rowCount(db), 401);
    sqlite3_int64 size = 0;
    unsigned char *image = sqlite3_serialize(db, "main", &size, 0);
    QVERIFY(image);
    const QByteArray bytes(reinterpret_cast<const char *>(image), static_cast<qsizetype>(size));
    sqlite3_free(image);
    sqlite3_close(db);
    QVERIFY(bytes.startsWith(kMagic));
    QVERIFY(bytes.contains("marker-00400"));
}

void TestPageCodec::keyByDatabaseName()
{
    const QString mainFile = path("main.preset");
    const QString otherFile = path("other.preset");
    QVERIFY(createDb(mainFile, kPresetKey, 4096));

    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(mainFile.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
        SQLITE_OK);
    const int n = static_cast<int>(kPresetKey.size());
    QCOMPARE(sqlite3_key_v2(db, "nosuch", kPresetKey.constData(), n), SQLITE_ERROR);
    QCOMPARE(sqlite3_key_v2(db, "MAIN", kPresetKey.constData(), n), SQLITE_OK);
    QCOMPARE(sqlite3_key_v2(db, "temp", kPresetKey.constData(), n), SQLITE_OK);
    QCOMPARE(rowCount(db), 401);

    const QByteArray attach = "ATTACH '" + otherFile.toUtf8() + "' AS other";
    QCOMPARE(exec(db, attach.constData()), SQLITE_OK);
    QCOMPARE(sqlite3_key_v2(db, "Other", kPresetKey.constData(), n), SQLITE_OK);
    QCOMPARE(exec(db, "CREATE TABLE other.copy AS SELECT * FROM main.t"), SQLITE_OK);
    sqlite3_close(db);

    const QByteArray raw = readFile(otherFile);
    QCOMPARE(int(uchar(raw[20])), 12);
    QVERIFY(!raw.contains("marker-"));
    db = openDb(otherFile, kPresetKey, SQLITE_OPEN_READONLY);
    QVERIFY(db);
    QCOMPARE(firstText(db, "SELECT count(*) FROM copy"), QStringLiteral("401"));
    sqlite3_close(db);
}

// A reader notices another connection's commit by the change counter in the
// (encrypted) header, read apart from whole pages.
void TestPageCodec::twoConnections()
{
    const QString file = path("shared.preset");
    QVERIFY(createDb(file, kPresetKey, 4096));
    sqlite3 *reader = openDb(file, kPresetKey, SQLITE_OPEN_READONLY);
    sqlite3 *writer = openDb(file, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(reader && writer);
    QCOMPARE(firstText(reader, "SELECT count(*) FROM t"), QStringLiteral("401"));
    // Unchanged: the header read matches the cached counter and the cache stays.
    const uint64_t before = PageCodec::statistics().pages;
    QCOMPARE(firstText(reader, "SELECT count(*) FROM t"), QStringLiteral("401"));
    QCOMPARE(PageCodec::statistics().pages - before, uint64_t(1));
    for (int round = 1; round <= 3; ++round) {
        const QByteArray update = "UPDATE t SET name = 'round " + QByteArray::number(round) + "' WHERE id = 7";
        QCOMPARE(exec(writer, update.constData()), SQLITE_OK);
        QCOMPARE(firstText(reader, "SELECT name FROM t WHERE id = 7"), QStringLiteral("round %1").arg(round));
    }
    sqlite3_close(reader);
    sqlite3_close(writer);
}

// Every file has its own work buffer and cipher: connections on other threads
// do not disturb each other's pages.
void TestPageCodec::threadsWithOwnFiles()
{
    constexpr int kThreads = 4;
    std::atomic<int> good {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        const QString file = path(QStringLiteral("thread%1.preset").arg(t));
        const QByteArray key = t % 2 ? kPresetKey : QByteArray("rc4:thread key");
        threads.emplace_back([file, key, &good] {
            sqlite3 *db = openDb(file, key);
            if (!db)
                return;
            bool ok = exec(db, kFill) == SQLITE_OK;
            for (int round = 0; ok && round < 20; ++round)
                ok = exec(db, "UPDATE t SET name = name || '.' WHERE id % 10 = 3") == SQLITE_OK
                    && firstText(db, "PRAGMA quick_check") == QLatin1String("ok");
            sqlite3_close(db);
            db = openDb(file, key, SQLITE_OPEN_READONLY);
            ok = ok && db
                && firstText(db, "SELECT name FROM t WHERE id = 13")
                    == QLatin1String("marker-00013....................")
                && firstText(db, "PRAGMA integrity_check") == QLatin1String("ok");
            sqlite3_close(db);
            good += ok;
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(good.load(), kThreads);
}

void TestPageCodec::walRefused()
{
    const QString file = path("wal.preset");
    QVERIFY(createDb(file, kPresetKey, 4096));

    sqlite3 *db = openDb(file, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(exec(db, "PRAGMA journal_mode=WAL"), SQLITE_ERROR);
    QVERIFY(QByteArray(sqlite3_errmsg(db)).contains("WAL"));
    QCOMPARE(firstText(db, "PRAGMA journal_mode"), QStringLiteral("delete"));
    QCOMPARE(exec(db, "UPDATE t SET name = 'after' WHERE id = 1"), SQLITE_OK);
    sqlite3_close(db);
    QVERIFY(!QFile::exists(file + "-wal"));

    // An unqualified pragma reaches an attached encrypted database without the
    // pragma check; switching its header to WAL is refused.
    const QString attached = path("attached.preset");
    db = openDb(path("main.db"), QByteArray());
    QVERIFY(db);
    const QByteArray attach = "ATTACH '" + attached.toUtf8() + "' AS enc";
    QCOMPARE(exec(db, attach.constData()), SQLITE_OK);
    QCOMPARE(sqlite3_key_v2(db, "enc", kPresetKey.constData(), static_cast<int>(kPresetKey.size())), SQLITE_OK);
    QCOMPARE(exec(db, "CREATE TABLE enc.t(x); INSERT INTO enc.t VALUES('kept')"), SQLITE_OK);
    {
        LogCapture log;
        exec(db, "PRAGMA journal_mode=WAL");
        QVERIFY(log.contains(QStringLiteral("ERROR"), QStringLiteral("Refusing WAL journal mode")));
    }
    // The header stayed as it was, so later writes still go through the rollback journal.
    QCOMPARE(exec(db, "INSERT INTO enc.t VALUES('later')"), SQLITE_OK);
    sqlite3_close(db);
    QVERIFY(!readFile(attached).contains("later"));
    QCOMPARE(int(readFile(attached)[18]), 1);
    QCOMPARE(int(readFile(attached)[19]), 1);
    QVERIFY(!QFile::exists(attached + "-wal"));
    db = openDb(attached, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QCOMPARE(firstText(db, "SELECT group_concat(x) FROM t"), QStringLiteral("kept,later"));
    QCOMPARE(exec(db, "PRAGMA locking_mode=EXCLUSIVE"), SQLITE_OK);
    QCOMPARE(exec(db, "PRAGMA journal_mode=WAL"), SQLITE_ERROR);
    sqlite3_close(db);

    // A connection already reading a plain file in WAL mode cannot take a key.
    const QString walFile = path("plainwal.db");
    QVERIFY(createDb(walFile, QByteArray(), 4096));
    db = openDb(walFile, QByteArray(), SQLITE_OPEN_READWRITE, false);
    QVERIFY(db);
    QCOMPARE(firstText(db, "PRAGMA journal_mode=WAL"), QStringLiteral("wal"));
    QCOMPARE(exec(db, "UPDATE t SET name = 'in wal' WHERE id = 2"), SQLITE_OK);
    {
        LogCapture log;
        QCOMPARE(sqlite3_key(db, kPresetKey.constData(), static_cast<int>(kPresetKey.size())), SQLITE_ERROR);
        QVERIFY(log.contains(QStringLiteral("ERROR"), QStringLiteral("is open in WAL journal mode")));
    }
    QCOMPARE(sqlite3_key(db, "", 0), SQLITE_OK);
    sqlite3_close(db);

    // A header that asks for WAL (bytes 18 and 19 are plain) is refused, and nothing is written.
    QByteArray raw = readFile(file);
    QCOMPARE(int(raw[18]), 1);
    raw[18] = 2;
    raw[19] = 2;
    QVERIFY(writeFile(file, raw));
    LogCapture log;
    db = openDb(file, kPresetKey, SQLITE_OPEN_READWRITE);
    QVERIFY(db);
    QVERIFY(exec(db, "SELECT * FROM t") != SQLITE_OK);
    QVERIFY(log.contains(QStringLiteral("ERROR"), QStringLiteral("cannot be opened in WAL journal mode")));
    QVERIFY(exec(db, "INSERT INTO t VALUES(9999, 'x', 'y')") != SQLITE_OK);
    sqlite3_close(db);
    QVERIFY(!QFile::exists(file + "-wal"));
    QCOMPARE(readFile(file), raw);
}

QTEST_GUILESS_MAIN(TestPageCodec)
#include "tst_pagecodec.moc"
