#include "qt/qt_serial_port.h"

#include <unistd.h>

#include "platform/serial_port_error.h"
#include "qt/qt_text.h"

namespace k7::qt {
namespace {

// Why a port would not open, as a fact.
PortFailure OpenFailureOf(QSerialPort::SerialPortError error, const QString& device) {
    if (error == QSerialPort::DeviceNotFoundError) return PortFailure::Missing;
    if (error != QSerialPort::PermissionError) return PortFailure::Other;
    // QSerialPort opens a port exclusively: refused although this user may use the
    // device, it is held by another program.
    const QString path = device.startsWith('/') || device.startsWith('.') ? device : "/dev/" + device;
    return ::access(path.toLocal8Bit().constData(), R_OK | W_OK) == 0 ? PortFailure::Busy : PortFailure::NoPermission;
}

}  // namespace

QtSerialPort::QtSerialPort() {
    // Unlimited, QSerialPort sets aside 32 KB for every read from the line, and the
    // device answers a few bytes at a time; a bounded buffer reads in small pieces.
    // Bytes beyond it wait in the system's buffer until the program takes what it has.
    port_.setReadBufferSize(kReadBufferBytes);
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
        // The system's text for this is whatever its last call left behind, often
        // "Resource temporarily unavailable"; say what actually happened.
        if (error == QSerialPort::ResourceError && port_.isOpen()) {
            failure_ = QStringLiteral("The port was disconnected (device unplugged or line closed)");
            close();
        }
    });
}

void QtSerialPort::setPortName(const std::string& device) { port_.setPortName(PathToQ(device)); }

void QtSerialPort::setSettings(const LineSettings& s) {
    port_.setBaudRate(s.baud);
    switch (s.parity) {
        case 'E': port_.setParity(QSerialPort::EvenParity); break;
        case 'O': port_.setParity(QSerialPort::OddParity); break;
        case 'M': port_.setParity(QSerialPort::MarkParity); break;
        case 'S': port_.setParity(QSerialPort::SpaceParity); break;
        default: port_.setParity(QSerialPort::NoParity); break;
    }
    port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits));
    port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::open() {
    failure_.clear();
    setInputQuiet(false);
    if (port_.isOpen()) throw RuntimeError("Port already open");
    if (!port_.open(QIODevice::ReadWrite)) {
        const std::string reason = FromQ(port_.errorString());
        const PortFailure kind = OpenFailureOf(port_.error(), port_.portName());
        port_.clearError();
        const std::string said = reason + " (" + FromQ(port_.portName()) + ")";
        throw PortOpenError(kind, kind == PortFailure::Other ? said : said + " - " + portFailureText(kind));
    }
}

void QtSerialPort::close() {
    setInputQuiet(false);
    if (port_.isOpen()) port_.close();
}

void QtSerialPort::checkFailure() {
    if (!failure_.isEmpty()) {
        const std::string reason = FromQ(failure_);
        failure_.clear();
        throw RuntimeError(reason);
    }
    if (!port_.isOpen()) throw RuntimeError("Operation valid only when the port is open");
}

void QtSerialPort::output(const std::string& bytes) {
    checkFailure();
    if (port_.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        checkFailure();
        const std::string reason = FromQ(port_.errorString());
        close();
        throw RuntimeError(reason);
    }
    port_.flush();
    checkFailure();
}

std::string QtSerialPort::input() {
    checkFailure();
    // Bytes the line has delivered but the event loop has not yet fetched count as
    // received too: take them in now, without waiting. While quiet the read buffer is
    // too small for them, so it is widened for this read.
    if (quiet_) port_.setReadBufferSize(kReadBufferBytes);
    port_.waitForReadyRead(0);
    checkFailure();
    const QByteArray data = port_.readAll();
    if (quiet_) port_.setReadBufferSize(kQuietReadBufferBytes);
    return std::string(data.constData(), std::size_t(data.size()));
}

void QtSerialPort::setInputQuiet(bool quiet) {
    // An open QSerialPort reads whatever arrives as soon as it arrives, which wakes the
    // program for every few bytes; at 9600 baud a 51-byte reply is dozens of wake-ups.
    // A full read buffer stops it reading the line, so while quiet the buffer holds a
    // single byte: the first byte to arrive wakes the program once, the rest wait in
    // the system's buffer for input(). The normal size starts it reading again.
    quiet = quiet && port_.isOpen();
    if (quiet == quiet_) return;
    quiet_ = quiet;
    port_.setReadBufferSize(quiet_ ? kQuietReadBufferBytes : kReadBufferBytes);
}

}  // namespace k7::qt
