#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/app.h"
#include "app/form.h"
#include "gui/dir_view.h"
#include "gui/form_window.h"
#include "gui/image_button_view.h"
#include "gui/pane_view.h"
#include "gui_fixture.h"

namespace pado::gui::test {
namespace {

class Keyboard : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "tests/data/mini" }); }

    // Counts the presses of a button: each press shows the pressed picture, then the normal one.
    struct PressCounter {
        PressCounter(ImageButton& b)
            : button(b)
        {
            id = b.Subscribe([this] { ++pictures; });
        }
        ~PressCounter() { button.Unsubscribe(id); }
        int Presses() const { return pictures / 2; }
        ImageButton& button;
        int id = -1;
        int pictures = 0;
    };
    // What a mouse sends for a double-click: a whole click, then the second press as a double-click.
    static void DoubleClick(QWidget* w)
    {
        const QPointF at(w->rect().center());
        const QPointF global(w->mapToGlobal(at.toPoint()));
        for (QEvent::Type t : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                 QEvent::MouseButtonRelease }) {
            const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent e(t, at, global, Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        }
    }
    ImageButton& Model(const char* form, const char* button) { return Window(form).Button(button)->Model(); }
};

TEST_F(Keyboard, EveryImageButtonTakesTheFocusAndPressesWithSpaceOrEnter)
{
    // The memo pad's and the distance window's buttons: pressing them does no harm to other tests.
    for (const char* form : { "Form3", "Form4" }) {
        for (ImageButton* b : app().FindForm(form)->Images()) {
            ImageButtonView* v = Window(form).Button(b->Name());
            EXPECT_EQ(v->focusPolicy(), Qt::StrongFocus) << form << "." << b->Name();
            PressCounter count(*b);
            answers.assign(3, MsgAnswer::No); // saving the memo again asks before overwriting
            QTest::keyClick(v, Qt::Key_Space);
            QTest::keyClick(v, Qt::Key_Return);
            QTest::keyClick(v, Qt::Key_Enter);
            QTest::keyClick(v, Qt::Key_A); // other keys are not presses
            EXPECT_EQ(count.Presses(), 3) << form << "." << b->Name();
        }
    }
    for (const char* form : { "Form1", "Form2" })
        for (ImageButton* b : app().FindForm(form)->Images())
            EXPECT_EQ(Window(form).Button(b->Name())->focusPolicy(), Qt::StrongFocus) << form << "." << b->Name();
}

TEST_F(Keyboard, TabWalksTheMainWindowAsItReads)
{
    FormWindow& main = Window("Form1");
    std::vector<std::string> order;
    QWidget* w = main.Button("Image6");
    for (int i = 0; i < 13; ++i) {
        order.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&main))
            w = w->nextInFocusChain();
    }
    EXPECT_EQ(order,
        (std::vector<std::string> { "Image6", "Image7", "Image9", "Image1", "Image8", "Image10", "Image2", "Image3",
            "Image11", "Image4", "Image5", "Dir1", "Text1" }));
}

TEST_F(Keyboard, ShortcutsPressTheirButtonsAndTheToolTipsNameThem)
{
    FormWindow& main = Window("Form1");
    EXPECT_TRUE(main.Button("Image8")->toolTip().endsWith(QStringLiteral("（Ctrl+R）")));
    EXPECT_TRUE(main.Button("Image7")->toolTip().endsWith(QStringLiteral("（F1）")));
    EXPECT_TRUE(Window("Form3").Button("Image2")->toolTip().endsWith(QStringLiteral("（Ctrl+S）")));

    main.activateWindow();
    QApplication::setActiveWindow(&main);
    PressCounter clear(Model("Form1", "Image4"));
    QTest::keyClick(main.Pane("Text1"), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(clear.Presses(), 1);

    // F1 opens the manual from every window, also those without a manual button.
    for (const char* form : { "Form1", "Form2", "Form3", "Form4" }) {
        openedUrls.clear();
        FormWindow& w = Window(form);
        w.activateWindow();
        QApplication::setActiveWindow(&w);
        QTest::keyClick(w.Pane("Text1"), Qt::Key_F1);
        ASSERT_EQ(openedUrls.size(), 1u) << form;
        EXPECT_EQ(openedUrls[0], "file://" + app().ManualPath()) << form;
    }
}

TEST_F(Keyboard, ADoubleClickPressesOnceAndClicksDuringAPressAreDropped)
{
    ImageButtonView* clear = Window("Form1").Button("Image4");
    PressCounter clears(clear->Model());
    DoubleClick(clear);
    EXPECT_EQ(clears.Presses(), 1);

    // A click on any button while a press waits (its wait lets events through) does nothing.
    ImageButtonView* other = Window("Form4").Button("Image1");
    PressCounter others(other->Model());
    bool sawRunning = false;
    QTimer::singleShot(0, other, [&] {
        sawRunning = ImageButtonView::PressRunning();
        QTest::mouseClick(other, Qt::LeftButton);
        QTest::mouseClick(clear, Qt::LeftButton);
    });
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(sawRunning);
    EXPECT_EQ(clears.Presses(), 2);
    EXPECT_EQ(others.Presses(), 0);
    EXPECT_FALSE(ImageButtonView::PressRunning());
    // Once the press is over, clicks count again.
    QTest::mouseClick(other, Qt::LeftButton);
    EXPECT_EQ(others.Presses(), 1);
}

} // namespace
} // namespace pado::gui::test
