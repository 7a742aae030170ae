// Sending the list to the device: probe, erase, the image in write frames with one
// flash frame per 128-byte block, then the verify.
#include <algorithm>
#include <cstdio>

#include "device/frames.h"
#include "device/image.h"
#include "keystrings/notation.h"
#include "shell/form1.h"

namespace k7 {
namespace {

std::string Hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", unsigned(value));
    return text;
}

}  // namespace

void Form1::SendKeys_Click() {
    int STRindx = 0;
    int IstrPos = 0;
    // An acknowledgement's line waits for the next frame to leave, so that logging it
    // (and the window's repaint) overlaps that frame's wait; the order of lines holds.
    std::string ackLine;
    auto logAck = [&] {
        if (!ackLine.empty()) Add2Status(ackLine);
        ackLine.clear();
    };
    try {
        EnableButtons(false);
        ShowProgress();
        if (clrstat.checked()) StatusBox.clear();
        StatusBox.setTextColor(0x000000);
        AbortFlag = 0;
        MatchString.setCaption("Sending to KORVEN7");
        MatchString.setVisible(true);
        MatchImage.setVisible(false);
        if (!CheckAttachment()) {
            EnableButtons(true);
            return;
        }

        LoadMatchPicture("question-mark.gif");
        Add2Status("Erasing Flash Page1 ..");
        if (!MSComm1.isOpen()) MSComm1.open();
        const std::string erase = EraseFrame();
        MSComm1.output(erase);
        // Each acknowledgement wait counts from the frame's departure; logging overlaps it.
        StartACK(1000);
        Add2Status("SENT:" + Expand(erase, true));
        std::string reply = FinishACK(1000);
        if (!Acknowledged(reply)) {
            Add2Status("No ACK .. RECVD: " + reply);
            EnableButtons(true);
            return;
        }
        ackLine = "RECVD:" + reply;

        BuildKeyTable(KeyTable);
        ApplyListToKeyTable();
        const int progressMax = kKeyRows - 1;
        ProgressBar1.setMaximum(progressMax);
        int total = 0, blockBytes = 0, blockNumber = 0, address = 0;
        int packetCount = 0, packetTarget = kSlotSize;
        bool failed = false;
        std::string packet;
        if (!MSComm1.isOpen()) MSComm1.open();
        // Sends a write or flash frame, logs `line` while its acknowledgement is awaited.
        auto sendFrame = [&](const std::string& frame, const std::string& line) {
            MSComm1.output(frame);
            StartACK(500);
            logAck();
            Add2Status(line);
            reply = FinishACK(500);
            if (Acknowledged(reply)) {
                ackLine = "RECVD:" + reply;
            } else {
                Add2Status("No ACK .. RECVD:" + reply);
                failed = true;
            }
        };

        // A frame without acknowledgement ends the writing; the verify shows the result.
        while (total < kImageSize && AbortFlag == 0 && !failed) {
            packet.clear();
            while (blockBytes < kBlockSize && !failed) {
                ++packetCount;
                ++blockBytes;
                ++IstrPos;
                packet += ImageByte(KeyTable, total);
                ++total;
                if (packetCount == packetTarget || blockBytes == kBlockSize) {
                    const std::string frame = WriteFrame(address, packet);
                    address += packetCount;
                    sendFrame(frame, "SENT:{" + Hex(STRindx) + ")}  " + ExpandW(frame, true));
                    packetCount = 0;
                    packet.clear();
                    packetTarget = kSlotSize - total % kSlotSize;
                }
                if (total % kSlotSize == 0) {
                    ++STRindx;
                    IstrPos = 0;
                }
                SetProgress(std::min(STRindx, progressMax));
                pump.doEvents();
            }
            if (blockBytes == kBlockSize && !failed) {
                logAck();
                Add2Status("Flashing " + std::to_string(blockBytes) + " bytes. BLOCK " + std::to_string(blockNumber));
                ++blockNumber;
                sendFrame(FlashFrame(), Expand(FlashFrame()));
            }
            blockBytes = 0;
            pump.doEvents();
        }
        logAck();

        EnableButtons(true);
        VerifyBtn_Click();
        if (MSComm1.isOpen()) MSComm1.close();
    } catch (const std::exception& e) {
        logAck();
        dialogs.message("Error sending to KORVEN7. STRindx=" + std::to_string(STRindx) +
                        "  IstrPos = " + std::to_string(IstrPos) + " " + e.what());
        EnableButtons(true);
        if (MSComm1.isOpen()) MSComm1.close();
    }
}

}  // namespace k7
