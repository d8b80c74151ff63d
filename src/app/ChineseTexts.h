#pragma once

class QCoreApplication;

namespace ChineseTexts {

// Makes Qt's own texts (standard buttons, file dialogs, message boxes, the text boxes' context
// menus) Simplified Chinese whatever the system's language, and Chinese the default locale for
// the dates and sizes those dialogs show. The translation is compiled into the program; false when
// this build has none (Qt's texts then stay English).
bool install(QCoreApplication &app);

} // namespace ChineseTexts
