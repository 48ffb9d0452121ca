#include "members/form2.h"

#include <functional>

#include "app/app.h"
#include "formats/race_card.h"
#include "members/close_all.h"
#include "members/statistics.h"
#include "members/transfer.h"
#include "memo/form3.h"
#include "passing/passing_table.h"
#include "platform/errors.h"
#include "platform/number.h"
#include "platform/textfile.h"
#include "platform/work_files.h"
#include "timeorder/form4.h"

namespace pado {

namespace {

// The window's first display: the card head, the line that ends it, and the entrant section with
// every line numbered. eachHeadLine sees every card head line on the way.
Text FirstDisplay(CardCursor& card, const std::function<void(const Text&)>& eachHeadLine)
{
    Text pane;
    CardCursor::Section head = card.ReadSection();
    for (const Text& line : head.lines) {
        eachHeadLine(line);
        pane += line + U"\n";
    }
    pane += head.terminator + U"\n";
    CardCursor::Section entrants = card.ReadSection();
    int number = 1;
    for (const Text& line : entrants.lines)
        pane += entrant::Number(number++) + line + U"\n";
    return pane;
}

// Today's race as the meeting line and the distance line give it; the last such line decides.
void TakeRaceAttributes(const Text& line, Module1& m)
{
    if (cardhead::IsMeetingLine(line)) {
        m.raceVenue = cardhead::MeetingVenue(line);
        if (auto month = cardhead::MeetingMonth(line))
            m.raceMonth = *month;
    }
    long p = cardhead::FirstM(line);
    if (p > 10) {
        if (auto distance = cardhead::DistanceBefore(line, p))
            m.raceDistance = *distance;
        m.raceSurface = Cols(line, p + 2, p + 2);
    }
}

// The memo pad's first lines: the race heading taken from the display, then one ranking row per
// line from the first one that reads as number 1 (the first entrant), cut after its first ")".
Text MemoStart(const Text& display)
{
    static const Lines kLeftOut = { U"本 賞 金", U"付加賞金", U" 発走" };
    Lines l = SplitLines(display);
    const std::size_t n = l.size() - 1; // l[n] is the empty piece after the last line break
    Text memo = l[0] + U"\n";
    std::size_t i = 1;
    bool stopped = false;
    for (; i <= n; ++i) {
        if (LeadingNumber(Left(l[i], 2)) == 1) {
            stopped = true;
            break;
        }
        bool leftOut = false;
        for (const Text& prefix : kLeftOut)
            leftOut = leftOut || StartsWith(l[i], prefix);
        if (!leftOut)
            memo += l[i] + U"\n";
    }
    if (stopped)
        for (std::size_t j = i; j < n; ++j)
            memo += Left(l[j], InStr(l[j], U")")) + U"\n";
    return memo;
}

} // namespace

Form2::Form2(App& app)
    : Form(app, "Form2", U"メンバー")
    , Image1("Image1", U"出走馬のコース別成績を表示します。", 134, 133, 0.2f)
    , Image2("Image2",
          FromUtf8(app.StagingFolder()) + U" から " + FromUtf8(app.ProgramFolder()) + U" へファイルコピーします。", 132,
          131, 0.2f)
    , Image3("Image3", U"全てのフォームを閉じて終了します。", 116, 115, 0.2f)
    , Image4("Image4", U"通過順位を表示します", 122, 121, 0.2f)
    , Image5("Image5", U"出走馬の成績を表示します。", 124, 123, 0.2f)
    , Image6("Image6", U"最初の表示に戻します。", 126, 125, 0.2f)
    , Image7("Image7", U"該当コースの場所＆距離成績を表示します。", 128, 127, 0.2f)
    , Image8("Image8", U"該当コースの良＆良以外成績を表示します。", 130, 129, 0.2f)
    , Image9("Image9", U"レースデータの取り込みとレースの作成", 152, 151, 0.2f)
{
    AddPane("Text1", Text1);
    AddImage(Image1, [this] { ShowCourseRecords(*this); });
    AddImage(Image2, [this] { TransferRaceFiles(*this); });
    AddImage(Image3, [this] { CloseAllWindows(*this); });
    AddImage(Image4, [this] { ShowPassingOrderTable(*this); });
    AddImage(Image5, [this] { ShowEntrantRecordsWithJockey(*this); });
    AddImage(Image6, [this] { Image6_Click(); });
    AddImage(Image7, [this] { ShowVenueDistanceStats(*this); });
    AddImage(Image8, [this] { ShowTrackConditionStats(*this); });
    AddImage(Image9, [this] {
        // The window stays open beside this one; its transfer is a press of its own when the user asks.
        GetApp().shell.RaceDataWindow(GetApp().StagingFolder(),
            [this](const std::string& folder) { RunPress([&] { TransferRaceFolder(*this, folder); }); });
    });
}

void Form2::Form_Load()
{
    App& app = GetApp();
    Text1.Clear();
    Lines lines;
    try {
        lines = ReadRaceCard(app.FilePath(files::kRaceCard));
    } catch (const UserError&) {
        return; // the main window's start-up has reported the race card already
    }
    CardCursor card(std::move(lines));
    const Text display = FirstDisplay(card, [&](const Text& line) { TakeRaceAttributes(line, app.module1); });

    // The run block: after the heading line up to the first line holding "◆". Its first line is
    // taken whatever it holds, and the last line of the file never is.
    card.ReadLine();
    Text line = card.ReadLine();
    Lines runBlock;
    while (!card.AtEnd()) {
        runBlock.push_back(line);
        line = card.ReadLine();
        if (Contains(line, U"◆"))
            break;
    }
    Text rest;
    while (!card.AtEnd())
        rest += card.ReadLine() + U"\n";

    Text1.SetText(display);
    if (!rest.empty())
        app.form4().Text1.InsertAtCaret(rest);
    app.form3().WriteByProgram([&] { app.form3().Text1.InsertAtCaret(MemoStart(display)); });
    WriteTextFile(app.FilePath(files::kRunBlock), runBlock);
}

void Form2::Image6_Click()
{
    CardCursor card(ReadRaceCard(GetApp().FilePath(files::kRaceCard)));
    Text1.SetText(FirstDisplay(card, [](const Text&) {}));
    Text1.SetCaret(0);
}

} // namespace pado
