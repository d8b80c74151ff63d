// Global keys on Windows, run under Wine by the Windows build's ctest. (Wine ignores
// MOD_NOREPEAT, so a key held down is not tried here.)
#include "shell/GlobalHotkeys.h"

#include <QSignalSpy>
#include <QTest>

#include <windows.h>

namespace {

const QKeySequence ctrlAltN(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N);
const QKeySequence ctrlAltM(Qt::ControlModifier | Qt::AltModifier | Qt::Key_M);

// Whether another program could take Ctrl+Alt+vk now (the test's own thread stands for it).
bool othersCanRegister(UINT vk)
{
    const bool free = RegisterHotKey(nullptr, 0xB000, MOD_CONTROL | MOD_ALT, vk);
    UnregisterHotKey(nullptr, 0xB000);
    return free;
}

// Ctrl+Alt+vk typed, as the keyboard gives it.
void type(WORD vk)
{
    const WORD keys[] = {VK_CONTROL, VK_MENU, vk, vk, VK_MENU, VK_CONTROL};
    INPUT input[6] = {};
    for (int i = 0; i < 6; ++i)
        input[i] = INPUT{INPUT_KEYBOARD, {.ki = {keys[i], 0, i < 3 ? 0u : DWORD(KEYEVENTF_KEYUP), 0, 0}}};
    QCOMPARE(SendInput(6, input, sizeof(INPUT)), 6u);
}

} // namespace

class TestGlobalHotkeysWin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typedKeyActivates();
    void keysAreTakenAndGivenBack();
};

void TestGlobalHotkeysWin::typedKeyActivates()
{
    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(40000, ctrlAltM), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.set(-2, ctrlAltN), GlobalHotkeys::State::Registered);
    type('N');
    QTRY_COMPARE(spy.count(), 1);
    type('M');
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), -2);
    QCOMPARE(spy.at(1).at(0).toInt(), 40000);
}

void TestGlobalHotkeysWin::keysAreTakenAndGivenBack()
{
    {
        QVERIFY(RegisterHotKey(nullptr, 0xB001, MOD_CONTROL | MOD_ALT, 'M'));
        GlobalHotkeys keys;
        QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Taken);
        UnregisterHotKey(nullptr, 0xB001);
        QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
        QVERIFY(!othersCanRegister('N'));
        // A changed key gives the old one back; so does releaseAll.
        QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);
        QVERIFY(othersCanRegister('N') && !othersCanRegister('M'));
        keys.releaseAll();
        QVERIFY(othersCanRegister('M'));
        QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Registered);
    }
    // Destroyed, as at the program's end.
    QVERIFY(othersCanRegister('M'));
}

QTEST_MAIN(TestGlobalHotkeysWin)
#include "tst_globalhotkeys_win.moc"
