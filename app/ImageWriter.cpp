#include "app/ImageWriter.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace app {

namespace {

QString Cause(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Everything or the cause: a short write is retried, so what stops it is the error itself.
int WriteAll(int fd, const uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

QString WriteDirectly(const QByteArray &path, const uint8_t *data, size_t size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return Cause(errno);
    int error = WriteAll(fd, data, size);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error ? Cause(error) : QString();
}

QString WriteAtomically(const QByteArray &target, const struct stat *existing, const uint8_t *data,
                        size_t size)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray stem = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.' +
                            QByteArray::number(static_cast<qint64>(::getpid())) + '.';
    // Made with the mode a new file gets (the umask applies); an existing file's mode is kept.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = stem + QByteArray::number(attempt);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return Cause(errno);
    }
    if (fd < 0)
        return Cause(EEXIST);
    int error = existing && ::fchmod(fd, existing->st_mode & 07777) != 0 ? errno : 0;
    if (!error)
        error = WriteAll(fd, data, size);
    // A full disk may show only when the data reach it.
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        return Cause(error);
    }
    return {};
}

} // namespace

QString WriteImage(const QByteArray &path, const uint8_t *data, size_t size)
{
    if (path == "-") {
        const int error = WriteAll(STDOUT_FILENO, data, size);
        return error ? Cause(error) : QString();
    }
    QByteArray target = path;
    struct stat link;
    if (::lstat(path.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // The link stays; what it points at is written.
        char resolved[PATH_MAX];
        if (::realpath(path.constData(), resolved))
            target = resolved;
    }
    struct stat info;
    if (::stat(target.constData(), &info) != 0)
        return WriteAtomically(target, nullptr, data, size);
    if (S_ISREG(info.st_mode))
        return WriteAtomically(target, &info, data, size);
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        return WriteDirectly(target, data, size);
    if (S_ISDIR(info.st_mode))
        return Cause(EISDIR);
    return QStringLiteral("not a regular file, device or pipe");
}

} // namespace app
