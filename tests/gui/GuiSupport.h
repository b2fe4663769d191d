#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>
#include <QtTest/QTest>
#include <QWidget>

// Answers the message boxes a test provokes: each box that opens is
// answered with the next button text in the queue (an empty text presses
// the box's escape button) and its text is kept. The question after a run
// ("afterRunQuestion") is left to the test's run helper, which answers it.
class BoxAnswerer : public QObject
{
public:
    explicit BoxAnswerer(QStringList answers = {})
        : m_answers(std::move(answers))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    void push(const QString& answer) { m_answers << answer; }
    const QStringList& texts() const { return m_texts; }
    const QStringList& titles() const { return m_titles; }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == m_last || box->objectName() == QLatin1String("afterRunQuestion"))
            return;
        m_last = box;
        m_texts << box->text();
        m_titles << box->windowTitle();
        const QString answer = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        QAbstractButton* target = nullptr;
        for (QAbstractButton* button : box->buttons())
            if (!answer.isEmpty() && button->text() == answer)
                target = button;
        if (!target)
            target = box->escapeButton() ? box->escapeButton() : box->buttons().value(0);
        QTimer::singleShot(0, target, [target] { target->click(); });
    }

    QStringList m_answers;
    QStringList m_texts;
    QStringList m_titles;
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
};

// Clicks the middle of a button where a user would: on whatever widget is
// really on top at that point of the screen. False when that is not the
// button (or a part of it), and then nothing is clicked.
inline bool clickOnScreen(QAbstractButton* button)
{
    const QPoint global = button->mapToGlobal(button->rect().center());
    QWidget* onTop = QApplication::widgetAt(global);
    if (!onTop)
        onTop = button->window()->childAt(button->window()->mapFromGlobal(global));
    if (!onTop || (onTop != button && !button->isAncestorOf(onTop)))
        return false;
    QTest::mouseClick(onTop, Qt::LeftButton, {}, onTop->mapFromGlobal(global));
    return true;
}

// Mouse events sent straight to a widget (the view's viewport).
inline void sendMouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}
inline void moveTo(QWidget* target, QPoint pos) { sendMouse(target, QEvent::MouseMove, pos); }
inline void leftClick(QWidget* target, QPoint pos)
{
    sendMouse(target, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::LeftButton);
}
inline void rightClick(QWidget* target, QPoint pos)
{
    sendMouse(target, QEvent::MouseButtonPress, pos, Qt::RightButton);
    sendMouse(target, QEvent::MouseButtonRelease, pos, Qt::RightButton);
}
