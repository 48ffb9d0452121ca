#include "gui/screen_fit.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace pado::gui {

QRect AvailableArea(const QWidget* window)
{
    const QScreen* screen = nullptr;
    if (window) {
        const QWidget* top = window->window();
        if (top->isVisible())
            screen = top->screen();
        else if (const QWidget* parent = top->parentWidget())
            screen = parent->window()->screen();
    }
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1280, 720);
}

QMargins ExpectedFrame()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return {};
    return { 2, 30, 2, 2 };
}

QSize FittedClientSize(const QSize& designed, const QSize& minimum, const QRect& avail, const QMargins& frame)
{
    const QSize room = avail.marginsRemoved(frame).size();
    return designed.boundedTo(room).expandedTo(minimum.boundedTo(room)).expandedTo(QSize(1, 1));
}

QScrollArea* FitWindowToScreen(QWidget* window, const QSize& designed)
{
    auto* scroll = window->findChild<QScrollArea*>(QStringLiteral("FitScroll"), Qt::FindDirectChildrenOnly);
    if (!scroll) {
        QLayout* old = window->layout();
        auto* content = new QWidget;
        content->setObjectName(QStringLiteral("FitContent"));
        if (old)
            content->setLayout(old); // takes the layout and the widgets it manages off the window
        scroll = new QScrollArea(window);
        scroll->setObjectName(QStringLiteral("FitScroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(content);
        auto* box = new QVBoxLayout(window);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(scroll);
    }
    // The window itself may shrink to anything; below its content's minimum the scroll bars appear.
    window->setMinimumSize(0, 0);
    const QRect avail = AvailableArea(window);
    // Not shown yet, the window's frame is a guess; a thin one is allowed for even where none is expected.
    const QMargins guess = ExpectedFrame();
    const QMargins frame(
        std::max(guess.left(), 2), std::max(guess.top(), 2), std::max(guess.right(), 2), std::max(guess.bottom(), 2));
    const QSize size = FittedClientSize(designed, QSize(160, 120), avail, frame);
    window->resize(size);
    return scroll;
}

} // namespace pado::gui
