#pragma once

// A test VFS between the page codec and the disk that counts file operations and
// fails or kills the process at a chosen one. install() puts it under whatever
// registerPageCodec() wraps afterwards, so the faults hit encrypted bytes.
namespace FaultVfs {

struct Plan {
    int failReadAt = 0; // this read (counted from 1) returns SQLITE_IOERR_READ
    int failWriteAt = 0; // this write returns SQLITE_IOERR_WRITE
    int diskFullAt = 0; // this write and every later one returns SQLITE_FULL
    int killAt = 0; // SIGKILL just before this mutation (write, sync, truncate, delete)
};

// Registers the layer as the default VFS; call before PageCodec::registerPageCodec().
bool install();
// Sets a plan and resets the counters; an empty plan lets everything through.
void setPlan(const Plan &plan);
int reads();
int writes();
int mutations();
// Whether the plan has injected a failure since it was set.
bool injected();
} // namespace FaultVfs
