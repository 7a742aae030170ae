#include "support/rig.h"

namespace k7::test {

Rig::Rig(const std::string& settings)
    : platform{ui, pump, port, dialogs, printer, files, env,
               [this](const FormDesign& design) -> std::unique_ptr<DialogWindow> {
                   return std::make_unique<FakeDialogWindow>(design, clock, pump, dialogUser);
               }} {
    if (!settings.empty()) env.write("KORVEN7.ini", settings);
    port.attach(&device);
    pump.addSource(&port);
    form = std::make_unique<Form1>(platform);
    form->Form_Load();
}

}  // namespace k7::test
