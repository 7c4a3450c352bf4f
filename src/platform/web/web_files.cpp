// The browser build's file system: the C library's file calls (the system
// calls Emscripten's C library makes for stdio) answered from MemoryFiles,
// so that the game's fopen, fread, fseek and fprintf reach the data/ the
// page mounted and no file system is linked in JavaScript. Descriptors 1
// and 2 are the console's (printf goes to the page's console.log, stderr
// to console.warn, a line at a time); descriptor 0 reads nothing.
//
// The page's side: the archive copied in once (vale_files_archive, then
// vale_files_mount) and whole files read, written and removed by name.
#include <emscripten.h>
#include <wasi/api.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>

#include "platform/web/memory_files.h"

extern "C" void vale_web_print(int fd, const char* text, size_t length);

namespace {

// Never destroyed: the page reads the run's files (fps.txt) after the
// program has ended and its static objects are gone.
MemoryFiles& files = *new MemoryFiles;
uint8_t* archive = nullptr;
size_t archiveSize = 0;

bool console(__wasi_fd_t fd) { return fd < MemoryFiles::kFirstFile; }

// The wasi calls' result, an errno value, of a system call's.
__wasi_errno_t wasi(long long result) { return result < 0 ? static_cast<__wasi_errno_t>(-result) : 0; }

}  // namespace

extern "C" {

long __syscall_open(long path, long flags, ...) { return files.open(reinterpret_cast<const char*>(path), flags); }

// Descriptors 1 and 2 are terminals, so that the C library writes them a line at a time.
long __syscall_ioctl(long fd, long request, ...) {
    return (fd == 1 || fd == 2) && request == TIOCGWINSZ ? 0 : -ENOTTY;
}

// What fdopen asks: the flags, and O_APPEND set for a file opened to append.
long __syscall_fcntl64(long fd, long command, ...) {
    if (console(fd)) return command == F_GETFL ? O_RDWR : 0;
    if (command == F_GETFL) return files.flags(fd);
    if (command != F_SETFL) return -EINVAL;
    va_list arguments;
    va_start(arguments, command);
    const int flags = va_arg(arguments, int);
    va_end(arguments);
    return files.setAppend(fd, flags & O_APPEND);
}

__wasi_errno_t __wasi_fd_write(__wasi_fd_t fd, const __wasi_ciovec_t* iovs, size_t count, __wasi_size_t* written) {
    *written = 0;
    for (size_t i = 0; i < count; ++i) {
        long long wrote = static_cast<long long>(iovs[i].buf_len);
        if (fd == 1 || fd == 2) vale_web_print(static_cast<int>(fd), reinterpret_cast<const char*>(iovs[i].buf), iovs[i].buf_len);
        else if (console(fd)) wrote = -EBADF;
        else wrote = files.write(static_cast<int>(fd), iovs[i].buf, iovs[i].buf_len);
        if (wrote < 0) return wasi(wrote);
        *written += static_cast<__wasi_size_t>(wrote);
    }
    return 0;
}

__wasi_errno_t __wasi_fd_read(__wasi_fd_t fd, const __wasi_iovec_t* iovs, size_t count, __wasi_size_t* read) {
    *read = 0;
    if (console(fd)) return 0;  // no input
    for (size_t i = 0; i < count; ++i) {
        const long long got = files.read(static_cast<int>(fd), iovs[i].buf, iovs[i].buf_len);
        if (got < 0) return wasi(got);
        *read += static_cast<__wasi_size_t>(got);
        if (static_cast<size_t>(got) < iovs[i].buf_len) break;
    }
    return 0;
}

__wasi_errno_t __wasi_fd_seek(__wasi_fd_t fd, __wasi_filedelta_t offset, __wasi_whence_t whence,
                              __wasi_filesize_t* position) {
    if (console(fd)) return ESPIPE;
    const long long at = files.seek(static_cast<int>(fd), offset, whence);
    if (at >= 0) *position = static_cast<__wasi_filesize_t>(at);
    return wasi(at);
}

__wasi_errno_t __wasi_fd_close(__wasi_fd_t fd) { return console(fd) ? 0 : wasi(files.close(static_cast<int>(fd))); }

// Room for the page's copy of the archive, of size bytes; then it is mounted
// as data/ (1), or found damaged (0) and freed.
EMSCRIPTEN_KEEPALIVE uint8_t* vale_files_archive(size_t size) {
    archive = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    archiveSize = size;
    return archive;
}

EMSCRIPTEN_KEEPALIVE int vale_files_mount() {
    if (archive && files.mount(archive, archiveSize, "data/")) return 1;
    std::free(archive);
    archive = nullptr;
    return 0;
}

// A whole file: its bytes' address and its size, or null for none.
EMSCRIPTEN_KEEPALIVE const uint32_t* vale_files_find(const char* path) {
    static uint32_t found[2];
    size_t size = 0;
    const uint8_t* bytes = files.contents(path, size);
    if (!bytes) return nullptr;
    found[0] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bytes));
    found[1] = static_cast<uint32_t>(size);
    return found;
}

// The file made anew, size bytes, for the page to fill.
EMSCRIPTEN_KEEPALIVE uint8_t* vale_files_replace(const char* path, size_t size) { return files.replace(path, size); }

EMSCRIPTEN_KEEPALIVE int vale_files_remove(const char* path) { return files.unlink(path) == 0; }

}  // extern "C"
