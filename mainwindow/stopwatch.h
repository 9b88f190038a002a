#pragma once
// The stopwatch: a measurement runs from its start until it is stopped or a lap ends, and is
// then recorded in the document's default project. While it runs, its start stays in the
// settings with a sign of life, so that a crash loses nothing: the next start over the same
// document offers the lost measurement.

#include "model/ckm.h"

#include <QObject>
#include <QString>

#include <functional>

class QTimer;
class TPromptService;
class TRegistry;

class TStopwatch : public QObject {
    Q_OBJECT
public:
    // FileName answers the open document's file (empty: none yet); each file keeps its own
    // record, so a start a crash left over one document waits for that document.
    TStopwatch(TChronarkMan &Doc, TRegistry &Registry, TPromptService &Prompts,
               const QString &AppName, std::function<QString()> FileName);
    ~TStopwatch() override;

    bool Running() const { return FRunning; }
    TDateTime StartTime() const { return FStart; }

    // Starts a measurement now; false when one runs already.
    bool Start();
    // Records a running measurement up to now and stops the ticking either way.
    void Stop();
    // Records up to now and goes on from the same moment, so laps touch.
    void Lap();
    // For a close that may still be refused: records up to now (Until) and ends the
    // measurement without telling the views (the banner's clock keeps ticking); false when
    // nothing ran. Resume(Until) goes on from there and reports the recorded stretch.
    bool Suspend(TDateTime &Until);
    void Resume(TDateTime From);

    // The document's file changed (Save As, New): a running measurement's record moves along.
    void FollowFile();
    // A document was opened: a running measurement now belongs to it; otherwise a start that
    // a crash left for it is recorded or not, as the user says (Silent: up to its last sign
    // of life, without a question).
    void DocumentOpened(bool Silent);
    void OfferLost(bool Silent);
    // Notes in the record that the program is still alive.
    void Heartbeat();

    // The banner's text, " Aktuelle Zeit: ..." with the time elapsed since the start.
    QString ElapsedText() const;
    static QString BannerText(const QString &Elapsed);
    // Where the time goes: the path of Target as the tree shows it.
    static QString TargetToolTip(const TCKProjectItem *Target);
    // The tray's few characters: the project (or the program at the top level) and the time.
    static QString TrayToolTip(const TCKProjectItem *Target, const QString &Elapsed,
                               const QString &AppName);
    // The settings key that holds the record of FileName's measurement.
    static QString RecordKey(const QString &FileName);

    // The banner's clock (four ticks a second) and the sign-of-life timer.
    QTimer *Ticker() const { return FTicker; }
    QTimer *HeartbeatTimer() const { return FHeartbeat; }

signals:
    // The ticker ticked, or a measurement started: the banner shows the new elapsed time.
    void Ticked();

private:
    // Adds the interval from the start to now and answers the end it used; the stopwatch is
    // stopped afterwards and its record cleared.
    TDateTime Record();
    // Stores the running measurement's record (start, document, a sign of life) or clears it.
    void KeepRecord();

    TChronarkMan &Doc;
    TRegistry &Registry;
    TPromptService &Prompts;
    const QString AppName;
    const std::function<QString()> FileName;
    TDateTime FStart = 0;
    bool FRunning = false;
    QString StoredKey;
    QTimer *FTicker = nullptr;
    QTimer *FHeartbeat = nullptr;
};
