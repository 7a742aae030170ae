// Printing the list and the log through the real Qt printer into a PDF file, read back
// as text with pdftotext.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "platform/qt/qt_platform.h"
#include "shell/form1.h"
#include "shell/form1_design.h"
#include "support/fake_platform.h"

namespace k7::test {
namespace {

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "tests_qt_print";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// The text lines of the PDF, page breaks dropped, blank lines skipped.
std::vector<std::string> PdfLines(const std::string& pdf) {
    const std::string command = "pdftotext -layout '" + pdf + "' -";
    std::FILE* out = ::popen(command.c_str(), "r");
    EXPECT_NE(out, nullptr);
    std::string text;
    char buffer[4096];
    for (std::size_t n; out && (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
    EXPECT_EQ(out ? ::pclose(out) : -1, 0) << command;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        std::erase(line, '\f');
        if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

struct PrintRun {
    TempEnvironment env;
    ScriptedDialogs dialogs;
    std::string pdf = env.path("printout.pdf");
    qt::QtPrinter printer{nullptr, pdf};
    std::unique_ptr<qt::QtPlatform> real;
    std::unique_ptr<Form1> form;

    PrintRun(int entries, int statusLines) {
        EnsureApplication();
        real = std::make_unique<qt::QtPlatform>(Form1Design(), &dialogs, &printer, &env);
        form = std::make_unique<Form1>(real->platform());
        form->Form_Load();
        for (int i = 0; i < entries; ++i) form->List1.addItem("F" + std::to_string(i % 12 + 1) + "\tkey" + std::to_string(i));
        for (int i = 0; i < statusLines; ++i) form->Add2Status("status line " + std::to_string(i));
        real->platform().ui.menu("prscr").onClick();
    }
};

TEST(RealPrinter, ThreeEntriesBesideTenStatusLines) {
    PrintRun run(3, 10);
    EXPECT_TRUE(run.dialogs.messages.empty());
    const auto lines = PdfLines(run.pdf);
    ASSERT_EQ(lines.size(), 10u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const auto status = lines[i].find("status line " + std::to_string(i));
        ASSERT_NE(status, std::string::npos);
        if (i < 3) {
            EXPECT_EQ(lines[i].rfind("F" + std::to_string(i + 1), 0), 0u);
            EXPECT_LT(lines[i].find("key" + std::to_string(i)), status);
        } else {
            EXPECT_EQ(lines[i].find_first_not_of(' '), status);  // an empty list column
            EXPECT_GT(status, 0u);
        }
    }
}

TEST(RealPrinter, LongListRunsOverSeveralPagesAndStopsAfter301Rows) {
    PrintRun run(305, 0);
    const auto lines = PdfLines(run.pdf);
    ASSERT_EQ(lines.size(), 301u);
    EXPECT_NE(lines.back().find("key300"), std::string::npos);
}

TEST(RealPrinter, NothingToPrintMakesNoDocument) {
    PrintRun run(0, 0);
    EXPECT_TRUE(run.dialogs.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(run.pdf));
}

}  // namespace
}  // namespace k7::test
