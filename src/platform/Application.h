#pragma once
// The application object of the toolkit layer: the general error handler, the
// standard dialogs, the random generator and the end of the message loop.

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Font.h"
#include "platform/Random.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace vistorel {

class Form;
class InputWatcher;

// Receives every error that a handler raised.
class ErrorHandler {
public:
    virtual ~ErrorHandler() = default;
    virtual void HandleError(const QString& message) = 0;
};

// Shows the message in a message box that does not block the program, above
// the window the user was working in when the error came.
class MessageBoxErrorHandler : public ErrorHandler {
public:
    void HandleError(const QString& message) override;
    // Where the boxes go: the window they stay above (none: above all).
    void SetCaller(std::function<QWidget*()> caller) { caller_ = std::move(caller); }

private:
    std::function<QWidget*()> caller_;
};

class Application {
public:
    Application(ErrorHandler& errors, Dialogs& dialogs);
    ~Application();
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

    // The windows of the program, as they are created and destroyed.
    void AddForm(Form& form);
    void RemoveForm(Form& form);
    // The window of the program the user last pressed a mouse button or a key
    // in, also through its menus and the dialogs it opened; when that one is
    // hidden now, the visible window that opened it. Null when there is none
    // (nothing pressed yet, or a test that calls handlers directly).
    Form* CallingForm() const;
    // Its top-level widget, the parent that a standard dialog is given.
    QWidget* CallingWindow() const;

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
        } catch (...) {
            ReportCaught(MessageOf(std::current_exception()));
        }
    }

    // What the user is told of an error: the program's own message; for
    // anything else a message in the program's words (the library's English
    // text goes to the log only).
    static QString MessageOf(std::exception_ptr error) noexcept;

private:
    void ReportCaught(const QString& message) noexcept;

    ErrorHandler& errors_;
    Dialogs& dialogs_;
    vistorel::Random random_;
    bool terminated_ = false;
    bool batching_ = false;
    QStringList batched_;
    std::vector<Form*> forms_;
    std::unique_ptr<InputWatcher> input_;
};

}  // namespace vistorel
