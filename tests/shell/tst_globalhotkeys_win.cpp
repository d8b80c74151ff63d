// Global keys on Windows (run under Wine by the Windows build's ctest): registration, the key's
// message reaching `activated`, keys another program holds, keys given back.
#include "shell/GlobalHotkeys.h"

#include <QSignalSpy>
#include <QTest>

#include <windows.h>

namespace {

const QKeySequence ctrlAltN(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N);
const QKeySequence ctrlAltM(Qt::ControlModifier | Qt::AltModifier | Qt::Key_M);

// Whether another program could take the key now: a registration of the test's own thread.
bool othersCanRegister(UINT vk)
{
    if (!RegisterHotKey(nullptr, 0xB000, MOD_CONTROL | MOD_ALT, vk))
        return false;
    UnregisterHotKey(nullptr, 0xB000);
    return true;
}

HWND keyWindow()
{
    return FindWindowExW(HWND_MESSAGE, nullptr, L"TanvicQuorvelHotkeys", nullptr);
}

} // namespace

class TestGlobalHotkeysWin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keyMessageActivates();
    void keysOthersHoldAreTaken();
    void changedAndReleasedKeysAreFree();
};

void TestGlobalHotkeysWin::keyMessageActivates()
{
    QVERIFY(GlobalHotkeys::available());
    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(40000, ctrlAltM), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.set(-2, ctrlAltN), GlobalHotkeys::State::Registered);
    const HWND window = keyWindow();
    QVERIFY(window);

    // The system posts WM_HOTKEY with the key's id to the window that registered it; the second
    // key got the second id.
    PostMessageW(window, WM_HOTKEY, 2, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), -2);
    PostMessageW(window, WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'M'));
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 40000);
}

void TestGlobalHotkeysWin::keysOthersHoldAreTaken()
{
    QVERIFY(RegisterHotKey(nullptr, 0xB001, MOD_CONTROL | MOD_ALT, 'M'));
    GlobalHotkeys keys;
    QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Taken);
    UnregisterHotKey(nullptr, 0xB001);
    QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);

    GlobalHotkeys second;
    QCOMPARE(second.set(1, ctrlAltM), GlobalHotkeys::State::Taken);
}

void TestGlobalHotkeysWin::changedAndReleasedKeysAreFree()
{
    {
        GlobalHotkeys keys;
        QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
        QVERIFY(!othersCanRegister('N'));
        QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);
        QVERIFY(othersCanRegister('N'));
        QVERIFY(!othersCanRegister('M'));
        keys.releaseAll();
        QVERIFY(othersCanRegister('M'));
        QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Registered);
    }
    // Destroyed, as at the program's end.
    QVERIFY(othersCanRegister('M'));
}

QTEST_MAIN(TestGlobalHotkeysWin)
#include "tst_globalhotkeys_win.moc"
