// The serial link: acknowledgement wait, delays, the version request and the
// attachment probe. Every wait blocks on the event pump until something happens.
#include "device/link.h"

#include <algorithm>
#include <cmath>

#include "device/frames.h"
#include "platform/runtime_error.h"
#include "settings/numbers.h"
#include "shell/form1.h"

namespace k7 {

int BaudRate(const std::string& baudSetting) {
    const int baud = ToInt32(baudSetting);
    if (baud == 0) throw RuntimeError("Division by zero");
    return baud;
}

int LineWaitMs(int chars, int baud) {
    const double ms = std::nearbyint(12.0 * chars * 1000.0 / baud);  // round half to even
    return std::max(25, int(ms));
}

int SettleMs(int baud) { return baud >= 9600 ? 40 : 90; }

std::string Form1::GetACK(int ms) {
    StartACK(ms);
    return FinishACK(ms);
}

void Form1::StartACK(int ms) {
    ResponseTimer.setEnabled(false);
    ResponseTimer.setInterval(10);
    ResponseTimer.setEnabled(true);
    ResponseTicks = std::int16_t(ms / 10);
}

std::string Form1::FinishACK(int ms) {
    try {
        const int settle = SettleMs(ToInt32(BaudSetting));
        // Settle: let the first ticks pass without reading; bytes need not wake it.
        MSComm1.setInputQuiet(true);
        while (ResponseTicks > ms / 10 - settle / 10) pump.waitEvents();
        MSComm1.setInputQuiet(false);
        std::string reply;
        while (ResponseTicks > 0) {
            reply += MSComm1.input();
            if (reply.find("ACK") != std::string::npos) break;
            pump.waitEvents();  // serial data or the next tick wakes it
        }
        ResponseTimer.setEnabled(false);
        return reply;
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error while awaiting ACKnowledge ") + e.what());
        return "";
    }
}

void Form1::Delay(int iMS) {
    StartDelay(iMS);
    FinishDelay();
}

void Form1::StartDelay(int iMS) {
    // Nothing is read before the delay ends, so arriving bytes need not wake the wait.
    MSComm1.setInputQuiet(true);
    DelayTimer.setEnabled(false);
    DelayTimer.setInterval(iMS);
    DelayTimer.setEnabled(true);
}

void Form1::FinishDelay() {
    while (DelayTimer.enabled()) pump.waitEvents();
    MSComm1.setInputQuiet(false);
}

std::string Form1::GetCodeVersion() {
    try {
        if (!MSComm1.isOpen()) MSComm1.open();
        MSComm1.output(kVersionRequest);
        Delay(LineWaitMs(20, BaudRate(BaudSetting)));
        std::string reply = MSComm1.input();
        if (reply.empty()) reply = "???";
        if (MSComm1.isOpen()) MSComm1.close();
        return reply;
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error getting code version. ") + e.what());
        if (MSComm1.isOpen()) MSComm1.close();
        return "";
    }
}

bool Form1::CheckAttachment() {
    try {
        std::string reply;
        bool attached = false;
        for (int attempts = 0; !attached && attempts < 3; ++attempts) {
            reply = GetCodeVersion();
            attached = reply.find("KORVEN7") != std::string::npos;
        }
        if (attached) {
            Add2Status("KORVEN7 device is attached");
            Add2Status(std::string(27, '-'));
            return true;
        }
        dialogs.beep();
        Add2Status("KORVEN7 not attached " + reply);
        return false;
    } catch (const std::exception& e) {
        dialogs.message(std::string("Error checking attachment. ") + e.what());
        return false;
    }
}

void Form1::AbortBrn_Click() { AbortFlag = -1; }

void Form1::ResponseTimer_Timer() {
    if (ResponseTicks > 0) --ResponseTicks;
}

void Form1::DelayTimer_Timer() { DelayTimer.setEnabled(false); }

}  // namespace k7
