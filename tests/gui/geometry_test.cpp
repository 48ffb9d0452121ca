#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "app/app.h"
#include "app/form.h"
#include "assist/form6.h"
#include "gui/backtest_window.h"
#include "gui/dir_view.h"
#include "gui/form_dialog.h"
#include "gui/form_window.h"
#include "gui/help_viewer.h"
#include "gui/image_button_view.h"
#include "gui/pane_view.h"
#include "gui/picture_view.h"
#include "gui/race_data_window.h"
#include "gui/screen_fit.h"
#include "gui/shape_window.h"
#include "gui/window_arrangement.h"
#include "gui_fixture.h"

namespace pado::gui::test {
namespace {

const char* const kOrder[] = { "Form1", "Form2", "Form4", "Form3" };

class Geometry : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "sample" }); }

    std::vector<WindowSizes> Sizes()
    {
        std::vector<WindowSizes> sizes;
        for (const char* f : kOrder)
            sizes.push_back({ Window(f).DesignedClient(), Window(f).MinimumClient() });
        return sizes;
    }
    static std::string Str(const QRect& r)
    {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x"
            + std::to_string(r.height());
    }
    // Under a window manager the frames come a moment after the windows, and the program places them
    // again once it knows them; offscreen there are none to wait for.
    void SettleFrames()
    {
        Settle();
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 2500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    static QRect InScreen(QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }
    // Every window on the screen; no window covers another's buttons or the members list.
    void ExpectUsable(const QRect& avail)
    {
        for (const char* f : kOrder) {
            FormWindow& w = Window(f);
            EXPECT_TRUE(avail.contains(w.frameGeometry()))
                << f << " " << Str(w.frameGeometry()) << " in " << Str(avail);
            std::vector<QWidget*> mustShow;
            for (ImageButton* b : w.GetForm().Images())
                mustShow.push_back(w.Button(b->Name()));
            if (std::string(f) == "Form2")
                mustShow.push_back(w.Pane("Text1"));
            // Every pane shows a few lines, however small the screen.
            for (const auto& [name, pane] : w.GetForm().Panes())
                EXPECT_GE(w.Pane(name)->viewport()->height(), 3 * w.Pane(name)->fontMetrics().lineSpacing())
                    << f << "." << name;
            for (QWidget* c : mustShow) {
                EXPECT_TRUE(w.geometry().contains(InScreen(c))) << f << "." << c->objectName().toStdString();
                for (const char* other : kOrder)
                    if (other != std::string(f)) {
                        EXPECT_FALSE(Window(other).frameGeometry().intersects(InScreen(c)))
                            << other << " covers " << f << "." << c->objectName().toStdString();
                    }
            }
        }
    }
};

// The arrangement on every screen size the program supports, at scale 1, 1.5 and 2 (2 halves the
// screen in the windows' pixels), with and without a window manager's frames.
TEST_F(Geometry, ArrangementFitsEveryScreenFromSmallLaptopsUpAtAnyScale)
{
    const std::vector<WindowSizes> sizes = Sizes();
    for (const QSize screen : { QSize(1280, 720), QSize(1366, 768), QSize(1920, 1080) })
        for (const double scale : { 1.0, 1.5, 2.0 })
            for (const QMargins frame : { QMargins(), QMargins(2, 30, 2, 2) }) {
                const QRect avail(
                    QPoint(0, static_cast<int>(24 / scale)), (screen - QSize(0, 24)) / scale); // a top panel
                const std::string where = std::to_string(screen.width()) + "x" + std::to_string(screen.height())
                    + " at " + std::to_string(scale) + (frame.isNull() ? "" : " framed");
                const std::vector<QRect> at = ArrangeWindows(avail, sizes, frame);
                ASSERT_EQ(at.size(), sizes.size());
                for (std::size_t i = 0; i < at.size(); ++i) {
                    const QRect outer = at[i].marginsAdded(frame);
                    EXPECT_TRUE(avail.contains(outer)) << kOrder[i] << " on " << where;
                    EXPECT_GE(at[i].width(), sizes[i].minimum.width()) << kOrder[i] << " on " << where;
                    EXPECT_GE(at[i].height(), sizes[i].minimum.height()) << kOrder[i] << " on " << where;
                    for (std::size_t j = 0; j < i; ++j)
                        EXPECT_FALSE(outer.intersects(at[j].marginsAdded(frame)))
                            << kOrder[i] << " over " << kOrder[j] << " on " << where;
                }
                // The big screen gives the main window more than its designed size, not less.
                if (screen.width() == 1920 && scale == 1.0) {
                    EXPECT_GE(at[0].width(), sizes[0].preferred.width()) << where;
                }
            }
}

