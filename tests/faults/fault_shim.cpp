// Preloaded into QNrepair by the fault tests. It numbers every call that changes a file
// (writes, flushes, renames, links, deletions, creations) and, at the call numbered QN_FAULT_AT,
// kills the process (QN_FAULT_ACTION=kill), stops it until SIGCONT (stop), or makes the call fail
// with EIO (fail) before it happens. Apart from those it numbers every transfer of a regular file's
// contents (read, pread, write, pwrite) and makes the one numbered QN_FAULT_TRANSFER_AT, and the
// QN_FAULT_TRANSFER_BURST - 1 after it (none by default), fail as QN_FAULT_TRANSFER says: with EIO
// (eio) or EINTR (eintr), or move half the bytes asked for (short). With QN_FAULT_TRANSFER_FILE set,
// only the transfers of files whose name holds that text are numbered. With QN_FAULT_TRACE
// (QN_FAULT_TRANSFER_TRACE) set, each numbered call (transfer) is appended to that file as
// "<number> <call> <file>", so a test knows which step each number is. With QN_FAULT_NO_LINK set,
// every hard link is refused with EPERM, as on a file system that has none.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

long changes = 0;
long transfers = 0;

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// What the descriptor names, for the trace.
void fdName(int fd, char* out, size_t size) {
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    out[n > 0 ? n : 0] = '\0';
}

