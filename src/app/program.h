#pragma once
class QApplication;

namespace quoteria {
// Splash, single instance, database check, login, control panel.
int runProgram(QApplication& app);
} // namespace quoteria
