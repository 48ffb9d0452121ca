#include <QImage>
#include <QTest>

#include "app/app.h"
#include "gui/form_window.h"
#include "gui/image_button_view.h"
#include "gui/pane_view.h"
#include "gui/picture_view.h"
#include "gui/qt_text.h"
#include "gui/shape_window.h"
#include "gui_fixture.h"
#include "shape/form7.h"

namespace pado::gui::test {
namespace {

class ShapeWindowTest : public GuiProgramTest {
protected:
    void SetUp() override { StartOn({ "sample" }); }
    ShapeWindow& Shape() { return static_cast<ShapeWindow&>(Window("Form7")); }
    void PressShape()
    {
        QTest::mouseClick(Window("Form1").Button("Image11"), Qt::LeftButton);
        Settle();
    }
};

int PixelsLike(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST_F(ShapeWindowTest, TheButtonOpensThePaneAboveThePictureBesideTheOtherWindows)
{
    EXPECT_FALSE(Window("Form7").isVisible()); // not at start-up
    PressShape();
    ShapeWindow& w = Shape();
    ASSERT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("展開図"));
    EXPECT_EQ(FromQString(w.Pane("Text1")->toPlainText()), app().form7().Text1.GetText());
    EXPECT_FALSE(app().form7().Text1.GetText().empty());
    EXPECT_TRUE(Window("Form1").isVisible());
    EXPECT_TRUE(Window("Form2").isVisible());

    PictureView* picture = w.Picture();
    ASSERT_NE(picture, nullptr);
    EXPECT_LE(w.Pane("Text1")->geometry().bottom(), picture->geometry().top());
    // The picture draws the marks in their styles' colours: the sample has a 逃げ horse (red) and
    // 先行 horses (orange).
    const QImage image = picture->grab().toImage();
    EXPECT_GT(PixelsLike(image, QColor(0xd9, 0x45, 0x3b)), 50);
    EXPECT_GT(PixelsLike(image, QColor(0xf0, 0x8a, 0x24)), 500);

    // Both parts grow with the window and keep out of each other's way.
    const QRect before = picture->geometry();
    w.resize(w.width() + 200, w.height() + 300);
    Settle();
    EXPECT_GT(picture->width(), before.width() + 150);
    EXPECT_GT(picture->height(), before.height() + 100);
    EXPECT_GT(w.Pane("Text1")->height(), 300);
    EXPECT_LE(w.Pane("Text1")->geometry().bottom(), picture->geometry().top());
    EXPECT_LE(picture->geometry().right(), w.width());
    EXPECT_LE(picture->geometry().bottom(), w.height());
}

TEST_F(ShapeWindowTest, PressedAgainItRefreshesAndCloseAllClosesItToo)
{
    PressShape();
    app().form7().Text1.SetText(U"書き換え");
    PressShape();
    EXPECT_NE(app().form7().Text1.GetText(), U"書き換え");
    EXPECT_EQ(FromQString(Shape().Pane("Text1")->toPlainText()), app().form7().Text1.GetText());

    answers = { MsgAnswer::Yes };
    QTest::mouseClick(Window("Form2").Button("Image3"), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(Window("Form7").isVisible());
    EXPECT_FALSE(app().Running());
}

} // namespace
} // namespace pado::gui::test
