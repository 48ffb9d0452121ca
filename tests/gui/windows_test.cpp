#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QTest>
#include <map>
#include <set>
#include <stdexcept>

#include "app/app.h"
#include "app/form.h"
#include "app/form1.h"
#include "gui/dir_view.h"
#include "gui/form_window.h"
#include "gui/icons.h"
#include "gui/image_button_view.h"
#include "gui/layouts.h"
#include "gui/pane_view.h"
#include "gui/qt_text.h"
#include "gui_fixture.h"
#include "memo/form3.h"

namespace pado::gui::test {
namespace {

class Windows : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "tests/data/mini" }); }
};

TEST_F(Windows, StartUpOpensTheFourWindowsSideBySideWithTheMainWindowInFront)
{
    const std::vector<std::pair<std::string, QString>> captions = { { "Form1", "過去結果表示" },
        { "Form2", "メンバー" }, { "Form3", "メモ用紙" }, { "Form4", "距離＆タイム順" } };
    for (const auto& [form, caption] : captions) {
        EXPECT_TRUE(Window(form).isVisible()) << form;
        EXPECT_EQ(Window(form).windowTitle(), caption) << form;
    }
    EXPECT_EQ(Window("Form1").size(), QSize(786, 673));
    EXPECT_EQ(QApplication::activeWindow(), &Window("Form1"));
}

TEST(StartPositions, MainWindowOnTheLeftCompanionsBesideItAllOnTheScreen)
{
    const std::vector<QSize> sizes
        = { Form1Layout().client, Form2Layout().client, Form4Layout().client, Form3Layout().client };
    for (const QRect screen : { QRect(0, 0, 1920, 1080), QRect(0, 0, 1280, 1024), QRect(1920, 0, 1600, 900) }) {
        const std::vector<QPoint> at = StartPositions(screen, sizes);
        ASSERT_EQ(at.size(), sizes.size());
        EXPECT_EQ(at[0], screen.topLeft());
        for (std::size_t i = 0; i < at.size(); ++i) {
            const QRect r(at[i], sizes[i]);
            EXPECT_TRUE(screen.contains(r)) << i << " on " << screen.width() << "x" << screen.height();
            if (i > 0) {
                EXPECT_GT(r.right(), at[0].x() + sizes[0].width()) << i; // never hidden behind the main window
            }
        }
    }
    // A wide screen has room for the companions entirely to the right of the main window.
    const std::vector<QPoint> wide = StartPositions(QRect(0, 0, 1920, 1080), sizes);
    EXPECT_GE(wide[1].x(), sizes[0].width());
}

// Every control of every window has a place of its own: a new button without its layout entry, or
// one put over another, fails here rather than on the user's screen.
TEST_F(Windows, EveryControlHasAPlaceInsideItsWindowOverlappingNoOther)
{
    const std::map<std::string, WindowLayout> layouts = { { "Form1", Form1Layout() }, { "Form2", Form2Layout() },
        { "Form3", Form3Layout() }, { "Form4", Form4Layout() } };
    for (const auto& [form, layout] : layouts) {
        const Form& model = *app().FindForm(form);
        std::vector<std::string> controls;
        for (const ImageButton* b : model.Images())
            controls.push_back(b->Name());
        for (const auto& [name, pane] : model.Panes())
            controls.push_back(name);
        if (model.Dir())
            controls.push_back("Dir1");
        if (model.List())
            controls.push_back("List1");
        EXPECT_EQ(controls.size(), layout.controls.size()) << form << ": an entry for a control the form lacks";

        const QRect client(QPoint(0, 0), layout.client);
        for (const std::string& name : controls) {
            auto it = layout.controls.find(name);
            ASSERT_NE(it, layout.controls.end()) << form << "." << name << " has no layout entry";
            const QRect r = it->second;
            EXPECT_FALSE(r.isEmpty()) << form << "." << name;
            EXPECT_TRUE(client.contains(r)) << form << "." << name << " reaches outside the window";
            for (const std::string& other : controls) {
                // The main window's holding list lies beneath its buttons by design: it is never read
                // on the screen.
                if (other == name || name == "List1" || other == "List1" || !layout.controls.count(other))
                    continue;
                EXPECT_FALSE(r.intersects(layout.controls.at(other))) << form << "." << name << " covers " << other;
            }
        }
        // The window puts each control where its entry says.
        FormWindow& w = Window(form);
        for (const ImageButton* b : model.Images())
            EXPECT_EQ(w.Button(b->Name())->geometry(), layout.controls.at(b->Name())) << form << "." << b->Name();
        for (const auto& [name, pane] : model.Panes())
            EXPECT_EQ(w.Pane(name)->geometry(), layout.controls.at(name)) << form << "." << name;
    }
}

TEST_F(Windows, AControlWithoutALayoutEntryIsRefused)
{
    WindowLayout layout = Form3Layout();
    layout.controls.erase("Image2");
    EXPECT_THROW(FormWindow(app(), app().form3(), layout), std::logic_error);
}

// A bigger window gives the panes the room; the buttons stay put.
TEST_F(Windows, ResizingGrowsThePanesAndLeavesTheButtons)
{
    FormWindow& f1 = Window("Form1");
    const QRect pane = f1.Pane("Text1")->geometry(), dir = f1.Dir()->geometry(),
                button = f1.Button("Image5")->geometry();
    f1.resize(f1.size() + QSize(100, 100));
    EXPECT_EQ(f1.Pane("Text1")->geometry(), pane.adjusted(0, 0, 100, 100));
    EXPECT_EQ(f1.Dir()->geometry(), dir.adjusted(0, 0, 100, 0)); // the upper list grows sideways only
    EXPECT_EQ(f1.Button("Image5")->geometry(), button);
}

