// SPDX-License-Identifier: MIT
#include "ports/PortEnumerator.h"

#include "core/PortPaths.h"
#include "ports/PortEntry.h"
#include "ports/PortProbe.h"

#include <QDir>
#include <QFile>
#include <QSet>

#if defined(Q_OS_LINUX) && defined(TANDOR_HAVE_LIBUDEV)
#include <libudev.h>

#include <cstring>
#include <unistd.h>
#else
#include <QSerialPortInfo>
#endif

namespace {

#if defined(Q_OS_LINUX) && defined(TANDOR_HAVE_LIBUDEV)

QString Property(udev_device *device, const char *key)
{
    const char *value = udev_device_get_property_value(device, key);
    return value ? SystemText(QByteArray(value)) : QString();
}

TPortDescriptionSource DescriptionSource(udev_device *device, udev_device *parent)
{
    TPortDescriptionSource source;
    source.modelFromDatabase = Property(device, "ID_MODEL_FROM_DATABASE");
    source.vendorFromDatabase = Property(device, "ID_VENDOR_FROM_DATABASE");
    if (const char *encoded = udev_device_get_property_value(device, "ID_MODEL_ENC"))
        source.modelEncoded = DecodeUdevText(QByteArray(encoded));
    source.model = Property(device, "ID_MODEL");
    source.usbModel = Property(device, "ID_USB_MODEL");
    // The parent objects below belong to `device` and are freed with it.
    if (udev_device *usb =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        if (const char *product = udev_device_get_sysattr_value(usb, "product"))
            source.sysfsProduct = SystemText(QByteArray(product));
    }
    // Since Linux 6.5 a serial-core port sits between a UART and its tty, bound to the
    // generic drivers "port" and "ctrl"; the driver that names the hardware is above them.
    for (udev_device *up = parent; up; up = udev_device_get_parent(up)) {
        const char *subsystem = udev_device_get_subsystem(up);
        if (subsystem && std::strcmp(subsystem, "serial-base") == 0)
            continue;
        if (const char *driver = udev_device_get_driver(up)) {
            source.driver = SystemText(QByteArray(driver));
            break;
        }
    }
    return source;
}

std::vector<TPortCandidate> UdevCandidates()
{
    std::vector<TPortCandidate> result;
    udev *context = udev_new();
    if (!context)
        return result;
    udev_enumerate *enumerate = udev_enumerate_new(context);
    if (enumerate && udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 &&
        udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry *entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
        {
            const char *syspath = udev_list_entry_get_name(entry);
            // Most tty devices are virtual consoles and other devices without a parent
            // device; the "device" link tells them apart before any of them is read in.
            if (::access(QByteArray(syspath).append("/device").constData(), F_OK) != 0)
                continue;
            udev_device *device = udev_device_new_from_syspath(context, syspath);
            if (!device)
                continue;
            udev_device *parent = udev_device_get_parent(device);
            const char *node = udev_device_get_devnode(device);
            if (parent && udev_device_get_driver(parent) && node) {
                const QString devnode = QFile::decodeName(node);
                const QString prefix = QStringLiteral("/dev/");
                const QString name = devnode.mid(prefix.size());
                if (devnode.startsWith(prefix) && IsListablePortName(name))
                    result.push_back(
                        {name, devnode, PortDescription(DescriptionSource(device, parent))});
            }
            udev_device_unref(device);
        }
    }
    if (enumerate)
        udev_enumerate_unref(enumerate);
    udev_unref(context);
    return result;
}

#endif

} // namespace

std::vector<TPortCandidate> HardwarePortCandidates()
{
#if defined(Q_OS_LINUX) && defined(TANDOR_HAVE_LIBUDEV)
    return UdevCandidates();
#else
    std::vector<TPortCandidate> result;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString name = info.portName();
#if defined(Q_OS_WIN)
        // Printer ports and the like share the setup class; only COM ports are serial lines.
        if (!name.startsWith(QStringLiteral("COM")))
            continue;
        result.push_back({name, PortDevicePath(name), StripComReference(info.description())});
#else
        if (IsListablePortName(name))
            result.push_back(
                {name, info.systemLocation(), SystemText(info.description().toUtf8())});
#endif
    }
    return result;
#endif
}

std::vector<TPortCandidate> VirtualPortCandidates(const QString &folder)
{
    std::vector<TPortCandidate> result;
    if (folder.isEmpty())
        return result;
    // System: also links whose far end has gone, so that the probe, not the listing, decides.
    const QStringList names = QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (IsListablePortName(name))
            result.push_back(
                {name, folder + QLatin1Char('/') + name, QStringLiteral("Virtual serial port")});
    }
    return result;
}

std::vector<TPortCandidate> MergePortCandidates(std::vector<TPortCandidate> hardware,
                                                std::vector<TPortCandidate> virtualPorts)
{
    QSet<QString> virtualNames;
    for (const TPortCandidate &port : virtualPorts)
        virtualNames.insert(port.name);
    std::vector<TPortCandidate> result;
    result.reserve(hardware.size() + virtualPorts.size());
    for (TPortCandidate &port : hardware) {
        if (!virtualNames.contains(port.name))
            result.push_back(std::move(port));
    }
    for (TPortCandidate &port : virtualPorts)
        result.push_back(std::move(port));
    return result;
}

QStringList EnumerateSerialPorts()
{
#if defined(Q_OS_WIN)
    const std::vector<TPortCandidate> candidates = HardwarePortCandidates();
#else
    const std::vector<TPortCandidate> candidates =
        MergePortCandidates(HardwarePortCandidates(), VirtualPortCandidates(VirtualPortsFolder()));
#endif
    QStringList paths;
    for (const TPortCandidate &port : candidates)
        paths << port.devicePath;
    const std::vector<bool> free = ProbePorts(paths);
    QStringList entries;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (free[i])
            entries << PortEntryText(candidates[i].name, candidates[i].description);
    }
    return entries;
}
