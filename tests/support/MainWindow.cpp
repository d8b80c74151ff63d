#include "MainWindow.h"

#include "wordlist/TextFile.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

void MainWindow::writeBank(const QString &bank) const
{
    env.writeFile(env.wordBankPath(), TextFile::encode(bank));
}

Form1 &MainWindow::create()
{
    return create(env.context());
}

Form1 &MainWindow::create(const AppContext &context)
{
    m_form = std::make_unique<Form1>(context);
    return *m_form;
}

Form1 &MainWindow::start()
{
    if (!m_form)
        create();
    m_form->Form_Load();
    return *m_form;
}

Form1 &MainWindow::restart()
{
    if (m_form)
        m_form->close();
    m_form.reset();
    return start();
}

void MainWindow::showActive()
{
    m_form->showAtStart();
    m_form->activateWindow();
    list()->setFocus();
}

QByteArray MainWindow::closeAndReadBank()
{
    m_form->close();
    m_form.reset();
    return env.readFile(env.wordBankPath());
}

QTableView *MainWindow::list() const
{
    return m_form->findChild<QTableView *>(QStringLiteral("ListView1"));
}

QString MainWindow::countText() const
{
    return m_form->findChild<QLabel *>(QStringLiteral("Label2"))->text();
}

QComboBox *MainWindow::combo(const char *name) const
{
    return m_form->findChild<QComboBox *>(QString::fromUtf8(name));
}

QString MainWindow::comboText(const char *name) const
{
    return combo(name)->currentText();
}

void MainWindow::choose(const char *name, const QString &text) const
{
    QComboBox *box = combo(name);
    box->setCurrentIndex(box->findText(text));
    QCOMPARE_NE(box->currentIndex(), -1);
}

QPushButton *MainWindow::button(const char *name) const
{
    return m_form->findChild<QPushButton *>(QString::fromUtf8(name));
}

QAction *MainWindow::menuAction(const char *name) const
{
    return m_form->findChild<QAction *>(QString::fromUtf8(name));
}
