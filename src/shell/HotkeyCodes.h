#pragma once

#include <QtGlobal>
#include <QKeyCombination>

// A key combination in the terms each system's global-key call takes. Pure functions, so the
// rules are the same (and testable) everywhere; the calls themselves are in GlobalHotkeys_*.cpp.
//
// A combination that can be global has Ctrl, Alt or Meta (the Windows key), with or without
// Shift, on a letter, digit, F1-F24, an arrow, Space or one of the common named and punctuation
// keys. A plain key (or Shift plus a key) cannot be global: it would take that character from
// every program's typing. Keypad keys and modifier keys alone cannot be global either.
namespace HotkeyCodes {

// X11: the keysym to look up in the keyboard map and the modifier mask for a passive grab, with
// Alt as Mod1 and the Windows key as Mod4 (what every common keyboard map does).
struct X11Key
{
    quint32 keysym = 0;
    quint16 modifiers = 0;
    bool isValid() const { return keysym != 0; }
    friend bool operator==(const X11Key &, const X11Key &) = default;
};

// Windows: the virtual-key code and the MOD_* flags of RegisterHotKey (MOD_NOREPEAT not included).
struct WinKey
{
    quint32 vk = 0;
    quint32 modifiers = 0;
    bool isValid() const { return vk != 0; }
    friend bool operator==(const WinKey &, const WinKey &) = default;
};

// X11 modifier bits (ShiftMask, ControlMask, Mod1Mask, Mod4Mask).
inline constexpr quint16 X11Shift = 0x01;
inline constexpr quint16 X11Control = 0x04;
inline constexpr quint16 X11Mod1 = 0x08;
inline constexpr quint16 X11Mod4 = 0x40;

// RegisterHotKey's flags (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr quint32 WinAlt = 0x0001;
inline constexpr quint32 WinControl = 0x0002;
inline constexpr quint32 WinShift = 0x0004;
inline constexpr quint32 WinWin = 0x0008;

// Whether the combination can be a global key at all (both translations below are valid then).
bool isGlobalKey(QKeyCombination key);

// An invalid result (keysym / vk 0) for a combination that cannot be global.
X11Key x11(QKeyCombination key);
WinKey win(QKeyCombination key);

} // namespace HotkeyCodes
