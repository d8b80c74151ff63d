#include "FormOptions.h"

#include "widgets/FixedWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// One key, not a sequence of several: the first chord the learner pressed.
QString firstChord(const QKeySequence &sequence)
{
    if (sequence.isEmpty())
        return {};
    return QKeySequence(sequence[0]).toString(QKeySequence::PortableText);
}
} // namespace

FormOptions::FormOptions(const DrillOptions &options, QWidget *parent)
    : QDialog(parent), m_original(options), m_current(options)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("选项"));

    auto *drill = new QGroupBox(QStringLiteral("背单词"), this);
    m_hoverPause = new QCheckBox(QStringLiteral("鼠标停在单词窗口上时暂停(&H)"), drill);
    m_hoverPause->setObjectName(QStringLiteral("hoverPause"));
    m_hoverPause->setChecked(options.hoverPause);
    m_textSize = new QComboBox(drill);
    m_textSize->setObjectName(QStringLiteral("textSize"));
    m_textSize->addItems(DrillOptions::textSizeNames());
    m_textSize->setCurrentIndex(static_cast<int>(options.textSize));
    auto *sizeLabel = new QLabel(QStringLiteral("单词窗口字号(&S)："), drill);
    sizeLabel->setBuddy(m_textSize);
    m_knownTakePart = new QCheckBox(QStringLiteral("复习已掌握的词汇(&R)"), drill);
    m_knownTakePart->setObjectName(QStringLiteral("knownTakePart"));
    m_knownTakePart->setChecked(options.knownTakePart);
    auto *drillLayout = new QGridLayout(drill);
    drillLayout->addWidget(m_hoverPause, 0, 0, 1, 3);
    drillLayout->addWidget(sizeLabel, 1, 0);
    drillLayout->addWidget(m_textSize, 1, 1);
    drillLayout->setColumnStretch(2, 1);
    drillLayout->addWidget(m_knownTakePart, 2, 0, 1, 3);

    m_speech = new QGroupBox(QStringLiteral("朗读"), this);
    m_autoSpeak = new QCheckBox(QStringLiteral("自动朗读背到的每个单词(&A)"), m_speech);
    m_autoSpeak->setObjectName(QStringLiteral("autoSpeak"));
    m_autoSpeak->setChecked(options.autoSpeak);
    auto voiceBox = [this](const char *name) {
        auto *box = new QComboBox(m_speech);
        box->setObjectName(QString::fromLatin1(name));
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(22);
        return box;
    };
    m_englishVoice = voiceBox("englishVoice");
    m_chineseVoice = voiceBox("chineseVoice");
    m_speechRate = new QSpinBox(m_speech);
    m_speechRate->setObjectName(QStringLiteral("speechRate"));
    m_speechRate->setRange(-10, 10);
    m_speechRate->setValue(options.speechRate);
    m_speechState = new QLabel(m_speech);
    m_speechState->setObjectName(QStringLiteral("speechState"));
    m_speechState->setWordWrap(true);
    auto *englishLabel = new QLabel(QStringLiteral("英文语音(&E)："), m_speech);
    englishLabel->setBuddy(m_englishVoice);
    auto *chineseLabel = new QLabel(QStringLiteral("中文语音(&C)："), m_speech);
    chineseLabel->setBuddy(m_chineseVoice);
    auto *rateLabel = new QLabel(QStringLiteral("语速(&V)："), m_speech);
    rateLabel->setBuddy(m_speechRate);
    auto *speechLayout = new QGridLayout(m_speech);
    speechLayout->addWidget(m_autoSpeak, 0, 0, 1, 3);
    speechLayout->addWidget(englishLabel, 1, 0);
    speechLayout->addWidget(m_englishVoice, 1, 1);
    speechLayout->addWidget(chineseLabel, 2, 0);
    speechLayout->addWidget(m_chineseVoice, 2, 1);
    speechLayout->addWidget(rateLabel, 3, 0);
    speechLayout->addWidget(m_speechRate, 3, 1, Qt::AlignLeft);
    speechLayout->addWidget(m_speechState, 4, 0, 1, 3);
    speechLayout->setColumnStretch(2, 1);
    setSpeech({});

    auto *keys = new QGroupBox(QStringLiteral("快捷键（在任何程序中都可使用）"), this);
    auto *keyLayout = new QGridLayout(keys);
    int line = 0;
    for (DrillOptions::KeyAction action : DrillOptions::keyActions()) {
        const auto i = static_cast<size_t>(action);
        auto *edit = new QKeySequenceEdit(QKeySequence::fromString(options.key(action), QKeySequence::PortableText), keys);
        edit->setObjectName(QStringLiteral("key%1").arg(line));
        auto *name = new QLabel(DrillOptions::keyActionName(action) + QStringLiteral("："), keys);
        name->setBuddy(edit);
        auto *clear = new QPushButton(QStringLiteral("清除"), keys);
        clear->setAccessibleName(QStringLiteral("清除“%1”的快捷键").arg(DrillOptions::keyActionName(action)));
        clear->setAutoDefault(false);
        auto *state = new QLabel(keys);
        state->setObjectName(QStringLiteral("keyState%1").arg(line));
        state->setMinimumWidth(state->fontMetrics().horizontalAdvance(QStringLiteral("此桌面不支持全局快捷键")));
        m_keyEdits[i] = edit;
        m_keyStates[i] = state;
        keyLayout->addWidget(name, line, 0);
        keyLayout->addWidget(edit, line, 1);
        keyLayout->addWidget(clear, line, 2);
        keyLayout->addWidget(state, line, 3);
        connect(edit, &QKeySequenceEdit::editingFinished, this, [this, action, edit] {
            QString key = firstChord(edit->keySequence());
            if (!DrillOptions::isUsableKey(key)) {
                // Refused: the key it had stays, and the state text says why.
                key = m_current.key(action);
                setKeyState(action, QStringLiteral("须含 Ctrl 或 Alt"));
            }
            edit->setKeySequence(QKeySequence::fromString(key, QKeySequence::PortableText));
            takeKey(action, key);
        });
        connect(clear, &QPushButton::clicked, this, [this, action, edit] {
            edit->clear();
            takeKey(action, QString());
        });
        ++line;
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FormOptions::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(drill);
    layout->addWidget(m_speech);
    layout->addWidget(keys);
    layout->addWidget(buttons);
    resize(sizeHint());
    // Sized to its contents in the font in use, then fixed like the program's other windows.
    FixedWindow::setUp(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

FormOptions::~FormOptions() = default;

DrillOptions FormOptions::options() const
{
    DrillOptions options = m_current;
    options.hoverPause = m_hoverPause->isChecked();
    options.textSize = static_cast<DrillOptions::TextSize>(qBound(0, m_textSize->currentIndex(), 2));
    options.knownTakePart = m_knownTakePart->isChecked();
    options.autoSpeak = m_autoSpeak->isChecked();
    options.speechRate = m_speechRate->value();
    options.englishVoice = m_englishVoice->currentData().toString();
    options.chineseVoice = m_chineseVoice->currentData().toString();
    return options;
}

void FormOptions::setSpeech(const SpeechChoices &choices)
{
    auto fill = [](QComboBox *box, const QList<QPair<QString, QString>> &voices, const QString &chosen) {
        box->clear();
        box->addItem(QStringLiteral("自动选择"), QString());
        for (const auto &[id, name] : voices)
            box->addItem(name, id);
        // A chosen voice no longer installed is kept, so OK does not forget it.
        int at = box->findData(chosen);
        if (at < 0 && !chosen.isEmpty()) {
            box->addItem(chosen + QStringLiteral("（未安装）"), chosen);
            at = box->count() - 1;
        }
        box->setCurrentIndex(qMax(at, 0));
    };
    fill(m_englishVoice, choices.english, m_current.englishVoice);
    fill(m_chineseVoice, choices.chinese, m_current.chineseVoice);
    for (QWidget *w : {static_cast<QWidget *>(m_autoSpeak), static_cast<QWidget *>(m_englishVoice),
                       static_cast<QWidget *>(m_chineseVoice), static_cast<QWidget *>(m_speechRate)}) {
        w->setEnabled(choices.available);
        w->setToolTip(choices.available ? QString() : choices.reason);
    }
    m_speechState->setText(choices.available ? QString() : choices.reason);
    m_speechState->setVisible(!choices.available);
    // The window keeps a fixed size: the size its contents need now. (adjustSize() would cap it
    // at two thirds of the screen and squeeze the rows on a small or highly scaled screen.)
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setFixedSize(sizeHint());
}

void FormOptions::setKeyState(DrillOptions::KeyAction action, const QString &state)
{
    QLabel *label = m_keyStates[static_cast<size_t>(action)];
    label->setText(state);
    m_keyEdits[static_cast<size_t>(action)]->setAccessibleDescription(state);
}

QString FormOptions::keyState(DrillOptions::KeyAction action) const
{
    return m_keyStates[static_cast<size_t>(action)]->text();
}

void FormOptions::takeKey(DrillOptions::KeyAction action, const QString &key)
{
    if (m_current.key(action) == key)
        return;
    m_current.setKey(action, key);
    Q_EMIT keyChanged(action, key);
}

void FormOptions::accept()
{
    for (DrillOptions::KeyAction action : DrillOptions::keyActions()) {
        const QString key = firstChord(m_keyEdits[static_cast<size_t>(action)]->keySequence());
        if (DrillOptions::isUsableKey(key))
            takeKey(action, key);
    }
    QDialog::accept();
}

void FormOptions::reject()
{
    // The keys go back to what they were before the window opened.
    for (DrillOptions::KeyAction action : DrillOptions::keyActions()) {
        if (m_current.key(action) != m_original.key(action)) {
            m_current.setKey(action, m_original.key(action));
            Q_EMIT keyChanged(action, m_original.key(action));
        }
    }
    QDialog::reject();
}

void FormOptions::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        FixedWindow::centre(this, m_centreOn ? m_centreOn.data() : QGuiApplication::primaryScreen());
    }
    QDialog::showEvent(event);
}
