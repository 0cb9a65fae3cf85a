#pragma once
// The trend plot of the built-in simulator's run: chosen variables over the last minutes of
// scans (bits and a timer's on-state as steps, analog values and times as lines), fed from
// the simulator's trend ring five times a second. Pause holds the picture while the points
// keep coming; zoom by the buttons or by drawing a rectangle; "Всё" follows the run again.
// The export writes what is shown (the points within the time on screen) as CSV.

#include "sim/simwatch.h"

#include <QDialog>

#include <deque>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;
class TUserDialogs;

class TTrendForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 200;
    static constexpr std::int64_t KeptMs = 10 * 60 * 1000; // the last ten minutes

    TTrendForm(TUserDialogs &dialogs, QWidget *parent = nullptr);

    TSimWatch *Watch = nullptr;

    // Follows these variables from the next scan on; the points so far go.
    bool Follow(const std::vector<TVarRef> &vars);
    const std::vector<TVarRef> &Variables() const { return Vars; }
    // Every point kept, oldest first.
    const std::deque<TSimTrendPoint> &Points() const { return Kept; }
    // The time on screen, in ms since the simulator started.
    std::pair<std::int64_t, std::int64_t> ShownRange() const;
    // What is shown, as CSV, into the file; false with the reason told.
    bool ExportTo(const QString &path);
    // Takes the new points and draws them; the timer calls it.
    void Refresh();

    QChartView *ChartView;
    QPushButton *PauseBtn, *ZoomInBtn, *ZoomOutBtn, *ZoomResetBtn, *ExportBtn, *CloseBtn;
    QLabel *StatusLabel;
    QTimer *RefreshTimer;
    bool Paused = false;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TUserDialogs &Dialogs;
    QChart *Chart;
    QValueAxis *AxisX, *AxisY;
    std::vector<QLineSeries *> Series;
    std::vector<TVarRef> Vars;
    std::deque<TSimTrendPoint> Kept;

    void Draw();
    void ExportClick();
};
