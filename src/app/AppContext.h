#pragma once

#include <QString>

#include <functional>
#include <memory>

class Dialogs;
class Launcher;
class QObject;
class SpeechEngine;

// What the main window gets from outside, so tests can hand it a temporary program folder, a
// temporary settings file and scripted dialogs. The dialogs and the launcher are always there.
struct AppContext
{
    QString programFolder;    // folder of the running executable, no trailing separator
    QString executablePath;   // the running executable itself
    QString settingsPath;     // ini file; empty means the platform's own store (the registry on Windows)
    QString instanceLockPath; // lock file that marks the running instance of this user
    Dialogs &dialogs;
    Launcher &launcher;
    // Makes the system's speech engine; none given (tests), the program has no speech.
    std::function<std::unique_ptr<SpeechEngine>(QObject *parent)> makeSpeechEngine = {};
};
