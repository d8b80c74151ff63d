#include "shell/GlobalHotkeys.h"
#include "shell/HotkeyCodes.h"

#include <QTest>

using namespace HotkeyCodes;

Q_DECLARE_METATYPE(QKeyCombination)

class TestHotkeyCodes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void translation_data();
    void translation();
    void unavailableDesktop();
};

void TestHotkeyCodes::translation_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("x11Mods");
    QTest::addColumn<uint>("vk");
    QTest::addColumn<uint>("winMods");

    const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const uint x11CA = X11Control | X11Mod1, winCA = WinControl | WinAlt;
    const uint x11CS = X11Control | X11Shift, winCS = WinControl | WinShift;
    // The drill's keys and the ends of each range.
    QTest::newRow("Ctrl+Alt+N") << (ctrlAlt | Qt::Key_N) << 0x6eu << x11CA << 0x4eu << winCA;
    QTest::newRow("Ctrl+0") << (Qt::ControlModifier | Qt::Key_0) << 0x30u << uint(X11Control) << 0x30u << uint(WinControl);
    QTest::newRow("Meta+F1") << (Qt::MetaModifier | Qt::Key_F1) << 0xffbeu << uint(X11Mod4) << 0x70u << uint(WinWin);
    QTest::newRow("Ctrl+Alt+F24") << (ctrlAlt | Qt::Key_F24) << 0xffd5u << x11CA << 0x87u << winCA;
    QTest::newRow("Ctrl+Shift+Left") << (ctrlShift | Qt::Key_Left) << 0xff51u << x11CS << 0x25u << winCS;
    QTest::newRow("Ctrl+Alt+Space") << (ctrlAlt | Qt::Key_Space) << 0x20u << x11CA << 0x20u << winCA;
    QTest::newRow("Ctrl+Alt+,") << (ctrlAlt | Qt::Key_Comma) << 0x2cu << x11CA << 0xbcu << winCA;
    // With Shift, Qt names the shifted character: the key is still the unshifted one.
    QTest::newRow("Ctrl+Shift+!") << (ctrlShift | Qt::Key_Exclam) << 0x31u << x11CS << 0x31u << winCS;
    QTest::newRow("Ctrl+Shift+Backtab") << (ctrlShift | Qt::Key_Backtab) << 0xff09u << x11CS << 0x09u << winCS;

    // Not global: a plain or shifted key would take typing from every program.
    QTest::newRow("N") << QKeyCombination(Qt::Key_N) << 0u << 0u << 0u << 0u;
    QTest::newRow("Shift+F5") << (Qt::ShiftModifier | Qt::Key_F5) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+! without Shift") << (Qt::ControlModifier | Qt::Key_Exclam) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt+keypad 1") << (ctrlAlt | Qt::KeypadModifier | Qt::Key_1) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt+F25") << (ctrlAlt | Qt::Key_F25) << 0u << 0u << 0u << 0u;
}

void TestHotkeyCodes::translation()
{
    QFETCH(QKeyCombination, key);
    QFETCH(uint, keysym);
    QFETCH(uint, x11Mods);
    QFETCH(uint, vk);
    QFETCH(uint, winMods);

    QCOMPARE(x11(key), (X11Key{keysym, quint16(x11Mods)}));
    QCOMPARE(win(key), (WinKey{vk, winMods}));
    QCOMPARE(isGlobalKey(key), vk != 0);
}

// Offscreen, as on a Wayland session: no global keys, and every key says so.
void TestHotkeyCodes::unavailableDesktop()
{
    if (GlobalHotkeys::available())
        QSKIP("this system has global keys");
    GlobalHotkeys keys;
    QCOMPARE(keys.set(1, QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N)), GlobalHotkeys::State::Unsupported);
    QCOMPARE(keys.key(1), QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N));
    QCOMPARE(keys.set(1, QKeySequence()), GlobalHotkeys::State::Off);
}

QTEST_MAIN(TestHotkeyCodes)
#include "tst_hotkeycodes.moc"
