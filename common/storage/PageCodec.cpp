#include "storage/PageCodec.h"

#include "app/Logger.h"
#include "storage/PageCipher.h"

#include <openssl/crypto.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

const char PageCodec::presetKey[] = "aes256:Qm7tYvLe2pNs8hXwKd4rJf6gBz1cTu9a";
const int PageCodec::szKey[3] = {256, 16, 32};
const int PageCodec::nNonce[3] = {4, 12, 12};

PageCodec::KeyContext PageCodec::loadKeyAny(const void *key, int nKey)
{
    KeyContext context;
    if (!key || nKey <= 0)
        return context;
    const auto *text = static_cast<const unsigned char *>(key);
    // A scheme word counts only when at least one key byte follows it.
    const auto startsWith = [&](const char *word, int length) {
        return nKey > length && std::memcmp(text, word, static_cast<size_t>(length)) == 0;
    };
    if (startsWith("rc4:", 4)) {
        context.algorithm = Rc4;
        context.schemeLength = 4;
    } else if (startsWith("aes128:", 7)) {
        context.algorithm = Aes128;
        context.schemeLength = 7;
    } else if (startsWith("aes256:", 7)) {
        context.algorithm = Aes256;
        context.schemeLength = 7;
    } else {
        context.algorithm = Aes128;
        context.schemeLength = 0;
    }
    const unsigned char *keyBytes = text + context.schemeLength;
    const int size = szKey[context.algorithm];
    const int taken = std::min(nKey - context.schemeLength, size);
    std::memcpy(context.keyText, text, context.schemeLength);
    for (int i = 0; i < size; ++i)
        context.keyText[context.schemeLength + i] = keyBytes[i % taken];
    context.keyLength = static_cast<uint16_t>(context.schemeLength + taken);
    context.noKey = 0;
    return context;
}

