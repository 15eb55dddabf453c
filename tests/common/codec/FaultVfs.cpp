#include "FaultVfs.h"

#include <sqlite3.h>

#include <atomic>
#include <csignal>

namespace {

struct FaultFile {
    sqlite3_file base;
    sqlite3_file *real;
};

constexpr int kFaultFileSize = (sizeof(FaultFile) + 7) & ~7;

sqlite3_vfs g_vfs;
sqlite3_vfs *g_base = nullptr;
sqlite3_io_methods g_methods;

FaultVfs::Plan g_plan;
std::atomic<int> g_reads {0};
std::atomic<int> g_writes {0};
std::atomic<int> g_mutations {0};
std::atomic<bool> g_injected {false};

sqlite3_file *real(sqlite3_file *file)
{
    return reinterpret_cast<FaultFile *>(file)->real;
}

void mutation()
{
    const int n = ++g_mutations;
    if (g_plan.killAt && n == g_plan.killAt)
        std::raise(SIGKILL);
}

int fClose(sqlite3_file *f)
{
    return real(f)->pMethods->xClose(real(f));
}

int fRead(sqlite3_file *f, void *buffer, int amount, sqlite3_int64 offset)
{
    const int n = ++g_reads;
    if (g_plan.failReadAt && n == g_plan.failReadAt) {
        g_injected = true;
        return SQLITE_IOERR_READ;
    }
    return real(f)->pMethods->xRead(real(f), buffer, amount, offset);
}

int fWrite(sqlite3_file *f, const void *buffer, int amount, sqlite3_int64 offset)
{
    const int n = ++g_writes;
    mutation();
    if (g_plan.failWriteAt && n == g_plan.failWriteAt) {
        g_injected = true;
        return SQLITE_IOERR_WRITE;
    }
    if (g_plan.diskFullAt && n >= g_plan.diskFullAt) {
        g_injected = true;
        return SQLITE_FULL;
    }
    return real(f)->pMethods->xWrite(real(f), buffer, amount, offset);
}

int fTruncate(sqlite3_file *f, sqlite3_int64 size)
{
    mutation();
    return real(f)->pMethods->xTruncate(real(f), size);
}

int fSync(sqlite3_file *f, int flags)
{
    mutation();
    return real(f)->pMethods->xSync(real(f), flags);
}

int fFileSize(sqlite3_file *f, sqlite3_int64 *size)
{
    return real(f)->pMethods->xFileSize(real(f), size);
}

int fLock(sqlite3_file *f, int lock)
{
    return real(f)->pMethods->xLock(real(f), lock);
}

int fUnlock(sqlite3_file *f, int lock)
{
    return real(f)->pMethods->xUnlock(real(f), lock);
}

int fCheckReservedLock(sqlite3_file *f, int *out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}

int fFileControl(sqlite3_file *f, int op, void *arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}

int fSectorSize(sqlite3_file *f)
{
    return real(f)->pMethods->xSectorSize(real(f));
}

int fDeviceCharacteristics(sqlite3_file *f)
{
    return real(f)->pMethods->xDeviceCharacteristics(real(f));
}

int fShmMap(sqlite3_file *f, int page, int size, int extend, void volatile **pp)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, pp);
}

int fShmLock(sqlite3_file *f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}

void fShmBarrier(sqlite3_file *f)
{
    real(f)->pMethods->xShmBarrier(real(f));
}

int fShmUnmap(sqlite3_file *f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}

int fFetch(sqlite3_file *, sqlite3_int64, int, void **pp)
{
    *pp = nullptr; // every read goes through fRead
    return SQLITE_OK;
}

int fUnfetch(sqlite3_file *f, sqlite3_int64 offset, void *p)
{
    return real(f)->pMethods->xUnfetch(real(f), offset, p);
}

int vOpen(sqlite3_vfs *, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    auto *f = reinterpret_cast<FaultFile *>(file);
    f->base.pMethods = nullptr;
    f->real = reinterpret_cast<sqlite3_file *>(reinterpret_cast<char *>(file) + kFaultFileSize);
    const int rc = g_base->xOpen(g_base, name, f->real, flags, outFlags);
    if (rc == SQLITE_OK && f->real->pMethods)
        f->base.pMethods = &g_methods;
    return rc;
}

int vDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    mutation();
    return g_base->xDelete(g_base, name, syncDir);
}

int vAccess(sqlite3_vfs *, const char *name, int flags, int *out)
{
    return g_base->xAccess(g_base, name, flags, out);
}

int vFullPathname(sqlite3_vfs *, const char *name, int n, char *out)
{
    return g_base->xFullPathname(g_base, name, n, out);
}

void *vDlOpen(sqlite3_vfs *, const char *name)
{
    return g_base->xDlOpen(g_base, name);
}

void vDlError(sqlite3_vfs *, int n, char *out)
{
    g_base->xDlError(g_base, n, out);
}

void (*vDlSym(sqlite3_vfs *, void *handle, const char *symbol))(void)
{
    return g_base->xDlSym(g_base, handle, symbol);
}

void vDlClose(sqlite3_vfs *, void *handle)
{
    g_base->xDlClose(g_base, handle);
}

int vRandomness(sqlite3_vfs *, int n, char *out)
{
    return g_base->xRandomness(g_base, n, out);
}

int vSleep(sqlite3_vfs *, int us)
{
    return g_base->xSleep(g_base, us);
}

int vCurrentTime(sqlite3_vfs *, double *out)
{
    return g_base->xCurrentTime(g_base, out);
}

int vGetLastError(sqlite3_vfs *, int n, char *out)
{
    return g_base->xGetLastError(g_base, n, out);
}

int vCurrentTimeInt64(sqlite3_vfs *, sqlite3_int64 *out)
{
    return g_base->xCurrentTimeInt64(g_base, out);
}

} // namespace

bool FaultVfs::install()
{
    static const bool installed = [] {
        if (sqlite3_initialize() != SQLITE_OK)
            return false;
        g_base = sqlite3_vfs_find(nullptr);
        if (!g_base || g_base->iVersion < 2)
            return false;
        g_methods = sqlite3_io_methods();
        g_methods.iVersion = 3;
        g_methods.xClose = fClose;
        g_methods.xRead = fRead;
        g_methods.xWrite = fWrite;
        g_methods.xTruncate = fTruncate;
        g_methods.xSync = fSync;
        g_methods.xFileSize = fFileSize;
        g_methods.xLock = fLock;
        g_methods.xUnlock = fUnlock;
        g_methods.xCheckReservedLock = fCheckReservedLock;
        g_methods.xFileControl = fFileControl;
        g_methods.xSectorSize = fSectorSize;
        g_methods.xDeviceCharacteristics = fDeviceCharacteristics;
        g_methods.xShmMap = fShmMap;
        g_methods.xShmLock = fShmLock;
        g_methods.xShmBarrier = fShmBarrier;
        g_methods.xShmUnmap = fShmUnmap;
        g_methods.xFetch = fFetch;
        g_methods.xUnfetch = fUnfetch;

        g_vfs = sqlite3_vfs();
        g_vfs.iVersion = 2;
        g_vfs.szOsFile = kFaultFileSize + g_base->szOsFile;
        g_vfs.mxPathname = g_base->mxPathname;
        g_vfs.zName = "vekfault";
        g_vfs.xOpen = vOpen;
        g_vfs.xDelete = vDelete;
        g_vfs.xAccess = vAccess;
        g_vfs.xFullPathname = vFullPathname;
        g_vfs.xDlOpen = vDlOpen;
        g_vfs.xDlError = vDlError;
        g_vfs.xDlSym = vDlSym;
        g_vfs.xDlClose = vDlClose;
        g_vfs.xRandomness = vRandomness;
        g_vfs.xSleep = vSleep;
        g_vfs.xCurrentTime = vCurrentTime;
        g_vfs.xGetLastError = vGetLastError;
        g_vfs.xCurrentTimeInt64 = vCurrentTimeInt64;
        return sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
    }();
    return installed;
}

void FaultVfs::setPlan(const Plan &plan)
{
    g_plan = plan;
    g_reads = 0;
    g_writes = 0;
    g_mutations = 0;
    g_injected = false;
}

int FaultVfs::reads()
{
    return g_reads;
}

int FaultVfs::writes()
{
    return g_writes;
}

int FaultVfs::mutations()
{
    return g_mutations;
}

bool FaultVfs::injected()
{
    return g_injected;
}
