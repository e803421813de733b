#include "platform/BackgroundWork.h"

#include "platform/Errors.h"
#include "platform/Form.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>

namespace vistorel {

// Covers the window's client area while the work runs: the window beneath
// shows dimmed, the caption, a moving bar and «Отмена» in the middle. It
// takes the window's mouse and keys, Escape cancelling.
class WorkIndicator : public QWidget {
public:
    WorkIndicator(QWidget* surface, std::function<void()> cancel) : QWidget(surface), cancel_(std::move(cancel)) {
        setAttribute(Qt::WA_NoMousePropagation);
        setFocusPolicy(Qt::StrongFocus);
        auto* box = new QWidget(this);
        box->setObjectName(QStringLiteral("workBox"));
        box->setAttribute(Qt::WA_StyledBackground);
        box->setStyleSheet(QStringLiteral(
            "#workBox { background: #000000; border: 1px solid #FFA14D; }"
            "QLabel { color: #FFA14D; }"
            "QProgressBar { border: 1px solid #FFA14D; background: #000000; height: 10px; }"
            "QProgressBar::chunk { background: #FFA14D; }"
            "QPushButton { color: #FFA14D; background: #000000; border: 1px solid #FFA14D; padding: 3px 14px; }"
            "QPushButton:focus { border: 2px solid #FFFFFF; }"));
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(14, 10, 14, 10);
        caption = new QLabel(box);
        caption->setAlignment(Qt::AlignCenter);
        bar = new QProgressBar(box);
        bar->setRange(0, 0);  // a bar that moves: how long a book takes is not known ahead
        bar->setTextVisible(false);
        bar->setAccessibleName(QStringLiteral("Ход чтения"));
        button = new QPushButton(QStringLiteral("Отмена"), box);
        button->setAutoDefault(false);
        layout->addWidget(caption);
        layout->addWidget(bar);
        layout->addWidget(button, 0, Qt::AlignCenter);
        box_ = box;
        QObject::connect(button, &QPushButton::clicked, this, [this] { cancel_(); });
        surface->installEventFilter(this);
        hide();
    }

    void ShowOver(const QString& text) {
        caption->setText(text);
        Fit();
        show();
        raise();
        button->setFocus(Qt::OtherFocusReason);
    }

    QLabel* caption = nullptr;
    QProgressBar* bar = nullptr;
    QPushButton* button = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0, 0, 0, 150));
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) cancel_();
        event->accept();  // no key reaches the window under the work
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Resize) Fit();
        return false;
    }

private:
    void Fit() {
        const QWidget* surface = parentWidget();
        setGeometry(surface->rect());
        const int width = std::min(surface->width() - 20, std::max(260, box_->sizeHint().width()));
        const int height = box_->sizeHint().height();
        box_->setGeometry((surface->width() - width) / 2, (surface->height() - height) / 2, width, height);
    }

    std::function<void()> cancel_;
    QWidget* box_ = nullptr;
};

BackgroundWork::BackgroundWork(Form& form) : form_(form) {}

BackgroundWork::~BackgroundWork() {
    cancelled_ = true;
    Join();
}

QWidget* BackgroundWork::Indicator() const { return indicator_.get(); }

bool BackgroundWork::Start(const QString& caption, Work work, Ending ending) {
    if (running_) return false;
    running_ = true;
    const unsigned run = ++run_;
    cancelled_ = false;
    finished_ = false;
    error_ = nullptr;
    ending_ = std::move(ending);
    thread_ = std::thread([this, run, work = std::move(work)] {
        std::exception_ptr error;
        try {
            work(cancelled_);
        } catch (...) {
            error = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            error_ = error;
            finished_ = true;
        }
        done_.notify_all();
        QMetaObject::invokeMethod(this, [this, run] { Ended(run); }, Qt::QueuedConnection);
    });
    bool quick = false;
    if (QuickMs > 0) {
        std::unique_lock lock(mutex_);
        quick = done_.wait_for(lock, std::chrono::milliseconds(QuickMs), [this] { return finished_; });
    }
    if (quick) {
        Join();
        running_ = false;
        const Ending end = std::move(ending_);
        end(error_);
        return true;
    }
    if (!indicator_) indicator_ = std::make_unique<WorkIndicator>(form_.Surface(), [this] { Cancel(); });
    indicator_->ShowOver(caption);
    return true;
}

void BackgroundWork::Cancel() { cancelled_ = true; }

void BackgroundWork::Ended(unsigned run) {
    if (run != run_ || !running_) return;  // ended within Start, or by Finish
    Join();
    running_ = false;
    if (indicator_) indicator_->hide();
    const Ending end = std::move(ending_);
    // Cancelled after the work had ended: what it did is dropped all the same.
    const std::exception_ptr error = error_ || !cancelled_ ? error_ : std::make_exception_ptr(Cancelled());
    form_.App().Guard([&] { end(error); });
}

void BackgroundWork::Finish() {
    if (!running_) return;
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return finished_; });
    }
    Ended(run_);
}

void BackgroundWork::Join() {
    if (thread_.joinable()) thread_.join();
}

bool BackgroundWork::EndedByCancel(std::exception_ptr error) {
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const Cancelled&) {
        return true;
    }
}

}  // namespace vistorel
