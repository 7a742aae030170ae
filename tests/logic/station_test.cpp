// The station's pieces that need no keyboard: its arguments, the file's fingerprint and
// the record's lines.
#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/sha256.h"
#include "cli/station_report.h"

namespace k7 {
namespace {

TEST(StationArguments, TakeTheFolderGlobRecordAndExistingAndBelongToStationOnly) {
    const ParsedCommandLine p = parseCommandLine(
        {"station", "tills.cfg", "--watch", "/tmp/links", "--match=*FTDI*", "--record", "r.jsonl", "--existing"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.line.command, Command::Station);
    EXPECT_EQ(p.line.listFile, "tills.cfg");
    EXPECT_EQ(p.line.watchFolder + " " + p.line.match + " " + p.line.recordFile, "/tmp/links *FTDI* r.jsonl");
    EXPECT_TRUE(p.line.existing);
    EXPECT_EQ(parseCommandLine({"station", "a.cfg"}).line.watchFolder, "/dev/serial/by-id");
    EXPECT_EQ(parseCommandLine({"station"}).error, "station needs a .cfg file");
    EXPECT_EQ(parseCommandLine({"send", "a.cfg", "--record", "r"}).error, "--record belongs to station only");
    EXPECT_EQ(parseCommandLine({"--existing", "version"}).error, "--existing belongs to station only");
    EXPECT_EQ(parseCommandLine({"station", "a.cfg", "--port", "/dev/x"}).error,
              "--port does not go with station; it finds its ports in --watch");
}

TEST(FileFingerprint, IsSha256AcrossThePaddingBoundaries) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 55 bytes still take their length in the same block; 56 and 64 need another; 119 two more.
    EXPECT_EQ(sha256Hex(std::string(55, 'a')), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(sha256Hex(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(sha256Hex(std::string(64, 'a')), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    EXPECT_EQ(sha256Hex(std::string(119, 'a')), "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb");
}

TEST(StationRecord, SaysWhetherTheKeyboardNeedsANewSendAndWhichKeysDiffer) {
    KeyboardReport r;
    r.time = "2026-12-07T01:02:03Z", r.link = "usb-FTDI_\"A\"", r.device = "/dev/ttyUSB0", r.serialNumber = "A10K7";
    r.manufacturer = "FTDI", r.file = "/t/a.cfg", r.fileSha256 = "ab";
    PortOutcome differs;
    differs.kind = OutcomeKind::Differs;
    differs.message = "sent, but 1 key differs";
    differs.differences = {{"F1", "x", std::nullopt}};
    r.verdict = stationVerdict(differs, true);
    r.differences = differs.differences;
    r.seconds = 12.34;
    EXPECT_EQ(recordLine(r),
              R"({"time":"2026-12-07T01:02:03Z","link":"usb-FTDI_\"A\"","device":"/dev/ttyUSB0","serial_number":"A10K7",)"
              R"("manufacturer":"FTDI","firmware":null,"file":"/t/a.cfg","sha256":"ab","outcome":"fail","reason":)"
              R"("sent, but 1 key differs","needs_new_send":true,"keys":[{"key":"F1","expected":"x","found":null}],"seconds":12.34})");
    EXPECT_EQ(doneLine(r, {12, 1}), "FAIL  usb-FTDI_\"A\"  sent, but 1 key differs  12.3 s  (12 programmed, 1 failed)");
    // Pulled before the erase: nothing lost, nothing to send again.
    r.verdict = unpluggedVerdict(false);
    EXPECT_NE(recordLine(r).find(R"("outcome":"interrupted","reason":"unplugged before anything was written","needs_new_send":false)"),
              std::string::npos);
    r.verdict = stationVerdict(PortOutcome{}, true);
    EXPECT_NE(recordLine(r).find(R"("outcome":"pass","reason":"","needs_new_send":false)"), std::string::npos);
}

}  // namespace
}  // namespace k7
