// Global keys on a real X server (Xvfb with icewm, through run-in-x): keys pressed while another
// program has the focus, with Num Lock and Caps Lock, keys other programs hold, and keys given back.
#include "shell/GlobalHotkeys.h"
#include "shell/HotkeyCodes.h"

#include <QGuiApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

const QKeySequence ctrlAltN(Qt::ControlModifier | Qt::AltModifier | Qt::Key_N);
const QKeySequence ctrlAltM(Qt::ControlModifier | Qt::AltModifier | Qt::Key_M);

QString run(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void press(const QString &keys)
{
    run({QStringLiteral("key"), keys});
}

} // namespace

class TestGlobalHotkeysX11 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void pressedInAnotherProgram_data();
    void pressedInAnotherProgram();
    void keysOthersHoldAreTaken();
    void changingAKeyReleasesTheOldOne();
    void releasedKeysAreFreeForOthers();
    void keysThatCannotBeGlobal();
    void heldDownActivatesOnce();

private:
    // Another X client: its own connection, as any other program would have.
    bool otherGrabs(const QKeySequence &key, uint16_t extraModifiers = 0);
    void otherUngrabs(const QKeySequence &key, uint16_t extraModifiers = 0);
    uint16_t lockState();
    void setLocks(bool numLock, bool capsLock);

    QProcess m_focus;
    xcb_connection_t *m_other = nullptr;
    xcb_window_t m_root = 0;
};

void TestGlobalHotkeysX11::initTestCase()
{
    QVERIFY2(GlobalHotkeys::available(), "needs an X server and QT_QPA_PLATFORM=xcb");
    m_other = xcb_connect(nullptr, nullptr);
    QVERIFY(!xcb_connection_has_error(m_other));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_other)).data->root;

    // The focus is on another program's window throughout; this test has none of its own.
    m_focus.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("Work"), QStringLiteral("work")});
    QString window;
    for (int i = 0; i < 100 && window.isEmpty(); ++i) {
        window = run({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^Work$")});
        if (window.isEmpty())
            QTest::qWait(100);
    }
    QVERIFY(!window.isEmpty());
    run({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    QCOMPARE(run({QStringLiteral("getactivewindow")}), window);
}

void TestGlobalHotkeysX11::cleanupTestCase()
{
    setLocks(false, false);
    m_focus.kill();
    m_focus.waitForFinished();
    if (m_other)
        xcb_disconnect(m_other);
}

xcb_keycode_t keycodeOf(xcb_connection_t *c, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto *map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
    auto freeMap = qScopeGuard([&] { std::free(map); });
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map);
    for (int i = 0; i < count; ++i) {
        if (syms[i * map->keysyms_per_keycode] == keysym)
            return static_cast<xcb_keycode_t>(setup->min_keycode + i);
    }
    return 0;
}

bool TestGlobalHotkeysX11::otherGrabs(const QKeySequence &key, uint16_t extraModifiers)
{
    const HotkeyCodes::X11Key x11 = HotkeyCodes::x11(key[0]);
    xcb_generic_error_t *error = xcb_request_check(
        m_other, xcb_grab_key_checked(m_other, 0, m_root, static_cast<uint16_t>(x11.modifiers | extraModifiers),
                                      keycodeOf(m_other, x11.keysym), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::free(error);
    return !error;
}

void TestGlobalHotkeysX11::otherUngrabs(const QKeySequence &key, uint16_t extraModifiers)
{
    const HotkeyCodes::X11Key x11 = HotkeyCodes::x11(key[0]);
    xcb_ungrab_key(m_other, keycodeOf(m_other, x11.keysym), m_root, static_cast<uint16_t>(x11.modifiers | extraModifiers));
    xcb_flush(m_other);
}

// The keyboard's modifier state as the server has it (the pointer query reports it).
uint16_t TestGlobalHotkeysX11::lockState()
{
    auto *reply = xcb_query_pointer_reply(m_other, xcb_query_pointer(m_other, m_root), nullptr);
    const uint16_t mask = reply ? reply->mask : 0;
    std::free(reply);
    return mask & (XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
}

void TestGlobalHotkeysX11::setLocks(bool numLock, bool capsLock)
{
    if (bool(lockState() & XCB_MOD_MASK_2) != numLock)
        press(QStringLiteral("Num_Lock"));
    if (bool(lockState() & XCB_MOD_MASK_LOCK) != capsLock)
        press(QStringLiteral("Caps_Lock"));
}

void TestGlobalHotkeysX11::pressedInAnotherProgram_data()
{
    QTest::addColumn<bool>("numLock");
    QTest::addColumn<bool>("capsLock");
    QTest::newRow("no lock") << false << false;
    QTest::newRow("Num Lock") << true << false;
    QTest::newRow("Caps Lock") << false << true;
    QTest::newRow("both") << true << true;
}

void TestGlobalHotkeysX11::pressedInAnotherProgram()
{
    QFETCH(bool, numLock);
    QFETCH(bool, capsLock);
    setLocks(numLock, capsLock);
    QCOMPARE(lockState(), uint16_t((numLock ? XCB_MOD_MASK_2 : 0) | (capsLock ? XCB_MOD_MASK_LOCK : 0)));

    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(7, ctrlAltN), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.set(-3, QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::Key_F5)),
             GlobalHotkeys::State::Registered);

    press(QStringLiteral("ctrl+alt+n"));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 7);
    press(QStringLiteral("ctrl+alt+shift+F5"));
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), -3);
    // The same letter with other modifiers is not the key.
    press(QStringLiteral("ctrl+n"));
    press(QStringLiteral("ctrl+alt+shift+n"));
    QTest::qWait(300);
    QCOMPARE(spy.count(), 2);
}

