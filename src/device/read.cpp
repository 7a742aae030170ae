// Reading the keys' strings back from the device, and the read operation.
#include <cctype>
#include <optional>
#include <utility>

#include "device/frames.h"
#include "device/link.h"
#include "device/readback.h"
#include "keystrings/notation.h"
#include "platform/runtime_error.h"
#include "shell/form1.h"

namespace k7 {
namespace {

constexpr std::size_t kReplyLength = 51;

int HexPair(const std::string& s, std::size_t pos) {
    int value = 0;
    for (std::size_t i = pos; i < pos + 2; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!std::isxdigit(c)) throw RuntimeError(kTypeMismatch);
        value = value * 16 + (std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    return value;
}

}  // namespace

// Reply layout: the scancode at positions 7-8, the string's bytes as hex pairs at
// 13, 17, ... 49 (counting from 1); "00" ends the string.
void Form1::ParseReadBackKey(const std::string& sresp) {
    const int scancode = HexPair(sresp, 6);
    std::string text;
    for (std::size_t k = 0; k < 10; ++k) {
        const std::size_t pos = 12 + 4 * k;
        if (sresp.compare(pos, 2, "00") == 0) break;
        text += char(HexPair(sresp, pos));
    }
    if (scancode < 4 || scancode > 106) throw RuntimeError(kSubscriptOutOfRange);
    const std::size_t row = std::size_t(RowOfScancode(scancode));
    ReadbackTable[row] = {std::uint8_t(scancode), text, KeyTable[row].Legend};
}

std::string CompareReadBackKey(const KeyRecord& a, const KeyRecord& b) {
    std::string text;
    if (a.Scancode != b.Scancode)
        text = "Readback Scancode " + std::to_string(a.Scancode) + " <> " + std::to_string(b.Scancode);
    if (a.Output != b.Output) text += " Readback String " + a.Output + " <>  " + b.Output;
    if (a.Legend != b.Legend) text += "Readback Legend " + a.Legend + " <> " + b.Legend;
    return text;
}

void Form1::ReadBackPass(int settleMs) {
    ReadbackTable = KeyTableArray{};  // only this pass's answers count
    ProgressBar1.setMaximum(kKeyRows - 1);
    if (!MSComm1.isOpen()) MSComm1.open();
    // A reply is shown while the next request's wait runs, so that showing it adds
    // nothing to the pass; a reply still held is shown however the pass ends.
    std::optional<std::pair<std::string, int>> held;
    auto showHeld = [&] {
        if (!held) return;
        Add2Status(ASCIIit(held->first, 8));
        SetProgress(held->second);
        held.reset();
    };
    try {
        for (int row = 0; row < kKeyRows; ++row) {
            const std::string request = ReadBackFrame(row);
            const int waitMs = LineWaitMs(65, BaudRate(BaudSetting));
            MSComm1.output(request);
            // The reply's time on the line counts from the moment the request left.
            StartDelay(waitMs);
            showHeld();
            Add2Status("Sent " + Expand(request));
            FinishDelay();
            std::string reply = MSComm1.input();
            if (reply.size() == kReplyLength) ParseReadBackKey(reply);
            held.emplace(std::move(reply), row);
        }
    } catch (...) {
        showHeld();
        throw;
    }
    showHeld();
    if (MSComm1.isOpen()) MSComm1.close();
    Delay(settleMs);
    HideProgress();
}

bool Form1::BeginReadBack() {
    EnableButtons(false);
    if (clrstat.checked()) StatusBox.clear();
    Add2Status("Read Operation Requested");
    ShowProgress();
    if (CheckAttachment()) return true;
    EnableButtons(true);
    return false;
}

void Form1::EndReadBack(const std::string& picture) {
    LoadMatchPicture(picture);
    MatchString.setVisible(true);
    MatchImage.setVisible(true);
    EnableButtons(true);
    if (MSComm1.isOpen()) MSComm1.close();
}

void Form1::ReadKeys_Click() {
    try {
        MatchString.setVisible(false);
        MatchImage.setVisible(false);
        if (!BeginReadBack()) return;
        ReadBackPass(2000);
        BuildKeyTable(KeyTable);
        // The device has answered: its strings replace the list.
        List1.clear();
        KbdKey.setText("");
        KeyString.setText("");
        int count = 0;
        bool unread = false;
        for (std::size_t row = 0; row < std::size_t(kKeyRows); ++row) {
            const KeyRecord& readback = ReadbackTable[row];
            if (!Answered(readback)) {
                Add2Status("!NO REPLY!\tKey(" + std::to_string(row) + ") " + KeyTable[row].Legend);
                unread = true;
            } else if (!CompareReadBackKey(readback, KeyTable[row]).empty()) {
                List1.addItem(KeyTable[row].Legend + "\t" + BytesToNotation(readback.Output));
                ++count;
            }
        }
        const std::string n = std::to_string(count);
        if (count > 0) {
            MatchString.setCaption(n + " Custom strings found in KORVEN7 ");
            Add2Status(n + " KORVEN7 contains " + n + " custom strings");
        } else {
            MatchString.setCaption("KORVEN7 strings all DEFAULT");
            Add2Status("ALL KORVEN7 strings found to be default values");
        }
        EndReadBack(unread ? "question-mark.gif" : "checkmark.gif");
    } catch (const std::exception& e) {
        ReportOverridesError(e);
    }
}

void Form1::ReportOverridesError(const std::exception& e) {
    dialogs.message(std::string("Error retrieve current key overrides - ") + e.what());
    EnableButtons(true);
    if (MSComm1.isOpen()) MSComm1.close();
}

}  // namespace k7
