// The main window's side of the drill: the toggle, the one-second tick and the next entry.
#include "Form1.h"
#include "speech/SpeechEngine.h"

#include "Settings.h"
#include "drill/DrillText.h"
#include "drill/FloatingLayout.h"
#include "drill/FormOptions.h"
#include "shell/Dialogs.h"
#include "ui_Form1.h"
#include "wordlist/WordListModel.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTimer>

namespace {
const QString kStartTip = QStringLiteral("开始背单词");
const QString kStopTip = QStringLiteral("停止背单词");
// The drill's position across restarts: the entry selected (the last one shown) at exit.
const QString kLastWordKey = QStringLiteral("上次单词");
const QString kLastMeaningKey = QStringLiteral("上次释义");
} // namespace

void Form1::setupDrill()
{
    DrillController::Rules rules;
    rules.delayText = [this] { return m_ui->Combo1->currentText(); };
    rules.orderText = [this] { return m_ui->Combo2->currentText(); };
    rules.selectedRow = [this] { return currentEntryRow(); };
    m_drillController = new DrillController(*m_wordList, std::move(rules), this);
    m_ui->Check1->setIcon(QIcon(QStringLiteral(":/pictures/drill.png")));
    m_ui->Check1->setIconSize(QSize(12, 12));
    m_ui->Check1->setToolTip(kStartTip);
    // Wide enough for the picture and the whole caption with the fonts this system has.
    QPushButton *toggle = m_ui->Check1;
    toggle->resize(qMax(toggle->width(), toggle->sizeHint().width()), toggle->height());

    // The delay box lies in the gap of "延时：　 　　秒", measured with the font in use, so it
    // never covers "秒" whatever the font's widths.
    const QString caption = m_ui->Label3->text();
    const qsizetype gapEnd = caption.lastIndexOf(u'秒');
    const qsizetype gapStart = caption.indexOf(u'：');
    if (gapEnd > 0 && gapStart >= 0) {
        const QFontMetrics fm = m_ui->Label3->fontMetrics();
        const int left = m_ui->Label3->x() + m_ui->Label3->contentsRect().x()
                         + fm.horizontalAdvance(caption.left(gapStart + 1));
        const int right = m_ui->Label3->x() + m_ui->Label3->contentsRect().x()
                          + fm.horizontalAdvance(caption.left(gapEnd));
        QComboBox *delay = m_ui->Combo1;
        delay->setGeometry(left + 1, delay->y(), qMax(24, right - left - 2), delay->height());
    }
}

