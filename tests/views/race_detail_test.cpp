#include <gtest/gtest.h>

#include "app/app.h"
#include "app/form1.h"
#include "platform/fs.h"
#include "platform/textfile.h"
#include "support/program_folder.h"
#include "views/race_detail.h"

using namespace pado;

namespace {

// A past-run folder path whose last 62 characters start with the run's race key text.
Text PastRun(const Text& keyText)
{
    return U"/x/PADO/記念/アルファ     /" + PadRight(keyText + U" 芝2500m 良 03  3 2.32.1 35.2 01 480 アルファ", 62);
}

// The detail routine as the assist calls it: no window events, every message counted.
class RaceDetail : public pado::testing::ProgramFolderTest {
protected:
    Form1& f = app().form1();

    void Database(const Lines& lines) { Write("pado.txt", lines); }
    size_t Messages() const { return shell.boxes.size() + shell.popups.size(); }
};

const Text kRunner1 = U" 1  3 アルファ      牡4 57.0kg 武　豊　 2.32.1  33.5 480(+2)";
const Text kRunner2 = U" 2 10 ブラボー      牝5 55.0kg 池　添　 2.32.3  33.9 452(-4)";

} // namespace

TEST_F(RaceDetail, WithoutDisplayRecordsTheRaceAndItsRunnersSilently)
{
    Database({ U"◎100105中山11", U"第5回中山1日目　11Ｒ　テスト杯（ＧＩＩＩ）", U"2500ｍ・芝・右",
        U"天候：晴　芝：稍重", U"着 馬 馬名", kRunner1, U"短い行", kRunner2, U"◎100105中山12", U"次のレース" });
    f.Text1.SetText(U"前の表示");
    f.selectedFolder = PastRun(U"100105 中山 11");
    ASSERT_TRUE(ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Silent));
    EXPECT_EQ(f.Text1.GetText(), U"前の表示");
    EXPECT_EQ(f.Text1.Caret(), 0u);
    EXPECT_EQ(f.state.raceKeyLine, U"◎100105中山11");
    EXPECT_EQ(f.state.headerCount, 2.0f);
    EXPECT_EQ(f.state.gradedFlag, 1);
    EXPECT_EQ(f.state.venue, U"中山");
    EXPECT_EQ(f.state.pastDistance, 2500);
    EXPECT_EQ(f.state.surface, U"芝");
    EXPECT_EQ(f.state.trackCondition, U"稍"); // the colon in column 3 is skipped
    EXPECT_EQ(Read("R10.txt"), (Lines { U"アルファ     ", U"ブラボー     " }));
    EXPECT_EQ(Read("R13.txt"), (Lines { Left(kRunner1, 37), Left(kRunner2, 37) }));
    EXPECT_EQ(Messages(), 0u);
}

TEST_F(RaceDetail, AMissingRaceOrDatabaseKeepsEverythingAsItWas)
{
    f.selectedFolder = PastRun(U"100105 中山 11");
    EXPECT_FALSE(ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Silent)); // no pado.txt at all

    Database({ U"◎100105中山11", U"第1回東京1日目", U"1600ｍ・ダ・左", kRunner1 });
    ASSERT_TRUE(ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Silent));
    f.state.gradedFlag = 0;
    f.selectedFolder = PastRun(U"100105 中山 12");
    EXPECT_FALSE(ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Silent));
    EXPECT_EQ(f.state.venue, U"東京");
    EXPECT_EQ(f.state.surface, U"ダ");
    EXPECT_EQ(Read("R10.txt"), (Lines { U"アルファ     " }));

    fs::WriteBytesAtomic(Path("pado.txt"), "\x82"); // not Shift-JIS
    EXPECT_FALSE(ShowRaceDetail(f, f.selectedFolder, RaceDisplay::Silent));
    EXPECT_EQ(Messages(), 0u);
}

TEST_F(RaceDetail, ARecordWithoutRunnersEmptiesTheWorkFilesAndNeverShowsTheNextRace)
{
    WriteTextFile(Path("R10.txt"), { U"古い行" });
    Database({ U"◎100105中山11", U"◎100105中山12", U"第5回中山2日目", kRunner1, U"◎100105中山13", U"第5回中山3日目" });
    ASSERT_TRUE(ShowRaceDetail(f, PastRun(U"100105 中山 11"), RaceDisplay::Show));
    EXPECT_EQ(f.Text1.GetText(), U"");
    EXPECT_TRUE(Read("R10.txt").empty());

    ASSERT_TRUE(ShowRaceDetail(f, PastRun(U"100105 中山 13"), RaceDisplay::Show));
    EXPECT_EQ(f.Text1.GetText(), U"第5回中山3日目\n");
    EXPECT_TRUE(Read("R13.txt").empty());
}