namespace {

constexpr const char kVfsName[] = "vekcodec";
constexpr char kWalRefused[] = "WAL journal mode is not available for an encrypted database";
// SQLite's lock-byte offset; the page that holds it marks a super-journal record.
constexpr sqlite3_int64 kPendingByte = 0x40000000;

bool isPageSize(sqlite3_int64 n)
{
    return n >= 512 && n <= 65536 && (n & (n - 1)) == 0;
}

uint32_t get32(const unsigned char *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void put32(unsigned char *p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// The bytes SQLite's journal checksum adds up (its starting value aside).
uint32_t checksumSample(const unsigned char *page, int pageSize)
{
    uint32_t sum = 0;
    for (int i = pageSize - 200; i > 0; i -= 200)
        sum += page[i];
    return sum;
}

enum class Kind { Database, Journal };

struct CodecFile;

// Follows the 4-byte fields of a journal, so that a page image (which always comes
// right after its page number) and its checksum (right after the image) are known.
struct JournalTrack {
    sqlite3_int64 fieldEnd = -1;
    uint32_t fieldValue = 0;
    sqlite3_int64 checksumAt = -1;
    uint32_t checksumDelta = 0;

    bool isImage(int amount, sqlite3_int64 offset) const
    {
        return isPageSize(amount) && offset % 8 == 4 && offset == fieldEnd && fieldValue != 0
            && fieldValue != uint32_t(kPendingByte / amount + 1);
    }
};

struct FileState {
    Kind kind = Kind::Database;
    const char *name = nullptr;
    // Journals: the database they belong to, null when it was not opened through the shim.
    CodecFile *database = nullptr;
    // Databases: the key in force (null: pages pass unchanged), page size and reserved count.
    std::unique_ptr<PageCipher> cipher;
    int pageSize = 0;
    int reserved = 0;
    // The one work buffer of this file.
    unsigned char *work = nullptr;
    int workSize = 0;
    JournalTrack reads;
    JournalTrack writes;

    ~FileState() { sqlite3_free(work); }

    bool ensureWork(int size)
    {
        if (workSize >= size)
            return true;
        auto *grown = static_cast<unsigned char *>(sqlite3_realloc64(work, static_cast<sqlite3_uint64>(size)));
        if (!grown)
            return false;
        work = grown;
        workSize = size;
        return true;
    }
};

struct CodecFile {
    sqlite3_file base;
    sqlite3_file *real;
    FileState *state;
};

constexpr size_t kCodecFileSize = (sizeof(CodecFile) + 7) & ~size_t(7);

sqlite3_vfs g_vfs;
sqlite3_vfs *g_base = nullptr;
sqlite3_io_methods g_methods[3];

std::mutex g_registryMutex;
std::vector<CodecFile *> g_databases;

std::atomic<uint64_t> g_pages {0};
std::atomic<uint64_t> g_bytes {0};

void countPage(int usable)
{
    g_pages.fetch_add(1, std::memory_order_relaxed);
    g_bytes.fetch_add(static_cast<uint64_t>(usable), std::memory_order_relaxed);
}

bool isCodecFile(const sqlite3_file *file)
{
    return file
        && (file->pMethods == &g_methods[0] || file->pMethods == &g_methods[1] || file->pMethods == &g_methods[2]);
}

CodecFile *codecFile(sqlite3_file *file)
{
    return reinterpret_cast<CodecFile *>(file);
}

// Journal and WAL names are built by SQLite behind the database name of the same
// pager, so sqlite3_filename_database() gives that pager's very pointer.
CodecFile *findDatabase(const char *fileName)
{
    if (!fileName)
        return nullptr;
    const char *databaseName = sqlite3_filename_database(fileName);
    if (!databaseName)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (CodecFile *file : g_databases)
        if (file->state->name == databaseName)
            return file;
    for (CodecFile *file : g_databases)
        if (file->state->name && std::strcmp(file->state->name, databaseName) == 0)
            return file;
    return nullptr;
}

PageCipher *databaseCipher(const CodecFile *file)
{
    return file ? file->state->cipher.get() : nullptr;
}

int realRead(CodecFile *file, void *buffer, int amount, sqlite3_int64 offset)
{
    return file->real->pMethods->xRead(file->real, buffer, amount, offset);
}

int realWrite(CodecFile *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    return file->real->pMethods->xWrite(file->real, buffer, amount, offset);
}

// Page 1 carries the page size and the reserved count in its plain header bytes;
// a page 1 without a valid header (a zero page SQLite writes to extend the file)
// leaves the counts as they are.
bool hasHeader(const unsigned char *page, int pageSize)
{
    return ((page[16] << 8) | (page[17] << 16)) == pageSize;
}

int reservedFor(FileState *state, const unsigned char *page, int pageSize, uint32_t pageNumber)
{
    if (pageNumber == 1 && hasHeader(page, pageSize)) {
        state->pageSize = pageSize;
        state->reserved = page[20];
    }
    return state->reserved;
}

// Reads that are not whole pages (the header, the change counter) decrypt the
// pages they fall in and copy the part asked for.
int readPartial(CodecFile *file, unsigned char *out, int amount, sqlite3_int64 offset)
{
    FileState *state = file->state;
    PageCipher *cipher = state->cipher.get();
    int pageSize = state->pageSize;
    if (!isPageSize(pageSize)) {
        unsigned char sizeBytes[2];
        if (realRead(file, sizeBytes, 2, 16) == SQLITE_OK)
            pageSize = (sizeBytes[0] << 8) | (sizeBytes[1] << 16);
        if (!isPageSize(pageSize))
            return realRead(file, out, amount, offset);
    }
    if (!state->ensureWork(pageSize))
        return SQLITE_IOERR_NOMEM;
    int done = 0;
    while (done < amount) {
        const sqlite3_int64 position = offset + done;
        const sqlite3_int64 pageStart = position / pageSize * pageSize;
        const int rc = realRead(file, state->work, pageSize, pageStart);
        if (rc == SQLITE_IOERR_SHORT_READ)
            return realRead(file, out, amount, offset); // not a whole page: nothing to decrypt
        if (rc != SQLITE_OK)
            return rc;
        const auto pageNumber = static_cast<uint32_t>(pageStart / pageSize + 1);
        const int reserved = reservedFor(state, state->work, pageSize, pageNumber);
        if (!cipher->decryptPage(state->work, pageSize, reserved, pageNumber))
            return SQLITE_IOERR_READ;
        countPage(pageSize - reserved);
        const int inPage = static_cast<int>(position - pageStart);
        const int count = std::min(pageSize - inPage, amount - done);
        std::memcpy(out + done, state->work + inPage, static_cast<size_t>(count));
        done += count;
    }
    return SQLITE_OK;
}

int readDatabase(CodecFile *file, void *buffer, int amount, sqlite3_int64 offset)
{
    FileState *state = file->state;
    PageCipher *cipher = state->cipher.get();
    if (!cipher)
        return realRead(file, buffer, amount, offset);
    if (!isPageSize(amount) || offset % amount != 0)
        return readPartial(file, static_cast<unsigned char *>(buffer), amount, offset);
    const int rc = realRead(file, buffer, amount, offset);
    if (rc != SQLITE_OK && rc != SQLITE_IOERR_SHORT_READ)
        return rc;
    auto *page = static_cast<unsigned char *>(buffer);
    const auto pageNumber = static_cast<uint32_t>(offset / amount + 1);
    const int reserved = reservedFor(state, page, amount, pageNumber);
    if (!cipher->decryptPage(page, amount, reserved, pageNumber))
        return SQLITE_IOERR_READ;
    countPage(amount - reserved);
    return rc;
}

int writeDatabase(CodecFile *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    FileState *state = file->state;
    PageCipher *cipher = state->cipher.get();
    if (!cipher)
        return realWrite(file, buffer, amount, offset);
    if (!isPageSize(amount) || offset % amount != 0) {
        // SQLite writes only whole pages to a database file; anything else would land plain.
        Logger::logError(QStringLiteral("Refusing a write of %1 bytes at offset %2 of encrypted database %3.")
                             .arg(amount)
                             .arg(offset)
                             .arg(QString::fromUtf8(state->name)),
            QStringLiteral("PageCodec::writeDatabase"));
        return SQLITE_IOERR_WRITE;
    }
    const auto *page = static_cast<const unsigned char *>(buffer);
    const auto pageNumber = static_cast<uint32_t>(offset / amount + 1);
    if (pageNumber == 1 && hasHeader(page, amount) && (page[18] == 2 || page[19] == 2)) {
        // Switching to WAL (an attached database, or exclusive locking mode, gets
        // past the pragma check): the frames would be written plain.
        Logger::logError(
            QStringLiteral("Refusing WAL journal mode for encrypted database %1.").arg(QString::fromUtf8(state->name)),
            QStringLiteral("PageCodec::writeDatabase"));
        return SQLITE_IOERR_WRITE;
    }
    const int reserved = reservedFor(state, page, amount, pageNumber);
    if (!state->ensureWork(amount))
        return SQLITE_IOERR_NOMEM;
    if (!cipher->encryptPage(page, state->work, amount, reserved, pageNumber))
        return SQLITE_IOERR_WRITE;
    countPage(amount - reserved);
    return realWrite(file, state->work, amount, offset);
}

int journalReserved(const CodecFile *database, const unsigned char *image, int pageSize, uint32_t pageNumber)
{
    return pageNumber == 1 && hasHeader(image, pageSize) ? image[20] : database->state->reserved;
}

// The checksum on disk covers the encrypted image, while SQLite computes it over
// the plain one: both directions translate it by the difference of the sampled bytes.
int readJournal(CodecFile *file, void *buffer, int amount, sqlite3_int64 offset)
{
    const int rc = realRead(file, buffer, amount, offset);
    FileState *state = file->state;
    CodecFile *database = state->database;
    PageCipher *cipher = databaseCipher(database);
    if (!cipher)
        return rc;
    JournalTrack &track = state->reads;
    auto *bytes = static_cast<unsigned char *>(buffer);
    if (rc != SQLITE_OK) {
        track = JournalTrack();
        return rc;
    }
    if (amount == 4) {
        if (offset == track.checksumAt)
            put32(bytes, get32(bytes) + track.checksumDelta);
        track = JournalTrack();
        track.fieldEnd = offset + 4;
        track.fieldValue = get32(bytes);
        return rc;
    }
    if (!track.isImage(amount, offset)) {
        track = JournalTrack();
        return rc;
    }
    const uint32_t pageNumber = track.fieldValue;
    const uint32_t before = checksumSample(bytes, amount);
    const int reserved = journalReserved(database, bytes, amount, pageNumber);
    if (!cipher->decryptPage(bytes, amount, reserved, pageNumber))
        return SQLITE_IOERR_READ;
    countPage(amount - reserved);
    track = JournalTrack();
    track.checksumAt = offset + amount;
    track.checksumDelta = checksumSample(bytes, amount) - before;
    return rc;
}

int writeJournal(CodecFile *file, const void *buffer, int amount, sqlite3_int64 offset)
{
    FileState *state = file->state;
    CodecFile *database = state->database;
    PageCipher *cipher = databaseCipher(database);
    if (!cipher)
        return realWrite(file, buffer, amount, offset);
    JournalTrack &track = state->writes;
    const auto *bytes = static_cast<const unsigned char *>(buffer);
    if (amount == 4) {
        const uint32_t value = get32(bytes);
        int rc;
        if (offset == track.checksumAt) {
            unsigned char translated[4];
            put32(translated, value + track.checksumDelta);
            rc = realWrite(file, translated, 4, offset);
        } else {
            rc = realWrite(file, buffer, 4, offset);
        }
        track = JournalTrack();
        track.fieldEnd = offset + 4;
        track.fieldValue = value;
        return rc;
    }
    if (!track.isImage(amount, offset)) {
        track = JournalTrack();
        return realWrite(file, buffer, amount, offset);
    }
    const uint32_t pageNumber = track.fieldValue;
    track = JournalTrack();
    if (!state->ensureWork(amount))
        return SQLITE_IOERR_NOMEM;
    const int reserved = journalReserved(database, bytes, amount, pageNumber);
    if (!cipher->encryptPage(bytes, state->work, amount, reserved, pageNumber))
        return SQLITE_IOERR_WRITE;
    countPage(amount - reserved);
    const int rc = realWrite(file, state->work, amount, offset);
    if (rc == SQLITE_OK) {
        track.checksumAt = offset + amount;
        track.checksumDelta = checksumSample(state->work, amount) - checksumSample(bytes, amount);
    }
    return rc;
}

// io methods

int fileClose(sqlite3_file *pFile)
{
    CodecFile *file = codecFile(pFile);
    const int rc = file->real->pMethods->xClose(file->real);
    if (file->state->kind == Kind::Database) {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        g_databases.erase(std::remove(g_databases.begin(), g_databases.end(), file), g_databases.end());
    }
    delete file->state;
    file->state = nullptr;
    file->base.pMethods = nullptr;
    return rc;
}

int fileRead(sqlite3_file *pFile, void *buffer, int amount, sqlite3_int64 offset)
{
    CodecFile *file = codecFile(pFile);
    return file->state->kind == Kind::Database ? readDatabase(file, buffer, amount, offset)
                                               : readJournal(file, buffer, amount, offset);
}

int fileWrite(sqlite3_file *pFile, const void *buffer, int amount, sqlite3_int64 offset)
{
    CodecFile *file = codecFile(pFile);
    return file->state->kind == Kind::Database ? writeDatabase(file, buffer, amount, offset)
                                               : writeJournal(file, buffer, amount, offset);
}

int fileTruncate(sqlite3_file *pFile, sqlite3_int64 size)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xTruncate(real, size);
}

int fileSync(sqlite3_file *pFile, int flags)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xSync(real, flags);
}

int fileSize(sqlite3_file *pFile, sqlite3_int64 *size)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xFileSize(real, size);
}

