#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/form1.h"
#include "assist/assist_run.h"
#include "memo/form3.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "support/program_folder.h"
#include "timeorder/form4.h"

namespace pado::testing {

// A program folder of its own for each test, with the main window's assist state at hand.
class AssistTest : public ProgramFolderTest {
protected:
    AssistTest()
    {
        app().today = [] { return Date { 2026, 12, 7 }; };
        app().module1.params = { 0.2f, 0.3f, 0.5f, 0.6f, 0.7f, 0.8f, 0.2f, 1.5f, 0.7f, 3.3f, 1.9f, 1.2f, 6.0f, 300.f,
            10.f, 4.f, 7.f, 2.f, 7.f, 2.f, 7.f, 2.f };
    }
    Form1& f() { return app().form1(); }
    Text Memo() { return app().form3().Text1.GetText(); }
    void SetMemo(const Text& t) { app().form3().Text1.SetText(t); }

    Text visited; // the past-run folder the passes visit
};

// A run line in the layout of Rall.txt and the race card (date yymmdd, venue, surface 芝/ダ,
// distance, going, finish, time m.ss.f, 9-character horse name, age digit).
inline Text RunLine(const Text& date, const Text& venue, const Text& surface, int distance, int finish,
    const Text& horse, const Text& time = U"1.35.0", const Text& going = U"良", int raceNo = 11)
{
    Text fin = ToText(finish);
    if (fin.size() < 2)
        fin = U" " + fin;
    Text no = ToText(raceNo);
    if (no.size() < 2)
        no = U"0" + no;
    return date + U" " + venue + U" " + no + U" " + surface + ToText(distance) + U"m " + going + U" 01 " + fin + U" "
        + time + U" 35.2 01 480 " + PadRight(horse, 9) + U"牡3 騎手    ＧＩ テスト記念";
}

// An R13.txt line: the first 37 characters of a result-table runner line.
inline Text R13Line(int position, const Text& horse, char32_t age, const Text& time)
{
    Text pos = ToText(position);
    while (pos.size() < 3)
        pos = U" " + pos;
    Text line = pos + U" 1 " + PadRight(horse, 9) + U"牡" + U" " + Text(1, age) + U" 57.0kg" + U"  480 " + time;
    return line;
}

} // namespace pado::testing
