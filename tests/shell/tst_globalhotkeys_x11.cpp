// Global keys on a real X server (Xvfb with icewm, through run-in-x) while another program has
// the focus: Num Lock and Caps Lock, held keys, keys others hold, keys given back.
#include "shell/GlobalHotkeys.h"
#include "shell/HotkeyCodes.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

const QKeySequence ctrlAltN(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N);
const QKeySequence ctrlAltM(Qt::ControlModifier | Qt::AltModifier | Qt::Key_M);

// xdotool with space-separated arguments ("key ctrl+alt+n"); its output.
QString xdotool(const QString &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args.split(u' '));
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Another X client, as any other program would be: its own connection.
struct OtherClient
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    ~OtherClient() { xcb_disconnect(c); }

    // Grabs the key with these lock modifiers; keeps the grab only when asked to.
    bool grab(const QKeySequence &key, uint16_t locks = 0, bool keep = false) const
    {
        const HotkeyCodes::X11Key x11 = HotkeyCodes::x11(key[0]);
        const auto mods = static_cast<uint16_t>(x11.modifiers | locks);
        const xcb_setup_t *setup = xcb_get_setup(c);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto *map = xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr);
        int i = 0; // the key whose first keysym it is
        while (i < count && xcb_get_keyboard_mapping_keysyms(map)[i * map->keysyms_per_keycode] != x11.keysym)
            ++i;
        const auto code = xcb_keycode_t(setup->min_keycode + i);
        std::free(map);
        xcb_generic_error_t *error = xcb_request_check(
            c, xcb_grab_key_checked(c, 0, root, mods, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        if (!error && !keep)
            xcb_ungrab_key(c, code, root, mods);
        xcb_flush(c);
        return !error;
    }
    uint16_t locks() const // the keyboard's lock state, as the pointer query reports it
    {
        auto *reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
        const uint16_t mask = reply ? reply->mask & (XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2) : 0;
        std::free(reply);
        return mask;
    }
};

} // namespace

class TestGlobalHotkeysX11 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void pressedInAnotherProgram_data();
    void pressedInAnotherProgram();
    void keysOthersHoldAreTaken();
    void keysAreGivenBack();

private:
    QProcess m_work; // killed with the test
    OtherClient m_other;
};

void TestGlobalHotkeysX11::initTestCase()
{
    QVERIFY2(GlobalHotkeys::available(), "needs an X server and QT_QPA_PLATFORM=xcb");
    // The focus is on another program's window throughout; this test has none of its own.
    m_work.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("Work"), QStringLiteral("work")});
    QString window;
    QTRY_VERIFY(!(window = xdotool(QStringLiteral("search --onlyvisible --name ^Work$"))).isEmpty());
    xdotool(QStringLiteral("windowactivate --sync ") + window);
    QCOMPARE(xdotool(QStringLiteral("getactivewindow")), window);
}

void TestGlobalHotkeysX11::pressedInAnotherProgram_data()
{
    QTest::addColumn<uint16_t>("locks");
    QTest::newRow("no lock") << uint16_t(0);
    QTest::newRow("Num Lock") << uint16_t(XCB_MOD_MASK_2);
    QTest::newRow("Caps Lock") << uint16_t(XCB_MOD_MASK_LOCK);
    QTest::newRow("both") << uint16_t(XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
}

void TestGlobalHotkeysX11::pressedInAnotherProgram()
{
    QFETCH(uint16_t, locks);
    if ((m_other.locks() ^ locks) & XCB_MOD_MASK_2)
        xdotool(QStringLiteral("key Num_Lock"));
    if ((m_other.locks() ^ locks) & XCB_MOD_MASK_LOCK)
        xdotool(QStringLiteral("key Caps_Lock"));
    QCOMPARE(m_other.locks(), locks);

    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(7, ctrlAltN), GlobalHotkeys::State::Registered);
    // Held for over a second, the key repeats: it still counts once.
    xdotool(QStringLiteral("keydown ctrl+alt+n sleep 1.2 keyup ctrl+alt+n"));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 7);
    // The same letter with other modifiers is not the key.
    xdotool(QStringLiteral("key ctrl+n ctrl+alt+shift+n"));
    QTest::qWait(300);
    QCOMPARE(spy.count(), 1);
}

void TestGlobalHotkeysX11::keysOthersHoldAreTaken()
{
    GlobalHotkeys keys;
    // The window manager holds Ctrl+Alt+D (show the desktop).
    const QKeySequence ctrlAltD(Qt::ControlModifier | Qt::AltModifier | Qt::Key_D);
    QCOMPARE(keys.set(1, ctrlAltD), GlobalHotkeys::State::Taken);
    QCOMPARE(keys.key(1), ctrlAltD);

    // Another program holds the key with Num Lock on only: taken, and the grabs that did succeed
    // are given back, so the key stays whole for whoever wants it.
    QVERIFY(m_other.grab(ctrlAltM, XCB_MOD_MASK_2, true));
    QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Taken);
    QVERIFY(m_other.grab(ctrlAltM));
    QVERIFY(m_other.grab(ctrlAltM, XCB_MOD_MASK_LOCK));
    xcb_ungrab_key(m_other.c, XCB_GRAB_ANY, m_other.root, XCB_MOD_MASK_ANY);

    // Another action of the same program; keys that cannot be global (which keys: tst_hotkeycodes).
    QCOMPARE(keys.set(3, ctrlAltN), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.set(4, ctrlAltN), GlobalHotkeys::State::Taken);
    QCOMPARE(keys.set(7, QKeySequence(Qt::ShiftModifier | Qt::Key_N)), GlobalHotkeys::State::Invalid);
    QCOMPARE(keys.set(8, QKeySequence(ctrlAltM[0], ctrlAltM[0])), GlobalHotkeys::State::Invalid);
}

void TestGlobalHotkeysX11::keysAreGivenBack()
{
    {
        GlobalHotkeys keys;
        QSignalSpy spy(&keys, &GlobalHotkeys::activated);
        QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
        QVERIFY(!m_other.grab(ctrlAltN));
        // A changed key gives the old one back.
        QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);
        QVERIFY(m_other.grab(ctrlAltN, XCB_MOD_MASK_2));
        xdotool(QStringLiteral("key ctrl+alt+n ctrl+alt+m"));
        QTRY_COMPARE(spy.count(), 1);
        // So do an empty key and releaseAll.
        QCOMPARE(keys.set(1, QKeySequence()), GlobalHotkeys::State::Off);
        QVERIFY(m_other.grab(ctrlAltM));
        QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);
        keys.releaseAll();
        QVERIFY(m_other.grab(ctrlAltM, XCB_MOD_MASK_LOCK));
        QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Registered);
    }
    // Destroyed, as at the program's end.
    QVERIFY(m_other.grab(ctrlAltM, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
}

QTEST_MAIN(TestGlobalHotkeysX11)
#include "tst_globalhotkeys_x11.moc"