int fileLock(sqlite3_file *pFile, int lock)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xLock(real, lock);
}

int fileUnlock(sqlite3_file *pFile, int lock)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xUnlock(real, lock);
}

int fileCheckReservedLock(sqlite3_file *pFile, int *result)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xCheckReservedLock(real, result);
}

int fileControl(sqlite3_file *pFile, int op, void *argument)
{
    CodecFile *file = codecFile(pFile);
    if (op == SQLITE_FCNTL_PRAGMA && file->state->kind == Kind::Database && file->state->cipher) {
        auto **pragma = static_cast<char **>(argument);
        if (pragma[1] && pragma[2] && sqlite3_stricmp(pragma[1], "journal_mode") == 0
            && sqlite3_stricmp(pragma[2], "wal") == 0) {
            pragma[0] = sqlite3_mprintf("%s", kWalRefused);
            return SQLITE_ERROR;
        }
    }
    return file->real->pMethods->xFileControl(file->real, op, argument);
}

int fileSectorSize(sqlite3_file *pFile)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xSectorSize(real);
}

int fileDeviceCharacteristics(sqlite3_file *pFile)
{
    CodecFile *file = codecFile(pFile);
    int characteristics = file->real->pMethods->xDeviceCharacteristics(file->real);
    // Atomic-write devices make SQLite buffer the journal in memory and write it
    // in arbitrary pieces, which would hide where the page images are.
    if (file->state->kind == Kind::Database && file->state->cipher)
        characteristics &= ~(SQLITE_IOCAP_ATOMIC | SQLITE_IOCAP_ATOMIC512 | SQLITE_IOCAP_ATOMIC1K
            | SQLITE_IOCAP_ATOMIC2K | SQLITE_IOCAP_ATOMIC4K | SQLITE_IOCAP_ATOMIC8K | SQLITE_IOCAP_ATOMIC16K
            | SQLITE_IOCAP_ATOMIC32K | SQLITE_IOCAP_ATOMIC64K | SQLITE_IOCAP_BATCH_ATOMIC);
    return characteristics;
}

