// Verifying the device against the list: read every key back and compare it with
// the default table overlaid by the list.
#include "device/readback.h"
#include "shell/form1.h"

namespace k7 {

void Form1::VerifyBtn_Click() {
    try {
        MatchString.setCaption("Readback/Verify KORVEN7 strings");
        MatchString.setVisible(true);
        MatchImage.setVisible(false);
        if (!BeginReadBack()) return;
        ReadBackPass(1000);
        BuildKeyTable(KeyTable);
        ApplyListToKeyTable();
        MatchString.setCaption("Comparing Readback against list");
        int count = 0;
        for (std::size_t row = 0; row < std::size_t(kKeyRows); ++row) {
            const std::string diff = CompareReadBackKey(ReadbackTable[row], KeyTable[row]);
            if (diff.empty()) continue;
            Add2Status("!FAILED!\tKey(" + std::to_string(row) + ") " + KeyTable[row].Legend + " " + diff);
            ++count;
        }
        if (count > 0) {
            MatchString.setCaption(std::to_string(count) + " KORVEN7 strings FAILED to match list");
            Add2Status(MatchString.caption());
        } else {
            MatchString.setCaption("KORVEN7 strings VERIFIED!");
            Add2Status("KORVEN7 strings verified successfully against list");
        }
        EndReadBack(count > 0 ? "question-mark.gif" : "checkmark.gif");
    } catch (const std::exception& e) {
        ReportOverridesError(e);
    }
}

}  // namespace k7
