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

void Application::SetTitle(const QString& title) { QApplication::setApplicationName(title); }

void Application::Terminate() {
    terminated_ = true;
    QCoreApplication::quit();
}

void Application::BeginErrorBatch() {
    if (batching_) return;
    batching_ = true;
    batched_.clear();
}

void Application::EndErrorBatch() {
    batching_ = false;
    if (batched_.isEmpty()) return;
    constexpr int kShown = 5;
    QStringList shown = batched_.mid(0, kShown);
    if (batched_.size() > kShown) {
        shown.append(QStringLiteral("... и ещё %1.").arg(batched_.size() - kShown));
    }
    batched_.clear();
    ReportCaught(shown.join(QLatin1Char('\n')));
}

void Application::ReportCaught(const QString& message) noexcept {
    try {
        if (batching_) {
            batched_.append(message);
            return;
        }
        errors_.HandleError(message);
    } catch (...) {
        std::fprintf(stderr, "vistorel: %s\n", qUtf8Printable(message));
    }
}

}  // namespace vistorel
