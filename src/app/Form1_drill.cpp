// The main window's side of the drill: the toggle, the one-second tick and the next entry.
#include "Form1.h"

#include "ui_Form1.h"

void Form1::setupDrill() {}

void Form1::connectDrillSignals() {}

void Form1::stopDrillForShutdown()
{
    // Switching the toggle off runs the drill's stop path, exactly as a click does.
    m_ui->Check1->setChecked(false);
}