void TestGlobalHotkeysX11::keysOthersHoldAreTaken()
{
    GlobalHotkeys keys;
    // The window manager holds Ctrl+Alt+D (show the desktop).
    QCOMPARE(keys.set(1, QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::Key_D)), GlobalHotkeys::State::Taken);
    QCOMPARE(keys.key(1), QKeySequence(Qt::ControlModifier | Qt::AltModifier | Qt::Key_D));

    // Another program holds the key only with Num Lock on: still taken, and the grabs that did
    // succeed are given back, so the key is whole for whoever wants it.
    QVERIFY(otherGrabs(ctrlAltM, XCB_MOD_MASK_2));
    QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Taken);
    otherUngrabs(ctrlAltM, XCB_MOD_MASK_2);
    QVERIFY(otherGrabs(ctrlAltM));
    QVERIFY(otherGrabs(ctrlAltM, XCB_MOD_MASK_LOCK));
    otherUngrabs(ctrlAltM);
    otherUngrabs(ctrlAltM, XCB_MOD_MASK_LOCK);

    // Another action of the same program.
    QCOMPARE(keys.set(3, ctrlAltN), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.set(4, ctrlAltN), GlobalHotkeys::State::Taken);
}

void TestGlobalHotkeysX11::changingAKeyReleasesTheOldOne()
{
    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
    QVERIFY(!otherGrabs(ctrlAltN));
    QCOMPARE(keys.set(1, ctrlAltM), GlobalHotkeys::State::Registered);
    QCOMPARE(keys.key(1), ctrlAltM);
    QVERIFY(otherGrabs(ctrlAltN, XCB_MOD_MASK_2));
    otherUngrabs(ctrlAltN, XCB_MOD_MASK_2);

    press(QStringLiteral("ctrl+alt+n"));
    press(QStringLiteral("ctrl+alt+m"));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);

    // An empty key turns the action off.
    QCOMPARE(keys.set(1, QKeySequence()), GlobalHotkeys::State::Off);
    QCOMPARE(keys.state(1), GlobalHotkeys::State::Off);
    QVERIFY(otherGrabs(ctrlAltM));
    otherUngrabs(ctrlAltM);
}

void TestGlobalHotkeysX11::releasedKeysAreFreeForOthers()
{
    {
        GlobalHotkeys keys;
        QSignalSpy spy(&keys, &GlobalHotkeys::activated);
        QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
        QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Registered);
        keys.releaseAll();
        QCOMPARE(keys.state(1), GlobalHotkeys::State::Off);
        QVERIFY(otherGrabs(ctrlAltN, XCB_MOD_MASK_LOCK));
        otherUngrabs(ctrlAltN, XCB_MOD_MASK_LOCK);
        press(QStringLiteral("ctrl+alt+n"));
        QTest::qWait(300);
        QCOMPARE(spy.count(), 0);

        QCOMPARE(keys.set(2, ctrlAltM), GlobalHotkeys::State::Registered);
    }
    // Destroyed (as at the program's end): the key is free.
    QVERIFY(otherGrabs(ctrlAltM, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK));
    otherUngrabs(ctrlAltM, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
}

void TestGlobalHotkeysX11::keysThatCannotBeGlobal()
{
    GlobalHotkeys keys;
    QCOMPARE(keys.set(1, QKeySequence(Qt::Key_N)), GlobalHotkeys::State::Invalid);
    QCOMPARE(keys.set(2, QKeySequence(Qt::ShiftModifier | Qt::Key_N)), GlobalHotkeys::State::Invalid);
    QCOMPARE(keys.set(3, QKeySequence(ctrlAltN[0], ctrlAltM[0])), GlobalHotkeys::State::Invalid);
    QCOMPARE(keys.state(3), GlobalHotkeys::State::Invalid);
    QCOMPARE(keys.state(4), GlobalHotkeys::State::Off);
}

void TestGlobalHotkeysX11::heldDownActivatesOnce()
{
    GlobalHotkeys keys;
    QSignalSpy spy(&keys, &GlobalHotkeys::activated);
    QCOMPARE(keys.set(1, ctrlAltN), GlobalHotkeys::State::Registered);
    // Held for a second and a half, the key repeats (the server's auto-repeat) without a release.
    run({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+n"), QStringLiteral("sleep"), QStringLiteral("1.5"),
         QStringLiteral("keyup"), QStringLiteral("ctrl+alt+n")});
    QTest::qWait(300);
    QCOMPARE(spy.count(), 1);
    press(QStringLiteral("ctrl+alt+n"));
    QTRY_COMPARE(spy.count(), 2);
}

QTEST_MAIN(TestGlobalHotkeysX11)
#include "tst_globalhotkeys_x11.moc"
