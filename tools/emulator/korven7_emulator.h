#pragma once
// A KORVEN7 keyboard as a state machine: bytes in from the host, timed bytes out.
// Time is in microseconds on whatever clock the caller uses (virtual in tests, the
// steady clock in korven7-sim). Replies leave at the line's pace: 10 bits per byte.
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace k7 {

struct EmulatorFaults {
    bool silent = false;              // answers nothing at all
    std::set<int> silentRows;         // read-back requests for these rows get no reply
    int noAckAtFrame = 0;             // the Nth ACK-expecting frame (1-based) gets no ACK; 0: off
    bool splitAck = false;            // "AC", a pause, then "K"
    bool textBeforeAck = false;       // "OK ACK" instead of "ACK"
    std::string versionText = "KORVEN7 V2.14\r\n";
    int readbackLength = 51;          // 50 or 52 garble the read-back reply
    std::optional<int> badScancode;   // read-back replies name this scancode instead
    int extraDelayMs = 0;             // every reply starts this much later
};

class Korven7Emulator {
public:
    explicit Korven7Emulator(int baud = 9600);

    void setBaud(int baud);
    EmulatorFaults& faults() { return faults_; }

    // Bytes from the host that have fully arrived at time nowUs.
    void receive(const std::string& bytes, std::int64_t nowUs);
    // Reply bytes that have fully reached the host by nowUs; removed from the queue.
    std::string take(std::int64_t nowUs);
    // When the next reply byte will have reached the host; nullopt when none is queued.
    std::optional<std::int64_t> nextByteTime() const;

    // The committed flash image.
    const std::array<std::uint8_t, 1024>& flash() const { return flash_; }
    void setFlash(const std::array<std::uint8_t, 1024>& image) { flash_ = image; }
    // The image of the default strings, as the device leaves the factory.
    static std::array<std::uint8_t, 1024> DefaultImage();

    // One line per frame received and per reply queued, for logs and tests.
    const std::vector<std::string>& log() const { return log_; }
    // Every frame received, raw.
    const std::vector<std::string>& frames() const { return frames_; }

private:
    struct Pending {
        std::int64_t due;  // when this byte has reached the host
        char byte;
    };
    EmulatorFaults faults_;
    int baud_;
    std::array<std::uint8_t, 1024> flash_{};
    std::array<std::uint8_t, 1024> staged_{};
    std::string input_;
    std::vector<Pending> output_;
    std::vector<std::string> log_;
    std::vector<std::string> frames_;
    int ackFrames_ = 0;
};

}  // namespace k7
