#include "platform/Application.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace vistorel {

void MessageBoxErrorHandler::HandleError(const QString& message) {
    std::fprintf(stderr, "vistorel: %s\n", qUtf8Printable(message));
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
}

Application::Application(ErrorHandler& errors, Dialogs& dialogs) : errors_(errors), dialogs_(dialogs) {
    InstallFontSubstitutions();
}

void Application::SetTitle(const QString& title) { QApplication::setApplicationDisplayName(title); }

void Application::Terminate() {
    terminated_ = true;
    QCoreApplication::quit();
}

void Application::ReportCaught(const QString& message) noexcept {
    try {
        errors_.HandleError(message);
    } catch (...) {
        std::fprintf(stderr, "vistorel: %s\n", qUtf8Printable(message));
    }
}

}  // namespace vistorel
