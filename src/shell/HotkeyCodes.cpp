#include "HotkeyCodes.h"

#include <array>

namespace {

struct NamedKey
{
    Qt::Key key;
    quint32 keysym;
    quint32 vk;
};

// Keys beyond the letter, digit and F-key ranges. The punctuation keys' virtual-key codes are
// the VK_OEM_* of the US layout, the one Chinese keyboards share.
constexpr std::array namedKeys{
    NamedKey{Qt::Key_Space, 0x0020, 0x20},        NamedKey{Qt::Key_Left, 0xff51, 0x25},
    NamedKey{Qt::Key_Up, 0xff52, 0x26},           NamedKey{Qt::Key_Right, 0xff53, 0x27},
    NamedKey{Qt::Key_Down, 0xff54, 0x28},         NamedKey{Qt::Key_Home, 0xff50, 0x24},
    NamedKey{Qt::Key_End, 0xff57, 0x23},          NamedKey{Qt::Key_PageUp, 0xff55, 0x21},
    NamedKey{Qt::Key_PageDown, 0xff56, 0x22},     NamedKey{Qt::Key_Insert, 0xff63, 0x2d},
    NamedKey{Qt::Key_Delete, 0xffff, 0x2e},       NamedKey{Qt::Key_Backspace, 0xff08, 0x08},
    NamedKey{Qt::Key_Tab, 0xff09, 0x09},          NamedKey{Qt::Key_Return, 0xff0d, 0x0d},
    NamedKey{Qt::Key_Escape, 0xff1b, 0x1b},       NamedKey{Qt::Key_Pause, 0xff13, 0x13},
    NamedKey{Qt::Key_Print, 0xff61, 0x2c},        NamedKey{Qt::Key_Comma, 0x002c, 0xbc},
    NamedKey{Qt::Key_Period, 0x002e, 0xbe},       NamedKey{Qt::Key_Minus, 0x002d, 0xbd},
    NamedKey{Qt::Key_Equal, 0x003d, 0xbb},        NamedKey{Qt::Key_Slash, 0x002f, 0xbf},
    NamedKey{Qt::Key_Semicolon, 0x003b, 0xba},    NamedKey{Qt::Key_Apostrophe, 0x0027, 0xde},
    NamedKey{Qt::Key_BracketLeft, 0x005b, 0xdb},  NamedKey{Qt::Key_BracketRight, 0x005d, 0xdd},
    NamedKey{Qt::Key_Backslash, 0x005c, 0xdc},    NamedKey{Qt::Key_QuoteLeft, 0x0060, 0xc0},
};

// With Shift held, Qt names the character the key gives (Ctrl+Shift+1 arrives as Ctrl+Shift+!);
// the key itself is the unshifted one, as on the US layout.
constexpr std::array<std::pair<Qt::Key, Qt::Key>, 21> shiftedKeys{{
    {Qt::Key_Exclam, Qt::Key_1},       {Qt::Key_At, Qt::Key_2},           {Qt::Key_NumberSign, Qt::Key_3},
    {Qt::Key_Dollar, Qt::Key_4},       {Qt::Key_Percent, Qt::Key_5},      {Qt::Key_AsciiCircum, Qt::Key_6},
    {Qt::Key_Ampersand, Qt::Key_7},    {Qt::Key_Asterisk, Qt::Key_8},     {Qt::Key_ParenLeft, Qt::Key_9},
    {Qt::Key_ParenRight, Qt::Key_0},   {Qt::Key_Underscore, Qt::Key_Minus}, {Qt::Key_Plus, Qt::Key_Equal},
    {Qt::Key_BraceLeft, Qt::Key_BracketLeft}, {Qt::Key_BraceRight, Qt::Key_BracketRight},
    {Qt::Key_Bar, Qt::Key_Backslash},  {Qt::Key_Colon, Qt::Key_Semicolon}, {Qt::Key_QuoteDbl, Qt::Key_Apostrophe},
    {Qt::Key_Less, Qt::Key_Comma},     {Qt::Key_Greater, Qt::Key_Period}, {Qt::Key_Question, Qt::Key_Slash},
    {Qt::Key_AsciiTilde, Qt::Key_QuoteLeft},
}};

struct Codes
{
    quint32 keysym = 0;
    quint32 vk = 0;
};

// The key of the combination in both systems' codes, or zeros.
Codes codesOf(QKeyCombination combination)
{
    const Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    constexpr Qt::KeyboardModifiers allowed = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier;
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) || (mods & ~allowed))
        return {};

    Qt::Key key = combination.key();
    if (mods & Qt::ShiftModifier) {
        if (key == Qt::Key_Backtab)
            key = Qt::Key_Tab;
        for (const auto &[shifted, plain] : shiftedKeys) {
            if (key == shifted)
                key = plain;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) // lower-case keysyms: the key's first level
        return {quint32(key - Qt::Key_A) + 0x61, quint32(key)};
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return {quint32(key), quint32(key)};
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return {quint32(key - Qt::Key_F1) + 0xffbe, quint32(key - Qt::Key_F1) + 0x70};
    for (const NamedKey &named : namedKeys) {
        if (key == named.key)
            return {named.keysym, named.vk};
    }
    return {};
}

} // namespace

namespace HotkeyCodes {

bool isGlobalKey(QKeyCombination key)
{
    return codesOf(key).vk != 0;
}

X11Key x11(QKeyCombination key)
{
    const Codes codes = codesOf(key);
    if (!codes.keysym)
        return {};
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    quint16 mask = 0;
    if (mods & Qt::ShiftModifier)
        mask |= X11Shift;
    if (mods & Qt::ControlModifier)
        mask |= X11Control;
    if (mods & Qt::AltModifier)
        mask |= X11Mod1;
    if (mods & Qt::MetaModifier)
        mask |= X11Mod4;
    return {codes.keysym, mask};
}

WinKey win(QKeyCombination key)
{
    const Codes codes = codesOf(key);
    if (!codes.vk)
        return {};
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    quint32 flags = 0;
    if (mods & Qt::ShiftModifier)
        flags |= WinShift;
    if (mods & Qt::ControlModifier)
        flags |= WinControl;
    if (mods & Qt::AltModifier)
        flags |= WinAlt;
    if (mods & Qt::MetaModifier)
        flags |= WinWin;
    return {codes.vk, flags};
}

} // namespace HotkeyCodes
