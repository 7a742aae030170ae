// The KORVEN7 emulator on virtual time: frames in, paced replies out.
#include <gtest/gtest.h>

#include <random>

#include "emulator/host.h"

namespace k7::test {
namespace {

using Image = std::array<std::uint8_t, 1024>;

std::string ReplyOf(const Image& image, int row) { return Korven7Emulator::ReadbackReply(image, row); }

TEST(Emulator, AnswersTheVersionRequest) {
    Host host;
    EXPECT_EQ(host.exchange("/V"), kVersion);
    EXPECT_EQ(host.device.frames(), std::vector<std::string>{"/V"});
}

TEST(Emulator, DefaultImageHoldsEachKeysDefaultString) {
    const Image image = Korven7Emulator::DefaultImage();
    EXPECT_EQ(image[0], 'a');                  // row 0, the A key
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(image[10 * 26], '1');            // row 26, the 1 key
    EXPECT_EQ(image[1020], 0);                 // slot 102 is empty and cut to 4 bytes
    Host host;
    EXPECT_EQ(host.exchange(Read(0)), "SCAN: 04 = {61}{00}{00}{00}{00}{00}{00}{00}{00}{00}");
    EXPECT_EQ(host.exchange(Read(95)).substr(0, 8), "SCAN: 63");
}

TEST(Emulator, EraseWriteFlashRoundTripLandsInFlashAndReadBack) {
    Image image;
    for (int i = 0; i < 1024; ++i) image[i] = static_cast<std::uint8_t>(0x20 + i % 90);
    image[10 * 3 + 4] = 0;                     // row 3 ends after four characters
    Host host;
    EXPECT_EQ(host.exchange(kErase), "ACK");
    Image erased;
    erased.fill(0xFF);
    EXPECT_EQ(host.device.flash(), erased);
    EXPECT_EQ(host.exchange(Read(0)), "SCAN: 04 = {FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}{FF}");
    // Frames of up to 10 bytes that never cross a block end, one flash per block.
    for (int block = 0; block < 8; ++block) {
        for (int a = block * 128; a < block * 128 + 128;) {
            const int n = std::min({10 - a % 10, block * 128 + 128 - a});
            ASSERT_EQ(host.exchange(Write(a, std::string(image.begin() + a, image.begin() + a + n))), "ACK");
            a += n;
        }
        ASSERT_EQ(host.exchange(kFlash), "ACK");
    }
    EXPECT_EQ(host.device.flash(), image);
    EXPECT_EQ(host.exchange(Read(3)), "SCAN: 07 = {3E}{3F}{40}{41}{00}{00}{00}{00}{00}{00}");
    EXPECT_EQ(host.exchange(Read(3)), ReplyOf(image, 3));
    // Ten characters fill the slot; row 102 has only four bytes.
    EXPECT_EQ(host.exchange(Read(5)), "SCAN: 09 = {52}{53}{54}{55}{56}{57}{58}{59}{5A}{5B}");
    EXPECT_EQ(host.exchange(Read(102)), "SCAN: 6A = {3E}{3F}{40}{41}{00}{00}{00}{00}{00}{00}");
}

TEST(Emulator, FlashCommitsOnlyTheBlocksStagedSinceTheLastFlash) {
    const Image defaults = Korven7Emulator::DefaultImage();
    Host host;
    ASSERT_EQ(host.exchange(Write(0, "xyz")), "ACK");
    ASSERT_EQ(host.exchange(Write(254, "PQRS")), "ACK");  // straddles blocks 1 and 2
    EXPECT_EQ(host.device.flash(), defaults) << "staged bytes are not flash yet";
    EXPECT_EQ(host.exchange(Read(0)), ReplyOf(defaults, 0));
    ASSERT_EQ(host.exchange(kFlash), "ACK");
    Image expected = defaults;
    for (int i = 0; i < 3; ++i) expected[i] = static_cast<std::uint8_t>("xyz"[i]);
    for (int i = 0; i < 4; ++i) expected[254 + i] = static_cast<std::uint8_t>("PQRS"[i]);
    EXPECT_EQ(host.device.flash(), expected);
    EXPECT_EQ(host.exchange(Read(0)), "SCAN: 04 = {78}{79}{7A}{00}{00}{00}{00}{00}{00}{00}");
    // A second flash with nothing staged changes nothing and is still acknowledged.
    EXPECT_EQ(host.exchange(kFlash), "ACK");
    EXPECT_EQ(host.device.flash(), expected);
}

TEST(Emulator, MalformedFramesGetNoReplyAndTheNextFrameIsHeard) {
    std::string badSum = Write(0, "abc");
    badSum.back() = static_cast<char>(badSum.back() + 1);
    std::string badEraseKey = kErase;
    badEraseKey[4] = 0x56;
    badEraseKey.back() = static_cast<char>(badEraseKey.back() + 1);  // checksum still right
    const struct { const char* what; std::string bytes; } cases[] = {
        {"bad checksum", badSum},
        {"erase with a wrong key", badEraseKey},
        {"flash with length 7", Frame('F', Bytes({0, 0, 0}))},
        {"write with no data", Frame('W', Bytes({0, 0, 0}))},
        {"write of 11 bytes", Write(0, "abcdefghijk")},
        {"write beyond 1024", Write(1020, "abcde")},
        {"write at 1024", Write(1024, "a")},
        {"read of row 103", Read(103)},
        {"read of row 255", Read(255)},
        {"unknown command", Frame('X', Bytes({0, 0}))},
        {"write without its 00", Frame('W', Bytes({0, 0}) + "ab")},
    };
    for (const auto& c : cases) {
        Host host;
        EXPECT_EQ(host.exchange(c.bytes), "") << c.what;
        EXPECT_EQ(host.device.flash(), Korven7Emulator::DefaultImage()) << c.what;
        EXPECT_EQ(host.exchange("/V"), kVersion) << c.what;
    }
    Host host;
    EXPECT_EQ(host.exchange(Write(1014, "abcdefghij")), "ACK") << "the last full slot fits";
}

TEST(Emulator, FramesInPiecesAndBackToBackAreAllAnswered) {
    Host host;
    const std::string both = Write(0, "hi") + "/V" + Read(0);
    for (char c : both) host.device.receive(std::string(1, c), host.now);
    EXPECT_EQ(host.exchange(""), "ACKKORVEN7 V2.14\r\n" + ReplyOf(Korven7Emulator::DefaultImage(), 0));
}

TEST(Emulator, IncompleteFrameIsDroppedAfterAPause) {
    Host host;
    host.device.receive(Write(0, "abc").substr(0, 5), 0);
    host.now = Korven7Emulator::kFrameGapUs + 1;
    EXPECT_EQ(host.exchange("/V"), kVersion);
}

TEST(Emulator, RepliesArePacedAtTenBitsPerByte) {
    for (int baud : {1200, 9600, 57600}) {
        Korven7Emulator device(baud);
        const std::int64_t start = 5000;
        device.receive("/V", start);
        const std::int64_t first = start + Korven7Emulator::kProcessingUs;
        for (int n = 1; n <= 15; ++n) {
            const std::int64_t due = first + n * 10'000'000LL / baud;
            ASSERT_EQ(device.nextByteTime(), due) << baud << " baud, byte " << n;
            EXPECT_EQ(device.take(due - 1), "") << baud << " baud, byte " << n;
            EXPECT_EQ(device.take(due).size(), 1u) << baud << " baud, byte " << n;
        }
        EXPECT_EQ(device.nextByteTime(), std::nullopt);
    }
    // A second reply waits for the line to be free.
    Korven7Emulator device(9600);
    device.receive("/V/V", 0);
    EXPECT_EQ(device.take(1000 + 15 * 10'000'000LL / 9600), kVersion);
    EXPECT_EQ(device.nextByteTime(), 1000 + 16 * 10'000'000LL / 9600);
}

TEST(Emulator, GarbageNeverBreaksIt) {
    std::mt19937 random(7);
    Korven7Emulator device(57600);
    std::int64_t now = 0;
    for (int chunk = 0; chunk < 20000; ++chunk) {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 4 == 0 ? "/VEWFR"[random() % 6] : random());
        // Well-formed frames with random contents: any address, any row.
        std::string payload(random() % 2 ? 2 : 3 + random() % 11, '\0');
        for (char& c : payload) c = static_cast<char>(random());
        if (payload.size() > 3) payload.back() = 0;
        if (random() % 3 == 0) bytes.insert(random() % (bytes.size() + 1), Frame("WRFE"[random() % 4], payload));
        now += random() % 3000;
        device.receive(bytes, now);
        device.take(now);
        if (chunk % 100 == 0) device.clearRecords();
    }
    device.clearRecords();
    // A megabyte in one piece of bytes that each could start a frame.
    device.receive(std::string(1 << 20, '/'), now);
    device.receive(std::string(1 << 20, 'W'), now);
    EXPECT_LE(device.log().size(), 3u) << "a run of garbage is one line";
    now += 10'000'000;
    device.take(now);
    device.receive("/V", now);
    EXPECT_EQ(device.take(now + 1'000'000), kVersion);
}

}  // namespace
}  // namespace k7::test
