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
};

void TestHotkeyCodes::translation_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<uint>("keysym");
    QTest::addColumn<uint>("x11Mods");
    QTest::addColumn<uint>("vk");
    QTest::addColumn<uint>("winMods");

    const auto ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    const uint x11CA = X11Control | X11Mod1;
    const uint winCA = WinControl | WinAlt;
    // The drill's keys and the ends of each range.
    QTest::newRow("Ctrl+Alt+N") << (ctrlAlt | Qt::Key_N) << 0x6eu << x11CA << 0x4eu << winCA;
    QTest::newRow("Ctrl+Alt+A") << (ctrlAlt | Qt::Key_A) << 0x61u << x11CA << 0x41u << winCA;
    QTest::newRow("Ctrl+Alt+Z") << (ctrlAlt | Qt::Key_Z) << 0x7au << x11CA << 0x5au << winCA;
    QTest::newRow("Ctrl+0") << (Qt::ControlModifier | Qt::Key_0) << 0x30u << uint(X11Control) << 0x30u << uint(WinControl);
    QTest::newRow("Alt+9") << (Qt::AltModifier | Qt::Key_9) << 0x39u << uint(X11Mod1) << 0x39u << uint(WinAlt);
    QTest::newRow("Meta+F1") << (Qt::MetaModifier | Qt::Key_F1) << 0xffbeu << uint(X11Mod4) << 0x70u << uint(WinWin);
    QTest::newRow("Ctrl+F24") << (Qt::ControlModifier | Qt::Key_F24) << 0xffd5u << uint(X11Control) << 0x87u << uint(WinControl);
    QTest::newRow("Ctrl+Shift+Left") << (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Left) << 0xff51u
                                     << uint(X11Control | X11Shift) << 0x25u << uint(WinControl | WinShift);
    QTest::newRow("Ctrl+Alt+Down") << (ctrlAlt | Qt::Key_Down) << 0xff54u << x11CA << 0x28u << winCA;
    QTest::newRow("Ctrl+Alt+Space") << (ctrlAlt | Qt::Key_Space) << 0x20u << x11CA << 0x20u << winCA;
    QTest::newRow("Ctrl+Alt+PgDown") << (ctrlAlt | Qt::Key_PageDown) << 0xff56u << x11CA << 0x22u << winCA;
    QTest::newRow("Ctrl+Alt+Delete") << (ctrlAlt | Qt::Key_Delete) << 0xffffu << x11CA << 0x2eu << winCA;
    QTest::newRow("Ctrl+Alt+,") << (ctrlAlt | Qt::Key_Comma) << 0x2cu << x11CA << 0xbcu << winCA;
    QTest::newRow("Ctrl+Alt+`") << (ctrlAlt | Qt::Key_QuoteLeft) << 0x60u << x11CA << 0xc0u << winCA;
    // With Shift, Qt names the shifted character: the key is still the unshifted one.
    QTest::newRow("Ctrl+Shift+!") << (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Exclam) << 0x31u
                                  << uint(X11Control | X11Shift) << 0x31u << uint(WinControl | WinShift);
    QTest::newRow("Ctrl+Shift+?") << (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Question) << 0x2fu
                                  << uint(X11Control | X11Shift) << 0xbfu << uint(WinControl | WinShift);
    QTest::newRow("Ctrl+Shift+Backtab") << (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Backtab) << 0xff09u
                                        << uint(X11Control | X11Shift) << 0x09u << uint(WinControl | WinShift);

    // Not global: a plain or shifted key would take typing from every program.
    QTest::newRow("N") << QKeyCombination(Qt::Key_N) << 0u << 0u << 0u << 0u;
    QTest::newRow("Shift+F5") << (Qt::ShiftModifier | Qt::Key_F5) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+! without Shift") << (Qt::ControlModifier | Qt::Key_Exclam) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt+keypad 1") << (ctrlAlt | Qt::KeypadModifier | Qt::Key_1) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt alone") << (ctrlAlt | Qt::Key_Alt) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt+F25") << (ctrlAlt | Qt::Key_F25) << 0u << 0u << 0u << 0u;
    QTest::newRow("Ctrl+Alt+é") << (ctrlAlt | Qt::Key_Eacute) << 0u << 0u << 0u << 0u;
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

QTEST_GUILESS_MAIN(TestHotkeyCodes)
#include "tst_hotkeycodes.moc"
