#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace qel::testing {

void AnswerNextModal(std::function<void(QWidget* dialog)> answer)
{
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr && ++*tries < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr)
            answer(dialog);
    });
    timer->start(10);
}

void ClickButton(QWidget* dialog, const QString& caption)
{
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text() == caption) {
            button->click();
            return;
        }
    }
}

} // namespace qel::testing
