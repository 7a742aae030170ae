#include <gtest/gtest.h>

#include "support/rig.h"

namespace k7::test {

TEST(StartUp, WithoutSettingsFileUsesDefaultsAndShowsThem) {
    Rig rig;
    EXPECT_EQ(rig.ui.window().caption(), "KORVEN7 CONFIG v1.05");
    EXPECT_EQ(rig.label("CommLabel").caption(), "COM1");
    EXPECT_EQ(rig.label("BaudLabel").caption(), "9600");
    EXPECT_EQ(rig.label("ParityLabel").caption(), "NONE");
    EXPECT_EQ(rig.port.settings, "9600,N,8,1");
    EXPECT_EQ(rig.port.portName, "/dev/ttyS0");
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.form->KeyTable[0].Legend, "A");
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

}  // namespace k7::test
