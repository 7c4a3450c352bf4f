#include "platform/web/memory_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {

constexpr int kAccess = O_RDONLY | O_WRONLY | O_RDWR;

// The name a path is kept by: "/data/x" and "./data/x" are "data/x", as
// they are from the root, where the program runs.
const char* key(const char* path) {
    for (;;) {
        if (path[0] == '/') path += 1;
        else if (path[0] == '.' && path[1] == '/') path += 2;
        else return path;
    }
}

bool take32(const uint8_t*& at, const uint8_t* end, uint32_t& value) {
    if (end - at < 4) return false;
    value = at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
    at += 4;
    return true;
}

}  // namespace

std::vector<uint8_t>& MemoryFiles::File::writable() {
    if (!isWritten) written.assign(archived, archived + archivedSize);
    isWritten = true;
    return written;
}

MemoryFiles::File* MemoryFiles::named(const char* path) {
    const char* name = key(path);
    for (File& file : files_)
        if (!file.name.empty() && file.name == name) return &file;
    return nullptr;
}

MemoryFiles::File& MemoryFiles::create(const char* path) {
    for (File& file : files_) {
        if (file.name.empty() && !file.opened) {
            file = File();
            file.name = key(path);
            return file;
        }
    }
    files_.emplace_back();
    files_.back().name = key(path);
    return files_.back();
}

bool MemoryFiles::mount(const uint8_t* archive, size_t size, const std::string& prefix) {
    const uint8_t *at = archive, *end = archive + size, *first = nullptr;
    uint32_t count = 0;
    if (!take32(at, end, count)) return false;
    first = at;
    // Checked whole before a file is taken.
    for (int pass = 0; pass < 2; ++pass) {
        at = first;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t length = 0, bytes = 0;
            if (!take32(at, end, length) || length == 0 || static_cast<size_t>(end - at) < length ||
                std::memchr(at, 0, length))
                return false;
            const std::string path = prefix + std::string(reinterpret_cast<const char*>(at), length);
            at += length;
            if (!take32(at, end, bytes) || static_cast<size_t>(end - at) < bytes) return false;
            if (pass == 1) {
                File* file = named(path.c_str());
                if (!file) file = &create(path.c_str());
                file->archived = at;
                file->archivedSize = bytes;
                file->isWritten = false;
                file->written.clear();
            }
            at += bytes;
        }
        if (at != end) return false;
    }
    return true;
}

MemoryFiles::Open* MemoryFiles::find(int fd) {
    const size_t slot = static_cast<size_t>(fd - kFirstFile);
    if (fd < kFirstFile || slot >= open_.size() || open_[slot].file == kClosed) return nullptr;
    return &open_[slot];
}

int MemoryFiles::open(const char* path, int flags) {
    File* file = named(path);
    if (!file) {
        const char* name = key(path);
        if (!(flags & O_CREAT) || !*name || name[std::strlen(name) - 1] == '/') return -ENOENT;
        file = &create(path);
    } else if ((flags & O_CREAT) && (flags & O_EXCL)) {
        return -EEXIST;
    }
    if ((flags & O_TRUNC) && (flags & kAccess) != O_RDONLY) file->writable().clear();
    size_t slot = 0;
    while (slot < open_.size() && open_[slot].file != kClosed) ++slot;
    if (slot == open_.size()) open_.emplace_back();
    open_[slot] = {static_cast<size_t>(file - files_.data()), flags, 0};
    ++file->opened;
    return static_cast<int>(slot) + kFirstFile;
}

int MemoryFiles::close(int fd) {
    Open* open = find(fd);
    if (!open) return -EBADF;
    File& file = of(*open);
    if (--file.opened == 0 && file.name.empty()) file = File();
    open->file = kClosed;
    return 0;
}

long long MemoryFiles::read(int fd, uint8_t* to, size_t count) {
    Open* open = find(fd);
    if (!open || (open->flags & kAccess) == O_WRONLY) return -EBADF;
    const File& file = of(*open);
    if (open->at >= file.size()) return 0;
    const size_t got = count < file.size() - open->at ? count : file.size() - open->at;
    std::memcpy(to, file.data() + open->at, got);
    open->at += got;
    return static_cast<long long>(got);
}

long long MemoryFiles::write(int fd, const uint8_t* from, size_t count) {
    Open* open = find(fd);
    if (!open || (open->flags & kAccess) == O_RDONLY) return -EBADF;
    std::vector<uint8_t>& bytes = of(*open).writable();
    if (open->flags & O_APPEND) open->at = bytes.size();
    if (bytes.size() < open->at + count) bytes.resize(open->at + count);
    std::memcpy(bytes.data() + open->at, from, count);
    open->at += count;
    return static_cast<long long>(count);
}

long long MemoryFiles::seek(int fd, long long offset, int whence) {
    Open* open = find(fd);
    if (!open) return -EBADF;
    long long base = 0;
    if (whence == SEEK_CUR) base = static_cast<long long>(open->at);
    else if (whence == SEEK_END) base = static_cast<long long>(of(*open).size());
    else if (whence != SEEK_SET) return -EINVAL;
    if (offset < -base) return -EINVAL;
    open->at = static_cast<size_t>(base + offset);
    return base + offset;
}

int MemoryFiles::unlink(const char* path) {
    File* file = named(path);
    if (!file) return -ENOENT;
    file->name.clear();
    if (!file->opened) *file = File();
    return 0;
}

int MemoryFiles::flags(int fd) {
    Open* open = find(fd);
    return open ? open->flags & (kAccess | O_APPEND) : -EBADF;
}

int MemoryFiles::setAppend(int fd, bool append) {
    Open* open = find(fd);
    if (!open) return -EBADF;
    open->flags = append ? open->flags | O_APPEND : open->flags & ~O_APPEND;
    return 0;
}

const uint8_t* MemoryFiles::contents(const char* path, size_t& size) {
    static const uint8_t empty = 0;
    const File* file = named(path);
    if (!file) return nullptr;
    size = file->size();
    return size ? file->data() : &empty;
}

uint8_t* MemoryFiles::replace(const char* path, size_t size) {
    File* file = named(path);
    std::vector<uint8_t>& bytes = (file ? *file : create(path)).writable();
    bytes.assign(size + 1, 0);  // one more, so that an empty file has an address too
    bytes.resize(size);
    return bytes.data();
}
