#pragma once
#include <QSerialPort>

#include "platform/serial_port.h"

namespace k7::qt {

// The serial port on QSerialPort. A port that goes away mid-operation (a pulled
// adapter, a stopped emulator) is closed and reported on the next read or write.
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    void setPortName(const std::string& device) override;
    void setSettings(const LineSettings& s) override;
    bool isOpen() const override { return port_.isOpen(); }
    void open() override;
    void close() override;
    void output(const std::string& bytes) override;
    std::string input() override;
    void setInputQuiet(bool quiet) override;
private:
    static constexpr qint64 kReadBufferBytes = 4096;
    static constexpr qint64 kQuietReadBufferBytes = 1;
    void apply();
    void checkFailure();
    QSerialPort port_;
    QString failure_;
    bool quiet_ = false;
};

}  // namespace k7::qt
