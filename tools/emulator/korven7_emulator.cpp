#include "emulator/korven7_emulator.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace k7 {
namespace {

constexpr int kRows = 103;  // rows the read-back request can name
constexpr std::size_t kRenderLimit = 40;

// The one-byte string each key sends as the device leaves the factory, row by row
// (row = scancode - 4); 0 where a key sends nothing. Rows 96-102 send nothing.
constexpr std::array<std::uint8_t, 96> kFactoryStrings = {
    'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm',           // 04-10
    'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v', 'w', 'x', 'y', 'z',           // 11-1D
    '1', '2', '3', '4', '5', '6', '7', '8', '9', '0',                          // 1E-27
    0x0D, 0x1B, 0x08, 0x09, 0x20, '-', '=', '[', ']', '\\', 0x00, ';',         // 28-33
    '\'', '`', ',', '.', '/', 0x00,                                            // 34-39
    0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC,    // 3A-45 F1-F12
    0xFD, 0xFE, 0xFF, 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5,                      // 46-4E print screen .. page down
    0xDD, 0xDB, 0xDC, 0xDA, 0x00,                                              // 4F-53 arrows, num lock
    0xC6, 0xC7, 0xC8, 0xC9, 0xCA,                                              // 54-58 keypad / * - + enter
    0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xD0, 0xDE,          // 59-63 keypad 1-9 0 .
};

std::string Hex2(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

// Lengths a well-formed frame of each command may have.
bool LengthFits(char letter, int length) {
    switch (letter) {
    case 'E': return length == 9;
    case 'F': return length == 6;
    case 'R': return length == 6;
    case 'W': return length >= 8 && length <= 17;
    default: return false;
    }
}

// The constant payload bytes of a frame are where they belong.
bool PayloadFits(const std::string& f) {
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(f[i]); };
    switch (f[1]) {
    case 'E': return at(3) == 0xAA && at(4) == 0x55 && at(5) == 0xAA && at(6) == 0x55 && at(7) == 0;
    case 'F': return at(3) == 0 && at(4) == 0;
    case 'R': return at(4) == 0;
    case 'W': return at(f.size() - 2) == 0;
    default: return false;
    }
}

// What starts `rest`: a frame of that many bytes (> 0), not enough bytes yet to tell (0),
// or a byte that starts no frame (-1).
int FrameAt(std::string_view rest) {
    if (rest[0] != '/') return -1;
    if (rest.size() < 2) return 0;
    if (rest[1] == 'V') return 2;
    if (std::string_view("EWFR").find(rest[1]) == std::string_view::npos) return -1;
    if (rest.size() < 3) return 0;
    const int length = static_cast<std::uint8_t>(rest[2]);
    if (!LengthFits(rest[1], length)) return -1;
    return rest.size() < static_cast<std::size_t>(length) ? 0 : length;
}

}  // namespace

std::string EmulatorRender(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < kRenderLimit; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
        else out += "{" + Hex2(c) + "}";
    }
    if (bytes.size() > kRenderLimit) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

Korven7Emulator::Korven7Emulator(int baud) : baud_(baud > 0 ? baud : 9600) {
    setFlash(DefaultImage());
}

void Korven7Emulator::setBaud(int baud) {
    if (baud > 0) baud_ = baud;
}

void Korven7Emulator::setFlash(const std::array<std::uint8_t, 1024>& image) {
    flash_ = image;
    staged_ = image;
    dirtyBlocks_ = 0;
}

std::array<std::uint8_t, 1024> Korven7Emulator::DefaultImage() {
    std::array<std::uint8_t, 1024> image{};
    for (std::size_t row = 0; row < kFactoryStrings.size(); ++row) image[10 * row] = kFactoryStrings[row];
    return image;
}

std::string Korven7Emulator::ReadbackReply(const std::array<std::uint8_t, 1024>& image, int row) {
    std::string text = "SCAN: " + Hex2(row + 4) + " = ";
    bool ended = false;
    for (int k = 0; k < 10; ++k) {
        const std::size_t offset = 10 * row + k;
        const std::uint8_t byte = offset < image.size() ? image[offset] : 0;
        ended = ended || byte == 0;
        text += "{" + Hex2(ended ? 0 : byte) + "}";
    }
    return text;
}

void Korven7Emulator::receive(const std::string& bytes, std::int64_t nowUs) {
    if (!input_.empty() && nowUs - lastInputUs_ > kFrameGapUs) {
        log_.push_back("drop incomplete " + EmulatorRender(input_));
        input_.clear();
    }
    lastInputUs_ = nowUs;
    input_ += bytes;
    // Bytes that start no frame are skipped up to the next "/", and logged once per run.
    std::size_t at = 0, skipped = 0;
    auto logSkipped = [&] {
        if (skipped > 0)
            log_.push_back("skip " + EmulatorRender(input_.substr(at - skipped, skipped)) + ": no frame");
        skipped = 0;
    };
    while (at < input_.size()) {
        const std::string_view rest = std::string_view(input_).substr(at);
        const int length = FrameAt(rest);
        if (length == 0) break;
        if (length < 0) {
            const std::size_t n = rest[0] == '/' ? 1 : std::min(rest.find('/'), rest.size());
            skipped += n;
            at += n;
            continue;
        }
        logSkipped();
        handleFrame(std::string(rest.substr(0, length)), nowUs);
        at += length;
    }
    logSkipped();
    input_.erase(0, at);
}

