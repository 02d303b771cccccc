// SPDX-License-Identifier: GPL-3.0-or-later
// The tuning aid's window on Qt Widgets: the spectrum as a filled curve across the
// window, the held one as a line over it, labelled marks at the tones, the level
// above, red when it warns.
// Window thread.
#include "platform/TuningWindow.h"

#include <algorithm>

#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

#include "platform/qt/PlatformWindow.h"

namespace q60 {
namespace {

constexpr int startWidth = 480;  // pixels
constexpr int startHeight = 200;
constexpr int margin = 6;
const QString title = QStringLiteral("Quorrel 60line Tuning Aid");

class TuningView : public QWidget {
public:
    TuningView(WindowHandle owner, int closeCommand) : QWidget(owner, Qt::Window), owner(owner), closeCommand(closeCommand)
    {
        setWindowTitle(title);
        resize(startWidth, startHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    TuningPicture picture;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        const int textHeight = painter.fontMetrics().height();
        painter.setPen(picture.warn ? QColor(255, 80, 80) : QColor(Qt::white));
        painter.drawText(QRect(margin, margin, width() - 2 * margin, textHeight), Qt::AlignLeft,
                         QString::fromStdString(picture.levelText));
        const QRect plot(margin, 2 * margin + textHeight, width() - 2 * margin,
                         height() - 3 * margin - 2 * textHeight);
        drawSpectrum(painter, plot);
        drawMarks(painter, plot, textHeight);
    }

    // The logic decides whether the window goes, and remembers that it went.
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        sendCommand(owner, closeCommand);
    }

private:
    int xOf(const QRect& plot, double hz) const
    {
        const int bins = static_cast<int>(picture.levelsDb.size());
        const double span = bins > 1 ? (bins - 1.0) * picture.stepHz : 1.0;
        return plot.left() + static_cast<int>((hz - picture.lowHz) / span * plot.width());
    }

    int yOf(const QRect& plot, float db) const
    {
        const double above = std::clamp(1.0 - db / picture.floorDb, 0.0, 1.0);
        return plot.bottom() - static_cast<int>(above * plot.height());
    }

    QPainterPath curveOf(const QRect& plot, const std::vector<float>& levels) const
    {
        QPainterPath curve;
        for (size_t k = 0; k < levels.size(); ++k) {
            const QPointF point(xOf(plot, picture.lowHz + static_cast<double>(k) * picture.stepHz),
                                yOf(plot, levels[k]));
            k == 0 ? curve.moveTo(point) : curve.lineTo(point);
        }
        return curve;
    }

    void drawSpectrum(QPainter& painter, const QRect& plot)
    {
        if (picture.levelsDb.empty())
            return;
        QPainterPath filled = curveOf(plot, picture.levelsDb);
        filled.lineTo(plot.right(), plot.bottom());
        filled.lineTo(plot.left(), plot.bottom());
        filled.closeSubpath();
        painter.fillPath(filled, QColor(40, 170, 60));
        painter.setPen(QPen(QColor(190, 255, 190), 1));
        painter.drawPath(curveOf(plot, picture.heldDb));
    }

    void drawMarks(QPainter& painter, const QRect& plot, int textHeight)
    {
        painter.setPen(QPen(QColor(255, 210, 0), 1, Qt::DashLine));
        for (const int hz : picture.marksHz) {
            const int x = xOf(plot, hz);
            painter.drawLine(x, plot.top(), x, plot.bottom());
            painter.drawText(QRect(x - 40, plot.bottom() + 2, 80, textHeight), Qt::AlignHCenter,
                             QString::number(hz));
        }
    }

    WindowHandle owner;
    int closeCommand;
};

QPointer<TuningView> view;
TuningPicture latest;

}  // namespace

void showTuningWindow(WindowHandle owner, bool shown, int closeCommand)
{
    if (view.isNull() && shown)
        view = new TuningView(owner, closeCommand);
    if (view.isNull())
        return;
    view->picture = latest;
    view->setVisible(shown);
}

// The title carries the level too, so it shows in the task bar and to scripts.
void setTuningPicture(const TuningPicture& picture)
{
    latest = picture;
    if (view.isNull() || !view->isVisible())
        return;
    view->picture = picture;
    view->setWindowTitle(picture.levelText.empty() ? title
                                                   : title + QStringLiteral(" - ") + QString::fromStdString(picture.levelText));
    view->update();
}

}  // namespace q60
