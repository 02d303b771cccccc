// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the main dialog from its template on Qt Widgets and turns button clicks,
// menu choices, slider moves, timers, painting and closing into window messages.
#include "platform/qt/PlatformWindow.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <vector>

namespace q60 {
namespace {

QRect pixelRect(int x, int y, int width, int height)
{
    return QRect(dialogUnitsToPixelsX(x), dialogUnitsToPixelsY(y), dialogUnitsToPixelsX(width),
                 dialogUnitsToPixelsY(height));
}

// The client area: paints through the window procedure.
struct ClientArea : QWidget {
    explicit ClientArea(PlatformWindow* owner) : QWidget(owner), owner(owner) {}

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        owner->activePainter = &painter;
        owner->deliver(WindowMessage{MessageKind::Paint});
        owner->activePainter = nullptr;
    }

    PlatformWindow* owner;
};

}  // namespace

PlatformWindow::PlatformWindow(const DialogTemplate& dialog, WindowProc procedure)
    : procedure(procedure), clientArea(new ClientArea(this))
{
    // A fixed dialog frame: caption, system menu, minimise and close, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(dialog.caption));
    setWindowIcon(QIcon(QPixmap(dialog.iconXpm)));
    setCentralWidget(clientArea);
    clientArea->setFixedSize(dialogUnitsToPixelsX(dialog.width), dialogUnitsToPixelsY(dialog.height));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(dialogUnitsToPixelsX(dialog.x), dialogUnitsToPixelsY(dialog.y));
    buildControls(dialog);
    buildMenu(dialog);
}

void PlatformWindow::start()
{
    deliver(WindowMessage{MessageKind::InitDialog});
    show();
    // Without a window manager (a bare X server) nobody else activates it.
    activateWindow();
    for (QWidget* widget = clientArea->nextInFocusChain(); widget != clientArea;
         widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus) {
            widget->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void PlatformWindow::deliver(const WindowMessage& message)
{
    if (destroyed)
        return;
    destroyed = message.kind == MessageKind::Destroy;
    procedure(this, message);
}

QWidget* PlatformWindow::control(int id) const
{
    auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

QAction* PlatformWindow::menuItem(int id) const
{
    auto found = menuItems.find(id);
    return found == menuItems.end() ? nullptr : found->second;
}

QMenu* PlatformWindow::popup(int index) const
{
    const QList<QAction*> popups = menuBar()->actions();
    return index >= 0 && index < popups.size() ? popups[index]->menu() : nullptr;
}

void PlatformWindow::closeEvent(QCloseEvent* event)
{
    deliver(WindowMessage{MessageKind::Destroy});
    event->accept();
}

// Controls are made in template order, which is also the Tab order.
void PlatformWindow::buildControls(const DialogTemplate& dialog)
{
    for (const ControlTemplate& entry : dialog.controls) {
        QWidget* widget = makeControl(entry);
        widget->setObjectName(QString::number(entry.id));
        widget->setGeometry(pixelRect(entry.x, entry.y, entry.width, entry.height));
        controls[entry.id] = widget;
    }
}

QWidget* PlatformWindow::makeControl(const ControlTemplate& entry)
{
    switch (entry.kind) {
    case ControlKind::PushButton:
        return makeButton(entry);
    case ControlKind::VerticalLevelBar:
        return makeLevelBar();
    case ControlKind::Slider:
        break;
    }
    return makeSlider(entry);
}

QWidget* PlatformWindow::makeButton(const ControlTemplate& entry)
{
    auto* button = new QPushButton(QString::fromUtf8(entry.text), clientArea);
    button->setAutoDefault(false);
    button->setFocusPolicy(entry.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    const int id = entry.id;
    connect(button, &QPushButton::clicked, this, [this, id] { deliver(WindowMessage{MessageKind::Command, id}); });
    return button;
}

QWidget* PlatformWindow::makeLevelBar()
{
    levelBar = new QProgressBar(clientArea);
    levelBar->setOrientation(Qt::Vertical);
    levelBar->setRange(0, 100);
    levelBar->setValue(0);
    levelBar->setTextVisible(false);
    // Plain rectangles: Fusion's antialiased bar, redrawn at every level, is filled by
    // Qt's thread pool, waking two threads a few times a second all evening.
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(levelBar);
        levelBar->setStyle(plain);
    }
    return levelBar;
}

// A drag reports each new thumb position and the one where it is let go; every
// other way of moving the thumb (keys, page clicks, the wheel) reports Other.
QWidget* PlatformWindow::makeSlider(const ControlTemplate& entry)
{
    auto* slider = new QSlider(Qt::Horizontal, clientArea);
    slider->setRange(0, 100);
    slider->setFocusPolicy(entry.tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    const int id = entry.id;
    connect(slider, &QSlider::sliderMoved, this, [this, id](int position) {
        deliver(WindowMessage{MessageKind::HScroll, id, ScrollCode::ThumbTrack, position});
    });
    connect(slider, &QSlider::sliderReleased, this, [this, slider, id] {
        deliver(WindowMessage{MessageKind::HScroll, id, ScrollCode::ThumbPosition, slider->sliderPosition()});
    });
    // The wheel moves the thumb as a SliderMove too, but without holding it down.
    connect(slider, &QSlider::actionTriggered, this, [this, slider, id](int action) {
        const bool dragged = action == QAbstractSlider::SliderMove && slider->isSliderDown();
        if (!dragged && action != QAbstractSlider::SliderNoAction)
            deliver(WindowMessage{MessageKind::HScroll, id, ScrollCode::Other, slider->sliderPosition()});
    });
    return slider;
}

void PlatformWindow::buildMenu(const DialogTemplate& dialog)
{
    std::vector<QMenu*> open;
    for (const MenuEntry& entry : dialog.menu) {
        switch (entry.kind) {
        case MenuEntryKind::Popup:
            open.push_back(open.empty() ? menuBar()->addMenu(QString::fromUtf8(entry.text))
                                        : open.back()->addMenu(QString::fromUtf8(entry.text)));
            break;
        case MenuEntryKind::Item:
            addMenuItem(open.back(), entry.id, entry.text, entry.checked);
            break;
        case MenuEntryKind::Separator:
            open.back()->addSeparator();
            break;
        case MenuEntryKind::EndPopup:
            open.pop_back();
            break;
        }
    }
}

// An item is checkable only while it carries its check mark, so unmarked items
// look like plain items; choosing an item never changes its mark by itself.
void PlatformWindow::addMenuItem(QMenu* menu, int id, const char* text, bool checked)
{
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setCheckable(checked);
    action->setChecked(checked);
    menuItems[id] = action;
    connect(action, &QAction::triggered, this, [this, action, id] { triggerMenuItem(action, id); });
}

void PlatformWindow::triggerMenuItem(QAction* action, int id)
{
    if (action->isCheckable())
        action->setChecked(true);
    deliver(WindowMessage{MessageKind::Command, id});
}

}  // namespace q60