// Run by itself on each configured offscreen screen (see tests/CMakeLists.txt) as well as on the
// default one: the real windows, laid out at start-up.
TEST_F(Geometry, WindowsAtStartUpFitTheScreenAndLeaveEveryButtonUncovered)
{
    SettleFrames();
    ExpectUsable(QGuiApplication::primaryScreen()->availableGeometry());
}

// The parameter dialog, the biggest, fits the screen too; where it is taller, it scrolls.
TEST_F(Geometry, TheParameterDialogFitsTheScreen)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    bool shown = false;
    program().Shell().hooks.modal = [&](FormDialog& d) {
        shown = true;
        Settle();
        EXPECT_LE(d.frameGeometry().width(), avail.width());
        EXPECT_LE(d.frameGeometry().height(), avail.height());
        auto* scroll = d.findChild<QScrollArea*>();
        for (int n = 1; n <= 22; ++n) {
            QLineEdit* box = d.Box("Text" + std::to_string(n));
            if (scroll)
                scroll->ensureWidgetVisible(box);
            const QRect at(box->mapTo(&d, QPoint(0, 0)), box->size());
            EXPECT_TRUE(d.rect().contains(at)) << "Text" << n << " " << Str(at);
        }
        d.Command("Command2")->click();
    };
    app().ShowModal(app().form6());
    EXPECT_TRUE(shown);
}

// A window that lays itself out, opened on this screen: inside the free area, and every button in view
// without scrolling.
void ExpectFitsWithButtonsInView(QWidget& w)
{
    w.show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    const QRect avail = AvailableArea(&w);
    const std::string name = w.objectName().toStdString();
    EXPECT_LE(w.frameGeometry().width(), avail.width()) << name;
    EXPECT_LE(w.frameGeometry().height(), avail.height()) << name;
    auto* scroll = w.findChild<QScrollArea*>(QStringLiteral("FitScroll"));
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (!b->isVisibleTo(&w))
            continue;
        const QRect in(b->mapTo(&w, QPoint(0, 0)), b->size());
        EXPECT_TRUE(w.rect().contains(in)) << name << " " << b->text().toStdString();
        if (scroll) {
            const QRect seen(b->mapTo(scroll->viewport(), QPoint(0, 0)), b->size());
            EXPECT_TRUE(scroll->viewport()->rect().contains(seen)) << name << " " << b->text().toStdString();
        }
    }
}

TEST_F(Geometry, TheBacktestWindowFitsWithItsButtonsTableAndChart)
{
    BacktestWindow w(ProgramFolder().string());
    w.setObjectName("Backtest");
    ExpectFitsWithButtonsInView(w);
    // Table and chart share a splitter; each keeps a usable height (reached by scrolling on a low screen).
    auto* split = w.findChild<QSplitter*>(QStringLiteral("Results"));
    ASSERT_NE(split, nullptr);
    EXPECT_GE(w.Table()->height(), 80);
    EXPECT_GE(w.Chart()->parentWidget()->height(), 100);
    // On a screen with room the designed size is kept.
    const QRect avail = AvailableArea(&w);
    if (avail.height() >= 900 && avail.width() >= 1000) {
        EXPECT_EQ(w.size(), QSize(980, 860));
    }
}

TEST_F(Geometry, TheRaceDataWindowFitsWithItsRaceList)
{
    QTemporaryDir temp;
    RaceDataDialog w(std::filesystem::path(temp.path().toStdString()) / "races.sqlite",
        std::filesystem::path(temp.path().toStdString()) / "PADO-tdy", &Window("Form2"));
    ExpectFitsWithButtonsInView(w);
    auto* races = w.findChild<QListWidget*>(QStringLiteral("Races"));
    ASSERT_NE(races, nullptr);
    auto* scroll = w.findChild<QScrollArea*>(QStringLiteral("FitScroll"));
    ASSERT_NE(scroll, nullptr);
    const QRect list(races->mapTo(scroll->viewport(), QPoint(0, 0)), races->size());
    EXPECT_TRUE(scroll->viewport()->rect().intersects(list)) << "the race list is off-screen";
    w.close();
}

