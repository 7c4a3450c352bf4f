// The browser build's files: the game's data/, mounted from the archive the
// page downloads (vale.data), and what the run writes (data/fps.txt, the
// form's Config.cfg), all held in WebAssembly memory. web_files.cpp puts
// the C library's file calls on it; the logic is plain C++, so that the
// native unit tests try it as well.
//
// The archive, little-endian, written by tools/datapack:
//   u32 count
//   count times: u32 length, the path (length bytes, relative to data/, '/'
//                between folders), u32 size, the file (size bytes)
// and nothing after the last file. The archived bytes stay where the page
// put them: a file is copied out of the archive only when it is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class MemoryFiles {
public:
    // The descriptors 0 to 2 are the console's; files get 3 and up.
    static constexpr int kFirstFile = 3;

    // Puts the archive's files under prefix (data/); false, with nothing
    // mounted, when it is cut short, has bytes after its last file, or a
    // path that is empty or holds a NUL. The bytes must outlive the files.
    bool mount(const uint8_t* archive, size_t size, const std::string& prefix);

    // The calls below return what the C library's system calls return: a
    // count, an offset or a descriptor, or minus an errno value.
    // flags: O_RDONLY, O_WRONLY or O_RDWR, with O_CREAT, O_EXCL, O_TRUNC, O_APPEND.
    int open(const char* path, int flags);
    int close(int fd);
    long long read(int fd, uint8_t* to, size_t count);
    long long write(int fd, const uint8_t* from, size_t count);
    // whence: SEEK_SET, SEEK_CUR or SEEK_END; past the end is allowed (a
    // write there fills the gap with zeros), before the start is EINVAL.
    long long seek(int fd, long long offset, int whence);
    int unlink(const char* path);
    // The descriptor's access and O_APPEND (F_GETFL), and its O_APPEND changed (F_SETFL).
    int flags(int fd);
    int setAppend(int fd, bool append);

    // A whole file's bytes, null for none (size 0 for an empty file).
    const uint8_t* contents(const char* path, size_t& size);
    // The file made anew with size bytes (zeros), for the caller to fill.
    uint8_t* replace(const char* path, size_t size);

private:
    struct File {
        std::string name;                   // empty once removed
        const uint8_t* archived = nullptr;  // in the archive, until written
        size_t archivedSize = 0;
        std::vector<uint8_t> written;
        bool isWritten = false;
        int opened = 0;  // descriptors on it: a removed file is read on until the last is closed
        size_t size() const { return isWritten ? written.size() : archivedSize; }
        const uint8_t* data() const { return isWritten ? written.data() : archived; }
        std::vector<uint8_t>& writable();
    };
    struct Open {
        size_t file = kClosed;  // its index in files_
        int flags = 0;
        size_t at = 0;
    };
    static constexpr size_t kClosed = ~size_t{0};
    File* named(const char* path);
    File& create(const char* path);
    Open* find(int fd);
    File& of(const Open& open) { return files_[open.file]; }

    // A handful of files, looked for one by one (a removed one's place is
    // taken again by a new file once it is closed).
    std::vector<File> files_;
    std::vector<Open> open_;  // by descriptor, from kFirstFile
};
