#pragma once
// Shared by the Qt tests of app/ and plugins/: a QApplication for the whole test program and
// a way to look at (and close) a modal dialog that the code under test runs with exec().

#include <QWidget>

#include <functional>
#include <memory>

// Polls for the application's modal widget; once Ready(widget) holds (or at once when Ready
// is empty) calls Inspect(widget) and closes the widget. Gives up after TimeoutMs.
// Returns a flag that tells afterwards whether Inspect ran.
std::shared_ptr<bool> InspectModal(std::function<void(QWidget *)> Inspect,
                                   std::function<bool(QWidget *)> Ready = {},
                                   int TimeoutMs = 10000);
