#include "qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <algorithm>

#include "platform/runtime_error.h"
#include "qt/qt_key_map.h"

namespace k7::qt {
namespace {

const QString kTitle = QStringLiteral("KORVEN7 CONFIG");
constexpr double kMarginMm = 15;

// "Name (*.a)|*.a|Other (*.*)|*.*" to Qt's "Name (*.a);;Other (*)".
QString QtFilter(const std::string& filter) {
    const QStringList parts = ToQ(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace("*.*", "*").replace(';', ' ');
        out << parts[i].section('(', 0, 0).trimmed() + " (" + patterns + ")";
    }
    return out.join(";;");
}

std::optional<std::string> Chosen(const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    return PathFromQ(name);
}

}  // namespace

void QtDialogs::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, ToQ(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::confirm(const std::string& text, const std::string& title) {
    QMessageBox box(QMessageBox::Question, ToQ(title), ToQ(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::openFileName(const std::string& folder, const std::string& filter) {
    return Chosen(QFileDialog::getOpenFileName(parent_, "Open", PathToQ(folder),
                                               QtFilter(filter), nullptr, QFileDialog::DontConfirmOverwrite));
}

std::optional<std::string> QtDialogs::saveFileName(const std::string& folder, const std::string& filter) {
    // The program asks its own overwrite question.
    return Chosen(QFileDialog::getSaveFileName(parent_, "Save As", PathToQ(folder),
                                               QtFilter(filter), nullptr, QFileDialog::DontConfirmOverwrite));
}

void QtDialogs::beep() { QApplication::beep(); }

QtPrinter::~QtPrinter() {
    if (painter_) painter_->end();
}

bool QtPrinter::choose() {
    if (painter_) painter_->end();
    painter_.reset();
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath_.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(PathToQ(pdfPath_));
    } else {
        QPrintDialog dialog(printer_.get(), parent_);
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    // The lines stay inside margins of at least 15 mm, wider where the printer or the user asks.
    const QMarginsF chosen = printer_->pageLayout().margins(QPageLayout::Millimeter);
    printer_->setPageMargins(QMarginsF(std::max(chosen.left(), kMarginMm), std::max(chosen.top(), kMarginMm),
                                       std::max(chosen.right(), kMarginMm), std::max(chosen.bottom(), kMarginMm)),
                             QPageLayout::Millimeter);
    return true;
}

void QtPrinter::printLine(const std::string& line) {
    if (!printer_) throw RuntimeError("No printer chosen");
    if (!painter_) {
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(printer_.get())) {
            painter_.reset();
            throw RuntimeError("The printer could not be started");
        }
        painter_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        y_ = 0;
    }
    const QFontMetrics metrics = painter_->fontMetrics();
    const QRect page = painter_->viewport();
    if (y_ + metrics.height() > page.height()) {
        if (!printer_->newPage()) throw RuntimeError("The printer could not start a new page");
        y_ = 0;
    }
    // Tab stops every eight character cells of the fixed-pitch font, as on a line
    // printer; a long line runs off the paper rather than wrapping.
    std::string expanded;
    for (char c : line) {
        if (c != '\t') expanded += c;
        else do expanded += ' '; while (expanded.size() % 8 != 0);
    }
    painter_->drawText(QPointF(0, y_ + metrics.ascent()), ToQ(expanded));
    y_ += metrics.height();
    if (printer_->printerState() == QPrinter::Error) throw RuntimeError("The printer reported an error");
}

void QtPrinter::endDoc() {
    if (!painter_) return;
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || printer_->printerState() == QPrinter::Error)
        throw RuntimeError("The printer did not take the document");
}

QtPlatform::QtPlatform(const FormDesign& mainDesign, Dialogs* dialogs, Printer* printer, Environment* environment)
    : window_(mainDesign),
      dialogs_(&window_.qwindow()),
      printer_(&window_.qwindow()),
      platform_{window_,
                pump_,
                port_,
                dialogs ? *dialogs : dialogs_,
                printer ? *printer : printer_,
                files_,
                environment ? *environment : env_,
                [this](const FormDesign& design) -> std::unique_ptr<DialogWindow> {
                    return std::make_unique<QtDialogWindow>(design, &window_.qwindow());
                },
                portList_,
                [this] { return std::make_unique<QtKeyMapView>(&window_.qwindow()); }} {}

}  // namespace k7::qt
