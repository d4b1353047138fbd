// SPDX-License-Identifier: MIT
#include "ports/DeviceNotifier.h"

#include "core/PortPaths.h"
#include "ports/PortEntry.h"
#include "ports/PortProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPointer>
#include <QSocketNotifier>

#include <utility>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

#if defined(Q_OS_LINUX) && defined(TANDOR_HAVE_LIBUDEV)
#include <fcntl.h>
#include <libudev.h>
#include <unistd.h>
#endif

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <dbt.h>
#include <windows.h>
#endif

#if defined(Q_OS_LINUX) && defined(TANDOR_HAVE_LIBUDEV)

struct TDeviceNotifier::TMonitor
{
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};

void TDeviceNotifier::StartDeviceMonitor()
{
    auto m = std::make_unique<TMonitor>();
    m->context = udev_new();
    if (!m->context)
        return;
    // The udev daemon passes a notice on once the device node is ready, with its rules
    // applied. With no daemon (a minimal system) the kernel's own notices are the only ones;
    // inside a container neither kind arrives and the monitor just stays quiet.
    const char *source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    m->monitor = udev_monitor_new_from_netlink(m->context, source);
    if (!m->monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(m->monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m->monitor) < 0) {
        if (m->monitor)
            udev_monitor_unref(m->monitor);
        udev_unref(m->context);
        return;
    }
    const int fd = udev_monitor_get_fd(m->monitor);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    m->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m->notifier, &QSocketNotifier::activated, this, [this] { DeviceMonitorReady(); });
    FMonitor = std::move(m);
}

void TDeviceNotifier::StopDeviceMonitor()
{
    if (!FMonitor)
        return;
    delete FMonitor->notifier;
    udev_monitor_unref(FMonitor->monitor);
    udev_unref(FMonitor->context);
    FMonitor.reset();
}

void TDeviceNotifier::DeviceMonitorReady()
{
    // Everything waiting is taken, so the notifier does not fire again for old notices.
    while (FMonitor) {
        udev_device *device = udev_monitor_receive_device(FMonitor->monitor);
        if (!device)
            return;
        const char *action = udev_device_get_action(device);
        const char *node = udev_device_get_devnode(device);
        const QString path = node ? QFile::decodeName(node) : QString();
        const QByteArray what = action ? QByteArray(action) : QByteArray();
        udev_device_unref(device);
        if (path.isEmpty())
            continue;
        bool alive = true;
        if (what == "add")
            alive = Notify(TNotice::ntArrival, path);
        else if (what == "remove")
            alive = Notify(TNotice::ntRemoval, path);
        if (!alive)
            return;
    }
}

bool TDeviceNotifier::HasDeviceMonitor() const
{
    return FMonitor != nullptr;
}

#elif defined(Q_OS_WIN)

struct TDeviceNotifier::TMonitor
{
    HWND hRecipient = nullptr;
    HDEVNOTIFY FNotificationHandle = nullptr;

    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_DEVICECHANGE &&
            (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam) {
            const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
            if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
                return TRUE;
            const auto *record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(lParam);
            auto *self =
                reinterpret_cast<TDeviceNotifier *>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self) {
                const QString path = QString::fromWCharArray(record->dbcc_name);
                self->Notify(wParam == DBT_DEVICEARRIVAL ? TNotice::ntArrival : TNotice::ntRemoval,
                             path);
            }
            return TRUE;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
};

