#include "gui/trendform.h"

#include "core/textfile.h"

#include "gui/guitexts.h"
#include "gui/guitexts_watch.h"
#include "gui/userdialogs.h"
#include "gui/watchmodel.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

// A bit or a timer's on-state: drawn as steps.
bool Discrete(const TVarRef &v)
{
    return v.Part == TVarPart::Bad || (v.Part == TVarPart::Value && !IsAnalogClass(v.Class));
}

double Seconds(std::int64_t ms)
{
    return static_cast<double>(ms) / 1000.0;
}

} // namespace

TTrendForm::TTrendForm(TUserDialogs &dialogs, QWidget *parent) : QDialog(parent), Dialogs(dialogs)
{
    setWindowTitle(GuiTexts::TrendCaption);
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    Chart = new QChart;
    Chart->legend()->setAlignment(Qt::AlignBottom);
    AxisX = new QValueAxis(Chart);
    AxisX->setTitleText(GuiTexts::TrendTimeAxis);
    AxisY = new QValueAxis(Chart);
    Chart->addAxis(AxisX, Qt::AlignBottom);
    Chart->addAxis(AxisY, Qt::AlignLeft);
    ChartView = new QChartView(Chart, this);
    ChartView->setRubberBand(QChartView::RectangleRubberBand);
    ChartView->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(ChartView, 1);
    auto *buttons = new QHBoxLayout;
    PauseBtn = new QPushButton(GuiTexts::TrendPause, this);
    ZoomInBtn = new QPushButton(GuiTexts::TrendZoomIn, this);
    ZoomOutBtn = new QPushButton(GuiTexts::TrendZoomOut, this);
    ZoomResetBtn = new QPushButton(GuiTexts::TrendZoomReset, this);
    ExportBtn = new QPushButton(GuiTexts::TrendExport, this);
    CloseBtn = new QPushButton(GuiTexts::CloseButton, this);
    for (QPushButton *b : {PauseBtn, ZoomInBtn, ZoomOutBtn, ZoomResetBtn, ExportBtn})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    layout->addLayout(buttons);
    StatusLabel = new QLabel(this);
    layout->addWidget(StatusLabel);
    resize(760, 480);

    RefreshTimer = new QTimer(this);
    RefreshTimer->setInterval(RefreshMs);
    connect(RefreshTimer, &QTimer::timeout, this, &TTrendForm::Refresh);
    connect(PauseBtn, &QPushButton::clicked, this, [this] {
        Paused = !Paused;
        PauseBtn->setText(Paused ? GuiTexts::TrendResume : GuiTexts::TrendPause);
        Draw();
    });
    // Zoomed in any way (a rectangle drawn with the mouse too), the axes stay where they are.
    connect(ZoomInBtn, &QPushButton::clicked, this, [this] { Chart->zoomIn(); });
    connect(ZoomOutBtn, &QPushButton::clicked, this, [this] { Chart->zoomOut(); });
    connect(ZoomResetBtn, &QPushButton::clicked, this, [this] {
        Chart->zoomReset();
        Draw();
    });
    connect(ExportBtn, &QPushButton::clicked, this, &TTrendForm::ExportClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::hide);
}

void TTrendForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    RefreshTimer->start();
}

void TTrendForm::hideEvent(QHideEvent *event)
{
    RefreshTimer->stop();
    QDialog::hideEvent(event);
}

bool TTrendForm::Follow(const std::vector<TVarRef> &vars)
{
    QString error;
    if (!Watch || !Watch->Follow(vars, error)) {
        StatusLabel->setText(error);
        return false;
    }
    StatusLabel->clear();
    Vars = vars;
    Kept.clear();
    for (QLineSeries *s : Series) {
        Chart->removeSeries(s);
        delete s;
    }
    Series.clear();
    for (const TVarRef &v : Vars) {
        auto *s = new QLineSeries(Chart);
        s->setName(WatchWord(v));
        Chart->addSeries(s);
        s->attachAxis(AxisX);
        s->attachAxis(AxisY);
        Series.push_back(s);
    }
    Chart->zoomReset();
    Draw();
    return true;
}

void TTrendForm::Refresh()
{
    if (!Watch)
        return;
    long long dropped = 0;
    std::vector<TSimTrendPoint> points = Watch->TakeTrend(&dropped);
    if (points.empty())
        return;
    for (TSimTrendPoint &p : points)
        Kept.push_back(std::move(p));
    // The program written anew counts its scans from 1: its time still goes on.
    const std::int64_t last = Kept.back().TimeMs;
    while (!Kept.empty() && Kept.front().TimeMs < last - KeptMs)
        Kept.pop_front();
    if (!Paused)
        Draw();
}

void TTrendForm::Draw()
{
    if (Paused && !Series.empty() && Series.front()->count() > 0)
        return;
    double low = 0, high = 1;
    for (std::size_t i = 0; i < Series.size(); ++i) {
        const TVarRef &v = Vars[i];
        QList<QPointF> line;
        line.reserve(static_cast<qsizetype>(Kept.size() * 2));
        for (const TSimTrendPoint &p : Kept) {
            if (i >= p.Values.size())
                continue;
            const double y = p.Values[i];
            // A step: the old value up to the moment of the new one.
            if (Discrete(v) && !line.isEmpty() && line.back().y() != y)
                line.append(QPointF(Seconds(p.TimeMs), line.back().y()));
            line.append(QPointF(Seconds(p.TimeMs), y));
            low = std::min(low, y);
            high = std::max(high, y);
        }
        Series[i]->replace(line);
    }
    if (Chart->isZoomed())
        return;
    const std::int64_t last = Kept.empty() ? 0 : Kept.back().TimeMs;
    const std::int64_t first = Kept.empty() ? 0 : Kept.front().TimeMs;
    AxisX->setRange(Seconds(first), Seconds(std::max(last, first + 1000)));
    const double margin = std::max(0.1, (high - low) * 0.05);
    AxisY->setRange(low - margin, high + margin);
}

std::pair<std::int64_t, std::int64_t> TTrendForm::ShownRange() const
{
    return {static_cast<std::int64_t>(std::floor(AxisX->min() * 1000.0)),
            static_cast<std::int64_t>(std::ceil(AxisX->max() * 1000.0))};
}

bool TTrendForm::ExportTo(const QString &path)
{
    const auto [from, to] = ShownRange();
    const std::vector<TSimTrendPoint> points(Kept.begin(), Kept.end());
    QString error;
    if (!WriteTextFile(path, TrendCsv(Vars, points, from, to), error)) {
        Dialogs.Notice(this, GuiTexts::TrendExportFailed + error, GuiTexts::ErrorCaption,
                       TUserDialogs::Warning);
        return false;
    }
    return true;
}

void TTrendForm::ExportClick()
{
    TFileDialogSpec request;
    request.Filter = GuiTexts::TrendCsvFilter;
    request.Caption = GuiTexts::TrendExport;
    if (Dialogs.ChooseSaveFile(this, request) && !request.FileName.isEmpty())
        ExportTo(request.FileName);
}
