#pragma once
// The application object of the toolkit layer: the general error handler, the
// standard dialogs, the random generator and the end of the message loop.

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Font.h"
#include "platform/Random.h"

#include <QString>
#include <QStringList>
#include <exception>

namespace vistorel {

// Receives every error that a handler raised.
class ErrorHandler {
public:
    virtual ~ErrorHandler() = default;
    virtual void HandleError(const QString& message) = 0;
};

// Shows the message in a message box that does not block the program.
class MessageBoxErrorHandler : public ErrorHandler {
public:
    void HandleError(const QString& message) override;
};

class Application {
public:
    Application(ErrorHandler& errors, Dialogs& dialogs);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The name the desktop shows for the running program (window titles
    // stay as each window sets them).
    void SetTitle(const QString& title);

    void ReportError(const QString& message) { ReportCaught(message); }

    // Between these two calls errors are collected and then reported together
    // in one message (start-up uses this, so that a missing images folder
    // gives one report, not one per window). A batch begun while one is
    // collecting joins it: what was collected stays.
    void BeginErrorBatch();
    void EndErrorBatch();
    Dialogs& StandardDialogs() { return dialogs_; }
    vistorel::Random& Random() { return random_; }

    // Ends the message loop (closing the application's main window does this).
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Runs an event handler; whatever it throws goes to the error handler and
    // the program carries on. Nothing escapes into Qt's event loop.
    template <class Handler>
    void Guard(Handler&& handler) noexcept {
        try {
            handler();
        } catch (const Error& e) {
            ReportCaught(e.Message());
        } catch (const std::exception& e) {
            ReportCaught(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            ReportCaught(QStringLiteral("Неизвестная ошибка"));
        }
    }

private:
    void ReportCaught(const QString& message) noexcept;

    ErrorHandler& errors_;
    Dialogs& dialogs_;
    vistorel::Random random_;
    bool terminated_ = false;
    bool batching_ = false;
    QStringList batched_;
};

}  // namespace vistorel