void Korven7Emulator::handleFrame(const std::string& frame, std::int64_t nowUs) {
    frames_.push_back(frame);
    if (frame == "/V") {
        log_.push_back("recv /V");
        if (!faults_.silent) reply(faults_.versionText, nowUs);
        return;
    }
    const std::string seen = "recv " + EmulatorRender(frame);
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i) sum += static_cast<std::uint8_t>(frame[i]);
    if ((sum & 0xFFu) != static_cast<std::uint8_t>(frame.back())) {
        log_.push_back(seen + ": bad checksum, no reply");
        return;
    }
    if (!PayloadFits(frame)) {
        log_.push_back(seen + ": bad payload, no reply");
        return;
    }
    if (faults_.silent) {
        log_.push_back(seen + ": silent");
        return;
    }
    const char letter = frame[1];
    if (letter != 'R' && ++ackFrames_ == faults_.noAckAtFrame) {
        log_.push_back(seen + ": frame " + std::to_string(ackFrames_) + " lost");
        return;
    }
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(frame[i]); };
    switch (letter) {
    case 'E':
        flash_.fill(0xFF);
        staged_.fill(0xFF);
        dirtyBlocks_ = 0;
        log_.push_back(seen + ": erased");
        ack(nowUs);
        break;
    case 'W': {
        const int address = at(3) * 256 + at(4);
        const int n = static_cast<int>(frame.size()) - 7;
        if (address + n > kImageSize) {
            log_.push_back(seen + ": beyond the image, no reply");
            return;
        }
        std::copy(frame.begin() + 5, frame.begin() + 5 + n, staged_.begin() + address);
        for (int block = address / kBlockSize; block <= (address + n - 1) / kBlockSize; ++block)
            dirtyBlocks_ |= static_cast<std::uint8_t>(1u << block);
        log_.push_back(seen + ": staged " + std::to_string(n) + " at " + std::to_string(address));
        ack(nowUs);
        break;
    }
    case 'F': {
        std::string blocks;
        for (int block = 0; block < kImageSize / kBlockSize; ++block) {
            if (!(dirtyBlocks_ & (1u << block))) continue;
            std::copy_n(staged_.begin() + block * kBlockSize, kBlockSize, flash_.begin() + block * kBlockSize);
            blocks += " " + std::to_string(block);
        }
        dirtyBlocks_ = 0;
        log_.push_back(seen + ": flashed blocks" + (blocks.empty() ? " (none)" : blocks));
        ack(nowUs);
        break;
    }
    case 'R': {
        const int row = at(3);
        if (row >= kRows) {
            log_.push_back(seen + ": no such row");
            return;
        }
        if (faults_.silentRows.count(row)) {
            log_.push_back(seen + ": silent row");
            return;
        }
        std::string text = ReadbackReply(flash_, row);
        if (faults_.badScancode) text.replace(6, 2, Hex2(static_cast<unsigned>(*faults_.badScancode)));
        text.resize(static_cast<std::size_t>(std::max(0, faults_.readbackLength)), '\r');
        log_.push_back(seen);
        reply(text, nowUs);
        break;
    }
    }
}

void Korven7Emulator::ack(std::int64_t nowUs) {
    const std::string text = faults_.textBeforeAck ? "OK ACK" : "ACK";
    if (faults_.splitAck) reply(text, nowUs, kSplitAckGapUs, text.size() - 1);
    else reply(text, nowUs);
}

std::int64_t Korven7Emulator::byteTimeUs(int n) const {
    return static_cast<std::int64_t>(n) * 10'000'000 / baud_;
}

void Korven7Emulator::reply(const std::string& text, std::int64_t nowUs, std::int64_t gapAfterUs,
                            std::size_t splitAt) {
    if (output_.size() + text.size() > kOutputLimit) {
        log_.push_back("drop reply " + EmulatorRender(text) + ": output full");
        return;
    }
    std::int64_t start = std::max<std::int64_t>(nowUs + kProcessingUs + faults_.extraDelayMs * std::int64_t{1000}, lineFreeUs_);
    int n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (splitAt != 0 && i == splitAt) {
            start = start + byteTimeUs(n) + gapAfterUs;
            n = 0;
        }
        output_.push_back({start + byteTimeUs(++n), text[i]});
    }
    if (!text.empty()) lineFreeUs_ = output_.back().due;
    log_.push_back("send " + EmulatorRender(text));
}

std::string Korven7Emulator::take(std::int64_t nowUs) {
    std::string out;
    while (!output_.empty() && output_.front().due <= nowUs) {
        out += output_.front().byte;
        output_.pop_front();
    }
    return out;
}

std::optional<std::int64_t> Korven7Emulator::nextByteTime() const {
    if (output_.empty()) return std::nullopt;
    return output_.front().due;
}

std::optional<std::int64_t> Korven7Emulator::nextPacketTime(std::int64_t latencyUs) const {
    if (output_.empty()) return std::nullopt;
    const std::int64_t until = output_.front().due + latencyUs;
    std::int64_t last = output_.front().due;
    for (const Pending& p : output_) {
        if (p.due > until) break;
        last = p.due;
    }
    return last;
}

}  // namespace k7
