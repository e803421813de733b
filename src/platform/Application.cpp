#include "platform/Application.h"

#include "platform/Form.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <new>

namespace vistorel {

// Notes the window of every press of a mouse button or a key, before the
// window gets it.
class InputWatcher : public QObject {
public:
    InputWatcher() {
        if (QCoreApplication* qt = QCoreApplication::instance()) qt->installEventFilter(this);
    }
    QWidget* LastWindow() const { return last_; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::TouchBegin:
            case QEvent::TabletPress:
                if (target->isWidgetType()) last_ = static_cast<QWidget*>(target)->window();
                break;
            default: break;
        }
        return false;
    }

private:
    QPointer<QWidget> last_;
};

void MessageBoxErrorHandler::HandleError(const QString& message) {
    std::fprintf(stderr, "vistorel: %s\n", qUtf8Printable(message));
    QWidget* caller = caller_ ? caller_() : nullptr;
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                                QMessageBox::Ok, caller);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Above the window it is about; with none, above every window.
    if (caller == nullptr) box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->show();
}

Application::Application(ErrorHandler& errors, Dialogs& dialogs)
    : errors_(errors), dialogs_(dialogs), input_(std::make_unique<InputWatcher>()) {
    InstallFontSubstitutions();
}

Application::~Application() = default;

void Application::AddForm(Form& form) { forms_.push_back(&form); }

void Application::RemoveForm(Form& form) { forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end()); }

Form* Application::CallingForm() const {
    // From a menu or a dialog up to the window it belongs to.
    for (QWidget* window = input_->LastWindow(); window != nullptr;) {
        const auto form = std::find_if(forms_.begin(), forms_.end(), [window](Form* f) { return f->Widget() == window; });
        if (form != forms_.end()) {
            Form* caller = *form;
            while (caller != nullptr && !caller->Visible()) caller = caller->Opener();
            return caller;
        }
        QWidget* parent = window->parentWidget();
        window = parent ? parent->window() : nullptr;
    }
    return nullptr;
}

QWidget* Application::CallingWindow() const {
    Form* caller = CallingForm();
    return caller ? caller->Widget() : nullptr;
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

QString Application::MessageOf(std::exception_ptr error) noexcept {
    try {
        try {
            std::rethrow_exception(error);
        } catch (const Error& e) {
            return e.Message();
        } catch (const std::bad_alloc&) {
            return QStringLiteral("Не хватило памяти: действие не выполнено. Программа работает дальше; "
                                  "закройте другие программы или выберите текст поменьше.");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "vistorel: %s\n", e.what());
            return QStringLiteral("Внутренняя ошибка программы: действие не выполнено, программа работает дальше.");
        } catch (...) {
            return QStringLiteral("Внутренняя ошибка программы: действие не выполнено, программа работает дальше.");
        }
    } catch (...) {
        return {};
    }
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
