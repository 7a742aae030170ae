#include "support/program.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/runtime_error.h"
#include "qt/qt_key_map.h"

namespace fs = std::filesystem;

namespace k7::test {

QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "korven7-tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own statics go first, and a QApplication torn down
    // after them crashes the test program.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

bool ScriptedDialogs::confirm(const std::string& text, const std::string&) {
    if (confirmAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return false;
    }
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::next() {
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

void FakePrinter::printLine(const std::string& line) {
    if (failAfterLines >= 0 && int(lines.size()) >= failAfterLines) throw RuntimeError("Printer error");
    lines.push_back(line);
}

TempEnvironment::TempEnvironment() {
    std::string pattern = (fs::temp_directory_path() / "k7test-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data());
    for (const auto& entry : fs::directory_iterator(fs::path(K7_SOURCE_DIR) / "resources"))
        fs::copy_file(entry.path(), fs::path(folder_) / entry.path().filename());
}

TempEnvironment::~TempEnvironment() {
    std::error_code ec;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder_, ec);
}

void TempEnvironment::write(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
}

std::string TempEnvironment::read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

Program::Program(EventPump& pump, SerialPort& port, const std::string& settings)
    : qtWindow((TestApp(), mainWindowDesign())),
      platform{qtWindow, pump, port, dialogs, printer, files, env,
               [this](const FormDesign& design) -> std::unique_ptr<DialogWindow> {
                   return std::make_unique<qt::QtDialogWindow>(design, &qtWindow.qwindow());
               },
               ports,
               [this] { return std::make_unique<qt::QtKeyMapView>(&qtWindow.qwindow()); }} {
    if (!settings.empty()) env.write("KORVEN7.ini", settings);
    window = std::make_unique<MainWindow>(platform);
    window->start();
}

std::vector<std::string> Program::log() {
    auto& box = dynamic_cast<ListBox&>(control(controls::kLog));
    std::vector<std::string> lines;
    for (int i = 0; i < box.count(); ++i) lines.push_back(box.item(i));
    return lines;
}

std::vector<std::string> Program::list() {
    auto& box = dynamic_cast<ListBox&>(control(controls::kList));
    std::vector<std::string> rows;
    for (int i = 0; i < box.count(); ++i) rows.push_back(box.item(i));
    return rows;
}

void Program::click(const std::string& button) {
    auto* b = widget<QPushButton>(button);
    ASSERT_TRUE(b && b->isEnabled()) << button;
    b->click();
}

}  // namespace k7::test
