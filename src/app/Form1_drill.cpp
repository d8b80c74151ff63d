// The main window's side of the drill: the toggle, the one-second tick and the next entry.
#include "Form1.h"

#include "drill/DrillText.h"
#include "drill/FloatingLayout.h"
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
} // namespace

void Form1::setupDrill()
{
    m_drill = std::make_unique<DrillScheduler>();
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
}

void Form1::stopDrillForShutdown()
{
    // Switching the toggle off runs the drill's stop path, exactly as a click does.
    m_ui->Check1->setChecked(false);
}

void Form1::Check1_Click()
{
    QAbstractButton *toggle = m_ui->Check1;
    if (m_wordList->count() == 0 && toggle->isChecked()) {
        toggle->setChecked(false); // runs this handler again: the stop path
        m_context.dialogs.message(this, Dialogs::Icon::Critical, QStringLiteral("请先导入词汇！"));
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
    // its designed height here, being freshly loaded.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    window->move(FloatingWindow::startPosition(workArea, window->height()));
    const QRect label = window->label1Geometry();
    window->resize(label.x() + label.width() + Twips::toPixels(100), label.height() + Twips::toPixels(30));

    m_ui->Check1->setToolTip(kStopTip);
    updateTrayMenu();
    显示单词对照();
}

void Form1::stopDrill()
{
    m_ui->Check1->setToolTip(kStartTip);
    unloadFormShowWord();
    updateTrayMenu();
}

void Form1::Timer1_Timer()
{
    if (m_drill->tick(m_ui->Combo1->currentText()))
        显示单词对照();
}

void Form1::显示单词对照()
{
    const int count = m_wordList->count();
    if (count == 0)
        return;
    const int row = m_drill->nextRow(m_ui->Combo2->currentText(), currentEntryRow(), count);

    QTableView *view = m_ui->ListView1;
    const QModelIndex index = m_wordList->index(row, WordListModel::WordColumn);
    view->scrollTo(index, QAbstractItemView::EnsureVisible);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

    const WordEntry entry = m_wordList->entry(row);
    if (m_FormShowWord)
        m_FormShowWord->setCaption(DrillText::displayText(entry.word.toString(), entry.meaning.toString()));
}


void Form1::loadFormShowWord()
{
    unloadFormShowWord();
    m_FormShowWord = std::make_unique<FormShowWord>();
    connect(m_FormShowWord.get(), &FormShowWord::stopRequested, this, &Form1::FormShowWord_Stop);
    connect(m_FormShowWord.get(), &FormShowWord::lookupRequested, this, &Form1::wordLookupRequested);
}

void Form1::unloadFormShowWord()
{
    if (!m_FormShowWord)
        return;
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