// The trace named by the environment variable `variable`; -1 when it names none.
int traceFd(const char* variable) {
    const char* path = getenv(variable);
    static const auto openFn = real<int (*)(const char*, int, ...)>("open");
    return path != nullptr ? openFn(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

void trace(int fd, long number, const char* call, const char* file) {
    if (fd < 0) return;
    char line[4352];
    const int n = snprintf(line, sizeof line, "%ld %s %s\n", number, call, file);
    static const auto writeFn = real<ssize_t (*)(int, const void*, size_t)>("write");
    if (n > 0) writeFn(fd, line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

bool numbered(const char* variable, long number) {
    const char* at = getenv(variable);
    return at != nullptr && strtol(at, nullptr, 10) == number;
}

// Whether `number` falls in the burst that starts at QN_FAULT_TRANSFER_AT.
bool inBurst(long number) {
    const char* at = getenv("QN_FAULT_TRANSFER_AT");
    if (at == nullptr) return false;
    const char* burst = getenv("QN_FAULT_TRANSFER_BURST");
    const long first = strtol(at, nullptr, 10);
    const long length = burst != nullptr ? strtol(burst, nullptr, 10) : 1;
    return number >= first && number < first + length;
}

// Counts a call that changes `file`; true (errno set) when the call is to fail instead.
bool counted(const char* call, const char* file) {
    static const int fd = traceFd("QN_FAULT_TRACE");
    const long number = __atomic_add_fetch(&changes, 1, __ATOMIC_SEQ_CST);
    trace(fd, number, call, file);
    if (!numbered("QN_FAULT_AT", number)) return false;
    const char* action = getenv("QN_FAULT_ACTION");
    if (action != nullptr && strcmp(action, "stop") == 0) {
        raise(SIGSTOP);
        return false;
    }
    if (action != nullptr && strcmp(action, "fail") == 0) {
        errno = EIO;
        return true;
    }
    kill(getpid(), SIGKILL);
    return false;
}

bool countedFd(const char* call, int fd) {
    char name[4096];
    fdName(fd, name, sizeof name);
    return counted(call, name);
}

enum class Transfer { AsAsked, Refused, Short };

// Counts a transfer of a regular file's contents and says what becomes of it.
Transfer transfer(const char* call, int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return Transfer::AsAsked;
    static const int traced = traceFd("QN_FAULT_TRANSFER_TRACE");
    char name[4096] = "";
    const char* only = getenv("QN_FAULT_TRANSFER_FILE");
    if (only != nullptr || traced >= 0) fdName(fd, name, sizeof name);
    if (only != nullptr && strstr(name, only) == nullptr) return Transfer::AsAsked;
    const long number = __atomic_add_fetch(&transfers, 1, __ATOMIC_SEQ_CST);
    trace(traced, number, call, name);
    if (!inBurst(number)) return Transfer::AsAsked;
    const char* fault = getenv("QN_FAULT_TRANSFER");
    if (fault != nullptr && strcmp(fault, "short") == 0) return Transfer::Short;
    errno = fault != nullptr && strcmp(fault, "eintr") == 0 ? EINTR : EIO;
    return Transfer::Refused;
}

// The size a transfer moves: half of what was asked for, when it is to come up short.
size_t sizeFor(Transfer t, size_t size) { return t == Transfer::Short && size > 1 ? size / 2 : size; }

// The mode argument, which open() takes only when it may create a file; such an open counts.
// (O_TMPFILE includes the bits of O_DIRECTORY.) True when the open is to fail.
bool creation(const char* path, int flags, va_list args, mode_t& mode) {
    mode = 0;
    if ((flags & O_CREAT) == 0 && (flags & O_TMPFILE) != O_TMPFILE) return false;
    mode = static_cast<mode_t>(va_arg(args, int));
    return counted("create", path);
}

bool stdioCreation(const char* path, const char* mode) {
    return strpbrk(mode, "wa+") != nullptr && counted("create", path);
}

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t size) {
    const Transfer t = transfer("read", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, void*, size_t)>("read")(fd, buffer, sizeFor(t, size));
}

ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    const Transfer t = transfer("pread", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, void*, size_t, off_t)>("pread")(fd, buffer, sizeFor(t, size), offset);
}

ssize_t pread64(int fd, void* buffer, size_t size, off_t offset) {
    const Transfer t = transfer("pread", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, void*, size_t, off_t)>("pread64")(fd, buffer, sizeFor(t, size), offset);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    if (countedFd("write", fd)) return -1;
    const Transfer t = transfer("write", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, const void*, size_t)>("write")(fd, buffer, sizeFor(t, size));
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    if (countedFd("pwrite", fd)) return -1;
    const Transfer t = transfer("pwrite", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buffer, sizeFor(t, size), offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset) {
    if (countedFd("pwrite", fd)) return -1;
    const Transfer t = transfer("pwrite", fd);
    if (t == Transfer::Refused) return -1;
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, buffer, sizeFor(t, size), offset);
}

int ftruncate(int fd, off_t length) {
    if (countedFd("ftruncate", fd)) return -1;
    return real<int (*)(int, off_t)>("ftruncate")(fd, length);
}

int ftruncate64(int fd, off_t length) {
    if (countedFd("ftruncate", fd)) return -1;
    return real<int (*)(int, off_t)>("ftruncate64")(fd, length);
}

int fsync(int fd) {
    if (countedFd("fsync", fd)) return -1;
    return real<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
    if (countedFd("fdatasync", fd)) return -1;
    return real<int (*)(int)>("fdatasync")(fd);
}

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags) {
    if (countedFd("copy_file_range", out)) return -1;
    return real<ssize_t (*)(int, off_t*, int, off_t*, size_t, unsigned)>("copy_file_range")(in, inOffset, out,
                                                                                            outOffset, size, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t size) {
    if (countedFd("sendfile", out)) return -1;
    return real<ssize_t (*)(int, int, off_t*, size_t)>("sendfile")(out, in, offset, size);
}

ssize_t sendfile64(int out, int in, off_t* offset, size_t size) {
    if (countedFd("sendfile", out)) return -1;
    return real<ssize_t (*)(int, int, off_t*, size_t)>("sendfile64")(out, in, offset, size);
}

int rename(const char* from, const char* to) {
    if (counted("rename", to)) return -1;
    return real<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (counted("rename", to)) return -1;
    return real<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if (counted("rename", to)) return -1;
    return real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    if (counted("link", to)) return -1;
    if (getenv("QN_FAULT_NO_LINK") != nullptr) {
        errno = EPERM;
        return -1;
    }
    return real<int (*)(const char*, const char*)>("link")(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    if (counted("link", to)) return -1;
    if (getenv("QN_FAULT_NO_LINK") != nullptr) {
        errno = EPERM;
        return -1;
    }
    return real<int (*)(int, const char*, int, const char*, int)>("linkat")(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    if (counted("unlink", path)) return -1;
    return real<int (*)(const char*)>("unlink")(path);
}

int unlinkat(int dir, const char* path, int flags) {
    if (counted("unlink", path)) return -1;
    return real<int (*)(int, const char*, int)>("unlinkat")(dir, path, flags);
}

int remove(const char* path) {
    if (counted("unlink", path)) return -1;
    return real<int (*)(const char*)>("remove")(path);
}

int mkdir(const char* path, mode_t mode) {
    if (counted("mkdir", path)) return -1;
    return real<int (*)(const char*, mode_t)>("mkdir")(path, mode);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = 0;
    const bool fail = creation(path, flags, args, mode);
    va_end(args);
    if (fail) return -1;
    return real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = 0;
    const bool fail = creation(path, flags, args, mode);
    va_end(args);
    if (fail) return -1;
    return real<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = 0;
    const bool fail = creation(path, flags, args, mode);
    va_end(args);
    if (fail) return -1;
    return real<int (*)(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    mode_t mode = 0;
    const bool fail = creation(path, flags, args, mode);
    va_end(args);
    if (fail) return -1;
    return real<int (*)(int, const char*, int, ...)>("openat64")(dir, path, flags, mode);
}

// The C library opens for stdio without going through open(); the log and the marker come this way.
FILE* fopen(const char* path, const char* mode) {
    if (stdioCreation(path, mode)) return nullptr;
    return real<FILE* (*)(const char*, const char*)>("fopen")(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    if (stdioCreation(path, mode)) return nullptr;
    return real<FILE* (*)(const char*, const char*)>("fopen64")(path, mode);
}

}  // extern "C"
