#pragma once
// A scratch organisation database behind the connection module, scripted dialogs,
// and helpers that drive a window the way the keyboard does.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

#include "db/DataModule.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/ScriptedDialogs.h"

class DataWindowTest : public ::testing::Test {
  protected:
    ~DataWindowTest() override { module.SQLConnection1.Close(); }

    // The first value of a query, as text ("" when there is no row).
    QString Query(const QString& sql) {
        const auto rows = module.SQLConnection1.Select(sql);
        return rows.rows.empty() ? QString() : rows.rows.front().front().AsString();
    }
    void Execute(const QString& sql) { module.SQLConnection1.Execute(sql); }

    ScratchDatabase database;
    TDataModule1 module{database.Provider()};
    DataModuleInstallation installation{module};
    ScriptedDialogs dialogs;
};

// Lets queued calls (focus entries, deferred messages, editors) run.
inline void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

inline void ShowActive(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    Settle();
}

// Keys typed into whatever has the focus, as a user would.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, key, modifiers);
    Settle();
}

inline void Type(const QString& text) {
    for (const QChar c : text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        if (c.unicode() < 0x80)
            QTest::keyClicks(focus, QString(c));
        else  // beyond the keys QTest knows: a key event carrying the character
            QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    Settle();
}

// Runs `action` on the modal window of type T once it is up (the window under
// test waits in its exec meanwhile).
template <class T>
void WhenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            window && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*window);
        }
    });
    timer->start();
}
