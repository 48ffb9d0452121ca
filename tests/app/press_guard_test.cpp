// Whatever a press throws, the user is told in Japanese and the program goes on.
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

#include "app/app.h"
#include "app/form.h"
#include "platform/clock.h"
#include "support/queue_shell.h"
#include "support/temp_dir.h"

using namespace pado;

namespace {

class ThrowingForm : public Form {
public:
    explicit ThrowingForm(App& app)
        : Form(app, "Throwing", U"テスト")
        , Image1("Image1", U"", 1, 1, 0)
    {
        AddImage(Image1, [this] {
            ++presses;
            if (fail)
                fail();
        });
    }
    ImageButton Image1;
    std::function<void()> fail;
    int presses = 0;
};

} // namespace

TEST(PressGuard, AnyFailureIsReportedAndTheNextPressRuns)
{
    TempDir dir;
    pado::testing::QueueShell shell;
    SteppingClock clock;
    App app(dir.Path(), shell, clock);
    ThrowingForm form(app);

    const std::vector<std::pair<std::function<void()>, Text>> failures {
        { [] { throw std::bad_alloc(); }, U"メモリーが足りない" },
        { [] { throw std::runtime_error("iconv"); }, U"思いがけないエラー" },
        { [] { throw 42; }, U"思いがけないエラー" },
    };
    for (const auto& [fail, words] : failures) {
        form.fail = fail;
        shell.boxes.clear();
        EXPECT_TRUE(form.Click("Image1"));
        ASSERT_EQ(shell.boxes.size(), 1u);
        EXPECT_NE(shell.boxes[0].text.find(words), Text::npos) << ToUtf8(shell.boxes[0].text);
    }
    form.fail = nullptr;
    shell.boxes.clear();
    EXPECT_TRUE(form.Click("Image1"));
    EXPECT_TRUE(shell.boxes.empty());
    EXPECT_EQ(form.presses, 4);
}
