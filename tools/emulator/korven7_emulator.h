#pragma once
// A KORVEN7 keyboard as a state machine: bytes in from the host, timed bytes out.
// Time is in microseconds on whatever clock the caller uses (virtual in tests, the
// steady clock in korven7-sim). Replies leave at the line's pace: 10 bits per byte.
//
// What the device understands:
//   "/V"                                  version request, answered with the version text
//   "/" letter length payload checksum    command frames; length counts the whole frame,
//                                         checksum = sum of all bytes before it, mod 256
//     E  9  AA 55 AA 55 00        erase: flash and staging area become 0xFF
//     W  n+7  addrHi addrLo n data bytes (1..10) 00   stage bytes at addr (addr+n <= 1024)
//     F  6  00 00                 commit the 128-byte blocks staged since the last F
//     R  6  row 00                read back row (0..102) from the committed flash
// E, W and F are answered "ACK". A frame with a wrong length, checksum or fixed payload
// byte gets no answer. Bytes that cannot start a frame are skipped up to the next "/";
// a frame left incomplete for longer than kFrameGapUs is dropped when the next bytes come.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace k7 {

struct EmulatorFaults {
    bool silent = false;              // answers nothing at all (frames are heard, not acted on)
    std::set<int> silentRows;         // read-back requests for these rows get no reply
    int noAckAtFrame = 0;             // the Nth ACK-expecting frame (1-based) is lost; 0: off
    bool splitAck = false;            // "AC", a pause of kSplitAckGapUs, then "K"
    bool textBeforeAck = false;       // "OK ACK" instead of "ACK"
    std::string versionText = "KORVEN7 V2.14\r\n";
    int readbackLength = 51;          // 50 or 52 garble the read-back reply
    std::optional<int> badScancode;   // read-back replies name this scancode instead
    int extraDelayMs = 0;             // every reply starts this much later
};

class Korven7Emulator {
public:
    static constexpr int kImageSize = 1024;
    static constexpr int kBlockSize = 128;
    static constexpr std::int64_t kProcessingUs = 1000;      // before the first byte of a reply
    static constexpr std::int64_t kSplitAckGapUs = 20000;    // between "AC" and "K"
    static constexpr std::int64_t kFrameGapUs = 100000;      // an incomplete frame older than this is dropped
    static constexpr std::size_t kOutputLimit = 4096;        // bytes queued; further replies are dropped

    explicit Korven7Emulator(int baud = 9600);

    void setBaud(int baud);
    int baud() const { return baud_; }
    EmulatorFaults& faults() { return faults_; }

    // Bytes from the host that have fully arrived at time nowUs.
    void receive(const std::string& bytes, std::int64_t nowUs);
    // Reply bytes that have fully reached the host by nowUs; removed from the queue.
    std::string take(std::int64_t nowUs);
    // When the next reply byte will have reached the host; nullopt when none is queued.
    std::optional<std::int64_t> nextByteTime() const;
    // When a USB adapter would hand the next bytes to the host: it collects what the line
    // brings for up to `latencyUs` after the next byte and passes it on in one packet, so
    // this is when the last byte due within that time has arrived.
    std::optional<std::int64_t> nextPacketTime(std::int64_t latencyUs) const;

    // The committed flash image.
    const std::array<std::uint8_t, 1024>& flash() const { return flash_; }
    void setFlash(const std::array<std::uint8_t, 1024>& image);
    // The image of the default strings, as the device leaves the factory.
    static std::array<std::uint8_t, 1024> DefaultImage();
    // The 51-character read-back reply for a row (0..102) of an image.
    static std::string ReadbackReply(const std::array<std::uint8_t, 1024>& image, int row);

    // One line per frame received and per reply queued, for logs and tests.
    const std::vector<std::string>& log() const { return log_; }
    // Every complete frame received, raw, answered or not (bad checksums included;
    // skipped bytes are not frames).
    const std::vector<std::string>& frames() const { return frames_; }
    // Forgets log and frames (a long-running server keeps them short).
    void clearRecords() { log_.clear(); frames_.clear(); }

private:
    struct Pending {
        std::int64_t due;  // when this byte has reached the host
        char byte;
    };
    void handleFrame(const std::string& frame, std::int64_t nowUs);
    void ack(std::int64_t nowUs);
    void reply(const std::string& text, std::int64_t nowUs, std::int64_t gapAfterUs = 0,
               std::size_t splitAt = 0);
    std::int64_t byteTimeUs(int n) const;

    EmulatorFaults faults_;
    int baud_;
    std::array<std::uint8_t, 1024> flash_{};
    std::array<std::uint8_t, 1024> staged_{};
    std::uint8_t dirtyBlocks_ = 0;  // one bit per 128-byte block staged since the last flash
    std::string input_;
    std::int64_t lastInputUs_ = 0;
    std::deque<Pending> output_;
    std::int64_t lineFreeUs_ = 0;  // when the last queued byte has left
    std::vector<std::string> log_;
    std::vector<std::string> frames_;
    int ackFrames_ = 0;
};

// Renders bytes for a log: printable ASCII as is, every other byte as {HH}.
std::string EmulatorRender(const std::string& bytes);

}  // namespace k7