void Form1::connectDrillSignals()
{
    // Every change of the toggle runs the handler, whether a click or code switched it.
    connect(m_ui->Check1, &QAbstractButton::toggled, this, &Form1::Check1_Click);
    connect(m_Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    DrillController *drill = m_drillController;
    connect(drill, &DrillController::entryShown, this, &Form1::showDrillEntry);
    connect(drill, &DrillController::lookupRequested, this, &Form1::wordLookupRequested);
    connect(drill, &DrillController::stopRequested, this, &Form1::FormShowWord_Stop);
    connect(drill, &DrillController::pausedChanged, this, [this](bool paused) {
        if (m_FormShowWord)
            m_FormShowWord->setPaused(paused);
        updateTrayMenu();
    });
    connect(drill, &DrillController::ranOutOfEntries, this, [this] {
        // The last entry that took part was marked known: back to the list, and say why.
        FormShowWord_Stop();
        tellDrillRefused(DrillController::Refusal::EveryEntryKnown);
    });
}

void Form1::tellDrillRefused(DrillController::Refusal why)
{
    switch (why) {
    case DrillController::Refusal::None:
        return;
    case DrillController::Refusal::EmptyList:
        m_context.dialogs.message(this, Dialogs::Icon::Critical, QStringLiteral("请先导入词汇！"));
        return;
    case DrillController::Refusal::EveryEntryKnown:
        m_context.dialogs.message(
            this, Dialogs::Icon::Information,
            QStringLiteral("词汇都已掌握！\n\n请先在列表中“取消已掌握”，或在“选项”中选择复习已掌握的词汇。"));
        return;
    }
}

void Form1::startOrStopDrill()
{
    if (drillRunning())
        FormShowWord_Stop(); // exactly the floating window's stop button
    else
        m_ui->Check1->setChecked(true); // exactly the toggle
}

void Form1::stopDrillForShutdown()
{
    // Switching the toggle off runs the drill's stop path, exactly as a click does.
    m_ui->Check1->setChecked(false);
}

void Form1::Check1_Click()
{
    QAbstractButton *toggle = m_ui->Check1;
    const DrillController::Refusal refusal = m_drillController->refusal();
    if (refusal != DrillController::Refusal::None && toggle->isChecked()) {
        toggle->setChecked(false); // runs this handler again: the stop path
        tellDrillRefused(refusal);
        return;
    }
    if (toggle->isChecked())
        m_Timer1->start();
    else
        m_Timer1->stop();
    if (m_Timer1->isActive())
        startDrill();
    else
        stopDrill();
}

void Form1::startDrill()
{
    stepAsideForDrill();
    loadFormShowWord();
    FormShowWord *window = m_FormShowWord.get();

    // Near the bottom left of the work area, so never on or under the taskbar; the window has
    // its designed height here, being freshly loaded. On the monitor where the learner left the
    // floating window last time, else the primary one.
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> areas;
    for (const QScreen *s : screens)
        areas << s->geometry();
    const qsizetype at = FloatingWindow::startScreen(areas, m_floatingCentre ? &*m_floatingCentre : nullptr,
                                                     screens.indexOf(QGuiApplication::primaryScreen()));
    const QScreen *screen = at >= 0 && at < screens.size() ? screens[at] : QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    window->move(FloatingWindow::startPosition(workArea, window->height()));
    const QRect label = window->label1Geometry();
    window->resize(label.x() + label.width() + Twips::toPixels(100), label.height() + Twips::toPixels(30));

    m_ui->Check1->setToolTip(kStopTip);
    m_drillController->start();
    updateTrayMenu();
}

void Form1::stopDrill()
{
    m_ui->Check1->setToolTip(kStartTip);
    m_drillController->finish();
    unloadFormShowWord();
    updateTrayMenu();
}

void Form1::Timer1_Timer()
{
    m_drillController->tick();
}

void Form1::显示单词对照()
{
    m_drillController->showNext();
}

void Form1::showDrillEntry(int row)
{
    if (row < 0 || row >= m_wordList->count())
        return;

    QTableView *view = m_ui->ListView1;
    const QModelIndex index = m_wordList->index(row, WordListModel::WordColumn);
    view->scrollTo(index, QAbstractItemView::EnsureVisible);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    const WordEntry entry = m_wordList->entry(row);
    if (m_FormShowWord)
        m_FormShowWord->setCaption(DrillText::displayText(entry.word.toString(), entry.meaning.toString()));
    // Each entry spoken once as it appears; the next one cuts off what is still being said.
    if (m_drillOptions.autoSpeak)
        speakWord(entry.word.toString());
}


void Form1::loadFormShowWord()
{
    unloadFormShowWord();
    m_FormShowWord = std::make_unique<FormShowWord>();
    FormShowWord *window = m_FormShowWord.get();
    window->setTextPointSize(DrillOptions::pointSize(m_drillOptions.textSize));
    window->setHoverPause(m_drillOptions.hoverPause);
    DrillController *drill = m_drillController;
    connect(window, &FormShowWord::stopRequested, drill, &DrillController::stop);
    // The double-click looks up the word of the entry shown, as the menu's "查词" does.
    connect(window, &FormShowWord::lookupRequested, drill, &DrillController::lookup);
    connect(window, &FormShowWord::actionRequested, drill, &DrillController::trigger);
    connect(window, &FormShowWord::holdChanged, drill, &DrillController::setHeld);
    // "朗读" greyed with its reason where there is no speech.
    updateSpeechActions();
}

void Form1::unloadFormShowWord()
{
    if (!m_FormShowWord)
        return;
    // The next drill starts on the monitor where the learner left the window.
    if (m_FormShowWord->isVisible())
        m_floatingCentre = m_FormShowWord->frameGeometry().center();
    m_FormShowWord->hide();
    m_FormShowWord->disconnect(this);
    // The stop button's own click may be what brought us here: delete once it has returned.
    m_FormShowWord.release()->deleteLater();
}

void Form1::FormShowWord_Stop()
{
    // The stop button: the main window comes back, then the toggle goes off (the stop path).
    m_minimizedForDrill = false;
    showNormal();
    raise();
    activateWindow();
    m_ui->Check1->setChecked(false);
}

bool Form1::drillRunning() const
{
    return m_ui->Check1->isChecked() && m_FormShowWord != nullptr;
}

void Form1::applyDrillOptions()
{
    m_drillController->setKnownTakePart(m_drillOptions.knownTakePart);
    if (m_speech)
        m_speech->setRate(m_drillOptions.speechRate);
    if (m_FormShowWord) {
        m_FormShowWord->setTextPointSize(DrillOptions::pointSize(m_drillOptions.textSize));
        m_FormShowWord->setHoverPause(m_drillOptions.hoverPause);
    }
}

void Form1::menu选项_Click()
{
    FormOptions dialog(m_drillOptions);
    dialog.centreOn(screen());
    dialog.setSpeech(speechChoices());
    for (DrillOptions::KeyAction action : DrillOptions::keyActions())
        dialog.setKeyState(action, m_keyState ? m_keyState(action) : QStringLiteral("未注册"));
    connect(&dialog, &FormOptions::keyChanged, this, [this, &dialog](DrillOptions::KeyAction action, const QString &key) {
        Q_EMIT drillKeyChanged(action, key);
        if (m_keyState)
            dialog.setKeyState(action, m_keyState(action));
    });
    updateTrayMenu();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    updateTrayMenu();
    if (!accepted)
        return;
    m_drillOptions = dialog.options();
    applyDrillOptions();
    if (m_settings) {
        m_drillOptions.save(*m_settings);
        QString error;
        m_settings->sync(&error); // told at exit, when every setting is written again
    }
    Q_EMIT drillOptionsChanged();
}

void Form1::restoreDrillPosition()
{
    if (!m_settings)
        return;
    const QString word = m_settings->value(kLastWordKey, QString());
    const QString meaning = m_settings->value(kLastMeaningKey, QString());
    if (word.isEmpty() && meaning.isEmpty())
        return;
    // Found by its text, so a sort or an import since does not matter.
    for (int row = 0, count = m_wordList->count(); row < count; ++row) {
        if (m_wordList->word(row) == word && m_wordList->meaning(row) == meaning) {
            QTableView *view = m_ui->ListView1;
            const QModelIndex index = m_wordList->index(row, WordListModel::WordColumn);
            view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->scrollTo(index, QAbstractItemView::PositionAtCenter);
            return;
        }
    }
}

void Form1::saveDrillPosition()
{
    if (!m_settings)
        return;
    const int row = currentEntryRow();
    const bool any = row >= 0 && row < m_wordList->count();
    m_settings->setValue(kLastWordKey, any ? m_wordList->word(row).toString() : QString());
    m_settings->setValue(kLastMeaningKey, any ? m_wordList->meaning(row).toString() : QString());
}
