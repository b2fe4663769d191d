#pragma once

#include "TestSupport.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <memory>

// Answers the next message box that opens with its default button (OK), or
// with the button of the given text, and keeps its text. Polls, so it also
// finds a box opened from a nested event loop; gives up after a few seconds
// so that no test hangs.
class MessageBoxAnswerer : public QObject
{
public:
    explicit MessageBoxAnswerer(const QString& buttonText = QString()) : m_buttonText(buttonText)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    bool answered() const { return m_answered; }
    const QString& text() const { return m_text; }

private:
    void poll()
    {
        if (++m_polls > 250) {
            m_timer.stop();
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_text = box->text();
        m_answered = true;
        m_timer.stop();
        QAbstractButton* button = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton())
                                                       : box->buttons().value(0);
        if (!m_buttonText.isEmpty()) {
            button = nullptr;
            for (QAbstractButton* candidate : box->buttons())
                if (candidate->text() == m_buttonText)
                    button = candidate;
        }
        if (button)
            button->click();
        else
            box->close();
    }

    QString m_buttonText;
    QTimer m_timer;
    int m_polls = 0;
    bool m_answered = false;
    QString m_text;
};

// Makes every change of a table fail inside SQLite, as a full disk or a
// locked file would: the store's message must be shown and nothing written.
inline void injectWriteFailure(const QString& table)
{
    for (const char* event : {"UPDATE", "INSERT"}) {
        Database::exec(QStringLiteral("CREATE TRIGGER \"fail_%1_%2\" BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, "
                                      "'injected failure'); END")
                           .arg(table, QString::fromLatin1(event), Schema::quoted(table)),
                       {}, QStringLiteral("inject a failure"));
    }
}

// Runs a dialog body once the event loop spins (for modal exec()).
template <typename F>
void whenShown(F&& body)
{
    QTimer::singleShot(0, std::forward<F>(body));
}
