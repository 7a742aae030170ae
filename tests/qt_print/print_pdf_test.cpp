// Printing the list and the log through the real Qt printer into a PDF file, read back
// as text with pdftotext.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "qtsupport/qt_app.h"

namespace k7::test {
namespace {

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
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::erase(line, '\f');
        if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
    }
    return lines;
}

// Prints the list and the log into a PDF file in the rig's program folder.
struct PrintRun {
    std::string pdf;
    qt::QtPrinter printer;
    QtRig rig;

    PrintRun(int entries, int statusLines)
        : pdf(std::filesystem::temp_directory_path() / ("k7-printout-" + std::to_string(::getpid()) + ".pdf")),
          printer(nullptr, pdf),
          rig("", &printer) {
        std::filesystem::remove(pdf);
        for (int i = 0; i < entries; ++i)
            rig.form->List1.addItem("F" + std::to_string(i % 12 + 1) + "\tkey" + std::to_string(i));
        for (int i = 0; i < statusLines; ++i) rig.form->Add2Status("status line " + std::to_string(i));
        rig.real->platform().ui.menu("prscr").onClick();
    }
    ~PrintRun() { std::filesystem::remove(pdf); }
};

TEST(RealPrinter, ThreeEntriesBesideTenStatusLines) {
    PrintRun run(3, 10);
    EXPECT_TRUE(run.rig.dialogs.messages.empty());
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
    EXPECT_TRUE(run.rig.dialogs.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(run.pdf));
}

}  // namespace
}  // namespace k7::test