void TDeviceNotifier::StartDeviceMonitor()
{
    static const wchar_t kClassName[] = L"TandorDeviceNotifier";
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TMonitor::WndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassW(&windowClass); // fails harmlessly when a second notifier registers again

    auto m = std::make_unique<TMonitor>();
    // A message-only window: never shown, only receives. The GUI thread's event loop
    // dispatches its messages.
    m->hRecipient = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      instance, nullptr);
    if (!m->hRecipient)
        return;
    ::SetWindowLongPtrW(m->hRecipient, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    // The serial-port device interface class.
    static const GUID kSerialPortInterface = {
        0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kSerialPortInterface;
    // A failed registration leaves a notifier that never calls back.
    m->FNotificationHandle =
        ::RegisterDeviceNotificationW(m->hRecipient, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    FMonitor = std::move(m);
}

void TDeviceNotifier::StopDeviceMonitor()
{
    if (!FMonitor)
        return;
    if (FMonitor->FNotificationHandle)
        ::UnregisterDeviceNotification(FMonitor->FNotificationHandle);
    ::SetWindowLongPtrW(FMonitor->hRecipient, GWLP_USERDATA, 0);
    ::DestroyWindow(FMonitor->hRecipient);
    FMonitor.reset();
}

void TDeviceNotifier::DeviceMonitorReady() {}

bool TDeviceNotifier::HasDeviceMonitor() const
{
    return FMonitor && FMonitor->FNotificationHandle;
}

#else // no system device notices here; the virtual ports folder is still followed

struct TDeviceNotifier::TMonitor
{};

void TDeviceNotifier::StartDeviceMonitor() {}
void TDeviceNotifier::StopDeviceMonitor() {}
void TDeviceNotifier::DeviceMonitorReady() {}

bool TDeviceNotifier::HasDeviceMonitor() const
{
    return false;
}

#endif

TDeviceNotifier::TDeviceNotifier(QObject *parent) : QObject(parent)
{
    StartDeviceMonitor();
    StartFolderWatch();
}

TDeviceNotifier::~TDeviceNotifier()
{
    StopDeviceMonitor();
}

bool TDeviceNotifier::Notify(TNotice notice, const QString &deviceName)
{
    // A copy, so that a callback may replace itself; the guard sees the notifier destroyed
    // by its own callback.
    const TDeviceNotifyProc proc = notice == TNotice::ntArrival ? OnDeviceArrival : OnDeviceRemoval;
    if (!proc)
        return true;
    const QPointer<TDeviceNotifier> alive(this);
    try {
        proc(this, deviceName);
    } catch (...) {
        // Dropped: a device notice never reaches the user as an error.
    }
    return !alive.isNull();
}

void TDeviceNotifier::StartFolderWatch()
{
    FFolder = VirtualPortsFolder();
    if (FFolder.isEmpty())
        return;
    FFolderWatcher = new QFileSystemWatcher(this);
    connect(FFolderWatcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString &) { FolderChanged(); });
    ArmFolderWatch();
    FFolderEntries = ReadFolder();
}

void TDeviceNotifier::ArmFolderWatch()
{
    // A folder that does not exist cannot be watched, so it is made; publishers (tandor-sim,
    // the tests) make it as well and do not mind finding it there.
    if (!QFileInfo(FFolder).isDir())
        QDir().mkpath(FFolder);
    // The watcher drops a folder that was removed; a new folder of the same name is a new
    // one to watch.
    if (!FFolderWatcher->directories().contains(FFolder))
        FFolderWatcher->addPath(FFolder);
}

QMap<QString, QString> TDeviceNotifier::ReadFolder() const
{
    QMap<QString, QString> entries;
    const QStringList names = QDir(FFolder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (!IsListablePortName(name))
            continue;
        const QString path = FFolder + QLatin1Char('/') + name;
        // Only serial devices come and go: a plain file, a folder, a fifo or a link that
        // leads nowhere (or to anything else) in the folder is no port. A link whose device
        // went away leaves the set, and that is the device's removal.
        if (!IsSerialDeviceNode(path))
            continue;
        QString identity;
        const QFileInfo info(path);
        if (info.isSymLink()) {
            identity = QStringLiteral("link:") + info.symLinkTarget();
        } else {
#if defined(Q_OS_UNIX)
            struct stat st;
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0)
                identity = QStringLiteral("node:%1:%2").arg(st.st_ino).arg(st.st_rdev);
#endif
        }
        entries.insert(name, identity);
    }
    return entries;
}

void TDeviceNotifier::FolderChanged()
{
    ArmFolderWatch();
    const QMap<QString, QString> now = ReadFolder();
    const QMap<QString, QString> before = std::exchange(FFolderEntries, now);
    const QString folder = FFolder + QLatin1Char('/');
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto found = now.constFind(it.key());
        if (found == now.cend() || found.value() != it.value()) {
            if (!Notify(TNotice::ntRemoval, folder + it.key()))
                return;
        }
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const auto found = before.constFind(it.key());
        if (found == before.cend() || found.value() != it.value()) {
            if (!Notify(TNotice::ntArrival, folder + it.key()))
                return;
        }
    }
}
