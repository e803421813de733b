#include "skin/ListKeys.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>

namespace vistorel {
namespace {

class FirstArrowChooses : public QObject {
public:
    explicit FirstArrowChooses(QListWidget& list) : QObject(&list), list_(list) {
        list.installEventFilter(this);
        // Filled anew, the list shows where the arrows start.
        QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, this, [this] { MakeFirstCurrent(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &list_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
        if (!arrow || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
        if (list_.count() == 0 || !list_.selectedItems().isEmpty()) return false;
        list_.setCurrentRow(list_.currentRow() >= 0 ? list_.currentRow() : 0, QItemSelectionModel::ClearAndSelect);
        return true;
    }

private:
    void MakeFirstCurrent() {
        if (list_.currentRow() < 0 && list_.count() > 0) list_.setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }

    QListWidget& list_;
};

}  // namespace

void ChooseWithArrows(QListWidget& list) { new FirstArrowChooses(list); }

}  // namespace vistorel
