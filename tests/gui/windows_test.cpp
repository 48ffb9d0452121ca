#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QSplitter>
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
    EXPECT_EQ(QApplication::activeWindow(), &Window("Form1"));
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
        w.resize(w.DesignedClient());
        // (Below a split the parts sit in the splitter's lower half; ControlsSitWhereTheLayoutsPutThem
        // measures those.)
        auto below
            = [&](const std::string& name) { return w.Splitter() && layout.controls.at(name).top() >= layout.splitAt; };
        for (const ImageButton* b : model.Images())
            if (!below(b->Name())) {
                EXPECT_EQ(w.Button(b->Name())->geometry(), layout.controls.at(b->Name())) << form << "." << b->Name();
            }
        for (const auto& [name, pane] : model.Panes())
            if (!below(name)) {
                EXPECT_EQ(w.Pane(name)->geometry(), layout.controls.at(name)) << form << "." << name;
            }
    }
}

TEST_F(Windows, AControlWithoutALayoutEntryIsRefused)
{
    WindowLayout layout = Form3Layout();
    layout.controls.erase("Image2");
    EXPECT_THROW(FormWindow(app(), app().form3(), layout), std::logic_error);
}

TEST_F(Windows, ControlsSitWhereTheLayoutsPutThem)
{
    FormWindow& f1 = Window("Form1");
    f1.resize(f1.DesignedClient());
    f1.Splitter()->setSizes({ 128, 673 - 128 - f1.Splitter()->handleWidth() });
    auto in = [&](QWidget* w) { return QRect(w->mapTo(&f1, QPoint(0, 0)), w->size()); };
    EXPECT_EQ(f1.Button("Image6")->geometry(), QRect(8, 0, 32, 32));
    EXPECT_EQ(f1.Button("Image10")->geometry(), QRect(88, 32, 32, 32));
    EXPECT_EQ(f1.Button("Image5")->geometry(), QRect(48, 96, 32, 32));
    EXPECT_EQ(f1.Dir()->geometry(), QRect(128, 0, 649, 125));
    EXPECT_EQ(in(f1.Pane("Text1")).topLeft(), QPoint(8, 128 + f1.Splitter()->handleWidth()));
    EXPECT_EQ(in(f1.Pane("Text1")).width(), 769);
    // The members window is laid out in twips: 600 twips between buttons is 40 pixels.
    FormWindow& f2 = Window("Form2");
    f2.resize(f2.DesignedClient());
    EXPECT_EQ(f2.Button("Image3")->geometry(), QRect(8, 0, 32, 32));
    EXPECT_EQ(f2.Button("Image2")->geometry(), QRect(288, 0, 32, 32));
    EXPECT_EQ(f2.Pane("Text1")->geometry(), QRect(8, 32, 753, 521));
    // A bigger window gives the lower pane the room; the buttons stay put.
    const QRect pane = in(f1.Pane("Text1"));
    f1.resize(886, 773);
    EXPECT_EQ(in(f1.Pane("Text1")), pane.adjusted(0, 0, 100, 100));
    EXPECT_EQ(f1.Dir()->geometry(), QRect(128, 0, 749, 125));
    EXPECT_EQ(f1.Button("Image5")->geometry(), QRect(48, 96, 32, 32));
}

// Each button shows a picture of its own, with a pressed picture that differs from the normal one.
TEST_F(Windows, EveryButtonHasItsToolTipAndTwoDistinctPictures)
{
    std::set<int> numbers;
    for (const char* form : { "Form1", "Form2", "Form3", "Form4" }) {
        for (ImageButton* b : app().FindForm(form)->Images()) {
            ImageButtonView* v = Window(form).Button(b->Name());
            ASSERT_NE(v, nullptr) << form << "." << b->Name();
            EXPECT_TRUE(v->toolTip().startsWith(ToQString(b->ToolTip()))); // and the shortcut, if any
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