// Each button shows a picture of its own, with a pressed picture that differs from the normal one.
TEST_F(Windows, EveryButtonHasItsToolTipAndTwoDistinctPictures)
{
    std::set<int> numbers;
    for (const char* form : { "Form1", "Form2", "Form3", "Form4" }) {
        for (ImageButton* b : app().FindForm(form)->Images()) {
            ImageButtonView* v = Window(form).Button(b->Name());
            ASSERT_NE(v, nullptr) << form << "." << b->Name();
            EXPECT_EQ(v->toolTip(), ToQString(b->ToolTip()));
            EXPECT_FALSE(v->toolTip().isEmpty());
            EXPECT_EQ(v->size(), QSize(32, 32));
            EXPECT_TRUE(HasIcon(b->NormalIcon())) << b->NormalIcon();
            EXPECT_TRUE(HasIcon(b->PressedIcon())) << b->PressedIcon();
            EXPECT_NE(IconPixmap(b->NormalIcon()).toImage(), IconPixmap(b->PressedIcon()).toImage());
            numbers.insert(b->NormalIcon());
            numbers.insert(b->PressedIcon());
        }
    }
    // Buttons doing different work never share a picture pair by accident: 21 pairs in use.
    EXPECT_EQ(numbers.size(), 42u);
}

// Records which picture each paint of a button showed.
class PaintSpy : public QObject {
public:
    PaintSpy(ImageButtonView& v)
        : view_(v)
    {
        v.installEventFilter(this);
    }
    std::vector<int> pictures;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            pictures.push_back(view_.Model().Picture());
        return false;
    }

private:
    ImageButtonView& view_;
};

TEST_F(Windows, APressPaintsThePressedPictureDuringTheWait)
{
    ImageButtonView* clear = Window("Form1").Button("Image4");
    PaintSpy spy(*clear);
    QTest::mouseClick(clear, Qt::LeftButton);
    ASSERT_FALSE(spy.pictures.empty());
    EXPECT_NE(std::find(spy.pictures.begin(), spy.pictures.end(), 142), spy.pictures.end());
    EXPECT_EQ(clear->Model().Picture(), 141);
}

TEST_F(Windows, ClearingTheLowerPaneEmptiesTheWidgetToo)
{
    Form1& f1 = app().form1();
    f1.Text1.SetText(U"過去の表示\n２行目");
    Settle();
    EXPECT_EQ(Window("Form1").Pane("Text1")->toPlainText(), QStringLiteral("過去の表示\n２行目"));
    QTest::mouseClick(Window("Form1").Button("Image4"), Qt::LeftButton);
    Settle();
    EXPECT_TRUE(f1.Text1.GetText().empty());
    EXPECT_TRUE(Window("Form1").Pane("Text1")->toPlainText().isEmpty());
}

TEST_F(Windows, TheWebPageButtonOpensTheManual)
{
    QTest::mouseClick(Window("Form1").Button("Image7"), Qt::LeftButton);
    ASSERT_EQ(openedUrls.size(), 1u);
    EXPECT_NE(openedUrls[0].find("manual.html"), std::string::npos);
}

TEST_F(Windows, TheDirectoryListShowsTheChainAndOpensWithEnter)
{
    Form1& f1 = app().form1();
    DirView* dir = Window("Form1").Dir();
    const std::string race = f1.RaceFolder();
    ASSERT_FALSE(race.empty());
    ASSERT_EQ(dir->count(), static_cast<int>(f1.Dir1.Entries().size()));
    const int chain = static_cast<int>(f1.Dir1.ChainLength());
    EXPECT_EQ(dir->item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(dir->item(chain - 1)->text(), QStringLiteral("有馬記念"));
    EXPECT_EQ(dir->currentRow(), chain - 1);
    ASSERT_GT(dir->count(), chain);
    EXPECT_EQ(dir->item(chain)->text(), QStringLiteral("アドマイヤテスト "));

    // One click highlights only.
    QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, dir->visualItemRect(dir->item(chain)).center());
    EXPECT_EQ(f1.Dir1.Highlighted(), chain);
    EXPECT_EQ(f1.Dir1.Path(), race);
    // Enter opens the highlighted entrant folder: its past-run folders are listed.
    QTest::keyClick(dir, Qt::Key_Return);
    EXPECT_EQ(f1.Dir1.Path(), race + "/アドマイヤテスト ");
    EXPECT_EQ(dir->count(), static_cast<int>(f1.Dir1.Entries().size()));
    EXPECT_EQ(dir->item(chain)->text(), QStringLiteral("アドマイヤテスト "));
    EXPECT_GT(dir->count(), chain + 1);
    // Arrow keys move the highlight; a double-click on a chain entry goes back up.
    QTest::keyClick(dir, Qt::Key_Up);
    EXPECT_EQ(f1.Dir1.Highlighted(), chain - 1);
    // A double-click reaches the list as a press and release, then the double-click itself.
    const QPoint up = dir->visualItemRect(dir->item(chain - 1)).center();
    QTest::mouseClick(dir->viewport(), Qt::LeftButton, {}, up);
    QTest::mouseDClick(dir->viewport(), Qt::LeftButton, {}, up);
    EXPECT_EQ(f1.Dir1.Path(), race);
    EXPECT_EQ(dir->item(dir->currentRow())->text(), QStringLiteral("有馬記念"));
}

} // namespace
} // namespace pado::gui::test
