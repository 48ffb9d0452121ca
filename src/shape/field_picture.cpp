#include "shape/field_picture.h"

#include <algorithm>
#include <cstdio>

#include "formats/race_card.h"

namespace pado {

namespace {

PictureField Lay(Text caption, const std::vector<EntrantStyle>& field, bool finalTurn)
{
    PictureField f;
    f.caption = std::move(caption);
    std::vector<PictureMark> marks;
    for (const EntrantStyle& e : field)
        if (e.style != Style::Unknown)
            marks.push_back({ e.number, e.style, finalTurn ? e.meanLastCorner : e.meanFirstCorner, 0, 0, 0 });
    std::stable_sort(marks.begin(), marks.end(), [](const PictureMark& a, const PictureMark& b) {
        return a.place != b.place ? a.place < b.place : a.number < b.number;
    });

    // Rows from the front: a horse joins the row of the horse that leads it when it is close enough
    // behind and the row has room.
    std::vector<std::vector<PictureMark>> rows;
    for (const PictureMark& m : marks) {
        if (rows.empty() || m.place - rows.back().front().place > kAbreast
            || static_cast<int>(rows.back().size()) >= kMaxLanes)
            rows.emplace_back();
        rows.back().push_back(m);
    }
    std::vector<double> depth(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        depth[r] = r == 0 ? rows[r].front().place : std::max(rows[r].front().place, depth[r - 1] + kRowGap);
    // Rows pushed apart may run past the back; the whole field is then drawn a little closer.
    const double back = depth.empty() ? 0 : depth.back();
    const double scale = back > 1 ? 1 / back : 1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::sort(rows[r].begin(), rows[r].end(),
            [](const PictureMark& a, const PictureMark& b) { return a.number < b.number; });
        for (std::size_t lane = 0; lane < rows[r].size(); ++lane) {
            PictureMark m = rows[r][lane];
            m.depth = depth[r] * scale;
            m.row = static_cast<int>(r);
            m.lane = static_cast<int>(lane);
            f.marks.push_back(m);
        }
        f.lanes = std::max(f.lanes, static_cast<int>(rows[r].size()));
    }
    f.rows = static_cast<int>(rows.size());
    return f;
}

Text Decimal(double v, const char* format)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return FromUtf8(buf);
}

Text FieldText(const PictureField& f)
{
    Text out = f.caption + U" " + ToText(f.rows) + U"列 最大" + ToText(f.lanes) + U"頭並び\n";
    for (const PictureMark& m : f.marks)
        out += entrant::Number(m.number) + StyleName(m.style) + U" 平均" + Decimal(m.place, "%4.2f") + U" 前後"
            + Decimal(m.depth, "%5.3f") + U" 列" + ToText(m.row + 1) + U" 内から" + ToText(m.lane + 1) + U"\n";
    return out;
}

} // namespace

RacePicture PictureOf(const std::vector<EntrantStyle>& field)
{
    RacePicture p;
    p.firstCorner = Lay(U"最初のコーナー", field, false);
    p.finalTurn = Lay(U"最終コーナー", field, true);
    for (const EntrantStyle& e : field)
        if (e.style == Style::Unknown)
            p.aside.push_back({ e.number, e.name });
    return p;
}

Text PictureText(const RacePicture& picture)
{
    if (picture.Empty())
        return U"出走馬なし\n";
    Text out = FieldText(picture.firstCorner) + FieldText(picture.finalTurn) + U"脚質不明 "
        + ToText(static_cast<long long>(picture.aside.size())) + U"頭\n";
    for (const AsideEntrant& a : picture.aside)
        out += entrant::Number(a.number) + a.name + U"\n";
    return out;
}

} // namespace pado