int fileShmMap(sqlite3_file *pFile, int page, int pageSize, int extend, void volatile **pp)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xShmMap(real, page, pageSize, extend, pp);
}

int fileShmLock(sqlite3_file *pFile, int offset, int n, int flags)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void fileShmBarrier(sqlite3_file *pFile)
{
    sqlite3_file *real = codecFile(pFile)->real;
    real->pMethods->xShmBarrier(real);
}

int fileShmUnmap(sqlite3_file *pFile, int deleteFlag)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xShmUnmap(real, deleteFlag);
}

int fileFetch(sqlite3_file *pFile, sqlite3_int64 offset, int amount, void **pp)
{
    CodecFile *file = codecFile(pFile);
    // Mapped pages would bypass the decryption: make SQLite read them instead.
    if (file->state->cipher || file->state->kind == Kind::Journal) {
        *pp = nullptr;
        return SQLITE_OK;
    }
    return file->real->pMethods->xFetch(file->real, offset, amount, pp);
}

int fileUnfetch(sqlite3_file *pFile, sqlite3_int64 offset, void *p)
{
    sqlite3_file *real = codecFile(pFile)->real;
    return real->pMethods->xUnfetch(real, offset, p);
}

// vfs methods

int vfsOpen(sqlite3_vfs *, const char *name, sqlite3_file *pFile, int flags, int *outFlags)
{
    Kind kind;
    CodecFile *database = nullptr;
    if (flags & SQLITE_OPEN_MAIN_DB) {
        kind = Kind::Database;
    } else if (flags & SQLITE_OPEN_MAIN_JOURNAL) {
        kind = Kind::Journal;
        database = findDatabase(name);
    } else {
        if ((flags & SQLITE_OPEN_WAL) && databaseCipher(findDatabase(name))) {
            Logger::logError(QStringLiteral("Encrypted database %1 cannot be opened in WAL journal mode.")
                                 .arg(QString::fromUtf8(sqlite3_filename_database(name))),
                QStringLiteral("PageCodec::vfsOpen"));
            pFile->pMethods = nullptr;
            return SQLITE_CANTOPEN;
        }
        // Temporary files, statement and super-journals are never transformed:
        // they are opened as the underlying VFS's own files.
        return g_base->xOpen(g_base, name, pFile, flags, outFlags);
    }

    CodecFile *file = codecFile(pFile);
    file->base.pMethods = nullptr;
    file->real = reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(pFile) + kCodecFileSize);
    file->state = new (std::nothrow) FileState;
    if (!file->state)
        return SQLITE_NOMEM;
    file->state->kind = kind;
    file->state->name = name;
    file->state->database = database;
    const int rc = g_base->xOpen(g_base, name, file->real, flags, outFlags);
    if (rc != SQLITE_OK || !file->real->pMethods) {
        delete file->state;
        file->state = nullptr;
        return rc != SQLITE_OK ? rc : SQLITE_CANTOPEN;
    }
    const int version = std::clamp(file->real->pMethods->iVersion, 1, 3);
    file->base.pMethods = &g_methods[version - 1];
    if (kind == Kind::Database) {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        g_databases.push_back(file);
    }
    return SQLITE_OK;
}

int vfsDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    return g_base->xDelete(g_base, name, syncDir);
}

int vfsAccess(sqlite3_vfs *, const char *name, int flags, int *result)
{
    return g_base->xAccess(g_base, name, flags, result);
}

int vfsFullPathname(sqlite3_vfs *, const char *name, int size, char *out)
{
    return g_base->xFullPathname(g_base, name, size, out);
}

void *vfsDlOpen(sqlite3_vfs *, const char *name)
{
    return g_base->xDlOpen(g_base, name);
}

void vfsDlError(sqlite3_vfs *, int size, char *message)
{
    g_base->xDlError(g_base, size, message);
}

void (*vfsDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void)
{
    return g_base->xDlSym(g_base, handle, symbol);
}

void vfsDlClose(sqlite3_vfs *, void *handle)
{
    g_base->xDlClose(g_base, handle);
}

int vfsRandomness(sqlite3_vfs *, int size, char *out)
{
    return g_base->xRandomness(g_base, size, out);
}

int vfsSleep(sqlite3_vfs *, int microseconds)
{
    return g_base->xSleep(g_base, microseconds);
}

int vfsCurrentTime(sqlite3_vfs *, double *now)
{
    return g_base->xCurrentTime(g_base, now);
}

int vfsGetLastError(sqlite3_vfs *, int size, char *message)
{
    return g_base->xGetLastError ? g_base->xGetLastError(g_base, size, message) : 0;
}

int vfsCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *now)
{
    return g_base->xCurrentTimeInt64(g_base, now);
}

int vfsSetSystemCall(sqlite3_vfs *, const char *name, sqlite3_syscall_ptr call)
{
    return g_base->xSetSystemCall(g_base, name, call);
}

sqlite3_syscall_ptr vfsGetSystemCall(sqlite3_vfs *, const char *name)
{
    return g_base->xGetSystemCall(g_base, name);
}

const char *vfsNextSystemCall(sqlite3_vfs *, const char *name)
{
    return g_base->xNextSystemCall(g_base, name);
}

bool registerShim()
{
    if (sqlite3_initialize() != SQLITE_OK)
        return false;
    g_base = sqlite3_vfs_find(nullptr);
    if (!g_base)
        return false;

    for (int i = 0; i < 3; ++i) {
        sqlite3_io_methods &m = g_methods[i];
        m = sqlite3_io_methods();
        m.iVersion = i + 1;
        m.xClose = fileClose;
        m.xRead = fileRead;
        m.xWrite = fileWrite;
        m.xTruncate = fileTruncate;
        m.xSync = fileSync;
        m.xFileSize = fileSize;
        m.xLock = fileLock;
        m.xUnlock = fileUnlock;
        m.xCheckReservedLock = fileCheckReservedLock;
        m.xFileControl = fileControl;
        m.xSectorSize = fileSectorSize;
        m.xDeviceCharacteristics = fileDeviceCharacteristics;
        if (i >= 1) {
            m.xShmMap = fileShmMap;
            m.xShmLock = fileShmLock;
            m.xShmBarrier = fileShmBarrier;
            m.xShmUnmap = fileShmUnmap;
        }
        if (i >= 2) {
            m.xFetch = fileFetch;
            m.xUnfetch = fileUnfetch;
        }
    }

    g_vfs = sqlite3_vfs();
    g_vfs.iVersion = std::min(g_base->iVersion, 3);
    g_vfs.szOsFile = static_cast<int>(kCodecFileSize) + g_base->szOsFile;
    g_vfs.mxPathname = g_base->mxPathname;
    g_vfs.zName = kVfsName;
    g_vfs.xOpen = vfsOpen;
    g_vfs.xDelete = vfsDelete;
    g_vfs.xAccess = vfsAccess;
    g_vfs.xFullPathname = vfsFullPathname;
    g_vfs.xDlOpen = vfsDlOpen;
    g_vfs.xDlError = vfsDlError;
    g_vfs.xDlSym = vfsDlSym;
    g_vfs.xDlClose = vfsDlClose;
    g_vfs.xRandomness = vfsRandomness;
    g_vfs.xSleep = vfsSleep;
    g_vfs.xCurrentTime = vfsCurrentTime;
    g_vfs.xGetLastError = vfsGetLastError;
    if (g_vfs.iVersion >= 2)
        g_vfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    if (g_vfs.iVersion >= 3) {
        g_vfs.xSetSystemCall = vfsSetSystemCall;
        g_vfs.xGetSystemCall = vfsGetSystemCall;
        g_vfs.xNextSystemCall = vfsNextSystemCall;
    }
    return sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
}

bool isInMemory(sqlite3 *db, const char *schema, const sqlite3_file *file)
{
    if (!file->pMethods)
        return true; // an in-memory pager never opens its file
    const char *fileName = sqlite3_db_filename(db, schema);
    if (!fileName || !*fileName)
        return true;
    sqlite3_vfs *vfs = nullptr;
    return sqlite3_file_control(db, schema, SQLITE_FCNTL_VFS_POINTER, &vfs) == SQLITE_OK && vfs
        && std::strcmp(vfs->zName, "memdb") == 0;
}