TEST_F(Geometry, TheRunningStylesKeepTheirTableAboveThePicture)
{
    QTest::mouseClick(Window("Form1").Button("Image11"), Qt::LeftButton);
    SettleFrames();
    auto& w = static_cast<ShapeWindow&>(Window("Form7"));
    ASSERT_TRUE(w.isVisible());
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(avail.contains(w.frameGeometry())) << Str(w.frameGeometry()) << " in " << Str(avail);
    PaneView* pane = w.Pane("Text1");
    EXPECT_GE(pane->viewport()->height(), 3 * pane->fontMetrics().lineSpacing());
    EXPECT_GE(w.Picture()->height(), 100);
    EXPECT_LE(pane->mapTo(&w, QPoint(0, pane->height())).y(), w.Picture()->mapTo(&w, QPoint(0, 0)).y());
    // Shrunk to its smallest, both parts are still there.
    w.resize(w.minimumSizeHint());
    Settle();
    EXPECT_GE(pane->height(), 90);
    EXPECT_GE(w.Picture()->height(), 100);
}

TEST_F(Geometry, TheHelpViewerFits)
{
    HelpViewer* help = program().Shell().ShowHelp(QStringLiteral("/nonexistent/manual.html"));
    ExpectFitsWithButtonsInView(*help);
    help->close();
}

TEST_F(Geometry, RememberedPlacesComeBackAndAreClampedOntoTheScreen)
{
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect memo = Window("Form3").geometry();
    Window("Form2").setGeometry(QRect(avail.topLeft() + QPoint(40, 50), Window("Form2").MinimumClient()));
    // Dragged mostly off the right edge, and grown beyond the screen's height.
    Window("Form3").setGeometry(QRect(avail.right() - 60, avail.top(), memo.width(), avail.height() * 2));
    const QRect members = Window("Form2").geometry();
    Restart();
    EXPECT_EQ(Window("Form2").geometry(), members);
    const QRect back = Window("Form3").geometry();
    EXPECT_TRUE(avail.contains(Window("Form3").frameGeometry())) << Str(back) << " in " << Str(avail);
    EXPECT_EQ(back.width(), memo.width());
    EXPECT_EQ(Window("Form3").frameGeometry().right(), avail.right());
    // Another screen arrangement starts from the arrangement, not from places made elsewhere.
    EXPECT_EQ(ClampToScreen(QRect(5000, -300, 400, 300), QRect(0, 0, 1280, 720), QMargins(2, 30, 2, 2), QSize(100, 80)),
        QRect(1280 - 2 - 400, 30, 400, 300));
}

// Under a window manager the frames come a moment after the windows; the places are compared once the
// program has corrected for them. A restart puts every window's frame exactly where it was, again and again.
TEST_F(Geometry, ARestartPutsEveryWindowExactlyWhereItWas)
{
    SettleFrames();
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    // One window moved by the user to the middle of the screen, the others where the arrangement put them.
    FormWindow& memo = Window("Form3");
    memo.move(avail.center() - QPoint(memo.width() / 2, memo.height() / 2));
    SettleFrames();
    std::map<std::string, QRect> before;
    for (const char* f : kOrder)
        before[f] = Window(f).frameGeometry();
    for (int run = 1; run <= 2; ++run) {
        Restart();
        SettleFrames();
        for (const char* f : kOrder)
            EXPECT_EQ(Str(Window(f).frameGeometry()), Str(before[f])) << f << " after restart " << run;
    }
}

TEST_F(Geometry, TheSplitShowsTheRaceAndItsEntrantsAndIsKeptBetweenRuns)
{
    FormWindow& main = Window("Form1");
    QSplitter* split = main.Splitter();
    ASSERT_NE(split, nullptr);
    DirView* dir = main.Dir();
    const int chain = static_cast<int>(main.GetForm().Dir()->ChainLength());
    ASSERT_GT(dir->count(), chain + 10); // the sample race has seventeen entrants
    const QRect view = dir->viewport()->rect();
    // On a screen with room (the ones of the offscreen runs), the race and every entrant are in view.
    if (main.height() >= 600)
        for (int row = chain - 1; row < dir->count(); ++row)
            EXPECT_TRUE(view.contains(dir->visualItemRect(dir->item(row)))) << "row " << row;
    else
        EXPECT_EQ(dir->visualItemRect(dir->item(chain - 1)).top(), 0); // the race at the top
    // The lower pane keeps room for what the buttons print.
    EXPECT_GE(split->sizes()[1], main.height() * 2 / 5 - split->handleWidth());

    // The user drags the handle down; the next run starts with the same split.
    const int total = split->sizes()[0] + split->sizes()[1];
    split->setSizes({ total - 150, 150 });
    const QList<int> dragged = split->sizes();
    EXPECT_EQ(dir->height(), dragged[0] - 3); // the list grows with the upper part
    Restart();
    EXPECT_EQ(Window("Form1").Splitter()->sizes(), dragged);
}

} // namespace
} // namespace pado::gui::test
