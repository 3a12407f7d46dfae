// A file system whose calls on one file can be held for as long as a test
// likes, as a network file system's are when its server stops answering:
// the open of open.bin and the lookup of any name that starts with getattr
// wait while held. Its folder lists one more file, whose name is not UTF-8:
// getattr\xC4.bin. It prints "ready" once mounted and "held <call>" when a
// call starts waiting; the lines "hold" and "release" on its input set
// whether calls wait, and it answers "holding" once a hold is in force. It
// starts held. A call is let go after the given seconds anyway, so that a
// test process caught in one can end; at the end of its input it unmounts
// and ends.
//   hung_fs MOUNT_POINT SECONDS
#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

const char contents[] = "behind a hung call\n";

std::mutex mutex;
std::condition_variable released;
bool held = true;
std::chrono::seconds letGoAfter;

void waitWhileHeld(const char *call)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (held) {
        std::printf("held %s\n", call);
        std::fflush(stdout);
    }
    released.wait_for(lock, letGoAfter, [] { return !held; });
}

bool isFile(const char *path)
{
    return std::strcmp(path, "/open.bin") == 0 || std::strcmp(path, "/getattr.bin") == 0
        || std::strcmp(path, "/getattr\xC4.bin") == 0;
}

void *init(fuse_conn_info *, fuse_config *config)
{
    // Every call reaches the file system: nothing is answered from a cache.
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    std::thread([] {
        std::string line;
        while (std::getline(std::cin, line)) {
            const std::lock_guard<std::mutex> lock(mutex);
            held = line == "hold";
            if (held) {
                std::printf("holding\n");
                std::fflush(stdout);
            }
            released.notify_all();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex);
            held = false;
            released.notify_all();
        }
        // To the process, as from a terminal's Ctrl+C: libfuse's handler, on
        // the one thread that takes signals, unmounts.
        ::kill(::getpid(), SIGINT);
    }).detach();
    std::printf("ready\n");
    std::fflush(stdout);
    return nullptr;
}

int getattr(const char *path, struct stat *status, fuse_file_info *)
{
    std::memset(status, 0, sizeof *status);
    if (std::strcmp(path, "/") == 0) {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
        return 0;
    }
    if (std::strncmp(path, "/getattr", 8) == 0)
        waitWhileHeld("getattr");
    if (!isFile(path))
        return -ENOENT;
    status->st_mode = S_IFREG | 0644;
    status->st_nlink = 1;
    status->st_size = sizeof contents - 1;
    return 0;
}

int open(const char *path, fuse_file_info *)
{
    if (!isFile(path))
        return -ENOENT;
    if (std::strcmp(path, "/open.bin") == 0)
        waitWhileHeld("open");
    return 0;
}

int readdir(const char *, void *entries, fuse_fill_dir_t fill, off_t, fuse_file_info *, fuse_readdir_flags)
{
    for (const char *name : {".", "..", "open.bin", "getattr.bin", "getattr\xC4.bin"})
        fill(entries, name, nullptr, 0, fuse_fill_dir_flags());
    return 0;
}

int read(const char *, char *buffer, size_t size, off_t offset, fuse_file_info *)
{
    const size_t length = sizeof contents - 1;
    if (offset >= off_t(length))
        return 0;
    const size_t count = std::min(size, length - size_t(offset));
    std::memcpy(buffer, contents + offset, count);
    return int(count);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: hung_fs MOUNT_POINT SECONDS\n");
        return 2;
    }
    letGoAfter = std::chrono::seconds(std::atoi(argv[2]));
    fuse_operations operations = {};
    operations.init = init;
    operations.getattr = getattr;
    operations.open = open;
    operations.read = read;
    operations.readdir = readdir;
    // A few threads answer calls, so that one held does not hold the rest.
    char foreground[] = "-f";
    char options[] = "-omax_threads=4";
    char *arguments[] = {argv[0], foreground, options, argv[1], nullptr};
    return fuse_main(4, arguments, &operations, nullptr);
}