int installKey(sqlite3 *db, const char *schema, sqlite3_file *file, const PageCodec::KeyContext &context)
{
    if (!isCodecFile(file)) {
        if (!context.noKey && !isInMemory(db, schema, file)) {
            Logger::logError(QStringLiteral("Database %1 was not opened through the page codec; it cannot "
                                            "be encrypted.")
                                 .arg(QString::fromUtf8(sqlite3_db_filename(db, schema))),
                QStringLiteral("sqlite3_key_v2"));
            return SQLITE_ERROR;
        }
    } else {
        // A connection that already reads the file in WAL mode writes frames the
        // shim never sees: it cannot take a key any more.
        sqlite3_file *journal = nullptr;
        if (!context.noKey && sqlite3_file_control(db, schema, SQLITE_FCNTL_JOURNAL_POINTER, &journal) == SQLITE_OK
            && journal && journal->pMethods && !isCodecFile(journal) && journal->pMethods->iVersion >= 2) {
            Logger::logError(QStringLiteral("Database %1 is open in WAL journal mode; it cannot be encrypted.")
                                 .arg(QString::fromUtf8(sqlite3_db_filename(db, schema))),
                QStringLiteral("sqlite3_key_v2"));
            return SQLITE_ERROR;
        }
        std::unique_ptr<PageCipher> cipher;
        if (!context.noKey) {
            cipher.reset(new (std::nothrow) PageCipher(context));
            if (!cipher || !cipher->isActive())
                return SQLITE_NOMEM;
        }
        CodecFile *codec = codecFile(file);
        const bool keyed = cipher != nullptr;
        codec->state->cipher = std::move(cipher);
        // Statement journals and the copy VACUUM makes are temporary files the shim
        // does not encrypt: keep them in memory instead.
        if (keyed)
            sqlite3_exec(db, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
        // Bytes 16 to 23 are plain in every preset, so the header can be read as is.
        unsigned char header[24];
        if (realRead(codec, header, sizeof header, 0) == SQLITE_OK) {
            const int pageSize = (header[16] << 8) | (header[17] << 16);
            if (isPageSize(pageSize))
                reservedFor(codec->state, header, pageSize, 1);
        }
    }
    if (!context.noKey) {
        // Takes effect only while the page size is not fixed: a new or in-memory database.
        int reserve = PageCodec::nNonce[context.algorithm];
        sqlite3_file_control(db, schema, SQLITE_FCNTL_RESERVE_BYTES, &reserve);
    }
    return SQLITE_OK;
}

int attachKey(sqlite3 *db, const char *name, const void *key, int nKey)
{
    const char *schema = nullptr;
    for (int i = 0; const char *candidate = sqlite3_db_name(db, i); ++i) {
        if (sqlite3_stricmp(candidate, name) == 0) {
            schema = candidate;
            break;
        }
    }
    if (!schema)
        return SQLITE_ERROR;
    sqlite3_file *file = nullptr;
    if (sqlite3_file_control(db, schema, SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file)
        return SQLITE_OK; // no b-tree yet: nothing to attach to

    PageCodec::KeyContext context = PageCodec::loadKeyAny(key, nKey);
    const int rc = installKey(db, schema, file, context);
    OPENSSL_cleanse(&context, sizeof context);
    return rc;
}

} // namespace

bool PageCodec::registerPageCodec()
{
    static const bool registered = registerShim();
    return registered;
}

PageCodec::Statistics PageCodec::statistics()
{
    Statistics result;
    result.pages = g_pages.load(std::memory_order_relaxed);
    result.bytes = g_bytes.load(std::memory_order_relaxed);
    return result;
}

extern "C" int sqlite3_key(sqlite3 *db, const void *key, int nKey)
{
    return sqlite3_key_v2(db, nullptr, key, nKey);
}

extern "C" int sqlite3_key_v2(sqlite3 *db, const char *dbName, const void *key, int nKey)
{
    if (!db)
        return SQLITE_MISUSE;
    sqlite3_mutex *mutex = sqlite3_db_mutex(db);
    sqlite3_mutex_enter(mutex);
    const int rc = attachKey(db, dbName ? dbName : "main", key, nKey);
    sqlite3_mutex_leave(mutex);
    return rc;
}
