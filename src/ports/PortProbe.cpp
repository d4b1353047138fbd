// SPDX-License-Identifier: MIT
#include "ports/PortProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>
#endif

#if defined(Q_OS_LINUX)
#include <dirent.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#endif

QString SerialLockFileName(const QString &devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QStringLiteral("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

QStringList SerialLockFolders()
{
    return {QStringLiteral("/var/lock"),
            QStringLiteral("/etc/locks"),
            QStringLiteral("/var/spool/locks"),
            QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),
            QStringLiteral("/var/tmp")};
}

#if defined(Q_OS_WIN)

bool HeldByLockFile(const QString &)
{
    return false;
}

std::vector<bool> ProbePorts(const QStringList &devicePaths)
{
    std::vector<bool> result;
    result.reserve(size_t(devicePaths.size()));
    for (const QString &path : devicePaths) {
        const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
        const HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const bool free = handle != INVALID_HANDLE_VALUE;
        if (free)
            ::CloseHandle(handle);
        result.push_back(free);
    }
    return result;
}

bool PortHeld(const QString &)
{
    // The open itself is exclusive there.
    return false;
}

bool IsSerialDeviceNode(const QString &path)
{
    return QFileInfo::exists(path);
}

#else // Unix

namespace {

// The first line of a lock file holds the owner's process id: as text in Qt's and the
// common ASCII format ("      1234\n").
qint64 LockOwner(const QString &lockPath)
{
    QFile file(lockPath);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

bool ProcessAlive(qint64 pid)
{
    if (pid == qint64(::getpid()))
        return true;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

bool HeldByLockFile(const QString &devicePath)
{
    const QString name = SerialLockFileName(devicePath);
    for (const QString &folder : SerialLockFolders()) {
        const qint64 pid = LockOwner(folder + QLatin1Char('/') + name);
        if (pid > 0 && ProcessAlive(pid))
            return true;
    }
    return false;
}

namespace {

#if defined(Q_OS_LINUX)

// Unix98 pseudo-terminal slaves: majors 136 to 143, index = (major - 136) * 256 + minor.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;
constexpr unsigned kPtmxMajor = 5;
constexpr unsigned kPtmxMinor = 2;
constexpr long kDevptsMagic = 0x1cd1;

bool IsPtySlave(dev_t rdev)
{
    return major(rdev) >= kPtySlaveMajorFirst && major(rdev) <= kPtySlaveMajorLast;
}

long PtyIndex(dev_t rdev)
{
    return long(major(rdev) - kPtySlaveMajorFirst) * 256 + long(minor(rdev));
}

// A device is told apart by its number; pseudo-terminal numbers repeat in every devpts
// instance (one per container), so for them the file system the node lives on counts too.
using TDeviceKey = std::pair<dev_t, dev_t>;

TDeviceKey KeyOf(const struct stat &st)
{
    return {IsPtySlave(st.st_rdev) ? st.st_dev : dev_t(0), st.st_rdev};
}

// The pseudo-terminal index of a ptmx descriptor, from its fdinfo ("tty-index:\tN"); -1 when
// the kernel does not say.
long MasterIndex(int procFd, const char *pid, const char *fd)
{
    char name[2 * sizeof(dirent::d_name) + 16];
    std::snprintf(name, sizeof name, "%s/fdinfo/%s", pid, fd);
    const int info = ::openat(procFd, name, O_RDONLY | O_CLOEXEC);
    if (info < 0)
        return -1;
    char buf[512];
    const ssize_t n = ::read(info, buf, sizeof buf - 1);
    ::close(info);
    if (n <= 0)
        return -1;
    buf[n] = '\0';
    const char *at = std::strstr(buf, "tty-index:");
    if (!at)
        return -1;
    return std::strtol(at + 10, nullptr, 10);
}

bool AllDigits(const char *text)
{
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9')
            return false;
    }
    return true;
}

// The devices of `wanted` that some process has open. What a process cannot show us (another
// user's, when we are not root) is not seen; TIOCEXCL and the lock files cover those holders.
std::set<TDeviceKey> DevicesHeldOpen(const std::set<TDeviceKey> &wanted)
{
    std::set<TDeviceKey> held;
    if (wanted.empty())
        return held;
    const int procFd = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd < 0)
        return held;
    DIR *proc = ::fdopendir(::dup(procFd));
    if (!proc) {
        ::close(procFd);
        return held;
    }
    const pid_t self = ::getpid();
    while (const dirent *process = ::readdir(proc)) {
        if (!AllDigits(process->d_name))
            continue;
        char fdFolder[sizeof(dirent::d_name) + 8];
        std::snprintf(fdFolder, sizeof fdFolder, "%s/fd", process->d_name);
        const int fdDirFd = ::openat(procFd, fdFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdDirFd < 0)
            continue; // gone meanwhile, or not ours to look at
        DIR *fds = ::fdopendir(fdDirFd);
        if (!fds) {
            ::close(fdDirFd);
            continue;
        }
        const bool isSelf = std::strtol(process->d_name, nullptr, 10) == long(self);
        std::set<TDeviceKey> slaves; // wanted devices this process has open
        std::set<long> masters;      // pseudo-terminal indices whose master it holds
        while (const dirent *fd = ::readdir(fds)) {
            if (!AllDigits(fd->d_name))
                continue;
            struct stat st;
            if (::fstatat(fdDirFd, fd->d_name, &st, 0) != 0 || !S_ISCHR(st.st_mode))
                continue;
            if (major(st.st_rdev) == kPtmxMajor && minor(st.st_rdev) == kPtmxMinor) {
                if (!isSelf)
                    masters.insert(MasterIndex(procFd, process->d_name, fd->d_name));
                continue;
            }
            const TDeviceKey key = KeyOf(st);
            if (wanted.count(key))
                slaves.insert(key);
        }
        ::closedir(fds);
        for (const TDeviceKey &key : slaves) {
            if (IsPtySlave(key.second) && masters.count(PtyIndex(key.second)))
                continue; // the far end of its own line
            held.insert(key);
        }
    }
    ::closedir(proc);
    ::close(procFd);
    return held;
}

// Only terminal devices are opened: opening some other character devices has effects of its
// own (a watchdog starts counting, a tape rewinds on close). A device with a sysfs entry must
// belong to the tty class; pseudo-terminal slaves have none but live on devpts.
bool IsTerminalDevice(const QString &path, const struct stat &st)
{
    // /dev/tty, /dev/console and /dev/ptmx are tty devices but no lines of their own: the
    // first two lead to some other terminal, the last makes a new pseudo-terminal.
    if (major(st.st_rdev) == kPtmxMajor && minor(st.st_rdev) <= kPtmxMinor)
        return false;
    char sysPath[96];
    std::snprintf(sysPath, sizeof sysPath, "/sys/dev/char/%u:%u/subsystem", major(st.st_rdev),
                  minor(st.st_rdev));
    char target[256];
    const ssize_t n = ::readlink(sysPath, target, sizeof target - 1);
    if (n > 0) {
        target[n] = '\0';
        const char *slash = std::strrchr(target, '/');
        return std::strcmp(slash ? slash + 1 : target, "tty") == 0;
    }
    struct statfs fs;
    return IsPtySlave(st.st_rdev) && ::statfs(QFile::encodeName(path).constData(), &fs) == 0 &&
           fs.f_type == kDevptsMagic;
}

#else // other Unix systems

using TDeviceKey = std::pair<dev_t, dev_t>;

TDeviceKey KeyOf(const struct stat &st)
{
    return {dev_t(0), st.st_rdev};
}

std::set<TDeviceKey> DevicesHeldOpen(const std::set<TDeviceKey> &)
{
    return {};
}

bool IsTerminalDevice(const QString &, const struct stat &)
{
    return true;
}

#endif

// Opens the device without becoming its controlling process and without waiting for carrier,
// looks at it, and closes it again.
bool OpensAsSerialPort(const QString &path, const struct stat &expected)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // EBUSY (TIOCEXCL), EACCES, ENXIO, EIO: not usable
    bool usable = ::isatty(fd) == 1;
    struct stat st;
    // The entry may have been replaced between the look-up and the open.
    if (usable && (::fstat(fd, &st) != 0 || st.st_rdev != expected.st_rdev))
        usable = false;
#if defined(Q_OS_LINUX)
    serial_struct serial{};
    if (usable && ::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN)
        usable = false; // a ttyS* slot with no UART behind it
#endif
    ::close(fd);
    return usable;
}

} // namespace

namespace {

struct TCandidate
{
    bool present = false; // a terminal device (links followed)
    bool held = false;    // by another process's descriptor or a live lock file owner
    struct stat st;
};

std::vector<TCandidate> LookAtPorts(const QStringList &devicePaths)
{
    std::vector<TCandidate> candidates(size_t(devicePaths.size()));
    std::set<TDeviceKey> wanted;
    for (qsizetype i = 0; i < devicePaths.size(); ++i) {
        TCandidate &c = candidates[size_t(i)];
        const QByteArray path = QFile::encodeName(devicePaths[i]);
        c.present = ::stat(path.constData(), &c.st) == 0 && S_ISCHR(c.st.st_mode) &&
                    IsTerminalDevice(devicePaths[i], c.st);
        if (c.present)
            wanted.insert(KeyOf(c.st));
    }
    const std::set<TDeviceKey> held = DevicesHeldOpen(wanted);
    for (qsizetype i = 0; i < devicePaths.size(); ++i) {
        TCandidate &c = candidates[size_t(i)];
        const QString &path = devicePaths[i];
        c.held = (c.present && held.count(KeyOf(c.st))) || HeldByLockFile(path);
        if (!c.held) {
            const QString target = QFileInfo(path).canonicalFilePath();
            c.held = !target.isEmpty() && target != path && HeldByLockFile(target);
        }
    }
    return candidates;
}

} // namespace

std::vector<bool> ProbePorts(const QStringList &devicePaths)
{
    const std::vector<TCandidate> candidates = LookAtPorts(devicePaths);
    std::vector<bool> result;
    result.reserve(candidates.size());
    for (qsizetype i = 0; i < devicePaths.size(); ++i) {
        const TCandidate &c = candidates[size_t(i)];
        result.push_back(c.present && !c.held && OpensAsSerialPort(devicePaths[i], c.st));
    }
    return result;
}

bool PortHeld(const QString &devicePath)
{
    return LookAtPorts({devicePath}).at(0).held;
}

bool IsSerialDeviceNode(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode) &&
           IsTerminalDevice(path, st);
}

#endif
