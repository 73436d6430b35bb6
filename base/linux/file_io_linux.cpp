// The Linux half of a save: write, fsync and close a new file; fsync a folder; process ids.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_io.h"

namespace q350::file_io_platform {

namespace {

FileError FromErrno(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return FileError::NotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileError::AccessDenied;
        default:
            return FileError::Other;
    }
}

// Owner of a file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close reported an error (a late write failure).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace

bool WriteNewFileDurably(const std::filesystem::path& path, std::span<const std::uint8_t> data,
                         FileError* error) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        if (error) {
            *error = FromErrno(errno);
        }
        return false;
    }
    int failure = 0;  // errno of the step that failed
    for (std::size_t done = 0; failure == 0 && done < data.size();) {
        const ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            failure = n == 0 ? EIO : errno;
        }
    }
    if (failure == 0 && ::fsync(fd.get()) != 0) {
        failure = errno;
    }
    if (!fd.close() && failure == 0) {
        failure = errno;
    }
    if (failure != 0) {
        if (error) {
            *error = FromErrno(failure);
        }
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        ::fsync(fd.get());
    }
}

std::uint32_t CurrentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

bool ProcessIsRunning(std::uint32_t id) {
    return ::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH;
}

}  // namespace q350::file_io_platform
