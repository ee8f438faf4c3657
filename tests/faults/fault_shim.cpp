// Preloaded into QNrepair by the fault tests. It numbers every call that changes a file
// (writes, flushes, renames, deletions, creations) and, at the call numbered QN_FAULT_AT,
// kills the process (QN_FAULT_ACTION=kill) or stops it until SIGCONT (QN_FAULT_ACTION=stop)
// before the call happens. With QN_FAULT_TRACE set, each numbered call is appended to that
// file as "<number> <call> <file>", so a test knows which step each number is.
#include <dlfcn.h>
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

long counter = 0;

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

void trace(long number, const char* call, const char* file) {
    static int fd = -2;
    if (fd == -2) {
        const char* path = getenv("QN_FAULT_TRACE");
        static const auto openFn = real<int (*)(const char*, int, ...)>("open");
        fd = path != nullptr ? openFn(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    }
    if (fd < 0) return;
    char line[4352];
    const int n = snprintf(line, sizeof line, "%ld %s %s\n", number, call, file);
    static const auto writeFn = real<ssize_t (*)(int, const void*, size_t)>("write");
    if (n > 0) writeFn(fd, line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

void counted(const char* call, const char* file) {
    const long number = __atomic_add_fetch(&counter, 1, __ATOMIC_SEQ_CST);
    trace(number, call, file);
    const char* at = getenv("QN_FAULT_AT");
    if (at == nullptr || strtol(at, nullptr, 10) != number) return;
    const char* action = getenv("QN_FAULT_ACTION");
    if (action != nullptr && strcmp(action, "stop") == 0)
        raise(SIGSTOP);
    else
        kill(getpid(), SIGKILL);
}

void countedFd(const char* call, int fd) {
    char name[4096];
    fdName(fd, name, sizeof name);
    counted(call, name);
}

// The mode argument, which open() takes only when it may create a file; such an open counts.
// (O_TMPFILE includes the bits of O_DIRECTORY.)
mode_t creationMode(const char* path, int flags, va_list args) {
    if ((flags & O_CREAT) == 0 && (flags & O_TMPFILE) != O_TMPFILE) return 0;
    counted("create", path);
    return static_cast<mode_t>(va_arg(args, int));
}

void countStdioCreation(const char* path, const char* mode) {
    if (strpbrk(mode, "wa+") != nullptr) counted("create", path);
}

}  // namespace

extern "C" {

ssize_t write(int fd, const void* buffer, size_t size) {
    countedFd("write", fd);
    return real<ssize_t (*)(int, const void*, size_t)>("write")(fd, buffer, size);
}

ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset) {
    countedFd("pwrite", fd);
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite")(fd, buffer, size, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset) {
    countedFd("pwrite", fd);
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, buffer, size, offset);
}

int ftruncate(int fd, off_t length) {
    countedFd("ftruncate", fd);
    return real<int (*)(int, off_t)>("ftruncate")(fd, length);
}

int ftruncate64(int fd, off_t length) {
    countedFd("ftruncate", fd);
    return real<int (*)(int, off_t)>("ftruncate64")(fd, length);
}

int fsync(int fd) {
    countedFd("fsync", fd);
    return real<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
    countedFd("fdatasync", fd);
    return real<int (*)(int)>("fdatasync")(fd);
}

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, size_t size, unsigned flags) {
    countedFd("copy_file_range", out);
    return real<ssize_t (*)(int, off_t*, int, off_t*, size_t, unsigned)>("copy_file_range")(in, inOffset, out,
                                                                                            outOffset, size, flags);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t size) {
    countedFd("sendfile", out);
    return real<ssize_t (*)(int, int, off_t*, size_t)>("sendfile")(out, in, offset, size);
}

ssize_t sendfile64(int out, int in, off_t* offset, size_t size) {
    countedFd("sendfile", out);
    return real<ssize_t (*)(int, int, off_t*, size_t)>("sendfile64")(out, in, offset, size);
}

int rename(const char* from, const char* to) {
    counted("rename", to);
    return real<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    counted("rename", to);
    return real<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    counted("rename", to);
    return real<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    counted("unlink", path);
    return real<int (*)(const char*)>("unlink")(path);
}

int unlinkat(int dir, const char* path, int flags) {
    counted("unlink", path);
    return real<int (*)(int, const char*, int)>("unlinkat")(dir, path, flags);
}

int remove(const char* path) {
    counted("unlink", path);
    return real<int (*)(const char*)>("remove")(path);
}

int mkdir(const char* path, mode_t mode) {
    counted("mkdir", path);
    return real<int (*)(const char*, mode_t)>("mkdir")(path, mode);
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = creationMode(path, flags, args);
    va_end(args);
    return real<int (*)(const char*, int, ...)>("open")(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = creationMode(path, flags, args);
    va_end(args);
    return real<int (*)(const char*, int, ...)>("open64")(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = creationMode(path, flags, args);
    va_end(args);
    return real<int (*)(int, const char*, int, ...)>("openat")(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = creationMode(path, flags, args);
    va_end(args);
    return real<int (*)(int, const char*, int, ...)>("openat64")(dir, path, flags, mode);
}

// The C library opens for stdio without going through open(); the log and the marker come this way.
FILE* fopen(const char* path, const char* mode) {
    countStdioCreation(path, mode);
    return real<FILE* (*)(const char*, const char*)>("fopen")(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    countStdioCreation(path, mode);
    return real<FILE* (*)(const char*, const char*)>("fopen64")(path, mode);
}

}  // extern "C"
