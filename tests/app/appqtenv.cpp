#include "tests/app/appqttest.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "chronark_app_test";
        static char *argv[] = {name, nullptr};
        App = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { App.reset(); }

private:
    std::unique_ptr<QApplication> App;
};

[[maybe_unused]] ::testing::Environment *const Environment =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

} // namespace

std::shared_ptr<bool> InspectModal(std::function<void(QWidget *)> Inspect,
                                   std::function<bool(QWidget *)> Ready, int TimeoutMs) {
    auto done = std::make_shared<bool>(false);
    auto *timer = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        const bool timedOut = clock->elapsed() > TimeoutMs;
        if (!modal && !timedOut)
            return;
        if (modal && (!Ready || Ready(modal) || timedOut)) {
            if (!timedOut || !Ready) {
                Inspect(modal);
                *done = true;
            }
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(QDialog::Rejected);
            else
                modal->close();
        } else if (!timedOut) {
            return;
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start(10);
    return done;
}
