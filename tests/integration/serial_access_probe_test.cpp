// What the Qt serial port finds out about a device it could not open.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/qt_serial_port.hpp"

namespace qelto {
namespace {

TEST(ProbeSerialDeviceAccess, ReadsTheOwningGroupAndItsPermissions) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("tty");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup | QFileDevice::WriteGroup));
    SerialDeviceAccess access = ProbeSerialDeviceAccess(path.toStdString());
    EXPECT_EQ(access.device, path.toStdString());
    EXPECT_TRUE(access.exists);
    EXPECT_FALSE(access.permissionDenied);  // its owner may
    EXPECT_FALSE(access.group.empty());
    EXPECT_TRUE(access.groupMayReadWrite);

    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadGroup));
    EXPECT_FALSE(ProbeSerialDeviceAccess(path.toStdString()).groupMayReadWrite);

    EXPECT_FALSE(ProbeSerialDeviceAccess(dir.filePath("gone").toStdString()).exists);
}

TEST(QtSerialPort, AMissingDeviceIsNotFoundAndSaysNothingAboutAccess) {
    QtSerialPort serial;
    const int port = 199;  // /dev/ttyUSB98
    EXPECT_EQ(serial.OpenComConfig(port, 115200), kRs232NoSerialPortFound);
    EXPECT_FALSE(serial.OpenFailureAccess(port).exists);
}

}  // namespace
}  // namespace qelto
